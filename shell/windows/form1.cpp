#include "form1.h"

#include "experimentform.h"
#include "twips.h"
#include "windowfont.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {
const QString welcomeText = QStringLiteral("Welcome to Orvane Experimental Labs");
const QString mottoText = QStringLiteral("Experiments without burnt fingers!");
constexpr QSize clientSizeTwips(6696, 5268);

// A plain top-level widget reads to a screen reader as an anonymous filler;
// the main menu is announced as the program's window, by its title.
QAccessibleInterface *mainMenuAccessibility(const QString &className, QObject *object)
{
    if (className == QLatin1String("Form1") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}
const QColor teal(0, 128, 128);
const QColor yellow(255, 255, 0);
} // namespace

Form1::Form1(const ExperimentList &experiments, ScatterSource &scatter, SessionRecorder *recorder, QWidget *parent)
    : QWidget(parent)
    , m_experiments(experiments)
    , m_scatter(scatter)
    , m_recorder(recorder)
    , m_dotsPerInch(Twips::screenDotsPerInch())
{
    static const bool factoryInstalled = (QAccessible::installFactory(mainMenuAccessibility), true);
    Q_UNUSED(factoryInstalled);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Main Menu"));
    setFixedSize(Twips::toPixels(QRect(QPoint(0, 0), clientSizeTwips), m_dotsPerInch).size());
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, teal);
    setPalette(windowPalette);
    setAutoFillBackground(true);

    const QFont buttonFont = WindowFont::atPointSize(8);
    setFont(buttonFont);

    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(Twips::toPixels(QRect(756, 312, 5376, 372), m_dotsPerInch));
    QFont labelFont = buttonFont;
    labelFont.setPointSizeF(13.8);
    labelFont.setWeight(QFont::Normal);
    m_label1->setFont(labelFont);
    m_label1->setAutoFillBackground(true);
    m_label1->installEventFilter(this);

    addButton("Command1", QStringLiteral("Begin Experiment &1"), QRect(1395, 1245, 2800, 795));
    addButton("Command2", QStringLiteral("Begin Experiment &2"), QRect(1395, 2370, 2800, 795));
    QPushButton *exitButton = addButton("Command3", QStringLiteral("E&xit"), QRect(1905, 3990, 1815, 800));
    QPalette exitPalette = exitButton->palette();
    exitPalette.setColor(QPalette::Button, yellow);
    exitButton->setPalette(exitPalette);

    connect(findChild<QPushButton *>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            &Form1::Command1_Click);
    connect(findChild<QPushButton *>(QStringLiteral("Command2")), &QPushButton::clicked, this,
            &Form1::Command2_Click);
    connect(exitButton, &QPushButton::clicked, this, &Form1::Command3_Click);

    Form_Load();
}

QPushButton *Form1::addButton(const char *name, const QString &caption, const QRect &twips)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(Twips::toPixels(twips, m_dotsPerInch));
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return button;
}

void Form1::Form_Load()
{
    m_label1->setText(welcomeText);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_label1 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Label1_Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Label1_Click()
{
    m_label1->setText(m_label1->text() == welcomeText ? mottoText : welcomeText);
}

ExperimentForm *Form1::form2()
{
    if (!m_form2)
        m_form2 = new ExperimentForm(m_experiments.at(0), ExperimentLayout::form2(), m_scatter, m_recorder, this);
    return m_form2;
}

ExperimentForm *Form1::form3()
{
    if (!m_form3)
        m_form3 = new ExperimentForm(m_experiments.at(1), ExperimentLayout::form3(), m_scatter, m_recorder, this);
    return m_form3;
}

void Form1::Command1_Click()
{
    form2()->show();
}

void Form1::Command2_Click()
{
    form3()->show();
}

void Form1::Command3_Click()
{
    // Ends the program at once; no window's close handling runs.
    QCoreApplication::exit(0);
}
