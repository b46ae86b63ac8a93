#include "app/german_qt_texts.h"
#include "app/qt_dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <QTimer>

using namespace nimbra;

namespace {

struct SeenBox {
    QString Title;
    QString Text;  // as the user reads it
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QStringList Buttons;
};

// Answers the next message box with button, noting what it showed; without a box nothing is
// noted, which the caller's check of the title finds.
void AnswerNextBox(SeenBox& seen, QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, [&seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        QStringList buttons;
        for (QAbstractButton* shown : box->buttons()) buttons << shown->text();
        buttons.sort();
        const QString text = box->text().remove(QChar(0x2060)).replace(QChar(QChar::Nbsp), QLatin1Char(' '));
        seen = {box->windowTitle(), text, box->icon(), buttons};
        box->button(button)->click();
    });
}

}  // namespace

class QtDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void FiltersBecomeQtFilters()
    {
        QCOMPARE(FileDialogFilter("Farbpalette|*.pal"), QStringLiteral("Farbpalette (*.pal)"));
        QCOMPARE(FileDialogFilter("Konfiguration|*.cfg|Alle Dateien|*.*"),
                 QStringLiteral("Konfiguration (*.cfg);;Alle Dateien (*.*)"));
        QCOMPARE(FileDialogFilter("Bilder|*.tga;*.TGA"), QStringLiteral("Bilder (*.tga *.TGA)"));
        QCOMPARE(FileDialogFilter(""), QString());
    }

    void MessagesCarryTheApplicationTitle()
    {
        QtDialogs dialogs;
        SeenBox seen;
        AnswerNextBox(seen, QMessageBox::Ok);
        dialogs.ShowMessage("Kann die Bilddatei /tmp/x.tga nicht anlegen !");
        QCOMPARE(seen.Title, QStringLiteral("Nimbra 2005"));
        QCOMPARE(seen.Text, QStringLiteral("Kann die Bilddatei /tmp/x.tga nicht anlegen !"));
        QCOMPARE(seen.Icon, QMessageBox::NoIcon);
    }

    void ErrorsShowTheErrorIcon()
    {
        QtDialogs dialogs;
        SeenBox seen;
        AnswerNextBox(seen, QMessageBox::Ok);
        dialogs.ShowError("'12a' ist kein gültiger Integerwert");
        QCOMPARE(seen.Title, QStringLiteral("Nimbra 2005"));
        QCOMPARE(seen.Text, QStringLiteral("'12a' ist kein gültiger Integerwert"));
        QCOMPARE(seen.Icon, QMessageBox::Critical);
    }

    void OnlyYesIsConsent()
    {
        QtDialogs dialogs;
        SeenBox seen;
        AnswerNextBox(seen, QMessageBox::Yes);
        QVERIFY(dialogs.AskYesNo("Berechnung läuft ! Soll das Programm beendet werden ?", "Bestätigung"));
        QCOMPARE(seen.Title, QStringLiteral("Bestätigung"));
        QCOMPARE(seen.Icon, QMessageBox::Question);
        AnswerNextBox(seen, QMessageBox::No);
        QVERIFY(!dialogs.AskYesNo("Sollen die Eingabefelder auf ihre Standardwerte zurückgesetzt werden ?", "Rücksetzen"));
        QCOMPARE(seen.Title, QStringLiteral("Rücksetzen"));
        QCOMPARE(seen.Icon, QMessageBox::Question);
    }

    void QuestionsAnswerJaOrNein()
    {
        QTranslator* german = InstallGermanQtTexts(*QCoreApplication::instance());
        QVERIFY(german != nullptr);
        QtDialogs dialogs;
        SeenBox seen;
        AnswerNextBox(seen, QMessageBox::No);
        QVERIFY(!dialogs.AskYesNo("Die aktuelle Palette wird zurückgesetzt !", "Aktuelle Palette reseten"));
        QCoreApplication::removeTranslator(german);
        delete german;
        QCOMPARE(seen.Buttons, QStringList({"&Ja", "&Nein"}));
    }
};

QTEST_MAIN(QtDialogsTest)
#include "qt_dialogs_test.moc"
