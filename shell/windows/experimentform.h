#pragma once

#include "experimentlayout.h"
#include "experimentsession.h"
#include "sessionevent.h"
#include "experimentwindow.h"

#include <QObject>
#include <QPointer>

class ScatterSource;

// The window object of one experiment: it lives from its first showing until
// the program ends and carries the run state (in its session), while its
// window, with the entries, picture and report, is created each time it is
// shown and destroyed each time it is unloaded (menu button, Esc, close box,
// or a run that failed). The event handlers of the window are here.
class ExperimentForm : public QObject
{
    Q_OBJECT

public:
    // recorder, when there is one, is told every run and microprobe press.
    ExperimentForm(const ExperimentDefinition &definition, const ExperimentLayout &layout, ScatterSource &scatter,
                   SessionRecorder *recorder = nullptr, QObject *parent = nullptr);
    ~ExperimentForm() override;

    // Loads the window if it is not loaded and shows it modally: while it is
    // up, no other window of the program takes input.
    void show();
    bool isLoaded() const { return !m_window.isNull(); }
    ExperimentWindow *window() const { return m_window; }
    const ExperimentSession &session() const { return m_session; }

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

signals:
    void unloaded();

private:
    void load();
    void unload();
    void takeEntryErrorPath(int index);
    void takeUnexpectedErrorPath();
    void showMessage(const QString &title, const QString &text);
    void record(const SessionEvent &event);

    ExperimentLayout m_layout;
    ExperimentSession m_session;
    ScatterSource &m_scatter;
    SessionRecorder *m_recorder;
    QPointer<ExperimentWindow> m_window;
};
