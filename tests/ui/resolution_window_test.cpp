#include "dialogs/ui/resolution_window.h"

#include "tests/support/scripted_dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace nimbra;
using namespace nimbra::testing;

class TGetXYSizeTest : public QObject {
    Q_OBJECT
private slots:
    void StartsWithA4At100Dpi()
    {
        ScriptedDialogs dialogs;
        TGetXYSize form(dialogs);
        QCOMPARE(form.windowTitle(), QStringLiteral("Bildauflösung ermitteln"));
        QCOMPARE(form.DIN->currentText(), QStringLiteral("A4"));
        QCOMPARE(form.DIN->count(), 7);
        QCOMPARE(form.DPI->currentText(), QStringLiteral("100 dpi"));
        QCOMPARE(form.DPI->count(), 25);
        QCOMPARE(form.DPI->itemText(5), QStringLiteral("250 dpiI"));
        QCOMPARE(form.XSize->text(), QStringLiteral("1131"));
        QCOMPARE(form.YSize->text(), QStringLiteral("800"));
        QVERIFY(dialogs.Messages.empty());
    }

    void ChoosingAndTypingRecalculate()
    {
        ScriptedDialogs dialogs;
        TGetXYSize form(dialogs);
        form.DPI->setCurrentIndex(5);
        QCOMPARE(form.DPI->currentText(), QStringLiteral("250 dpi"));
        QCOMPARE(form.XSize->text(), QStringLiteral("2828"));
        QCOMPARE(form.YSize->text(), QStringLiteral("2000"));

        form.DIN->lineEdit()->selectAll();
        QTest::keyClicks(form.DIN, "A10");
        QCOMPARE(form.XSize->text(), QStringLiteral("8131"));  // A1 at 250 dpi
        QCOMPARE(form.YSize->text(), QStringLiteral("5750"));

        form.DPI->lineEdit()->selectAll();
        form.DPI->lineEdit()->insert("1x2y0");  // a paste is one change
        QCOMPARE(form.DPI->currentText(), QStringLiteral("120 dpi"));
        QCOMPARE(form.YSize->text(), QStringLiteral("2760"));
        QVERIFY(dialogs.Messages.empty());
    }

    void ResolutionWithoutDigitsKeepsTheSizeAndShowsTheMessage()
    {
        ScriptedDialogs dialogs;
        TGetXYSize form(dialogs);
        form.DPI->setEditText("dpi");
        QCOMPARE(form.DPI->currentText(), QStringLiteral(" dpi"));
        QCOMPARE(form.XSize->text(), QStringLiteral("1131"));
        QCOMPARE(form.YSize->text(), QStringLiteral("800"));
        QCOMPARE(dialogs.Messages, std::vector<std::string>{"'' ist kein gültiger Integerwert"});

        form.DPI->setEditText("99999999999 dpi");
        QCOMPARE(dialogs.Messages.back(), std::string("'99999999999' ist kein gültiger Integerwert"));
        form.DPI->setEditText("999999999 dpi");
        QCOMPARE(dialogs.Messages.back(), std::string("Integerüberlauf"));
        QCOMPARE(form.XSize->text(), QStringLiteral("1131"));
    }

    void OkGivesTheSizeAndCancelGivesNothing()
    {
        ScriptedDialogs dialogs;
        TGetXYSize form(dialogs);
        form.DPI->setCurrentIndex(6);  // 300 dpi
        QTimer::singleShot(0, form.Button1, [&] { QTest::mouseClick(form.Button1, Qt::LeftButton); });
        const std::optional<ChosenSize> chosen = form.AskImageSize();
        QVERIFY(chosen.has_value());
        QCOMPARE(chosen->Width, QStringLiteral("3394"));
        QCOMPARE(chosen->Height, QStringLiteral("2400"));

        QTimer::singleShot(0, form.Button2, [&] { QTest::mouseClick(form.Button2, Qt::LeftButton); });
        QVERIFY(!form.AskImageSize().has_value());
        QCOMPARE(form.XSize->text(), QStringLiteral("3394"));  // kept for the next opening
    }
};

QTEST_MAIN(TGetXYSizeTest)
#include "resolution_window_test.moc"
