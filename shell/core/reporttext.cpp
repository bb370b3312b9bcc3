#include "reporttext.h"

#include <sstream>

namespace {

constexpr std::string_view lineEnd = "\r\n";
// Row labels are the oxide's name in a field this wide.
constexpr std::size_t labelWidth = 11;

} // namespace

ReportText::ReportText(const OxideSystem &system, const NumberFormat &format)
    : m_system(system)
    , m_format(format)
{
}

void ReportText::addHeader(float runTemp)
{
    m_report.temperature = runTemp;
    addLine("Temperature = " + m_format.apply(runTemp, "0000") + " degrees Celsius  ");
}

void ReportText::addLine(std::string_view line)
{
    m_report.text += line;
    m_report.text += lineEnd;
}

std::string ReportText::oxide(double value) const
{
    return m_format.apply(value, "00.00");
}

std::string ReportText::fraction(double value) const
{
    return m_format.apply(value, "0.00");
}

std::string ReportText::totalPart(double total) const
{
    if (total < 100.0)
        return " " + m_format.apply(total, "00.00");
    return m_format.apply(total, "000.00");
}

void ReportText::addSinglePhase(std::string_view heading, const Phase &phase)
{
    addPhases(heading, {phase}, standardSpacing);
}

void ReportText::addPhases(std::string_view headingLine, std::initializer_list<Phase> phases, const Spacing &spacing)
{
    addLine(headingLine);
    for (std::size_t row = 0; row < m_system.oxideNames.size(); ++row) {
        std::string line(m_system.oxideNames[row]);
        line.resize(labelWidth, ' ');
        bool first = true;
        for (const Phase &phase : phases) {
            if (!first)
                line += spacing.oxides;
            line += oxide(phase.column[row]);
            first = false;
        }
        addLine(line);
    }
    std::string totals = "Total     ";
    std::string fractions = "X(2)        ";
    bool first = true;
    for (const Phase &phase : phases) {
        if (!first) {
            totals += spacing.totals;
            fractions += spacing.fractions;
        }
        totals += totalPart(phase.total);
        fractions += fraction(phase.x2);
        first = false;
    }
    addLine(totals);
    addLine({});
    addLine(fractions);
    keep(headingLine, phases);
}

void ReportText::keep(std::string_view headingLine, std::initializer_list<Phase> phases)
{
    std::istringstream names{std::string(headingLine)};
    for (const Phase &phase : phases) {
        PhaseAnalysis analysis;
        names >> analysis.phase;
        for (std::size_t row = 0; row < m_system.oxideNames.size(); ++row)
            analysis.oxides.emplace_back(m_system.oxideNames[row], phase.column[row]);
        analysis.total = phase.total;
        analysis.x2 = phase.x2;
        m_report.phases.push_back(std::move(analysis));
    }
}
