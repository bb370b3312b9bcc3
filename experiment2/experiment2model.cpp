#include "experiment2model.h"

#include "experiment2report.h"
#include "solidsolutiondiagram.h"

#include <algorithm>

namespace {
// Every charge of this experiment is named on side B: its crystals are the
// solid solution's, of whatever composition.
constexpr Charge::Side side = Charge::Side::MineralTwo;
using Texture = Charge::Texture;
} // namespace

Experiment2Model::Experiment2Model(const DiagramWarp &warp)
    : m_warp(warp)
{
    if (!m_warp.isIdentity())
        m_standard = std::make_unique<Experiment2Model>();
}

Experiment2Model::~Experiment2Model() = default;

RunOutcome Experiment2Model::run(const RunEntries &entries)
{
    if (m_standard)
        return runInKit(entries);
    // The temperature is kept before anything can fail.
    m_state.runTemp = entries.temperature;
    const std::optional<RunEntries::Bulk> bulk = entries.bulk();
    if (!bulk)
        return RunOutcome::failed(RunOutcome::Failure::DivisionByZero);
    return runAt(bulk->x2, bulk->x1, m_state.runTemp);
}

RunOutcome Experiment2Model::runInKit(const RunEntries &entries)
{
    m_state.runTemp = entries.temperature;
    const std::optional<RunEntries::Bulk> bulk = entries.bulk();
    if (!bulk)
        return RunOutcome::failed(RunOutcome::Failure::DivisionByZero);
    const double standardX2 = m_warp.toStandardX2(bulk->x2);
    const float standardTemp = static_cast<float>(m_warp.toStandardTemperature(entries.temperature));
    const float standardBulkX2 = static_cast<float>(standardX2);
    const RunOutcome outcome =
        m_standard->runAt(standardBulkX2, static_cast<float>(1 - standardX2), standardTemp);
    // The window's state is the standard run's, its compositions mapped
    // into the kit (a phase of the bulk composition is the bulk as entered).
    const Experiment2State &standard = m_standard->m_state;
    m_state.phaseCase = standard.phaseCase;
    m_state.phaseX2 = standard.phaseX2 == standardBulkX2 ? bulk->x2
                                                         : static_cast<float>(m_warp.toKitX2(standard.phaseX2));
    m_state.glassX2 = m_warp.toKitX2(standard.glassX2);
    if (!outcome.isSuccess() || standard.phaseCase != 3)
        return outcome;
    // Glass and crystal: the lever rule on the kit's own compositions.
    const double fraction =
        std::clamp((bulk->x2 - m_state.glassX2) / (static_cast<double>(m_state.phaseX2) - m_state.glassX2), 0.0, 1.0);
    return RunOutcome::showing(Charge::fromCrystalFraction(side, fraction));
}

RunOutcome Experiment2Model::runAt(float bulkX2, float bulkX1, float runTemp)
{
    using D = SolidSolutionDiagram;

    if (bulkX1 <= D::pureMineral2X1) {
        m_state.glassX2 = 1;
        m_state.phaseX2 = 1;
        return runTemp >= D::mineral2MeltingT ? show(1, Texture::AllGlass) : show(2, Texture::Crystalline);
    }
    if (bulkX1 >= D::pureMineral1X1) {
        m_state.glassX2 = 0;
        m_state.phaseX2 = 0;
        return runTemp >= D::mineral1MeltingT ? show(1, Texture::AllGlass) : show(2, Texture::Crystalline);
    }
    if (runTemp > D::liquidusT(bulkX2)) {
        m_state.phaseX2 = bulkX2;
        return show(1, Texture::AllGlass);
    }
    if (runTemp < D::solidusT(bulkX2)) {
        m_state.phaseX2 = bulkX2;
        return show(2, Texture::Crystalline);
    }
    m_state.glassX2 = D::liquidX2(runTemp);
    m_state.phaseX2 = static_cast<float>(D::crystalX2(runTemp));
    m_state.phaseCase = 3;
    const double denominator = static_cast<double>(m_state.phaseX2) - m_state.glassX2;
    // The crystal is always richer in mineral 2 than the glass inside the
    // loop (by more than 0.049), but a zero denominator must never pass.
    if (denominator == 0.0)
        return RunOutcome::failed(RunOutcome::Failure::DivisionByZero);
    const double fraction = std::clamp((bulkX2 - m_state.glassX2) / denominator, 0.0, 1.0);
    return RunOutcome::showing(Charge::fromCrystalFraction(side, fraction));
}

RunOutcome Experiment2Model::show(int phaseCase, Charge::Texture texture)
{
    m_state.phaseCase = phaseCase;
    return RunOutcome::showing(Charge::of(side, texture));
}

MicroprobeReport Experiment2Model::report(ScatterSource &scatter, std::int64_t &drawCount,
                                          const NumberFormat &format) const
{
    return Experiment2Report::build(m_state, scatter, drawCount, format);
}
