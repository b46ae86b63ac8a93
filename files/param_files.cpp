#include "files/param_files.h"

#include "common/file_descriptor.h"
#include "common/output_file.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace nimbra {
namespace {

const std::string ParameterSeparator = "-!!-";
const std::string SettingSeparator = "*=*";
constexpr std::size_t ImagTextCharacters = 12;
constexpr std::size_t SettingValueCharacters = 255;

// The whole content: empty when the file does not exist (skipped silently), nothing when it
// cannot be read (reported with message and the reason).
std::optional<std::string> ReadParamFile(const std::string& path, const std::string& message, UserDialogs& dialogs)
{
    FileContent content = ReadWholeFile(path);
    if (!content.Opened && content.Error.Number() == ENOENT) return std::string();
    if (content.Error) {
        dialogs.ShowWarning(WithReason(message + path + " !", content.Error));
        return std::nullopt;
    }
    return std::move(content.Bytes);
}

bool WriteParamFile(const std::string& path, const std::string& content, const std::string& message,
                    UserDialogs& dialogs)
{
    const IoError error = WriteWholeFile(path, content);
    if (error) dialogs.ShowWarning(WithReason(message + path + " !", error));
    return !error;
}

// Calls lineAction for each line without its LF or CR LF; a last line without an end counts.
template <class LineAction>
void ForEachLine(const std::string& content, LineAction&& lineAction)
{
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        const std::size_t next = end == std::string::npos ? content.size() : end + 1;
        if (end == std::string::npos) end = content.size();
        if (end > start && content[end - 1] == '\r') --end;
        lineAction(content.substr(start, end - start));
        start = next;
    }
}

// At most maxCharacters UTF-8 characters of text; a character is never cut in two.
std::string CharacterPrefix(const std::string& text, std::size_t maxCharacters)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == maxCharacters) return text.substr(0, i);
    }
    return text;
}

std::string UpperCaseAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

}  // namespace

std::string ParameterFilePath(const std::string& startFolder) { return startFolder + "param/nimbra.par"; }
std::string SettingsFilePath(const std::string& startFolder) { return startFolder + "param/nimbra.prf"; }

bool LoadParameterFile(const std::string& path, std::vector<std::string>& realItems,
                       std::vector<std::string>& imagItems, UserDialogs& dialogs, PumpHook& pump)
{
    const std::optional<std::string> content = ReadParamFile(path, "Fehler beim Einlesen der Parameterdatei ", dialogs);
    if (!content) return false;
    ForEachLine(*content, [&](const std::string& line) {
        const std::size_t separator = line.find(ParameterSeparator);
        if (separator != std::string::npos) {
            const std::string realText = line.substr(0, separator);
            const std::string imagText =
                CharacterPrefix(line.substr(separator + ParameterSeparator.size()), ImagTextCharacters);
            if (!realText.empty()) realItems.push_back(realText);
            if (!imagText.empty()) imagItems.push_back(imagText);
        }
        pump();
    });
    return true;
}

bool SaveParameterFile(const std::string& path, const std::vector<std::string>& realItems,
                       const std::vector<std::string>& imagItems, UserDialogs& dialogs)
{
    std::string content;
    const std::size_t lines = std::max(realItems.size(), imagItems.size());
    for (std::size_t i = 0; i < lines; ++i) {
        if (i < realItems.size()) content += realItems[i];
        content += ParameterSeparator;
        if (i < imagItems.size()) content += imagItems[i];
        content += "\r\n";
    }
    return WriteParamFile(path, content, "Fehler beim Schreiben der Parameterdatei ", dialogs);
}

bool LoadProgramSettings(const std::string& path, std::string& viewerProgram, UserDialogs& dialogs,
                         PumpHook& pump)
{
    const std::optional<std::string> content =
        ReadParamFile(path, "Fehler beim Einlesen der Programmkonfiguration ", dialogs);
    if (!content) return false;
    ForEachLine(*content, [&](const std::string& line) {
        const std::size_t separator = line.find(SettingSeparator);
        if (separator != std::string::npos && UpperCaseAscii(line.substr(0, separator)) == "VIEWER")
            viewerProgram = CharacterPrefix(line.substr(separator + SettingSeparator.size()), SettingValueCharacters);
        pump();
    });
    return true;
}

bool SaveProgramSettings(const std::string& path, const std::string& viewerProgram, UserDialogs& dialogs)
{
    return WriteParamFile(path, "VIEWER" + SettingSeparator + viewerProgram + "\r\n",
                          "Fehler beim Schreiben der Programmkonfiguration ", dialogs);
}

}  // namespace nimbra
