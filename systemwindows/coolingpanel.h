#pragma once

#include "coolingmodel.h"
#include "experimentsession.h"

#include <QDialog>

#include <vector>

class ExperimentForm;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

// "Cool...": a melt cooled step by step in a system's furnace window. The
// student types a start and an end temperature and a step and chooses
// equilibrium or fractional crystallisation; the charge's grams are the
// window's entries. Once cooled, the path can be stepped through (the slider,
// its arrow and page keys, or the Warmer and Cooler buttons): the window's
// picture shows the charge at each step, the line below says it in words
// (as a screen reader reads it), and the microprobe analyses that step.
//
// A tool window of the furnace window, so the window's own buttons (the
// microprobe's first of all) stay in reach while it is up.
class CoolingPanel : public QDialog
{
    Q_OBJECT

public:
    CoolingPanel(ExperimentForm *form, QWidget *parent);

    // Cools with what the panel and the window hold; true when it cooled.
    bool coolNow();
    // Shows step `index` of the path (0 is the start).
    void showStep(int index);
    int stepCount() const { return int(m_steps.size()); }
    int shownStep() const;
    QString stepText(int index) const;

private:
    QLineEdit *addEntry(const char *name, const QString &caption, const QString &text);

    ExperimentForm *m_form;
    QLineEdit *m_from = nullptr;
    QLineEdit *m_to = nullptr;
    QLineEdit *m_step = nullptr;
    QButtonGroup *m_kind = nullptr;
    QSlider *m_path = nullptr;
    QLabel *m_said = nullptr;
    QPushButton *m_warmer = nullptr;
    QPushButton *m_cooler = nullptr;
    std::vector<CoolingStep> m_steps;
};
