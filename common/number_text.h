#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace nimbra {

// Texts are the bytes the system gives (UTF-8 on Linux); numbers in them are ASCII.

std::string CommaToPoint(std::string text);  // every "," becomes "."
std::string PointToComma(std::string text);  // every "." becomes ","

// Lenient reading for the zoom and scroll buttons: leading blanks, sign, digits, "." or ","
// with digits, exponent; nothing may follow. Anything else gives 0. Parsed in extended
// precision, handed on as a double.
double TextToFloat(const std::string& text);

// Two decimals, decimal point ".", right-aligned in at least 6 characters (" -2.00").
std::string FloatToText(double value);

// Decimal text of value with "0" put in front up to width characters (7, 3 gives "007").
std::string ZeroPad(std::int32_t value, int width);

// Strict reading of an integer field: optional sign and decimal digits, blanks around allowed.
// Throws Error::NotAnInteger with the text as given.
std::int32_t ParseIntegerField(const std::string& text);

// A command-line count: decimal digits alone, from 1 to maximum; nothing for any other text.
std::optional<std::int32_t> ParseCount(const std::string& text, std::int32_t maximum);

// Strict reading of a floating field in which "," is the decimal separator (the caller has
// already turned points into commas). Parsed straight to the nearest long double.
// Throws Error::NotAFloat with the text as given.
long double ParseCommaFloat(const std::string& text);

// General number format: at most 15 significant digits, no trailing zeros, the given decimal
// separator; exponent form ("1,5E-6", "1E20") below 0.00001 or from 1E15 on.
std::string FormatGeneral(long double value, char decimalSeparator);

}  // namespace nimbra
