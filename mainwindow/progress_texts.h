#pragma once
#include "engine/fractal_params.h"

#include <cstdint>
#include <string>

namespace nimbra {

// The status code: what the status line shows between runs, the input field the cursor is in
// or that the program is ready, and that a run is under way.
enum class Status : std::uint8_t {
    Ready = 0,
    WidthField = 1,
    HeightField = 2,
    RealFromField = 3,
    RealToField = 4,
    ImagFromField = 5,
    ImagToField = 6,
    IterationsField = 7,
    JuliaRealField = 8,
    JuliaImagField = 9,
    Running = 99,
};

// The status line for a status code.
std::string StatusLineText(Status status);

// A span or time of day in days as "HH:mm:ss", rounded to the millisecond; whole days wrap
// around to 0.
std::string FormatTimeOfDay(double days);

// What the one-second timer shows.
struct TimerTexts {
    std::string StatusLine;
    std::string NormTime;  // the clock, or "seit  " + the elapsed time
    std::string CalcTime;  // empty, or "noch  " + the remaining time
};

// The time a run waited while a question or another modal window was open (the run goes on
// only when it closes): the estimate of the time remaining leaves it out. Times are times of
// day as fractions of a day; a span may cross midnight.
class RunPauses {
public:
    void Start(double now);
    // Every timer tick of a run; the span since the last tick counts as waited when a modal
    // window is open, so a pause is known to within a tick.
    void Tick(double now, bool modalWindowOpen);
    double Waited() const { return waited_; }

private:
    double lastTick_ = 0;
    double waited_ = 0;
};

// While idle the clock and the status code's line; during a run the elapsed time since
// run.StartTime (across midnight), the remaining time (elapsed - waited) / (row + 1) x
// (height - row) and the row counter. now and waited are in days.
TimerTexts TimerTick(const RunState& run, Status status, std::int32_t height, double now, double waited);

}  // namespace nimbra
