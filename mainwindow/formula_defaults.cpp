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
    fields.Width = std::to_string(DefaultView::Width);
    fields.Height = std::to_string(DefaultView::Height);
    fields.RealFrom = FormatGeneral(DefaultView::RealFrom, decimalSeparator);
    fields.RealTo = FormatGeneral(DefaultView::RealTo, decimalSeparator);
    fields.ImagFrom = FormatGeneral(DefaultView::ImagFrom, decimalSeparator);
    fields.ImagTo = FormatGeneral(DefaultView::ImagTo, decimalSeparator);
    fields.Iterations = std::to_string(DefaultView::MaxIterations);
}

// g++ 12 at -O3 reports a false -Wrestrict overlap inside std::string's assignment of a short
// literal (GCC bug 105329); a literal never overlaps the string it is copied into.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
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
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

}  // namespace nimbra
