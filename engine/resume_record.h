#pragma once
#include "engine/fractal_params.h"
#include "engine/image_output.h"
#include "palette/palette_list.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nimbra {

// What the record beside an unfinished image holds: the parameters the image was begun with,
// and how many of its rows are safely on disk.
struct ResumeRecord {
    std::string Parameters;  // ImageParameterBytes
    std::int32_t RowsDone = 0;
};

// The record as bytes: "NimbraRs", the parameters' length (4 bytes, little-endian), the
// parameters, the rows done (4 bytes), and an FNV-1a hash of all that (8 bytes), which tells a
// damaged record from a whole one.
std::string EncodeResumeRecord(const ResumeRecord& record);
// Nothing when the bytes are not a whole record.
std::optional<ResumeRecord> DecodeResumeRecord(const std::string& bytes);

// Everything the bytes of an image depend on, as bytes: the same bytes, the same image. The
// extended values go in as the ten bytes of their 80-bit format, so that a continued image is
// computed from exactly the numbers it was begun with; the gradient only for its model.
std::string ImageParameterBytes(const FractalParams& params, int supersample, ImageFormat format,
                                std::int32_t dotsPerInch, const PaletteList& palette);

}  // namespace nimbra
