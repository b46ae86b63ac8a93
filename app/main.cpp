#include "app/german_qt_texts.h"
#include "app/program_windows.h"
#include "app/qt_dialogs.h"
#include "app/qt_pump.h"
#include "common/posix_platform.h"
#include "mainwindow/program_state.h"
#include "mainwindow/ui/calc_form.h"
#include "palette/palette_list.h"

#include <QApplication>

#include <filesystem>

int main(int argc, char* argv[])
{
    // "Staff.dbg" in the current folder is the debug file of the shared helpers, whose start-up
    // has always removed it: a user's file of that name goes too. A missing file, or one that
    // cannot be removed, does not stop the start. Then the gradient starts as the default one.
    std::error_code ignored;
    std::filesystem::remove("Staff.dbg", ignored);
    nimbra::PaletteList palette;

    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(nimbra::ApplicationTitle));
    QApplication::setDesktopFileName(QStringLiteral("nimbra"));  // the menu entry of an installed program
    nimbra::InstallGermanQtTexts(application);
    // The program ends with its main window, whichever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);

    nimbra::QtDialogs dialogs;
    nimbra::PosixPlatform platform;
    nimbra::QtPump pump;
    nimbra::ProgramState state;

    // Created once, the main window first, the others hidden until needed.
    nimbra::TCalcForm calcForm(state, palette, dialogs, platform, pump);
    nimbra::ProgramWindows windows(calcForm, state, palette, dialogs, platform, pump);

    QObject::connect(&calcForm, &nimbra::TCalcForm::Closed, &application, &QApplication::quit);
    calcForm.show();
    return QApplication::exec();
}
