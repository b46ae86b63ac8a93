#pragma once
#include "common/rgb.h"

#include <optional>
#include <string>

namespace nimbra {

// What a file dialog is asked to show; the answer is a full path or nothing (cancelled).
struct FileRequest {
    enum class Kind { Open, Save };
    Kind DialogKind = Kind::Open;
    std::string Title;             // empty: the dialog's own default title
    std::string Filter;            // "Farbpalette|*.pal"
    std::string DefaultExtension;  // without the dot
    std::string InitialFolder;     // relative to the current directory, or empty
    std::string FileName;          // proposed name or full path
    bool AskBeforeReplacing = false;
};

// All the program says to or asks of the user.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    virtual void ShowMessage(const std::string& text) = 0;                               // OK box, application title
    // A command that could not go on (an Error): where there is no error icon to show, it is
    // a message like any other.
    virtual void ShowError(const std::string& text) { ShowMessage(text); }
    // A failure the program handles itself (a file it cannot read or write, a program it cannot
    // start): where there is no warning icon to show, a message like any other.
    virtual void ShowWarning(const std::string& text) { ShowMessage(text); }
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;      // only Yes is consent
    // A question asked without the question icon: where there is no icon to leave off, a
    // question like any other.
    virtual bool AskYesNoWithoutIcon(const std::string& text, const std::string& caption)
    {
        return AskYesNo(text, caption);
    }
    virtual std::optional<std::string> ChooseFile(const FileRequest& request) = 0;
    virtual std::optional<Rgb> ChooseColour(Rgb start) = 0;
};

}  // namespace nimbra
