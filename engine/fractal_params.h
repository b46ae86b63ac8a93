#pragma once
#include <atomic>
#include <cstdint>

namespace nimbra {

enum class FormulaKind : std::uint8_t {
    Mandelbrot = 0,
    InvertedMandelbrot = 1,
    Julia = 2,
    Dragon = 3,
    Daisy = 4,
    BurningShip = 5,
};
constexpr int FormulaCount = 6;

enum class ColorModel : std::uint8_t { Rgb = 0, Cmy = 1, Grad = 2 };

// The switches of one image, stored unchanged as the first byte of a configuration record.
namespace ModeFlagBits {
constexpr std::uint8_t ColorModelMask = 0x03;
constexpr std::uint8_t Inverted = 0x04;
constexpr std::uint8_t Preview = 0x80;
}  // namespace ModeFlagBits

// The parameter set of one image. Formula is a byte so that unknown values read from a
// configuration survive; a value above 5 runs no kernel.
struct FractalParams {
    std::uint8_t Formula = 0;
    std::uint8_t ModeFlags = ModeFlagBits::Preview;
    std::uint16_t DigitBase = 14;
    std::int32_t Width = 640;
    std::int32_t Height = 480;
    std::int32_t MaxIterations = 2048;
    long double RealFrom = -2.0L;
    long double ImagFrom = -1.25L;
    long double RealTo = 0.5L;
    long double ImagTo = 1.25L;
    long double StepReal = 2.5L / 640;
    long double StepImag = 2.5L / 480;
    long double JuliaImag = 0.0L;
    long double JuliaReal = 0.0L;

    ColorModel Model() const { return static_cast<ColorModel>(ModeFlags & ModeFlagBits::ColorModelMask); }
    bool Inverted() const { return (ModeFlags & ModeFlagBits::Inverted) != 0; }
    bool Preview() const { return (ModeFlags & ModeFlagBits::Preview) != 0; }
};

// The formula is read anew for every pixel, also by worker threads, while the menu may set
// it during a run: both sides go through these.
inline std::uint8_t LoadFormula(const FractalParams& params)
{
    return std::atomic_ref<std::uint8_t>(const_cast<std::uint8_t&>(params.Formula)).load(std::memory_order_relaxed);
}
inline void StoreFormula(FractalParams& params, std::uint8_t formula)
{
    std::atomic_ref<std::uint8_t>(params.Formula).store(formula, std::memory_order_relaxed);
}

// The state of the active run, read by the status line, the preview and the close query.
// StopRequested is atomic because worker threads read it after every pass.
struct RunState {
    std::uint16_t CurrentRow = 0;
    std::int32_t IterationCount = 0;
    bool Running = false;
    bool Preparing = false;  // the output file is being prepared: start requests are ignored
    std::atomic<bool> StopRequested = false;
    double StartTime = 0;  // time of day as a fraction of a day
};

}  // namespace nimbra
