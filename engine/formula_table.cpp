#include "engine/formula_table.h"

#include "engine/kernels.h"

namespace nimbra {

// The shortcut loop asks each kernel type whether it is provable; the two must not disagree.
static_assert(FormulaOf(FormulaKind::Mandelbrot).Provable == MandelbrotPass::Provable &&
              FormulaOf(FormulaKind::InvertedMandelbrot).Provable == InvertedMandelbrotPass::Provable &&
              FormulaOf(FormulaKind::Julia).Provable == JuliaPass::Provable &&
              FormulaOf(FormulaKind::Dragon).Provable == DragonPass::Provable &&
              FormulaOf(FormulaKind::Daisy).Provable == DaisyPass::Provable &&
              FormulaOf(FormulaKind::BurningShip).Provable == BurningShipPass::Provable);

std::optional<FormulaKind> KnownFormula(std::uint8_t value)
{
    if (value >= FormulaCount) return std::nullopt;
    return static_cast<FormulaKind>(value);
}

std::optional<FormulaKind> FormulaByOption(const std::string& name)
{
    for (const FormulaInfo& formula : Formulas)
        if (name == formula.OptionName) return formula.Kind;
    return std::nullopt;
}

}  // namespace nimbra
