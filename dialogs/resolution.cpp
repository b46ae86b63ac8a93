#include "dialogs/resolution.h"

#include "common/error.h"
#include "common/number_text.h"

#include <cmath>
#include <limits>

namespace nimbra {
namespace {

struct SheetFormat {
    const char* Name;
    int ShortSideMm;
};

// Tested in this order; the last name found in the text wins.
constexpr SheetFormat SheetFormats[] = {
    {"A6", 105}, {"A5", 148}, {"A4", 210}, {"A3", 297}, {"A2", 420}, {"A1", 594}, {"A0", 841},
};

int ShortSideMm(const std::string& dinText)
{
    int millimetres = 210;
    for (const SheetFormat& format : SheetFormats)
        if (dinText.find(format.Name) != std::string::npos) millimetres = format.ShortSideMm;
    return millimetres;
}

std::int32_t CheckedInt32(long double value)
{
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw Error::IntegerOverflow();
    return static_cast<std::int32_t>(value);
}

}  // namespace

ImageSize Recalculate(const std::string& dinText, std::string& dpiText)
{
    const int millimetres = ShortSideMm(dinText);
    std::string digits;
    for (const char c : dpiText)
        if (c >= '0' && c <= '9') digits += c;
    dpiText = digits + " dpi";
    const std::int32_t dotsPerInch = ParseIntegerField(digits);

    // The inches are rounded before the multiplication: A4 counts as 8 inches, not 8.27.
    const long double inches = nearbyintl(millimetres / 25.4L);
    const std::int32_t height = CheckedInt32(inches * dotsPerInch);
    // The long side comes from the short one, not from the sheet's own long side.
    const std::int32_t width = CheckedInt32(nearbyintl(height * 1.414L));
    return {width, height};
}

}  // namespace nimbra
