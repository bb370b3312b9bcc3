#include "numberformat.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

struct PatternShape
{
    int integerDigits = 0;
    int decimals = 0;
};

PatternShape shapeOf(std::string_view pattern)
{
    PatternShape shape;
    const auto point = pattern.find('.');
    shape.integerDigits = static_cast<int>(point == std::string_view::npos ? pattern.size() : point);
    shape.decimals = point == std::string_view::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
    if (shape.integerDigits < 1 || pattern.find_first_not_of("0.") != std::string_view::npos)
        throw std::invalid_argument("not a digit pattern");
    return shape;
}

// True when the exact binary value lies exactly halfway between two values
// printable with the given decimals. printf rounds such ties to even; the
// report rounds them away from zero instead.
bool isExactTie(double magnitude, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = magnitude * scale;
    // The product is exact only when fma finds no remainder; an inexact
    // product cannot stand for a tie of the exact value.
    if (std::fma(magnitude, scale, -scaled) != 0.0)
        return false;
    return scaled - std::floor(scaled) == 0.5;
}

} // namespace

NumberFormat::NumberFormat(std::string decimalSeparator)
    : m_decimalSeparator(std::move(decimalSeparator))
{
}

std::string NumberFormat::apply(double value, std::string_view pattern) const
{
    const PatternShape shape = shapeOf(pattern);
    if (!std::isfinite(value))
        return std::to_string(value);

    double magnitude = std::fabs(value);
    if (isExactTie(magnitude, shape.decimals))
        magnitude += 0.5 * std::pow(10.0, -shape.decimals);

    char digits[400];
    std::snprintf(digits, sizeof digits, "%.*f", shape.decimals, magnitude);
    std::string text(digits);

    std::string integerPart = text.substr(0, text.find('.'));
    if (static_cast<int>(integerPart.size()) < shape.integerDigits)
        integerPart.insert(0, shape.integerDigits - integerPart.size(), '0');

    std::string result;
    const bool showsAsZero = text.find_first_not_of("0.") == std::string::npos;
    if (value < 0 && !showsAsZero)
        result += '-';
    result += integerPart;
    if (shape.decimals > 0) {
        result += m_decimalSeparator;
        result += text.substr(text.find('.') + 1);
    }
    return result;
}
