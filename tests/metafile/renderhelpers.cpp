#include "renderhelpers.h"

#include <QDebug>
#include <QPainter>

QImage renderMetafile(const QByteArray &bytes, QSize logicalSize, qreal devicePixelRatio)
{
    const wmf::ReadResult result = wmf::Picture::read(bytes);
    if (!result.isValid()) {
        qWarning() << "rejected:" << result.error;
        return {};
    }
    QImage image(logicalSize * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    result.picture->render(painter, QRectF(QPointF(0, 0), QSizeF(logicalSize)));
    painter.end();
    return image;
}

bool isCloseTo(QColor actual, QColor expected, int tolerance)
{
    return qAbs(actual.red() - expected.red()) <= tolerance && qAbs(actual.green() - expected.green()) <= tolerance
        && qAbs(actual.blue() - expected.blue()) <= tolerance;
}
