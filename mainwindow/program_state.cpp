#include "mainwindow/program_state.h"

#include <algorithm>
#include <thread>

namespace nimbra {
namespace {

constexpr char AskCloseText[] = "Berechnung läuft ! Soll das Programm beendet werden ?";
constexpr char AskCloseCaption[] = "Bestätigung";

}  // namespace

ProgramState::ProgramState()
    : WorkerThreads(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
{
}

CloseDecision ProgramState::QueryClose(UserDialogs& dialogs)
{
    if (closeAfterRun_) return Run.Running ? CloseDecision::KeepOpen : CloseDecision::SaveAndClose;
    if (!Run.Running && !Run.Preparing) return CloseDecision::SaveAndClose;
    if (!dialogs.AskYesNo(AskCloseText, AskCloseCaption)) return CloseDecision::KeepOpen;
    // The run is further down this call chain: it is asked to stop, and the window closes
    // once it has returned. Only then are the param files written: the constants typed since
    // the start must not be lost with the run's image.
    closeAfterRun_ = true;
    Run.StopRequested = true;
    return CloseDecision::KeepOpen;
}

bool ProgramState::CloseIsDue() const { return closeAfterRun_ && !Run.Running && !Run.Preparing; }

void ProgramState::RunStarted()
{
    StatusCode = Status::Running;
    Pauses.Start(Run.StartTime);
    // A close confirmed while the output file was being prepared stops the run at its start.
    if (closeAfterRun_) Run.StopRequested = true;
}

void ProgramState::RunEnded() { StatusCode = Status::Ready; }

}  // namespace nimbra
