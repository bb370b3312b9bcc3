#include "experiment1report.h"

#include "microprobe.h"
#include "reporttext.h"

namespace {

using Column = OxideSystem::Column;
using Phase = ReportText::Phase;
enum Oxide { SiO2, Al2O3, MgO, CaO, OxideCount };

// The crystals beside the eutectic liquid are analysed against a slightly
// different calibration (43.2, 36.64 and 25.89); crystal(1) sums to 99.99.
constexpr Column eutecticCrystal1{55.49, 0, 18.61, 25.89};
constexpr Column eutecticCrystal2{43.2, 36.64, 0, 20.16};

} // namespace

// Mineral 1 (SiO2, MgO, CaO) and mineral 2 (SiO2, Al2O3, CaO), in weight percent.
const OxideSystem Experiment1Report::system{
    {"SiO2", "Al2O3", "MgO", "CaO"},
    {55.49, 0, 18.61, 25.9},
    {43.19, 36.65, 0, 20.16},
    {SiO2, Al2O3, MgO, CaO},
    {SiO2, Al2O3, MgO, CaO},
    {false, true, true, false},
};

MicroprobeReport Experiment1Report::build(const Experiment1State &state, ScatterSource &scatter,
                                          std::int64_t &drawCount, const NumberFormat &format)
{
    ReportText text(system, format);
    text.addHeader(state.runTemp);
    Microprobe probe(system, scatter, drawCount, state.phaseX2);
    const double phaseX2 = state.phaseX2;
    const double phaseComplement = static_cast<float>(1.0f - state.phaseX2);
    const auto glass = [&](Microprobe::NegativeValues negatives) {
        const Column column = probe.mixture(phaseX2, phaseComplement, negatives);
        return Phase{column, probe.total(column), phaseX2};
    };

    switch (state.phaseCase) {
    case 1:
    case 2:
        text.addSinglePhase(state.phaseCase == 1 ? "           glass" : "          crystal",
                            glass(Microprobe::NegativeValues::ReadAsSize));
        break;
    case 3: {
        // The two crystals are probed oxide by oxide, alternately.
        Column crystal1{};
        Column crystal2{};
        for (int oxide = 0; oxide < OxideCount; ++oxide) {
            crystal1[oxide] = probe.crystalOxide(system.mineral1, oxide);
            crystal2[oxide] = probe.crystalOxide(system.mineral2, oxide);
        }
        text.addPhases("         crystal(1)   crystal(2)",
                       {{crystal1, probe.total(crystal1), 0}, {crystal2, probe.total(crystal2), 1}},
                       ReportText::wideSpacing);
        break;
    }
    case 4: {
        const Phase liquid = glass(Microprobe::NegativeValues::ReadAsSize);
        const Column crystal = probe.mixture(state.crystalX2, 1 - state.crystalX2,
                                             Microprobe::NegativeValues::ReadAsSize);
        text.addPhases("           glass    crystal", {liquid, {crystal, probe.total(crystal), double(state.crystalX2)}},
                       ReportText::standardSpacing);
        break;
    }
    case 5: {
        const Phase liquid = glass(Microprobe::NegativeValues::Kept);
        // Crystal(2) is probed before crystal(1).
        Column crystal1{};
        Column crystal2{};
        for (int oxide = 0; oxide < OxideCount; ++oxide)
            crystal2[oxide] = probe.crystalOxide(eutecticCrystal2, oxide);
        for (int oxide = 0; oxide < OxideCount; ++oxide)
            crystal1[oxide] = probe.crystalOxide(eutecticCrystal1, oxide);
        text.addPhases("           glass    crystal(1) crystal(2)",
                       {liquid, {crystal1, probe.total(crystal1), 0}, {crystal2, probe.total(crystal2), 1}},
                       ReportText::standardSpacing);
        break;
    }
    default:
        // No run yet: the header alone.
        break;
    }
    return text.report();
}
