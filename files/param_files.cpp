#include "files/param_files.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

namespace nimbra {
namespace {

const std::string ParameterSeparator = "-!!-";
const std::string SettingSeparator = "*=*";
constexpr std::size_t ImagTextCharacters = 12;
constexpr std::size_t SettingValueCharacters = 255;

bool Exists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

// The whole content, or nothing when the file cannot be opened or read (a folder, no right,
// a read error).
std::optional<std::string> ReadWholeFile(const std::string& path)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return std::nullopt;
    std::string content;
    char buffer[65536];
    bool failed = false;
    for (;;) {
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) failed = true;
        if (got <= 0) break;
        content.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(descriptor);
    if (failed) return std::nullopt;
    return content;
}

bool WriteWholeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    return !out.fail();
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

void LoadParameterFile(const std::string& path, std::vector<std::string>& realItems,
                       std::vector<std::string>& imagItems, UserDialogs& dialogs, PumpHook& pump)
{
    if (!Exists(path)) return;
    const std::optional<std::string> content = ReadWholeFile(path);
    if (!content) {
        dialogs.ShowMessage("Fehler beim Einlesen der Parameterdatei " + path + " !");
        return;
    }
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
    if (WriteWholeFile(path, content)) return true;
    dialogs.ShowMessage("Fehler beim Schreiben der Parameterdatei " + path + " !");
    return false;
}

void LoadProgramSettings(const std::string& path, std::string& viewerProgram, UserDialogs& dialogs,
                         PumpHook& pump)
{
    if (!Exists(path)) return;
    const std::optional<std::string> content = ReadWholeFile(path);
    if (!content) {
        dialogs.ShowMessage("Fehler beim Einlesen der Programmkonfiguration " + path + " !");
        return;
    }
    ForEachLine(*content, [&](const std::string& line) {
        const std::size_t separator = line.find(SettingSeparator);
        if (separator != std::string::npos && UpperCaseAscii(line.substr(0, separator)) == "VIEWER")
            viewerProgram = CharacterPrefix(line.substr(separator + SettingSeparator.size()), SettingValueCharacters);
        pump();
    });
}

bool SaveProgramSettings(const std::string& path, const std::string& viewerProgram, UserDialogs& dialogs)
{
    if (WriteWholeFile(path, "VIEWER" + SettingSeparator + viewerProgram + "\r\n")) return true;
    dialogs.ShowMessage("Fehler beim Schreiben der Programmkonfiguration " + path + " !");
    return false;
}

}  // namespace nimbra
