#pragma once

#include "plotdata.h"

#include <QPen>
#include <QRectF>

class QPainter;

// Draws a temperature-composition plot with the toolkit's own painting:
// the frame with X(2) across (0 to 1) and degrees Celsius up, a legend of
// the symbols, then curves, field names, tie lines and markers. The same
// drawing goes to the screen, to SVG, to PDF and to PNG.
//
// A run's symbol says what its charge held by shape and by colour (circle
// all glass, triangle glass with crystals, square crystals only, in colours
// that colour-blind readers tell apart); an analysed phase is a small
// circle, filled for glass and open for crystal.
class PhasePlot
{
public:
    explicit PhasePlot(const PlotData &data) : m_data(data) {}

    // focused: the index of a marker drawn with a focus ring, or -1.
    void paint(QPainter &painter, const QRectF &target, int focused = -1) const;

    // Draws the markers from index `first` on, over a plot already drawn
    // into target: how a growing notebook adds its new rows.
    void paintMarkers(QPainter &painter, const QRectF &target, std::size_t first) const;

    // The rectangle the axes enclose, for a plot drawn into target.
    QRectF plotArea(const QRectF &target) const;
    QPointF toScreen(const QPointF &point, const QRectF &area) const;
    // The marker drawn nearest to position (within its size), or -1.
    int markerAt(const QPointF &position, const QRectF &target) const;

    // "all glass", "glass with crystals", ...
    static QString kindName(PlotMarker::Kind kind);
    // How a cooling's liquid path is drawn, by its kind.
    static QPen pathPen(PlotPath::Kind kind, qreal unit);

private:
    void paintAxes(QPainter &painter, const QRectF &area, qreal unit) const;
    void paintLegend(QPainter &painter, const QRectF &target, qreal unit) const;
    void paintLabels(QPainter &painter, const QRectF &area, qreal unit) const;
    QString curvesName() const;
    static void paintMarker(QPainter &painter, PlotMarker::Kind kind, const QPointF &centre, qreal unit,
                            const QColor &colour = QColor());

    const PlotData &m_data;
};
