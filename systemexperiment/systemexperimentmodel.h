#pragma once

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
class SystemExperimentModel : public ExperimentModel
{
public:
    explicit SystemExperimentModel(std::shared_ptr<const PhaseDiagram> diagram);

    RunOutcome run(const RunEntries &entries) override;
    MicroprobeReport report(ScatterSource &scatter, std::int64_t &drawCount, const NumberFormat &format) const override;

    // The last run's phases, in order of composition.
    const std::vector<SystemReport::Phase> &phases() const { return m_phases; }

private:
    std::shared_ptr<const PhaseDiagram> m_diagram;
    float m_runTemp = 0;
    std::vector<SystemReport::Phase> m_phases;
};
