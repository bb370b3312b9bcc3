#pragma once

#include "charge.h"
#include "coolingmodel.h"
#include "microprobereport.h"

#include <QString>

#include <array>

class ExperimentSession;

// One thing a student did in an experiment window and what the lab showed
// for it: a run that showed its charge, a run refused for an entry, a run
// that ended on the error path, a press of the microprobe button, or a
// melt cooled step by step.
struct SessionEvent
{
    enum class Kind { Run, EntryError, Abort, Probe, Cool };

    Kind kind = Kind::Run;
    const ExperimentSession *session = nullptr;
    std::array<QString, 3> entries; // the three boxes as typed (runs of every kind; a cooling's grams)
    Charge charge;                  // Run only
    MicroprobeReport report;        // Probe only
    // Cool only: equilibrium or fractional, the step in degrees, and the path's steps.
    CoolEntries::Kind coolingKind = CoolEntries::Kind::Equilibrium;
    double coolingStep = 1;
    std::vector<CoolingStep> steps;
};

// Whoever keeps a record of a session: the lab's notebook, or the
// answer-key tool writing one. The windows and the worksheet runner tell it
// every event once its outcome is known; without one they tell nobody.
class SessionRecorder
{
public:
    virtual ~SessionRecorder() = default;
    virtual void record(const SessionEvent &event) = 0;
};
