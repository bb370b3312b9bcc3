#include "firstpaintwatcher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QWidget>

namespace {

// Far longer than any window takes to appear; only a window that is never
// exposed (already shown and painted, or a broken platform) reaches it.
constexpr int paintTimeoutMilliseconds = 5000;

} // namespace

FirstPaintWatcher::FirstPaintWatcher(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    window->installEventFilter(this);
}

bool FirstPaintWatcher::showAndWait(QWidget *window)
{
    auto *watcher = new FirstPaintWatcher(window);
    window->show();
    const QDeadlineTimer deadline(paintTimeoutMilliseconds);
    while (!watcher->isPainted() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    const bool painted = watcher->isPainted();
    delete watcher;
    return painted;
}

bool FirstPaintWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Paint)
        m_painted = true;
    return QObject::eventFilter(watched, event);
}
