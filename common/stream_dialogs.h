#pragma once
#include "common/user_dialogs.h"

#include <ostream>

namespace nimbra {

// For programs without windows, which have no one to ask: messages go to a stream (stderr),
// questions get No.
class StreamDialogs final : public UserDialogs {
public:
    explicit StreamDialogs(std::ostream& err) : err_(err) {}
    void ShowMessage(const std::string& text) override { err_ << text << '\n'; }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> ChooseFile(const FileRequest&) override { return std::nullopt; }
    std::optional<Rgb> ChooseColour(Rgb) override { return std::nullopt; }

private:
    std::ostream& err_;
};

}  // namespace nimbra
