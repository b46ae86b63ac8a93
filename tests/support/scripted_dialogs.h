#pragma once
#include "common/user_dialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace nimbra::testing {

// Answers questions from queues and records everything said, in order. A question with no
// queued answer is recorded in Unexpected and answered No / cancelled.
class ScriptedDialogs final : public UserDialogs {
public:
    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    std::optional<std::string> ChooseFile(const FileRequest& request) override;
    std::optional<Rgb> ChooseColour(Rgb start) override;

    std::deque<bool> YesNoAnswers;
    std::deque<std::optional<std::string>> FileAnswers;
    std::deque<std::optional<Rgb>> ColourAnswers;

    std::vector<std::string> Messages;         // message texts, errors and warnings among them
    std::vector<std::string> Errors;           // the texts of the messages shown as errors
    std::vector<std::string> Warnings;         // and as warnings
    std::vector<std::string> Questions;        // question texts
    std::vector<std::string> QuestionCaptions;
    std::vector<FileRequest> FileRequests;
    std::vector<Rgb> ColourStarts;
    std::vector<std::string> Unexpected;
};

}  // namespace nimbra::testing
