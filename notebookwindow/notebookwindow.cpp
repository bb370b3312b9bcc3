#include "notebookwindow.h"

#include "notebookcsv.h"
#include "notebookplotfollower.h"
#include "notebooksortproxy.h"
#include "notebooktablemodel.h"
#include "plotexport.h"
#include "plotwidget.h"
#include "wholefile.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QRegularExpression>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <set>

namespace {
// How often the file is looked at, besides the watcher's word.
constexpr int pollMilliseconds = 1000;
} // namespace

NotebookWindow::NotebookWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_model(new NotebookTableModel(this))
    , m_proxy(new NotebookSortProxy(this))
    , m_table(new QTableView)
    , m_filter(new QComboBox)
    , m_problems(new QListWidget)
    , m_tabs(new QTabWidget)
    , m_systems(SystemLibrary::builtIn())
    , m_watcher(new QFileSystemWatcher(this))
    , m_poll(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Lab notebook"));
    m_proxy->setSourceModel(m_model);
    m_proxy->setFilterKeyColumn(NotebookRow::Experiment);
    m_proxy->setSortRole(NotebookTableModel::sortRole);
    m_table->setModel(m_proxy);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(-1, Qt::AscendingOrder);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setAccessibleName(QStringLiteral("Notebook rows"));
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_filter->addItem(QStringLiteral("All experiments"), QString());
    m_filter->setAccessibleName(QStringLiteral("Show rows of"));
    m_problems->setAccessibleName(QStringLiteral("Rows that could not be read"));
    m_problems->setMaximumHeight(90);

    auto *tableSide = new QWidget;
    auto *tableLayout = new QVBoxLayout(tableSide);
    auto *filterLabel = new QLabel(QStringLiteral("&Show rows of:"));
    filterLabel->setBuddy(m_filter);
    tableLayout->addWidget(filterLabel);
    tableLayout->addWidget(m_filter);
    tableLayout->addWidget(m_table, 1);
    tableLayout->addWidget(m_problems);

    // The lab's two experiments always have a plot; a system gets its own
    // once the notebook holds its rows.
    addTab(QStringLiteral("1"));
    addTab(QStringLiteral("2"));
    auto *splitter = new QSplitter;
    splitter->addWidget(tableSide);
    splitter->addWidget(m_tabs);
    splitter->setSizes({560, 640});
    setCentralWidget(splitter);

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open notebook..."), QKeySequence::Open, this, &NotebookWindow::chooseFile);
    file->addAction(QStringLiteral("Export &plot..."), this, &NotebookWindow::exportPlot);
    file->addAction(QStringLiteral("Export &table as CSV..."), this, &NotebookWindow::exportTable);
    file->addSeparator();
    file->addAction(QStringLiteral("&Quit"), QKeySequence::Quit, qApp, &QApplication::quit);
    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addAction(QStringLiteral("&Copy rows"), QKeySequence::Copy, this, &NotebookWindow::copySelection);

    connect(m_filter, &QComboBox::currentIndexChanged, this, &NotebookWindow::filterByExperiment);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &NotebookWindow::readNewRows);
    connect(m_poll, &QTimer::timeout, this, &NotebookWindow::readNewRows);
    resize(1200, 700);
}

PlotWidget *NotebookWindow::plot(int experiment) const
{
    return plot(QString::number(experiment));
}

PlotWidget *NotebookWindow::plot(const QString &experiment) const
{
    for (const NotebookPlotFollower *follower : m_plots)
        if (follower->experiment() == experiment)
            return follower->plot();
    return nullptr;
}

void NotebookWindow::addTab(const QString &experiment)
{
    auto *plot = new PlotWidget;
    const BinarySystem *system = m_systems.find(experiment.toStdString());
    auto *follower = new NotebookPlotFollower(m_model, experiment, plot, system, this);
    connect(follower, &NotebookPlotFollower::problemsFound, this, &NotebookWindow::addProblems);
    m_plots.push_back(follower);
    bool isNumber = false;
    experiment.toInt(&isNumber);
    const QString name = isNumber ? QStringLiteral("Experiment %1").arg(experiment)
        : system                  ? QString::fromStdString(system->title)
                                  : experiment;
    m_tabs->addTab(plot, name);
    if (m_filter->findData(experiment) < 0)
        m_filter->addItem(name, experiment);
}

void NotebookWindow::addTabsForRows()
{
    for (const NotebookRow &row : m_model->rows()) {
        if (!plot(row[NotebookRow::Experiment]))
            addTab(row[NotebookRow::Experiment]);
    }
}

QStringList NotebookWindow::problems() const
{
    QStringList lines;
    for (int index = 0; index < m_problems->count(); ++index)
        lines << m_problems->item(index)->text();
    return lines;
}

void NotebookWindow::open(const QString &path)
{
    if (!m_path.isEmpty())
        m_watcher->removePath(m_path);
    m_path = path;
    m_consumed = 0;
    m_nextLine = 1;
    m_form = {};
    m_problems->clear();
    m_model->setRows({});
    setWindowTitle(QStringLiteral("Lab notebook: %1").arg(path));
    m_watcher->addPath(path);
    m_poll->start(pollMilliseconds);
    readNewRows();
}

void NotebookWindow::readNewRows()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        statusBar()->showMessage(QStringLiteral("%1 cannot be read: %2").arg(m_path, file.errorString()));
        return;
    }
    // The watcher loses a file that is replaced; follow the name again.
    if (!m_watcher->files().contains(m_path))
        m_watcher->addPath(m_path);
    if (file.size() < m_consumed) { // rewritten from the start: read it anew
        open(m_path);
        return;
    }
    file.seek(m_consumed);
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return;
    const bool atStart = m_consumed == 0;
    const NotebookCsv::ParseResult parsed =
        atStart ? NotebookCsv::parse(bytes, NotebookCsv::Ending::StillGrowing)
                : NotebookCsv::parseRows(bytes, m_nextLine, m_form, NotebookCsv::Ending::StillGrowing);
    if (atStart && !parsed.hasHeader) {
        // No notebook (yet): said once, looked at again when the file changes.
        m_problems->clear();
        addProblems(parsed.problems);
        return;
    }
    m_nextLine += int(bytes.left(parsed.consumed).count('\n'));
    m_consumed += parsed.consumed;
    if (atStart)
        m_form = parsed.form;
    addProblems(parsed.problems);
    // The plots follow the table; a system's first rows bring its plot.
    m_model->appendRows(parsed.rows);
    addTabsForRows();
    showCounts();
}

void NotebookWindow::showCounts()
{
    statusBar()->showMessage(QStringLiteral("%1 rows, %2 could not be read")
                                 .arg(m_model->rows().size()).arg(m_problems->count()));
}

void NotebookWindow::addProblems(const QList<LineProblem> &problems)
{
    for (const LineProblem &problem : problems)
        m_problems->addItem(problem.text());
    m_problems->setVisible(m_problems->count() > 0);
}

void NotebookWindow::filterByExperiment(int choice)
{
    const QString experiment = m_filter->itemData(choice).toString();
    m_proxy->setFilterRegularExpression(
        experiment.isEmpty() ? QString() : QStringLiteral("^%1$").arg(QRegularExpression::escape(experiment)));
}

void NotebookWindow::chooseFile()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open a lab notebook"), QString(),
                                                      QStringLiteral("Lab notebooks (*.csv)"));
    if (!path.isEmpty())
        open(path);
}

void NotebookWindow::exportPlot()
{
    const int tab = m_tabs->currentIndex();
    const QString experiment = m_plots[std::size_t(tab)]->experiment();
    const PlotWidget *plot = m_plots[std::size_t(tab)]->plot();
    // The lab's experiments keep their numbered names; a system is named by its id.
    bool isNumber = false;
    experiment.toInt(&isNumber);
    const QString suggested = isNumber ? QStringLiteral("experiment-%1.svg").arg(experiment) : experiment + ".svg";
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export the plot of %1").arg(m_tabs->tabText(tab)),
                                                      suggested, QStringLiteral("SVG (*.svg);;PDF (*.pdf);;PNG (*.png)"));
    if (path.isEmpty())
        return;
    if (const QString error = PlotExport::write(plot->data(), path); !error.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Export plot"), error);
}

void NotebookWindow::exportTable()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export the table"),
                                                      QStringLiteral("notebook-rows.csv"),
                                                      QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    QByteArray bytes = NotebookCsv::header();
    for (int row = 0; row < m_proxy->rowCount(); ++row)
        bytes += NotebookCsv::encode(m_model->rows()[m_proxy->mapToSource(m_proxy->index(row, 0)).row()]);
    if (const QString error = WholeFile::write(path, bytes); !error.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Export table"), error);
}

void NotebookWindow::copySelection()
{
    // The rows of the selected cells, or the whole table, as tab-separated text.
    std::set<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.empty())
        for (int row = 0; row < m_proxy->rowCount(); ++row)
            rows.insert(row);
    QStringList lines{QString::fromUtf8(NotebookCsv::header().trimmed()).replace(QLatin1Char(','), QLatin1Char('\t'))};
    for (const int row : rows) {
        const NotebookRow &shown = m_model->rows()[m_proxy->mapToSource(m_proxy->index(row, 0)).row()];
        lines << QStringList(shown.fields.begin(), shown.fields.end()).join(QLatin1Char('\t'));
    }
    QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}
