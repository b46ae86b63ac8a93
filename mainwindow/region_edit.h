#pragma once
#include "engine/fractal_params.h"
#include "engine/read_params.h"

#include <cstdint>
#include <optional>

namespace nimbra {

long double StepUp(long double value, long double fraction);    // value + fraction x |value|
long double StepDown(long double value, long double fraction);  // value - fraction x |value|

enum class RegionButton { ZoomOut, ZoomIn, ScrollLeft, ScrollRight, ScrollUp, ScrollDown };

// The corners of a rubber band in preview client pixels, start where the button went down.
struct SelectionCorners {
    std::int32_t StartX = 0;
    std::int32_t StartY = 0;
    std::int32_t EndX = 0;
    std::int32_t EndY = 0;
};

// New values for some of the four region fields, and the form in which they are written.
struct RegionChange {
    enum class Form {
        TwoDecimals,  // rounded to a double, "0.00" with a point, right-aligned in six characters
        General,      // up to 15 significant digits with the locale's separator
    };
    Form TextForm = Form::General;
    std::optional<long double> RealFrom;
    std::optional<long double> RealTo;
    std::optional<long double> ImagFrom;
    std::optional<long double> ImagTo;
};

// The zoom buttons scale all four bounds about 0 by 1.1 or 0.9; the scroll buttons move the
// two bounds of their axis by a tenth of each bound's own size. Texts that are no number read 0.
RegionChange ButtonRegion(RegionButton button, const ParamFields& fields);

// The rubber band mapped onto the region of the most recent run; the corners are taken as
// they are (not sorted, not clipped).
RegionChange SelectionRegion(const SelectionCorners& corners, const FractalParams& params);

// Writes the changed bounds into the fields; the others keep their texts.
void WriteRegion(const RegionChange& change, ParamFields& fields, char decimalSeparator);

}  // namespace nimbra
