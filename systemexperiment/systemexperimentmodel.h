#pragma once

#include "coolingpath.h"
#include "experimentmodel.h"
#include "phasediagram.h"
#include "systemreport.h"

#include <memory>
#include <vector>

// A furnace run of a system computed from its thermodynamics, behind the
// lab's experiment seam: the entries make the bulk X(2) (grams of mineral 2
// over the grams of both, in single precision, as the lab's experiments
// form it) and the run temperature; the phase diagram gives the charge's
// phases and their shares; the report analyses each phase at its own X(2).
// A charge of no grams takes the error path, as in the lab's experiments.
//
// It cools a charge step by step too: after a cooling path the microprobe
// analyses the glass and traverses each crystal of the step shown, from
// core to rim, at five points (core, 1, 2, 3, rim).
class SystemExperimentModel : public ExperimentModel, public CoolingModel
{
public:
    explicit SystemExperimentModel(std::shared_ptr<const PhaseDiagram> diagram);

    RunOutcome run(const RunEntries &entries) override;
    MicroprobeReport report(ScatterSource &scatter, std::int64_t &drawCount, const NumberFormat &format) const override;
    CoolingModel *cooling() override { return this; }

    std::optional<std::vector<CoolingStep>> cool(const CoolEntries &entries) override;
    bool showStep(std::size_t step) override;

    // The last run's phases, in order of composition.
    const std::vector<SystemReport::Phase> &phases() const { return m_phases; }
    // The points a traverse of the shown step analyses, glass first.
    std::vector<SystemReport::Phase> traversePoints() const;

    static constexpr int traversePointCount = 5;

private:
    Charge chargeOf(const std::vector<PhaseAmount> &phases, std::vector<SystemReport::Phase> *headings) const;

    std::shared_ptr<const PhaseDiagram> m_diagram;
    float m_runTemp = 0;
    std::vector<SystemReport::Phase> m_phases;
    // The last cooling path, when it came after the last run.
    std::unique_ptr<CoolingPath> m_path;
    std::size_t m_shownStep = 0;
};
