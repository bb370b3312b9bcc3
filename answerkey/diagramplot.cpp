#include "diagramplot.h"

#include "notebookplot.h"

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
    for (std::size_t index = 0; index < rows.size();) {
        const NotebookRow &row = rows[index];
        if (row[NotebookRow::Event] != QLatin1String(NotebookRow::probeEvent) || row[NotebookRow::Experiment] != number
            || row[NotebookRow::Phase].isEmpty()) {
            ++index;
            continue;
        }
        double lowest = row[NotebookRow::X2].toDouble();
        double highest = lowest;
        std::size_t next = index + 1;
        for (; next < rows.size() && rows[next][NotebookRow::Event] == row[NotebookRow::Event]
             && rows[next][NotebookRow::Experiment] == number && rows[next][NotebookRow::Session] == row[NotebookRow::Session]
             && rows[next][NotebookRow::Temperature] == row[NotebookRow::Temperature]
             && rows[next][NotebookRow::Phase] != row[NotebookRow::Phase];
             ++next) {
            lowest = std::min(lowest, rows[next][NotebookRow::X2].toDouble());
            highest = std::max(highest, rows[next][NotebookRow::X2].toDouble());
        }
        if (next - index > 1) {
            const double temperature = row[NotebookRow::Temperature].toDouble();
            data.tieLines.emplace_back(QPointF(lowest, temperature), QPointF(highest, temperature));
        }
        index = next;
    }
    data.fitTemperatures();
    return data;
}
