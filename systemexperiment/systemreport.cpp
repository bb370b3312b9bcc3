#include "systemreport.h"

#include "systemfile.h"

#include <algorithm>

namespace {

constexpr std::string_view lineEnd = "\r\n";
// Row labels take this many characters, and each phase's column this many,
// its value at the right: the lab's own reports line up the same way.
constexpr std::size_t labelWidth = 5;
constexpr std::size_t columnWidth = 11;
// A traverse's values: a point a row, each value this wide.
constexpr std::size_t valueWidth = 8;

double percentOf(const Mineral &mineral, const std::string &oxide)
{
    for (const auto &[name, percent] : mineral.oxides)
        if (name == oxide)
            return percent;
    return 0;
}

std::string rightAligned(std::string text, std::size_t width)
{
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string label(std::string_view text)
{
    std::string line(text);
    line.resize(labelWidth, ' ');
    return line;
}

} // namespace

std::vector<std::string> SystemReport::oxidesOf(const BinarySystem &system)
{
    std::vector<std::string> oxides;
    for (const std::string &oxide : SystemFile::knownOxides()) {
        if (percentOf(system.mineral1, oxide) > 0 || percentOf(system.mineral2, oxide) > 0)
            oxides.push_back(oxide);
    }
    return oxides;
}

std::vector<PhaseAnalysis> SystemReport::analyse(const BinarySystem &system, const std::vector<Phase> &phases,
                                                 ScatterSource &scatter, std::int64_t &drawCount)
{
    const std::vector<std::string> oxides = oxidesOf(system);
    std::vector<PhaseAnalysis> analyses;
    // Phase by phase, oxide by oxide: each value one draw.
    for (const Phase &phase : phases) {
        PhaseAnalysis analysis{phase.heading, {}, 0, phase.x2};
        for (const std::string &oxide : oxides) {
            const double first = percentOf(system.mineral1, oxide);
            const double second = percentOf(system.mineral2, oxide);
            double value = (phase.x2 * second + (1 - phase.x2) * first) + scatter.fud(float(phase.x2), drawCount);
            if ((first == 0 || second == 0) && value < 0)
                value = 0 - value;
            analysis.oxides.emplace_back(oxide, value);
            analysis.total += value;
        }
        analyses.push_back(std::move(analysis));
    }
    return analyses;
}

std::string SystemReport::header(float runTemp, const NumberFormat &format)
{
    return "Temperature = " + format.apply(runTemp, "0000") + " degrees Celsius  " + std::string(lineEnd);
}

MicroprobeReport SystemReport::build(const BinarySystem &system, float runTemp, const std::vector<Phase> &phases,
                                     ScatterSource &scatter, std::int64_t &drawCount, const NumberFormat &format)
{
    MicroprobeReport report;
    report.temperature = runTemp;
    const auto addLine = [&report](std::string_view line) {
        report.text += line;
        report.text += lineEnd;
    };
    report.text = header(runTemp, format);
    if (phases.empty())
        return report; // no run yet: the header alone

    std::string headings = label("");
    std::vector<Phase> cut;
    for (const Phase &phase : phases) {
        headings += rightAligned(phase.heading.substr(0, columnWidth - 1), columnWidth);
        cut.push_back({phase.heading.substr(0, columnWidth - 1), phase.x2});
    }
    addLine(headings);
    report.phases = analyse(system, cut, scatter, drawCount);
    const std::vector<std::string> oxides = oxidesOf(system);
    for (std::size_t row = 0; row < oxides.size(); ++row) {
        std::string line = label(oxides[row]);
        for (const PhaseAnalysis &analysis : report.phases)
            line += rightAligned(format.apply(analysis.oxides[row].second, "00.00"), columnWidth);
        addLine(line);
    }
    std::string totals = label("Total");
    std::string fractions = label("X(2)");
    for (const PhaseAnalysis &analysis : report.phases) {
        totals += rightAligned(format.apply(analysis.total, analysis.total < 100.0 ? "00.00" : "000.00"), columnWidth);
        fractions += rightAligned(format.apply(analysis.x2, "0.00"), columnWidth);
    }
    addLine(totals);
    addLine({});
    addLine(fractions);
    return report;
}

MicroprobeReport SystemReport::traverse(const BinarySystem &system, float celsius, const std::vector<Phase> &points,
                                        ScatterSource &scatter, std::int64_t &drawCount, const NumberFormat &format)
{
    MicroprobeReport report;
    report.temperature = celsius;
    report.text = header(celsius, format);
    std::size_t width = std::string_view("point").size();
    for (const Phase &point : points)
        width = std::max(width, point.heading.size());
    width += 2;
    const auto padded = [width](std::string text) {
        text.resize(width, ' ');
        return text;
    };
    const std::vector<std::string> oxides = oxidesOf(system);
    std::string headings = padded("point");
    for (const std::string &oxide : oxides)
        headings += rightAligned(oxide, valueWidth);
    headings += rightAligned("Total", valueWidth) + rightAligned("X(2)", valueWidth);
    report.text += headings + std::string(lineEnd);
    report.phases = analyse(system, points, scatter, drawCount);
    // A row a point, from the glass through each crystal from core to rim.
    for (const PhaseAnalysis &analysis : report.phases) {
        std::string line = padded(analysis.phase);
        for (const auto &[oxide, value] : analysis.oxides)
            line += rightAligned(format.apply(value, "00.00"), valueWidth);
        line += rightAligned(format.apply(analysis.total, analysis.total < 100.0 ? "00.00" : "000.00"), valueWidth);
        line += rightAligned(format.apply(analysis.x2, "0.00"), valueWidth);
        report.text += line + std::string(lineEnd);
    }
    return report;
}
