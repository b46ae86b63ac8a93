#pragma once
#include "common/rgb.h"
#include "engine/fractal_params.h"
#include "palette/palette_list.h"

#include <vector>

namespace nimbra {

constexpr int ModePictureWidth = 180;
constexpr int ModeStripHeight = 20;  // the strips fill the top rows; the rest stays as it was

// The colour of each column of the colour model's spectrum picture, left to right: RGB runs
// from red over yellow, green, cyan and blue to magenta; CMY from cyan over blue, magenta,
// red, a dark orange and green to a light yellow. GRAD and an unknown model have none (empty).
std::vector<Rgb> SpectrumColumns(ColorModel model, int width);

// The gradient's colour at column x of width columns, for each column.
std::vector<Rgb> GradientStripColumns(const PaletteList& palette, int width);

}  // namespace nimbra
