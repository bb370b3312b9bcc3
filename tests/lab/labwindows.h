#pragma once

#include "analyticalscatter.h"
#include "experimentform.h"
#include "experimentwindow.h"
#include "form1.h"
#include "labexperiments.h"
#include "picturebox.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

// The lab as a student starts it, for the window tests: one scatter source
// from its start and the main menu with the lab's experiments. The windows'
// controls are reached by their object names, as a screen reader or the
// end-to-end driver reaches them.
struct FreshLab
{
    AnalyticalScatter scatter;
    Form1 menu{labExperiments(), scatter};
};

inline QLineEdit *entry(QWidget *window, int index)
{
    return window->findChild<QLineEdit *>(QStringLiteral("txt(%1)").arg(index));
}

inline QPushButton *button(QWidget *window, const char *name)
{
    return window->findChild<QPushButton *>(QLatin1String(name));
}

inline QPlainTextEdit *reportBox(QWidget *window)
{
    return window->findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
}

inline PictureBox *pictureBox(QWidget *window)
{
    return window->findChild<PictureBox *>(QStringLiteral("Picture1"));
}

// Shows the form's window and gives it back, as Alt+1 or Alt+2 would.
inline ExperimentWindow *open(ExperimentForm *form)
{
    form->show();
    return form->window();
}

inline void typeEntries(QWidget *window, const QStringList &entries)
{
    for (int index = 0; index < 3; ++index)
        entry(window, index)->setText(entries.value(index));
}
