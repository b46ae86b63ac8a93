#include "bench/kernel_bench.h"

#include "common/pump_hook.h"
#include "engine/formula_defaults.h"
#include "engine/formula_table.h"
#include "engine/kernels.h"
#include "engine/read_params.h"

#include <cmath>

namespace nimbra::bench {
namespace {

constexpr int GridColumns = 48;
constexpr int GridRows = 36;
constexpr std::int32_t GridMaximum = 1024;

struct View {
    long double RealFrom, RealTo, ImagFrom, ImagTo;
    long double JuliaReal = 0, JuliaImag = 0;
};

// The region the formula command enters; the Julia constant is that of empty fields.
View ViewOf(FormulaKind formula)
{
    ParamFields fields;
    EnterFormulaDefaults(formula, fields, '.');
    fields.Preview = false;
    FractalParams params;
    ReadParams(fields, params, {}, '.');
    return {params.RealFrom, params.RealTo, params.ImagFrom, params.ImagTo};
}

// The same arithmetic as the kernels, written out as a bare loop with nothing around it; -1
// for a formula without one, whose kernel is then not compared.
std::int64_t BarePasses(FormulaKind formula, long double cr, long double ci, const View& view)
{
    long double zr, zi, sr, si;
    std::int32_t count = -1;
    switch (formula) {
    case FormulaKind::Mandelbrot:
        zr = cr, zi = ci, sr = zr * zr, si = zi * zi;
        do {
            zi = (zr * 2) * zi + ci;
            zr = (sr - si) + cr;
            si = zi * zi;
            sr = zr * zr;
        } while (++count != GridMaximum && !(sr + si >= 4));
        return count + 1;
    case FormulaKind::InvertedMandelbrot:
        zr = cr != 0 ? 1 / cr : 0, zi = ci != 0 ? 1 / ci : 0, sr = sqrtl(fabsl(zr)), si = sqrtl(fabsl(zi));
        do {
            zi = (zr * 2) * zi + ci;
            zr = (sr - si) + cr;
            sr = sqrtl(fabsl(zr));
            si = sqrtl(fabsl(zi));
        } while (++count != GridMaximum && !(sr + si >= 4));
        return count + 1;
    case FormulaKind::Julia:
        zr = cr, zi = ci, si = zi * zi, sr = zr * zr;
        do {
            zi = zr * zi;
            zi = zi * 2 - view.JuliaImag;
            zr = (sr - si) - view.JuliaReal;
            si = zi * zi;
            sr = zr * zr;
        } while (++count != GridMaximum && !(sr + si >= 4));
        return count + 1;
    case FormulaKind::Dragon:
        zr = cr, zi = ci, sr = zr * zr, si = zi * zi;
        do {
            zi = ((zr * 2) * zi + ci) + 0.2L;
            zr = ((sr - si) + cr) - 0.74543L;
            si = zi * zi;
            sr = zr * zr;
        } while (++count != GridMaximum && !(sr + si >= 4));
        return count + 1;
    case FormulaKind::Daisy:
        zr = cr, zi = ci, sr = zr * zr, si = zi * zi;
        do {
            zi = ((zr * 2) * zi + ci) - 0.67037L;
            zr = ((sr - si) + cr) + 0.11031L;
            si = zi * zi;
            sr = zr * zr;
        } while (++count != GridMaximum && !(sr + si >= 4));
        return count + 1;
    case FormulaKind::BurningShip: {
        const long double limit = GridMaximum;
        count = 0, zr = 0, zi = 0;
        do {
            sr = (zr * zr - zi * zi) - cr;
            si = fabsl(zr * zi) * 2 - ci;
            zr = sr;
            zi = si;
            sr = zr * zr + zi * zi;
        } while (++count != GridMaximum && !(sr > limit));
        return count;
    }
    default: return -1;
    }
}

template <class Visit>
void ForEachPoint(const View& view, Visit visit)
{
    for (int row = 0; row < GridRows; ++row) {
        const long double ci = row * ((view.ImagTo - view.ImagFrom) / GridRows) + view.ImagFrom;
        for (int column = 0; column < GridColumns; ++column)
            visit(column * ((view.RealTo - view.RealFrom) / GridColumns) + view.RealFrom, ci);
    }
}

void KernelWithHook(benchmark::State& state, FormulaKind formula)
{
    const View view = ViewOf(formula);
    FractalParams params;
    params.MaxIterations = GridMaximum;
    params.JuliaReal = view.JuliaReal;
    params.JuliaImag = view.JuliaImag;
    const std::atomic<bool> stop = false;
    NoPump hook;
    std::int64_t passes = 0;
    for (auto _ : state) {
        ForEachPoint(view, [&](long double cr, long double ci) {
            const PointResult result =
                IteratePoint(static_cast<std::uint8_t>(formula), params, cr, ci, stop, hook);
            passes += result.Count + (formula == FormulaKind::BurningShip ? 0 : 1);
        });
    }
    state.counters["rate"] = benchmark::Counter(static_cast<double>(passes), benchmark::Counter::kIsRate);
}

void BareLoop(benchmark::State& state, FormulaKind formula)
{
    const View view = ViewOf(formula);
    std::int64_t passes = 0;
    for (auto _ : state) {
        ForEachPoint(view, [&](long double cr, long double ci) { passes += BarePasses(formula, cr, ci, view); });
        benchmark::DoNotOptimize(passes);
    }
    state.counters["rate"] = benchmark::Counter(static_cast<double>(passes), benchmark::Counter::kIsRate);
}

}  // namespace

void RegisterKernelBenchmarks(std::vector<RatioGoal>& goals)
{
    for (const FormulaInfo& formula : Formulas) {
        const std::string kernel = std::string("Kernel/") + formula.OptionName;
        const std::string bare = std::string("BareLoop/") + formula.OptionName;
        benchmark::RegisterBenchmark(kernel.c_str(), KernelWithHook, formula.Kind)->Unit(benchmark::kMillisecond);
        if (BarePasses(formula.Kind, 0, 0, ViewOf(formula.Kind)) < 0) continue;
        benchmark::RegisterBenchmark(bare.c_str(), BareLoop, formula.Kind)->Unit(benchmark::kMillisecond);
        goals.push_back({std::string("kernel with hook / bare loop, ") + formula.OptionName, kernel, bare, 0.9});
    }
}

}  // namespace nimbra::bench
