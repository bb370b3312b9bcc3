#include "diagramplot.h"

#include "notebookplot.h"
#include "notebookpresses.h"

#include <algorithm>

PlotData DiagramPlot::make(const ExperimentDefinition &experiment, const std::vector<NotebookRow> &rows,
                           const QLocale &entryLocale)
{
    PlotData data = NotebookPlot::fromRows(rows, experiment.number, entryLocale).data;
    data.title = QStringLiteral("%1: phase diagram").arg(QString::fromStdString(experiment.title));
    const DiagramOutline outline = experiment.outline();
    for (const DiagramOutline::Curve &curve : outline.curves) {
        PlotCurve drawn{QString::fromStdString(curve.name), {}};
        for (const DiagramOutline::Point &point : curve.points)
            drawn.points << QPointF(point.x2, point.temperature);
        data.curves.push_back(drawn);
    }
    for (const DiagramOutline::Label &label : outline.labels)
        data.fieldLabels.push_back({QPointF(label.at.x2, label.at.temperature), QString::fromStdString(label.shownText())});

    // A tie line across the phases of each microprobe press.
    const QString number = QString::number(experiment.number);
    for (const NotebookPresses::Session &session : NotebookPresses::sessions(rows)) {
        for (const NotebookPresses::Action &action : NotebookPresses::actions(rows, session)) {
            const NotebookRow &first = rows[action.rows.front()];
            if (!action.isPress || action.rows.size() < 2 || first[NotebookRow::Experiment] != number
                || !first.numbers[NotebookRow::X2])
                continue;
            double lowest = *first.numbers[NotebookRow::X2];
            double highest = lowest;
            for (const std::size_t index : action.rows) {
                lowest = std::min(lowest, rows[index].numbers[NotebookRow::X2].value_or(lowest));
                highest = std::max(highest, rows[index].numbers[NotebookRow::X2].value_or(highest));
            }
            const double temperature = first.numbers[NotebookRow::Temperature].value_or(0);
            data.tieLines.emplace_back(QPointF(lowest, temperature), QPointF(highest, temperature));
        }
    }
    data.fitTemperatures();
    return data;
}
