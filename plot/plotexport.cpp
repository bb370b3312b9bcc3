#include "plotexport.h"

#include "phaseplot.h"
#include "wholefile.h"

#include <QFileInfo>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

void PlotExport::drawWithoutScreenWhenThereIsNone()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString PlotExport::write(const PlotData &data, const QString &path, QSize size)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("svg") && suffix != QLatin1String("pdf") && suffix != QLatin1String("png"))
        return QStringLiteral("%1: the plot is written as .svg, .pdf or .png").arg(path);
    // Drawn in memory first: Qt's writers do not all say when a write falls
    // short, and the file is then written whole or not at all.
    QBuffer drawing;
    drawing.open(QIODevice::WriteOnly);
    const PhasePlot plot(data);
    bool drawn = false;
    if (suffix == QLatin1String("svg")) {
        QSvgGenerator generator;
        generator.setOutputDevice(&drawing);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(data.title);
        generator.setDescription(QStringLiteral("Temperature against X(2) with %1 markers").arg(data.markers.size()));
        QPainter painter;
        if (painter.begin(&generator)) {
            plot.paint(painter, QRectF(QPointF(0, 0), size));
            drawn = painter.end();
        }
    } else if (suffix == QLatin1String("pdf")) {
        QPdfWriter writer(&drawing);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setTitle(data.title);
        writer.setCreator(QStringLiteral("Orvane Experimental Labs"));
        QPainter painter;
        if (painter.begin(&writer)) {
            plot.paint(painter, QRectF(painter.viewport()));
            drawn = painter.end();
        }
    } else {
        QImage image(size * 2, QImage::Format_RGB32);
        image.setDevicePixelRatio(2);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            plot.paint(painter, QRectF(QPointF(0, 0), size));
        }
        drawn = image.save(&drawing, "PNG");
    }
    if (!drawn || drawing.data().isEmpty())
        return QStringLiteral("cannot draw %1").arg(path);
    return WholeFile::write(path, drawing.data());
}
