#pragma once
#include "engine/fractal_params.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nimbra {

// The status codes of their own; 1 to 9 are those of the input fields.
constexpr std::uint8_t StatusReady = 0;
constexpr std::uint8_t StatusRunning = 99;

// The status line for a status code; nothing for a code without a text (the line keeps its text).
std::optional<std::string> StatusLineText(std::uint8_t statusCode);

// A span or time of day in days as "HH:mm:ss", rounded to the millisecond; whole days wrap
// around to 0.
std::string FormatTimeOfDay(double days);

// What the one-second timer shows.
struct TimerTexts {
    std::optional<std::string> StatusLine;  // nothing: the status line keeps its text
    std::string NormTime;                   // the clock, or "seit  " + the elapsed time
    std::string CalcTime;                   // empty, or "noch  " + the remaining time
};

// While idle the clock and the status code's line; during a run the elapsed time since
// run.StartTime (across midnight), the remaining time elapsed / (row + 1) x (height - row) and
// the row counter. now is the time of day as a fraction of a day.
TimerTexts TimerTick(const RunState& run, std::uint8_t statusCode, std::int32_t height, double now);

}  // namespace nimbra
