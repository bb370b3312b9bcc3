#include "experiment1model.h"

#include "eutecticdiagram.h"
#include "experiment1report.h"

namespace {
// A negative lever-rule fraction (the fitted liquid lies beyond the bulk
// composition just below the liquidus) shows a charge with a trace of
// crystal, not an all-glass one.
constexpr double negativeFractionStandIn = 0.001;

using Side = Charge::Side;
using Texture = Charge::Texture;
} // namespace

Experiment1Model::Experiment1Model(const DiagramWarp &warp)
    : m_warp(warp)
{
    if (!m_warp.isIdentity())
        m_standard = std::make_unique<Experiment1Model>();
}

Experiment1Model::~Experiment1Model() = default;

RunOutcome Experiment1Model::run(const RunEntries &entries)
{
    if (m_standard)
        return runInKit(entries);
    // The temperature is kept before anything can fail, so a failed run still
    // reports the new temperature.
    m_state.runTemp = entries.temperature;
    const std::optional<RunEntries::Bulk> bulk = entries.bulk();
    if (!bulk)
        return RunOutcome::failed(RunOutcome::Failure::DivisionByZero);
    return runAt(bulk->x2, m_state.runTemp);
}

RunOutcome Experiment1Model::runInKit(const RunEntries &entries)
{
    m_state.runTemp = entries.temperature;
    const std::optional<RunEntries::Bulk> bulk = entries.bulk();
    if (!bulk)
        return RunOutcome::failed(RunOutcome::Failure::DivisionByZero);
    const float standardTemp = static_cast<float>(m_warp.toStandardTemperature(entries.temperature));
    const float standardBulkX2 = static_cast<float>(m_warp.toStandardX2(bulk->x2));
    const RunOutcome outcome = m_standard->runAt(standardBulkX2, standardTemp);
    // The window's state is the standard run's, its compositions mapped
    // into the kit (the crystals' X(2) of 0 and 1 stay where they are; a
    // phase of the bulk composition is the bulk as entered).
    const Experiment1State &standard = m_standard->m_state;
    m_state.phaseCase = standard.phaseCase;
    m_state.phaseX2 = standard.phaseX2 == standardBulkX2 ? bulk->x2
                                                         : static_cast<float>(m_warp.toKitX2(standard.phaseX2));
    m_state.crystalX2 = standard.crystalX2;
    if (!outcome.isSuccess() || standard.phaseCase != 4)
        return outcome;
    // Liquid and one crystal: the lever rule on the kit's own compositions.
    const float crystalX2 = static_cast<float>(standard.crystalX2);
    const float fraction = (bulk->x2 - m_state.phaseX2) / (crystalX2 - m_state.phaseX2);
    return showFraction(outcome.charge.side, fraction);
}

RunOutcome Experiment1Model::runAt(float bulkX2, float runTemp)
{
    using D = EutecticDiagram;

    if (bulkX2 >= D::pureMineral2X2) {
        m_state.phaseX2 = 1;
        m_state.crystalX2 = 1;
        return runTemp >= D::mineral2MeltingT ? show(1, Charge::of(Side::MineralTwo, Texture::AllGlass))
                                               : show(2, Charge::of(Side::MineralTwo, Texture::Crystalline));
    }
    if (bulkX2 <= D::pureMineral1X2) {
        m_state.phaseX2 = 0;
        m_state.crystalX2 = 0;
        return runTemp >= D::mineral1MeltingT ? show(1, Charge::of(Side::MineralOne, Texture::AllGlass))
                                               : show(2, Charge::of(Side::MineralOne, Texture::Crystalline));
    }
    if (runTemp < D::eutecticT)
        return show(3, Charge::of(Side::MineralOne, Texture::BothCrystals));
    if (runTemp == D::eutecticT) {
        m_state.phaseX2 = static_cast<float>(D::eutecticX2);
        return show(5, Charge::of(Side::MineralOne, Texture::EutecticGlass));
    }
    // The liquidus is taken only on the side the composition selects; a
    // charge exactly on its liquidus still holds crystal.
    if (bulkX2 >= D::eutecticX2) {
        if (runTemp > D::sideBLiquidusT(bulkX2)) {
            m_state.phaseX2 = bulkX2;
            return show(1, Charge::of(Side::MineralOne, Texture::AllGlass));
        }
        return settleSideB(bulkX2, static_cast<float>(D::sideBLiquidX2(runTemp)));
    }
    if (runTemp > D::sideALiquidusT(bulkX2)) {
        m_state.phaseX2 = bulkX2;
        return show(1, Charge::of(Side::MineralOne, Texture::AllGlass));
    }
    return settleSideA(bulkX2, static_cast<float>(D::sideALiquidX2(runTemp)));
}

RunOutcome Experiment1Model::settleSideB(float bulkX2, float liquidX2)
{
    m_state.phaseCase = 4;
    m_state.phaseX2 = liquidX2;
    m_state.crystalX2 = 1;
    const float denominator = static_cast<float>(m_state.crystalX2) - m_state.phaseX2;
    if (denominator == 0.0f)
        return RunOutcome::failed(RunOutcome::Failure::DivisionByZero);
    return showFraction(Side::MineralTwo, (bulkX2 - m_state.phaseX2) / denominator);
}

RunOutcome Experiment1Model::settleSideA(float bulkX2, float liquidX2)
{
    m_state.phaseCase = 4;
    m_state.phaseX2 = liquidX2;
    m_state.crystalX2 = 0;
    const float denominator = m_state.phaseX2 - static_cast<float>(m_state.crystalX2);
    if (denominator == 0.0f)
        return RunOutcome::failed(RunOutcome::Failure::DivisionByZero);
    return showFraction(Side::MineralOne, (m_state.phaseX2 - bulkX2) / denominator);
}

RunOutcome Experiment1Model::show(int phaseCase, const Charge &charge)
{
    m_state.phaseCase = phaseCase;
    return RunOutcome::showing(charge);
}

RunOutcome Experiment1Model::showFraction(Charge::Side side, float crystalFraction) const
{
    // A fraction above 1 is left as it is and fits no band: side A charges
    // very close to pure mineral 1 just under its melting point show
    // "Cha.wmf".
    const double fraction = crystalFraction < 0 ? negativeFractionStandIn : crystalFraction;
    return RunOutcome::showing(Charge::fromCrystalFraction(side, fraction));
}

MicroprobeReport Experiment1Model::report(ScatterSource &scatter, std::int64_t &drawCount,
                                          const NumberFormat &format) const
{
    return Experiment1Report::build(m_state, scatter, drawCount, format);
}
