#include "engine/headless_run.h"

namespace nimbra {

RunContext HeadlessRun::ContextWith(UserDialogs& dialogs, Platform& system, PumpHook& pump)
{
    return ContextWith(dialogs, system, pump, Preview, Display);
}

RunContext HeadlessRun::ContextWith(UserDialogs& dialogs, Platform& system, PumpHook& pump, PreviewCanvas& preview,
                                    RunDisplay& display)
{
    return RunContext{.Params = Params,
                      .State = State,
                      .Palette = Palette,
                      .Preview = preview,
                      .Display = display,
                      .Dialogs = dialogs,
                      .System = system,
                      .Pump = pump,
                      .LastImagePath = LastImagePath,
                      .DecimalSeparator = '.'};
}

}  // namespace nimbra
