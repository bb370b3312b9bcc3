#pragma once

#include "diagramwarp.h"
#include "experimentmodel.h"

#include <memory>

// The run state of the second experiment's window. It outlives the window's
// controls; a run assigns only the fields that its outcome calls for.
struct Experiment2State
{
    int phaseCase = 0;  // 1 glass only, 2 crystal only, 3 crystal and glass; 0 before any run
    float phaseX2 = 0;  // X(2) of the glass (case 1) or of the crystal (cases 2 and 3)
    double glassX2 = 0; // X(2) of the glass in case 3; 1 or 0 after a run of a pure mineral
    float runTemp = 0;  // degrees Celsius as entered; 0 before any run
};

// The second experiment: complete solid solution (see SolidSolutionDiagram).
// The charge is heated to 1900 degrees Celsius and lowered to the run
// temperature. A run works out bulkX2 = grams2 / (grams1 + grams2) and
// bulkX1 = grams1 / (grams1 + grams2) in single precision; between solidus
// and liquidus the glass and crystal compositions come from the curves at
// the run temperature and the crystal fraction from the lever rule,
//   F = (bulkX2 - glassX2) / (crystalX2 - glassX2),   limited to 0..1,
// which only chooses the picture.
class Experiment2Model : public ExperimentModel
{
public:
    // A window's model starts with no run; one may also resume the state a
    // run left.
    explicit Experiment2Model(const Experiment2State &state = {}) : m_state(state) {}
    // A kit's variant of the experiment: its diagram is this one seen
    // through the warp (see Experiment1Model).
    explicit Experiment2Model(const DiagramWarp &warp);
    ~Experiment2Model() override;

    RunOutcome run(const RunEntries &entries) override;
    MicroprobeReport report(ScatterSource &scatter, std::int64_t &drawCount,
                            const NumberFormat &format) const override;

    const Experiment2State &state() const { return m_state; }

private:
    RunOutcome runAt(float bulkX2, float bulkX1, float runTemp);
    RunOutcome runInKit(const RunEntries &entries);
    RunOutcome show(int phaseCase, Charge::Texture texture);

    Experiment2State m_state;
    DiagramWarp m_warp;
    std::unique_ptr<Experiment2Model> m_standard; // a kit's run in the standard diagram
};
