#include "mainwindow/formula_defaults.h"

#include "common/number_text.h"

namespace nimbra {

std::string FormulaName(std::uint8_t formula)
{
    switch (static_cast<FormulaKind>(formula)) {
    case FormulaKind::Mandelbrot: return "Mandelbrot Menge";
    case FormulaKind::InvertedMandelbrot: return "Inverse Mandelbrot Menge";
    case FormulaKind::Julia: return "Julia Menge";
    case FormulaKind::Dragon: return "Dragon";
    case FormulaKind::Daisy: return "Daisy";
    case FormulaKind::BurningShip: return "Burning Ship";
    }
    return "";
}

bool EntersFullReset(FormulaKind kind)
{
    return kind == FormulaKind::Mandelbrot || kind == FormulaKind::Dragon || kind == FormulaKind::Daisy;
}

void EnterResetTexts(ParamFields& fields, char decimalSeparator)
{
    fields.Width = "640";
    fields.Height = "480";
    fields.RealFrom = FormatGeneral(-2.0L, decimalSeparator);
    fields.RealTo = FormatGeneral(0.5L, decimalSeparator);
    fields.ImagFrom = FormatGeneral(-1.25L, decimalSeparator);
    fields.ImagTo = FormatGeneral(1.25L, decimalSeparator);
    fields.Iterations = "2048";
}

void EnterFormulaDefaults(FormulaKind kind, ParamFields& fields, char decimalSeparator)
{
    // The separators are mixed on purpose: the fields accept both.
    switch (kind) {
    case FormulaKind::InvertedMandelbrot:
        fields.RealFrom = "-20";
        fields.RealTo = "20";
        fields.ImagFrom = "-10";
        fields.ImagTo = "10";
        return;
    case FormulaKind::Julia:
        fields.RealFrom = "-2";
        fields.RealTo = "2";
        fields.ImagFrom = "-1.3";
        fields.ImagTo = "1.2";
        return;
    case FormulaKind::BurningShip:
        fields.RealFrom = "3.0";
        fields.RealTo = "-2";
        fields.ImagFrom = "2,5";
        fields.ImagTo = "-2";
        fields.Iterations = "250";
        return;
    case FormulaKind::Mandelbrot:
    case FormulaKind::Dragon:
    case FormulaKind::Daisy:
        EnterResetTexts(fields, decimalSeparator);
        return;
    }
}

}  // namespace nimbra
