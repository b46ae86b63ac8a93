#pragma once
#include "engine/fractal_params.h"

#include <cstdint>
#include <string>

namespace nimbra {

// The main window's inputs as the user left them; ReadParams writes the corrected texts back
// into it, and the window shows them in the same fields.
struct ParamFields {
    std::string Width = "640";
    std::string Height = "480";
    std::string Iterations = "2048";
    std::string RealFrom = "-2";
    std::string RealTo = "0,5";
    std::string ImagFrom = "-1,25";
    std::string ImagTo = "1,25";
    std::string JuliaReal;
    std::string JuliaImag;
    bool SetRGB = true;
    bool SetCMY = false;
    bool SetGrad = false;
    bool SetInvers = false;
    bool SetTestMode = true;
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

// Rounded cube root of the iteration maximum plus one; every count 0..maximum then has three
// digits in this base.
std::uint16_t DigitBaseFor(std::int32_t maxIterations);

}  // namespace nimbra
