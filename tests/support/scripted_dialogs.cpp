#include "tests/support/scripted_dialogs.h"

namespace nimbra::testing {

void ScriptedDialogs::ShowMessage(const std::string& text) { Messages.push_back(text); }

void ScriptedDialogs::ShowError(const std::string& text)
{
    Messages.push_back(text);
    Errors.push_back(text);
}

void ScriptedDialogs::ShowWarning(const std::string& text)
{
    Messages.push_back(text);
    Warnings.push_back(text);
}

bool ScriptedDialogs::AskYesNo(const std::string& text, const std::string& caption)
{
    Questions.push_back(text);
    QuestionCaptions.push_back(caption);
    if (YesNoAnswers.empty()) {
        Unexpected.push_back("question: " + text);
        return false;
    }
    const bool answer = YesNoAnswers.front();
    YesNoAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedDialogs::ChooseFile(const FileRequest& request)
{
    FileRequests.push_back(request);
    if (FileAnswers.empty()) {
        Unexpected.push_back("file dialog: " + request.Title);
        return std::nullopt;
    }
    std::optional<std::string> answer = FileAnswers.front();
    FileAnswers.pop_front();
    return answer;
}

std::optional<Rgb> ScriptedDialogs::ChooseColour(Rgb start)
{
    ColourStarts.push_back(start);
    if (ColourAnswers.empty()) {
        Unexpected.push_back("colour dialog");
        return std::nullopt;
    }
    std::optional<Rgb> answer = ColourAnswers.front();
    ColourAnswers.pop_front();
    return answer;
}

}  // namespace nimbra::testing
