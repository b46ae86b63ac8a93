#pragma once
#include "engine/fractal_params.h"

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>

namespace nimbra {

// The texts a formula command enters in place of the full reset, typed as they stand: the
// separators are mixed on purpose, as the fields accept both.
struct OwnFormulaDefaults {
    const char* RealFrom;
    const char* RealTo;
    const char* ImagFrom;
    const char* ImagTo;
    const char* Iterations = nullptr;  // nullptr: the iteration field keeps its text
};

// What the program knows of a formula besides its kernel.
struct FormulaInfo {
    FormulaKind Kind;
    const char* OptionName;    // nimbra-cli render --formula
    const char* DisplayName;   // FormelName, under the input fields
    const char* CommandName;   // the menu command's control
    const char* MenuCaption;   // its caption in "&Formeln"; the shortcut is Ctrl + its place from 1
    std::optional<OwnFormulaDefaults> OwnDefaults;  // nothing: the formula command enters the full reset
    bool Provable;             // the bounded-orbit proofs apply to its kernel
};

// In the order of FormulaKind; the menu lists them in this order too.
inline constexpr FormulaInfo Formulas[] = {
    {FormulaKind::Mandelbrot, "mandelbrot", "Mandelbrot Menge", "Mandelbrot1", "&Mandelbrot", std::nullopt, true},
    {FormulaKind::InvertedMandelbrot, "invmandel", "Inverse Mandelbrot Menge", "InvMandel1", "&Mandelbrot Invertiert",
     OwnFormulaDefaults{"-20", "20", "-10", "10"}, false},  // a square root has no useful bound near zero
    {FormulaKind::Julia, "julia", "Julia Menge", "Julia1", "&Julia", OwnFormulaDefaults{"-2", "2", "-1.3", "1.2"},
     true},
    {FormulaKind::Dragon, "dragon", "Dragon", "Dragon1", "&Dragon", std::nullopt, true},
    {FormulaKind::Daisy, "daisy", "Daisy", "Daisy1", "&Dais&y", std::nullopt, true},
    {FormulaKind::BurningShip, "burningship", "Burning Ship", "BurnShip1", "&Burning Ship",
     OwnFormulaDefaults{"3.0", "-2", "2,5", "-2", "250"}, true},
};

// A formula value of FormulaCount or more names no formula and runs no kernel.
inline constexpr int FormulaCount = static_cast<int>(std::size(Formulas));

constexpr bool FormulasInKindOrder()
{
    for (int i = 0; i < FormulaCount; ++i)
        if (static_cast<int>(Formulas[i].Kind) != i) return false;
    return true;
}
static_assert(FormulasInKindOrder(), "Formulas[i] describes the FormulaKind of value i");

constexpr const FormulaInfo& FormulaOf(FormulaKind kind) { return Formulas[static_cast<std::size_t>(kind)]; }

// The formula of a stored value; nothing for a value that names none.
std::optional<FormulaKind> KnownFormula(std::uint8_t value);

// The formula whose option name is name; nothing for an unknown name.
std::optional<FormulaKind> FormulaByOption(const std::string& name);

}  // namespace nimbra
