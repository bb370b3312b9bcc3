#pragma once

#include "experimentlayout.h"
#include "experimentsession.h"
#include "sessionevent.h"
#include "experimentwindow.h"

#include "wmfpicture.h"

#include <QObject>
#include <QPointer>

#include <functional>

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
    // Where a run's picture comes from: the charge's picture file in the
    // folder the lab was started in, or (for a system computed by the
    // engine) a picture drawn for the run.
    using PictureSource = std::function<wmf::ReadResult(const ExperimentSession &session, const Charge &charge)>;
    static wmf::ReadResult pictureFile(const ExperimentSession &session, const Charge &charge);

    // recorder, when there is one, is told every run and microprobe press.
    ExperimentForm(const ExperimentDefinition &definition, const ExperimentLayout &layout, ScatterSource &scatter,
                   SessionRecorder *recorder = nullptr, QObject *parent = nullptr,
                   PictureSource pictures = &ExperimentForm::pictureFile);
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

    // A melt cooled step by step, in an experiment that can: its entries'
    // errors told as a run's are (the entries stay as typed), the cooling
    // recorded, the path's last step shown.
    ExperimentSession::CoolResult cool(const ExperimentSession::CoolTexts &texts, CoolEntries::Kind kind);
    // Shows a step of the last cooling: its charge in the picture, and the
    // microprobe analyses it.
    // False, showing nothing, when a run has come since the cooling.
    bool showCoolingStep(std::size_t index, const CoolingStep &step);

signals:
    void loaded();
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
    PictureSource m_pictures;
    QPointer<ExperimentWindow> m_window;
};
