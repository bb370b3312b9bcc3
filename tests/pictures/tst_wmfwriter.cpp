// The metafile writer: headers, record layout and object table, checked by
// parsing the bytes back here, and pixels through the project's reader.

#include "wmfwriter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <functional>

#if __has_include("wmfpicture.h")
#include "wmfpicture.h"
#define LAB_HAVE_WMF_READER 1
#endif

using wmf::RecordFunction;
using wmf::Writer;
using WriterCall = std::function<void(Writer &)>;
Q_DECLARE_METATYPE(WriterCall)

namespace {

constexpr int placeableHeaderBytes = 22;
constexpr int standardHeaderBytes = 18;

quint16 wordAt(const QByteArray &bytes, int offset)
{
    return quint16(quint8(bytes[offset]) | (quint8(bytes[offset + 1]) << 8));
}

quint32 doubleWordAt(const QByteArray &bytes, int offset)
{
    return wordAt(bytes, offset) | (quint32(wordAt(bytes, offset + 2)) << 16);
}

struct ParsedRecord
{
    quint16 function = 0;
    QList<quint16> parameters;
};

// Walks the record stream after the two headers; fails the test if a
// record's size runs past the end or the stream does not end with EOF.
QList<ParsedRecord> parseRecords(const QByteArray &bytes)
{
    QList<ParsedRecord> records;
    int offset = placeableHeaderBytes + standardHeaderBytes;
    while (offset + 6 <= bytes.size()) {
        const quint32 words = doubleWordAt(bytes, offset);
        if (words < 3 || offset + int(words) * 2 > bytes.size()) {
            QTest::qFail("record size runs past the end", __FILE__, __LINE__);
            return {};
        }
        ParsedRecord record;
        record.function = wordAt(bytes, offset + 4);
        for (quint32 i = 3; i < words; ++i)
            record.parameters.append(wordAt(bytes, offset + int(i) * 2));
        records.append(record);
        offset += int(words) * 2;
        if (record.function == quint16(RecordFunction::Eof))
            break;
    }
    if (offset != bytes.size() || records.isEmpty() || records.last().function != 0)
        QTest::qFail("stream does not end with a final EOF record", __FILE__, __LINE__);
    return records;
}

QList<quint16> words(std::initializer_list<int> values)
{
    QList<quint16> result;
    for (const int value : values)
        result.append(quint16(qint16(value)));
    return result;
}

} // namespace

class TestWmfWriter : public QObject
{
    Q_OBJECT

private slots:
    void headers_data();
    void headers();
    void records_data();
    void records();
    void objectSlotsAreReused();
    void misuseMakesTheFileInvalid_data();
    void misuseMakesTheFileInvalid();
    void readerDrawsTheSamePixels();
};

void TestWmfWriter::headers_data()
{
    QTest::addColumn<QRect>("boundingBox");
    QTest::addColumn<int>("polygonPoints");
    QTest::addColumn<int>("objects");

    QTest::addRow("empty picture") << QRect(0, 0, 1845, 2910) << 0 << 0;
    QTest::addRow("negative origin") << QRect(-100, -50, 400, 300) << 3 << 1;
    QTest::addRow("long polygon") << QRect(0, 0, 1440, 1440) << 500 << 2;
}

void TestWmfWriter::headers()
{
    QFETCH(QRect, boundingBox);
    QFETCH(int, polygonPoints);
    QFETCH(int, objects);

    Writer writer(boundingBox);
    writer.setMapMode(Writer::MapMode::Anisotropic);
    for (int i = 0; i < objects; ++i)
        writer.createBrush(Writer::BrushStyle::Solid, QColor(Qt::red));
    QPolygon polygon;
    for (int i = 0; i < polygonPoints; ++i)
        polygon << QPoint(i, 2 * i);
    if (polygonPoints > 0)
        writer.drawPolygon(polygon);
    const QByteArray bytes = writer.toByteArray();

    QVERIFY(writer.isValid());
    QCOMPARE(doubleWordAt(bytes, 0), wmf::placeableKey);
    QCOMPARE(qint16(wordAt(bytes, 6)), qint16(boundingBox.left()));
    QCOMPARE(qint16(wordAt(bytes, 8)), qint16(boundingBox.top()));
    QCOMPARE(qint16(wordAt(bytes, 10)), qint16(boundingBox.x() + boundingBox.width()));
    QCOMPARE(qint16(wordAt(bytes, 12)), qint16(boundingBox.y() + boundingBox.height()));
    QCOMPARE(wordAt(bytes, 14), quint16(1440));
    QCOMPARE(doubleWordAt(bytes, 16), 0u);
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= wordAt(bytes, 2 * i);
    QCOMPARE(wordAt(bytes, 20), checksum);

    const int standard = placeableHeaderBytes;
    QCOMPARE(wordAt(bytes, standard), quint16(1));      // in-memory metafile
    QCOMPARE(wordAt(bytes, standard + 2), quint16(9));  // header words
    QCOMPARE(wordAt(bytes, standard + 4), quint16(0x0300));
    QCOMPARE(doubleWordAt(bytes, standard + 6), quint32((bytes.size() - standard) / 2));
    QCOMPARE(wordAt(bytes, standard + 10), quint16(objects));
    const quint32 largest = polygonPoints > 0 ? 4 + 2 * polygonPoints : (objects > 0 ? 7 : 4);
    QCOMPARE(doubleWordAt(bytes, standard + 12), largest);
    QCOMPARE(wordAt(bytes, standard + 16), quint16(0));

    const QList<ParsedRecord> records = parseRecords(bytes);
    QCOMPARE(records.size(), writer.recordCount() + 1);
}

void TestWmfWriter::records_data()
{
    QTest::addColumn<WriterCall>("call");
    QTest::addColumn<int>("function");
    QTest::addColumn<QList<quint16>>("parameters");

    const auto row = [](const char *name, WriterCall call,
                        RecordFunction function, QList<quint16> parameters) {
        QTest::addRow("%s", name) << call << int(function) << parameters;
    };
    row("window origin, y first", [](Writer &w) { w.setWindowOrigin({-20, 35}); },
        RecordFunction::SetWindowOrg, words({35, -20}));
    row("window extent, height first", [](Writer &w) { w.setWindowExtent({1845, 2910}); },
        RecordFunction::SetWindowExt, words({2910, 1845}));
    row("anisotropic map mode", [](Writer &w) { w.setMapMode(Writer::MapMode::Anisotropic); },
        RecordFunction::SetMapMode, words({8}));
    row("transparent background",
        [](Writer &w) { w.setBackgroundMode(Writer::BackgroundMode::Transparent); },
        RecordFunction::SetBackgroundMode, words({1}));
    row("winding fill", [](Writer &w) { w.setPolyFillMode(Writer::PolyFillMode::Winding); },
        RecordFunction::SetPolyFillMode, words({2}));
    row("pen: style, width point, colour as red-green-blue bytes",
        [](Writer &w) { w.createPen(Writer::PenStyle::Dash, 14, QColor(0x12, 0x34, 0x56)); },
        RecordFunction::CreatePenIndirect, words({1, 14, 0, 0x3412, 0x0056}));
    row("hatched brush", [](Writer &w) {
            w.createBrush(Writer::BrushStyle::Hatched, QColor(0xAB, 0xCD, 0xEF),
                          Writer::HatchStyle::DiagonalCross);
        },
        RecordFunction::CreateBrushIndirect, words({2, 0xCDAB, 0x00EF, 5}));
    row("polygon: count then x, y pairs",
        [](Writer &w) { w.drawPolygon(QPolygon{{1, 2}, {-3, 4}, {5, -6}}); },
        RecordFunction::Polygon, words({3, 1, 2, -3, 4, 5, -6}));
    row("polyline", [](Writer &w) { w.drawPolyline(QPolygon{{10, 20}, {30, 40}}); },
        RecordFunction::Polyline, words({2, 10, 20, 30, 40}));
    row("ellipse: bottom, right, top, left",
        [](Writer &w) { w.drawEllipse(QRect(10, 20, 100, 50)); },
        RecordFunction::Ellipse, words({70, 110, 20, 10}));
    row("rectangle far edges at x + width",
        [](Writer &w) { w.drawRectangle(QRect(0, 0, 1845, 2910)); },
        RecordFunction::Rectangle, words({2910, 1845, 0, 0}));
    row("rounded rectangle: corner height and width first",
        [](Writer &w) { w.drawRoundedRectangle(QRect(225, 250, 1395, 2450), QSize(300, 200)); },
        RecordFunction::RoundRect, words({200, 300, 2700, 1620, 250, 225}));
}

void TestWmfWriter::records()
{
    QFETCH(WriterCall, call);
    QFETCH(int, function);
    QFETCH(QList<quint16>, parameters);

    Writer writer(QRect(0, 0, 100, 100));
    call(writer);
    QVERIFY(writer.isValid());
    const QList<ParsedRecord> records = parseRecords(writer.toByteArray());
    QCOMPARE(records.size(), 2);
    QCOMPARE(records[0].function, quint16(function));
    QCOMPARE(records[0].parameters, parameters);
    QVERIFY(records[1].parameters.isEmpty());
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
    writer.selectObject(reused);
    QVERIFY(writer.isValid());
    const QByteArray bytes = writer.toByteArray();
    QCOMPARE(wordAt(bytes, placeableHeaderBytes + 10), quint16(4));
}

void TestWmfWriter::misuseMakesTheFileInvalid_data()
{
    QTest::addColumn<QRect>("boundingBox");
    QTest::addColumn<WriterCall>("call");

    const QRect box(0, 0, 100, 100);
    QTest::addRow("bounding box beyond 16 bits")
        << QRect(0, 0, 1440, 40000) << WriterCall([](Writer &) {});
    QTest::addRow("coordinate beyond 16 bits")
        << box << WriterCall([](Writer &w) { w.drawRectangle(QRect(0, 0, 40000, 10)); });
    QTest::addRow("selecting an object never made")
        << box << WriterCall([](Writer &w) { w.selectObject(3); });
    QTest::addRow("deleting an object twice") << box << WriterCall([](Writer &w) {
        const auto brush = w.createBrush(Writer::BrushStyle::Solid, QColor(Qt::red));
        w.deleteObject(brush);
        w.deleteObject(brush);
    });
    QTest::addRow("too many polygon points") << box << WriterCall([](Writer &w) {
        w.drawPolygon(QPolygon(40000));
    });
}

void TestWmfWriter::misuseMakesTheFileInvalid()
{
    QFETCH(QRect, boundingBox);
    QFETCH(WriterCall, call);
    Writer writer(boundingBox);
    call(writer);
    QVERIFY(!writer.isValid());
    // Still a well-formed stream: every record's size adds up to the file.
    parseRecords(writer.toByteArray());
}

void TestWmfWriter::readerDrawsTheSamePixels()
{
#ifndef LAB_HAVE_WMF_READER
    QSKIP("the metafile reader is not in the tree yet");
#else
    // Four solid shapes in distinct colours on a 1000 x 1000 twip window,
    // each large enough that its middle is far from any edge.
    Writer writer(QRect(0, 0, 1000, 1000));
    writer.setMapMode(Writer::MapMode::Anisotropic);
    writer.setWindowOrigin({0, 0});
    writer.setWindowExtent({1000, 1000});
    writer.setPolyFillMode(Writer::PolyFillMode::Winding);
    const auto noPen = writer.createPen(Writer::PenStyle::Null, 0, QColor(Qt::black));
    writer.selectObject(noPen);
    const auto fill = [&writer](QRgb colour) {
        const auto brush = writer.createBrush(Writer::BrushStyle::Solid, QColor(colour));
        writer.selectObject(brush);
        return brush;
    };
    fill(0xFFFFFFFF);
    writer.drawRectangle(QRect(0, 0, 1000, 1000));
    fill(0xFFD02020);
    writer.drawRectangle(QRect(50, 50, 400, 400));
    fill(0xFF2050D0);
    writer.drawEllipse(QRect(550, 50, 400, 400));
    fill(0xFF20A040);
    writer.drawPolygon(QPolygon{{50, 950}, {450, 950}, {250, 550}});
    fill(0xFFE0C020);
    writer.drawRoundedRectangle(QRect(550, 550, 400, 400), QSize(100, 100));
    QVERIFY(writer.isValid());

    const wmf::ReadResult result = wmf::Picture::read(writer.toByteArray());
    QVERIFY2(result.isValid(), qPrintable(result.error));
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
    };
    for (const auto &[pixel, colour] : expected) {
        QVERIFY2(image.pixel(pixel) == colour,
                 qPrintable(QStringLiteral("pixel %1,%2 is %3, expected %4")
                                .arg(pixel.x())
                                .arg(pixel.y())
                                .arg(image.pixel(pixel), 8, 16)
                                .arg(colour, 8, 16)));
    }
#endif
}

QTEST_MAIN(TestWmfWriter)
#include "tst_wmfwriter.moc"
