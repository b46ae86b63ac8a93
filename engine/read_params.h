#pragma once
#include "common/number_text.h"
#include "engine/fractal_params.h"

#include <cstdint>
#include <string>

namespace nimbra {

// The main window's inputs as the user left them; ReadParams writes the corrected texts back
// into it, and the window shows them in the same fields. Without a window: the default view.
struct ParamFields {
    std::string Width = std::to_string(DefaultView::Width);
    std::string Height = std::to_string(DefaultView::Height);
    std::string Iterations = std::to_string(DefaultView::MaxIterations);
    std::string RealFrom = FormatGeneral(DefaultView::RealFrom, ',');
    std::string RealTo = FormatGeneral(DefaultView::RealTo, ',');
    std::string ImagFrom = FormatGeneral(DefaultView::ImagFrom, ',');
    std::string ImagTo = FormatGeneral(DefaultView::ImagTo, ',');
    std::string JuliaReal{};
    std::string JuliaImag{};
    ColorModel Model = ColorModel::Rgb;  // SetRGB, SetCMY, SetGrad; Unknown: none of them checked
    bool Inverted = false;               // SetInvers
    bool Preview = true;                 // SetTestMode
};

struct PreviewSize {
    std::int32_t Width = 255;
    std::int32_t Height = 255;
};

constexpr std::int32_t MaxImageWidth = 20480;  // the capacity of the row buffer

// Reads, corrects and checks the fields into params and computes the steps and the colour
// digit base. Every field read is written back into fields at once, so a refusal (thrown as
// Error) keeps the corrections made before it. The output file is not touched here.
void ReadParams(ParamFields& fields, FractalParams& params, PreviewSize preview, char decimalSeparator);

// StepReal and StepImag of the region at the image size, as ReadParams computes them, with its
// messages for a size of 0 (thrown as Error).
void SetSteps(FractalParams& params);

// The same region at factor times the width and the height: the image whose blocks of factor x
// factor pixels a supersampled run averages.
FractalParams Supersampled(const FractalParams& params, int factor);

// round(exp(ln(maximum) / 3)) + 1 in extended precision, rounding to nearest with ties to
// even: the cube root of the iteration maximum rounded first, then one added (2048 gives 14,
// 4096 gives 17). Every count 0..maximum then has three digits in this base.
std::uint16_t DigitBaseFor(std::int32_t maxIterations);

}  // namespace nimbra
