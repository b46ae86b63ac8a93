#include "mainwindow/region_edit.h"

#include "common/number_text.h"

#include <cmath>

namespace nimbra {
namespace {

constexpr long double ZoomOutFactor = 1.1L;
constexpr long double ZoomInFactor = 0.9L;
constexpr long double ScrollFraction = 0.1L;

// The buttons hand on what a double holds, as the fields are written from doubles.
long double AsDouble(long double value) { return static_cast<double>(value); }

long double Zoomed(const std::string& text, long double factor) { return AsDouble(TextToFloat(text) * factor); }

long double Scrolled(const std::string& text, bool up)
{
    const long double value = TextToFloat(text);
    return AsDouble(up ? StepUp(value, ScrollFraction) : StepDown(value, ScrollFraction));
}

}  // namespace

long double StepUp(long double value, long double fraction) { return value + fraction * fabsl(value); }
long double StepDown(long double value, long double fraction) { return value - fraction * fabsl(value); }

RegionChange ButtonRegion(RegionButton button, const ParamFields& fields)
{
    RegionChange change;
    change.TextForm = RegionChange::Form::TwoDecimals;
    switch (button) {
    case RegionButton::ZoomOut:
    case RegionButton::ZoomIn: {
        const long double factor = button == RegionButton::ZoomOut ? ZoomOutFactor : ZoomInFactor;
        change.RealFrom = Zoomed(fields.RealFrom, factor);
        change.RealTo = Zoomed(fields.RealTo, factor);
        change.ImagFrom = Zoomed(fields.ImagFrom, factor);
        change.ImagTo = Zoomed(fields.ImagTo, factor);
        break;
    }
    case RegionButton::ScrollLeft:
    case RegionButton::ScrollRight: {
        const bool up = button == RegionButton::ScrollRight;
        change.RealFrom = Scrolled(fields.RealFrom, up);
        change.RealTo = Scrolled(fields.RealTo, up);
        break;
    }
    case RegionButton::ScrollUp:
    case RegionButton::ScrollDown: {
        const bool up = button == RegionButton::ScrollUp;
        change.ImagFrom = Scrolled(fields.ImagFrom, up);
        change.ImagTo = Scrolled(fields.ImagTo, up);
        break;
    }
    }
    return change;
}

RegionChange SelectionRegion(const SelectionCorners& corners, const FractalParams& params)
{
    RegionChange change;
    change.TextForm = RegionChange::Form::General;
    change.RealFrom = corners.StartX * params.StepReal + params.RealFrom;
    change.ImagFrom = corners.StartY * params.StepImag + params.ImagFrom;
    change.RealTo = corners.EndX * params.StepReal + params.RealFrom;
    change.ImagTo = corners.EndY * params.StepImag + params.ImagFrom;
    return change;
}

void WriteRegion(const RegionChange& change, ParamFields& fields, char decimalSeparator)
{
    const auto write = [&](const std::optional<long double>& value, std::string& text) {
        if (!value) return;
        text = change.TextForm == RegionChange::Form::TwoDecimals ? FloatToText(static_cast<double>(*value))
                                                                  : FormatGeneral(*value, decimalSeparator);
    };
    write(change.RealFrom, fields.RealFrom);
    write(change.RealTo, fields.RealTo);
    write(change.ImagFrom, fields.ImagFrom);
    write(change.ImagTo, fields.ImagTo);
}

}  // namespace nimbra
