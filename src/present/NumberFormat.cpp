#include "present/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace qxr {

namespace {

// printf's notation in the C locale, whatever locale the program runs in.
std::string Printed(std::chars_format notation, int precision, double value)
{
    std::vector<char> text(512);
    for (;;) {
        const std::to_chars_result result =
            std::to_chars(text.data(), text.data() + text.size(), value, notation, precision);
        if (result.ec == std::errc())
            return std::string(text.data(), result.ptr);
        text.resize(text.size() * 2);
    }
}

// |value| as d.ddd... x 10^exponent with every significant digit it has.
struct ExactDigits {
    int exponent;
    std::string digits;
};

ExactDigits ExactDigitsOf(double value)
{
    // 767 significant digits hold every double exactly.
    const std::string text = Printed(std::chars_format::scientific, 800, std::fabs(value));
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    digits.erase(digits.find_last_not_of('0') + 1);
    return {std::atoi(text.c_str() + e + 1), digits.empty() ? "0" : digits};
}

// The first `kept` digits, one unit more in the last of them; a carry out of
// the first digit raises the exponent.
ExactDigits RoundedUp(const ExactDigits& exact, int kept)
{
    std::string digits = exact.digits.substr(0, static_cast<std::size_t>(kept));
    digits.resize(static_cast<std::size_t>(kept), '0');
    int exponent = exact.exponent;
    std::size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9')
        digits[--i] = '0';
    if (i > 0) {
        ++digits[i - 1];
    } else {
        digits.insert(0, "1");
        ++exponent;
    }
    return {exponent, digits};
}

// Digits whose last one stands for 10^-decimals, in fixed notation.
std::string FixedText(std::string units, int decimals)
{
    if (decimals == 0)
        return units;
    const auto fraction = static_cast<std::size_t>(decimals);
    if (units.size() <= fraction)
        units.insert(0, fraction + 1 - units.size(), '0');
    units.insert(units.size() - fraction, ".");
    return units;
}

// printf's %g of significant digits d.ddd x 10^exponent: exponent notation
// outside -4..precision-1, trailing zeros dropped.
std::string GeneralText(std::string digits, int exponent, int precision)
{
    digits.erase(std::max<std::size_t>(1, digits.find_last_not_of('0') + 1));
    if (exponent < -4 || exponent >= precision) {
        std::string text = digits.substr(0, 1) + (digits.size() > 1 ? "." + digits.substr(1) : "");
        const std::string magnitude = std::to_string(std::abs(exponent));
        return text + (exponent < 0 ? "e-" : "e+") + (magnitude.size() < 2 ? "0" : "") + magnitude;
    }
    if (exponent < 0)
        return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits)
        return digits + std::string(integerDigits - digits.size(), '0');
    return digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
}

// The significant digits a notation keeps of value.
int KeptDigits(std::chars_format notation, int precision, const ExactDigits& exact)
{
    if (notation == std::chars_format::general)
        return precision == 0 ? 1 : precision;
    return exact.exponent + 1 + precision;
}

// Whether the exact digits end with a 5 right after the kept ones.
bool IsExactTie(const ExactDigits& exact, int kept)
{
    return kept >= 0 && exact.digits.size() == static_cast<std::size_t>(kept) + 1 && exact.digits.back() == '5';
}

std::string RoundedAwayText(std::chars_format notation, int precision, double value, const ExactDigits& exact, int kept)
{
    const ExactDigits rounded = RoundedUp(exact, kept);
    const std::string sign = value < 0 ? "-" : "";
    if (notation == std::chars_format::general)
        return sign + GeneralText(rounded.digits, rounded.exponent, precision == 0 ? 1 : precision);
    // In fixed notation the kept digits end at 10^-precision whatever the carry.
    return sign + FixedText(rounded.digits, precision);
}

std::string Formatted(std::chars_format notation, int precision, double value)
{
    if (std::isnan(value))
        return "nan";
    if (value == 0)
        value = 0.0;  // no sign on a zero
    const std::string plain = Printed(notation, precision, value);
    if (std::isinf(value))
        return plain;
    // printf rounds a tie to even. Rounding cannot differ from rounding the
    // next number away from zero unless a rounding boundary lies between them.
    const double away = std::nextafter(value, value > 0 ? INFINITY : -INFINITY);
    if (Printed(notation, precision, away) == plain)
        return plain;
    const ExactDigits exact = ExactDigitsOf(value);
    const int kept = KeptDigits(notation, precision, exact);
    return IsExactTie(exact, kept) ? RoundedAwayText(notation, precision, value, exact, kept) : plain;
}

}  // namespace

std::string FormatFixed(double value, int decimals)
{
    return Formatted(std::chars_format::fixed, decimals, value);
}

std::string FormatSignificant(double value, int significant)
{
    return Formatted(std::chars_format::general, significant, value);
}

}  // namespace qxr
