#include "experimentlayout.h"

ExperimentLayout ExperimentLayout::form2()
{
    ExperimentLayout layout;
    layout.formName = QStringLiteral("Form2");
    layout.temperatureEntryTop = 1395;
    layout.temperatureLabel = QRect(100, 1400, 2415, 195);
    layout.temperatureCaption = QStringLiteral("Enter Temperature in Celsius");
    layout.resultsLabel = QRect(960, 3360, 4575, 255);
    return layout;
}

ExperimentLayout ExperimentLayout::form3()
{
    ExperimentLayout layout;
    layout.formName = QStringLiteral("Form3");
    layout.temperatureEntryTop = 1440;
    layout.temperatureLabel = QRect(105, 1320, 2670, 390);
    // The run of blanks makes the caption wrap onto a second line.
    layout.temperatureCaption = QStringLiteral("Raise Temperature to 1900 C                    and then lower to:");
    layout.resultsLabel = QRect(1200, 3360, 3975, 255);
    return layout;
}

ExperimentLayout ExperimentLayout::forSystem(const QString &mineral1, const QString &mineral2)
{
    ExperimentLayout layout = form2();
    layout.formName = QStringLiteral("SystemForm");
    layout.grams1Caption = QStringLiteral("Enter number of grams of %1:").arg(mineral1);
    layout.grams2Caption = QStringLiteral("Enter number of grams of %1:").arg(mineral2);
    return layout;
}
