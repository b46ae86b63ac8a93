// Starts the program's windows as the entry point does and opens one menu or command for a
// screenshot; the system is a fake one, so no browser or viewer starts:
//   xvfb-run -s "-screen 0 1280x1024x24" sh -c 'build/tools/program_shot F9 &
//     sleep 3; import -window root shot.png; kill $!'
// What: menu1|menu2|menu3|formulas|extras|conversions|F2|F3|F4|F5|F9|F1|about|convert, or
// nothing for the main window alone.
#include "app/german_qt_texts.h"
#include "app/program_windows.h"
#include "app/qt_dialogs.h"
#include "app/qt_pump.h"
#include "mainwindow/program_state.h"
#include "mainwindow/ui/calc_form.h"
#include "tests/support/fake_platform.h"
#include "tests/ui/find_control.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <map>
#include <string>

using namespace nimbra;
using nimbra::testing::Find;

namespace {

// Opens a menu of the bar, and a submenu of it when given, as a click would.
void OpenMenu(TCalcForm& form, int index, QMenu* submenu)
{
    QMenuBar* bar = form.menuBar();
    QAction* title = bar->actions().at(index);
    bar->setActiveAction(title);
    if (submenu == nullptr) return;
    QTimer::singleShot(300, &form, [title, submenu] { title->menu()->setActiveAction(submenu->menuAction()); });
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));
    InstallGermanQtTexts(application);
    const std::string what = argc > 1 ? argv[1] : "";
    PaletteList palette;
    QtDialogs dialogs;
    testing::FakePlatform platform;
    QtPump pump;
    ProgramState state;
    TCalcForm form(state, palette, dialogs, platform, pump);
    ProgramWindows windows(form, state, palette, dialogs, platform, pump);
    form.show();

    const std::map<std::string, const char*> commands = {
        {"F2", "CFGLoad"}, {"F3", "CFGSave"},  {"F4", "Auflsungermitteln1"}, {"F5", "PrgSet"},
        {"F9", "Farbpalettegenerieren1"}, {"F1", "Inhalt1"}, {"about", "ber1"}, {"convert", "RGBCMY1"},
    };
    QTimer::singleShot(500, &form, [&] {
        if (what == "menu1") OpenMenu(form, 0, nullptr);
        if (what == "menu2") OpenMenu(form, 1, nullptr);
        if (what == "menu3") OpenMenu(form, 2, nullptr);
        if (what == "formulas") OpenMenu(form, 0, Find<QMenu>(form, "Formeln1"));
        if (what == "extras") OpenMenu(form, 0, Find<QMenu>(form, "Extras1"));
        if (what == "conversions") OpenMenu(form, 1, Find<QMenu>(form, "Farbraumkkonvertierung1"));
        if (const auto command = commands.find(what); command != commands.end())
            Find<QAction>(form, command->second)->trigger();
    });
    return QApplication::exec();
}
