// Text: alignment, colours, background, spacing, rotation and the
// character sets that decide how bytes become letters.
#include "gdiobjects.h"
#include "metafilebuilder.h"
#include "renderhelpers.h"

#include <QTest>

using Builder = MetafileBuilder;

namespace {

// Text in a 40-unit font: the ink of "HHHH" is about 110 x 30 pixels.
Builder withFont(int escapement = 0)
{
    Builder builder(Builder::Header::Placeable, QRect(0, 0, 200, 100));
    builder.setWindow(0, 0, 200, 100).createFont(-40, "DejaVu Sans", 400, 0, escapement).selectObject(0)
        .record(0x0102, {1}); // transparent background unless a row says otherwise
    return builder;
}

QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!isCloseTo(image.pixelColor(x, y), Qt::white, 60))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QByteArray extTextOut(QPoint origin, int options, QRect box, const QByteArray &text, const QList<int> &spacing = {})
{
    QByteArray parameters = Builder::words({origin.y(), origin.x(), int(text.size()), options});
    if (options & 0x6)
        parameters += Builder::words({box.left(), box.top(), box.right() + 1, box.bottom() + 1});
    parameters += text;
    if (text.size() % 2)
        parameters.append('\0');
    for (int advance : spacing)
        parameters += Builder::words({advance});
    return parameters;
}

} // namespace

class TestWmfText : public QObject
{
    Q_OBJECT

private slots:
    void placement_data();
    void placement();
    void colours_data();
    void colours();
    void decodesCharsets_data();
    void decodesCharsets();
};

void TestWmfText::placement_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QRect>("inside");  // the ink must lie within
    QTest::addColumn<QRect>("touches"); // and cover all of this

    QTest::addRow("top-left alignment hangs below the origin")
        << withFont().textOut({20, 20}, "HHHH").bytes() << QRect(18, 18, 130, 45) << QRect(25, 30, 90, 20);
    QTest::addRow("baseline alignment sits on the origin")
        << withFont().record(0x012E, {24}).textOut({20, 60}, "HHHH").bytes() << QRect(18, 20, 130, 42)
        << QRect(25, 35, 90, 20);
    QTest::addRow("right alignment ends at the origin")
        << withFont().record(0x012E, {2}).textOut({180, 20}, "HHHH").bytes() << QRect(50, 18, 132, 45)
        << QRect(80, 30, 90, 20);
    QTest::addRow("centred alignment spans the origin")
        << withFont().record(0x012E, {6}).textOut({100, 20}, "HHHH").bytes() << QRect(30, 18, 140, 45)
        << QRect(55, 30, 90, 20);
    QTest::addRow("spacing array spreads the letters")
        << withFont().rawRecord(0x0A32, extTextOut({10, 20}, 0, {}, "IIII", {55, 55, 55, 0})).bytes()
        << QRect(8, 18, 190, 45) << QRect(15, 30, 160, 20);
    QTest::addRow("character extra spreads the letters")
        << withFont().record(0x0108, {40}).textOut({10, 20}, "IIII").bytes() << QRect(8, 18, 190, 45)
        << QRect(15, 30, 150, 20);
    QTest::addRow("clip rectangle cuts the text")
        << withFont().rawRecord(0x0A32, extTextOut({20, 20}, 0x4, QRect(20, 20, 40, 60), "HHHH")).bytes()
        << QRect(19, 19, 42, 62) << QRect(25, 30, 30, 20);
    QTest::addRow("spacing array with vertical advances")
        << withFont().rawRecord(0x0A32, extTextOut({10, 20}, 0x2000, {}, "IIII", {55, 0, 55, 0, 55, 0, 0, 0})).bytes()
        << QRect(8, 18, 190, 45) << QRect(15, 30, 160, 20);
    QTest::addRow("vertical advances flagged, too few for them: natural spacing")
        << withFont().rawRecord(0x0A32, extTextOut({20, 20}, 0x2000, {}, "HHHH", {30, 30, 30, 30})).bytes()
        << QRect(18, 18, 130, 45) << QRect(25, 30, 90, 20);
    QTest::addRow("escapement turns the text upright")
        << withFont(900).textOut({20, 95}, "HH").bytes() << QRect(18, 20, 50, 78) << QRect(30, 45, 20, 40);
    QTest::addRow("a window scaled to twice its extent draws the text half as large")
        << Builder(Builder::Header::Placeable, QRect(0, 0, 200, 100)).setWindow(0, 0, 200, 100)
               .record(0x0410, {1, 2, 1, 2}).createFont(-80, "DejaVu Sans").selectObject(0).record(0x0102, {1}).textOut({40, 40}, "HHHH").bytes()
        << QRect(18, 18, 130, 45) << QRect(25, 30, 90, 20);
    QTest::addRow("current position carries on after the first run")
        << withFont().record(0x012E, {1}).record(0x0214, {20, 100}).textOut({0, 0}, "H").textOut({0, 0}, "H").bytes()
        << QRect(98, 18, 80, 45) << QRect(105, 30, 45, 20);
}

void TestWmfText::placement()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QRect, inside);
    QFETCH(QRect, touches);
    const QImage image = renderMetafile(bytes, QSize(200, 100));
    QVERIFY(!image.isNull());
    const QRect ink = inkBounds(image);
    const QString where = QStringLiteral("ink %1,%2 %3x%4").arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height());
    QVERIFY2(inside.contains(ink), qPrintable(where));
    QVERIFY2(ink.contains(touches), qPrintable(where));
}

void TestWmfText::colours_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QColor>("expected");

    // Red block characters in a heavy 90-unit font: solid ink at 20,50.
    const auto blocks = [] {
        return withFont().rawRecord(0x0209, Builder::colorReference(Qt::red)).createFont(-90, "DejaVu Sans", 900).selectObject(1);
    };
    const auto dotsOnGreen = [] { return withFont().rawRecord(0x0201, Builder::colorReference(Qt::green)); };
    QTest::addRow("text colour") << blocks().textOut({0, 0}, "\xdb\xdb").bytes() << QPoint(20, 50) << QColor(Qt::red);
    QTest::addRow("glyph indexes are not drawn as letters")
        << blocks().rawRecord(0x0A32, extTextOut({0, 0}, 0x10, {}, "\xdb\xdb")).bytes() << QPoint(20, 50) << QColor(Qt::white);
    QTest::addRow("opaque background behind the text")
        << dotsOnGreen().record(0x0102, {2}).textOut({20, 20}, "....").bytes() << QPoint(30, 25) << QColor(Qt::green);
    QTest::addRow("transparent background")
        << dotsOnGreen().textOut({20, 20}, "....").bytes() << QPoint(30, 25) << QColor(Qt::white);
    QTest::addRow("opaquing rectangle without text")
        << withFont().rawRecord(0x0201, Builder::colorReference(Qt::blue))
               .rawRecord(0x0A32, extTextOut({0, 0}, 0x2, QRect(100, 50, 50, 40), "")).bytes()
        << QPoint(120, 70) << QColor(Qt::blue);
    QTest::addRow("opaquing rectangle away from its text")
        << withFont().rawRecord(0x0201, Builder::colorReference(Qt::blue))
               .rawRecord(0x0A32, extTextOut({0, 0}, 0x2, QRect(100, 50, 50, 40), "..")).bytes()
        << QPoint(120, 70) << QColor(Qt::blue);
}

void TestWmfText::colours()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QPoint, point);
    QFETCH(QColor, expected);
    verifyProbes(bytes, {{point, expected}}, QSize(200, 100), 60);
}

void TestWmfText::decodesCharsets_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("charset");
    QTest::addColumn<QString>("text");

    QTest::addRow("ANSI euro sign") << QByteArray("\x80 5") << 0 << QStringLiteral("\u20AC 5");
    QTest::addRow("Cyrillic") << QByteArray("\xc0\xe1") << 204 << QStringLiteral("\u0410\u0431");
    QTest::addRow("Greek") << QByteArray("\xe1\xe2") << 161 << QStringLiteral("\u03B1\u03B2");
    QTest::addRow("Central European") << QByteArray("\x8a") << 238 << QStringLiteral("\u0160");
    QTest::addRow("Shift-JIS") << QByteArray("\x82\xa0") << 128 << QStringLiteral("\u3042");
    QTest::addRow("symbol keeps byte values") << QByteArray("\x61\xb0") << 2 << QStringLiteral("a\u00B0");
    QTest::addRow("OEM box drawing") << QByteArray("\xc4") << 255 << QStringLiteral("\u2500");
}

void TestWmfText::decodesCharsets()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, charset);
    QFETCH(QString, text);
    QCOMPARE(wmf::decodeText(bytes, charset), text);
}

QTEST_MAIN(TestWmfText)
#include "tst_wmftext.moc"
