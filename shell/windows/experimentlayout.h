#pragma once

#include <QRect>
#include <QString>

// The geometry in which the two experiment windows differ, which otherwise
// share one shape: the temperature label (the second experiment heats its
// charge to 1900 degrees Celsius first and asks where to lower it to) and a
// few positions. Rectangles are in twips.
struct ExperimentLayout
{
    QString formName; // the window's object name: Form2 or Form3
    int temperatureEntryTop = 0;
    QRect temperatureLabel;
    QString temperatureCaption;
    QRect resultsLabel;

    // The first experiment window (Form2) and the second (Form3).
    static ExperimentLayout form2();
    static ExperimentLayout form3();
};
