#include "app/german_qt_texts.h"
#include "app/message_text.h"
#include "app/qt_dialogs.h"

#include <QAccessible>
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
    QString Text;  // as a screen reader reads it, and as the box copies it
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
        // The text drawn is the box's own, character for character.
        const auto* shown = box->findChild<MessageText*>();
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(const_cast<MessageText*>(shown));
        const bool same = shown != nullptr && shown->isVisible() && shown->text() == box->text() && read != nullptr &&
                          read->text(QAccessible::Name) == box->text();
        seen = {box->windowTitle(), same ? box->text() : QStringLiteral("(drawn otherwise)"), box->icon(), buttons};
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

    void WarningsShowTheWarningIcon()
    {
        QtDialogs dialogs;
        SeenBox seen;
        AnswerNextBox(seen, QMessageBox::Ok);
        const std::string text = "Fehler beim Lesen der Palette /home/u/pal/x y.pal !\nDatei oder Ordner nicht vorhanden";
        dialogs.ShowWarning(text);
        QCOMPARE(seen.Text, QString::fromStdString(text));  // no invisible characters put in
        QCOMPARE(seen.Icon, QMessageBox::Warning);
    }

    void TextBreaksNeitherInAPathNorBeforeTheFinalMark()
    {
        const MessageText text(QStringLiteral("Kann die Bilddatei /home/u/Meine Bilder/pix/nimbra003.tga nicht anlegen !\n"
                                              "E/A-Fehler 5"));
        const QFontMetrics metrics(text.font());
        const int pathWidth = metrics.horizontalAdvance(QStringLiteral("/home/u/Meine Bilder/pix/nimbra003.tga"));
        QCOMPARE(text.Lines(pathWidth + 2), QStringList({"Kann die Bilddatei", "/home/u/Meine Bilder/pix/nimbra003.tga",
                                                         "nicht anlegen !", "E/A-Fehler 5"}));
        // A path longer than the line breaks after a slash rather than leave the box.
        QCOMPARE(text.Lines(metrics.horizontalAdvance(QStringLiteral("/home/u/Meine Bilder/"))),
                 QStringList({"Kann die Bilddatei", "/home/u/Meine", "Bilder/pix/", "nimbra003.tga nicht", "anlegen !",
                              "E/A-Fehler 5"}));
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
        QVERIFY(!dialogs.AskYesNoWithoutIcon("Sollen die Eingabefelder auf ihre Standardwerte zurückgesetzt werden ?",
                                             "Rücksetzen"));
        QCOMPARE(seen.Title, QStringLiteral("Rücksetzen"));
        QCOMPARE(seen.Icon, QMessageBox::NoIcon);
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
