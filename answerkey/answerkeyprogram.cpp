#include "answerkeyprogram.h"

#include "diagramplot.h"
#include "labexperiments.h"
#include "notebookcheck.h"
#include "notebookcsv.h"
#include "notebookrecorder.h"
#include "plotexport.h"
#include "worksheetrunner.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QSet>
#include <QTextStream>

#include <cstdio>

namespace {

// A worksheet or a notebook of this size is not one; a bound keeps a wrong
// file from filling memory.
constexpr qint64 largestInput = 64 * 1024 * 1024;

void say(const QString &text)
{
    std::fputs(qPrintable(QStringLiteral("orvane-answer-key: %1\n").arg(text)), stderr);
}

void print(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

} // namespace

int AnswerKeyProgram::usage() const
{
    std::fputs("usage: orvane-answer-key [--locale NAME] [--reports-only | --csv] WORKSHEET\n"
               "       orvane-answer-key [--locale NAME] --check NOTEBOOK.csv\n"
               "       orvane-answer-key [--locale NAME] --diagram 1|2 OUT.svg|OUT.pdf|OUT.png [WORKSHEET]\n"
               "  WORKSHEET: one action per line, for example\n"
               "    exp1 run 0.5 0.5 1300\n"
               "    exp1 probe\n"
               "  '-' reads the worksheet from standard input.\n"
               "  --csv prints the outcome as a lab notebook (session 1, no times).\n"
               "  --check plays a student's notebook again and names every row that is\n"
               "    not what the lab gives.\n"
               "  --diagram draws the experiment's true phase diagram, with the\n"
               "    worksheet's runs and analyses on it.\n",
               stderr);
    return refused;
}

int AnswerKeyProgram::run(int argc, char *argv[])
{
    QStringList arguments;
    for (int index = 1; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    while (!arguments.isEmpty()) {
        const QString argument = arguments.takeFirst();
        if (argument == QLatin1String("--locale") && !arguments.isEmpty())
            m_locale = QLocale(arguments.takeFirst());
        else if (argument == QLatin1String("--reports-only"))
            m_mode = Mode::ReportsOnly;
        else if (argument == QLatin1String("--csv"))
            m_mode = Mode::Notebook;
        else if (argument == QLatin1String("--check"))
            m_mode = Mode::Check;
        else if (argument == QLatin1String("--diagram") && arguments.size() >= 2) {
            m_mode = Mode::Diagram;
            m_diagramExperiment = arguments.takeFirst().toInt();
            m_diagramOutput = arguments.takeFirst();
            if (m_diagramExperiment != 1 && m_diagramExperiment != 2)
                return usage();
        } else if (m_input.isEmpty() && (argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-'))))
            m_input = argument;
        else
            return usage();
    }
    if (m_input.isEmpty() && m_mode != Mode::Diagram)
        return usage();
    QByteArray input;
    if (!m_input.isEmpty()) {
        const std::optional<QByteArray> read = readInput(m_input);
        if (!read)
            return refused;
        input = *read;
    }
    switch (m_mode) {
    case Mode::Check: return checkNotebook(input);
    case Mode::Diagram: return drawDiagram(argc, argv, input);
    default: return printKey(input);
    }
}

std::optional<QByteArray> AnswerKeyProgram::readInput(const QString &path) const
{
    QFile file;
    const bool opened = path == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                   : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        say(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    const QByteArray bytes = file.read(largestInput + 1);
    if (bytes.size() > largestInput) {
        say(QStringLiteral("%1 is too large for a worksheet or a notebook").arg(path));
        return std::nullopt;
    }
    return bytes;
}

int AnswerKeyProgram::printKey(const QByteArray &worksheet) const
{
    WorksheetRunner runner(labExperiments(), m_locale,
                           m_mode == Mode::ReportsOnly ? WorksheetRunner::Output::ReportsOnly
                                                       : WorksheetRunner::Output::Everything);
    QByteArray notebook = NotebookCsv::header();
    NotebookRecorder recorder(1, QString(), {}, [&notebook](const NotebookRow &row) {
        notebook += NotebookCsv::encode(row);
    });
    if (m_mode == Mode::Notebook)
        runner.setRecorder(&recorder);
    QString error;
    const bool ok = runner.runScript(QString::fromUtf8(worksheet), m_input, error);
    if (m_mode == Mode::Notebook)
        print(notebook);
    else
        QTextStream(stdout) << runner.output();
    if (!ok) {
        say(error);
        return refused;
    }
    return 0;
}

int AnswerKeyProgram::checkNotebook(const QByteArray &notebook) const
{
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(notebook);
    if (!parsed.problems.isEmpty()) {
        for (const QString &problem : parsed.problems)
            say(QStringLiteral("%1:%2").arg(m_input, problem.mid(5)));
        return refused;
    }
    const NotebookCheck::Result result = NotebookCheck(labExperiments(), m_locale).check(parsed.rows);
    if (result.disagreements.isEmpty()) {
        std::printf("%s: all %d rows, in %d %s, are what the lab gives\n", qPrintable(m_input), result.rowsChecked,
                    result.sessions, result.sessions == 1 ? "session" : "sessions");
        return 0;
    }
    QSet<QString> lines;
    for (const QString &disagreement : result.disagreements) {
        std::printf("%s:%s\n", qPrintable(m_input), qPrintable(disagreement.mid(5)));
        lines.insert(disagreement.section(QLatin1Char(':'), 0, 0));
    }
    std::printf("%s: %lld %s not what the lab gives\n", qPrintable(m_input), qlonglong(lines.size()),
                lines.size() == 1 ? "line is" : "lines are");
    return disagrees;
}

int AnswerKeyProgram::drawDiagram(int argc, char *argv[], const QByteArray &worksheet) const
{
    std::vector<NotebookRow> rows;
    WorksheetRunner runner(labExperiments(), m_locale);
    NotebookRecorder recorder(1, QString(), {}, [&rows](const NotebookRow &row) { rows.push_back(row); });
    runner.setRecorder(&recorder);
    QString error;
    if (!runner.runScript(QString::fromUtf8(worksheet), m_input, error)) {
        say(error);
        return refused;
    }
    // Writing the fields' names needs fonts, so an application; not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const PlotData plot = DiagramPlot::make(labExperiments().at(m_diagramExperiment - 1), rows, m_locale);
    if (const QString problem = PlotExport::write(plot, m_diagramOutput); !problem.isEmpty()) {
        say(problem);
        return disagrees;
    }
    return 0;
}
