#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// The answer-key tool's command line:
//   orvane-answer-key [--locale NAME] [--reports-only | --csv] WORKSHEET
//   orvane-answer-key [--locale NAME] --check NOTEBOOK.csv
//   orvane-answer-key [--locale NAME] --diagram 1|2 OUT.svg|OUT.pdf|OUT.png [WORKSHEET]
// Exit status 0 when done (for --check: every row agrees), 1 when a checked
// notebook disagrees or an output cannot be written, 2 for a command line,
// worksheet or notebook that cannot be read (naming its line).
class AnswerKeyProgram
{
public:
    static constexpr int disagrees = 1;
    static constexpr int refused = 2;

    int run(int argc, char *argv[]);

private:
    enum class Mode { Key, ReportsOnly, Notebook, Check, Diagram };

    int usage() const;
    // The worksheet's or notebook's bytes, or nothing (said why).
    std::optional<QByteArray> readInput(const QString &path) const;
    int printKey(const QByteArray &worksheet) const;
    int checkNotebook(const QByteArray &notebook) const;
    int drawDiagram(int argc, char *argv[], const QByteArray &worksheet) const;

    Mode m_mode = Mode::Key;
    QLocale m_locale = QLocale::system();
    QString m_input;
    QString m_diagramOutput;
    int m_diagramExperiment = 0;
};
