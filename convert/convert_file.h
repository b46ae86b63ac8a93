#pragma once
#include "common/platform.h"
#include "common/pump_hook.h"
#include "common/rgb.h"
#include "common/user_dialogs.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

namespace nimbra {

// The four pixel operations; the six menu commands map onto them.
enum class ConversionKind : std::uint8_t {
    RgbCmy = 0,   // "&RGB --> CMY" and "&CMY --> RGB"
    ToGrad = 1,   // "R&GB --> GRAD" and "C&MY --> GRAD"
    GradRgb = 2,  // "GRAD --> RGB"
    GradCmy = 3,  // "GRAD --> CMY"
};

// One pixel of a TGA file in file order: blue, green, red.
using FilePixel = std::array<std::uint8_t, 3>;

// Each byte becomes the sum of the two others, modulo 256; serves both directions.
FilePixel RgbCmyPixel(FilePixel pixel);
// The gray level, truncated, scales the tint: a gradient from black to the tint (at most 254).
FilePixel ToGradPixel(FilePixel pixel, Rgb tint);
// Each byte scaled by the matching tint component / 256.
FilePixel GradRgbPixel(FilePixel pixel, Rgb tint);
// The scaling of GradRgbPixel, then RgbCmyPixel.
FilePixel GradCmyPixel(FilePixel pixel, Rgb tint);
// The operation of kind; an unknown kind leaves the pixel as it is.
FilePixel ConvertPixel(ConversionKind kind, FilePixel pixel, Rgb tint);

// "CONV_" + the file name, in the folder of sourcePath ("/" separates folders).
std::string ConvertedPath(const std::string& sourcePath);

constexpr std::size_t ConversionBlockBytes = 63000;  // a multiple of three: no pixel is split

// What a conversion shows in its progress window.
class ConversionProgress {
public:
    virtual ~ConversionProgress() = default;
    virtual void ShowStarted(const std::string& fileName) = 0;  // the name without its folder; then the window shows
    virtual void ShowStep(const std::string& text) = 0;         // the current step, empty after a conversion
    virtual void ShowPercent(int percent) = 0;
    virtual void Hide() = 0;
};

// For conversions without a window.
class NoConversionProgress final : public ConversionProgress {
public:
    void ShowStarted(const std::string&) override {}
    void ShowStep(const std::string&) override {}
    void ShowPercent(int) override {}
    void Hide() override {}
};

// The converter's state and the services it is lent; it exists once, for the program's life.
struct ConversionContext {
    ConversionProgress& Progress;
    UserDialogs& Dialogs;
    Platform& System;
    PumpHook& Pump;
    std::string SourceName;  // full path of the last input file
    Rgb TintColor;           // black until the first choice for ToGrad; kept for GradRgb and GradCmy
    bool Running = false;    // a conversion is active: another start is ignored
    // Set by the command line's interrupt: the conversion ends before its next block. The window
    // has no way to stop a conversion.
    std::atomic<bool> StopRequested = false;
};

enum class ConversionOutcome {
    Ignored,      // another conversion is running
    Cancelled,    // a dialog was cancelled; nothing was converted
    NotOpened,    // the input could not be opened (message shown)
    DiskFull,     // the program's volume has too little room (message shown)
    SameFile,     // the output name is the input file itself; nothing is touched (message shown)
    Failed,       // creating, reading, writing or closing failed; an older output is kept (message shown)
    Stopped,      // a stop was requested; an older output is kept
    Converted,
};

// Converts context.SourceName into its "CONV_" copy with the operation of kind and
// context.TintColor, block by block, reporting every step to context.Progress. The copy takes
// its name only when complete; until then an older copy keeps its content.
ConversionOutcome ConvertFile(ConversionKind kind, ConversionContext& context);

// A menu command: for ToGrad first the colour (stored at once), then the input file; then
// ConvertFile. Returns when the conversion has ended.
ConversionOutcome ConvertCommand(ConversionKind kind, ConversionContext& context);

}  // namespace nimbra
