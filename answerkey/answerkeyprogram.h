#pragma once

#include "kit.h"
#include "notebookrow.h"
#include "worksheetrunner.h"

#include <QLocale>
#include <QString>

#include <optional>
#include <vector>

// The answer-key tool's command line:
//   orvane-answer-key [--locale NAME] [--kit CODE] [--reports-only | --csv] WORKSHEET
//   orvane-answer-key [--locale NAME] --check NOTEBOOK.csv
//   orvane-answer-key [--locale NAME] [--kit CODE] --diagram 1|2 OUT.svg|OUT.pdf|OUT.png [WORKSHEET]
//   orvane-answer-key [--locale NAME] --class ROSTER.csv --out DIR [--seed N] WORKSHEET
// Exit status 0 when done (for --check: every row agrees), 1 when a checked
// notebook disagrees or an output cannot be written, 2 for a command line,
// kit code, worksheet, notebook or class list that cannot be read (naming
// its line).
class AnswerKeyProgram
{
public:
    static constexpr int disagrees = 1;
    static constexpr int refused = 2;

    int run(int argc, char *argv[]);

private:
    enum class Mode { Key, ReportsOnly, Notebook, Check, Diagram, Class };

    // A worksheet played from a fresh start of the lab (or of a kit).
    struct Played
    {
        QString key;         // what the student sees, as the tool prints it
        QByteArray notebook; // the same as a notebook
        std::vector<NotebookRow> rows;
        QString error;       // a line that cannot be played, named
    };

    int usage() const;
    std::optional<int> parse(const QStringList &arguments);
    std::optional<QByteArray> readInput(const QString &path) const;
    Played play(const QByteArray &worksheet, const Kit *kit, WorksheetRunner::Output output) const;
    int printKey(const QByteArray &worksheet) const;
    int checkNotebook(const QByteArray &notebook) const;
    int drawDiagram(const QByteArray &worksheet) const;
    int makeClass(const QByteArray &worksheet) const;

    Mode m_mode = Mode::Key;
    QLocale m_locale = QLocale::system();
    QString m_input;
    std::optional<Kit> m_kit;
    QString m_output; // the diagram's file, or the class's folder
    int m_diagramExperiment = 0;
    QString m_roster;
    std::uint64_t m_seed = 1;
};
