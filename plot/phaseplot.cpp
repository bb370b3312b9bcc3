#include "phaseplot.h"

#include "labelplacement.h"

#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

namespace {

// Okabe and Ito's colours, told apart with every common colour vision.
const QColor glassBlue(0x00, 0x72, 0xB2);
const QColor mixedOrange(0xE6, 0x9F, 0x00);
const QColor crystalVermillion(0xD5, 0x5E, 0x00);
const QColor ink(0x20, 0x20, 0x20);
const QColor curveGreen(0x00, 0x9E, 0x73);

constexpr std::array<PlotMarker::Kind, 5> allKinds{PlotMarker::Kind::AllGlass, PlotMarker::Kind::GlassWithCrystals,
                                                   PlotMarker::Kind::CrystalsOnly, PlotMarker::Kind::GlassPhase,
                                                   PlotMarker::Kind::CrystalPhase};

// Sizes scale with the plot: one unit is a pixel on a plot 600 high.
qreal unitFor(const QRectF &target)
{
    return std::max<qreal>(0.5, std::min(target.width() / 800, target.height() / 600));
}

QMarginsF marginsFor(qreal unit)
{
    return QMarginsF(84 * unit, 40 * unit, 200 * unit, 60 * unit);
}

// A tick step that gives a handful of ticks over the span: 1, 2 or 2.5, or
// 5 times a power of ten.
double tickStep(double span)
{
    const double power = std::pow(10.0, std::floor(std::log10(std::max(span, 1.0) / 10)));
    for (const double factor : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (span / (factor * power) <= 10)
            return factor * power;
    return 10 * power;
}

} // namespace

QString PhasePlot::kindName(PlotMarker::Kind kind)
{
    switch (kind) {
    case PlotMarker::Kind::AllGlass: return QStringLiteral("run: all glass");
    case PlotMarker::Kind::GlassWithCrystals: return QStringLiteral("run: glass with crystals");
    case PlotMarker::Kind::CrystalsOnly: return QStringLiteral("run: crystals only");
    case PlotMarker::Kind::GlassPhase: return QStringLiteral("analysed glass");
    case PlotMarker::Kind::CrystalPhase: return QStringLiteral("analysed crystal");
    }
    return {};
}

QRectF PhasePlot::plotArea(const QRectF &target) const
{
    return target.marginsRemoved(marginsFor(unitFor(target)));
}

QPointF PhasePlot::toScreen(const QPointF &point, const QRectF &area) const
{
    const double span = m_data.highestTemperature - m_data.lowestTemperature;
    return QPointF(area.left() + point.x() * area.width(),
                   area.bottom() - (point.y() - m_data.lowestTemperature) / span * area.height());
}

int PhasePlot::markerAt(const QPointF &position, const QRectF &target) const
{
    const QRectF area = plotArea(target);
    const qreal reach = 8 * unitFor(target);
    int nearest = -1;
    qreal nearestDistance = reach * reach;
    for (int index = 0; index < int(m_data.markers.size()); ++index) {
        const QPointF offset = toScreen(m_data.markers[index].at, area) - position;
        const qreal distance = QPointF::dotProduct(offset, offset);
        if (distance <= nearestDistance) {
            nearest = index;
            nearestDistance = distance;
        }
    }
    return nearest;
}

void PhasePlot::paintMarker(QPainter &painter, PlotMarker::Kind kind, const QPointF &centre, qreal unit,
                            const QColor &colour)
{
    const qreal run = 6 * unit;
    const qreal phase = 3 * unit;
    painter.setPen(QPen(ink, std::max<qreal>(1, unit)));
    switch (kind) {
    case PlotMarker::Kind::AllGlass:
        painter.setBrush(glassBlue);
        painter.drawEllipse(centre, run, run);
        break;
    case PlotMarker::Kind::GlassWithCrystals: {
        painter.setBrush(mixedOrange);
        const QPolygonF triangle{centre + QPointF(0, -run * 1.2), centre + QPointF(run * 1.1, run * 0.8),
                                 centre + QPointF(-run * 1.1, run * 0.8)};
        painter.drawPolygon(triangle);
        break;
    }
    case PlotMarker::Kind::CrystalsOnly:
        painter.setBrush(crystalVermillion);
        painter.drawRect(QRectF(centre - QPointF(run, run), QSizeF(2 * run, 2 * run)));
        break;
    case PlotMarker::Kind::GlassPhase:
        painter.setBrush(ink);
        painter.drawEllipse(centre, phase, phase);
        break;
    case PlotMarker::Kind::CrystalPhase:
        if (colour.isValid())
            painter.setPen(QPen(colour, std::max<qreal>(1.5, 2 * unit)));
        painter.setBrush(Qt::white);
        painter.drawEllipse(centre, phase, phase);
        break;
    }
}

void PhasePlot::paintAxes(QPainter &painter, const QRectF &area, qreal unit) const
{
    painter.setPen(QPen(ink, unit));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    QFont font = painter.font();
    font.setPixelSize(std::max(6, int(12 * unit)));
    painter.setFont(font);
    const qreal tick = 5 * unit;
    for (int step = 0; step <= 10; step += 2) {
        const double x2 = step / 10.0;
        const QPointF at = toScreen(QPointF(x2, m_data.lowestTemperature), area);
        painter.drawLine(at, at + QPointF(0, tick));
        painter.drawText(QRectF(at.x() - 30 * unit, at.y() + tick, 60 * unit, 18 * unit), Qt::AlignCenter,
                         QString::number(x2, 'f', 1));
    }
    const double span = m_data.highestTemperature - m_data.lowestTemperature;
    const double step = tickStep(span);
    // At most a few dozen ticks, whatever axis a caller sets.
    int ticks = 0;
    for (double temperature = std::ceil(m_data.lowestTemperature / step) * step;
         temperature <= m_data.highestTemperature && ticks < 50; temperature += step, ++ticks) {
        const QPointF at = toScreen(QPointF(0, temperature), area);
        painter.drawLine(at, at - QPointF(tick, 0));
        painter.drawText(QRectF(at.x() - 60 * unit, at.y() - 9 * unit, 52 * unit, 18 * unit),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(temperature, 'f', 0));
    }
    painter.drawText(QRectF(area.left(), area.bottom() + 24 * unit, area.width(), 20 * unit), Qt::AlignCenter,
                     QStringLiteral("X(2), mass fraction of mineral 2"));
    painter.save();
    painter.translate(area.left() - 58 * unit, area.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-area.height() / 2, -16 * unit, area.height(), 16 * unit), Qt::AlignCenter,
                     QStringLiteral("temperature, °C"));
    painter.restore();
    font.setPixelSize(std::max(7, int(15 * unit)));
    painter.setFont(font);
    painter.drawText(QRectF(area.left(), area.top() - 34 * unit, area.width(), 28 * unit), Qt::AlignCenter,
                     m_data.title);
}

QPen PhasePlot::pathPen(PlotPath::Kind kind, qreal unit)
{
    // Colours colour-blind readers tell apart, and two dashes besides.
    return kind == PlotPath::Kind::Equilibrium ? QPen(QColor(0xD5, 0x5E, 0x00), 2 * unit)
                                               : QPen(QColor(0x56, 0x28, 0x8C), 2 * unit, Qt::DashDotLine);
}

QString PhasePlot::curvesName() const
{
    const bool meltingOnly = std::all_of(m_data.curves.begin(), m_data.curves.end(), [](const PlotCurve &curve) {
        return curve.name == QLatin1String("liquidus") || curve.name == QLatin1String("solidus");
    });
    return meltingOnly ? QStringLiteral("liquidus and solidus") : QStringLiteral("phase boundaries");
}

void PhasePlot::paintLegend(QPainter &painter, const QRectF &target, qreal unit) const
{
    QFont font = painter.font();
    font.setPixelSize(std::max(6, int(11 * unit)));
    painter.setFont(font);
    QPointF at(target.right() - 185 * unit, target.top() + 50 * unit);
    for (const PlotMarker::Kind kind : allKinds) {
        paintMarker(painter, kind, at + QPointF(8 * unit, 0), unit);
        painter.setPen(ink);
        painter.drawText(QRectF(at.x() + 20 * unit, at.y() - 9 * unit, 165 * unit, 18 * unit),
                         Qt::AlignLeft | Qt::AlignVCenter, kindName(kind));
        at.ry() += 22 * unit;
    }
    if (!m_data.curves.empty()) {
        painter.setPen(QPen(curveGreen, 2 * unit));
        painter.drawLine(at + QPointF(0, 0), at + QPointF(16 * unit, 0));
        painter.setPen(ink);
        painter.drawText(QRectF(at.x() + 20 * unit, at.y() - 9 * unit, 165 * unit, 18 * unit),
                         Qt::AlignLeft | Qt::AlignVCenter, curvesName());
        at.ry() += 22 * unit;
    }
    if (!m_data.tieLines.empty()) {
        painter.setPen(QPen(ink, unit, Qt::DashLine));
        painter.drawLine(at, at + QPointF(16 * unit, 0));
        painter.setPen(ink);
        painter.drawText(QRectF(at.x() + 20 * unit, at.y() - 9 * unit, 165 * unit, 18 * unit),
                         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("tie line"));
        at.ry() += 22 * unit;
    }
    for (const PlotPath::Kind kind : {PlotPath::Kind::Equilibrium, PlotPath::Kind::Fractional}) {
        if (std::none_of(m_data.paths.begin(), m_data.paths.end(), [kind](const PlotPath &path) { return path.kind == kind; }))
            continue;
        painter.setPen(pathPen(kind, unit));
        painter.drawLine(at, at + QPointF(16 * unit, 0));
        painter.setPen(ink);
        painter.drawText(QRectF(at.x() + 20 * unit, at.y() - 9 * unit, 165 * unit, 18 * unit),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         kind == PlotPath::Kind::Equilibrium ? QStringLiteral("liquid, equilibrium cooling")
                                                             : QStringLiteral("liquid, fractional cooling"));
        at.ry() += 22 * unit;
    }
}

void PhasePlot::paintMarkers(QPainter &painter, const QRectF &target, std::size_t first) const
{
    const qreal unit = unitFor(target);
    const QRectF area = plotArea(target);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(area.adjusted(-8 * unit, -8 * unit, 8 * unit, 8 * unit));
    for (std::size_t index = first; index < m_data.markers.size(); ++index)
        paintMarker(painter, m_data.markers[index].kind, toScreen(m_data.markers[index].at, area), unit,
                    m_data.markers[index].colour);
    painter.restore();
}

void PhasePlot::paintLabels(QPainter &painter, const QRectF &area, qreal unit) const
{
    QFont font = painter.font();
    font.setPixelSize(std::max(6, int(12 * unit)));
    font.setItalic(true);
    painter.setFont(font);
    painter.setPen(ink);
    // Names go where nothing covers them: not across a curve, a tie line,
    // a run's symbol or another name. A point's name first, beside its
    // point; then each field's.
    LabelPlacement placement(area);
    for (const PlotCurve &curve : m_data.curves) {
        QPolygonF screen;
        for (const QPointF &point : curve.points)
            screen << toScreen(point, area);
        placement.addLines(screen);
    }
    for (const QLineF &line : m_data.tieLines)
        placement.addLine(QLineF(toScreen(line.p1(), area), toScreen(line.p2(), area)));
    const qreal reach = 8 * unit;
    for (const PlotMarker &marker : m_data.markers)
        placement.addBox(QRectF(toScreen(marker.at, area) - QPointF(reach, reach), QSizeF(2 * reach, 2 * reach)));
    std::vector<const PlotLabel *> order;
    for (const PlotLabel &label : m_data.fieldLabels)
        if (label.namesPoint)
            order.push_back(&label);
    for (const PlotLabel &label : m_data.fieldLabels)
        if (!label.namesPoint)
            order.push_back(&label);
    for (const PlotLabel *label : order) {
        const QSizeF size = painter.boundingRect(QRectF(0, 0, 800 * unit, 40 * unit), Qt::AlignCenter, label->text)
                                .size() + QSizeF(6 * unit, 0);
        std::vector<QRectF> boxes;
        const QPointF at = toScreen(label->at, area);
        if (label->namesPoint) {
            // Beside the point, nearest first, on every side.
            for (const qreal away : {4.0, 16.0, 30.0, 46.0, 64.0})
                for (const QPointF direction : {QPointF(1, -1), QPointF(1, 1), QPointF(-1, -1), QPointF(-1, 1)}) {
                    const QPointF corner = at + direction * away * unit;
                    boxes.emplace_back(QPointF(direction.x() > 0 ? corner.x() : corner.x() - size.width(),
                                               direction.y() > 0 ? corner.y() : corner.y() - size.height()),
                                       size);
                }
        } else {
            boxes.emplace_back(at - QPointF(size.width() / 2, size.height() / 2), size);
            for (const QPointF &candidate : label->candidates)
                boxes.emplace_back(toScreen(candidate, area) - QPointF(size.width() / 2, size.height() / 2), size);
        }
        const QRectF box = placement.place(boxes);
        if (label->namesPoint && !box.adjusted(-6 * unit, -6 * unit, 6 * unit, 6 * unit).contains(at)) {
            const QPointF nearest(std::clamp(at.x(), box.left(), box.right()), std::clamp(at.y(), box.top(), box.bottom()));
            painter.setPen(QPen(ink, 0.75 * unit));
            painter.drawLine(at, nearest);
        }
        // A pale ground keeps the name readable over a line it cannot avoid.
        painter.fillRect(box, QColor(255, 255, 255, 210));
        painter.setPen(ink);
        painter.drawText(box, Qt::AlignCenter, label->text);
    }
}

void PhasePlot::paint(QPainter &painter, const QRectF &target, int focused) const
{
    const qreal unit = unitFor(target);
    const QRectF area = plotArea(target);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(target, Qt::white);
    paintAxes(painter, area, unit);
    paintLegend(painter, target, unit);
    painter.setClipRect(area.adjusted(-8 * unit, -8 * unit, 8 * unit, 8 * unit));
    for (const PlotCurve &curve : m_data.curves) {
        QPolygonF screen;
        for (const QPointF &point : curve.points)
            screen << toScreen(point, area);
        painter.setPen(QPen(curveGreen, 2 * unit));
        painter.drawPolyline(screen);
    }
    painter.setPen(QPen(ink, unit, Qt::DashLine));
    for (const QLineF &line : m_data.tieLines)
        painter.drawLine(toScreen(line.p1(), area), toScreen(line.p2(), area));
    for (const PlotPath &path : m_data.paths) {
        QPolygonF screen;
        for (const QPointF &point : path.points)
            screen << toScreen(point, area);
        painter.setPen(pathPen(path.kind, unit));
        painter.drawPolyline(screen);
        // Its start, where the melt began to cool.
        painter.setBrush(pathPen(path.kind, unit).color());
        painter.drawEllipse(screen.first(), 2.5 * unit, 2.5 * unit);
        painter.setBrush(Qt::NoBrush);
    }
    paintLabels(painter, area, unit);
    painter.restore();
    paintMarkers(painter, target, 0);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (focused >= 0 && focused < int(m_data.markers.size())) {
        painter.setPen(QPen(ink, 2 * unit, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(toScreen(m_data.markers[focused].at, area), 11 * unit, 11 * unit);
    }
    painter.restore();
}
