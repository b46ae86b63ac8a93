#pragma once
#include "common/user_dialogs.h"
#include "palette/palette_list.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nimbra {

// Opens palette and configuration files alike; only the extension tells them apart.
constexpr std::array<std::uint8_t, 7> FileMagic = {'L', 'U', 'M', 'E', 'N', '-', '>'};
constexpr std::size_t NodeRecordSize = 4;  // red, green, blue, position

// The node block of palette and configuration files: one record per node, in the reverse of the
// list order, so a reader that puts each record in front restores the list.
std::vector<std::uint8_t> NodeBlockBytes(const PaletteList& palette);

bool StartsWithFileMagic(const std::string& bytes);

// Makes the node records in bytes from offset on the list, the last record first. False when
// the bytes end inside a record; the complete records before it are kept.
bool ReadNodeBlock(const std::string& bytes, std::size_t offset, PaletteList& palette);

// Replaces the list by the gradient stored in the file; false when it could not be read whole
// (message shown). A wrong magic gives the default gradient; a failed read keeps the records
// read before it.
bool ReadPaletteFile(const std::string& fileName, PaletteList& palette, UserDialogs& dialogs);

// Writes the list to the file, replacing any file of that name; false when it could not be
// written (message shown). The list is left as it was.
bool WritePaletteFile(const std::string& fileName, const PaletteList& palette, UserDialogs& dialogs);

}  // namespace nimbra
