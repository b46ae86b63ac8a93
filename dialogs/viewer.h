#pragma once
#include "common/platform.h"
#include "common/user_dialogs.h"

#include <optional>
#include <string>

namespace nimbra {

// The viewer open dialog, which keeps its file name between uses: that name, not the text of
// the preferences' edit field, is what "Übernehmen" makes the viewer program.
struct ViewerOpenDialog {
    std::string FileName;  // empty until "Suchen" is first used
};

// "Suchen": the dialog starts from viewerProgram; the confirmed full path, which the dialog
// then keeps, or nothing when cancelled (the dialog keeps viewerProgram).
std::optional<std::string> SearchViewer(ViewerOpenDialog& dialog, const std::string& viewerProgram,
                                        UserDialogs& dialogs);

// "Bild ansehen": starts the viewer with the image path as its one argument; asks for a
// viewer first when none is configured. A viewer that cannot be started is reported; what it
// does once started (a picture it cannot show) is its own affair.
void StartViewer(const std::string& viewerProgram, const std::string& lastImagePath, Platform& platform,
                 UserDialogs& dialogs);

}  // namespace nimbra
