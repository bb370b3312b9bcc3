#pragma once

#include "charge.h"
#include "microprobereport.h"

#include <QString>

#include <array>

class ExperimentSession;

// One thing a student did in an experiment window and what the lab showed
// for it: a run that showed its charge, a run refused for an entry, a run
// that ended on the error path, or a press of the microprobe button.
struct SessionEvent
{
    enum class Kind { Run, EntryError, Abort, Probe };

    Kind kind = Kind::Run;
    const ExperimentSession *session = nullptr;
    std::array<QString, 3> entries; // the three boxes as typed (runs of every kind)
    Charge charge;                  // Run only
    MicroprobeReport report;        // Probe only
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
