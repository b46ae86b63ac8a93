#include "engine/formula_table.h"

namespace nimbra {

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
