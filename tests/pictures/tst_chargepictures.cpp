// The committed charge pictures: that they are what the generator draws,
// that exactly the lab's 33 names exist, and that a student sees the right
// amount of crystal, measured both on the geometry and on rendered pixels.

#include "chargedescription.h"
#include "chargelayout.h"
#include "chargepalette.h"
#include "chargepicture.h"
#include "polygongeometry.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QVector3D>

#include <algorithm>
#include <optional>

#if __has_include("wmfpicture.h")
#include "wmfpicture.h"
#define LAB_HAVE_WMF_READER 1
#endif

using namespace charge;

namespace {

QString picturesFolder()
{
    return QStringLiteral(LAB_SOURCE_DIR "/pictures");
}

std::optional<ChargeDescription> describe(const QString &name)
{
    for (const ChargeDescription &description : ChargeDescription::catalogue()) {
        if (description.name == name)
            return description;
    }
    return std::nullopt;
}

// What each picture must show, written out here rather than taken from
// the catalogue so that a wrong band in the catalogue is caught.
struct Expectation
{
    const char *name;
    double crystalShare;
    bool showsFirstMineral;
    bool showsSecondMineral;
};

const Expectation expectations[] = {
    {"Chaa", 0.0, false, false},  {"Chab", 0.05, true, false},  {"Chac", 0.125, true, false},
    {"Chad", 0.175, true, false}, {"Chae", 0.225, true, false}, {"Chaf", 0.275, true, false},
    {"Chag", 0.325, true, false}, {"Chah", 0.375, true, false}, {"Chai", 0.45, true, false},
    {"Chaj", 0.55, true, false},  {"Chak", 0.65, true, false},  {"Chal", 0.75, true, false},
    {"Cham", 0.9, true, false},   {"Chan", 1.0, true, false},   {"Chao", 1.0, true, false},
    {"Chbb", 0.05, false, true},  {"Chbc", 0.125, false, true}, {"Chbd", 0.175, false, true},
    {"Chbe", 0.225, false, true}, {"Chbf", 0.275, false, true}, {"Chbg", 0.325, false, true},
    {"Chbh", 0.375, false, true}, {"Chbi", 0.45, false, true},  {"Chbj", 0.55, false, true},
    {"Chbk", 0.65, false, true},  {"Chbl", 0.75, false, true},  {"Chbm", 0.9, false, true},
    {"Chbn", 1.0, false, true},   {"Chbo", 1.0, false, true},   {"Chba", 0.0, false, false},
    {"Chap", 0.3, true, true},    {"Chaq", 1.0, true, true},    {"Cha", 1.0, true, false},
};

void addExpectationRows()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("crystalShare");
    QTest::addColumn<bool>("showsFirstMineral");
    QTest::addColumn<bool>("showsSecondMineral");
    for (const Expectation &e : expectations) {
        QTest::addRow("%s", e.name) << QString::fromLatin1(e.name) << e.crystalShare
                                    << e.showsFirstMineral << e.showsSecondMineral;
    }
}

} // namespace

class TestChargePictures : public QObject
{
    Q_OBJECT

private slots:
    void folderHoldsExactlyTheLabsNames();
    void committedFileIsWhatTheGeneratorDraws_data() { addExpectationRows(); }
    void committedFileIsWhatTheGeneratorDraws();
    void crystalsFitTheChargeAndTheBand_data() { addExpectationRows(); }
    void crystalsFitTheChargeAndTheBand();
    void renderedCrystalShareMatchesTheBand_data() { addExpectationRows(); }
    void renderedCrystalShareMatchesTheBand();
    void coloursDifferInLightness();
};

void TestChargePictures::folderHoldsExactlyTheLabsNames()
{
    QStringList expected;
    for (const Expectation &e : expectations)
        expected << QString::fromLatin1(e.name) + QStringLiteral(".wmf");
    expected.sort();
    QCOMPARE(expected.size(), 33);

    QStringList catalogue;
    for (const ChargeDescription &description : ChargeDescription::catalogue())
        catalogue << description.fileName();
    catalogue.sort();
    QCOMPARE(catalogue, expected);

    const QStringList present = QDir(picturesFolder()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(present, expected);
}

void TestChargePictures::committedFileIsWhatTheGeneratorDraws()
{
    QFETCH(QString, name);
    const std::optional<ChargeDescription> description = describe(name);
    QVERIFY(description);

    QFile file(picturesFolder() + QLatin1Char('/') + description->fileName());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    const QByteArray committed = file.readAll();
    const QByteArray drawn = ChargePicture::draw(*description);
    QVERIFY2(committed == drawn,
             "the committed picture differs from what the generator draws now; run "
             "picture-generator on the pictures folder");
    // Drawing twice must not differ either: nothing may depend on state.
    QCOMPARE(ChargePicture::draw(*description), drawn);
}

void TestChargePictures::crystalsFitTheChargeAndTheBand()
{
    QFETCH(QString, name);
    QFETCH(double, crystalShare);
    QFETCH(bool, showsFirstMineral);
    QFETCH(bool, showsSecondMineral);
    const std::optional<ChargeDescription> description = describe(name);
    QVERIFY(description);

    const ChargeLayout layout(*description);
    const QPolygonF charge = ChargeLayout::chargeOutline();
    const double chargeArea = geometry::area(charge);
    const double first = layout.crystalArea(Mineral::First) / chargeArea;
    const double second = layout.crystalArea(Mineral::Second) / chargeArea;
    // Exact by construction, up to floating-point rounding.
    QVERIFY2(qAbs(first + second - crystalShare) < 1e-6,
             qPrintable(QStringLiteral("crystal share %1").arg(first + second)));
    QCOMPARE(first > 0.0, showsFirstMineral);
    QCOMPARE(second > 0.0, showsSecondMineral);
    if (showsFirstMineral && showsSecondMineral) {
        QVERIFY(first > 0.25 * crystalShare);
        QVERIFY(second > 0.25 * crystalShare);
    }

    // No crystal leaves the charge, and no two overlap (beyond rounding).
    const QList<Crystal> &crystals = layout.crystals();
    constexpr double overlapTolerance = 1e-3; // square twips
    for (qsizetype i = 0; i < crystals.size(); ++i) {
        const QPolygonF &outline = crystals[i].outline;
        QVERIFY(outline.size() >= 3);
        QVERIFY(geometry::signedArea(outline) > 0.0);
        QVERIFY2(qAbs(geometry::area(geometry::clippedToConvex(outline, charge))
                      - geometry::area(outline)) < overlapTolerance,
                 qPrintable(QStringLiteral("crystal %1 leaves the charge").arg(i)));
        const QRectF bounds = outline.boundingRect();
        for (qsizetype j = i + 1; j < crystals.size(); ++j) {
            if (!bounds.intersects(crystals[j].outline.boundingRect()))
                continue;
            const double overlap =
                geometry::area(geometry::clippedToConvex(outline, crystals[j].outline));
            QVERIFY2(overlap < overlapTolerance,
                     qPrintable(QStringLiteral("crystals %1 and %2 overlap by %3")
                                    .arg(i)
                                    .arg(j)
                                    .arg(overlap)));
        }
    }
}

void TestChargePictures::renderedCrystalShareMatchesTheBand()
{
#ifndef LAB_HAVE_WMF_READER
    QSKIP("the metafile reader is not in the tree yet");
#else
    QFETCH(QString, name);
    QFETCH(double, crystalShare);
    QFETCH(bool, showsFirstMineral);
    QFETCH(bool, showsSecondMineral);

    QFile file(picturesFolder() + QLatin1Char('/') + name + QStringLiteral(".wmf"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    const wmf::ReadResult result = wmf::Picture::read(file.readAll());
    QVERIFY2(result.isValid(), qPrintable(result.error));

    // Four times the size the lab shows it at (96 dots per inch), so the
    // anti-aliased edge pixels are a small part of each crystal.
    constexpr int scale = 4;
    const QSize size(ChargePicture::widthInTwips * scale / 15,
                     ChargePicture::heightInTwips * scale / 15);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QRectF fitted = result.picture->fittedRect(QRectF(QPointF(0, 0), size));
    {
        QPainter painter(&image);
        result.picture->render(painter, QRectF(QPointF(0, 0), size));
    }

    // Count the whole charge. The pen of the capsule's inner wall runs
    // along its edge, under the crystals: where it shows inside the charge
    // it covers glass, so its colour counts as glass below.
    QImage mask(size, QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.translate(fitted.topLeft());
        painter.scale(fitted.width() / ChargePicture::widthInTwips,
                      fitted.height() / ChargePicture::heightInTwips);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPolygon(ChargeLayout::chargeOutline());
    }

    enum Kind { Glass, First, Second };
    const struct
    {
        QRgb colour;
        Kind kind;
    } classes[] = {
        {palette::glass, Glass},          {palette::capsuleEdge, Glass},
        {palette::firstMineral, First},
        {palette::firstMineralEdge, First}, {palette::secondMineral, Second},
        {palette::secondMineralEdge, Second},
    };
    // Edge pixels are anti-aliased blends of two colours. Each pixel is
    // explained as the blend of the pair of palette colours that comes
    // closest to it, and its area is shared between their classes in the
    // blend's proportions; counting it whole for the nearest colour would
    // bias the share by a fraction of a pixel along every crystal edge.
    double counts[3] = {0.0, 0.0, 0.0};
    constexpr int classCount = int(std::size(classes));
    for (int y = 0; y < size.height(); ++y) {
        const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const uchar *inside = mask.constScanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            if (inside[x] < 128)
                continue;
            const QVector3D pixel(qRed(pixels[x]), qGreen(pixels[x]), qBlue(pixels[x]));
            double bestResidual = 1e300;
            double bestShare = 1.0;
            int bestFirst = 0;
            int bestSecond = 0;
            for (int i = 0; i < classCount; ++i) {
                const QVector3D a(qRed(classes[i].colour), qGreen(classes[i].colour),
                                  qBlue(classes[i].colour));
                for (int j = i + 1; j < classCount; ++j) {
                    const QVector3D b(qRed(classes[j].colour), qGreen(classes[j].colour),
                                      qBlue(classes[j].colour));
                    const QVector3D span = a - b;
                    const double share = std::clamp(
                        double(QVector3D::dotProduct(pixel - b, span) / span.lengthSquared()), 0.0,
                        1.0);
                    const double residual =
                        (pixel - (b + span * float(share))).lengthSquared();
                    if (residual < bestResidual) {
                        bestResidual = residual;
                        bestShare = share;
                        bestFirst = i;
                        bestSecond = j;
                    }
                }
            }
            counts[classes[bestFirst].kind] += bestShare;
            counts[classes[bestSecond].kind] += 1.0 - bestShare;
        }
    }
    const double total = counts[Glass] + counts[First] + counts[Second];
    QVERIFY(total > 100000);
    const double first = counts[First] / total;
    const double second = counts[Second] / total;
    constexpr double tolerance = 0.02;
    QVERIFY2(qAbs(first + second - crystalShare) <= tolerance,
             qPrintable(QStringLiteral("%1: rendered crystal share %2, expected %3")
                            .arg(name)
                            .arg(first + second, 0, 'f', 4)
                            .arg(crystalShare)));
    // A mineral that is there must be plainly visible; one that is not
    // must not show (a stray pixel of blended edge is allowed).
    constexpr double visible = 0.04;
    constexpr double stray = 0.002;
    QVERIFY2(showsFirstMineral ? first >= visible : first <= stray,
             qPrintable(QStringLiteral("first mineral share %1").arg(first)));
    QVERIFY2(showsSecondMineral ? second >= visible : second <= stray,
             qPrintable(QStringLiteral("second mineral share %1").arg(second)));
#endif
}

void TestChargePictures::coloursDifferInLightness()
{
    // Pale glass, mid-tone second mineral, dark first mineral: readable in
    // greyscale and by colour-blind students. 60 of 255 is a clear step.
    constexpr int clearStep = 60;
    // qGray weighs the channels as the eye does (green most, blue least).
    const int glass = qGray(palette::glass);
    const int second = qGray(palette::secondMineral);
    const int first = qGray(palette::firstMineral);
    QVERIFY2(glass - second >= clearStep && second - first >= clearStep,
             qPrintable(QStringLiteral("lightness %1, %2, %3").arg(glass).arg(second).arg(first)));
    QVERIFY(qGray(palette::firstMineralEdge) < first);
    QVERIFY(qGray(palette::secondMineralEdge) < second);
}

QTEST_MAIN(TestChargePictures)
#include "tst_chargepictures.moc"
