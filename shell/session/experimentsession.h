#pragma once

#include "experimentdefinition.h"
#include "sessionevent.h"

#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

// The form-level life of one experiment window: its run state (held by the
// experiment's model) and its draw counter, which outlive the window's
// controls until the program ends. Closing and reopening the window empties
// the boxes but keeps all of this.
//
// A run first examines the three entries in order (grams of mineral 1, grams
// of mineral 2, temperature), adding 1 to the draw counter for each entry
// examined, and stops at the first one that is not a number within its
// limits; then the model runs. Every scatter draw of a report adds 1 too.
class ExperimentSession
{
public:
    enum EntryIndex { Grams1Entry = 0, Grams2Entry = 1, TemperatureEntry = 2, EntryCount = 3 };
    using EntryTexts = std::array<QString, EntryCount>;

    struct RunResult
    {
        enum class Kind {
            ChargeShown, // the run stored its state; its charge is to be shown
            EntryError,  // entry `entryIndex` was refused; nothing but the draw counter changed
            Aborted,     // the run failed after its checks (the unexpected-error path)
        };
        Kind kind = Kind::Aborted;
        int entryIndex = -1;
        Charge charge;
    };

    explicit ExperimentSession(const ExperimentDefinition &definition);

    // A melt cooled step by step: the grams of each mineral, the start and
    // end temperatures and the step, as typed (temperatures and step whole
    // degrees: a furnace's controller takes no fractions), and the kind.
    enum CoolIndex { CoolGrams1 = 0, CoolGrams2 = 1, CoolFrom = 2, CoolTo = 3, CoolStep = 4, CoolEntryCount = 5 };
    using CoolTexts = std::array<QString, CoolEntryCount>;
    struct CoolResult
    {
        bool isCooled = false;
        int entryIndex = -1;  // the entry refused, when not cooled
        QString message;      // why, in the lab's words
        std::vector<CoolingStep> steps;
        double step = 1; // degrees Celsius
    };
    bool canCool() const { return m_model->cooling() != nullptr; }
    // Checks the entries in order and cools. Unlike a run it draws nothing
    // and leaves the draw counter alone, so a refused cooling leaves no trace.
    CoolResult cool(const CoolTexts &texts, CoolEntries::Kind kind, const QLocale &locale);
    // Which step of the last cooling the microprobe analyses.
    // False when there is no such step (a run has come since).
    bool showCoolingStep(std::size_t step);
    SessionEvent coolEvent(const CoolTexts &texts, CoolEntries::Kind kind, const CoolResult &result) const;

    RunResult run(const EntryTexts &texts, const QLocale &locale);
    // A microprobe press: the report of the last run, numbers in the locale's way.
    MicroprobeReport report(ScatterSource &scatter, const QLocale &locale);

    // What a notebook records of a run's result and of a press: the one
    // place that says which event a result is, for the windows and the
    // worksheet runner alike.
    SessionEvent eventOf(const EntryTexts &entries, const RunResult &result) const;
    // A run that passed its checks but could not be shown (its picture
    // missing): it ended on the error path.
    SessionEvent abortEvent(const EntryTexts &entries) const;
    SessionEvent probeEvent(const MicroprobeReport &report) const;

    QString entryErrorMessage(int entryIndex) const;
    // The charge's picture file and what it shows, in this experiment's words.
    static QString pictureName(const Charge &charge);
    QString describe(const Charge &charge) const;

    const ExperimentDefinition &definition() const { return m_definition; }
    std::int64_t drawCount() const { return m_drawCount; }
    const ExperimentModel &model() const { return *m_model; }

private:
    ExperimentDefinition m_definition;
    std::unique_ptr<ExperimentModel> m_model;
    std::int64_t m_drawCount = 0;
};
