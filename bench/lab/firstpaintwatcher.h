#pragma once

#include <QObject>

class QWidget;

// Notices the first paint event a window gets. On the offscreen platform a
// shown window is exposed at once, so its first paint is the moment a
// student would first see it; waiting for that paint measures start-up
// without the 10 ms polling steps of QTest::qWaitForWindowExposed.
class FirstPaintWatcher : public QObject
{
    Q_OBJECT

public:
    explicit FirstPaintWatcher(QWidget *window);

    bool isPainted() const { return m_painted; }

    // Shows the window and processes events until it has painted; false if
    // it did not within a few seconds.
    static bool showAndWait(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    bool m_painted = false;
};
