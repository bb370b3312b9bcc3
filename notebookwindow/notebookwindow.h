#pragma once

#include "notebookcsv.h"
#include "systemlibrary.h"

#include <QMainWindow>

#include <map>

class NotebookPlotFollower;
class NotebookSortProxy;
class NotebookTableModel;
class PlotWidget;
class QComboBox;
class QFileSystemWatcher;
class QListWidget;
class QTabWidget;
class QTableView;
class QTimer;

// A student's notebook beside the lab: the rows as a sortable table that can
// be filtered by experiment and copied as text, one plot per experiment of
// their own runs and analyses, and the rows that could not be read. It
// follows the file as the lab appends to it.
class NotebookWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit NotebookWindow(QWidget *parent = nullptr);

    // Shows the notebook at path and follows it from now on.
    void open(const QString &path);
    // Reads whatever the lab has appended since the last look.
    void readNewRows();

    const NotebookTableModel &model() const { return *m_model; }
    // The plot of an experiment (1, 2) or of a system (its id), once the
    // notebook holds rows of it.
    PlotWidget *plot(int experiment) const;
    PlotWidget *plot(const QString &experiment) const;
    QStringList problems() const;

private:
    void chooseFile();
    void exportPlot();
    void exportTable();
    void copySelection();
    void filterByExperiment(int choice);
    void addProblems(const QList<LineProblem> &problems);
    void showCounts();
    // A tab for each experiment the rows hold that has none yet.
    void addTabsForRows();
    void addTab(const QString &experiment);

    QString m_path;
    qsizetype m_consumed = 0;
    int m_nextLine = 1;
    NotebookCsv::Form m_form;
    NotebookTableModel *m_model;
    NotebookSortProxy *m_proxy;
    QTableView *m_table;
    QComboBox *m_filter;
    QListWidget *m_problems;
    QTabWidget *m_tabs;
    std::vector<NotebookPlotFollower *> m_plots; // in the order of the tabs
    SystemLibrary m_systems;
    QFileSystemWatcher *m_watcher;
    QTimer *m_poll;
};
