#include "engine/formula_table.h"

#include <gtest/gtest.h>

using namespace nimbra;

TEST(FormulaTable, EachOptionNameFindsItsOwnFormulaAndNothingElseDoes)
{
    for (const FormulaInfo& formula : Formulas) EXPECT_EQ(FormulaByOption(formula.OptionName), formula.Kind);
    for (const char* unknown : {"", "Julia", "spiral"}) EXPECT_EQ(FormulaByOption(unknown), std::nullopt) << unknown;
}

TEST(FormulaTable, StoredValuesFromFormulaCountOnNameNoFormula)
{
    EXPECT_EQ(KnownFormula(FormulaCount - 1), FormulaKind::BurningShip);
    EXPECT_EQ(KnownFormula(FormulaCount), std::nullopt);
    EXPECT_EQ(KnownFormula(255), std::nullopt);
}
