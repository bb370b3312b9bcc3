#pragma once

#include "numberformat.h"

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

// The text of a microprobe report under construction: lines ended by
// carriage return and line feed, built from fixed labels, runs of blanks and
// numbers under the report's digit patterns. The pieces that both
// experiments' reports share live here, so their columns line up the same
// way.
class ReportText
{
public:
    // Four oxide values of one phase, in the order its rows are printed.
    using Column = std::array<double, 4>;
    using RowLabels = std::array<std::string_view, 4>;

    explicit ReportText(const NumberFormat &format);

    // "Temperature = 1300 degrees Celsius  ": the run temperature in whole
    // degrees under "0000" (an unset temperature reads as 0, so 0000).
    void addHeader(float runTemp);
    void addLine(std::string_view line);
    void addEmptyLine();

    // An oxide value in weight percent under "00.00".
    std::string oxide(double value) const;
    // An X(2) value under "0.00".
    std::string fraction(double value) const;
    // The total of one column of a several-column report, 6 characters for
    // the totals that occur: a blank and "00.00" below 100, "000.00" at 100
    // or more. A total just under 100 that rounds to 100.00 takes 7.
    std::string totalPart(double total) const;
    // The whole total line of a one-column report.
    std::string singleTotalLine(double total) const;

    // The block of a charge with one phase: heading, four oxide rows, the
    // total, an empty line and X(2).
    void addOneColumnBlock(std::string_view heading, const RowLabels &labels, const Column &column,
                           double total, double x2);
    // Four oxide rows of several columns, the columns separated by gap.
    void addOxideRows(const RowLabels &labels, std::initializer_list<const Column *> columns,
                      std::string_view gap);
    // "Total     " and the total parts, an empty line, "X(2)        " and the
    // X(2) values, each already joined with their gaps.
    void addTotalsAndFractions(std::string_view totals, std::string_view fractions);

    const std::string &text() const { return m_text; }

private:
    const NumberFormat &m_format;
    std::string m_text;
};
