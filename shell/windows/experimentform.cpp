#include "experimentform.h"

#include "chargedescription.h"
#include "experimentwindow.h"
#include "picturebox.h"

#include <QDir>
#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

ExperimentForm::ExperimentForm(const ExperimentLayout &layout, std::unique_ptr<ExperimentModel> model,
                               ScatterSource &scatter, QObject *parent)
    : QObject(parent)
    , m_layout(layout)
    , m_session(std::move(model), layout.temperatureLimit)
    , m_scatter(scatter)
{
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
    m_window = new ExperimentWindow(m_layout);
    m_window->setWindowModality(Qt::ApplicationModal);
    for (int index = 0; index < ExperimentSession::EntryCount; ++index)
        m_window->txt(index)->installEventFilter(this);
    connect(m_window->command1(), &QPushButton::clicked, this, &ExperimentForm::Command1_Click);
    connect(m_window->command2(), &QPushButton::clicked, this, &ExperimentForm::Command2_Click);
    connect(m_window->command3(), &QPushButton::clicked, this, &ExperimentForm::Command3_Click);
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

bool ExperimentForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && m_window) {
        for (int index = 0; index < ExperimentSession::EntryCount; ++index) {
            if (watched == m_window->txt(index))
                Txt_GotFocus(index);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ExperimentForm::Txt_GotFocus(int index)
{
    QLineEdit *entry = m_window->txt(index);
    entry->setSelection(0, entry->text().size());
}

void ExperimentForm::Command1_Click()
{
    ExperimentSession::EntryTexts texts;
    for (int index = 0; index < ExperimentSession::EntryCount; ++index)
        texts[index] = m_window->txt(index)->text();

    const ExperimentSession::RunResult result = m_session.run(texts, QLocale());
    switch (result.kind) {
    case ExperimentSession::RunResult::Kind::EntryError:
        takeEntryErrorPath(result.entryIndex);
        return;
    case ExperimentSession::RunResult::Kind::Aborted:
        takeUnexpectedErrorPath();
        return;
    case ExperimentSession::RunResult::Kind::PictureNamed:
        break;
    }

    // The picture is read from the folder the lab was started in.
    const wmf::ReadResult picture = wmf::Picture::readFile(QDir::current().filePath(result.pictureName));
    if (!picture.isValid()) {
        qWarning("Charge picture %s: %s", qPrintable(result.pictureName), qPrintable(picture.error));
        takeUnexpectedErrorPath();
        return;
    }
    m_window->picture1()->setPicture(*picture.picture, result.pictureName,
                                     ChargeDescription::describe(result.pictureName, m_layout.sideBCrystals));
    m_window->txt(0)->setFocus();
}

void ExperimentForm::takeEntryErrorPath(int index)
{
    QLineEdit *entry = m_window->txt(index);
    entry->setFocus();
    showMessage(QStringLiteral("Entry Error"), m_session.entryErrorMessage(index));
    if (m_window)
        m_window->txt(index)->clear();
}

void ExperimentForm::takeUnexpectedErrorPath()
{
    showMessage(QStringLiteral("Abort"), QStringLiteral("Program encountered an unexpected error!"));
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
    QString report = m_session.report(m_scatter, QLocale());
    // The box shows lines; the report's CR LF ends become its line breaks.
    report.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_window->text1()->setPlainText(report);
}
