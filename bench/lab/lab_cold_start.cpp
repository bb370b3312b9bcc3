// Start-up as a student meets it: a fresh process up to the first paint of
// its window, for the lab's main menu, for a window of the same size with
// one line of text, and for that window empty. Every window pays for the
// toolkit's start (platform plugin, style); only a window that draws text
// pays for the font database (fontconfig reads its whole configuration
// then), so the one-label window is the fair floor for the menu and the
// empty one a reference.
//   lab_cold_start empty|label|menu
// prints the microseconds from main() to the first paint as soon as the
// window has painted; bench_lab's start/ benchmarks time the whole process
// from before its start up to that line.
#include "analyticalscatter.h"
#include "firstpaintwatcher.h"
#include "form1.h"
#include "labexperiments.h"
#include "menusize.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    const bool known = argc == 2
        && (std::strcmp(argv[1], "empty") == 0 || std::strcmp(argv[1], "label") == 0
            || std::strcmp(argv[1], "menu") == 0);
    if (!known) {
        std::fprintf(stderr, "usage: %s empty|label|menu\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int applicationArgc = 1;
    QApplication application(applicationArgc, argv);
    AnalyticalScatter scatter;
    std::unique_ptr<QWidget> window;
    if (std::strcmp(argv[1], "menu") == 0) {
        window = std::make_unique<Form1>(labExperiments(), scatter);
    } else {
        window = std::make_unique<QWidget>();
        window->setFixedSize(labMenuSize);
        if (std::strcmp(argv[1], "label") == 0)
            new QLabel(QStringLiteral("Welcome"), window.get());
    }
    if (!FirstPaintWatcher::showAndWait(window.get())) {
        std::fprintf(stderr, "%s: the window was never painted\n", argv[0]);
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(clock.nsecsElapsed() / 1000));
    std::fflush(stdout);
    return 0;
}
