#include "experimentwindow.h"

#include "picturebox.h"
#include "twips.h"
#include "windowfont.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr QSize clientSizeTwips(6708, 6000);
constexpr int singleLineHeightTwips = 255;
const QColor gramsBackground(255, 255, 192);
const QColor temperatureBackground(192, 255, 192);

QFont reportFont()
{
    // Resolves to a metric-compatible fixed-pitch face where Courier New
    // itself is missing, so the report's columns still line up.
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(8.4);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

void setBackground(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, color);
    widget->setPalette(palette);
}

// A label drawn two lines high wraps its caption; one drawn for a narrow
// bitmap face shrinks a little where the face found here is wider, rather
// than cut off the end of a caption (the "1:" of "mineral 1:" matters).
void fitCaption(QLabel *label, const QString &caption, const QRect &twips)
{
    label->setWordWrap(twips.height() > singleLineHeightTwips);
    constexpr qreal smallestReadablePointSize = 6.5;
    QFont font = label->font();
    while (QFontMetrics(font).horizontalAdvance(caption) > label->width()
           && font.pointSizeF() - 0.25 >= smallestReadablePointSize && !label->wordWrap())
        font.setPointSizeF(font.pointSizeF() - 0.25);
    label->setFont(font);
}

} // namespace

ExperimentWindow::ExperimentWindow(const ExperimentLayout &layout, const QString &title, QWidget *parent)
    : QDialog(parent)
    , m_dotsPerInch(Twips::screenDotsPerInch())
{
    setObjectName(layout.formName);
    setWindowTitle(title);
    setFont(WindowFont::atPointSize(8));
    setFixedSize(place(QRect(QPoint(0, 0), clientSizeTwips)).size());
    setSizeGripEnabled(false);

    const std::array<int, 3> entryTops{405, 900, layout.temperatureEntryTop};
    for (int index = 0; index < 3; ++index) {
        auto *entry = new QLineEdit(this);
        entry->setObjectName(QStringLiteral("txt(%1)").arg(index));
        entry->setGeometry(place(QRect(3045, entryTops[index], 1000, 285)));
        setBackground(entry, index == 2 ? temperatureBackground : gramsBackground);
        entry->installEventFilter(this);
        m_txt[index] = entry;
    }

    addLabel("Label1", layout.grams1Caption, QRect(100, 400, 2490, 195))->setBuddy(m_txt[0]);
    addLabel("Label2", layout.grams2Caption, QRect(100, 900, 2490, 195))->setBuddy(m_txt[1]);
    addLabel("Label3", layout.temperatureCaption, layout.temperatureLabel)->setBuddy(m_txt[2]);
    addLabel("Label4", QStringLiteral("Microprobe Results"), layout.resultsLabel)
        ->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    addLabel("Label5", QStringLiteral("Charge"), QRect(5040, 120, 1215, 255))
        ->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    for (int index = 0; index < 3; ++index)
        m_txt[index]->setAccessibleName(findChild<QLabel *>(QStringLiteral("Label%1").arg(index + 1))
                                            ->text().simplified());

    m_command1 = addButton("Command1", QStringLiteral("&Begin the Run"), QRect(360, 1920, 1860, 435));
    m_command1->setDefault(true);

    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(place(QRect(120, 3600, 6375, 2295)));
    m_text1->setReadOnly(true);
    m_text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text1->setFont(reportFont());
    m_text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text1->setTabChangesFocus(true);
    m_text1->setAccessibleName(QStringLiteral("Microprobe Results"));

    m_command2 = addButton("Command2", QStringLiteral("&Menu"), QRect(2760, 1920, 1785, 375));

    m_picture1 = new PictureBox(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setGeometry(place(QRect(4680, 360, 1845, 2910)));

    m_command3 = addButton("Command3", QStringLiteral("&Microprobe the Phases"), QRect(1440, 2760, 2175, 375));

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    const QRect lineRect = place(QRect(165, 2520, 4560 - 165, 0));
    line->setGeometry(lineRect.left(), lineRect.top(), lineRect.width(), 1);

    connect(m_command1, &QPushButton::clicked, this, &ExperimentWindow::runRequested);
    connect(m_command2, &QPushButton::clicked, this, &ExperimentWindow::menuRequested);
    connect(m_command3, &QPushButton::clicked, this, &ExperimentWindow::probeRequested);

    // Tab order of the layout table; labels and the line take no focus.
    const std::array<QWidget *, 8> tabOrder{m_txt[0], m_txt[1], m_txt[2], m_command1,
                                            m_text1, m_command2, m_picture1, m_command3};
    for (std::size_t index = 1; index < tabOrder.size(); ++index)
        setTabOrder(tabOrder[index - 1], tabOrder[index]);
    m_txt[0]->setFocus();
}

QLabel *ExperimentWindow::addLabel(const char *name, const QString &caption, const QRect &twips)
{
    auto *label = new QLabel(caption, this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(place(twips));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    fitCaption(label, caption, twips);
    return label;
}

QPushButton *ExperimentWindow::addButton(const char *name, const QString &caption, const QRect &twips)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place(twips));
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return button;
}

QPushButton *ExperimentWindow::addExtraButton(const char *name, const QString &caption, const QRect &twips)
{
    QPushButton *button = addButton(name, caption, twips);
    button->show();
    return button;
}

QRect ExperimentWindow::place(const QRect &twips) const
{
    return Twips::toPixels(twips, m_dotsPerInch);
}

ExperimentWindow::EntryTexts ExperimentWindow::entryTexts() const
{
    EntryTexts texts;
    for (int index = 0; index < entryCount; ++index)
        texts[index] = m_txt[index]->text();
    return texts;
}

void ExperimentWindow::focusEntry(int index)
{
    m_txt.at(index)->setFocus();
}

void ExperimentWindow::clearEntry(int index)
{
    m_txt.at(index)->clear();
}

void ExperimentWindow::showPicture(const wmf::Picture &picture, const QString &name, const QString &description)
{
    m_picture1->setPicture(picture, name, description);
}

void ExperimentWindow::showReport(const QString &report)
{
    m_text1->setPlainText(QString(report).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

bool ExperimentWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        for (int index = 0; index < entryCount; ++index) {
            if (watched == m_txt[index])
                Txt_GotFocus(index);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ExperimentWindow::Txt_GotFocus(int index)
{
    // Whatever way the box got the focus, typing replaces its whole text.
    m_txt[index]->setSelection(0, m_txt[index]->text().size());
}

void ExperimentWindow::reject()
{
    m_command2->click();
}
