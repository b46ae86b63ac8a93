// Shows one window of the program with sample contents so that it can be photographed under
// Xvfb: ui_screenshots convert [file name]|resolution|prefs|help [context]|about, or one of the
// program's boxes: ui_screenshots message|error|warning|question TEXT
#include "app/german_qt_texts.h"
#include "app/qt_dialogs.h"
#include "convert/ui/convert_window.h"
#include "dialogs/ui/about_window.h"
#include "dialogs/ui/help_window.h"
#include "dialogs/ui/prefs_window.h"
#include "dialogs/ui/resolution_window.h"
#include "dialogs/web_pages.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include <cstdlib>
#include <iostream>

using namespace nimbra;

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));
    InstallGermanQtTexts(application);
    const std::string which = argc > 1 ? argv[1] : "";
    const std::string text = argc > 2 ? argv[2] : "";
    QtDialogs boxes;
    if (which == "message") boxes.ShowMessage(text);
    if (which == "error") boxes.ShowError(text);
    if (which == "warning") boxes.ShowWarning(text);
    if (which == "question") boxes.AskYesNoWithoutIcon(text, "Rücksetzen");
    if (which == "message" || which == "error" || which == "warning" || which == "question") return 0;
    testing::ScriptedDialogs dialogs;
    testing::FakePlatform platform;
    NoPump pump;

    TConvert convert(dialogs, platform, pump);
    TGetXYSize resolution(dialogs);
    TPrefs prefs(dialogs);
    THelp help;
    TCopyright about(QStringLiteral("Nimbra 2005"), QString::fromUtf8(WebHost));

    if (which == "convert") {
        convert.ShowStarted(argc > 2 ? argv[2] : "nimbra003.tga");
        convert.ShowStep("Konvertiere Datenblock ...");
        convert.ShowPercent(63);
    } else if (which == "resolution") {
        resolution.DPI->setCurrentIndex(5);
        resolution.show();
    } else if (which == "prefs") {
        prefs.ViewerPath->setText(QStringLiteral("/usr/bin/display"));
        prefs.show();
    } else if (which == "help") {
        help.ShowTopic(argc > 2 ? std::atoi(argv[2]) : 0);
    } else if (which == "about") {
        about.show();
    } else {
        std::cerr << "ui_screenshots convert [file name]|resolution|prefs|help [context]|about"
                     "|message|error|warning|question TEXT\n";
        return 2;
    }
    return application.exec();
}
