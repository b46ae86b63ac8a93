#pragma once
#include "engine/engine_shortcuts.h"
#include "engine/fractal_params.h"
#include "engine/linearised_region.h"
#include "engine/shortcut_loop.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>

namespace nimbra {

// No kernel runs for FormulaCount and up: the pixel takes the previous pixel's count, which only
// the thread that colours the pixels in order knows.
inline constexpr std::int32_t PreviousPixelCount = -1;

// Each kernel keeps its values in extended precision and evaluates every operation in the
// order written; images depend on it. Once a value is infinite or NaN it stays so under +, -,
// x and sqrt, so checking the last state is enough.
//
// A kernel can be set to a state zr, zi: its other values follow from it as a pass leaves them.
// For the proof that an orbit stays bounded (orbit_proof.h) it tells the derivative of its
// exact pass, the sum of the absolute values of the constants its pass adds and the limit of its
// escape test; a kernel whose exact pass is z squared plus a constant tells that constant too,
// for the regions around its cycles (linearised_region.h), and a guess of it in doubles.

// Mandelbrot: the point itself is the start value.
struct MandelbrotPass {
    long double cr, ci, zr, zi, sr, si;
    MandelbrotPass(long double pr, long double pi) : cr(pr), ci(pi), zr(pr), zi(pi), sr(zr * zr), si(zi * zi) {}
    void Pass()
    {
        zi = (zr * 2) * zi + ci;
        zr = (sr - si) + cr;
        si = zi * zi;
        sr = zr * zr;
    }
    bool Escaped() const { return sr + si >= 4; }
    bool OutOfRange() const { return !std::isfinite(sr + si); }
    void SetState(long double real, long double imag)
    {
        zr = real;
        zi = imag;
        sr = zr * zr;
        si = zi * zi;
    }
    PassDerivative Derivative() const
    {
        const double x = static_cast<double>(zr) * 2, y = static_cast<double>(zi) * 2;
        return {x, -y, y, x};
    }
    long double ConstantsSize() const { return fabsl(cr) + fabsl(ci); }
    static long double EscapeLimit() { return 4; }
    static constexpr bool Linearisable = true;
    static constexpr FormulaKind Kind = FormulaKind::Mandelbrot;
    LinearisedRegion::PassConstant Constant() const { return {cr, ci}; }
    Complex ConstantGuess() const { return {static_cast<double>(cr), static_cast<double>(ci)}; }
};

// Each coordinate is inverted by itself (not the complex reciprocal); the point, not its
// inverse, is added; the escape test sums the square roots of the absolute values.
struct InvertedMandelbrotPass {
    long double cr, ci, zr, zi, sr, si;
    InvertedMandelbrotPass(long double pr, long double pi)
        : cr(pr), ci(pi), zr(pr != 0 ? 1 / pr : 0), zi(pi != 0 ? 1 / pi : 0), sr(sqrtl(fabsl(zr))), si(sqrtl(fabsl(zi)))
    {
    }
    void Pass()
    {
        zi = (zr * 2) * zi + ci;
        zr = (sr - si) + cr;
        sr = sqrtl(fabsl(zr));
        si = sqrtl(fabsl(zi));
    }
    bool Escaped() const { return sr + si >= 4; }
    bool OutOfRange() const { return !std::isfinite(sr + si); }
    static constexpr bool Linearisable = false;
    static constexpr FormulaKind Kind = FormulaKind::InvertedMandelbrot;
    void SetState(long double real, long double imag)
    {
        zr = real;
        zi = imag;
        sr = sqrtl(fabsl(zr));
        si = sqrtl(fabsl(zi));
    }
};

// z squared minus the constant: the constant is subtracted.
struct JuliaPass {
    long double kr, ki, zr, zi, si, sr;
    JuliaPass(long double pr, long double pi, long double constantReal, long double constantImag)
        : kr(constantReal), ki(constantImag), zr(pr), zi(pi), si(zi * zi), sr(zr * zr)
    {
    }
    void Pass()
    {
        zi = zr * zi;
        zi = zi * 2 - ki;
        zr = (sr - si) - kr;
        si = zi * zi;
        sr = zr * zr;
    }
    bool Escaped() const { return sr + si >= 4; }
    bool OutOfRange() const { return !std::isfinite(sr + si); }
    void SetState(long double real, long double imag)
    {
        zr = real;
        zi = imag;
        si = zi * zi;
        sr = zr * zr;
    }
    PassDerivative Derivative() const
    {
        const double x = static_cast<double>(zr) * 2, y = static_cast<double>(zi) * 2;
        return {x, -y, y, x};
    }
    long double ConstantsSize() const { return fabsl(kr) + fabsl(ki); }
    static long double EscapeLimit() { return 4; }
    static constexpr bool Linearisable = true;
    static constexpr FormulaKind Kind = FormulaKind::Julia;
    LinearisedRegion::PassConstant Constant() const { return {-kr, -ki}; }
    Complex ConstantGuess() const { return {-static_cast<double>(kr), -static_cast<double>(ki)}; }
};

// z squared plus the point plus the fixed offset -0.74543 + 0.2i.
struct DragonPass : MandelbrotPass {
    using MandelbrotPass::MandelbrotPass;
    static constexpr long double OffsetReal = -0.74543L, OffsetImag = 0.2L;
    void Pass()
    {
        zi = ((zr * 2) * zi + ci) + OffsetImag;
        zr = ((sr - si) + cr) + OffsetReal;
        si = zi * zi;
        sr = zr * zr;
    }
    long double ConstantsSize() const { return fabsl(cr) + fabsl(ci) - OffsetReal + OffsetImag; }
    static constexpr FormulaKind Kind = FormulaKind::Dragon;
    LinearisedRegion::PassConstant Constant() const { return {cr, ci, OffsetReal, OffsetImag}; }
    Complex ConstantGuess() const
    {
        return {static_cast<double>(cr) + static_cast<double>(OffsetReal),
                static_cast<double>(ci) + static_cast<double>(OffsetImag)};
    }
};

// z squared plus the point plus the fixed offset 0.11031 - 0.67037i.
struct DaisyPass : MandelbrotPass {
    using MandelbrotPass::MandelbrotPass;
    static constexpr long double OffsetReal = 0.11031L, OffsetImag = -0.67037L;
    void Pass()
    {
        zi = ((zr * 2) * zi + ci) + OffsetImag;
        zr = ((sr - si) + cr) + OffsetReal;
        si = zi * zi;
        sr = zr * zr;
    }
    long double ConstantsSize() const { return fabsl(cr) + fabsl(ci) + OffsetReal - OffsetImag; }
    static constexpr FormulaKind Kind = FormulaKind::Daisy;
    LinearisedRegion::PassConstant Constant() const { return {cr, ci, OffsetReal, OffsetImag}; }
    Complex ConstantGuess() const
    {
        return {static_cast<double>(cr) + static_cast<double>(OffsetReal),
                static_cast<double>(ci) + static_cast<double>(OffsetImag)};
    }
};

// (|Re z| + i|Im z|) squared minus the point, from 0; the squared modulus is compared with
// the iteration maximum itself, not with 4.
struct BurningShipPass {
    long double cr, ci, limit, zr = 0, zi = 0, sr = 0, si = 0;
    BurningShipPass(long double pr, long double pi, std::int32_t maxIterations) : cr(pr), ci(pi), limit(maxIterations) {}
    void Pass()
    {
        sr = (zr * zr - zi * zi) - cr;
        si = fabsl(zr * zi) * 2 - ci;
        zr = sr;
        zi = si;
        sr = zr * zr + zi * zi;
    }
    bool Escaped() const { return sr > limit; }
    bool OutOfRange() const { return !std::isfinite(sr); }
    void SetState(long double real, long double imag)
    {
        zr = real;
        zi = imag;
        sr = zr * zr + zi * zi;
        si = zi;
    }
    PassDerivative Derivative() const
    {
        const double x = static_cast<double>(zr) * 2, y = static_cast<double>(zi) * 2;
        return {x, -y, std::copysign(y, x), std::copysign(x, y)};
    }
    long double ConstantsSize() const { return fabsl(cr) + fabsl(ci); }
    long double EscapeLimit() const { return limit; }
    static constexpr bool Linearisable = false;  // the fold is not holomorphic
    static constexpr FormulaKind Kind = FormulaKind::BurningShip;
};

// The plain loop: passes until escape, the maximum or a stop, each read after every pass. The
// passes are reported to the hook in batches, so the hot loop holds no call and keeps its
// values in registers. The Burning Ship lets the windows in three times a pass.
template <int HookCallsPerPass, class Kernel, class Hook>
PointResult IterateKernel(Kernel kernel, std::int32_t firstCount, std::int32_t maxIterations,
                          const std::atomic<bool>& stop, Hook& hook)
{
    std::int32_t count = firstCount;
    for (;;) {
        const std::uint32_t budget = (hook.PassesBeforePoll() + HookCallsPerPass - 1) / HookCallsPerPass;
        std::uint32_t passes = 0;
        bool done;
        do {
            kernel.Pass();
            ++count;
            ++passes;
            done = kernel.Escaped() || count == maxIterations || stop.load(std::memory_order_relaxed);
        } while (!done && passes != budget);
        hook.PassesDone(passes * HookCallsPerPass);
        // A stop set by a handler the hook ran ends the loop after this pass too.
        if (done || stop.load(std::memory_order_relaxed))
            return {count, kernel.OutOfRange(), kernel.Escaped() ? OrbitEnd::Escaped : OrbitEnd::RanToMaximum,
                    count - firstCount};
    }
}

// The plain loop, or the loop with the exact shortcuts when any is on. Most orbits that escape
// do so in their first passes, before a shortcut could pay for itself: plainPasses of them run
// as in the plain loop, PlainPrelude at most where the cycle is known in closed form.
template <int HookCallsPerPass, class Kernel, class Hook>
[[gnu::always_inline]] inline PointResult Iterate(Kernel kernel, std::int32_t firstCount, std::int32_t maxIterations,
                                                  const std::atomic<bool>& stop, Hook& hook, EngineShortcuts shortcuts,
                                                  std::int32_t plainPasses, RegionMemory* regions)
{
    if (!shortcuts.SkipRepeatingOrbits && !shortcuts.ProveBoundedOrbits)
        return IterateKernel<HookCallsPerPass>(kernel, firstCount, maxIterations, stop, hook);
    const std::uint32_t hookPasses = (hook.PassesBeforePoll() - 1) / HookCallsPerPass + 1;  // the windows' turn first
    if (static_cast<std::uint32_t>(plainPasses) > hookPasses) plainPasses = static_cast<std::int32_t>(hookPasses);
    std::int32_t count = firstCount;
    auto plainUntil = [&](std::int32_t passes) {
        const std::int32_t plainEnd = maxIterations - count > passes ? count + passes : maxIterations;
        bool escaped;
        do {
            kernel.Pass();
            ++count;
            escaped = kernel.Escaped();
        } while (!escaped && count != plainEnd);
        return escaped;
    };
    auto plainEnded = [&](bool escaped) {
        return escaped || count == maxIterations || stop.load(std::memory_order_relaxed);
    };
    auto plainResult = [&](bool escaped) {
        hook.PassesDone(static_cast<std::uint32_t>(count - firstCount) * HookCallsPerPass);
        return PointResult{count, kernel.OutOfRange(), escaped ? OrbitEnd::Escaped : OrbitEnd::RanToMaximum,
                           count - firstCount};
    };
    // An orbit still going after the first passes is watched for a cycle known in closed form,
    // where there is one, at once.
    const std::int32_t firstPasses = std::min(plainPasses, PlainPrelude);
    bool escaped = plainUntil(firstPasses);
    if (plainEnded(escaped)) return plainResult(escaped);
    KnownCycleWatch known;
    if constexpr (Kernel::Linearisable) {
        if (shortcuts.ProveBoundedOrbits && FormulaOf(Kernel::Kind).Provable && regions) {
            ProvenDiscs& proven = regions->Proven();
            if (proven.Hold(kernel)) {
                proven.Finished(true);
                hook.PassesDone(static_cast<std::uint32_t>(count - firstCount) * HookCallsPerPass);
                return {maxIterations, kernel.OutOfRange(), OrbitEnd::KnownCycle, count - firstCount};
            }
            known = KnownCycleWatch(regions->KnownCycleOf(kernel.ConstantGuess()), kernel.zr, kernel.zi);
            if (!known.Watching()) proven.Finished(false);
        }
    }
    if (!known.Watching() && plainPasses > firstPasses) {
        escaped = plainUntil(plainPasses - firstPasses);
        if (plainEnded(escaped)) return plainResult(escaped);
    }
    hook.PassesDone(static_cast<std::uint32_t>(count - firstCount) * HookCallsPerPass);
    PointResult result = IterateWithShortcuts<HookCallsPerPass>(kernel, count, maxIterations, stop, hook, shortcuts,
                                                                regions, known.HasCycle() ? &known : nullptr);
    result.Passes += count - firstCount;
    return result;
}

// The point of a pixel: one multiplication and one addition, the pixel number exact.
inline long double PointReal(const FractalParams& params, std::int32_t column)
{
    return static_cast<long double>(column) * params.StepReal + params.RealFrom;
}
inline long double PointImag(const FractalParams& params, std::int32_t row)
{
    return static_cast<long double>(row) * params.StepImag + params.ImagFrom;
}

// What the pixels computed before on the same thread tell the next one: how many passes to
// make as in the plain loop before the shortcuts, and the regions built around cycles nearby.
struct PixelHints {
    std::int32_t PlainPasses = PlainPrelude;
    RegionMemory* Regions = nullptr;
};

// Runs the kernel of formula for the point; a value of FormulaCount (formula_table.h) or more
// runs none and gives PreviousPixelCount. Counts start at -1 (0 for the Burning Ship), so a
// point escaping in pass k counts k - 1 (k).
template <class Hook>
PointResult IteratePoint(std::uint8_t formula, const FractalParams& params, long double cr, long double ci,
                         const std::atomic<bool>& stop, Hook& hook, EngineShortcuts shortcuts = NoShortcuts,
                         PixelHints hints = {})
{
    const std::int32_t maximum = params.MaxIterations;
    const std::int32_t plain = hints.PlainPasses;
    RegionMemory* const regions = hints.Regions;
    switch (static_cast<FormulaKind>(formula)) {
    case FormulaKind::Mandelbrot:
        return Iterate<1>(MandelbrotPass(cr, ci), -1, maximum, stop, hook, shortcuts, plain, regions);
    case FormulaKind::InvertedMandelbrot:
        return Iterate<1>(InvertedMandelbrotPass(cr, ci), -1, maximum, stop, hook, shortcuts, plain, regions);
    case FormulaKind::Julia:
        return Iterate<1>(JuliaPass(cr, ci, params.JuliaReal, params.JuliaImag), -1, maximum, stop, hook, shortcuts,
                          plain, regions);
    case FormulaKind::Dragon: return Iterate<1>(DragonPass(cr, ci), -1, maximum, stop, hook, shortcuts, plain, regions);
    case FormulaKind::Daisy: return Iterate<1>(DaisyPass(cr, ci), -1, maximum, stop, hook, shortcuts, plain, regions);
    case FormulaKind::BurningShip:
        return Iterate<3>(BurningShipPass(cr, ci, maximum), 0, maximum, stop, hook, shortcuts, plain, regions);
    }
    return {PreviousPixelCount};
}

// Calls use with a function that gives the kernel of the formula for a point of the row, when
// the formula's pass is z squared plus a constant; gives Result{} otherwise.
template <class Result, class Use>
Result WithSquaringKernel(std::uint8_t formula, const FractalParams& params, long double ci, Use&& use)
{
    switch (static_cast<FormulaKind>(formula)) {
    case FormulaKind::Mandelbrot: return use([ci](long double real) { return MandelbrotPass(real, ci); });
    case FormulaKind::Julia:
        return use([&params, ci](long double real) { return JuliaPass(real, ci, params.JuliaReal, params.JuliaImag); });
    case FormulaKind::Dragon: return use([ci](long double real) { return DragonPass(real, ci); });
    case FormulaKind::Daisy: return use([ci](long double real) { return DaisyPass(real, ci); });
    default: return Result{};
    }
}

// Whether the orbit of the conjugate point is the exact mirror of the point's: negating is
// exact and every one of these kernels keeps the sign of the imaginary part apart.
inline bool IsConjugateSymmetric(std::uint8_t formula, const FractalParams& params)
{
    switch (static_cast<FormulaKind>(formula)) {
    case FormulaKind::Mandelbrot:
    case FormulaKind::InvertedMandelbrot: return true;
    case FormulaKind::Julia: return params.JuliaImag == 0;
    default: return false;
    }
}

// For worker threads: the windows are pumped by the window thread, never here.
struct NoPassHook {
    static constexpr std::uint32_t PassesBeforePoll() { return 0xFFFFFFFFu; }
    static constexpr void PassesDone(std::uint32_t) {}
};

}  // namespace nimbra
