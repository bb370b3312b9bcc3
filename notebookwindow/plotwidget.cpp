#include "plotwidget.h"

#include "phaseplot.h"

#include <QAccessible>
#include <algorithm>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>

PlotWidget::PlotWidget(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(400, 300);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlotWidget::setData(const PlotData &data)
{
    m_data = data;
    m_drawnIsCurrent = false;
    if (m_focused >= int(m_data.markers.size()))
        m_focused = -1;
    setAccessibleName(m_data.title);
    describe();
    update();
}

void PlotWidget::appendMarkers(const std::vector<PlotMarker> &markers)
{
    if (markers.empty())
        return;
    const std::size_t first = m_data.markers.size();
    m_data.markers.insert(m_data.markers.end(), markers.begin(), markers.end());
    const bool insideTheAxis = std::all_of(markers.begin(), markers.end(), [&](const PlotMarker &marker) {
        return marker.at.y() >= m_data.lowestTemperature && marker.at.y() <= m_data.highestTemperature;
    });
    if (!insideTheAxis) {
        m_data.fitTemperatures();
        m_drawnIsCurrent = false;
    } else if (m_drawnIsCurrent) {
        // Only the new markers are drawn onto the kept picture.
        QPainter painter(&m_drawn);
        PhasePlot(m_data).paintMarkers(painter, rect(), first);
    }
    describe();
    update();
}

void PlotWidget::paintEvent(QPaintEvent *)
{
    const qreal ratio = devicePixelRatioF();
    if (!m_drawnIsCurrent || m_drawn.size() != size() * ratio) {
        m_drawn = QPixmap(size() * ratio);
        m_drawn.setDevicePixelRatio(ratio);
        QPainter painter(&m_drawn);
        PhasePlot(m_data).paint(painter, rect());
        m_drawnIsCurrent = true;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_drawn);
    if (m_focused >= 0 && hasFocus()) {
        const PhasePlot plot(m_data);
        const QPointF at = plot.toScreen(m_data.markers[m_focused].at, plot.plotArea(rect()));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 2, Qt::DotLine));
        painter.drawEllipse(at, 12, 12);
    }
}

void PlotWidget::resizeEvent(QResizeEvent *event)
{
    m_drawnIsCurrent = false;
    QWidget::resizeEvent(event);
}

bool PlotWidget::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int index = PhasePlot(m_data).markerAt(help->pos(), rect());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), m_data.markers[index].label, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void PlotWidget::keyPressEvent(QKeyEvent *event)
{
    const int count = int(m_data.markers.size());
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (count > 0)
            focusMarker(m_focused + 1 < count ? m_focused + 1 : 0);
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        if (count > 0)
            focusMarker(m_focused > 0 ? m_focused - 1 : count - 1);
        return;
    case Qt::Key_Home:
        if (count > 0)
            focusMarker(0);
        return;
    case Qt::Key_End:
        if (count > 0)
            focusMarker(count - 1);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void PlotWidget::focusMarker(int index)
{
    m_focused = index;
    describe();
    update();
}

void PlotWidget::describe()
{
    const QString description = m_focused >= 0
        ? m_data.markers[m_focused].label
        : QStringLiteral("%1 markers; the arrow keys step through them").arg(m_data.markers.size());
    setAccessibleDescription(description);
    setToolTip(m_focused >= 0 ? description : QString());
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}
