#include "files/palette_file.h"

#include "common/file_descriptor.h"
#include "common/output_file.h"

#include <algorithm>

namespace nimbra {

std::vector<std::uint8_t> NodeBlockBytes(const PaletteList& palette)
{
    // Built from the end of the list instead of reversing the list itself: the list stays
    // untouched for anyone looking it up meanwhile.
    std::vector<std::uint8_t> bytes;
    bytes.reserve(palette.Nodes().size() * NodeRecordSize);
    for (auto node = palette.Nodes().rbegin(); node != palette.Nodes().rend(); ++node)
        bytes.insert(bytes.end(), {node->Red, node->Green, node->Blue, node->Position});
    return bytes;
}

bool StartsWithFileMagic(const std::string& bytes)
{
    return bytes.size() >= FileMagic.size() &&
           std::equal(FileMagic.begin(), FileMagic.end(), bytes.begin(),
                      [](std::uint8_t magic, char byte) { return magic == static_cast<std::uint8_t>(byte); });
}

bool ReadNodeBlock(const std::string& bytes, std::size_t offset, PaletteList& palette)
{
    std::vector<PaletteNode> nodes;
    const std::size_t end = bytes.size();
    nodes.reserve((end - offset) / NodeRecordSize);
    // From the last complete record to the first, so that the list comes out in reverse.
    std::size_t record = offset + (end - offset) / NodeRecordSize * NodeRecordSize;
    while (record > offset) {
        record -= NodeRecordSize;
        const auto* node = reinterpret_cast<const std::uint8_t*>(bytes.data() + record);
        nodes.push_back({node[0], node[1], node[2], node[3]});
    }
    palette.AssignNodes(std::move(nodes));
    return (end - offset) % NodeRecordSize == 0;
}

bool ReadPaletteFile(const std::string& fileName, PaletteList& palette, UserDialogs& dialogs)
{
    const std::string readFailed = "Fehler beim Lesen der Palette " + fileName + " !";
    palette.ClearPalette();
    const FileContent content = ReadWholeFile(fileName);
    if (content.Bytes.size() < FileMagic.size()) {
        dialogs.ShowWarning(WithReason(readFailed, content.Error));
        return false;
    }
    if (!StartsWithFileMagic(content.Bytes)) {
        dialogs.ShowWarning(fileName + " hat falsches Dateiformat !");
        palette.ResetPalette();
        return false;
    }
    if (!ReadNodeBlock(content.Bytes, FileMagic.size(), palette) || content.Error) {
        dialogs.ShowWarning(WithReason(readFailed, content.Error));
        return false;
    }
    return true;
}

bool WritePaletteFile(const std::string& fileName, const PaletteList& palette, UserDialogs& dialogs)
{
    const std::vector<std::uint8_t> nodes = NodeBlockBytes(palette);
    std::string content(FileMagic.begin(), FileMagic.end());
    content.append(nodes.begin(), nodes.end());
    const IoError error = WriteWholeFile(fileName, content);
    if (error) dialogs.ShowWarning(WithReason("Fehler beim Schreiben der Palette " + fileName + " !", error));
    return !error;
}

}  // namespace nimbra
