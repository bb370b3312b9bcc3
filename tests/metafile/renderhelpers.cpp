#include "renderhelpers.h"

#include <QDebug>
#include <QPainter>
#include <QTest>

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

void verifyProbes(const QByteArray &bytes, const Probes &probes, QSize logicalSize, int tolerance)
{
    const QImage image = renderMetafile(bytes, logicalSize);
    QVERIFY(!image.isNull());
    for (const auto &[point, expected] : probes) {
        const QColor actual = image.pixelColor(point);
        QVERIFY2(isCloseTo(actual, expected, tolerance),
                 qPrintable(QStringLiteral("pixel %1,%2 is %3, expected %4")
                                .arg(point.x()).arg(point.y()).arg(actual.name(), expected.name())));
    }
}

void verifyRejected(const QByteArray &bytes, const QString &errorPart)
{
    const wmf::ReadResult result = wmf::Picture::read(bytes);
    QVERIFY(!result.isValid());
    QVERIFY2(result.error.contains(errorPart), qPrintable(result.error));
    QVERIFY(!result.error.contains(QLatin1Char('\n')));
}
