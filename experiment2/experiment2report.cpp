#include "experiment2report.h"

#include "microprobe.h"
#include "reporttext.h"

namespace {
enum Oxide { SiO2, Al2O3, CaO, Na2O };
constexpr auto readAsSize = Microprobe::NegativeValues::ReadAsSize;
} // namespace

// Mineral 1 is the sodic end member, mineral 2 the calcic one, in weight
// percent, in the printed order.
const OxideSystem Experiment2Report::system{
    {"SiO2", "Al2O3", "CaO", "Na2O"},
    {68.74, 19.44, 0, 11.82},
    {43.19, 36.65, 20.16, 0},
    {SiO2, Na2O, CaO, Al2O3},
    {SiO2, Al2O3, Na2O, CaO},
    {false, false, true, true},
};

MicroprobeReport Experiment2Report::build(const Experiment2State &state, ScatterSource &scatter,
                                          std::int64_t &drawCount, const NumberFormat &format)
{
    ReportText text(system, format);
    text.addHeader(state.runTemp);
    Microprobe probe(system, scatter, drawCount, state.phaseX2);
    const double phaseX2 = state.phaseX2;
    const double phaseComplement = static_cast<float>(1.0f - state.phaseX2);

    switch (state.phaseCase) {
    case 1:
    case 2: {
        const auto only = probe.mixture(phaseX2, phaseComplement, readAsSize);
        text.addSinglePhase(state.phaseCase == 1 ? "           glass" : "          crystal",
                            {only, probe.total(only), phaseX2});
        break;
    }
    case 3: {
        const auto crystal = probe.mixture(phaseX2, phaseComplement, readAsSize);
        const auto glass = probe.mixture(state.glassX2, 1.0 - state.glassX2, readAsSize);
        text.addPhases("          crystal     glass",
                       {{crystal, probe.total(crystal), phaseX2}, {glass, probe.total(glass), state.glassX2}},
                       ReportText::standardSpacing);
        break;
    }
    default:
        // No run yet: the header alone.
        break;
    }
    return text.report();
}
