#pragma once

#include "experimentdefinition.h"

#include <QObject>

class ExperimentForm;
class ScatterSource;
class SessionRecorder;

// A system's furnace window, as the lab's experiment windows are: the same
// layout and sizes, entries named by the system's minerals, the charge's
// picture drawn for each run. The window's Menu button (or Esc, or the close
// box) takes the student back to where it was opened from: `finished` says so.
// Besides the lab's buttons it has "Cool...", which cools the charge step
// by step (see CoolingPanel).
class SystemLauncher : public QObject
{
    Q_OBJECT

public:
    SystemLauncher(const ExperimentDefinition &definition, const QString &mineral1, const QString &mineral2,
                   ScatterSource &scatter, SessionRecorder *recorder, QObject *parent = nullptr);

    void show();
    ExperimentForm *form() const { return m_form; }

signals:
    void finished();

private:
    // The window's "Cool..." button, each time the window is loaded.
    void addCooling();

    ExperimentForm *m_form;
};
