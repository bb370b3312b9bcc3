#pragma once

#include "experimentmodel.h"

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
            PictureNamed, // the run stored its state and names the picture to show
            EntryError,   // entry `entryIndex` was refused; nothing but the draw counter changed
            Aborted,      // the run failed after its checks (the unexpected-error path)
        };
        Kind kind = Kind::Aborted;
        int entryIndex = -1;
        QString pictureName;
    };

    ExperimentSession(std::unique_ptr<ExperimentModel> model, int temperatureLimit);

    RunResult run(const EntryTexts &texts, const QLocale &locale);
    QString report(ScatterSource &scatter, const QLocale &locale);

    QString entryErrorMessage(int entryIndex) const;
    int temperatureLimit() const { return m_temperatureLimit; }
    std::int64_t drawCount() const { return m_drawCount; }
    ExperimentModel &model() { return *m_model; }
    const ExperimentModel &model() const { return *m_model; }

private:
    std::unique_ptr<ExperimentModel> m_model;
    int m_temperatureLimit;
    std::int64_t m_drawCount = 0;
};
