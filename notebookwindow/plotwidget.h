#pragma once

#include "plotdata.h"

#include <QPixmap>
#include <QWidget>

// One experiment's plot on screen. Hovering over a marker shows its row in
// a tool tip; with the keyboard focus on the plot, the arrow keys step from
// marker to marker and a screen reader hears each one's row. The drawing is
// kept, so that a row added to a long notebook costs only its own marker.
class PlotWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PlotWidget(QWidget *parent = nullptr);

    const PlotData &data() const { return m_data; }
    void setData(const PlotData &data);
    // Markers added at the end of the data, temperature axis unchanged.
    void appendMarkers(const std::vector<PlotMarker> &markers);
    int focusedMarker() const { return m_focused; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void focusMarker(int index);
    void describe();

    PlotData m_data;
    QPixmap m_drawn; // the plot as last drawn, without the focus ring
    bool m_drawnIsCurrent = false;
    int m_focused = -1;
};
