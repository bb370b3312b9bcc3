#include "experimentform.h"

#include "wmfpicture.h"

#include <QDir>
#include <QMessageBox>

ExperimentForm::ExperimentForm(const ExperimentDefinition &definition, const ExperimentLayout &layout,
                               ScatterSource &scatter, SessionRecorder *recorder, QObject *parent,
                               PictureSource pictures)
    : QObject(parent)
    , m_layout(layout)
    , m_session(definition)
    , m_scatter(scatter)
    , m_recorder(recorder)
    , m_pictures(std::move(pictures))
{
}

wmf::ReadResult ExperimentForm::pictureFile(const ExperimentSession &, const Charge &charge)
{
    // The picture is read from the folder the lab was started in.
    return wmf::Picture::readFile(QDir::current().filePath(ExperimentSession::pictureName(charge)));
}

ExperimentForm::~ExperimentForm()
{
    delete m_window.data();
}

void ExperimentForm::show()
{
    if (!m_window)
        load();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void ExperimentForm::load()
{
    // Owned by nothing: a top-level window of its own, modal to the program.
    m_window = new ExperimentWindow(m_layout, QString::fromStdString(m_session.definition().title));
    m_window->setWindowModality(Qt::ApplicationModal);
    connect(m_window, &ExperimentWindow::runRequested, this, &ExperimentForm::Command1_Click);
    connect(m_window, &ExperimentWindow::menuRequested, this, &ExperimentForm::Command2_Click);
    connect(m_window, &ExperimentWindow::probeRequested, this, &ExperimentForm::Command3_Click);
    emit loaded();
}

void ExperimentForm::unload()
{
    if (!m_window)
        return;
    // The controls go with the window; the session stays. Deletion waits for
    // the event loop because a button of this very window may still be in
    // the middle of delivering its click.
    ExperimentWindow *window = m_window;
    m_window = nullptr;
    window->hide();
    window->deleteLater();
    emit unloaded();
}

void ExperimentForm::Command1_Click()
{
    const ExperimentWindow::EntryTexts entries = m_window->entryTexts();
    const ExperimentSession::RunResult result = m_session.run(entries, QLocale());
    switch (result.kind) {
    case ExperimentSession::RunResult::Kind::EntryError:
        record(m_session.eventOf(entries, result));
        takeEntryErrorPath(result.entryIndex);
        return;
    case ExperimentSession::RunResult::Kind::Aborted:
        record(m_session.eventOf(entries, result));
        takeUnexpectedErrorPath();
        return;
    case ExperimentSession::RunResult::Kind::ChargeShown:
        break;
    }

    const QString pictureName = ExperimentSession::pictureName(result.charge);
    const wmf::ReadResult picture = m_pictures(m_session, result.charge);
    if (!picture.isValid()) {
        qWarning("Charge picture %s: %s", qPrintable(pictureName), qPrintable(picture.error));
        record(m_session.abortEvent(entries));
        takeUnexpectedErrorPath();
        return;
    }
    m_window->showPicture(*picture.picture, pictureName, m_session.describe(result.charge));
    record(m_session.eventOf(entries, result));
    m_window->focusEntry(0);
}

ExperimentSession::CoolResult ExperimentForm::cool(const ExperimentSession::CoolTexts &texts, CoolEntries::Kind kind)
{
    const ExperimentSession::CoolResult result = m_session.cool(texts, kind, QLocale());
    if (!result.isCooled) {
        showMessage(QStringLiteral("Entry Error"), result.message);
        return result;
    }
    record(m_session.coolEvent(texts, kind, result));
    showCoolingStep(result.steps.size() - 1, result.steps.back());
    return result;
}

bool ExperimentForm::showCoolingStep(std::size_t index, const CoolingStep &step)
{
    if (!m_session.showCoolingStep(index))
        return false;
    const wmf::ReadResult picture = m_pictures(m_session, step.charge);
    if (m_window && picture.isValid())
        m_window->showPicture(*picture.picture, QString(), m_session.describe(step.charge));
    return true;
}

void ExperimentForm::record(const SessionEvent &event)
{
    if (m_recorder)
        m_recorder->record(event);
}

void ExperimentForm::takeEntryErrorPath(int index)
{
    m_window->focusEntry(index);
    showMessage(QStringLiteral("Entry Error"), m_session.entryErrorMessage(index));
    if (m_window)
        m_window->clearEntry(index);
}

void ExperimentForm::takeUnexpectedErrorPath()
{
    showMessage(QStringLiteral("Abort"), QString::fromStdString(RunOutcome::unexpectedErrorMessage));
    unload();
}

void ExperimentForm::showMessage(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok, m_window);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

void ExperimentForm::Command2_Click()
{
    // Only this window can be loaded: the experiment windows are modal, so
    // the other one is never up at the same time.
    unload();
}

void ExperimentForm::Command3_Click()
{
    const SessionEvent probe = m_session.probeEvent(m_session.report(m_scatter, QLocale()));
    m_window->showReport(QString::fromStdString(probe.report.text));
    record(probe);
}
