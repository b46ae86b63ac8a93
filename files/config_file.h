#pragma once
#include "common/user_dialogs.h"
#include "engine/fractal_params.h"
#include "engine/read_params.h"
#include "palette/palette_list.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace nimbra {

constexpr std::size_t ConfigRecordSize = 70;

// The parameter record of configuration files. Stored little-endian without padding: the mode
// byte (bits 0-1 the colour model, bit 2 inverted, bit 7 preview, the others 0), formula, width
// and height (16 bits), iterations (32 bits), then six x87 extended values of 10 bytes each in
// the order real from, imaginary from, real to, imaginary to, Julia real, Julia imaginary.
struct ConfigRecord {
    ColorModel Model = ColorModel::Rgb;
    bool Inverted = false;
    bool Preview = false;
    std::uint8_t Formula = 0;
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::int32_t MaxIterations = 0;
    long double RealFrom = 0;
    long double ImagFrom = 0;
    long double RealTo = 0;
    long double ImagTo = 0;
    long double JuliaReal = 0;
    long double JuliaImag = 0;
};

std::array<std::uint8_t, ConfigRecordSize> EncodeConfigRecord(const ConfigRecord& record);
ConfigRecord DecodeConfigRecord(const std::array<std::uint8_t, ConfigRecordSize>& bytes);

// The record of the parameters as ReadParams left them. A width or height outside 0..65535
// cannot be stored: thrown as Error::RangeCheck before any file is touched.
ConfigRecord BuildConfigRecord(const FractalParams& params);

// Magic, record and (for the palette model alone) the gradient's node records. Every step is
// tried even after an earlier one failed, and each failure shows its own message; false when
// any failed. The list is left as it was.
bool WriteConfigurationFile(const std::string& fileName, const ConfigRecord& record, const PaletteList& palette,
                            UserDialogs& dialogs);

// What a configuration file gave: its record, when one could be read, and whether the whole
// file could (a gradient cut short leaves a record and the nodes read before the cut).
struct ConfigurationRead {
    std::optional<ConfigRecord> Record;  // nothing: the file is not one, or its record could not be read
    bool Complete = false;
};

// Messages are shown for every failure; without a record nothing is changed. A record of the
// palette model without inversion and preview (its mode byte exactly 2) replaces the gradient
// by the node records that follow it.
ConfigurationRead ReadConfigurationFile(const std::string& fileName, PaletteList& palette, UserDialogs& dialogs);

// The texts and check states the main window shows for a loaded record; the decimal separator
// is the user's locale's.
ParamFields ConfigFieldTexts(const ConfigRecord& record, char decimalSeparator);

// "Nimbra - " and the file name without its folder.
std::string ConfigCaption(const std::string& fileName);

}  // namespace nimbra
