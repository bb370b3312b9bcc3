#include "systemexperimentmodel.h"

#include "phaselooks.h"

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
        const PhaseLooks looks = isGlass ? PhaseLooks{} : PhaseLooks::of(m_diagram->system(), heading);
        shares.push_back({isGlass ? "glass" : heading, isGlass, phase.fraction, looks.colour, looks.habit});
    }
    return RunOutcome::showing(Charge::ofShares(std::move(shares)));
}

MicroprobeReport SystemExperimentModel::report(ScatterSource &scatter, std::int64_t &drawCount,
                                               const NumberFormat &format) const
{
    return SystemReport::build(m_diagram->system(), m_runTemp, m_phases, scatter, drawCount, format);
}
