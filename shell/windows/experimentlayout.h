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
    QString grams1Caption = QStringLiteral("Enter number of grams of mineral 1:");
    QString grams2Caption = QStringLiteral("Enter number of grams of mineral 2:");
    int temperatureEntryTop = 0;
    QRect temperatureLabel;
    QString temperatureCaption;
    QRect resultsLabel;

    // The first experiment window (Form2) and the second (Form3).
    static ExperimentLayout form2();
    static ExperimentLayout form3();
    // A system's window: the first experiment's shape, its entries named by
    // the system's minerals ("Enter number of grams of forsterite:").
    static ExperimentLayout forSystem(const QString &mineral1, const QString &mineral2);
};
