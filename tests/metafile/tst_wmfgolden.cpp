// Golden drawings, one small picture per record family, each compared with
// an expected image that the test makes from what the record means: a pie
// is the points of its ellipse between its two radials, a polygon's inside
// follows its fill mode, a raster operation combines colours bit by bit, a
// spacing array puts each letter where its advances say. The expected
// image is computed, never copied from the reader's own output, so a
// reader that draws a degree off, a pixel too large or a letter out of
// place fails here.
#include "metafilebuilder.h"
#include "renderhelpers.h"

#include <QPainter>
#include <QTest>

#include <cmath>
#include <functional>

using Builder = MetafileBuilder;

namespace {

constexpr int nullPen = 5;
constexpr int side = 200; // every picture: 200 x 200 logical units at 200 x 200 pixels

// A description: the colour a point of the picture has, or an invalid
// colour where the picture may be either (under a pen's round end).
using Description = std::function<QColor(QPointF)>;

// The expected image: each pixel the average of 8 x 8 points of the
// description, as an antialiasing rasterizer covers it; a pixel with any
// point of no matter is left out (alpha 0).
QImage expectedImage(const Description &colourAt)
{
    constexpr int samples = 8;
    QImage image(side, side, QImage::Format_ARGB32);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            int red = 0, green = 0, blue = 0;
            bool matters = true;
            for (int sy = 0; sy < samples && matters; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const QColor colour = colourAt(QPointF(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples));
                    if (!colour.isValid()) {
                        matters = false;
                        break;
                    }
                    red += colour.red();
                    green += colour.green();
                    blue += colour.blue();
                }
            }
            constexpr int count = samples * samples;
            image.setPixel(x, y, matters ? qRgba(red / count, green / count, blue / count, 255) : qRgba(0, 0, 0, 0));
        }
    }
    return image;
}

// The pixels where the drawing and the expected image differ by more than
// `tolerance` in a channel: antialiased edges differ by a little, a shape
// out of place by a whole colour.
QStringList differences(const QImage &drawn, const QImage &expected, int tolerance)
{
    QStringList found;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb want = expected.pixel(x, y);
            if (qAlpha(want) == 0)
                continue;
            const QColor got = drawn.pixelColor(x, y);
            if (!isCloseTo(got, QColor(want), tolerance))
                found << QStringLiteral("%1,%2 is %3, expected %4").arg(x).arg(y).arg(got.name(), QColor(want).name());
        }
    }
    return found;
}

// Antialiased edges may differ from the expected coverage by up to a
// quarter of the way between two colours; a shape out of place differs by
// far more.
void verifyGolden(const QByteArray &bytes, const Description &description, int tolerance = 64)
{
    const QImage drawn = renderMetafile(bytes, QSize(side, side));
    QVERIFY(!drawn.isNull());
    const QStringList found = differences(drawn, expectedImage(description), tolerance);
    QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("%1 pixels differ, first %2")
                                             .arg(found.size()).arg(found.value(0))));
}

Builder canvas()
{
    Builder builder(Builder::Header::Placeable, QRect(0, 0, side, side));
    builder.setWindow(0, 0, side, side);
    return builder;
}

// Filled shapes without an outline, in `colour`.
Builder filled(QColor colour)
{
    Builder builder = canvas();
    builder.createPen(nullPen, 0, Qt::black).selectObject(0).createBrush(0, colour).selectObject(1);
    return builder;
}

// Angles as GDI measures a radial: counter-clockwise on the screen from
// three o'clock, through the point, on the ellipse made a circle.
double angleOf(const QRectF &box, QPointF point)
{
    const QPointF offset = point - box.center();
    return std::atan2(-offset.y() / (box.height() / 2), offset.x() / (box.width() / 2)) * 180 / M_PI;
}

double counterClockwiseFrom(double from, double to)
{
    return std::fmod(to - from + 720, 360);
}

struct Radials
{
    QRectF box;
    QPointF start;
    QPointF end;

    // Whether the radial through p lies on the arc, which runs
    // counter-clockwise from start to end (all the way round when they meet).
    bool spans(QPointF p) const
    {
        const double startAngle = angleOf(box, start);
        double sweep = counterClockwiseFrom(startAngle, angleOf(box, end));
        if (sweep == 0)
            sweep = 360;
        return counterClockwiseFrom(startAngle, angleOf(box, p)) <= sweep;
    }
    bool inEllipse(QPointF p) const
    {
        const QPointF offset = p - box.center();
        const double x = offset.x() / (box.width() / 2);
        const double y = offset.y() / (box.height() / 2);
        return x * x + y * y <= 1;
    }
    QPointF atAngle(double degrees) const
    {
        const double angle = degrees * M_PI / 180;
        return box.center() + QPointF(std::cos(angle) * box.width() / 2, -std::sin(angle) * box.height() / 2);
    }
    QPointF onEllipse(QPointF radial) const { return atAngle(angleOf(box, radial)); }
    // The point of the ellipse halfway along the arc.
    QPointF middle() const
    {
        const double startAngle = angleOf(box, start);
        const double sweep = counterClockwiseFrom(startAngle, angleOf(box, end));
        return atAngle(startAngle + (sweep == 0 ? 360 : sweep) / 2);
    }
};

// An arc record's parameters as GDI stores them: end, start, then the box,
// each y first.
QByteArray arcParameters(const Radials &arc)
{
    const QRect box = arc.box.toRect();
    return Builder::words({int(arc.end.y()), int(arc.end.x()), int(arc.start.y()), int(arc.start.x()), box.bottom() + 1,
                           box.right() + 1, box.top(), box.left()});
}

const QColor white(Qt::white);
const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);

} // namespace

Q_DECLARE_METATYPE(Radials)

namespace {

// The columns where a picture has ink (anything darker than light grey),
// grouped into runs: one run per letter of widely spaced text.
QList<std::pair<int, int>> inkRuns(const QImage &image)
{
    QList<std::pair<int, int>> runs;
    for (int x = 0; x < image.width(); ++x) {
        bool ink = false;
        for (int y = 0; y < image.height() && !ink; ++y)
            ink = qGray(image.pixel(x, y)) < 160;
        if (!ink)
            continue;
        if (!runs.isEmpty() && runs.back().second == x - 1)
            runs.back().second = x;
        else
            runs.append({x, x});
    }
    return runs;
}

// An EXTTEXTOUT record's parameters: origin (y first), length, options, the
// box when an option needs it, the text padded to a whole word, then the
// spacing array.
QByteArray extTextOut(QPoint origin, int options, QRect box, const QByteArray &text, const QList<int> &spacing)
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

class TestWmfGolden : public QObject
{
    Q_OBJECT

private slots:
    void piesAndChords_data();
    void piesAndChords();
    void arcIsStrokedBetweenItsRadials();
    void setPixelPaintsOnePixel_data();
    void setPixelPaintsOnePixel();
    void polygonFillModes_data();
    void polygonFillModes();
    void rasterOperations_data();
    void rasterOperations();
    void spacingArraysPlaceEachLetter_data();
    void spacingArraysPlaceEachLetter();
    void textBoxesClipAndOpaque_data();
    void textBoxesClipAndOpaque();
    void fontOfNoHeightIsTwelvePixels();
    void coreHeaderBitmaps_data();
    void coreHeaderBitmaps();
    void colourTablesAndPalettes_data();
    void colourTablesAndPalettes();
    void fontsAsTheRecordsSay();
    void lineJoinsFromEscapes_data();
    void lineJoinsFromEscapes();
    void windowScaledByFactors_data();
    void windowScaledByFactors();
    void textAloneFramesAStandardPicture();
};

void TestWmfGolden::piesAndChords_data()
{
    QTest::addColumn<int>("function");
    QTest::addColumn<Radials>("arc");
    const QRectF circle(10, 10, 180, 180);
    const QRectF wide(10, 40, 180, 120);
    const QPointF c(100, 100);
    // Radials by where they point; each pair also swapped, the other way round.
    const QList<std::tuple<const char *, QRectF, QPointF, QPointF>> arcs{
        {"a quarter, three to twelve o'clock", circle, c + QPointF(90, 0), c + QPointF(0, -90)},
        {"three quarters, twelve to three o'clock", circle, c + QPointF(0, -90), c + QPointF(90, 0)},
        {"across three o'clock, 330 to 30 degrees", circle, c + QPointF(78, 45), c + QPointF(78, -45)},
        {"all but that, 30 to 330 degrees", circle, c + QPointF(78, -45), c + QPointF(78, 45)},
        {"start and end the same: the whole ellipse", circle, c + QPointF(0, 90), c + QPointF(0, 90)},
        {"on a wide ellipse, radials through far points", wide, c + QPointF(150, -20), c + QPointF(-40, 90)},
        {"on a wide ellipse, the other way", wide, c + QPointF(-40, 90), c + QPointF(150, -20)},
        {"a sliver of 10 degrees across nine o'clock", circle, c + QPointF(-90, -8), c + QPointF(-90, 8)},
        {"a sliver under one degree at three o'clock", circle, c + QPointF(90, 0), c + QPointF(90, -1)},
    };
    for (const auto &[name, box, start, end] : arcs) {
        QTest::addRow("pie: %s", name) << 0x081A << Radials{box, start, end};
        QTest::addRow("chord: %s", name) << 0x0830 << Radials{box, start, end};
    }
}

void TestWmfGolden::piesAndChords()
{
    QFETCH(int, function);
    QFETCH(Radials, arc);
    const bool pie = function == 0x081A;
    const QPointF startPoint = arc.onEllipse(arc.start);
    const QPointF endPoint = arc.onEllipse(arc.end);
    const QPointF middle = arc.middle();
    // A chord is the ellipse cut by the line between the arc's ends, on the
    // side of the arc; with both ends at one point, the whole ellipse.
    const auto side = [&](QPointF p) {
        const QPointF along = endPoint - startPoint;
        return along.x() * (p.y() - startPoint.y()) - along.y() * (p.x() - startPoint.x());
    };
    const bool whole = QLineF(startPoint, endPoint).length() < 1e-6;
    verifyGolden(filled(red).rawRecord(quint16(function), arcParameters(arc)).bytes(), [&](QPointF p) {
        if (!arc.inEllipse(p))
            return white;
        if (pie)
            return arc.spans(p) ? red : white;
        return whole || (side(p) > 0) == (side(middle) > 0) ? red : white;
    });
}

void TestWmfGolden::arcIsStrokedBetweenItsRadials()
{
    // A 10-unit pen along the circle from 45 to 180 degrees; under its round
    // ends (5 units about each end) the picture may be either.
    const Radials arc{QRectF(10, 10, 180, 180), QPointF(190, 10), QPointF(10, 100)};
    const Builder builder = canvas().createPen(0, 10, blue).selectObject(0).rawRecord(0x0817, arcParameters(arc));
    verifyGolden(builder.bytes(), [&](QPointF p) {
        for (const QPointF end : {arc.onEllipse(arc.start), arc.onEllipse(arc.end)})
            if (QLineF(p, end).length() < 6)
                return QColor();
        const double distance = QLineF(p, arc.box.center()).length();
        return std::abs(distance - 90) <= 5 && arc.spans(p) ? blue : white;
    });
}

void TestWmfGolden::setPixelPaintsOnePixel_data()
{
    // The window maps logical units to pixels one to one, or two to one:
    // SETPIXEL paints one device pixel wherever the mapping puts the point.
    QTest::addColumn<int>("windowSide");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QPoint>("pixel");
    QTest::addRow("one to one") << side << QPoint(37, 101) << QPoint(37, 101);
    QTest::addRow("a window twice the picture") << 2 * side << QPoint(74, 202) << QPoint(37, 101);
    QTest::addRow("in a corner") << side << QPoint(0, 199) << QPoint(0, 199);
}

void TestWmfGolden::setPixelPaintsOnePixel()
{
    QFETCH(int, windowSide);
    QFETCH(QPoint, point);
    QFETCH(QPoint, pixel);
    Builder builder(Builder::Header::Placeable, QRect(0, 0, windowSide, windowSide));
    builder.setWindow(0, 0, windowSide, windowSide);
    builder.rawRecord(0x041F, Builder::colorReference(red) + Builder::words({point.y(), point.x()}));
    verifyGolden(builder.bytes(), [&](QPointF p) { return QRectF(pixel, QSizeF(1, 1)).contains(p) ? red : white; }, 8);
}

void TestWmfGolden::polygonFillModes_data()
{
    // A five-pointed star drawn in one stroke: alternate filling leaves its
    // pentagon hollow (each point there is crossed twice), winding fills it.
    QTest::addColumn<int>("mode");
    QTest::addRow("alternate") << 1;
    QTest::addRow("winding") << 2;
}

void TestWmfGolden::polygonFillModes()
{
    QFETCH(int, mode);
    QPolygonF star;
    for (int point = 0; point < 5; ++point) {
        const double angle = (90 + point * 144) * M_PI / 180;
        star << QPointF(100 + 90 * std::cos(angle), 100 - 90 * std::sin(angle));
    }
    QList<QPoint> corners;
    for (const QPointF &corner : star)
        corners << corner.toPoint();
    const QPolygonF drawn(QList<QPointF>(corners.begin(), corners.end()));
    // Where the outline crosses itself a rasterizer's coverage is rough; the
    // pixels there may be either.
    QList<QPointF> crossings;
    for (int first = 0; first < drawn.size(); ++first)
        for (int second = first + 2; second < drawn.size(); ++second) {
            QPointF at;
            if (QLineF(drawn[first], drawn[(first + 1) % 5]).intersects(QLineF(drawn[second], drawn[(second + 1) % 5]), &at)
                == QLineF::BoundedIntersection)
                crossings << at;
        }
    const Builder builder = filled(blue).record(0x0106, {mode}).polygon(corners);
    verifyGolden(builder.bytes(), [&](QPointF p) {
        for (const QPointF &crossing : crossings)
            if (QLineF(p, crossing).length() < 1.5)
                return QColor();
        // The winding number of the star's outline about p.
        int winding = 0;
        for (int edge = 0; edge < drawn.size(); ++edge) {
            const QPointF a = drawn[edge];
            const QPointF b = drawn[(edge + 1) % drawn.size()];
            const double cross = (b.x() - a.x()) * (p.y() - a.y()) - (p.x() - a.x()) * (b.y() - a.y());
            if (a.y() <= p.y() && b.y() > p.y() && cross > 0)
                ++winding;
            else if (a.y() > p.y() && b.y() <= p.y() && cross < 0)
                --winding;
        }
        const bool inside = mode == 1 ? winding % 2 != 0 : winding != 0;
        return inside ? blue : white;
    });
}

void TestWmfGolden::rasterOperations_data()
{
    // A red square under a blue one drawn with each binary raster
    // operation: where they overlap the colour is the operation's, bit by
    // bit on the red, green and blue bytes; where blue lies on white, the
    // same on white.
    QTest::addColumn<int>("operation");
    QTest::addColumn<QColor>("onRed");
    QTest::addColumn<QColor>("onWhite");
    QTest::addRow("copy pen, the pictures' own") << 13 << blue << blue;
    QTest::addRow("black") << 1 << QColor(Qt::black) << QColor(Qt::black);
    QTest::addRow("white") << 16 << white << white;
    QTest::addRow("no operation") << 11 << red << white;
    QTest::addRow("invert the destination") << 6 << QColor(0, 255, 255) << QColor(Qt::black);
    QTest::addRow("exclusive or") << 7 << QColor(255, 0, 255) << QColor(255, 255, 0);
    QTest::addRow("exclusive or, inverted") << 10 << QColor(0, 255, 0) << blue;
    QTest::addRow("and") << 9 << QColor(Qt::black) << blue;
    QTest::addRow("or") << 15 << QColor(255, 0, 255) << white;
    QTest::addRow("inverted pen") << 4 << QColor(255, 255, 0) << QColor(255, 255, 0);
}

void TestWmfGolden::rasterOperations()
{
    QFETCH(int, operation);
    QFETCH(QColor, onRed);
    QFETCH(QColor, onWhite);
    Builder builder = filled(red);
    builder.rectangle(QRect(20, 20, 100, 100)).createBrush(0, blue).selectObject(2).record(0x0104, {operation})
        .rectangle(QRect(80, 80, 100, 100));
    const QRectF under(20, 20, 100, 100);
    const QRectF over(80, 80, 100, 100);
    verifyGolden(builder.bytes(), [&](QPointF p) {
        if (over.contains(p))
            return under.contains(p) ? onRed : onWhite;
        return under.contains(p) ? red : white;
    }, 8);
}

void TestWmfGolden::spacingArraysPlaceEachLetter_data()
{
    // Text of every length from one to five letters, odd and even (an odd
    // one is padded to a whole word before its spacing array), with and
    // without the array and with an opaque box before it.
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<int>>("spacing");
    QTest::addColumn<int>("options");
    for (const QByteArray &text : {QByteArray("I"), QByteArray("II"), QByteArray("III"), QByteArray("IIII"),
                                  QByteArray("IIIII")}) {
        QList<int> spacing;
        for (int letter = 0; letter < text.size(); ++letter)
            spacing << 20 + 7 * letter;
        QTest::addRow("%d letters, spaced", int(text.size())) << text << spacing << 0;
        QTest::addRow("%d letters, spaced, with an opaque box", int(text.size())) << text << spacing << 2;
        QTest::addRow("%d letters, natural spacing", int(text.size())) << text << QList<int>() << 0;
    }
}

void TestWmfGolden::spacingArraysPlaceEachLetter()
{
    QFETCH(QByteArray, text);
    QFETCH(QList<int>, spacing);
    QFETCH(int, options);
    Builder builder = canvas();
    builder.createFont(-30, "DejaVu Sans").selectObject(0).record(0x0102, {1});
    builder.rawRecord(0x0A32, extTextOut({10, 50}, options, QRect(0, 0, 2, 2), text, spacing));
    const QImage drawn = renderMetafile(builder.bytes(), QSize(side, side));
    const QList<std::pair<int, int>> runs = inkRuns(drawn);
    QCOMPARE(runs.size(), text.size());
    // Each letter starts where the advances before it say; without an
    // array, at the font's own even spacing.
    for (int letter = 1; letter < text.size(); ++letter) {
        const int step = runs[letter].first - runs[letter - 1].first;
        if (!spacing.isEmpty())
            QCOMPARE(step, spacing[letter - 1]);
        else
            QVERIFY(std::abs(step - (runs[1].first - runs[0].first)) <= 1 && step < 20);
    }
    QVERIFY(runs.first().first >= 10 && runs.first().first <= 16);
}

void TestWmfGolden::textBoxesClipAndOpaque_data()
{
    // An opaque box is filled with the background colour before the text;
    // a clipping box keeps the text inside it; both together do both.
    QTest::addColumn<int>("options");
    QTest::addRow("opaque") << 2;
    QTest::addRow("clipped") << 4;
    QTest::addRow("opaque and clipped") << 6;
}

void TestWmfGolden::textBoxesClipAndOpaque()
{
    QFETCH(int, options);
    const QRect box(30, 40, 60, 50); // cuts through the middle of the letters
    const QColor background(0, 200, 0);
    Builder builder = canvas();
    builder.createFont(-60, "DejaVu Sans").selectObject(0).record(0x0102, {1})
        .rawRecord(0x0201, Builder::colorReference(background));
    builder.rawRecord(0x0A32, extTextOut({10, 20}, options, box, "HHHHH", {30, 30, 30, 30, 30}));
    const QImage drawn = renderMetafile(builder.bytes(), QSize(side, side));
    int inkInside = 0;
    int inkOutside = 0;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const QColor colour = drawn.pixelColor(x, y);
            const bool inside = box.adjusted(1, 1, -1, -1).contains(x, y);
            const bool ink = colour.value() < 100;
            (inside ? inkInside : inkOutside) += ink;
            if (inside && !ink && options & 2)
                QVERIFY2(isCloseTo(colour, background, 40), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            if (!box.adjusted(-1, -1, 1, 1).contains(x, y))
                QVERIFY2(!isCloseTo(colour, background, 60), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
    QVERIFY(inkInside > 200);
    // The letters reach well past the box: unclipped, ink shows outside it.
    QCOMPARE(inkOutside > 200, !(options & 4));
}

void TestWmfGolden::fontOfNoHeightIsTwelvePixels()
{
    // A font of height 0 is GDI's default size, 12 device units (pixels of
    // a picture shown at its own size), however the window scales the
    // picture: here twenty logical units to a device unit. A long line of
    // it is as wide as the same line set in 12-pixel type.
    constexpr int width = 800;
    constexpr int scale = 20;
    const QByteArray text(60, 'M');
    Builder builder(Builder::Header::Placeable, QRect(0, 0, width, 100));
    // The first window sets the picture's device units; the second makes
    // each of them twenty logical units.
    builder.record(0x0103, {8}).setWindow(0, 0, width, 100).setWindow(0, 0, width * scale, 100 * scale)
        .createFont(0, "DejaVu Sans").selectObject(0)
        .record(0x0102, {1}).textOut({10 * scale, 40 * scale}, text);
    const QImage picture = renderMetafile(builder.bytes(), QSize(width, 100));
    const QList<std::pair<int, int>> drawn = inkRuns(picture);
    QImage reference(width, 100, QImage::Format_ARGB32_Premultiplied);
    reference.fill(Qt::white);
    {
        QPainter painter(&reference);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        painter.setFont(font);
        painter.drawText(QPointF(10, 60), QString::fromLatin1(text));
    }
    const QList<std::pair<int, int>> expected = inkRuns(reference);
    QVERIFY(!drawn.isEmpty() && !expected.isEmpty());
    const int drawnWidth = drawn.back().second - drawn.front().first;
    const int expectedWidth = expected.back().second - expected.front().first;
    QVERIFY2(std::abs(drawnWidth - expectedWidth) <= 2,
             qPrintable(QStringLiteral("%1 pixels wide, 12-pixel type %2").arg(drawnWidth).arg(expectedWidth)));
}

void TestWmfGolden::coreHeaderBitmaps_data()
{
    // Old OS/2 bitmaps: a 12-byte header, 16-bit sizes, colour table
    // entries of three bytes. Each pixel of a 4 x 4 bitmap has its own
    // colour where the depth allows.
    QTest::addColumn<int>("bitCount");
    QTest::addRow("1 bit") << 1;
    QTest::addRow("4 bits") << 4;
    QTest::addRow("8 bits") << 8;
    QTest::addRow("24 bits") << 24;
}

void TestWmfGolden::coreHeaderBitmaps()
{
    QFETCH(int, bitCount);
    const int colourCount = bitCount == 24 ? 0 : 1 << bitCount; // a core table is always full
    const auto colourOf = [](int index) { return QColor((index * 53) % 256, (index * 97 + 40) % 256, (index * 151 + 90) % 256); };
    const auto indexAt = [&](int x, int y) { return bitCount == 1 ? (x + y) % 2 : 4 * y + x; };
    QByteArray dib = Builder::words({12, 0, 4, 4, 1, bitCount}); // the size in 32 bits, the rest in 16
    for (int index = 0; index < colourCount; ++index)
        dib.append(char(colourOf(index).blue())).append(char(colourOf(index).green())).append(char(colourOf(index).red()));
    for (int y = 3; y >= 0; --y) { // bottom row first
        QByteArray row;
        for (int x = 0; x < 4; ++x) {
            const int index = indexAt(x, y);
            if (bitCount == 24)
                row.append(char(colourOf(index).blue())).append(char(colourOf(index).green())).append(char(colourOf(index).red()));
            else if (bitCount == 8)
                row.append(char(index));
            else if (bitCount == 4 && x % 2 == 0)
                row.append(char(index << 4 | indexAt(x + 1, y)));
            else if (bitCount == 1 && x == 0)
                row.append(char((indexAt(0, y) << 7) | (indexAt(1, y) << 6) | (indexAt(2, y) << 5) | (indexAt(3, y) << 4)));
        }
        row.append(QByteArray((4 - row.size() % 4) % 4, '\0'));
        dib += row;
    }
    // STRETCHDIB, source copy: operation, usage, source and target boxes (each y, x order reversed).
    Builder builder(Builder::Header::Placeable, QRect(0, 0, 4, 4));
    builder.setWindow(0, 0, 4, 4);
    builder.rawRecord(0x0F43, Builder::words({0x0020, 0x00CC, 0, 4, 4, 0, 0, 4, 4, 0, 0}) + dib);
    // Drawn one to one, so that no pixel is blended with its neighbours.
    const QImage drawn = renderMetafile(builder.bytes(), QSize(4, 4));
    QVERIFY(!drawn.isNull());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const QColor expected = colourOf(indexAt(x, y));
            QVERIFY2(isCloseTo(drawn.pixelColor(x, y), expected, 2),
                     qPrintable(QStringLiteral("pixel %1,%2 is %3, expected %4")
                                    .arg(x).arg(y).arg(drawn.pixelColor(x, y).name(), expected.name())));
        }
}

void TestWmfGolden::colourTablesAndPalettes_data()
{
    // Small bitmaps drawn one to one: each pixel's colour exactly.
    QTest::addColumn<bool>("old");            // an old device-dependent bitmap (BITBLT), else a DIB (STRETCHDIB)
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("bitmap");
    QTest::addColumn<QList<QColor>>("pixels"); // left to right, top row first
    const auto bytes = [](std::initializer_list<int> values) {
        QByteArray out;
        for (const int value : values)
            out.append(char(value));
        return out;
    };
    // The system palette of old 8-bit bitmaps: after the ten low colours
    // and the 6 x 6 x 6 cube (10 to 225), a grey ramp from 8 in steps of 12
    // (226 to 245), then the ten high colours from 246 (cream, 0xFFFBF0).
    QTest::addRow("old 8-bit: grey ramp and the high colours")
        << true << QSize(2, 2) << bytes({226, 227, 245, 246})
        << QList<QColor>{QColor(8, 8, 8), QColor(20, 20, 20), QColor(236, 236, 236), QColor(0xFF, 0xFB, 0xF0)};
    // A table shorter than the depth allows: pixels naming entries past it
    // are black, never whatever bytes follow the table.
    QTest::addRow("4 bits with a table of two")
        << false << QSize(4, 1) << Builder::dib(4, 1, 4, {QColor(255, 0, 0), QColor(0, 255, 0)}, {bytes({0x01, 0x2F})})
        << QList<QColor>{QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 0), QColor(0, 0, 0)};
    // A true-colour bitmap may carry an optional table; when the record
    // holds exactly the table and the pixels, the table is passed over.
    QTest::addRow("24 bits after an optional table of one")
        << false << QSize(2, 1) << Builder::dib(2, 1, 24, {QColor(9, 9, 9)}, {bytes({0, 0, 255, 255, 0, 0})})
        << QList<QColor>{QColor(255, 0, 0), QColor(0, 0, 255)};
}

void TestWmfGolden::colourTablesAndPalettes()
{
    QFETCH(bool, old);
    QFETCH(QSize, size);
    QFETCH(QByteArray, bitmap);
    QFETCH(QList<QColor>, pixels);
    Builder builder(Builder::Header::Placeable, QRect(QPoint(0, 0), size), 96);
    builder.setWindow(0, 0, size.width(), size.height());
    if (old) // BITBLT of a 2 x 2, 8-bit bitmap, 2 bytes a row, source copy
        builder.rawRecord(0x0922, QByteArray::fromHex("2000cc00") + Builder::words({0, 0, 2, 2, 0, 0, 0, 2, 2, 2})
                                      + QByteArray::fromHex("0108") + bitmap);
    else
        builder.stretchDib(QRect(QPoint(0, 0), size), bitmap);
    const QImage drawn = renderMetafile(builder.bytes(), size);
    QVERIFY(!drawn.isNull());
    for (int index = 0; index < pixels.size(); ++index) {
        const QColor got = drawn.pixelColor(index % size.width(), index / size.width());
        QVERIFY2(isCloseTo(got, pixels[index], 1),
                 qPrintable(QStringLiteral("pixel %1 is %2, expected %3").arg(index).arg(got.name(), pixels[index].name())));
    }
}

void TestWmfGolden::fontsAsTheRecordsSay()
{
    // The font's face comes from its record, after its fixed fields: a
    // fixed-pitch face makes a line of i's exactly as wide as one of M's.
    const auto inkWidth = [](const QByteArray &face, const QByteArray &text, bool strikeOut, bool underline = false) {
        QByteArray font = Builder::words({-40, 0, 0, 0, 400});
        font.append(char(0)).append(char(underline)).append(char(strikeOut)).append(char(0));
        font.append(QByteArray(4, '\0')).append(face).append('\0');
        Builder builder = canvas();
        builder.rawRecord(0x02FB, font).selectObject(0).record(0x0102, {1}).textOut({10, 60}, text);
        const QList<std::pair<int, int>> runs = inkRuns(renderMetafile(builder.bytes(), QSize(side, side)));
        return runs.isEmpty() ? 0 : runs.back().second - runs.front().first;
    };
    const int narrow = inkWidth("Liberation Mono", "iiiiiii", false);
    const int wide = inkWidth("Liberation Mono", "MMMMMMM", false);
    QVERIFY2(narrow > 100 && std::abs(narrow - wide) <= 12, qPrintable(QStringLiteral("%1 and %2").arg(narrow).arg(wide)));
    QVERIFY(inkWidth("DejaVu Sans", "iiiiiii", false) < narrow * 2 / 3);
    // Struck out or underlined, even blanks show their line.
    QCOMPARE(inkWidth("Liberation Mono", "       ", false), 0);
    QVERIFY(inkWidth("Liberation Mono", "       ", true) > 100);
    QVERIFY(inkWidth("Liberation Mono", "       ", false, true) > 100);
}

void TestWmfGolden::lineJoinsFromEscapes_data()
{
    // A pen joining two lines, its join and miter limit set by escapes.
    // At a right angle (a 20-unit pen) the outer corner's tip is inked by a
    // mitred join and cut off by a bevelled or rounded one. At a sharp turn
    // (a 10-unit pen, 32 degrees) a mitre reaches 18 units past the corner;
    // a limit cuts it shorter, the smaller the shorter.
    QTest::addColumn<int>("join");  // SETLINEJOIN: 0 round, 1 bevel, 2 miter; -1: none set
    QTest::addColumn<int>("limit"); // SETMITERLIMIT; 0: none set
    QTest::addColumn<bool>("sharp");
    QTest::addColumn<int>("reach"); // right angle: whether the tip is inked (1, 0); sharp: how far the spike reaches
    QTest::addRow("right angle, mitred") << 2 << 0 << false << 1;
    QTest::addRow("right angle, bevelled") << 1 << 0 << false << 0;
    QTest::addRow("right angle, rounded") << 0 << 0 << false << 0;
    QTest::addRow("sharp, mitred, limit 10") << 2 << 10 << true << 15;
    QTest::addRow("sharp, mitred, limit 1") << 2 << 1 << true << 10;
}

void TestWmfGolden::lineJoinsFromEscapes()
{
    QFETCH(int, join);
    QFETCH(int, limit);
    QFETCH(bool, sharp);
    QFETCH(int, reach);
    Builder builder = canvas();
    builder.createPen(0, sharp ? 10 : 20, Qt::black).selectObject(0);
    const auto escape = [&](int function, int value) {
        builder.rawRecord(0x0626, Builder::words({function, 4, value & 0xFFFF, value >> 16}));
    };
    if (join >= 0)
        escape(22, join);
    if (limit > 0)
        escape(23, limit);
    if (sharp)
        builder.rawRecord(0x0325, Builder::words({3, 20, 60, 160, 100, 20, 140})); // in to a point, and back
    else
        builder.rawRecord(0x0325, Builder::words({3, 40, 40, 160, 40, 160, 160})); // along the top, then down
    const QImage drawn = renderMetafile(builder.bytes(), QSize(side, side));
    if (!sharp) {
        // (168, 32): beyond the bevel's diagonal and the round join's circle.
        QCOMPARE(qGray(drawn.pixel(168, 32)) < 100, reach == 1);
        return;
    }
    int rightmost = 0;
    for (int x = 160; x < side; ++x)
        if (qGray(drawn.pixel(x, 100)) < 128)
            rightmost = x;
    QVERIFY2(std::abs(rightmost - 160 - reach) <= 1, qPrintable(QString::number(rightmost)));
}

void TestWmfGolden::windowScaledByFactors_data()
{
    // SCALEWINDOWEXT multiplies the window's extent by x and y fractions: a
    // window halved shows everything twice as large, one doubled half as.
    QTest::addColumn<QList<int>>("factors"); // x numerator, x denominator, y numerator, y denominator
    QTest::addColumn<QRect>("drawn");        // where a square of 20 units at (10, 10) lands
    QTest::addRow("halved") << QList<int>{1, 2, 1, 2} << QRect(20, 20, 40, 40);
    QTest::addRow("doubled") << QList<int>{2, 1, 2, 1} << QRect(5, 5, 10, 10);
    QTest::addRow("halved across only") << QList<int>{1, 2, 1, 1} << QRect(20, 10, 40, 20);
}

void TestWmfGolden::windowScaledByFactors()
{
    QFETCH(QList<int>, factors);
    QFETCH(QRect, drawn);
    Builder builder = filled(red);
    builder.record(0x0410, {factors[3], factors[2], factors[1], factors[0]}).rectangle(QRect(10, 10, 20, 20));
    verifyGolden(builder.bytes(), [&](QPointF p) {
        return QRectF(drawn).contains(p * (side / 100.0) / (side / 100.0)) ? red : white;
    });
}

void TestWmfGolden::textAloneFramesAStandardPicture()
{
    // A picture without a placeable header or a window is as large as what
    // it draws: text alone, measured in twips (fifteen to a device pixel,
    // y up), still fills it, neither cut off nor lost in a large frame.
    Builder builder(Builder::Header::Standard);
    builder.record(0x0103, {6}).createFont(-400, "DejaVu Sans").selectObject(0).record(0x0102, {1})
        .textOut({300, -300}, "xxxx");
    const QImage drawn = renderMetafile(builder.bytes(), QSize(side, side));
    QVERIFY(!drawn.isNull());
    QRect ink;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (qGray(drawn.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    QVERIFY2(ink.width() > side / 2 && ink.left() > 0 && ink.right() < side - 1,
             qPrintable(QStringLiteral("ink %1,%2 %3 x %4").arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
}

QTEST_MAIN(TestWmfGolden)
#include "tst_wmfgolden.moc"
