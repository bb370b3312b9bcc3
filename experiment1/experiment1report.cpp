#include "experiment1report.h"

#include <cmath>

namespace {

using Column = Experiment1Report::Column;

// End members in weight percent: mineral 1 (SiO2, MgO, CaO) and mineral 2
// (SiO2, Al2O3, CaO); each sums to 100.00.
constexpr Column mineral1{55.49, 0, 18.61, 25.9};
constexpr Column mineral2{43.19, 36.65, 0, 20.16};

// The crystals beside the eutectic liquid are analysed against a slightly
// different calibration (43.2, 36.64 and 25.89); crystal(1) sums to 99.99.
constexpr Column eutecticCrystal1{55.49, 0, 18.61, 25.89};
constexpr Column eutecticCrystal2{43.2, 36.64, 0, 20.16};

constexpr ReportText::RowLabels rowLabels{"SiO2       ", "Al2O3      ", "MgO        ", "CaO        "};

} // namespace

Experiment1Report::Experiment1Report(const Experiment1State &state, const NumberFormat &format)
    : m_state(state)
    , m_text(format)
{
}

double Experiment1Report::totalOf(const Column &column)
{
    return ((column[SiO2] + column[Al2O3]) + column[MgO]) + column[CaO];
}

std::string Experiment1Report::build(ScatterSource &scatter, std::int64_t &drawCount)
{
    m_text.addHeader(m_state.runTemp);
    const double phaseX2 = m_state.phaseX2;
    const double phaseComplement = static_cast<float>(1.0f - m_state.phaseX2);
    ReportText &t = m_text;

    switch (m_state.phaseCase) {
    case 1:
    case 2: {
        const Column only = mixtureColumn(phaseX2, phaseComplement, SignCorrection::AluminaAndMagnesia,
                                          scatter, drawCount);
        t.addOneColumnBlock(m_state.phaseCase == 1 ? "           glass" : "          crystal", rowLabels,
                            only, totalOf(only), phaseX2);
        break;
    }
    case 3: {
        // The two crystals are probed oxide by oxide, alternately.
        Column crystal1{};
        Column crystal2{};
        for (int oxide = 0; oxide < OxideCount; ++oxide) {
            addCrystalDraw(crystal1, mineral1, oxide, scatter, drawCount);
            addCrystalDraw(crystal2, mineral2, oxide, scatter, drawCount);
        }
        t.addLine("         crystal(1)   crystal(2)");
        t.addOxideRows(rowLabels, {&crystal1, &crystal2}, "        ");
        t.addTotalsAndFractions(t.totalPart(totalOf(crystal1)) + "       " + t.totalPart(totalOf(crystal2)),
                                t.fraction(0) + "         " + t.fraction(1));
        break;
    }
    case 4: {
        const Column glass = mixtureColumn(phaseX2, phaseComplement, SignCorrection::AluminaAndMagnesia,
                                           scatter, drawCount);
        const Column crystal = mixtureColumn(m_state.crystalX2, 1 - m_state.crystalX2,
                                             SignCorrection::AluminaAndMagnesia, scatter, drawCount);
        t.addLine("           glass    crystal");
        t.addOxideRows(rowLabels, {&glass, &crystal}, "      ");
        t.addTotalsAndFractions(t.totalPart(totalOf(glass)) + "     " + t.totalPart(totalOf(crystal)),
                                t.fraction(phaseX2) + "       " + t.fraction(m_state.crystalX2));
        break;
    }
    case 5: {
        const Column glass = mixtureColumn(phaseX2, phaseComplement, SignCorrection::None, scatter,
                                           drawCount);
        // Crystal(2) is probed before crystal(1).
        Column crystal1{};
        Column crystal2{};
        for (int oxide = 0; oxide < OxideCount; ++oxide)
            addCrystalDraw(crystal2, eutecticCrystal2, oxide, scatter, drawCount);
        for (int oxide = 0; oxide < OxideCount; ++oxide)
            addCrystalDraw(crystal1, eutecticCrystal1, oxide, scatter, drawCount);
        t.addLine("           glass    crystal(1) crystal(2)");
        t.addOxideRows(rowLabels, {&glass, &crystal1, &crystal2}, "      ");
        t.addTotalsAndFractions(t.totalPart(totalOf(glass)) + "     " + t.totalPart(totalOf(crystal1))
                                    + "     " + t.totalPart(totalOf(crystal2)),
                                t.fraction(phaseX2) + "       " + t.fraction(0) + "       " + t.fraction(1));
        break;
    }
    default:
        // No run yet: the header alone.
        break;
    }
    return t.text();
}

Column Experiment1Report::mixtureColumn(double x2, double complement, SignCorrection correction,
                                        ScatterSource &scatter, std::int64_t &drawCount) const
{
    Column column{};
    for (int oxide = 0; oxide < OxideCount; ++oxide) {
        const double scatterValue = scatter.fud(m_state.phaseX2, drawCount);
        double value = (x2 * mineral2[oxide] + complement * mineral1[oxide]) + scatterValue;
        // An oxide the phase holds little of can come out negative from the
        // scatter (or from a liquid composition beyond the end member); the
        // probe reports its size.
        const bool correctable = oxide == Al2O3 || oxide == MgO;
        if (correction == SignCorrection::AluminaAndMagnesia && correctable && value < 0)
            value = 0 - value;
        column[oxide] = value;
    }
    return column;
}

void Experiment1Report::addCrystalDraw(Column &column, const Column &base, int oxide,
                                       ScatterSource &scatter, std::int64_t &drawCount) const
{
    const double scatterValue = scatter.fud(m_state.phaseX2, drawCount);
    column[oxide] = base[oxide] == 0 ? std::fabs(scatterValue) : base[oxide] + scatterValue;
}
