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

// Unknown is the model value 3 of a configuration file: no radio button shows it, it is drawn
// as RGB, and a save writes it back unchanged.
enum class ColorModel : std::uint8_t { Rgb = 0, Cmy = 1, Grad = 2, Unknown = 3 };

// The image the program starts with and the reset brings back. An empty region field reads as
// this region; a size or iteration maximum out of range is corrected to these values.
namespace DefaultView {
constexpr std::int32_t Width = 640;
constexpr std::int32_t Height = 480;
constexpr std::int32_t MaxIterations = 2048;
constexpr long double RealFrom = -2.0L;
constexpr long double RealTo = 0.5L;
constexpr long double ImagFrom = -1.25L;
constexpr long double ImagTo = 1.25L;
}  // namespace DefaultView

// The parameter set of one image. Formula is a byte so that unknown values read from a
// configuration survive; a value of FormulaCount (formula_table.h) or more runs no kernel.
struct FractalParams {
    std::uint8_t Formula = 0;
    ColorModel Model = ColorModel::Rgb;
    bool Inverted = false;  // the count is replaced by MaxIterations minus the count before colouring
    bool Preview = true;    // drawn into the preview window instead of written to a file
    std::uint16_t DigitBase = 14;  // DigitBaseFor(DefaultView::MaxIterations)
    std::int32_t Width = DefaultView::Width;
    std::int32_t Height = DefaultView::Height;
    std::int32_t MaxIterations = DefaultView::MaxIterations;
    long double RealFrom = DefaultView::RealFrom;
    long double ImagFrom = DefaultView::ImagFrom;
    long double RealTo = DefaultView::RealTo;
    long double ImagTo = DefaultView::ImagTo;
    long double StepReal = (DefaultView::RealTo - DefaultView::RealFrom) / DefaultView::Width;
    long double StepImag = (DefaultView::ImagTo - DefaultView::ImagFrom) / DefaultView::Height;
    long double JuliaImag = 0.0L;
    long double JuliaReal = 0.0L;
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
