#pragma once

#include <QString>

#include <optional>

// The notebook program's command line, and the plot it writes without a
// window:
//   orvane-notebook [FILE]
//   orvane-notebook FILE --export OUT.svg|OUT.pdf|OUT.png [--experiment 1|2|ID] [--locale NAME]
// An unreadable or malformed notebook is refused, naming its line (exit 2);
// a plot that cannot be written exits 2 as well, saying why.
class NotebookExporter
{
public:
    static constexpr int refused = 2;
    static constexpr int writeFailed = 2;

    // The status to end the program with, or nothing when it is to open
    // its window on notebookPath() (empty: ask for a file).
    std::optional<int> runCommandLine(int argc, char *argv[]);
    const QString &notebookPath() const { return m_path; }

private:
    int exportPlot(int argc, char *argv[], const QString &output, QString experiment, const QString &locale) const;

    QString m_path;
};
