#include "experiment2report.h"

#include <array>

namespace {

using Column = Experiment2Report::Column;
using Oxide = Experiment2Report::Oxide;

// End members in weight percent, in the printed order SiO2, Al2O3, CaO,
// Na2O: mineral 1 is the sodic end member, mineral 2 the calcic one; each
// sums to 100.00.
constexpr Column mineral1{68.74, 19.44, 0, 11.82};
constexpr Column mineral2{43.19, 36.65, 20.16, 0};

constexpr std::array<Oxide, 4> drawOrder{Oxide::SiO2, Oxide::Na2O, Oxide::CaO, Oxide::Al2O3};

constexpr ReportText::RowLabels rowLabels{"SiO2       ", "Al2O3      ", "CaO        ", "Na2O       "};

} // namespace

Experiment2Report::Experiment2Report(const Experiment2State &state, const NumberFormat &format)
    : m_state(state)
    , m_text(format)
{
}

double Experiment2Report::totalOf(const Column &column)
{
    return ((column[SiO2] + column[Al2O3]) + column[Na2O]) + column[CaO];
}

std::string Experiment2Report::build(ScatterSource &scatter, std::int64_t &drawCount)
{
    ReportText &t = m_text;
    t.addHeader(m_state.runTemp);
    const double phaseX2 = m_state.phaseX2;
    const double phaseComplement = static_cast<float>(1.0f - m_state.phaseX2);

    switch (m_state.phaseCase) {
    case 1:
    case 2: {
        const Column only = analyse(phaseX2, phaseComplement, scatter, drawCount);
        t.addOneColumnBlock(m_state.phaseCase == 1 ? "           glass" : "          crystal", rowLabels,
                            only, totalOf(only), phaseX2);
        break;
    }
    case 3: {
        const Column crystal = analyse(phaseX2, phaseComplement, scatter, drawCount);
        const Column glass = analyse(m_state.glassX2, 1.0 - m_state.glassX2, scatter, drawCount);
        t.addLine("          crystal     glass");
        t.addOxideRows(rowLabels, {&crystal, &glass}, "      ");
        t.addTotalsAndFractions(t.totalPart(totalOf(crystal)) + "     " + t.totalPart(totalOf(glass)),
                                t.fraction(phaseX2) + "       " + t.fraction(m_state.glassX2));
        break;
    }
    default:
        // No run yet: the header alone.
        break;
    }
    return t.text();
}

Column Experiment2Report::analyse(double x2, double complement, ScatterSource &scatter,
                                  std::int64_t &drawCount) const
{
    Column column{};
    for (const Oxide oxide : drawOrder) {
        // Every draw passes the crystal's X(2), the glass column's too.
        const double scatterValue = scatter.fud(m_state.phaseX2, drawCount);
        double value = (x2 * mineral2[oxide] + complement * mineral1[oxide]) + scatterValue;
        if ((oxide == Na2O || oxide == CaO) && value < 0)
            value = 0 - value;
        column[oxide] = value;
    }
    return column;
}
