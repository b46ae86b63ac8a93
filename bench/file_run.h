#pragma once
#include "common/pump_hook.h"
#include "engine/engine_shortcuts.h"
#include "engine/fractal_params.h"
#include "engine/run_calculation.h"

#include <string>

namespace nimbra::bench {

// One file run without windows, as the renderer makes it, into path; whether it completed.
// params gives what the fields do not (the formula) and holds the run's params afterwards.
bool RunToFile(const ParamFields& fields, FractalParams& params, PumpHook& pump, int workerThreads,
               EngineShortcuts shortcuts, const std::string& path);

}  // namespace nimbra::bench
