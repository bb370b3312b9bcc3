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
const QColor white(Qt::white);
const QColor red(Qt::red);
const QColor blue(Qt::blue);
const QColor black(Qt::black);
const QRect everything(0, 0, 100, 100);

Builder filledWith(QColor color)
{
    Builder builder;
    builder.setWindow(0, 0, 100, 100).createPen(nullPen, 0, Qt::black).selectObject(0).createBrush(0, color).selectObject(1);
    return builder;
}

// filledWith(color), then a region of one rectangle as object 2.
Builder withRegion(QColor color, QRect rect)
{
    // One scan holding one rectangle.
    return filledWith(color).rawRecord(0x06FF, Builder::words({0, 6, 1, 0, 22, 1, 2, rect.left(), rect.top(),
                                                               rect.right() + 1, rect.bottom() + 1, 2, rect.top(),
                                                               rect.bottom() + 1, rect.left(), rect.right() + 1, 2}));
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
    void damagedRecordCostsOnlyItself_data();
    void damagedRecordCostsOnlyItself();
};

void TestWmfDrawing::pixels_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Probes>("probes");

    QTest::addRow("rectangle") << filledWith(red).rectangle(QRect(10, 10, 80, 80)).bytes()
                               << Probes{{{50, 50}, red}, {{5, 5}, white}};
    QTest::addRow("hollow brush and a pen outline")
        << Builder().setWindow(0, 0, 100, 100).createPen(0, 4, blue).selectObject(0).createBrush(hollowBrush, red)
               .selectObject(1).rectangle(QRect(10, 10, 80, 80)).bytes()
        << Probes{{{50, 50}, white}, {{10, 50}, blue}};
    QTest::addRow("ellipse leaves its corners") << filledWith(red).ellipse(QRect(10, 10, 80, 80)).bytes()
                                                << Probes{{{50, 50}, red}, {{14, 14}, white}};
    QTest::addRow("polygon") << filledWith(red).polygon({{0, 0}, {100, 0}, {0, 100}}).bytes()
                             << Probes{{{20, 20}, red}, {{80, 80}, white}};
    QTest::addRow("polyline stays open")
        << Builder().setWindow(0, 0, 100, 100).createPen(0, 10, blue).selectObject(0)
               .rawRecord(0x0325, Builder::words({3, 10, 10, 90, 10, 90, 90})).bytes()
        << Probes{{{90, 50}, blue}, {{50, 50}, white}};
    QTest::addRow("polygon outline closes back to its first point")
        << Builder().setWindow(0, 0, 100, 100).createPen(0, 6, blue).selectObject(0).createBrush(hollowBrush, red)
               .selectObject(1).polygon({{10, 10}, {90, 10}, {90, 90}}).bytes()
        << Probes{{{50, 50}, blue}, {{30, 60}, white}};

    const auto squares = [](Builder builder) {
        return builder.rawRecord(0x0538, Builder::words({2, 4, 4, 0, 0, 100, 0, 100, 100, 0, 100,
                                                         30, 30, 70, 30, 70, 70, 30, 70})).bytes();
    };
    QTest::addRow("poly-polygon with alternate fill leaves the hole")
        << squares(filledWith(red)) << Probes{{{50, 50}, white}, {{15, 50}, red}};
    QTest::addRow("winding fill covers the hole") << squares(filledWith(red).record(0x0106, {2})) << Probes{{{50, 50}, red}};

    QTest::addRow("flipped axis puts low y at the bottom")
        << filledWith(red).setWindow(0, 100, 100, -100).rectangle(QRect(0, 0, 100, 30)).bytes()
        << Probes{{{50, 85}, red}, {{50, 15}, white}};
    QTest::addRow("placeable box in other units than the window, no mapping mode")
        << Builder(Builder::Header::Placeable, QRect(0, 0, 1440, 1440), 1440).setWindow(0, 0, 10, 10)
               .createBrush(0, red).selectObject(0).rectangle(QRect(5, 0, 5, 10)).bytes()
        << Probes{{{75, 50}, red}, {{25, 50}, white}};
    QTest::addRow("anisotropic mode before the window: the window is the picture")
        << Builder().record(0x0103, {8}).setWindow(0, 0, 200, 100).createBrush(0, red).selectObject(0)
               .rectangle(QRect(100, 0, 100, 100)).bytes()
        << Probes{{{75, 50}, red}, {{25, 50}, white}};
    QTest::addRow("anisotropic window after drawing starts")
        << filledWith(red).record(0x0103, {8}).setWindow(0, 0, 200, 100).rectangle(QRect(100, 0, 100, 100)).bytes()
        << Probes{{{75, 50}, red}};

    QTest::addRow("deleted brush still selected")
        << filledWith(red).deleteObject(1).rectangle(everything).bytes() << Probes{{{50, 50}, red}};
    QTest::addRow("restore re-selects a deleted brush")
        << filledWith(red).record(0x001E, {}).createBrush(0, blue).selectObject(2).deleteObject(1)
               .record(0x0127, {-1}).rectangle(everything).bytes()
        << Probes{{{50, 50}, red}};
    QTest::addRow("restore to an absolute level")
        << filledWith(red).record(0x001E, {}).createBrush(0, blue).selectObject(2).record(0x001E, {})
               .record(0x0127, {1}).rectangle(everything).bytes()
        << Probes{{{50, 50}, red}};
    QTest::addRow("window scaled to twice its extent")
        << filledWith(red).record(0x0410, {1, 2, 1, 2}).rectangle(everything).bytes()
        << Probes{{{25, 25}, red}, {{75, 75}, white}};
    QTest::addRow("first window with an origin")
        << Builder().setWindow(50, 50, 100, 100).createPen(nullPen, 0, Qt::black).selectObject(0)
               .createBrush(0, red).selectObject(1).rectangle(QRect(50, 50, 50, 50)).bytes()
        << Probes{{{25, 25}, red}, {{75, 75}, white}};
    QTest::addRow("placeable box moved by a window origin, no window extent")
        << Builder(Builder::Header::Placeable, QRect(50, 50, 100, 100), 100).record(0x020B, {50, 50})
               .createBrush(0, red).selectObject(0).rectangle(QRect(50, 50, 50, 50)).bytes()
        << Probes{{{25, 25}, red}, {{75, 75}, white}};
    QTest::addRow("lines go on from where the last ended")
        << Builder().createPen(0, 10, blue).selectObject(0).record(0x0214, {10, 10}).record(0x0213, {10, 90})
               .record(0x0213, {90, 90}).bytes()
        << Probes{{{90, 50}, blue}, {{50, 50}, white}};
    QTest::addRow("new object fills the lowest free slot")
        << filledWith(red).selectObject(0).deleteObject(1).createBrush(0, blue).selectObject(1).rectangle(everything).bytes()
        << Probes{{{50, 50}, blue}};

    QTest::addRow("intersect clip") << filledWith(red).record(0x0416, {100, 50, 0, 0}).rectangle(everything).bytes()
                                    << Probes{{{25, 50}, red}, {{75, 50}, white}};
    QTest::addRow("exclude clip cuts the inside")
        << filledWith(red).record(0x0415, {100, 50, 0, 0}).rectangle(everything).bytes() << Probes{{{25, 50}, white}};
    QTest::addRow("offset clip moves it")
        << filledWith(red).record(0x0416, {100, 50, 0, 0}).record(0x0220, {0, 50}).rectangle(everything).bytes()
        << Probes{{{75, 50}, red}};
    // A second window of half the extent: a logical unit is two device units.
    QTest::addRow("offset clip in logical units")
        << filledWith(red).setWindow(0, 0, 50, 50).record(0x0416, {25, 25, 0, 0}).record(0x0220, {25, 0})
               .rectangle(everything).bytes()
        << Probes{{{25, 75}, red}, {{25, 25}, white}, {{75, 75}, white}};
    QTest::addRow("restore drops the clip")
        << filledWith(red).record(0x001E, {}).record(0x0416, {100, 50, 0, 0}).record(0x0127, {-1})
               .rectangle(everything).bytes()
        << Probes{{{75, 50}, red}};

    QTest::addRow("pie covers its quarter") << filledWith(red).record(0x081A, {0, 50, 50, 100, 100, 100, 0, 0}).bytes()
                                            << Probes{{{70, 30}, red}, {{30, 70}, white}};
    QTest::addRow("chord leaves the centre side")
        << filledWith(red).record(0x0830, {0, 50, 50, 100, 100, 100, 0, 0}).bytes() << Probes{{{60, 40}, white}};
    QTest::addRow("round rectangle") << filledWith(red).record(0x061C, {60, 60, 100, 100, 0, 0}).bytes()
                                     << Probes{{{3, 3}, white}, {{50, 3}, red}};
    QTest::addRow("thick line")
        << Builder().createPen(0, 10, blue).selectObject(0).record(0x0214, {50, 0}).record(0x0213, {50, 100}).bytes()
        << Probes{{{50, 53}, blue}};
    QTest::addRow("no-op raster operation draws nothing")
        << filledWith(red).record(0x0104, {11}).rectangle(everything).bytes() << Probes{{{50, 50}, white}};
    QTest::addRow("black raster operation")
        << filledWith(red).record(0x0104, {1}).rectangle(everything).bytes() << Probes{{{50, 50}, black}};
    QTest::addRow("pattern fill")
        << filledWith(red).rawRecord(0x061D, QByteArray::fromHex("2100f000") + Builder::words({100, 100, 0, 0})).bytes()
        << Probes{{{50, 50}, red}};
    QTest::addRow("whiteness pattern fill")
        << filledWith(red).rectangle(everything)
               .rawRecord(0x061D, QByteArray::fromHex("6200ff00") + Builder::words({50, 50, 0, 0})).bytes()
        << Probes{{{25, 25}, white}};
    QTest::addRow("set pixel") << Builder().rawRecord(0x041F, Builder::colorReference(blue) + Builder::words({40, 40})).bytes()
                               << Probes{{{40, 40}, blue}};

    const QRect middle(20, 20, 60, 60);
    QTest::addRow("fill region") << withRegion(blue, middle).createBrush(0, red).record(0x0228, {2, 3}).bytes()
                                 << Probes{{{50, 50}, red}, {{10, 10}, white}};
    QTest::addRow("paint region with the selected brush")
        << withRegion(red, middle).record(0x012B, {2}).bytes() << Probes{{{50, 50}, red}};
    QTest::addRow("frame region") << withRegion(blue, middle).createBrush(0, red).record(0x0429, {2, 3, 5, 5}).bytes()
                                  << Probes{{{50, 50}, white}, {{22, 50}, red}};
    QTest::addRow("invert region") << withRegion(red, everything).record(0x012A, {2}).bytes() << Probes{{{50, 50}, black}};
    QTest::addRow("clip to a region")
        << withRegion(red, QRect(0, 0, 50, 100)).record(0x012C, {2}).rectangle(everything).bytes()
        << Probes{{{75, 50}, white}};
    QTest::addRow("region 0 removes the clip")
        << withRegion(red, QRect(0, 0, 50, 100)).record(0x012C, {2}).record(0x012C, {0}).rectangle(everything).bytes()
        << Probes{{{75, 50}, red}};
}

void TestWmfDrawing::pixels()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Probes, probes);
    verifyProbes(bytes, probes);
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
    const QImage image = renderMetafile(filledWith(red).rectangle(QRect(10, 10, 80, 80)).bytes(), QSize(100, 100), 2.0);
    QCOMPARE(image.size(), QSize(200, 200));
    // The rectangle's edge lies at pixel 20 of 200: drawn as a vector at the
    // full resolution, not a scaled 1x picture.
    QVERIFY(isCloseTo(image.pixelColor(19, 100), white, 8));
    QVERIFY(isCloseTo(image.pixelColor(21, 100), red, 8));
}

void TestWmfDrawing::keepsOutsideTheTarget()
{
    // Drawing beyond the picture's box is clipped to the fitted rectangle,
    // and the painter comes back as it was given.
    const wmf::ReadResult result = wmf::Picture::read(filledWith(red).rectangle(QRect(-500, -500, 2000, 2000)).bytes());
    QVERIFY2(result.isValid(), qPrintable(result.error));
    QImage image(300, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::green);
    result.picture->render(painter, QRectF(0, 0, 300, 100));
    QCOMPARE(painter.pen().color(), QColor(Qt::green));
    QVERIFY(!painter.hasClipping());
    painter.end();
    QVERIFY(isCloseTo(image.pixelColor(150, 50), red));
    QVERIFY(isCloseTo(image.pixelColor(50, 50), white));
    QVERIFY(isCloseTo(image.pixelColor(250, 50), white));
}

// A record damaged inside its own bounds is skipped with a warning, and the
// picture draws exactly as it would without that record.
void TestWmfDrawing::damagedRecordCostsOnlyItself_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<QByteArray>("parameters");
    QTest::addColumn<QString>("warningPart");

    const QByteArray stretch = QByteArray::fromHex("2000cc00") + Builder::words({0, 64, 64, 0, 0, 100, 100, 0, 0});
    QTest::addRow("bitmap shorter than its header says")
        << 0x0F43 << stretch + Builder::dib(64, 64, 24, {}, {}) + QByteArray(100, '\0') << "bitmap pixels are truncated";
    QTest::addRow("bitmap of an unknown depth")
        << 0x0F43 << stretch + Builder::dib(2, 2, 7, {}, {}) + QByteArray(64, '\0') << "depth of 7";
    QTest::addRow("point count past the record") << 0x0324 << Builder::words({30000, 1, 1, 5, 5}) << "30000 points";
    QTest::addRow("object index that names nothing") << 0x012D << Builder::words({500}) << "object index 500";
    QTest::addRow("unknown record") << 0x0777 << Builder::words({1, 2, 3}) << "0x0777 unknown";
    QTest::addRow("window extent with a zero side") << 0x020C << Builder::words({0, 100}) << "zero side";
    QTest::addRow("text past the record") << 0x0521 << Builder::words({4000}) + "ab" + Builder::words({0, 0})
                                          << "text of 4000 bytes";
}

void TestWmfDrawing::damagedRecordCostsOnlyItself()
{
    QFETCH(int, function);
    QFETCH(QByteArray, parameters);
    QFETCH(QString, warningPart);
    // The damaged record lies between the two shapes.
    const auto picture = [&](bool withDamage) {
        Builder builder = filledWith(red);
        builder.rectangle(QRect(10, 10, 50, 50));
        if (withDamage)
            builder.rawRecord(std::uint16_t(function), parameters);
        return builder.createBrush(0, blue).selectObject(2).ellipse(QRect(40, 40, 50, 50)).bytes();
    };
    const wmf::ReadResult result = wmf::Picture::read(picture(true));
    QVERIFY2(result.isValid(), qPrintable(result.error));
    QCOMPARE(result.picture->warnings().size(), 1);
    QVERIFY2(result.picture->warnings().first().contains(warningPart), qPrintable(result.picture->warnings().first()));
    QCOMPARE(renderMetafile(picture(true)), renderMetafile(picture(false)));
}

QTEST_MAIN(TestWmfDrawing)
#include "tst_wmfdrawing.moc"
