#include "mainwindow/progress_texts.h"

#include <cmath>
#include <cstdio>

namespace nimbra {

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

TimerTexts TimerTick(const RunState& run, Status status, std::int32_t height, double now)
{
    TimerTexts texts;
    texts.StatusLine = StatusLineText(status);
    if (!run.Running) {
        texts.NormTime = FormatTimeOfDay(now);
        return texts;
    }
    double elapsed = now - run.StartTime;
    if (elapsed < 0) elapsed += 1.0;
    const double remaining = elapsed / (run.CurrentRow + 1.0) * (static_cast<double>(height) - run.CurrentRow);
    texts.NormTime = "seit  " + FormatTimeOfDay(elapsed);
    texts.CalcTime = "noch  " + FormatTimeOfDay(remaining);
    texts.StatusLine =
        "berechne Zeile " + std::to_string(run.CurrentRow) + " von " + std::to_string(height) + " ...";
    return texts;
}

}  // namespace nimbra
