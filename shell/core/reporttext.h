#pragma once

#include "microprobereport.h"
#include "numberformat.h"
#include "oxidesystem.h"

#include <initializer_list>
#include <string>
#include <string_view>

// The text of a microprobe report under construction: lines ended by
// carriage return and line feed, built from fixed labels, runs of blanks and
// numbers under the report's digit patterns. Both experiments' reports are
// put together here, so their columns line up the same way; each phase
// added is also kept with its values.
//
// Oxide values show under "00.00", X(2) under "0.00", the temperature in
// whole degrees under "0000". A total below 100 shows under "00.00" after a
// blank, one of 100 or more under "000.00", so a column's total takes six
// characters (seven for a total just under 100 that rounds to 100.00).
class ReportText
{
public:
    using Column = OxideSystem::Column;

    // One analysed phase: its four oxide values (printed order), total, X(2).
    struct Phase
    {
        Column column;
        double total = 0;
        double x2 = 0;
    };

    // The blanks between the columns of the oxide rows, the totals and the
    // X(2) values.
    struct Spacing
    {
        std::string_view oxides;
        std::string_view totals;
        std::string_view fractions;
    };
    static constexpr Spacing standardSpacing{"      ", "     ", "       "};
    static constexpr Spacing wideSpacing{"        ", "       ", "         "};

    ReportText(const OxideSystem &system, const NumberFormat &format);

    // "Temperature = 1300 degrees Celsius  " (an unset temperature reads as 0, so 0000).
    void addHeader(float runTemp);
    // A charge of one phase: heading, four oxide rows, the total, an empty line and X(2).
    void addSinglePhase(std::string_view heading, const Phase &phase);
    // A charge of several phases side by side; the heading line names them
    // in the order of the columns.
    void addPhases(std::string_view headingLine, std::initializer_list<Phase> phases, const Spacing &spacing);

    const MicroprobeReport &report() const { return m_report; }

private:
    void addLine(std::string_view line);
    std::string oxide(double value) const;
    std::string fraction(double value) const;
    std::string totalPart(double total) const;
    void keep(std::string_view headingLine, std::initializer_list<Phase> phases);

    const OxideSystem &m_system;
    const NumberFormat &m_format;
    MicroprobeReport m_report;
};
