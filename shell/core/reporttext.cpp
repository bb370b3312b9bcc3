#include "reporttext.h"

namespace {
constexpr std::string_view lineEnd = "\r\n";
}

ReportText::ReportText(const NumberFormat &format)
    : m_format(format)
{
}

void ReportText::addHeader(float runTemp)
{
    std::string line = "Temperature = ";
    line += m_format.apply(runTemp, "0000");
    line += " degrees Celsius  ";
    addLine(line);
}

void ReportText::addLine(std::string_view line)
{
    m_text += line;
    m_text += lineEnd;
}

void ReportText::addEmptyLine()
{
    m_text += lineEnd;
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

std::string ReportText::singleTotalLine(double total) const
{
    if (total < 100.0)
        return "Total      " + m_format.apply(total, "00.00");
    return "Total     " + m_format.apply(total, "000.00");
}

void ReportText::addOneColumnBlock(std::string_view heading, const RowLabels &labels,
                                   const Column &column, double total, double x2)
{
    addLine(heading);
    addOxideRows(labels, {&column}, {});
    addLine(singleTotalLine(total));
    addEmptyLine();
    addLine("X(2)        " + fraction(x2));
}

void ReportText::addOxideRows(const RowLabels &labels, std::initializer_list<const Column *> columns,
                              std::string_view gap)
{
    for (std::size_t row = 0; row < labels.size(); ++row) {
        std::string line(labels[row]);
        bool first = true;
        for (const Column *column : columns) {
            if (!first)
                line += gap;
            line += oxide((*column)[row]);
            first = false;
        }
        addLine(line);
    }
}

void ReportText::addTotalsAndFractions(std::string_view totals, std::string_view fractions)
{
    addLine(std::string("Total     ").append(totals));
    addEmptyLine();
    addLine(std::string("X(2)        ").append(fractions));
}
