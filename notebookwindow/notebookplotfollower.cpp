#include "notebookplotfollower.h"

#include "notebooktablemodel.h"
#include "plotwidget.h"

NotebookPlotFollower::NotebookPlotFollower(const NotebookTableModel *model, const QString &experiment, PlotWidget *plot,
                                           const BinarySystem *system, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_experiment(experiment)
    , m_plot(plot)
{
    if (system)
        m_style = SystemPlotStyle(*system);
    connect(model, &QAbstractItemModel::modelReset, this, &NotebookPlotFollower::rebuild);
    connect(model, &QAbstractItemModel::rowsInserted, this, &NotebookPlotFollower::addRows);
    rebuild();
}

void NotebookPlotFollower::rebuild()
{
    m_result = NotebookPlot::fromRows(m_model->rows(), m_experiment, QLocale(), m_style.colours());
    m_style.applyTo(m_result.data);
    m_plot->setData(m_result.data);
    if (!m_result.problems.isEmpty())
        emit problemsFound(m_result.problems);
}

void NotebookPlotFollower::addRows(const QModelIndex &, int first, int)
{
    if (first == 0) {
        rebuild();
        return;
    }
    const std::size_t markersBefore = m_result.data.markers.size();
    const qsizetype problemsBefore = m_result.problems.size();
    // Rows are only ever added at the end, so they run to the last one.
    m_result.pathsChanged = false;
    NotebookPlot::addRows(m_result, m_model->rows(), std::size_t(first), m_experiment, QLocale(), m_style.colours());
    if (m_result.pathsChanged) {
        // A cooling's step moves its path: the plot is drawn again.
        m_result.data.fitTemperatures();
        m_style.applyTo(m_result.data);
        m_plot->setData(m_result.data);
    } else {
        m_plot->appendMarkers(std::vector<PlotMarker>(m_result.data.markers.begin() + qsizetype(markersBefore),
                                                      m_result.data.markers.end()));
    }
    if (m_result.problems.size() > problemsBefore)
        emit problemsFound(m_result.problems.mid(problemsBefore));
}
