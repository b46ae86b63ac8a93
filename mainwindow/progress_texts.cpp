#include "mainwindow/progress_texts.h"

#include <cmath>
#include <cstdio>

namespace nimbra {

std::optional<std::string> StatusLineText(std::uint8_t statusCode)
{
    switch (statusCode) {
    case 0: return "Bereit ...";
    case 1: return "X-Auflösung des Bildes eingeben...";
    case 2: return "Y-Auflösung des Bildes eingeben...";
    case 3: return "Startkoordinate  - real...";
    case 4: return "Endkoordinate - real...";
    case 5: return "Startkoordinate  - imaginär...";
    case 6: return "Endkoordinate - imaginär...";
    case 7: return "Farbtiefe des Bildes...";
    case 8: return "Realteil Startwert für Julia Menge...";
    case 9: return "Imaginärteil Startwert für Julia Menge...";
    case 99: return "Berechnung läuft ...";
    default: return std::nullopt;
    }
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

TimerTexts TimerTick(const RunState& run, std::uint8_t statusCode, std::int32_t height, double now)
{
    TimerTexts texts;
    texts.StatusLine = StatusLineText(statusCode);
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
