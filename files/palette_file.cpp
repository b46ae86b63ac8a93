#include "files/palette_file.h"

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

bool ReadNodeBlock(ByteReader& file, PaletteList& palette)
{
    std::vector<PaletteNode> nodes;  // in file order until the end
    bool complete = true;
    while (!file.AtEnd()) {
        std::uint8_t record[NodeRecordSize];
        if (file.Read(record, NodeRecordSize) != NodeRecordSize) {
            complete = false;
            break;
        }
        nodes.push_back({record[0], record[1], record[2], record[3]});
    }
    std::reverse(nodes.begin(), nodes.end());
    palette.AssignNodes(std::move(nodes));
    return complete;
}

void ReadPaletteFile(const std::string& fileName, PaletteList& palette, UserDialogs& dialogs)
{
    const std::string readFailed = "Fehler beim Lesen der Palette " + fileName + " !";
    palette.ClearPalette();
    ByteReader file(fileName);
    std::array<std::uint8_t, FileMagic.size()> magic{};
    if (file.Read(magic.data(), magic.size()) != magic.size()) {
        dialogs.ShowMessage(readFailed);
        return;
    }
    if (magic != FileMagic) {
        dialogs.ShowMessage(fileName + " hat falsches Dateiformat !");
        palette.ResetPalette();
    } else if (!ReadNodeBlock(file, palette)) {
        dialogs.ShowMessage(readFailed);
        return;
    }
    if (!file.Close()) dialogs.ShowMessage(readFailed);
}

void WritePaletteFile(const std::string& fileName, const PaletteList& palette, UserDialogs& dialogs)
{
    ByteWriter file(fileName);
    const std::vector<std::uint8_t> nodes = NodeBlockBytes(palette);
    // The first failing step ends the write; the steps after it are not tried.
    const bool written = file.IsOpen() && file.Write(FileMagic.data(), FileMagic.size()) &&
                         file.Write(nodes.data(), nodes.size()) && file.Close();
    if (!written) dialogs.ShowMessage("Fehler beim Schreiben der Palette " + fileName + " !");
}

}  // namespace nimbra
