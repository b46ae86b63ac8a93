#include "engine/read_params.h"

#include "common/error.h"
#include "common/number_text.h"

#include <cmath>

namespace nimbra {
namespace {

constexpr std::int32_t MaxIterationLimit = 16777216;
constexpr std::int32_t MaxPreviewIterations = 256;
constexpr std::int32_t MaxGradFileIterations = 255;  // a file in the palette model

// An empty field gives its default; anything else is read with "," as the separator, so a
// point and a comma both work. The value goes back into the field in the general format.
long double ReadFloatField(std::string& text, long double whenEmpty, char decimalSeparator)
{
    const long double value = text.empty() ? whenEmpty : ParseCommaFloat(PointToComma(text));
    text = FormatGeneral(value, decimalSeparator);
    return value;
}

// (to - from) / size, with the messages of a division the platform would have raised.
long double StepOf(long double from, long double to, std::int32_t size)
{
    const long double span = to - from;
    if (size == 0) {
        if (span == 0) throw Error::InvalidFloatOperation();
        throw Error::FloatDivisionByZero();
    }
    const long double step = span / size;
    if (!std::isfinite(step)) throw Error::FloatOverflow();
    return step;
}

}  // namespace

void SetSteps(FractalParams& params)
{
    params.StepReal = StepOf(params.RealFrom, params.RealTo, params.Width);
    params.StepImag = StepOf(params.ImagFrom, params.ImagTo, params.Height);
}

FractalParams Supersampled(const FractalParams& params, int factor)
{
    FractalParams sampled = params;
    sampled.Width = params.Width * factor;
    sampled.Height = params.Height * factor;
    SetSteps(sampled);
    return sampled;
}

std::uint16_t DigitBaseFor(std::int32_t maxIterations)
{
    if (maxIterations == 0) throw Error::FloatDivisionByZero();
    if (maxIterations < 0) throw Error::InvalidFloatOperation();
    return static_cast<std::uint16_t>(nearbyintl(expl(logl(static_cast<long double>(maxIterations)) / 3)) + 1);
}

void ReadParams(ParamFields& fields, FractalParams& params, PreviewSize preview, char decimalSeparator)
{
    // Read into a copy: a refused read leaves the parameters of the last run as they were.
    FractalParams read = params;

    read.Model = fields.Model;
    read.Inverted = fields.Inverted;
    read.Preview = fields.Preview;

    read.Width = ParseIntegerField(fields.Width);
    if (read.Width < 0 || read.Width > MaxImageWidth) read.Width = DefaultView::Width;
    if (read.Preview) read.Width = preview.Width;
    fields.Width = std::to_string(read.Width);

    read.Height = ParseIntegerField(fields.Height);
    if (read.Height < 0) read.Height = DefaultView::Height;
    if (read.Preview) read.Height = preview.Height;
    fields.Height = std::to_string(read.Height);

    read.MaxIterations = ParseIntegerField(fields.Iterations);
    if (read.Preview) {
        if (read.MaxIterations > MaxPreviewIterations) read.MaxIterations = MaxPreviewIterations;
    } else {
        if (read.Model == ColorModel::Grad && read.MaxIterations > MaxGradFileIterations)
            read.MaxIterations = MaxGradFileIterations;
        if (read.MaxIterations < 0 || read.MaxIterations > MaxIterationLimit)
            read.MaxIterations = DefaultView::MaxIterations;
    }
    fields.Iterations = std::to_string(read.MaxIterations);

    // The constants are read for every formula; where they are hidden, the message says where they are.
    try {
        read.JuliaReal = ReadFloatField(fields.JuliaReal, 0.0L, decimalSeparator);
        read.JuliaImag = ReadFloatField(fields.JuliaImag, 0.0L, decimalSeparator);
    } catch (const Error& error) {
        if (LoadFormula(params) == static_cast<std::uint8_t>(FormulaKind::Julia)) throw;
        throw Error::HiddenJuliaConstant(error);
    }
    read.RealFrom = ReadFloatField(fields.RealFrom, DefaultView::RealFrom, decimalSeparator);
    read.RealTo = ReadFloatField(fields.RealTo, DefaultView::RealTo, decimalSeparator);
    read.ImagFrom = ReadFloatField(fields.ImagFrom, DefaultView::ImagFrom, decimalSeparator);
    read.ImagTo = ReadFloatField(fields.ImagTo, DefaultView::ImagTo, decimalSeparator);

    SetSteps(read);
    read.DigitBase = DigitBaseFor(read.MaxIterations);

    read.Formula = LoadFormula(params);  // the menu may have set it while the fields were read
    params = read;
}

}  // namespace nimbra
