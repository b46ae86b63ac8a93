#include "mainwindow/window_scale.h"

#include <cmath>

namespace nimbra {

PixelSize MainClientSize(double dpiFactor)
{
    return {static_cast<int>(std::floor(dpiFactor * 640)), static_cast<int>(std::floor(dpiFactor * 220))};
}

int ScaledLength(int length, double dpiFactor) { return static_cast<int>(std::lround(length * dpiFactor)); }

}  // namespace nimbra
