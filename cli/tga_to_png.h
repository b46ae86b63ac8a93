#pragma once
#include "common/platform.h"
#include "convert/convert_file.h"
#include "common/user_dialogs.h"

#include <cstdint>
#include <functional>
#include <string>

namespace nimbra {

// The name of a TGA file's PNG: ".tga" (in any case) replaced by ".png", or ".png" added.
std::string PngPathFor(const std::string& tgaPath);

// Writes the PNG of a TGA file in the layout the program writes (uncompressed 24-bit, top row
// first) beside it, row by row, with dotsPerInch in its pHYs chunk unless 0. The PNG takes its
// name only when complete, and nothing is left behind when stopped() turns true between two
// rows. Converted, Stopped or Failed; messages go to dialogs.
ConversionOutcome ConvertTgaToPng(const std::string& tgaPath, std::int32_t dotsPerInch, UserDialogs& dialogs,
                                  Platform& platform, const std::function<bool()>& stopped);

}  // namespace nimbra
