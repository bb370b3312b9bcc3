#pragma once

#include "experimentdefinition.h"

#include <QWidget>

class QLabel;
class QPushButton;
class ExperimentForm;
class ScatterSource;
class SessionRecorder;

// The main menu, the program's only top-level window: a welcome line that
// toggles to a motto when clicked, a button for each of the two experiments
// it is given (the first opens Form2, the second Form3) and an exit button.
// Closing it ends the program.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // recorder, when there is one, is told everything the experiment windows do.
    Form1(const ExperimentList &experiments, ScatterSource &scatter, SessionRecorder *recorder = nullptr,
          QWidget *parent = nullptr);

    // The experiment windows' objects, created on first use.
    ExperimentForm *form2();
    ExperimentForm *form3();

    void Form_Load();
    void Label1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *addButton(const char *name, const QString &caption, const QRect &twips);

    ExperimentList m_experiments;
    ScatterSource &m_scatter;
    SessionRecorder *m_recorder;
    qreal m_dotsPerInch;
    QLabel *m_label1 = nullptr;
    ExperimentForm *m_form2 = nullptr;
    ExperimentForm *m_form3 = nullptr;
};
