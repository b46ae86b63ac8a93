#include "dialogs/ui/prefs_window.h"

#include "tests/support/scripted_dialogs.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

// Opens the dialog with viewerProgram, presses the buttons in order, and gives what it returned.
std::optional<std::string> Open(TPrefs& form, const std::string& viewerProgram, std::vector<QPushButton*> presses)
{
    QTimer::singleShot(0, &form, [&form, presses] {
        for (QPushButton* button : presses) QTest::mouseClick(button, Qt::LeftButton);
        if (form.isVisible()) form.reject();
    });
    return form.AskViewerProgram(viewerProgram);
}

}  // namespace

class TPrefsTest : public QObject {
    Q_OBJECT
private slots:
    void UebernehmenWithoutSearchingClearsTheViewer()
    {
        ScriptedDialogs dialogs;
        TPrefs form(dialogs);
        QCOMPARE(form.windowTitle(), QStringLiteral("Programm anpassen..."));
        QCOMPARE(Open(form, "/from/settings", {form.OKBtn}), std::optional<std::string>(""));
    }

    void ChosenFileIsAppliedAndShownNextTime()
    {
        ScriptedDialogs dialogs;
        TPrefs form(dialogs);
        dialogs.FileAnswers.push_back("/usr/bin/viewer");
        QCOMPARE(Open(form, "", {form.SB, form.OKBtn}), std::optional<std::string>("/usr/bin/viewer"));
        QCOMPARE(Open(form, "/usr/bin/viewer", {form.CnclBtn}), std::nullopt);
        QCOMPARE(form.ViewerPath->text(), QStringLiteral("/usr/bin/viewer"));
        QCOMPARE(dialogs.FileRequests.at(0).Filter, std::string("alle Dateien|*"));
    }

    void CancelledSearchAppliesTheViewerAsItWas()
    {
        ScriptedDialogs dialogs;
        TPrefs form(dialogs);
        dialogs.FileAnswers.push_back("/usr/bin/first");
        Open(form, "", {form.SB, form.OKBtn});
        dialogs.FileAnswers.push_back(std::nullopt);
        QCOMPARE(Open(form, "/usr/bin/from-file", {form.SB, form.OKBtn}), std::optional<std::string>("/usr/bin/from-file"));
        QCOMPARE(form.ViewerPath->text(), QStringLiteral("/usr/bin/first"));  // the edit field is not changed
    }

    void TheViewerFieldTakesNoTyping()
    {
        ScriptedDialogs dialogs;
        TPrefs form(dialogs);
        QString shown = QStringLiteral("unchanged");
        QTimer::singleShot(0, &form, [&form, &shown] {
            QTest::keyClicks(form.ViewerPath, "/typed/viewer");
            shown = form.ViewerPath->text();
            QTest::mouseClick(form.OKBtn, Qt::LeftButton);
        });
        QCOMPARE(form.AskViewerProgram("/old"), std::optional<std::string>(""));
        QCOMPARE(shown, QString());
    }

    void AbbrechenChangesNothingEvenAfterAChoice()
    {
        ScriptedDialogs dialogs;
        TPrefs form(dialogs);
        dialogs.FileAnswers.push_back("/usr/bin/viewer");
        QCOMPARE(Open(form, "/old", {form.SB, form.CnclBtn}), std::nullopt);
        QTimer::singleShot(0, &form, [&form] { QTest::keyClick(&form, Qt::Key_Escape); });
        QCOMPARE(form.AskViewerProgram("/old"), std::nullopt);
        QVERIFY(dialogs.Unexpected.empty());
    }
};

QTEST_MAIN(TPrefsTest)
#include "prefs_window_test.moc"
