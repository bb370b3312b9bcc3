#include "systemexperimentmodel.h"

#include <algorithm>

SystemExperimentModel::SystemExperimentModel(std::shared_ptr<const PhaseDiagram> diagram)
    : m_diagram(std::move(diagram))
{
}

RunOutcome SystemExperimentModel::run(const RunEntries &entries)
{
    const std::optional<RunEntries::Bulk> bulk = entries.bulk();
    if (!bulk)
        return RunOutcome::failed(RunOutcome::Failure::DivisionByZero);
    m_runTemp = entries.temperature;
    const Assemblage assemblage = m_diagram->runAt(double(bulk->x2), double(entries.temperature));
    const int liquids = int(std::count_if(assemblage.phases.begin(), assemblage.phases.end(),
                                          [](const PhaseAmount &phase) { return phase.phase == GibbsModel::liquid; }));
    m_phases.clear();
    std::vector<Charge::PhaseShare> shares;
    int liquid = 0;
    for (const PhaseAmount &phase : assemblage.phases) {
        const bool isGlass = phase.phase == GibbsModel::liquid;
        std::string heading = isGlass ? "glass" : m_diagram->phaseName(phase.phase);
        if (isGlass && liquids > 1)
            heading += "(" + std::to_string(++liquid) + ")";
        m_phases.push_back({heading, phase.x2});
        const auto [colour, habit] = looksOf(phase.phase);
        shares.push_back({isGlass ? "glass" : heading, isGlass, phase.fraction, colour, habit});
    }
    return RunOutcome::showing(Charge::ofShares(std::move(shares)));
}

std::pair<std::string, std::string> SystemExperimentModel::looksOf(int phase) const
{
    // Crystals without a colour of their own take one of a palette that
    // colour-blind readers tell apart, by the phase's place in the system.
    static constexpr const char *palette[] = {"#0072B2", "#E69F00", "#009E73", "#CC79A7", "#D55E00", "#56B4E9"};
    static constexpr const char *habits[] = {"prism", "plate"};
    const GibbsModel::Phase &info = m_diagram->solver().model().phases()[phase];
    const BinarySystem &system = m_diagram->system();
    std::string colour;
    std::string habit;
    if (info.kind == GibbsModel::Phase::Kind::Compound) {
        colour = system.solids[info.source].colour;
        habit = system.solids[info.source].habit;
    } else if (info.kind == GibbsModel::Phase::Kind::Solution) {
        colour = system.solutions[info.source].colour;
        habit = system.solutions[info.source].habit;
    }
    const std::size_t place = std::size_t(std::max(phase - 1, 0));
    if (colour.empty())
        colour = palette[place % std::size(palette)];
    if (habit.empty())
        habit = habits[place % std::size(habits)];
    return {colour, habit};
}

MicroprobeReport SystemExperimentModel::report(ScatterSource &scatter, std::int64_t &drawCount,
                                               const NumberFormat &format) const
{
    return SystemReport::build(m_diagram->system(), m_runTemp, m_phases, scatter, drawCount, format);
}
