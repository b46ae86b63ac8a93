#pragma once
#include "app/program_windows.h"
#include "app/qt_pump.h"
#include "mainwindow/program_state.h"
#include "mainwindow/ui/calc_form.h"
#include "mainwindow/ui/preview_window.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/find_control.h"

#include <QLocale>

#include <filesystem>
#include <functional>
#include <memory>

namespace nimbra::testing {

// The process works in folder for the lifetime of this object.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& folder);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::filesystem::path old_;
};

// The program as the entry point builds it, in the current directory, with scripted answers,
// a fake system, a clock the test sets and a pump that handles events at every poll. The main
// window is shown and asked to become active; the helpers that need it active wait for that.
class UiProgram {
public:
    UiProgram();
    ~UiProgram();

    PaletteList Palette;
    ScriptedDialogs Dialogs;
    FakePlatform System;
    QtPump Pump{0};
    double Now = 0.5;  // noon
    ProgramState State;
    std::unique_ptr<TCalcForm> Form;
    std::unique_ptr<ProgramWindows> Windows;
    TPreView* PreView = nullptr;

private:
    QLocale oldLocale_;  // the windows write numbers as German users see them
};

// The helpers below give false when the window did not become active: the test checks that
// (QVERIFY(TypeInto(...))) and so stops at the first step that could not be taken.

// Makes window the active one, as a click into it does.
[[nodiscard]] bool MakeActive(QWidget* window);
// Types text into a field as the user does: click into it, select all, type.
[[nodiscard]] bool TypeInto(QWidget* field, const QString& text);
// Presses a shortcut key in the main window as the user does, once it is the active window again.
[[nodiscard]] bool PressKey(TCalcForm& form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Moves the focus on with the tab key, so that the field left gets its exit handling.
void TabAway(QWidget* field);

// Runs action from inside the run's event processing, once the run is under way (the
// output file may still be in preparation at the first chance). The action records what it
// sees; the test checks it after the run.
void DuringTheRun(UiProgram& program, std::function<void()> action);

// The texts of the region fields, in the order real from, real to, imaginary from, imaginary to.
QStringList RegionFieldTexts(const TCalcForm& form);

}  // namespace nimbra::testing
