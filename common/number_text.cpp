#include "common/number_text.h"

#include "common/error.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <optional>

namespace nimbra {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The C locale, so that the process locale (which Qt sets from the user's) never changes
// what "." means to strtold.
locale_t CLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// Reads [blanks] [sign] digits [separator digits] [(E|e) [sign] digits] [blanks] from the whole
// text; trailing blanks only when allowed. Gives the nearest long double, or nothing when the
// text is not such a number or its value lies beyond the extended range.
std::optional<long double> ScanDecimal(const std::string& text, char separator, bool trailingBlanks)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    std::string plain;
    if (i < n && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    std::size_t mantissaDigits = 0;
    while (i < n && IsDigit(text[i])) { plain += text[i++]; ++mantissaDigits; }
    if (i < n && text[i] == separator) {
        plain += '.';
        ++i;
        while (i < n && IsDigit(text[i])) { plain += text[i++]; ++mantissaDigits; }
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) plain += text[i++];
        std::size_t exponentDigits = 0;
        while (i < n && IsDigit(text[i])) { plain += text[i++]; ++exponentDigits; }
        if (exponentDigits == 0) return std::nullopt;
    }
    if (trailingBlanks) {
        while (i < n && IsBlank(text[i])) ++i;
    }
    if (i != n) return std::nullopt;
    errno = 0;
    const long double value = strtold_l(plain.c_str(), nullptr, CLocale());
    if (std::isinf(value)) return std::nullopt;
    return value;
}

}  // namespace

std::string CommaToPoint(std::string text)
{
    for (char& c : text)
        if (c == ',') c = '.';
    return text;
}

std::string PointToComma(std::string text)
{
    for (char& c : text)
        if (c == '.') c = ',';
    return text;
}

double TextToFloat(const std::string& text)
{
    const std::optional<long double> value = ScanDecimal(CommaToPoint(text), '.', false);
    return value ? static_cast<double>(*value) : 0.0;
}

std::string FloatToText(double value)
{
    char digits[400];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 2);
    std::string text(digits, result.ptr);
    if (text.size() < 6) text.insert(0, 6 - text.size(), ' ');
    return text;
}

std::string ZeroPad(std::int32_t value, int width)
{
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
    return text;
}

std::optional<std::int32_t> ParseCount(const std::string& text, std::int32_t maximum)
{
    // Nine digits at most: any such number fits, and a longer one is above every maximum used.
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const std::int32_t count = std::stoi(text);
    if (count < 1 || count > maximum) return std::nullopt;
    return count;
}

std::int32_t ParseIntegerField(const std::string& text)
{
    std::size_t i = 0;
    std::size_t end = text.size();
    while (i < end && IsBlank(text[i])) ++i;
    while (end > i && IsBlank(text[end - 1])) --end;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == end) throw Error::NotAnInteger(text);
    std::int64_t magnitude = 0;
    for (; i < end; ++i) {
        if (!IsDigit(text[i])) throw Error::NotAnInteger(text);
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 2147483648LL) throw Error::NotAnInteger(text);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > 2147483647LL) throw Error::NotAnInteger(text);
    return static_cast<std::int32_t>(value);
}

long double ParseCommaFloat(const std::string& text)
{
    const std::optional<long double> value = ScanDecimal(text, ',', true);
    if (!value) throw Error::NotAFloat(text);
    return *value;
}

std::string FormatGeneral(long double value, char decimalSeparator)
{
    // Bytes read from a file can form a NaN, an infinity or an unnormal (which x87 takes as a NaN).
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    // 15 significant digits, correctly rounded, then the form is chosen from the exponent.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string scientific(buffer, result.ptr);
    const std::size_t ePos = scientific.find('e');
    const bool negative = scientific[0] == '-';
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < ePos; ++i)
        if (IsDigit(scientific[i])) digits += scientific[i];
    const int exponent = std::atoi(scientific.c_str() + ePos + 1);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string text = negative ? "-" : "";
    if (exponent < -5 || exponent >= 15) {
        text += digits[0];
        if (digits.size() > 1) text += decimalSeparator + digits.substr(1);
        text += 'E' + std::to_string(exponent);
    } else if (exponent < 0) {
        text += '0';
        text += decimalSeparator;
        text += std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            text += digits + std::string(integerDigits - digits.size(), '0');
        } else {
            text += digits.substr(0, integerDigits);
            text += decimalSeparator;
            text += digits.substr(integerDigits);
        }
    }
    return text;
}

}  // namespace nimbra
