#pragma once

#include "notebookplot.h"

#include <QObject>

class NotebookTableModel;
class PlotWidget;

// Keeps one experiment's plot in step with the notebook's table: the plot
// watches the table's rows, as a chart watches its model, so rows are given
// to the table alone. Rows added at the end cost only their own markers;
// rows that cannot be placed on the plot are told once each.
class NotebookPlotFollower : public QObject
{
    Q_OBJECT

public:
    NotebookPlotFollower(const NotebookTableModel *model, int experiment, PlotWidget *plot, QObject *parent = nullptr);

    int experiment() const { return m_experiment; }
    PlotWidget *plot() const { return m_plot; }

signals:
    void problemsFound(const QList<LineProblem> &problems);

private:
    void rebuild();
    void addRows(const QModelIndex &parent, int first, int last);

    const NotebookTableModel *m_model;
    int m_experiment;
    PlotWidget *m_plot;
    NotebookPlot::Result m_result;
};
