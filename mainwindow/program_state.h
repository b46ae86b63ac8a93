#pragma once
#include "common/user_dialogs.h"
#include "engine/fractal_params.h"
#include "mainwindow/progress_texts.h"
#include "mainwindow/region_history.h"

#include <cstdint>
#include <string>

namespace nimbra {

// What a request to close the main window leads to.
enum class CloseDecision {
    KeepOpen,      // refused by the user, or waiting for the run asked to stop
    SaveAndClose,  // idle, or the run stopped for a confirmed close has returned: the constant
                   // histories and the settings are written first
};

// The main window's state without its widgets: the parameters of the most recent run, the
// active run, the program's folder and file names, the status line and the rules of starting
// and closing. main owns it and lends it to the main window.
class ProgramState {
public:
    ProgramState();

    FractalParams Params;
    RunState Run;
    Status StatusCode = Status::Ready;      // what the status line shows
    RegionHistory Regions;                  // "Ansicht zurück" and "Ansicht vor"
    RunPauses Pauses;                       // of the active run
    std::string StartFolder;                // ends in "/"; the program's folders lie below it
    std::string ViewerProgram;              // empty: none configured
    std::string ConfigFileName;             // the configuration loaded last; empty after a reset
    std::string LastImagePath;              // the image the viewer shows
    std::string ConfigOpenName;             // the open dialog proposes the name last chosen in it
    std::string ConfigSaveName = "nimbra";  // and so does the save dialog
    const int WorkerThreads;                // the threads that compute a run's counts: one per core

    // During a run the user is asked; a confirmed close stops the run and is carried out once
    // the run has returned (CloseIsDue), saving as any close does.
    CloseDecision QueryClose(UserDialogs& dialogs);
    bool CloseIsDue() const;
    // Once the main window has closed, a handler still on the call chain may ask: no run starts.
    void EndProgram() { ended_ = true; }
    bool MayStartRun() const { return !ended_; }

    // The run's start and end as the main window sees them.
    void RunStarted();
    void RunEnded();

private:
    bool closeAfterRun_ = false;
    bool ended_ = false;
};

}  // namespace nimbra
