#pragma once

#include <QRect>
#include <QString>

// What distinguishes the two experiment windows, which otherwise share one
// shape: the caption, the temperature limit and the temperature label (the
// second experiment heats its charge to 1900 degrees Celsius first and asks
// where to lower it to), and a few positions. Rectangles are in twips.
struct ExperimentLayout
{
    QString formName; // the window's object name: Form2 or Form3
    QString windowTitle;
    int temperatureLimit = 0;
    int temperatureEntryTop = 0;
    QRect temperatureLabel;
    QString temperatureCaption;
    QRect resultsLabel;
    // How the accessible picture description names side-B crystals.
    QString sideBCrystals;

    static ExperimentLayout experiment1();
    static ExperimentLayout experiment2();
};
