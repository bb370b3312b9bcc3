// The metafile writer: a drawing written here and read back by the
// project's own reader must show the same pixels; the framing that the
// reader tolerates but other players rely on (checksum, sizes in the
// header) is checked by walking the bytes independently.

#include "wmfpicture.h"
#include "wmfwriter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <functional>

using wmf::Writer;
using WriterCall = std::function<void(Writer &)>;
Q_DECLARE_METATYPE(WriterCall)

namespace {

constexpr int placeableHeaderBytes = 22;
constexpr int standardHeaderBytes = 18;

quint32 valueAt(const QByteArray &bytes, int offset, int size = 2)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[offset + i]);
    return value;
}

// Walks the records: their sizes must add up to the file and end with EOF,
// and the header's file size, largest record and placeable checksum must
// agree with what the walk finds (Windows players trust all three).
void verifyFraming(const QByteArray &bytes)
{
    quint16 checksum = 0;
    for (int word = 0; word < 10; ++word)
        checksum ^= quint16(valueAt(bytes, 2 * word));
    QCOMPARE(valueAt(bytes, 20), quint32(checksum));
    int offset = placeableHeaderBytes + standardHeaderBytes;
    quint32 largest = 0;
    for (quint32 words = 0, function = 1; function != 0; offset += int(words) * 2) {
        QVERIFY2(offset + 6 <= bytes.size(), "the stream does not end with an EOF record");
        words = valueAt(bytes, offset, 4);
        function = valueAt(bytes, offset + 4);
        QVERIFY2(words >= 3 && offset + qint64(words) * 2 <= bytes.size(), "a record runs past the end");
        largest = std::max(largest, words);
    }
    QCOMPARE(offset, bytes.size());
    QCOMPARE(valueAt(bytes, placeableHeaderBytes + 6, 4), quint32((bytes.size() - placeableHeaderBytes) / 2));
    QCOMPARE(valueAt(bytes, placeableHeaderBytes + 12, 4), largest);
}

} // namespace

class TestWmfWriter : public QObject
{
    Q_OBJECT

private slots:
    void readerDrawsTheSamePixels();
    void objectSlotsAreReused();
    void misuseMakesTheFileInvalid_data();
    void misuseMakesTheFileInvalid();
};

void TestWmfWriter::readerDrawsTheSamePixels()
{
    // Solid shapes in distinct colours on a 1000 x 1000 twip window, each
    // large enough that its middle is far from any edge.
    Writer writer(QRect(0, 0, 1000, 1000));
    writer.setMapMode(Writer::MapMode::Anisotropic);
    writer.setWindowOrigin({0, 0});
    writer.setWindowExtent({1000, 1000});
    writer.setPolyFillMode(Writer::PolyFillMode::Winding);
    writer.setBackgroundMode(Writer::BackgroundMode::Transparent);
    writer.selectObject(writer.createPen(Writer::PenStyle::Null, 0, QColor(Qt::black)));
    const auto fill = [&writer](QRgb colour, Writer::BrushStyle style = Writer::BrushStyle::Solid) {
        writer.selectObject(writer.createBrush(style, QColor(colour), Writer::HatchStyle::Cross));
    };
    fill(0xFFFFFFFF);
    writer.drawRectangle(QRect(0, 0, 1000, 1000));
    fill(0xFFD02020);
    writer.drawRectangle(QRect(50, 50, 400, 400));
    fill(0xFF2050D0);
    writer.drawEllipse(QRect(550, 50, 400, 400));
    fill(0xFF20A040);
    // The triangle goes round twice: only the winding rule fills it.
    writer.drawPolygon(QPolygon{{50, 950}, {450, 950}, {250, 550}, {50, 950}, {450, 950}, {250, 550}});
    fill(0xFFE0C020);
    writer.drawRoundedRectangle(QRect(550, 550, 400, 400), QSize(100, 100));
    // A hatched brush over the red square: transparent gaps show the red.
    fill(0xFF000000, Writer::BrushStyle::Hatched);
    writer.drawRectangle(QRect(100, 300, 300, 100));
    writer.selectObject(writer.createPen(Writer::PenStyle::Solid, 60, QColor(0xFF8000C0)));
    writer.drawPolyline(QPolygon{{500, 0}, {500, 1000}});
    QVERIFY(writer.isValid());
    const QByteArray bytes = writer.toByteArray();
    verifyFraming(bytes);

    const wmf::ReadResult result = wmf::Picture::read(bytes);
    QVERIFY2(result.isValid(), qPrintable(result.error));
    QCOMPARE(result.picture->naturalSize(), QSizeF(1000 * 96 / 1440.0, 1000 * 96 / 1440.0));
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        result.picture->render(painter, QRectF(0, 0, 200, 200));
    }
    // Pixel (x, y) covers twips 5x .. 5x + 5.
    const struct
    {
        QPoint pixel;
        QRgb colour;
    } expected[] = {
        {{5, 5}, 0xFFFFFFFF},     {{195, 195}, 0xFFFFFFFF}, {{50, 50}, 0xFFD02020},
        {{150, 50}, 0xFF2050D0},  {{50, 160}, 0xFF20A040},  {{150, 150}, 0xFFE0C020},
        {{112, 12}, 0xFFFFFFFF},  // outside the ellipse, inside its box
        {{111, 111}, 0xFFFFFFFF}, // cut off by the rounded corner
        {{20, 120}, 0xFFFFFFFF},  // beside the triangle
        {{100, 100}, 0xFF8000C0}, // the thick pen of the line
    };
    for (const auto &[pixel, colour] : expected) {
        QVERIFY2(image.pixel(pixel) == colour,
                 qPrintable(QStringLiteral("pixel %1,%2 is %3, expected %4")
                                .arg(pixel.x()).arg(pixel.y())
                                .arg(image.pixel(pixel), 8, 16).arg(colour, 8, 16)));
    }
    const QImage hatched = image.copy(25, 65, 50, 10);
    int red = 0;
    int black = 0;
    for (int y = 0; y < hatched.height(); ++y)
        for (int x = 0; x < hatched.width(); ++x) {
            red += hatched.pixel(x, y) == 0xFFD02020;
            black += qGray(hatched.pixel(x, y)) < 40;
        }
    QVERIFY2(red > 0 && black > 0, qPrintable(QStringLiteral("hatch: %1 red, %2 black").arg(red).arg(black)));
}

void TestWmfWriter::objectSlotsAreReused()
{
    // A player puts each new object in the lowest free slot; the indices the
    // writer hands out must match or later selections pick the wrong object.
    Writer writer(QRect(0, 0, 100, 100));
    const auto pen = writer.createPen(Writer::PenStyle::Solid, 1, QColor(Qt::black));
    const auto brush = writer.createBrush(Writer::BrushStyle::Solid, QColor(Qt::red));
    const auto other = writer.createBrush(Writer::BrushStyle::Null, QColor(Qt::black));
    QCOMPARE(QList<int>({pen, brush, other}), QList<int>({0, 1, 2}));
    writer.deleteObject(brush);
    const auto reused = writer.createPen(Writer::PenStyle::Null, 0, QColor(Qt::black));
    QCOMPARE(int(reused), 1);
    const auto fresh = writer.createPen(Writer::PenStyle::Null, 0, QColor(Qt::black));
    QCOMPARE(int(fresh), 3);
    writer.selectObject(fresh);
    QVERIFY(writer.isValid());
    // The header's object table must be large enough for slot 3.
    const wmf::ReadResult result = wmf::Picture::read(writer.toByteArray());
    QVERIFY2(result.isValid(), qPrintable(result.error));
}

void TestWmfWriter::misuseMakesTheFileInvalid_data()
{
    QTest::addColumn<QRect>("boundingBox");
    QTest::addColumn<WriterCall>("call");

    const QRect box(0, 0, 100, 100);
    QTest::addRow("bounding box beyond 16 bits") << QRect(0, 0, 1440, 40000) << WriterCall([](Writer &) {});
    QTest::addRow("coordinate beyond 16 bits")
        << box << WriterCall([](Writer &w) { w.drawRectangle(QRect(0, 0, 40000, 10)); });
    QTest::addRow("selecting an object never made") << box << WriterCall([](Writer &w) { w.selectObject(3); });
    QTest::addRow("deleting an object twice") << box << WriterCall([](Writer &w) {
        const auto brush = w.createBrush(Writer::BrushStyle::Solid, QColor(Qt::red));
        w.deleteObject(brush);
        w.deleteObject(brush);
    });
    QTest::addRow("too many polygon points") << box << WriterCall([](Writer &w) { w.drawPolygon(QPolygon(40000)); });
}

void TestWmfWriter::misuseMakesTheFileInvalid()
{
    QFETCH(QRect, boundingBox);
    QFETCH(WriterCall, call);
    Writer writer(boundingBox);
    call(writer);
    QVERIFY(!writer.isValid());
    // Still a well-formed stream, so a player that reads it does not run off.
    verifyFraming(writer.toByteArray());
}

QTEST_MAIN(TestWmfWriter)
#include "tst_wmfwriter.moc"
