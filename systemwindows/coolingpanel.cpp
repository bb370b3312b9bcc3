#include "coolingpanel.h"

#include "experimentform.h"
#include "numberformat.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

CoolingPanel::CoolingPanel(ExperimentForm *form, QWidget *parent)
    : QDialog(parent, Qt::Tool)
    , m_form(form)
{
    setObjectName(QStringLiteral("CoolingPanel"));
    setWindowTitle(QStringLiteral("Cool the melt"));
    const ExperimentDefinition &definition = form->session().definition();
    auto *layout = new QVBoxLayout(this);
    auto *entries = new QFormLayout;
    layout->addLayout(entries);
    const auto addRow = [&](QLineEdit *entry) { entries->addRow(entry->accessibleName(), entry); };
    addRow(m_from = addEntry("From", QStringLiteral("&Start at (degrees Celsius):"),
                             QString::number(definition.temperatureLimit)));
    addRow(m_to = addEntry("To", QStringLiteral("&End at (degrees Celsius):"),
                           QString::number(definition.lowestTemperature)));
    addRow(m_step = addEntry("Step", QStringLiteral("S&tep (degrees):"), QStringLiteral("10")));
    // The labels carry the access keys; the entries their names without them.
    for (QLineEdit *entry : {m_from, m_to, m_step})
        entry->setAccessibleName(QString(entry->accessibleName()).remove(QLatin1Char('&')));

    m_kind = new QButtonGroup(this);
    auto *equilibrium = new QRadioButton(QStringLiteral("E&quilibrium: the crystals keep reacting with the liquid"));
    auto *fractional = new QRadioButton(QStringLiteral("&Fractional: each step's crystals are kept from the liquid"));
    equilibrium->setObjectName(QStringLiteral("Equilibrium"));
    fractional->setObjectName(QStringLiteral("Fractional"));
    equilibrium->setChecked(true);
    m_kind->addButton(equilibrium, int(CoolEntries::Kind::Equilibrium));
    m_kind->addButton(fractional, int(CoolEntries::Kind::Fractional));
    layout->addWidget(equilibrium);
    layout->addWidget(fractional);

    // Alt+C stays the window's "Cool..." (a tool window shares its window's keys).
    auto *cool = new QPushButton(QStringLiteral("Cool &now"));
    cool->setObjectName(QStringLiteral("Cool"));
    cool->setDefault(true);
    layout->addWidget(cool);
    connect(cool, &QPushButton::clicked, this, &CoolingPanel::coolNow);

    // The path, once cooled.
    m_path = new QSlider(Qt::Horizontal);
    m_path->setObjectName(QStringLiteral("Path"));
    m_path->setAccessibleName(QStringLiteral("Step of the cooling path"));
    m_path->setPageStep(10);
    m_path->setEnabled(false);
    m_warmer = new QPushButton(QStringLiteral("&Warmer"));
    m_cooler = new QPushButton(QStringLiteral("C&ooler"));
    m_warmer->setObjectName(QStringLiteral("Warmer"));
    m_cooler->setObjectName(QStringLiteral("Cooler"));
    auto *stepping = new QHBoxLayout;
    stepping->addWidget(m_warmer);
    stepping->addWidget(m_path, 1);
    stepping->addWidget(m_cooler);
    layout->addLayout(stepping);
    m_said = new QLabel(QStringLiteral("Not cooled yet."));
    m_said->setObjectName(QStringLiteral("StepSaid"));
    m_said->setWordWrap(true);
    m_said->setMinimumWidth(420);
    m_said->setAccessibleName(QStringLiteral("The charge at this step"));
    layout->addWidget(m_said);
    auto *close = new QDialogButtonBox(QDialogButtonBox::Close);
    layout->addWidget(close);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_path, &QSlider::valueChanged, this, &CoolingPanel::showStep);
    connect(m_warmer, &QPushButton::clicked, this, [this] { m_path->setValue(m_path->value() - 1); });
    connect(m_cooler, &QPushButton::clicked, this, [this] { m_path->setValue(m_path->value() + 1); });
    m_warmer->setEnabled(false);
    m_cooler->setEnabled(false);
}

QLineEdit *CoolingPanel::addEntry(const char *name, const QString &caption, const QString &text)
{
    auto *entry = new QLineEdit(text);
    entry->setObjectName(QLatin1String(name));
    entry->setAccessibleName(caption);
    return entry;
}

bool CoolingPanel::coolNow()
{
    const ExperimentWindow::EntryTexts grams = m_form->window()->entryTexts();
    const auto kind = CoolEntries::Kind(m_kind->checkedId());
    const ExperimentSession::CoolResult result =
        m_form->cool({grams[0], grams[1], m_from->text(), m_to->text(), m_step->text()}, kind);
    if (!result.isCooled)
        return false;
    m_steps = result.steps;
    const QSignalBlocker quiet(m_path);
    m_path->setRange(0, int(m_steps.size()) - 1);
    m_path->setValue(int(m_steps.size()) - 1);
    m_path->setEnabled(true);
    showStep(int(m_steps.size()) - 1);
    m_path->setFocus();
    return true;
}

QString CoolingPanel::stepText(int index) const
{
    const CoolingStep &step = m_steps.at(std::size_t(index));
    const NumberFormat format(QLocale().decimalPoint().toStdString());
    const QString liquid = step.liquidX2
        ? QStringLiteral("liquid X(2) %1").arg(QString::fromStdString(format.apply(*step.liquidX2, "0.000")))
        : QStringLiteral("no liquid");
    return QStringLiteral("Step %1 of %2, %3 degrees: %4, %5 percent crystals. %6")
        .arg(index + 1)
        .arg(m_steps.size())
        .arg(step.celsius)
        .arg(liquid)
        .arg(std::lround(step.crystalShare * 100))
        .arg(m_form->session().describe(step.charge));
}

int CoolingPanel::shownStep() const
{
    return m_path->value();
}

void CoolingPanel::showStep(int index)
{
    if (index < 0 || index >= stepCount())
        return;
    if (m_path->value() != index) {
        m_path->setValue(index); // comes back here through valueChanged
        return;
    }
    if (!m_form->showCoolingStep(std::size_t(index), m_steps[std::size_t(index)])) {
        // The furnace has run a charge since: its path is gone.
        m_path->setEnabled(false);
        m_warmer->setEnabled(false);
        m_cooler->setEnabled(false);
        m_said->setText(QStringLiteral("The furnace has run a charge since this cooling; cool again to step through a path."));
        return;
    }
    const QString said = stepText(index);
    m_said->setText(said);
    m_path->setAccessibleDescription(said);
    m_warmer->setEnabled(index > 0);
    m_cooler->setEnabled(index + 1 < stepCount());
}
