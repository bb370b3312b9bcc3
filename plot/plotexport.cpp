#include "plotexport.h"

#include "phaseplot.h"

#include <QFileInfo>
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
    const PhasePlot plot(data);
    if (suffix == QLatin1String("svg")) {
        QSvgGenerator generator;
        generator.setFileName(path);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(data.title);
        generator.setDescription(QStringLiteral("Temperature against X(2) with %1 markers").arg(data.markers.size()));
        QPainter painter;
        if (!painter.begin(&generator))
            return QStringLiteral("cannot write %1").arg(path);
        plot.paint(painter, QRectF(QPointF(0, 0), size));
        painter.end();
        return QFileInfo(path).size() > 0 ? QString() : QStringLiteral("cannot write %1").arg(path);
    }
    if (suffix == QLatin1String("pdf")) {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.setTitle(data.title);
        writer.setCreator(QStringLiteral("Orvane Experimental Labs"));
        QPainter painter;
        if (!painter.begin(&writer))
            return QStringLiteral("cannot write %1").arg(path);
        const QRect page = painter.viewport();
        plot.paint(painter, QRectF(page));
        painter.end();
        return QString();
    }
    if (suffix == QLatin1String("png")) {
        QImage image(size * 2, QImage::Format_RGB32);
        image.setDevicePixelRatio(2);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            plot.paint(painter, QRectF(QPointF(0, 0), size));
        }
        return image.save(path, "PNG") ? QString() : QStringLiteral("cannot write %1").arg(path);
    }
    return QStringLiteral("%1: the plot is written as .svg, .pdf or .png").arg(path);
}
