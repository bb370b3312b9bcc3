#pragma once

#include "notebookplot.h"
#include "systemplotstyle.h"

#include <QObject>

class NotebookTableModel;
class PlotWidget;
struct BinarySystem;

// Keeps one experiment's plot in step with the notebook's table: the plot
// watches the table's rows, as a chart watches its model, so rows are given
// to the table alone. Rows added at the end cost only their own markers;
// rows that cannot be placed on the plot are told once each.
//
// A system's plot (its id in the experiment column) has the system's title,
// its temperature range as the axis and its analysed crystals in their
// phases' own colours; never the true curves.
class NotebookPlotFollower : public QObject
{
    Q_OBJECT

public:
    // system: the system an experiment's id names, when it is known.
    NotebookPlotFollower(const NotebookTableModel *model, const QString &experiment, PlotWidget *plot,
                         const BinarySystem *system = nullptr, QObject *parent = nullptr);

    const QString &experiment() const { return m_experiment; }
    PlotWidget *plot() const { return m_plot; }

signals:
    void problemsFound(const QList<LineProblem> &problems);

private:
    void rebuild();
    void addRows(const QModelIndex &parent, int first, int last);

    const NotebookTableModel *m_model;
    QString m_experiment;
    PlotWidget *m_plot;
    SystemPlotStyle m_style;
    NotebookPlot::Result m_result;
};
