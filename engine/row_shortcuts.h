#pragma once
#include "engine/attracting_cycle.h"
#include "engine/early_escape.h"
#include "engine/engine_shortcuts.h"
#include "engine/fractal_params.h"
#include "engine/proven_run.h"
#include "engine/shortcut_loop.h"

#include <cstdint>

namespace nimbra {

// The pixels of a row that its shortcuts settle before an orbit of their own runs: a run of
// pixels proven at once after a pixel that counted the maximum (proven_run.h), or an early
// escape decided in doubles after one that escaped early (early_escape.h). For one thread
// computing the row from left to right.
class RowShortcuts {
public:
    RowShortcuts(const FractalParams& params, long double ci, EngineShortcuts shortcuts)
        : params_(params), ci_(ci), shortcuts_(shortcuts)
    {
    }

    // Pixels from a column on that all count Count, and the passes that took.
    struct Settled {
        std::int32_t Pixels = 0;  // none when nothing was settled
        std::int32_t Count = 0;
        std::uint32_t Passes = 0;
        OrbitEnd End = OrbitEnd::Escaped;
    };
    // hint: the cycle the latest orbit proven on this thread settles on.
    [[gnu::always_inline]] Settled At(std::uint8_t formula, std::int32_t column, const CycleHint& hint)
    {
        if (const ProvenRun run = runs_.From(formula, params_, column, ci_, previousCount_, shortcuts_, hint);
            run.Pixels > 0)
            return Settle({run.Pixels, params_.MaxIterations, run.Passes, OrbitEnd::RunProven});
        // After a pixel inside or a long escape the next one likely is alike, and its early
        // passes would be wasted.
        if (shortcuts_.EscapesInDoubles && previousCount_ < EarlyPasses) {
            if (const std::int32_t count = early_.CountAt(formula, params_, column, ci_); count != Undecided)
                return Settle({1, count, static_cast<std::uint32_t>(count + 1), OrbitEnd::Escaped});
        }
        return {};
    }
    // After an orbit of its own counted the pixel.
    void Counted(std::int32_t count) { previousCount_ = count; }

private:
    Settled Settle(const Settled& settled)
    {
        previousCount_ = settled.Count;
        return settled;
    }

    const FractalParams& params_;
    long double ci_;
    EngineShortcuts shortcuts_;
    ProvenRuns runs_;
    EarlyEscapes early_;
    std::int32_t previousCount_ = 0;
};

}  // namespace nimbra
