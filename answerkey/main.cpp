// orvane-answer-key: prints every number a student will see for a
// worksheet, by playing it through the lab's own run and report code from a
// fresh start.
//
//   orvane-answer-key [--locale NAME] [--reports-only | --csv] WORKSHEET   ("-" reads standard input)

#include "labexperiments.h"
#include "notebookcsv.h"
#include "notebookrecorder.h"
#include "worksheetrunner.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: orvane-answer-key [--locale NAME] [--reports-only | --csv] WORKSHEET\n"
               "  WORKSHEET: one action per line, for example\n"
               "    exp1 run 0.5 0.5 1300\n"
               "    exp1 probe\n"
               "  '-' reads the worksheet from standard input.\n"
               "  --csv prints the outcome as a lab notebook (session 1, no times).\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    QLocale locale = QLocale::system();
    WorksheetRunner::Output output = WorksheetRunner::Output::Everything;
    bool asNotebook = false;
    QString path;
    while (!arguments.isEmpty()) {
        const QString argument = arguments.takeFirst();
        if (argument == QLatin1String("--locale") && !arguments.isEmpty())
            locale = QLocale(arguments.takeFirst());
        else if (argument == QLatin1String("--reports-only"))
            output = WorksheetRunner::Output::ReportsOnly;
        else if (argument == QLatin1String("--csv"))
            asNotebook = true;
        else if (path.isEmpty() && (argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-'))))
            path = argument;
        else
            return usage();
    }
    if (path.isEmpty())
        return usage();

    QFile file;
    const bool opened = path == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                   : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        std::fprintf(stderr, "orvane-answer-key: cannot read %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return 2;
    }
    // A worksheet is a few lines; a bound keeps a wrong file from filling memory.
    constexpr qint64 largestWorksheet = 4 * 1024 * 1024;
    const QByteArray bytes = file.read(largestWorksheet + 1);
    if (bytes.size() > largestWorksheet) {
        std::fprintf(stderr, "orvane-answer-key: %s is too large for a worksheet\n", qPrintable(path));
        return 2;
    }

    WorksheetRunner runner(labExperiments(), locale, output);
    QByteArray notebook = NotebookCsv::header();
    NotebookRecorder recorder(1, QString(), {}, [&notebook](const NotebookRow &row) {
        notebook += NotebookCsv::encode(row);
    });
    if (asNotebook)
        runner.setRecorder(&recorder);
    QString error;
    const bool ok = runner.runScript(QString::fromUtf8(bytes), path, error);
    if (asNotebook) {
        std::fwrite(notebook.constData(), 1, std::size_t(notebook.size()), stdout);
    } else {
        QTextStream(stdout) << runner.output();
    }
    if (!ok) {
        std::fprintf(stderr, "orvane-answer-key: %s\n", qPrintable(error));
        return 2;
    }
    return 0;
}
