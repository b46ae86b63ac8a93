#pragma once
#include "engine/fractal_params.h"
#include "engine/read_params.h"

namespace nimbra {

// The size, region and iteration texts of the full reset; the numbers in the general format
// with the given decimal separator. The Julia constants and the check boxes stay.
void EnterResetTexts(ParamFields& fields, char decimalSeparator);

// The texts a formula command enters when the user agrees: the full reset, or the formula's
// own defaults (formula_table.h).
void EnterFormulaDefaults(FormulaKind kind, ParamFields& fields, char decimalSeparator);

}  // namespace nimbra
