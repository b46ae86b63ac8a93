#pragma once
#include <cstdint>
#include <string>

namespace nimbra {

// A landscape image size in pixels: the width is the long side of the sheet.
struct ImageSize {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    friend bool operator==(const ImageSize&, const ImageSize&) = default;
};

// The image size for a DIN A sheet named anywhere in dinText (A4 when none is named) at the
// resolution whose digits dpiText holds. dpiText is rewritten to those digits + " dpi" first,
// so the caller shows it even when the computation then fails. Throws Error::NotAnInteger
// with the digits when they are no 32-bit integer, Error::IntegerOverflow when a side is.
ImageSize Recalculate(const std::string& dinText, std::string& dpiText);

}  // namespace nimbra
