#pragma once

namespace nimbra {

// The screen's logical pixels per inch across, divided by 96 (1.0 at 96 dpi, 1.25 at 120 dpi).
double ScreenDpiFactor();

}  // namespace nimbra
