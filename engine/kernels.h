#pragma once
#include "engine/fractal_params.h"

#include <atomic>
#include <cmath>
#include <cstdint>

namespace nimbra {

// The count of one point, and whether a value left the extended range on the way (an
// infinity or NaN in a square or a reciprocal), which would make the count meaningless.
struct PointResult {
    std::int32_t Count = 0;
    bool OutOfRange = false;
};

// Each kernel keeps its six values in extended precision and evaluates every operation in
// the order written; images depend on it. After every pass it counts, calls pump (three
// times a pass for the Burning Ship) and ends on escape, on the maximum or on a stop.
// Once a value is infinite or NaN it stays so under +, -, x and sqrt, so checking the last
// state is enough.

namespace kernel_detail {
inline bool Stopped(const std::atomic<bool>& stop) { return stop.load(std::memory_order_relaxed); }
inline bool NotFinite(long double value) { return !std::isfinite(value); }
}  // namespace kernel_detail

template <class Pump>
PointResult IterateMandelbrot(long double cr, long double ci, std::int32_t maxIterations,
                              const std::atomic<bool>& stop, Pump& pump)
{
    long double zr = cr, zi = ci;
    std::int32_t count = -1;
    long double sr = zr * zr, si = zi * zi;
    do {
        zi = (zr * 2) * zi + ci;
        zr = (sr - si) + cr;
        si = zi * zi;
        sr = zr * zr;
        ++count;
        pump();
    } while (!(sr + si >= 4) && count != maxIterations && !kernel_detail::Stopped(stop));
    return {count, kernel_detail::NotFinite(sr + si)};
}

// Each coordinate is inverted by itself (not the complex reciprocal); the point, not its
// inverse, is added; the escape test sums the square roots of the absolute values.
template <class Pump>
PointResult IterateInvertedMandelbrot(long double cr, long double ci, std::int32_t maxIterations,
                                      const std::atomic<bool>& stop, Pump& pump)
{
    std::int32_t count = -1;
    long double zr = cr != 0 ? 1 / cr : 0;
    long double zi = ci != 0 ? 1 / ci : 0;
    long double sr = sqrtl(fabsl(zr)), si = sqrtl(fabsl(zi));
    do {
        zi = (zr * 2) * zi + ci;
        zr = (sr - si) + cr;
        ++count;
        sr = sqrtl(fabsl(zr));
        si = sqrtl(fabsl(zi));
        pump();
    } while (!(sr + si >= 4) && count != maxIterations && !kernel_detail::Stopped(stop));
    return {count, kernel_detail::NotFinite(sr + si)};
}

// z squared minus the constant: the constant is subtracted.
template <class Pump>
PointResult IterateJulia(long double cr, long double ci, long double kr, long double ki, std::int32_t maxIterations,
                         const std::atomic<bool>& stop, Pump& pump)
{
    std::int32_t count = -1;
    long double zr = cr, zi = ci;
    long double si = zi * zi, sr = zr * zr;
    do {
        zi = zr * zi;
        zi = zi * 2 - ki;
        zr = (sr - si) - kr;
        si = zi * zi;
        sr = zr * zr;
        ++count;
        pump();
    } while (!(sr + si >= 4) && count != maxIterations && !kernel_detail::Stopped(stop));
    return {count, kernel_detail::NotFinite(sr + si)};
}

// z squared plus the point plus the fixed offset -0.74543 + 0.2i.
template <class Pump>
PointResult IterateDragon(long double cr, long double ci, std::int32_t maxIterations, const std::atomic<bool>& stop,
                          Pump& pump)
{
    long double zr = cr, zi = ci;
    std::int32_t count = -1;
    long double sr = zr * zr, si = zi * zi;
    do {
        zi = ((zr * 2) * zi + ci) + 0.2L;
        zr = ((sr - si) + cr) - 0.74543L;
        si = zi * zi;
        sr = zr * zr;
        ++count;
        pump();
    } while (!(sr + si >= 4) && count != maxIterations && !kernel_detail::Stopped(stop));
    return {count, kernel_detail::NotFinite(sr + si)};
}

// z squared plus the point plus the fixed offset 0.11031 - 0.67037i.
template <class Pump>
PointResult IterateDaisy(long double cr, long double ci, std::int32_t maxIterations, const std::atomic<bool>& stop,
                         Pump& pump)
{
    long double zr = cr, zi = ci;
    std::int32_t count = -1;
    long double sr = zr * zr, si = zi * zi;
    do {
        zi = ((zr * 2) * zi + ci) - 0.67037L;
        zr = ((sr - si) + cr) + 0.11031L;
        si = zi * zi;
        sr = zr * zr;
        ++count;
        pump();
    } while (!(sr + si >= 4) && count != maxIterations && !kernel_detail::Stopped(stop));
    return {count, kernel_detail::NotFinite(sr + si)};
}

// (|Re z| + i|Im z|) squared minus the point, from 0; the squared modulus is compared with
// the iteration maximum itself, not with 4.
template <class Pump>
PointResult IterateBurningShip(long double cr, long double ci, std::int32_t maxIterations,
                               const std::atomic<bool>& stop, Pump& pump)
{
    std::int32_t count = 0;
    long double zr = 0, zi = 0, sr = 0, si = 0;
    const long double limit = maxIterations;
    do {
        sr = (zr * zr - zi * zi) - cr;
        pump();
        si = fabsl(zr * zi) * 2 - ci;
        pump();
        zr = sr;
        zi = si;
        sr = zr * zr + zi * zi;
        ++count;
        pump();
    } while (!(sr > limit) && count != maxIterations && !kernel_detail::Stopped(stop));
    return {count, kernel_detail::NotFinite(sr)};
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

// Runs the kernel of formula for the pixel. A formula above 5 runs none and gives previous.
template <class Pump>
PointResult IteratePoint(std::uint8_t formula, const FractalParams& params, long double cr, long double ci,
                         std::int32_t previous, const std::atomic<bool>& stop, Pump& pump)
{
    const std::int32_t maxIterations = params.MaxIterations;
    switch (static_cast<FormulaKind>(formula)) {
    case FormulaKind::Mandelbrot: return IterateMandelbrot(cr, ci, maxIterations, stop, pump);
    case FormulaKind::InvertedMandelbrot: return IterateInvertedMandelbrot(cr, ci, maxIterations, stop, pump);
    case FormulaKind::Julia:
        return IterateJulia(cr, ci, params.JuliaReal, params.JuliaImag, maxIterations, stop, pump);
    case FormulaKind::Dragon: return IterateDragon(cr, ci, maxIterations, stop, pump);
    case FormulaKind::Daisy: return IterateDaisy(cr, ci, maxIterations, stop, pump);
    case FormulaKind::BurningShip: return IterateBurningShip(cr, ci, maxIterations, stop, pump);
    }
    return {previous, false};
}

// For worker threads: the windows are pumped by the window thread, never here.
struct NoPassHook {
    void operator()() {}
};

}  // namespace nimbra
