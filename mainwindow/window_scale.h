#pragma once

namespace nimbra {

struct PixelSize {
    int Width = 0;
    int Height = 0;
};

// The main window's fixed client area: 640 x 220 pixels at 96 dpi, scaled and cut down to
// whole pixels (800 x 275 at 120 dpi).
PixelSize MainClientSize(double dpiFactor);

// A length of the 96-dpi layout at the screen's scale, rounded to the nearest pixel.
int ScaledLength(int length, double dpiFactor);

}  // namespace nimbra
