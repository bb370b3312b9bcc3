// Bitmaps: every DIB depth and compression the blit records carry, drawn
// as a 2 x 2 picture stretched over the whole image. The top-left cell is
// red, top-right green, bottom-left blue, bottom-right black.
#include "dibdecoder.h"
#include "metafilebuilder.h"
#include "renderhelpers.h"

#include <QBuffer>
#include <QTest>

using Builder = MetafileBuilder;

namespace {

const QList<QColor> fourColors{Qt::red, Qt::green, Qt::blue, Qt::black};

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray out;
    for (int value : values)
        out.append(char(value));
    return out;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return out;
}

// Replaces the compression field and appends a compressed stream.
QByteArray compressedDib(const QByteArray &stream, int compression)
{
    return Builder::dib(2, 2, 0, {}, {}, std::uint32_t(compression)) + stream;
}

// A 100 x 100 window, the bitmap pictures' usual frame.
Builder framed()
{
    Builder builder;
    builder.setWindow(0, 0, 100, 100);
    return builder;
}

QByteArray picture(const QByteArray &dib)
{
    return framed().stretchDib(QRect(0, 0, 100, 100), dib).bytes();
}

// A picture of exactly 2 x 2 units, for the records that do not stretch.
QByteArray unstretched(std::uint16_t function, const QByteArray &parameters)
{
    return Builder(Builder::Header::Placeable, QRect(0, 0, 2, 2), 2).rawRecord(function, parameters).bytes();
}

// Raster operations as stored: copy the source, copy the brush.
const QByteArray sourceCopy = QByteArray::fromHex("2000cc00");
const QByteArray patternCopy = QByteArray::fromHex("2100f000");

} // namespace

class TestWmfBitmaps : public QObject
{
    Q_OBJECT

private slots:
    void quadrants_data();
    void quadrants();
    void rejects_data();
    void rejects();
    void runLengthPixelsAreDefined_data();
    void runLengthPixelsAreDefined();
};

void TestWmfBitmaps::quadrants_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QColor>>("expected"); // top-left, top-right, bottom-left, bottom-right

    const QList<QByteArray> rgbRows{bytesOf({0, 0, 255, 0, 255, 0}), bytesOf({255, 0, 0, 0, 0, 0})};
    const QByteArray rgb24 = Builder::dib(2, 2, 24, {}, rgbRows);
    const QList<QColor> allRed{Qt::red, Qt::red, Qt::red, Qt::red};
    QTest::addRow("24 bits") << picture(rgb24) << fourColors;
    QTest::addRow("24 bits top-down") << picture(Builder::dib(2, 2, 24, {}, rgbRows, 0, true)) << fourColors;
    QTest::addRow("24 bits with rows left unpadded")
        << picture(Builder::dib(2, 2, 24, {}, {}) + bytesOf({255, 0, 0, 0, 0, 0, 0, 0, 255, 0, 255, 0})) << fourColors;
    {
        // A version 5 header (124 bytes): the pixels follow all of it.
        QByteArray dib = Builder::dib(2, 2, 24, {}, rgbRows);
        dib[0] = char(124);
        dib.insert(40, QByteArray(84, '\0'));
        QTest::addRow("24 bits after a version 5 header") << picture(dib) << fourColors;
    }
    QTest::addRow("32 bits")
        << picture(Builder::dib(2, 2, 32, {}, {bytesOf({0, 0, 255, 0, 0, 255, 0, 0}), bytesOf({255, 0, 0, 0, 0, 0, 0, 0})}))
        << fourColors;
    QTest::addRow("16 bits 5-5-5")
        << picture(Builder::dib(2, 2, 16, {}, {Builder::words({0x7C00, 0x03E0}), Builder::words({0x001F, 0})})) << fourColors;
    {
        // BI_BITFIELDS with 5-6-5 masks written after the header.
        QByteArray dib = Builder::dib(2, 2, 16, {}, {Builder::words({0xF800, 0x07E0}), Builder::words({0x001F, 0})});
        dib[16] = 3;
        dib.insert(40, Builder::words({0xF800, 0, 0x07E0, 0, 0x001F, 0}));
        QTest::addRow("16 bits with bit fields") << picture(dib) << fourColors;
    }
    QTest::addRow("8 bits") << picture(Builder::dib(2, 2, 8, fourColors, {bytesOf({0, 1}), bytesOf({2, 3})})) << fourColors;
    QTest::addRow("4 bits") << picture(Builder::dib(2, 2, 4, fourColors, {bytesOf({0x01}), bytesOf({0x23})})) << fourColors;
    QTest::addRow("1 bit") << picture(Builder::dib(2, 2, 1, {Qt::red, Qt::blue}, {bytesOf({0x40}), bytesOf({0x80})}))
                           << QList<QColor>{Qt::red, Qt::blue, Qt::blue, Qt::red};
    // Inverting the pixels of an indexed bitmap must invert colours, not
    // indexes (which would point past a 16-entry table).
    QTest::addRow("4 bits inverted by NOTSRCCOPY")
        << framed().stretchDib(QRect(0, 0, 100, 100), Builder::dib(2, 2, 4, fourColors, {bytesOf({0x01}), bytesOf({0x23})}),
                               0x00330008).bytes()
        << QList<QColor>{Qt::cyan, Qt::magenta, Qt::yellow, Qt::white};
    QTest::addRow("RLE8") << picture(Builder::dib(2, 2, 8, fourColors, {bytesOf({1, 2, 1, 3, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1})}, 1))
                          << fourColors;
    QTest::addRow("RLE4") << picture(Builder::dib(2, 2, 4, fourColors, {bytesOf({2, 0x23, 0, 0, 2, 0x01, 0, 0, 0, 1})}, 2))
                          << fourColors;
    {
        // The header asks for 256 colours; only the four used are there.
        QByteArray dib = Builder::dib(2, 2, 8, fourColors, {bytesOf({0, 1}), bytesOf({2, 3})});
        dib[32] = 0;
        dib[33] = 1;
        QTest::addRow("short colour table") << picture(dib) << fourColors;
    }
    {
        QImage image(2, 2, QImage::Format_RGB32);
        for (int cell = 0; cell < 4; ++cell)
            image.setPixelColor(cell % 2, cell / 2, fourColors[cell]);
        QTest::addRow("embedded PNG") << picture(compressedDib(encoded(image, "PNG"), 5)) << fourColors;
        QImage solid(16, 16, QImage::Format_RGB32);
        solid.fill(Qt::red);
        QTest::addRow("embedded JPEG") << picture(compressedDib(encoded(solid, "JPEG"), 4)) << allRed;
    }
    {
        // Colour table of palette indexes, resolved through the selected palette.
        QByteArray palette = Builder::words({0x300, 4});
        for (const QColor &color : fourColors)
            palette += Builder::colorReference(color);
        QByteArray dib = Builder::dib(2, 2, 8, {}, {bytesOf({0, 1}), bytesOf({2, 3})});
        dib[32] = 4;
        dib.insert(40, Builder::words({0, 1, 2, 3}));
        QTest::addRow("palette indexes")
            << framed().rawRecord(0x00F7, palette).record(0x0234, {0})
                   .rawRecord(0x0F43, sourceCopy + Builder::words({1, 2, 2, 0, 0, 100, 100, 0, 0}) + dib).bytes()
            << fourColors;
    }
    {
        // Palette indexes with no palette selected: spread over a grey ramp.
        QByteArray dib = Builder::dib(2, 2, 8, {}, {bytesOf({0, 1}), bytesOf({2, 3})});
        dib[32] = 4;
        dib.insert(40, Builder::words({0, 1, 2, 3}));
        QTest::addRow("palette indexes without a palette")
            << framed().rawRecord(0x0F43, sourceCopy + Builder::words({1, 2, 2, 0, 0, 100, 100, 0, 0}) + dib).bytes()
            << QList<QColor>{Qt::black, QColor(85, 85, 85), QColor(170, 170, 170), Qt::white};
    }
    QTest::addRow("DIBSTRETCHBLT")
        << framed().rawRecord(0x0B41, sourceCopy + Builder::words({2, 2, 0, 0, 100, 100, 0, 0}) + rgb24).bytes() << fourColors;
    QTest::addRow("DIBBITBLT") << unstretched(0x0940, sourceCopy + Builder::words({0, 0, 2, 2, 0, 0}) + rgb24) << fourColors;
    QTest::addRow("SETDIBTODEVICE") << unstretched(0x0D33, Builder::words({0, 2, 0, 0, 0, 2, 2, 0, 0}) + rgb24) << fourColors;
    QTest::addRow("mirrored by a negative width")
        << framed().rawRecord(0x0F43, sourceCopy + Builder::words({0, 2, 2, 0, 0, 100, -100, 0, 100}) + rgb24).bytes()
        << QList<QColor>{Qt::green, Qt::red, Qt::black, Qt::blue};
    // Part of a bitmap: a DIB stored bottom row first counts its source rows
    // from the bottom; a top-down DIB and an old bitmap count from the top.
    // Mirroring mirrors the part named along with the bitmap.
    const auto partOf = [](const QByteArray &dib, std::initializer_list<int> sourceAndTarget) {
        return framed().rawRecord(0x0F43, sourceCopy + Builder::words(sourceAndTarget) + dib).bytes();
    };
    const QList<QColor> allBlue{Qt::blue, Qt::blue, Qt::blue, Qt::blue};
    QTest::addRow("lowest left pixel of a bottom-up DIB") << partOf(rgb24, {0, 1, 1, 0, 0, 100, 100, 0, 0}) << allBlue;
    QTest::addRow("highest left pixel of a top-down DIB")
        << partOf(Builder::dib(2, 2, 24, {}, rgbRows, 0, true), {0, 1, 1, 0, 0, 100, 100, 0, 0}) << allRed;
    QTest::addRow("left column mirrored across")
        << partOf(rgb24, {0, 2, 1, 0, 0, 100, -100, 0, 100}) << QList<QColor>{Qt::red, Qt::red, Qt::blue, Qt::blue};
    QTest::addRow("top row mirrored down")
        << partOf(rgb24, {0, 1, 2, 1, 0, -100, 100, 100, 0}) << QList<QColor>{Qt::red, Qt::green, Qt::red, Qt::green};
    QTest::addRow("first pixel of an old bitmap")
        << framed().rawRecord(0x0B23, sourceCopy + Builder::words({1, 1, 0, 0, 100, 100, 0, 0, 0, 2, 2, 8})
                                          + bytesOf({1, 24, 0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0}))
               .bytes()
        << allRed;
    QTest::addRow("old monochrome BITBLT")
        << unstretched(0x0922, sourceCopy + Builder::words({0, 0, 2, 2, 0, 0, 0, 2, 2, 2}) + bytesOf({1, 1, 0x40, 0, 0x80, 0}))
        << QList<QColor>{Qt::black, Qt::white, Qt::white, Qt::black};
    // Device-dependent bitmaps of every depth: rows top first, no colour
    // table (4 bits index the 16 standard colours, 8 bits the system palette).
    const auto oldBlit = [](int widthBytes, int bitsPerPixel, const QByteArray &rows) {
        return unstretched(0x0922, sourceCopy + Builder::words({0, 0, 2, 2, 0, 0, 0, 2, 2, widthBytes})
                                       + bytesOf({1, bitsPerPixel}) + rows);
    };
    QTest::addRow("old 4-bit BITBLT") << oldBlit(2, 4, bytesOf({0x9A, 0, 0xC0, 0})) << fourColors;
    QTest::addRow("old 8-bit BITBLT") << oldBlit(2, 8, bytesOf({249, 250, 252, 0})) << fourColors;
    // 10 + 36 red + 6 green + blue: the 6 x 6 x 6 cube after the low fixed colours.
    QTest::addRow("old 8-bit BITBLT through the colour cube") << oldBlit(2, 8, bytesOf({190, 40, 15, 10})) << fourColors;
    QTest::addRow("old 16-bit BITBLT") << oldBlit(4, 16, Builder::words({0x7C00, 0x03E0, 0x001F, 0})) << fourColors;
    QTest::addRow("old 24-bit BITBLT")
        << oldBlit(8, 24, bytesOf({0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0})) << fourColors;
    QTest::addRow("old 24-bit BITBLT with rows left unpadded")
        << oldBlit(8, 24, bytesOf({0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0})) << fourColors;
    QTest::addRow("old 32-bit BITBLT")
        << oldBlit(8, 32, bytesOf({0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0})) << fourColors;
    QTest::addRow("old 24-bit STRETCHBLT")
        << framed().rawRecord(0x0B23, sourceCopy + Builder::words({2, 2, 0, 0, 100, 100, 0, 0, 0, 2, 2, 8})
                                          + bytesOf({1, 24, 0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0}))
               .bytes()
        << fourColors;
    QTest::addRow("blit without a bitmap paints the brush")
        << framed().createBrush(0, Qt::red).selectObject(0)
               .rawRecord(0x0940, patternCopy + Builder::words({0, 0, 0, 100, 100, 0, 0})).bytes()
        << allRed;
    QTest::addRow("DIB pattern brush")
        << framed().createPen(5, 0, Qt::black).selectObject(0)
               .rawRecord(0x0142, Builder::words({5, 0}) + Builder::dib(1, 1, 24, {}, {bytesOf({255, 0, 0})}))
               .selectObject(1).rectangle(QRect(0, 0, 100, 100)).bytes()
        << QList<QColor>{Qt::blue, Qt::blue, Qt::blue, Qt::blue};
    {
        // Its colour table may name entries of the selected palette.
        QByteArray palette = Builder::words({0x300, 4});
        for (const QColor &color : fourColors)
            palette += Builder::colorReference(color);
        QByteArray dib = Builder::dib(1, 1, 8, {}, {bytesOf({2, 0, 0, 0})});
        dib[32] = 4;
        dib.insert(40, Builder::words({0, 1, 2, 3}));
        QTest::addRow("DIB pattern brush of palette indexes")
            << framed().rawRecord(0x00F7, palette).record(0x0234, {0}).createPen(5, 0, Qt::black).selectObject(1)
                   .rawRecord(0x0142, Builder::words({5, 1}) + dib).selectObject(2).rectangle(QRect(0, 0, 100, 100)).bytes()
            << QList<QColor>(4, fourColors[2]);
    }
}

void TestWmfBitmaps::quadrants()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QColor>, expected);
    verifyProbes(bytes, {{{25, 25}, expected[0]}, {{75, 25}, expected[1]}, {{25, 75}, expected[2]}, {{75, 75}, expected[3]}},
                 QSize(100, 100), 40);
}

void TestWmfBitmaps::rejects_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("errorPart");

    QTest::addRow("unknown header size") << picture(QByteArray(4, '\x20') + QByteArray(60, '\0')) << "header size";
    QTest::addRow("header cut short") << picture(Builder::dib(2, 2, 24, {}, {}).left(20)) << "truncated";
    QTest::addRow("zero width") << picture(Builder::dib(0, 2, 24, {}, {})) << "no pixels";
    QTest::addRow("too many pixels") << picture(Builder::dib(20000, 20000, 1, {}, {})) << "larger than allowed";
    QTest::addRow("RLE delta outside")
        << picture(Builder::dib(2, 2, 8, fourColors, {bytesOf({0, 2, 50, 0, 0, 1})}, 1)) << "delta";
    QTest::addRow("RLE8 with 4 bits") << picture(Builder::dib(2, 2, 4, fourColors, {bytesOf({0, 1})}, 1)) << "RLE8";
    QTest::addRow("top-down RLE") << picture(Builder::dib(2, 2, 8, fourColors, {bytesOf({0, 1})}, 1, true)) << "top-down";
    QTest::addRow("unknown compression") << picture(Builder::dib(2, 2, 8, fourColors, {bytesOf({0, 1})}, 9)) << "compression";
    QTest::addRow("PNG that is not one") << picture(compressedDib("not a PNG at all", 5)) << "PNG";
    {
        QImage huge(20000, 1000, QImage::Format_Mono);
        huge.fill(0);
        QTest::addRow("PNG larger than allowed") << picture(compressedDib(encoded(huge, "PNG"), 5)) << "larger than allowed";
    }
    {
        Builder many;
        many.setWindow(0, 0, 100, 100);
        const QByteArray big = Builder::dib(4000, 4000, 1, {Qt::black, Qt::white}, QList<QByteArray>(4000, QByteArray(500, '\0')));
        for (int copy = 0; copy < 4; ++copy)
            many.stretchDib(QRect(0, 0, 10, 10), big);
        QTest::addRow("bitmaps larger than allowed together") << many.bytes() << "in all";
    }
}

void TestWmfBitmaps::rejects()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, errorPart);
    verifyRejected(bytes, errorPart);
}

// Run-length streams that leave pixels out or name colours the table lacks.
// Pixels no code writes are colour 0 of the table (red here), indexes past
// the two-entry table are black, and decoding twice gives the same pixels:
// nothing depends on what memory held before.
void TestWmfBitmaps::runLengthPixelsAreDefined_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<QString>("expected"); // rows top first, '/' between rows: R red, B blue, K black

    QTest::addRow("RLE8 ends early without an end marker") << bytesOf({2, 1}) << 8 << "RRRR/RRRR/BBRR";
    QTest::addRow("RLE8 delta skips pixels") << bytesOf({1, 1, 0, 2, 2, 1, 1, 1, 0, 1}) << 8 << "RRRR/RRRB/BRRR";
    QTest::addRow("RLE8 indexes past the table") << bytesOf({2, 200, 0, 0, 1, 1, 0, 3, 250, 0, 1, 0, 1}) << 8
                                                 << "RRRR/BKRB/KKRR";
    QTest::addRow("RLE8 rows ended early") << bytesOf({1, 1, 0, 0, 0, 0, 2, 1, 0, 1}) << 8 << "BBRR/RRRR/BRRR";
    QTest::addRow("RLE4 ends early without an end marker") << bytesOf({3, 0x1F}) << 4 << "RRRR/RRRR/BKBR";
    QTest::addRow("RLE4 delta then literal run past the table")
        << bytesOf({0, 2, 1, 1, 0, 3, 0xF1, 0xE0}) << 4 << "RRRR/RKBK/RRRR";
    QTest::addRow("RLE4 literal run cut off by the end of the stream") << bytesOf({0, 4, 0x11}) << 4
                                                                      << "RRRR/RRRR/BBRR";
}

void TestWmfBitmaps::runLengthPixelsAreDefined()
{
    QFETCH(QByteArray, stream);
    QFETCH(int, bitCount);
    QFETCH(QString, expected);
    const QStringList rows = expected.split(QLatin1Char('/'));
    const int width = int(rows.first().size());
    const int compression = bitCount == 8 ? 1 : 2;
    const QByteArray dib = Builder::dib(width, int(rows.size()), bitCount, {Qt::red, Qt::blue}, {stream}, compression);

    const wmf::DibResult first = wmf::DibDecoder::decode(dib, wmf::ColorUsage::RgbColors, {});
    QVERIFY2(first.error.isEmpty(), qPrintable(first.error));
    const wmf::DibResult second = wmf::DibDecoder::decode(dib, wmf::ColorUsage::RgbColors, {});
    QCOMPARE(second.image, first.image);
    QVERIFY(first.image.format() != QImage::Format_Indexed8);
    const QHash<QChar, QColor> colors{{'R', Qt::red}, {'B', Qt::blue}, {'K', Qt::black}};
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; x < width; ++x)
            QVERIFY2(first.image.pixelColor(x, y) == colors.value(rows[y][x]),
                     qPrintable(QStringLiteral("pixel %1,%2 is %3").arg(x).arg(y).arg(first.image.pixelColor(x, y).name())));
}

QTEST_MAIN(TestWmfBitmaps)
#include "tst_wmfbitmaps.moc"
