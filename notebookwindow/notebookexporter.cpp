#include "notebookexporter.h"

#include "notebookcsv.h"
#include "notebookplot.h"
#include "plotexport.h"
#include "toolkitoptions.h"

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

const char *const helpText =
    "Usage: orvane-notebook [FILE]\n"
    "       orvane-notebook FILE --export OUT.svg|OUT.pdf|OUT.png [--experiment 1|2] [--locale NAME]\n"
    "Shows a lab notebook written by orvane-lab --notebook: its rows as a table and\n"
    "a plot of each experiment's runs and analyses, following the file as the lab\n"
    "writes it. With --export, writes one experiment's plot and exits (by default\n"
    "the experiment with the most rows). --locale names the desktop locale the\n"
    "entries were typed in (they are stored as typed), \"de_DE\" for instance.\n";

void say(const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stderr);
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
    int experiment = 0;
    if (parser.isSet(experimentOption)) {
        experiment = parser.value(experimentOption).toInt();
        if (experiment != 1 && experiment != 2) {
            say(QStringLiteral("orvane-notebook: --experiment is 1 or 2"));
            return refused;
        }
    }
    return exportPlot(argc, argv, parser.value(exportOption), experiment, parser.value(localeOption));
}

int NotebookExporter::exportPlot(int argc, char *argv[], const QString &output, int experiment,
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
    if (experiment == 0) {
        const auto count = [&](int number) {
            return NotebookPlot::fromRows(parsed.rows, number, entryLocale).data.markers.size();
        };
        experiment = count(2) > count(1) ? 2 : 1;
    }
    const NotebookPlot::Result plot = NotebookPlot::fromRows(parsed.rows, experiment, entryLocale);
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
