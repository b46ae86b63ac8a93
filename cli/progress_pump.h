#pragma once
#include "cli/interrupt_scope.h"
#include "common/pump_hook.h"
#include "engine/fractal_params.h"

#include <chrono>
#include <ostream>

namespace nimbra {

// Passes an interrupt on to the run, and draws a progress bar on stderr, at most ten times a
// second.
class ProgressPump final : public PumpHook {
public:
    ProgressPump(RunState& state, const FractalParams& params, const InterruptScope& interrupts, std::ostream& err,
                 bool visible)
        : state_(state), params_(params), interrupts_(interrupts), err_(err), visible_(visible)
    {
    }
    void Poll() override;
    void Clear();

private:
    RunState& state_;
    const FractalParams& params_;
    const InterruptScope& interrupts_;
    std::ostream& err_;
    bool visible_;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace nimbra
