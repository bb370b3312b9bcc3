#include "systemchooser.h"

#include "systemfile.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString entryText(const BinarySystem &system)
{
    QString text = QStringLiteral("%1\n%2 and %3 (%4)")
                       .arg(QString::fromStdString(system.title), QString::fromStdString(system.mineral1.name),
                            QString::fromStdString(system.mineral2.name), QString::fromStdString(system.reference));
    if (!system.teaches.empty())
        text += QLatin1Char('\n') + QString::fromStdString(system.teaches);
    return text;
}

} // namespace

SystemChooser::SystemChooser(const std::vector<BinarySystem> &systems, QWidget *parent)
    : QDialog(parent)
    , m_systems(systems)
    , m_list(new QListWidget)
    , m_problem(new QLabel)
{
    setObjectName(QStringLiteral("SystemChooser"));
    setWindowTitle(QStringLiteral("More systems"));
    auto *caption = new QLabel(QStringLiteral("&Systems to run in the furnace:"));
    caption->setBuddy(m_list);
    m_list->setObjectName(QStringLiteral("Systems"));
    m_list->setAccessibleName(QStringLiteral("Systems"));
    m_list->setWordWrap(true);
    m_list->setAlternatingRowColors(true);
    for (const BinarySystem &system : m_systems) {
        auto *item = new QListWidgetItem(entryText(system), m_list);
        item->setData(Qt::AccessibleTextRole, entryText(system).replace(QLatin1Char('\n'), QStringLiteral(". ")));
    }
    m_list->setCurrentRow(0);
    m_problem->setObjectName(QStringLiteral("Problem"));
    m_problem->setWordWrap(true);
    m_problem->hide();

    auto *buttons = new QDialogButtonBox;
    QPushButton *open = buttons->addButton(QStringLiteral("&Open"), QDialogButtonBox::AcceptRole);
    open->setObjectName(QStringLiteral("Open"));
    open->setDefault(true);
    QPushButton *file = buttons->addButton(QStringLiteral("Open a system &file..."), QDialogButtonBox::ActionRole);
    file->setObjectName(QStringLiteral("OpenFile"));
    QPushButton *close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("Close"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
    resize(520, 420);

    connect(open, &QPushButton::clicked, this, &SystemChooser::openSelected);
    connect(m_list, &QListWidget::itemActivated, this, &SystemChooser::openSelected);
    connect(file, &QPushButton::clicked, this, &SystemChooser::openFile);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void SystemChooser::openSelected()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= int(m_systems.size()))
        return;
    m_chosen = m_systems[std::size_t(row)];
    accept();
}

void SystemChooser::openFile()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open a system file"), QString(),
                                                      QStringLiteral("System files (*.toml)"));
    if (path.isEmpty())
        return;
    const SystemFile::Result read = SystemFile::readFile(path.toStdString());
    if (!read.system) {
        // Said in the window (and to a screen reader): the file is not one.
        m_problem->setText(QString::fromStdString(read.error));
        m_problem->setAccessibleName(m_problem->text());
        m_problem->show();
        return;
    }
    m_chosen = read.system;
    accept();
}
