#include "mainwindow/progress_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace nimbra {
namespace {

// From one time of day to a later one, across midnight.
double Span(double from, double to) { return to >= from ? to - from : to + 1.0 - from; }

}  // namespace


std::string StatusLineText(Status status)
{
    switch (status) {
    case Status::Ready: return "Bereit ...";
    case Status::WidthField: return "X-Auflösung des Bildes eingeben...";
    case Status::HeightField: return "Y-Auflösung des Bildes eingeben...";
    case Status::RealFromField: return "Startkoordinate  - real...";
    case Status::RealToField: return "Endkoordinate - real...";
    case Status::ImagFromField: return "Startkoordinate  - imaginär...";
    case Status::ImagToField: return "Endkoordinate - imaginär...";
    case Status::IterationsField: return "Farbtiefe des Bildes...";
    case Status::JuliaRealField: return "Realteil Startwert für Julia Menge...";
    case Status::JuliaImagField: return "Imaginärteil Startwert für Julia Menge...";
    case Status::Running: return "Berechnung läuft ...";
    }
    return "";
}

std::string FormatTimeOfDay(double days)
{
    constexpr long long MillisecondsPerDay = 86'400'000;
    // Only the part below one day counts; a value that is not finite shows 00:00:00.
    const double fraction = std::isfinite(days) ? days - std::floor(days) : 0.0;
    const long long milliseconds = std::llround(fraction * MillisecondsPerDay) % MillisecondsPerDay;
    const long long seconds = milliseconds / 1000;
    char text[16];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

void RunPauses::Start(double now)
{
    lastTick_ = now;
    waited_ = 0;
}

void RunPauses::Tick(double now, bool modalWindowOpen)
{
    if (modalWindowOpen) waited_ += Span(lastTick_, now);
    lastTick_ = now;
}

TimerTexts TimerTick(const RunState& run, Status status, std::int32_t height, double now, double waited)
{
    TimerTexts texts;
    texts.StatusLine = StatusLineText(status);
    if (!run.Running) {
        texts.NormTime = FormatTimeOfDay(now);
        return texts;
    }
    const double elapsed = Span(run.StartTime, now);
    const double working = std::max(0.0, elapsed - waited);
    const double remaining = working / (run.CurrentRow + 1.0) * (static_cast<double>(height) - run.CurrentRow);
    texts.NormTime = "seit  " + FormatTimeOfDay(elapsed);
    texts.CalcTime = "noch  " + FormatTimeOfDay(remaining);
    texts.StatusLine =
        "berechne Zeile " + std::to_string(run.CurrentRow) + " von " + std::to_string(height) + " ...";
    return texts;
}

}  // namespace nimbra
