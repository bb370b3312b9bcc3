// Drawing: state records, shapes, clipping and regions, checked pixel by
// pixel on small images. Each picture is 100 x 100 logical units shown at
// 100 x 100 pixels unless a row says otherwise.
#include "metafilebuilder.h"
#include "renderhelpers.h"

#include <QPainter>
#include <QTest>

using Builder = MetafileBuilder;

namespace {

constexpr int nullPen = 5;
constexpr int hollowBrush = 1;

Builder filledWith(QColor color)
{
    Builder builder;
    builder.setWindow(0, 0, 100, 100).createPen(nullPen, 0, Qt::black).selectObject(0).createBrush(0, color).selectObject(1);
    return builder;
}

QByteArray regionRecord(QRect rect)
{
    // One scan holding one rectangle.
    return Builder::words({0, 6, 1, 0, 22, 1, 2, rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1, 2,
                           rect.top(), rect.bottom() + 1, rect.left(), rect.right() + 1, 2});
}

} // namespace

class TestWmfDrawing : public QObject
{
    Q_OBJECT

private slots:
    void pixels_data();
    void pixels();
    void fittedRect_data();
    void fittedRect();
    void rendersAtHighDevicePixelRatio();
    void keepsOutsideTheTarget();
};

void TestWmfDrawing::pixels_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("expected");

    const QColor white(Qt::white);
    const QColor red(Qt::red);
    const QColor blue(Qt::blue);

    const QByteArray filledRectangle = filledWith(red).rectangle(QRect(10, 10, 80, 80)).bytes();
    QTest::addRow("rectangle inside") << filledRectangle << QPoint(50, 50) << red;
    QTest::addRow("rectangle outside") << filledRectangle << QPoint(5, 5) << white;

    const QByteArray outlined = Builder().setWindow(0, 0, 100, 100).createPen(0, 4, blue).selectObject(0)
                                    .createBrush(hollowBrush, red).selectObject(1).rectangle(QRect(10, 10, 80, 80)).bytes();
    QTest::addRow("hollow brush leaves the inside") << outlined << QPoint(50, 50) << white;
    QTest::addRow("pen draws the outline") << outlined << QPoint(10, 50) << blue;

    const QByteArray ellipse = filledWith(red).ellipse(QRect(10, 10, 80, 80)).bytes();
    QTest::addRow("ellipse centre") << ellipse << QPoint(50, 50) << red;
    QTest::addRow("ellipse leaves its corners") << ellipse << QPoint(14, 14) << white;

    const QByteArray triangle = filledWith(red).polygon({{0, 0}, {100, 0}, {0, 100}}).bytes();
    QTest::addRow("polygon inside") << triangle << QPoint(20, 20) << red;
    QTest::addRow("polygon outside") << triangle << QPoint(80, 80) << white;

    const auto square = [](Builder builder) {
        return builder.rawRecord(0x0538, Builder::words({2, 4, 4, 0, 0, 100, 0, 100, 100, 0, 100,
                                                         30, 30, 70, 30, 70, 70, 30, 70}));
    };
    QTest::addRow("alternate fill leaves the hole") << square(filledWith(red)).bytes() << QPoint(50, 50) << white;
    QTest::addRow("winding fill covers the hole")
        << square(filledWith(red).record(0x0106, {2})).bytes() << QPoint(50, 50) << red;
    QTest::addRow("poly-polygon ring") << square(filledWith(red)).bytes() << QPoint(15, 50) << red;

    const QByteArray flipped = filledWith(red).setWindow(0, 100, 100, -100).rectangle(QRect(0, 0, 100, 30)).bytes();
    QTest::addRow("flipped axis puts low y at the bottom") << flipped << QPoint(50, 85) << red;
    QTest::addRow("flipped axis leaves the top") << flipped << QPoint(50, 15) << white;

    const QByteArray twips = Builder(Builder::Header::Placeable, QRect(0, 0, 1000, 1000), 960)
                                 .setWindow(0, 0, 1000, 1000).createBrush(0, red).selectObject(0)
                                 .rectangle(QRect(0, 0, 500, 1000)).bytes();
    QTest::addRow("window extent without a mapping mode, left") << twips << QPoint(25, 50) << red;
    QTest::addRow("window extent without a mapping mode, right") << twips << QPoint(75, 50) << white;

    QTest::addRow("placeable box in other units than the window")
        << Builder(Builder::Header::Placeable, QRect(0, 0, 1440, 1440), 1440).setWindow(0, 0, 10, 10)
               .createBrush(0, red).selectObject(0).rectangle(QRect(5, 0, 5, 10)).bytes()
        << QPoint(75, 50) << red;
    QTest::addRow("anisotropic window after drawing starts")
        << filledWith(red).record(0x0103, {8}).setWindow(0, 0, 200, 100).rectangle(QRect(100, 0, 100, 100)).bytes()
        << QPoint(75, 50) << red;

    QTest::addRow("deleted brush still selected")
        << filledWith(red).deleteObject(1).rectangle(QRect(0, 0, 100, 100)).bytes() << QPoint(50, 50) << red;
    QTest::addRow("restore re-selects a deleted brush")
        << filledWith(red).record(0x001E, {}).createBrush(0, blue).selectObject(2).deleteObject(1)
               .record(0x0127, {-1}).rectangle(QRect(0, 0, 100, 100)).bytes()
        << QPoint(50, 50) << red;
    QTest::addRow("new object fills the lowest free slot")
        << filledWith(red).selectObject(0).deleteObject(1).createBrush(0, blue).selectObject(1)
               .rectangle(QRect(0, 0, 100, 100)).bytes()
        << QPoint(50, 50) << blue;

    QTest::addRow("intersect clip keeps the inside")
        << filledWith(red).record(0x0416, {100, 50, 0, 0}).rectangle(QRect(0, 0, 100, 100)).bytes() << QPoint(25, 50) << red;
    QTest::addRow("intersect clip cuts the outside")
        << filledWith(red).record(0x0416, {100, 50, 0, 0}).rectangle(QRect(0, 0, 100, 100)).bytes() << QPoint(75, 50) << white;
    QTest::addRow("exclude clip cuts the inside")
        << filledWith(red).record(0x0415, {100, 50, 0, 0}).rectangle(QRect(0, 0, 100, 100)).bytes() << QPoint(25, 50) << white;
    QTest::addRow("offset clip moves it")
        << filledWith(red).record(0x0416, {100, 50, 0, 0}).record(0x0220, {0, 50}).rectangle(QRect(0, 0, 100, 100)).bytes()
        << QPoint(75, 50) << red;
    QTest::addRow("restore drops the clip")
        << filledWith(red).record(0x001E, {}).record(0x0416, {100, 50, 0, 0}).record(0x0127, {-1})
               .rectangle(QRect(0, 0, 100, 100)).bytes()
        << QPoint(75, 50) << red;

    QTest::addRow("pie covers its quarter")
        << filledWith(red).record(0x081A, {0, 50, 50, 100, 100, 100, 0, 0}).bytes() << QPoint(70, 30) << red;
    QTest::addRow("pie leaves the rest")
        << filledWith(red).record(0x081A, {0, 50, 50, 100, 100, 100, 0, 0}).bytes() << QPoint(30, 70) << white;
    QTest::addRow("chord leaves the centre side")
        << filledWith(red).record(0x0830, {0, 50, 50, 100, 100, 100, 0, 0}).bytes() << QPoint(60, 40) << white;
    QTest::addRow("round rectangle corner")
        << filledWith(red).record(0x061C, {60, 60, 100, 100, 0, 0}).bytes() << QPoint(3, 3) << white;
    QTest::addRow("round rectangle middle")
        << filledWith(red).record(0x061C, {60, 60, 100, 100, 0, 0}).bytes() << QPoint(50, 3) << red;

    QTest::addRow("thick line")
        << Builder().createPen(0, 10, blue).selectObject(0).record(0x0214, {50, 0}).record(0x0213, {50, 100}).bytes()
        << QPoint(50, 53) << blue;
    QTest::addRow("no-op raster operation draws nothing")
        << filledWith(red).record(0x0104, {11}).rectangle(QRect(0, 0, 100, 100)).bytes() << QPoint(50, 50) << white;
    QTest::addRow("black raster operation")
        << filledWith(red).record(0x0104, {1}).rectangle(QRect(0, 0, 100, 100)).bytes() << QPoint(50, 50) << QColor(Qt::black);
    QTest::addRow("pattern fill")
        << filledWith(red).rawRecord(0x061D, QByteArray::fromHex("2100f000") + Builder::words({100, 100, 0, 0})).bytes()
        << QPoint(50, 50) << red;
    QTest::addRow("whiteness pattern fill")
        << filledWith(red).rectangle(QRect(0, 0, 100, 100))
               .rawRecord(0x061D, QByteArray::fromHex("6200ff00") + Builder::words({50, 50, 0, 0})).bytes()
        << QPoint(25, 25) << white;
    QTest::addRow("set pixel")
        << Builder().rawRecord(0x041F, Builder::colorReference(blue) + Builder::words({40, 40})).bytes()
        << QPoint(40, 40) << blue;

    QTest::addRow("fill region")
        << filledWith(blue).rawRecord(0x06FF, regionRecord(QRect(20, 20, 60, 60))).createBrush(0, red)
               .record(0x0228, {2, 3}).bytes()
        << QPoint(50, 50) << red;
    QTest::addRow("fill region stays inside")
        << filledWith(blue).rawRecord(0x06FF, regionRecord(QRect(20, 20, 60, 60))).createBrush(0, red)
               .record(0x0228, {2, 3}).bytes()
        << QPoint(10, 10) << white;
    QTest::addRow("paint region with the selected brush")
        << filledWith(red).rawRecord(0x06FF, regionRecord(QRect(20, 20, 60, 60))).record(0x012B, {2}).bytes()
        << QPoint(50, 50) << red;
    QTest::addRow("frame region leaves the middle")
        << filledWith(blue).rawRecord(0x06FF, regionRecord(QRect(20, 20, 60, 60))).createBrush(0, red)
               .record(0x0429, {2, 3, 5, 5}).bytes()
        << QPoint(50, 50) << white;
    QTest::addRow("frame region draws the edge")
        << filledWith(blue).rawRecord(0x06FF, regionRecord(QRect(20, 20, 60, 60))).createBrush(0, red)
               .record(0x0429, {2, 3, 5, 5}).bytes()
        << QPoint(22, 50) << red;
    QTest::addRow("invert region")
        << filledWith(red).rawRecord(0x06FF, regionRecord(QRect(0, 0, 100, 100))).record(0x012A, {2}).bytes()
        << QPoint(50, 50) << QColor(Qt::black);
    QTest::addRow("clip to a region")
        << filledWith(red).rawRecord(0x06FF, regionRecord(QRect(0, 0, 50, 100))).record(0x012C, {2})
               .rectangle(QRect(0, 0, 100, 100)).bytes()
        << QPoint(75, 50) << white;
    QTest::addRow("region 0 removes the clip")
        << filledWith(red).rawRecord(0x06FF, regionRecord(QRect(0, 0, 50, 100))).record(0x012C, {2}).record(0x012C, {0})
               .rectangle(QRect(0, 0, 100, 100)).bytes()
        << QPoint(75, 50) << red;
}

void TestWmfDrawing::pixels()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QPoint, point);
    QFETCH(QColor, expected);
    const QImage image = renderMetafile(bytes);
    QVERIFY(!image.isNull());
    const QColor actual = image.pixelColor(point);
    QVERIFY2(isCloseTo(actual, expected), qPrintable(QStringLiteral("pixel %1,%2 is %3, expected %4")
                                                         .arg(point.x()).arg(point.y())
                                                         .arg(actual.name(), expected.name())));
}

void TestWmfDrawing::fittedRect_data()
{
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<QRectF>("target");
    QTest::addColumn<QRectF>("fitted");

    QTest::addRow("wide picture in a square") << QRect(0, 0, 200, 100) << QRectF(0, 0, 100, 100) << QRectF(0, 25, 100, 50);
    QTest::addRow("tall picture in a square") << QRect(0, 0, 50, 100) << QRectF(0, 0, 100, 100) << QRectF(25, 0, 50, 100);
    QTest::addRow("grows to fill") << QRect(0, 0, 10, 10) << QRectF(10, 20, 300, 100) << QRectF(110, 20, 100, 100);
    QTest::addRow("empty target") << QRect(0, 0, 10, 10) << QRectF(5, 5, 0, 40) << QRectF(5, 25, 0, 0);
}

void TestWmfDrawing::fittedRect()
{
    QFETCH(QRect, bounds);
    QFETCH(QRectF, target);
    QFETCH(QRectF, fitted);
    const wmf::ReadResult result = wmf::Picture::read(Builder(Builder::Header::Placeable, bounds).bytes());
    QVERIFY2(result.isValid(), qPrintable(result.error));
    QCOMPARE(result.picture->fittedRect(target), fitted);
}

void TestWmfDrawing::rendersAtHighDevicePixelRatio()
{
    const QByteArray bytes = filledWith(Qt::red).rectangle(QRect(10, 10, 80, 80)).bytes();
    const QImage image = renderMetafile(bytes, QSize(100, 100), 2.0);
    QCOMPARE(image.size(), QSize(200, 200));
    // The rectangle's edge lies at pixel 20 of 200: drawn as a vector at the
    // full resolution, not a scaled 1x picture.
    QVERIFY(isCloseTo(image.pixelColor(19, 100), Qt::white, 8));
    QVERIFY(isCloseTo(image.pixelColor(21, 100), Qt::red, 8));
}

void TestWmfDrawing::keepsOutsideTheTarget()
{
    // Drawing beyond the picture's box is clipped to the fitted rectangle,
    // and the painter comes back as it was given.
    const wmf::ReadResult result = wmf::Picture::read(
        filledWith(Qt::red).rectangle(QRect(-500, -500, 2000, 2000)).bytes());
    QVERIFY2(result.isValid(), qPrintable(result.error));
    QImage image(300, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::green);
    result.picture->render(painter, QRectF(0, 0, 300, 100));
    QCOMPARE(painter.pen().color(), QColor(Qt::green));
    QVERIFY(!painter.hasClipping());
    painter.end();
    QVERIFY(isCloseTo(image.pixelColor(150, 50), Qt::red));
    QVERIFY(isCloseTo(image.pixelColor(50, 50), Qt::white));
    QVERIFY(isCloseTo(image.pixelColor(250, 50), Qt::white));
}

QTEST_MAIN(TestWmfDrawing)
#include "tst_wmfdrawing.moc"
