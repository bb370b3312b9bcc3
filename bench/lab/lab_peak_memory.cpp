// Peak resident memory of the lab against an empty window, in one program
// so both are measured the same way:
//   lab_peak_memory empty   an empty window of the menu's size, shown and painted
//   lab_peak_memory lab     the menu, then Experiment 1 with one run and one
//                           microprobe press, closed, then Experiment 2 likewise
// Each prints its peak resident set size (getrusage ru_maxrss) in KiB.
// peak-memory.sh runs both and prints the difference (aim: at most 8 MiB).
#include "firstpaintwatcher.h"
#include "labwindows.h"
#include "menusize.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>

namespace {

const QString picturesFolder = QStringLiteral(LAB_SOURCE_DIR "/pictures");

void settle()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool runAndProbe(ExperimentForm *form, const QString &temperature)
{
    form->show();
    ExperimentWindow *window = form->window();
    if (!window || !FirstPaintWatcher::showAndWait(window))
        return false;
    entry(window, 0)->setText(QStringLiteral("0.5"));
    entry(window, 1)->setText(QStringLiteral("0.5"));
    entry(window, 2)->setText(temperature);
    button(window, "Command1")->click();
    settle();
    button(window, "Command3")->click();
    settle();
    button(window, "Command2")->click();
    settle();
    return !form->isLoaded();
}

bool runLab()
{
    if (!QDir::setCurrent(picturesFolder))
        return false;
    FreshLab lab;
    Form1 &menu = lab.menu;
    if (!FirstPaintWatcher::showAndWait(&menu))
        return false;
    // Temperatures where both charges are part glass, part crystal: the
    // busiest pictures and the longest reports.
    return runAndProbe(menu.form2(), QStringLiteral("1300")) && runAndProbe(menu.form3(), QStringLiteral("1200"));
}

bool runEmpty()
{
    QWidget window;
    window.setFixedSize(labMenuSize);
    const bool painted = FirstPaintWatcher::showAndWait(&window);
    settle();
    return painted;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2 || (std::strcmp(argv[1], "empty") != 0 && std::strcmp(argv[1], "lab") != 0)) {
        std::fprintf(stderr, "usage: %s empty|lab\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool lab = std::strcmp(argv[1], "lab") == 0;
    int applicationArgc = 1;
    QApplication application(applicationArgc, argv);
    if (!(lab ? runLab() : runEmpty())) {
        std::fprintf(stderr, "%s: the %s windows did not come up\n", argv[0], argv[1]);
        return 1;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    // Linux reports ru_maxrss in KiB.
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}
