// How quickly the notebook window keeps up with a student:
//   - a notebook of 10 000 rows opened, tabled and plotted (aim: 0.5 s);
//   - a row the lab appends to it read and drawn (aim: one 16 ms frame).
#include "labexperiments.h"
#include "notebookcsv.h"
#include "notebookrecorder.h"
#include "notebooktablemodel.h"
#include "notebookwindow.h"
#include "plotwidget.h"
#include "worksheetrunner.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>

namespace {

constexpr int notebookRows = 10'000;

// A notebook of about `count` rows: runs across both diagrams, each probed.
QByteArray notebookOf(int count, std::vector<NotebookRow> &sessionRows)
{
    QString worksheet;
    for (int run = 0; run < count / 2; ++run) {
        const int experiment = 1 + run % 2;
        const double grams2 = (run % 97) / 96.0;
        worksheet += QStringLiteral("exp%1 run %2 %3 %4\nexp%1 probe\n")
                         .arg(experiment).arg(1 - grams2).arg(grams2).arg(1000 + (run * 37) % 700);
    }
    WorksheetRunner runner(labExperiments(), QLocale::c());
    QByteArray bytes = NotebookCsv::header();
    NotebookRecorder recorder(1, QString(), QStringLiteral("C"), &NotebookRecorder::localTimeNow, [&](const NotebookRow &row) {
        if (int(sessionRows.size()) < count)
            sessionRows.push_back(row);
    });
    runner.setRecorder(&recorder);
    QString error;
    if (!runner.runScript(worksheet, QStringLiteral("bench"), error))
        qFatal("%s", qPrintable(error));
    for (const NotebookRow &row : sessionRows)
        bytes += NotebookCsv::encode(row);
    return bytes;
}

// A notebook file of about notebookRows rows; `rows` keeps them.
QString writeNotebook(const QTemporaryDir &folder, std::vector<NotebookRow> &rows, QFile &file)
{
    const QString path = folder.filePath(QStringLiteral("notebook.csv"));
    file.setFileName(path);
    file.open(QIODevice::WriteOnly);
    file.write(notebookOf(notebookRows, rows));
    file.flush();
    return path;
}

void paint(NotebookWindow &window)
{
    QPixmap target(window.plot(1)->size());
    window.plot(1)->render(&target);
}

void openAndPlot(benchmark::State &state)
{
    QTemporaryDir folder;
    std::vector<NotebookRow> rows;
    QFile file;
    const QString path = writeNotebook(folder, rows, file);
    file.close();
    for (auto _ : state) {
        NotebookWindow window;
        window.resize(1200, 700);
        window.open(path);
        paint(window);
        if (window.model().rowCount() != notebookRows)
            state.SkipWithError("not every row was read");
    }
}

void appendAndRedraw(benchmark::State &state)
{
    QTemporaryDir folder;
    std::vector<NotebookRow> rows;
    QFile file;
    const QString path = writeNotebook(folder, rows, file);
    NotebookWindow window;
    window.resize(1200, 700);
    window.open(path);
    paint(window);
    std::size_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        file.write(NotebookCsv::encode(rows[next++ % rows.size()]));
        file.flush();
        state.ResumeTiming();
        window.readNewRows();
        paint(window);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::RegisterBenchmark("notebook/open_and_plot_10000_rows", openAndPlot)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("notebook/append_row_and_redraw", appendAndRedraw)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
