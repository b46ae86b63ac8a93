#pragma once
#include "common/pump_hook.h"
#include "engine/engine_shortcuts.h"
#include "engine/fractal_params.h"
#include "engine/read_params.h"

#include <string>

namespace nimbra::bench {

// One file run without windows of the formula into path, as the renderer makes it; whether it
// completed. Messages go to stderr.
bool RunToFile(const ParamFields& fields, FormulaKind formula, PumpHook& pump, int workerThreads,
               EngineShortcuts shortcuts, const std::string& path);

}  // namespace nimbra::bench
