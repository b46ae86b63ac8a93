#pragma once
#include "engine/run_calculation.h"

namespace nimbra {

// For runs without windows: no preview, nothing to show.
class HeadlessPreview final : public PreviewCanvas {
public:
    PreviewSize ClientSize() const override { return {}; }
    void ClearToWhite() override {}
    void SetPixel(std::int32_t, std::int32_t, Rgb) override {}
    void Show() override {}
    void Close() override {}
};

class HeadlessDisplay final : public RunDisplay {
public:
    void ShowFieldTexts(const ParamFields&) override {}
    void ShowRunning(bool) override {}
    void EnableShowButton() override {}
};

// What a run without windows owns, for the command-line renderers, the benchmarks and the
// tests; the main window holds the same in its program state. The caller sets on the context
// what its runs need beyond the defaults: the start folder, an output path, threads, shortcuts.
struct HeadlessRun {
    HeadlessRun() = default;
    HeadlessRun(const HeadlessRun&) = delete;  // its contexts refer to its fields
    HeadlessRun& operator=(const HeadlessRun&) = delete;

    // A context for runs on these fields, numbers written back with a point.
    RunContext ContextWith(UserDialogs& dialogs, Platform& system, PumpHook& pump);
    // The same with a preview and a display of the caller's, which tests watch.
    RunContext ContextWith(UserDialogs& dialogs, Platform& system, PumpHook& pump, PreviewCanvas& preview,
                           RunDisplay& display);

    FractalParams Params;  // the formula, which the fields do not give, is set here
    RunState State;
    PaletteList Palette;
    std::string LastImagePath;
    HeadlessPreview Preview;
    HeadlessDisplay Display;
};

}  // namespace nimbra
