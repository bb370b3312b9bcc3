#pragma once

#include <string>
#include <string_view>

// Formats report numbers with digit patterns such as "0000", "00.00",
// "000.00" and "0.00": every "0" is a digit that is always shown. The value
// is rounded to the decimals of the pattern and padded with leading zeros to
// the pattern's integer digits (950 under "0000" shows as 0950); a value with
// more integer digits shows them all (100.04 under "00.00" is 100.04).
//
// Rounding is to the nearest printable value; a value exactly halfway
// between two (1234.5, 0.125) rounds away from zero, as students learn it.
// A negative value that shows as zero (-0.001 under "0.00") prints without a
// minus sign. The decimal separator is the user's locale's; nothing else of
// the locale (grouping, digits) is used, so the columns of a report line up
// in every locale.
class NumberFormat
{
public:
    explicit NumberFormat(std::string decimalSeparator = ".");

    // pattern: one or more '0', optionally a '.' followed by one or more '0'.
    std::string apply(double value, std::string_view pattern) const;

private:
    std::string m_decimalSeparator;
};
