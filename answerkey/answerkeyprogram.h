#pragma once

#include "kit.h"
#include "systemlibrary.h"
#include "notebookrow.h"
#include "worksheetrunner.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QCommandLineParser;

// The answer-key tool's command line:
//   orvane-answer-key [--locale NAME] [--kit CODE] [--reports-only | --csv] WORKSHEET
//   orvane-answer-key [--locale NAME] [--kit CODE] --check NOTEBOOK.csv
//   orvane-answer-key [--locale NAME] --check-class ROSTER.csv NOTEBOOK.csv...
//   orvane-answer-key [--locale NAME] [--kit CODE] --diagram 1|2|ID OUT.svg|OUT.pdf|OUT.png [WORKSHEET]
//   orvane-answer-key [--locale NAME] --class ROSTER.csv --out DIR [--seed N] WORKSHEET
//   orvane-answer-key --list-systems
// --system FILE.toml (any number of times) adds an instructor's system to
// the library's, for every mode.
// Exit status 0 when done (for a check: every row agrees), 1 when a checked
// notebook disagrees (or a student of a class has no notebook that agrees),
// 2 for a command line, kit code, worksheet, notebook or class list that
// cannot be read (naming its line), and for an output that cannot be
// written.
class AnswerKeyProgram
{
public:
    static constexpr int disagrees = 1;
    static constexpr int refused = 2;
    static constexpr int cannotWrite = 2;

    int run(int argc, char *argv[]);

private:
    enum class Mode { Key, ReportsOnly, Notebook, Check, CheckClass, Diagram, Class, ListSystems };

    // A worksheet played from a fresh start of the lab (or of a kit).
    struct Played
    {
        QString key;         // what the student sees, as the tool prints it
        QByteArray notebook; // the same as a notebook
        std::vector<NotebookRow> rows;
        QString error;       // a line that cannot be played, named
    };

    std::optional<int> parse(const QStringList &arguments);
    std::optional<int> readMode(const QCommandLineParser &parser);
    std::optional<QByteArray> readInput(const QString &path) const;
    Played play(const QByteArray &worksheet, const Kit *kit, WorksheetRunner::Output output) const;
    int dispatch(int argc, char *argv[]);
    int printKey(const QByteArray &worksheet) const;
    int checkNotebook(const QByteArray &notebook) const;
    int checkClass() const;
    int drawDiagram(const QByteArray &worksheet) const;
    int makeClass(const QByteArray &worksheet) const;
    int listSystems() const;
    // The lab's experiments (a kit's, with a kit) and the known systems.
    ExperimentList experiments(const Kit *kit) const;

    Mode m_mode = Mode::Key;
    QLocale m_locale = QLocale::system();
    QString m_input; // the worksheet or the notebook
    QStringList m_notebooks;
    std::optional<Kit> m_kit;
    QString m_output; // the diagram's file, or the class's folder
    QString m_diagramExperiment; // "1", "2" or a system's id
    SystemLibrary m_library = SystemLibrary::builtIn();
    QString m_roster;
    std::uint64_t m_seed = 1;
};
