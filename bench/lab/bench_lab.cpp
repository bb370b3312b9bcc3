// How quickly the lab answers a student, measured through its real windows
// on the offscreen platform:
//   - start-up, whole process from its start to the first paint of its
//     window: the main menu against a window of the same size that shows
//     one line of text (aim: at most 1.10 times as long), and an empty
//     window for reference (the start/ benchmarks; with repetitions, add
//     --benchmark_enable_random_interleaving=true so that a slow spell of
//     the shared machine falls on all three alike);
//   - a run: the entries filled, "Begin the Run" clicked and the picture box
//     painted, at 1x and 2x device pixel ratio (aim: 2 ms, well inside one
//     16 ms frame even with the picture read from disk on every run);
//   - a microprobe press up to the report set in its box (aim: 0.2 ms).
// Every standard flag of the harness works (--benchmark_format=json,
// --benchmark_out=FILE, ...). The start-up comparison is printed after the
// table: on standard output with the console format, else on standard error
// so that JSON or CSV output stays clean.
#include "systemdefinition.h"
#include "systemlauncher.h"
#include "systemlibrary.h"
#include "firstpaintwatcher.h"
#include "labwindows.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const QString picturesFolder = QStringLiteral(LAB_SOURCE_DIR "/pictures");
const QString coldStartProgram = QStringLiteral(LAB_COLD_START_PROGRAM);

// The menu may take this much longer than a window with one line of text.
constexpr double startRatioTarget = 1.10;

// Grams of each mineral and two run temperatures on either side of the
// eutectic (1274 degrees Celsius), so consecutive clicks name different
// pictures and every click does the whole run.
const QString grams1 = QStringLiteral("0.5");
const QString grams2 = QStringLiteral("0.5");
const QString coolRun = QStringLiteral("1250");
const QString hotRun = QStringLiteral("1400");

// The start-up kinds, their arguments to lab_cold_start and the times seen.
enum class StartKind { Empty, Label, Menu };

struct StartTimes
{
    std::vector<double> empty, label, menu;

    std::vector<double> &of(StartKind kind)
    {
        return kind == StartKind::Empty ? empty : kind == StartKind::Label ? label : menu;
    }

    static double median(std::vector<double> times)
    {
        if (times.empty())
            return 0;
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    }
};

StartTimes &startTimes()
{
    static StartTimes times;
    return times;
}

// One iteration is one fresh process, timed from just before it is started
// until it says it has painted its window; its exit is not timed. The
// harness picks iteration counts by this thread's CPU time, so the wait is
// a busy one: an idle wait would count as no time at all and make it start
// thousands of processes. The other core runs the process being measured.
void startProcess(benchmark::State &state, StartKind kind)
{
    const QString argument = kind == StartKind::Empty ? QStringLiteral("empty")
        : kind == StartKind::Label                    ? QStringLiteral("label")
                                                      : QStringLiteral("menu");
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        QProcess process;
        process.start(coldStartProgram, {argument});
        while (!process.canReadLine() && process.state() != QProcess::NotRunning
               && std::chrono::steady_clock::now() - started < std::chrono::seconds(30))
            process.waitForReadyRead(0);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
        state.PauseTiming();
        const bool painted = process.canReadLine();
        process.waitForFinished(30'000);
        if (!painted || process.exitCode() != 0) {
            state.SkipWithError("the start-up program did not paint (build the lab_cold_start target)");
            break;
        }
        startTimes().of(kind).push_back(elapsed.count());
        state.ResumeTiming();
    }
}

// An experiment window open on the menu, as a student has it.
class OpenExperiment
{
public:
    OpenExperiment()
        : m_menu(labExperiments(), m_scatter)
    {
        m_menu.show();
        m_menu.form2()->show();
        FirstPaintWatcher::showAndWait(window());
        entry(window(), 0)->setText(grams1);
        entry(window(), 1)->setText(grams2);
        entry(window(), 2)->setText(coolRun);
    }

    ExperimentWindow *window() { return m_menu.form2()->window(); }

private:
    AnalyticalScatter m_scatter;
    Form1 m_menu;
};

void runToPicturePainted(benchmark::State &state)
{
    const qreal devicePixelRatio = qreal(state.range(0));
    OpenExperiment experiment;
    ExperimentWindow *window = experiment.window();
    PictureBox *box = pictureBox(window);
    QImage image(box->size() * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    button(window, "Command1")->click();
    const QString coolPicture = box->pictureName();
    entry(window, 2)->setText(hotRun);
    button(window, "Command1")->click();
    if (box->pictureName() == coolPicture) {
        state.SkipWithError("both run temperatures show the same picture");
        return;
    }
    bool hot = false;
    for (auto _ : state) {
        hot = !hot;
        entry(window, 2)->setText(hot ? hotRun : coolRun);
        button(window, "Command1")->click();
        box->render(&image);
    }
}

// A system's run: the charge is drawn for the run (fo-sio2 at its
// peritectic and above it, glass with two crystals and glass with one).
void systemRunToPicturePainted(benchmark::State &state)
{
    const qreal devicePixelRatio = qreal(state.range(0));
    AnalyticalScatter scatter;
    SystemLauncher launcher(systemDefinition(*SystemLibrary::builtIn().find("fo-sio2")), QStringLiteral("forsterite"),
                            QStringLiteral("silica"), scatter, nullptr);
    launcher.show();
    ExperimentWindow *window = launcher.form()->window();
    FirstPaintWatcher::showAndWait(window);
    entry(window, 0)->setText(QStringLiteral("0.7"));
    entry(window, 1)->setText(QStringLiteral("0.3"));
    PictureBox *box = pictureBox(window);
    QImage image(box->size() * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    bool hot = false;
    for (auto _ : state) {
        hot = !hot;
        entry(window, 2)->setText(hot ? QStringLiteral("1600") : QStringLiteral("1552.4"));
        button(window, "Command1")->click();
        box->render(&image);
    }
}

void microprobeToReport(benchmark::State &state)
{
    OpenExperiment experiment;
    ExperimentWindow *window = experiment.window();
    button(window, "Command1")->click();
    for (auto _ : state)
        button(window, "Command3")->click();
}

// Whether the harness writes its table to the console in its own format.
bool isConsoleFormat(int argc, char **argv)
{
    for (int index = 1; index < argc; ++index) {
        if (std::strncmp(argv[index], "--benchmark_format=", 19) == 0)
            return std::strcmp(argv[index] + 19, "console") == 0;
    }
    return true;
}

void printStartupSummary(std::FILE *out)
{
    const StartTimes &times = startTimes();
    const double menu = StartTimes::median(times.menu);
    const double label = StartTimes::median(times.label);
    const double empty = StartTimes::median(times.empty);
    if (menu <= 0 || label <= 0 || empty <= 0)
        return;
    const double ratio = menu / label;
    std::fprintf(out,
                 "start-up, whole process to first paint, medians: menu %.1f ms, one-label window %.1f ms, "
                 "empty window %.1f ms; menu/one-label window %.2f (target <= %.2f: %s)\n",
                 menu * 1e3, label * 1e3, empty * 1e3, ratio, startRatioTarget,
                 ratio <= startRatioTarget ? "met" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool consoleFormat = isConsoleFormat(argc, argv);
    QApplication application(argc, argv);
    // A run reads its charge picture from the current folder.
    if (!QDir::setCurrent(picturesFolder)) {
        std::fprintf(stderr, "cannot enter %s\n", qPrintable(picturesFolder));
        return 1;
    }
    benchmark::RegisterBenchmark("start/menu", startProcess, StartKind::Menu)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("start/one_label_window", startProcess, StartKind::Label)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("start/empty_window", startProcess, StartKind::Empty)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("run_to_picture_painted/dpr", runToPicturePainted)
        ->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("microprobe_to_report", microprobeToReport)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("system_run_to_picture_painted/dpr", systemRunToPicturePainted)
        ->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printStartupSummary(consoleFormat ? stdout : stderr);
    return 0;
}
