#pragma once

#include "diagramwarp.h"
#include "experimentmodel.h"

#include <memory>

// The run state of the first experiment's window. It outlives the window's
// controls; a run assigns only the fields that its outcome calls for, the
// others keep what an earlier run left.
struct Experiment1State
{
    int phaseCase = 0;  // 1 glass only, 2 one pure crystal, 3 both crystals, 4 glass + one crystal,
                        // 5 glass + both crystals (at the eutectic); 0 before any run
    float phaseX2 = 0;  // X(2) of the glass (cases 1, 4, 5) or of the only crystal (case 2)
    int crystalX2 = 0;  // X(2) of the crystal in case 4: 1 mineral 2, 0 mineral 1
    float runTemp = 0;  // degrees Celsius as entered; 0 before any run
};

// The first experiment: a eutectic system (see EutecticDiagram).
//
// A run works out the bulk composition bulkX2 = grams2 / (grams1 + grams2),
// decides which phases the charge holds at the run temperature and, where
// liquid and one crystal coexist, the crystal fraction by the lever rule,
//   side B: F = (bulkX2 - liquidX2) / (1 - liquidX2)
//   side A: F = (liquidX2 - bulkX2) / liquidX2
// which only chooses the picture. Entries, bulkX2, F and phaseX2 are 32-bit
// floats; the curves are 64-bit and every comparison widens the float.
class Experiment1Model : public ExperimentModel
{
public:
    // A window's model starts with no run; one may also resume the state a
    // run left.
    explicit Experiment1Model(const Experiment1State &state = {}) : m_state(state) {}
    // A kit's variant of the experiment: its diagram is this one seen
    // through the warp. A run maps the entered bulk X(2) and temperature
    // into this diagram, runs here, and maps the phases' compositions back;
    // the crystal fraction for the picture comes from the lever rule on the
    // mapped compositions, and the report shows the entered temperature.
    explicit Experiment1Model(const DiagramWarp &warp);
    ~Experiment1Model() override;

    RunOutcome run(const RunEntries &entries) override;
    MicroprobeReport report(ScatterSource &scatter, std::int64_t &drawCount,
                            const NumberFormat &format) const override;

    const Experiment1State &state() const { return m_state; }

protected:
    // Liquid plus one crystal on either side of the eutectic: store case 4
    // with the liquid's composition, then take the crystal fraction from the
    // lever rule. A zero denominator fails after the state is stored.
    RunOutcome settleSideA(float bulkX2, float liquidX2);
    RunOutcome settleSideB(float bulkX2, float liquidX2);

private:
    // The run in the standard diagram at a bulk X(2) and temperature.
    RunOutcome runAt(float bulkX2, float runTemp);
    RunOutcome runInKit(const RunEntries &entries);
    RunOutcome show(int phaseCase, const Charge &charge);
    RunOutcome showFraction(Charge::Side side, float crystalFraction) const;

    Experiment1State m_state;
    DiagramWarp m_warp;
    std::unique_ptr<Experiment1Model> m_standard; // a kit's run in the standard diagram
};
