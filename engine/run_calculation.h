#pragma once
#include "common/platform.h"
#include "common/pump_hook.h"
#include "common/rgb.h"
#include "common/user_dialogs.h"
#include "engine/engine_shortcuts.h"
#include "engine/fractal_params.h"
#include "engine/image_output.h"
#include "engine/read_params.h"
#include "engine/row_source.h"
#include "palette/palette_list.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace nimbra {

// What the run needs of the preview window.
class PreviewCanvas {
public:
    virtual ~PreviewCanvas() = default;
    virtual PreviewSize ClientSize() const = 0;
    virtual void ClearToWhite() = 0;
    virtual void SetPixel(std::int32_t x, std::int32_t y, Rgb colour) = 0;
    virtual void Show() = 0;
    virtual void Close() = 0;
};

// What the run shows in the main window.
class RunDisplay {
public:
    virtual ~RunDisplay() = default;
    virtual void ShowFieldTexts(const ParamFields& fields) = 0;  // the texts as ReadParams left them
    virtual void ShowRunning(bool running) = 0;  // "&Stop !" and ShowBtn disabled, or "&Berechnen"
    virtual void EnableShowButton() = 0;         // a file run has completed
};

// Everything a run reads and writes besides the field texts, lent to one run: the main window
// makes one for each click from its program state, HeadlessRun (headless_run.h) those of runs
// without windows. Built with designated initializers (.Params = ...), so that two fields of
// the same type cannot change places unseen; the fields with a value of their own may be left
// out.
struct RunContext {
    FractalParams& Params;
    RunState& State;
    const PaletteList& Palette;
    PreviewCanvas& Preview;
    RunDisplay& Display;
    UserDialogs& Dialogs;
    Platform& System;
    PumpHook& Pump;
    std::string StartFolder{};     // ends in "/"; images go to StartFolder + "pix/"
    std::string& LastImagePath;    // the chosen name while a run is prepared, the file's name once complete
    char DecimalSeparator = ',';
    int WorkerThreads = 0;         // 0: the counts are computed on the calling thread
    std::function<double()> TimeOfDay{};  // fraction of a day; empty: the clock
    std::string OutputPathOverride{};     // the command-line renderer's -o; empty: the next free name
    EngineShortcuts Shortcuts{};          // mirrored rows are reused only by worker threads
    // Where the counts come from instead (other machines), made for the params of the image
    // computed once the output file is ready, from its first row on; empty: this thread or
    // WorkerThreads.
    std::function<std::unique_ptr<RowSource>(const FractalParams&, const std::atomic<bool>& stop,
                                             std::int32_t firstRow)>
        MakeRowSource{};
    // The command-line renderer's own image file (PNG, or one that survives an interruption),
    // made for the corrected params; nothing when it cannot be made (message shown). Empty: a
    // TGA file, numbered or at OutputPathOverride.
    std::function<std::unique_ptr<ImageOutput>(const FractalParams&)> MakeImageOutput{};
    // Each pixel of a file is the mean of a block of Supersample x Supersample pixels of the
    // image computed at Supersample times the width and the height (block_average.h).
    int Supersample = 1;
};

// ReadParams with the preview's client size; the display shows the texts as it left them, also
// when it refuses (the refusal is thrown on after that).
void ReadAndShowParams(ParamFields& fields, FractalParams& params, const PreviewCanvas& preview,
                       RunDisplay& display, char decimalSeparator);

enum class RunOutcome {
    StopRequested,     // a run was active: it has been asked to stop
    Ignored,           // the output file of another start is being prepared
    Refused,           // the fields or the output file did not allow a start (message shown)
    Stopped,           // the run ended on a stop request; no file is left
    PreviewCompleted,
    FileCompleted,
};

// Starts a run from the fields, or asks the active run to stop. Throws Error after ending the
// run in order (file removed, idle state restored) when the fields are refused or the file
// cannot be written.
RunOutcome RunCalculation(ParamFields fields, RunContext& context);

}  // namespace nimbra
