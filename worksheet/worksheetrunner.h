#pragma once

#include "analyticalscatter.h"
#include "experimentsession.h"
#include "sessionevent.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// Plays a worksheet through the lab's own run and report code, exactly as a
// student would click through it after starting the lab: one scatter
// sequence from its start, each experiment window with its own run state.
//
// A worksheet has one action per line, '#' starts a comment:
//   exp1 run GRAMS1 GRAMS2 TEMPERATURE    (entries as typed; "" for an empty box)
//   exp1 probe
//   exp2 run ... / exp2 probe
//   fo-sio2 run ... / fo-sio2 probe       (a system's id, for a system of the list)
//   ab-an cool GRAMS1 GRAMS2 FROM TO STEP equilibrium|fractional
//                                         (a system's melt cooled step by step;
//                                          a probe then traverses its crystals)
class WorksheetRunner
{
public:
    enum class Output { Everything, ReportsOnly };

    // scatterStart: where the scatter begins (a kit's, or the lab's own).
    WorksheetRunner(const ExperimentList &experiments, const QLocale &locale, Output output = Output::Everything,
                    std::uint32_t scatterStart = RandomSource::startState);

    // Runs one line; returns false with `error` set for a malformed line
    // (nothing is run then).
    [[nodiscard]] bool runLine(const QString &line, QString &error);
    // Runs a whole worksheet; stops at the first malformed line, naming it.
    [[nodiscard]] bool runScript(const QString &script, const QString &scriptName, QString &error);

    // One action, as the window of the experiment a notebook names ("1", or
    // a system's id) does it; null for none.
    ExperimentSession *sessionOfNotebook(const QString &name);
    void run(ExperimentSession &target, const ExperimentSession::EntryTexts &entries);
    void probe(ExperimentSession &target);
    void cool(ExperimentSession &target, const ExperimentSession::CoolTexts &entries, CoolEntries::Kind kind);

    // Tells recorder every run and microprobe press from here on.
    void setRecorder(SessionRecorder *recorder) { m_recorder = recorder; }

    // What the student saw, action after action.
    const QString &output() const { return m_output; }

    // What a cooling shows: a line a step.
    QString describeCooling(const ExperimentSession &session, const ExperimentSession::CoolResult &result) const;

    // What a run shows, in the words the lab uses.
    static QString describeRun(const ExperimentSession &session, const ExperimentSession::RunResult &result);

    // What a worksheet calls the experiments: "exp1", "exp2", system ids.
    QStringList names() const;

private:
    // The session a worksheet names ("exp1", or a system's id), or null.
    ExperimentSession *session(const QString &name);

    QLocale m_locale;
    Output m_outputMode;
    AnalyticalScatter m_scatter;
    std::vector<std::unique_ptr<ExperimentSession>> m_sessions;
    QString m_output;
    SessionRecorder *m_recorder = nullptr;
};
