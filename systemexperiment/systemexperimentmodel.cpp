#include "systemexperimentmodel.h"

#include "phaselooks.h"

#include <algorithm>

SystemExperimentModel::SystemExperimentModel(std::shared_ptr<const PhaseDiagram> diagram)
    : m_diagram(std::move(diagram))
{
}

Charge SystemExperimentModel::chargeOf(const std::vector<PhaseAmount> &phases,
                                       std::vector<SystemReport::Phase> *headings) const
{
    const int liquids = int(std::count_if(phases.begin(), phases.end(),
                                          [](const PhaseAmount &phase) { return phase.phase == GibbsModel::liquid; }));
    std::vector<Charge::PhaseShare> shares;
    int liquid = 0;
    for (const PhaseAmount &phase : phases) {
        const bool isGlass = phase.phase == GibbsModel::liquid;
        std::string heading = isGlass ? "glass" : m_diagram->phaseName(phase.phase);
        if (isGlass && liquids > 1)
            heading += "(" + std::to_string(++liquid) + ")";
        if (headings)
            headings->push_back({heading, phase.x2});
        const PhaseLooks looks = isGlass ? PhaseLooks{} : PhaseLooks::of(m_diagram->system(), heading);
        shares.push_back({isGlass ? "glass" : heading, isGlass, phase.fraction, looks.colour, looks.habit});
    }
    return Charge::ofShares(std::move(shares));
}

RunOutcome SystemExperimentModel::run(const RunEntries &entries)
{
    const std::optional<RunEntries::Bulk> bulk = entries.bulk();
    if (!bulk)
        return RunOutcome::failed(RunOutcome::Failure::DivisionByZero);
    m_runTemp = entries.temperature;
    m_path.reset();
    m_phases.clear();
    const Assemblage assemblage = m_diagram->runAt(double(bulk->x2), double(entries.temperature));
    return RunOutcome::showing(chargeOf(assemblage.phases, &m_phases));
}

std::optional<std::vector<CoolingStep>> SystemExperimentModel::cool(const CoolEntries &entries)
{
    const std::optional<RunEntries::Bulk> bulk = RunEntries{entries.grams1, entries.grams2, 0}.bulk();
    if (!bulk)
        return std::nullopt;
    const auto kind = entries.kind == CoolEntries::Kind::Equilibrium ? CoolingPath::Kind::Equilibrium
                                                                     : CoolingPath::Kind::Fractional;
    m_path = std::make_unique<CoolingPath>(m_diagram->system(), double(bulk->x2), entries.from, entries.to,
                                           entries.step, kind);
    std::vector<CoolingStep> steps;
    for (std::size_t index = 0; index < m_path->steps().size(); ++index) {
        const CoolingPath::Step &step = m_path->steps()[index];
        steps.push_back({step.celsius, step.hasLiquid() ? std::optional<double>(step.liquidX2) : std::nullopt,
                         1 - step.liquidMass, chargeOf(m_path->phasesAt(index), nullptr)});
    }
    m_shownStep = steps.empty() ? 0 : steps.size() - 1;
    return steps;
}

bool SystemExperimentModel::showStep(std::size_t step)
{
    if (!m_path || step >= m_path->steps().size())
        return false;
    m_shownStep = step;
    return true;
}

std::vector<SystemReport::Phase> SystemExperimentModel::traversePoints() const
{
    std::vector<SystemReport::Phase> points;
    if (!m_path || m_path->steps().empty())
        return points;
    const CoolingPath::Step &step = m_path->steps()[m_shownStep];
    if (step.hasLiquid())
        points.push_back({"glass", step.liquidX2});
    for (const std::vector<CoolingPath::Layer> &crystal : m_path->crystalsAt(m_shownStep)) {
        const std::vector<CoolingPath::Layer> traverse = CoolingPath::traverse(crystal, traversePointCount);
        for (std::size_t point = 0; point < traverse.size(); ++point) {
            const std::string where = point == 0 ? "core"
                : point + 1 == traverse.size()    ? "rim"
                                                  : std::to_string(point);
            points.push_back({m_diagram->phaseName(traverse[point].phase) + " " + where, traverse[point].x2});
        }
    }
    return points;
}

MicroprobeReport SystemExperimentModel::report(ScatterSource &scatter, std::int64_t &drawCount,
                                               const NumberFormat &format) const
{
    if (m_path && !m_path->steps().empty())
        return SystemReport::traverse(m_diagram->system(), float(m_path->steps()[m_shownStep].celsius),
                                      traversePoints(), scatter, drawCount, format);
    return SystemReport::build(m_diagram->system(), m_runTemp, m_phases, scatter, drawCount, format);
}
