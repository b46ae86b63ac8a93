#include "dialogs/viewer.h"

#include "dialogs/start_failure.h"

namespace nimbra {

std::optional<std::string> SearchViewer(ViewerOpenDialog& dialog, const std::string& viewerProgram,
                                        UserDialogs& dialogs)
{
    dialog.FileName = viewerProgram;
    FileRequest request;
    request.DialogKind = FileRequest::Kind::Open;
    request.Filter = "alle Dateien|*";  // viewers have no dot in their names
    request.FileName = dialog.FileName;
    const std::optional<std::string> chosen = dialogs.ChooseFile(request);
    if (chosen) dialog.FileName = *chosen;
    return chosen;
}

void StartViewer(const std::string& viewerProgram, const std::string& lastImagePath, Platform& platform,
                 UserDialogs& dialogs)
{
    if (viewerProgram.empty()) {
        dialogs.ShowMessage(
            "Es wurde noch kein Betrachtungsprogramm konfiguriert. Bitte konfigurieren Sie zuerst mit F5 !");
        return;
    }
    if (const IoError error = platform.StartProgram(viewerProgram, lastImagePath))
        dialogs.ShowWarning(StartFailureMessage("Das Betrachtungsprogramm", viewerProgram, error));
}

}  // namespace nimbra
