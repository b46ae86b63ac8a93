#include "common/time_of_day.h"

#include <chrono>
#include <ctime>

namespace nimbra {

double CurrentTimeOfDay()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto sinceSecond = now - std::chrono::system_clock::from_time_t(seconds);
    const double milliseconds = std::chrono::duration<double, std::milli>(sinceSecond).count();
    return ((local.tm_hour * 60.0 + local.tm_min) * 60.0 + local.tm_sec + milliseconds / 1000.0) / 86400.0;
}

}  // namespace nimbra
