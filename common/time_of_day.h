#pragma once

namespace nimbra {

// The local time of day as a fraction of a day (0 <= t < 1).
double CurrentTimeOfDay();

}  // namespace nimbra
