#pragma once
#include "engine/fractal_params.h"
#include "engine/read_params.h"

#include <cstdint>
#include <string>

namespace nimbra {

// The text under the input fields for a formula; empty for a value that names no formula.
std::string FormulaName(std::uint8_t formula);

// Mandelbrot, Dragon and Daisy take the full reset as their defaults.
bool EntersFullReset(FormulaKind kind);

// The size, region and iteration texts of the full reset; the numbers in the general format
// with the given decimal separator. The Julia constants and the check boxes stay.
void EnterResetTexts(ParamFields& fields, char decimalSeparator);

// The texts a formula command enters when the user agrees: the full reset, or the formula's
// own region (and for the Burning Ship its iteration depth), typed as they stand.
void EnterFormulaDefaults(FormulaKind kind, ParamFields& fields, char decimalSeparator);

}  // namespace nimbra
