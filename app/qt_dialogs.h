#pragma once
#include "common/user_dialogs.h"

#include <QString>

namespace nimbra {

inline constexpr char ApplicationTitle[] = "Nimbra 2005";

// "Farbpalette|*.pal|Alle Dateien|*.*" as Qt writes it: "Farbpalette (*.pal);;Alle Dateien (*.*)".
QString FileDialogFilter(const std::string& filter);

// The user's answers through Qt's standard boxes, over the active window. Messages carry
// the application title; errors show the error icon, failures the program handles itself the
// warning icon, questions the question icon.
class QtDialogs final : public UserDialogs {
public:
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    bool AskYesNoWithoutIcon(const std::string& text, const std::string& caption) override;
    std::optional<std::string> ChooseFile(const FileRequest& request) override;
    std::optional<Rgb> ChooseColour(Rgb start) override;
};

}  // namespace nimbra
