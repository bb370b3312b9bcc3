#include "notebookexporter.h"

#include "notebookcsv.h"
#include "notebookplot.h"
#include "plotexport.h"
#include "systemlibrary.h"
#include "systemplotstyle.h"
#include "toolkitoptions.h"

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

const char *const helpText =
    "Usage: orvane-notebook [FILE]\n"
    "       orvane-notebook FILE --export OUT.svg|OUT.pdf|OUT.png [--experiment 1|2|ID] [--locale NAME]\n"
    "Shows a lab notebook written by orvane-lab --notebook: its rows as a table and\n"
    "a plot of each experiment's runs and analyses, following the file as the lab\n"
    "writes it. With --export, writes one experiment's plot and exits (by default\n"
    "the experiment with the most rows); a system's runs are named by its id,\n"
    "\"fo-sio2\" for instance. --locale names the desktop locale the\n"
    "entries were typed in (they are stored as typed), \"de_DE\" for instance.\n";

void say(const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stderr);
}

// The experiments a notebook holds rows of: the lab's two always, first,
// then each system in the order its runs first appear.
QStringList experimentsOf(const std::vector<NotebookRow> &rows)
{
    QStringList experiments{QStringLiteral("1"), QStringLiteral("2")};
    for (const NotebookRow &row : rows) {
        const QString &experiment = row[NotebookRow::Experiment];
        if (!experiment.isEmpty() && !experiments.contains(experiment))
            experiments << experiment;
    }
    return experiments;
}

} // namespace

std::optional<int> NotebookExporter::runCommandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    QCommandLineParser parser;
    const QCommandLineOption exportOption(QStringLiteral("export"), QString(), QStringLiteral("OUT"));
    const QCommandLineOption experimentOption(QStringLiteral("experiment"), QString(), QStringLiteral("N"));
    const QCommandLineOption localeOption(QStringLiteral("locale"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption help(QStringLiteral("help"));
    parser.addOptions({exportOption, experimentOption, localeOption, help});
    if (!parser.parse(ToolkitOptions::without(arguments)) || parser.positionalArguments().size() > 1) {
        say(QStringLiteral("orvane-notebook: %1\nTry 'orvane-notebook --help'.")
                .arg(parser.errorText().isEmpty() ? QStringLiteral("one notebook at a time") : parser.errorText()));
        return refused;
    }
    if (parser.isSet(help)) {
        std::fputs(helpText, stdout);
        return 0;
    }
    m_path = parser.positionalArguments().value(0);
    if (!parser.isSet(exportOption))
        return std::nullopt;
    if (m_path.isEmpty()) {
        say(QStringLiteral("orvane-notebook: --export needs the notebook to read"));
        return refused;
    }
    const QString experiment = parser.value(experimentOption);
    if (parser.isSet(experimentOption) && experiment.isEmpty()) {
        say(QStringLiteral("orvane-notebook: --experiment is 1, 2 or a system's id"));
        return refused;
    }
    return exportPlot(argc, argv, parser.value(exportOption), experiment, parser.value(localeOption));
}

int NotebookExporter::exportPlot(int argc, char *argv[], const QString &output, QString experiment,
                                 const QString &locale) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        say(QStringLiteral("orvane-notebook: %1 cannot be read: %2").arg(m_path, file.errorString()));
        return refused;
    }
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(file.readAll());
    if (!parsed.problems.isEmpty()) {
        for (const LineProblem &problem : parsed.problems)
            say(QStringLiteral("orvane-notebook: %1").arg(problem.in(m_path)));
        return refused;
    }
    PlotExport::drawWithoutScreenWhenThereIsNone();
    QGuiApplication application(argc, argv);
    const QLocale entryLocale = locale.isEmpty() ? QLocale() : QLocale(locale);
    const SystemLibrary library = SystemLibrary::builtIn();
    const QStringList present = experimentsOf(parsed.rows);
    if (experiment.isEmpty()) {
        std::size_t most = 0;
        experiment = present.first();
        for (const QString &candidate : present) {
            const std::size_t markers = NotebookPlot::fromRows(parsed.rows, candidate, entryLocale).data.markers.size();
            if (markers > most) {
                most = markers;
                experiment = candidate;
            }
        }
    } else if (!present.contains(experiment) && !library.find(experiment.toStdString())) {
        say(QStringLiteral("orvane-notebook: %1 holds no runs of \"%2\", and the library no system of that id")
                .arg(m_path, experiment));
        return refused;
    }
    SystemPlotStyle style;
    if (const BinarySystem *system = library.find(experiment.toStdString()))
        style = SystemPlotStyle(*system);
    NotebookPlot::Result plot = NotebookPlot::fromRows(parsed.rows, experiment, entryLocale, style.colours());
    style.applyTo(plot.data);
    if (!plot.problems.isEmpty()) {
        for (const LineProblem &problem : plot.problems)
            say(QStringLiteral("orvane-notebook: %1").arg(problem.in(m_path)));
        return refused;
    }
    if (const QString error = PlotExport::write(plot.data, output); !error.isEmpty()) {
        say(QStringLiteral("orvane-notebook: %1").arg(error));
        return writeFailed;
    }
    return 0;
}
