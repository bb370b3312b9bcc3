// The committed charge pictures: that they are what the generator draws,
// that exactly the lab's 33 names exist, and that a student sees the right
// amount of crystal, measured both on the geometry and on rendered pixels.

#include "chargecontent.h"
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

#include "wmfpicture.h"

using namespace charge;

namespace {

QString picturesFolder()
{
    return QStringLiteral(LAB_SOURCE_DIR "/pictures");
}

// One row for every picture: its name, the share of crystal it must show
// and which minerals. Shares come from the charge vocabulary, whose bands
// are checked on their own; here the pictures are held to them.
void addPictureRows()
{
    QTest::addColumn<QString>("name");
    for (const ChargeContent &content : ChargeContent::catalogue())
        QTest::addRow("%s", qPrintable(content.name)) << content.name;
}

ChargeContent contentNamed(const QString &name)
{
    const QList<ChargeContent> catalogue = ChargeContent::catalogue();
    return *std::find_if(catalogue.begin(), catalogue.end(),
                         [&](const ChargeContent &content) { return content.name == name; });
}

} // namespace

class TestChargePictures : public QObject
{
    Q_OBJECT

private slots:
    void folderHoldsExactlyTheLabsNames();
    void committedFileIsWhatTheGeneratorDraws_data() { addPictureRows(); }
    void committedFileIsWhatTheGeneratorDraws();
    void crystalShareMatchesTheBand_data() { addPictureRows(); }
    void crystalShareMatchesTheBand();
    void coloursDifferInLightness();

};

void TestChargePictures::folderHoldsExactlyTheLabsNames()
{
    QStringList catalogue;
    for (const ChargeContent &content : ChargeContent::catalogue())
        catalogue << content.fileName();
    catalogue.sort();
    QCOMPARE(QDir(picturesFolder()).entryList(QDir::Files, QDir::Name), catalogue);
}

void TestChargePictures::committedFileIsWhatTheGeneratorDraws()
{
    QFETCH(QString, name);
    const ChargeContent content = contentNamed(name);
    QFile file(picturesFolder() + QLatin1Char('/') + content.fileName());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    const QByteArray drawn = ChargePicture::draw(content);
    QVERIFY2(file.readAll() == drawn,
             "the committed picture differs from what the generator draws now; run "
             "picture-generator on the pictures folder");
    // Drawing twice must not differ either: nothing may depend on state.
    QCOMPARE(ChargePicture::draw(content), drawn);
}

void TestChargePictures::crystalShareMatchesTheBand()
{
    QFETCH(QString, name);
    const ChargeContent content = contentNamed(name);
    const double crystalShare = content.crystalShare();
    const bool showsFirstMineral = content.firstMineralShare > 0;
    const bool showsSecondMineral = content.secondMineralShare > 0;

    // The geometry: exact by construction, up to floating-point rounding.
    const ChargeLayout layout(content);
    const QPolygonF charge = ChargeLayout::chargeOutline();
    const double chargeArea = geometry::area(charge);
    const double exactFirst = layout.crystalArea(Mineral::First) / chargeArea;
    const double exactSecond = layout.crystalArea(Mineral::Second) / chargeArea;
    QVERIFY2(qAbs(exactFirst + exactSecond - crystalShare) < 1e-6,
             qPrintable(QStringLiteral("crystal share %1").arg(exactFirst + exactSecond)));
    QCOMPARE(exactFirst > 0.0, showsFirstMineral);
    QCOMPARE(exactSecond > 0.0, showsSecondMineral);
    if (showsFirstMineral && showsSecondMineral)
        QVERIFY(exactFirst > 0.25 * crystalShare && exactSecond > 0.25 * crystalShare);
    // No crystal leaves the charge, and no two overlap (beyond rounding):
    // small overlaps would hide below the rendered tolerance.
    const QList<Crystal> &crystals = layout.crystals();
    constexpr double overlapTolerance = 1e-3; // square twips
    for (qsizetype i = 0; i < crystals.size(); ++i) {
        const QPolygonF &outline = crystals[i].outline;
        QVERIFY(outline.size() >= 3 && geometry::signedArea(outline) > 0.0);
        QVERIFY2(qAbs(geometry::area(geometry::clippedToConvex(outline, charge)) - geometry::area(outline))
                     < overlapTolerance,
                 qPrintable(QStringLiteral("crystal %1 leaves the charge").arg(i)));
        for (qsizetype j = i + 1; j < crystals.size(); ++j) {
            if (!outline.boundingRect().intersects(crystals[j].outline.boundingRect()))
                continue;
            const double overlap = geometry::area(geometry::clippedToConvex(outline, crystals[j].outline));
            QVERIFY2(overlap < overlapTolerance,
                     qPrintable(QStringLiteral("crystals %1 and %2 overlap by %3").arg(i).arg(j).arg(overlap)));
        }
    }

    // The pixels a student sees, on the committed file read by the lab's reader.
    QFile file(picturesFolder() + QLatin1Char('/') + content.fileName());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    const wmf::ReadResult result = wmf::Picture::read(file.readAll());
    QVERIFY2(result.isValid(), qPrintable(result.error));
    // Four times the size the lab shows it at (96 dots per inch), so the
    // anti-aliased edge pixels are a small part of each crystal.
    constexpr int scale = 4;
    const QSize size(ChargePicture::widthInTwips * scale / 15, ChargePicture::heightInTwips * scale / 15);
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
        painter.scale(fitted.width() / ChargePicture::widthInTwips, fitted.height() / ChargePicture::heightInTwips);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPolygon(charge);
    }
    enum Kind { Glass, First, Second };
    const QList<std::pair<QRgb, Kind>> classes{
        {palette::glass, Glass},           {palette::capsuleEdge, Glass},
        {palette::firstMineral, First},    {palette::firstMineralEdge, First},
        {palette::secondMineral, Second},  {palette::secondMineralEdge, Second},
    };
    const auto vector = [](QRgb colour) { return QVector3D(qRed(colour), qGreen(colour), qBlue(colour)); };
    // Edge pixels are anti-aliased blends of two colours. Each pixel is
    // explained as the blend of the pair of palette colours that comes
    // closest to it, and its area is shared between their classes in the
    // blend's proportions; counting it whole for the nearest colour would
    // bias the share by a fraction of a pixel along every crystal edge.
    double counts[3] = {0.0, 0.0, 0.0};
    for (int y = 0; y < size.height(); ++y) {
        const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const uchar *inside = mask.constScanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            if (inside[x] < 128)
                continue;
            const QVector3D pixel = vector(pixels[x]);
            double bestResidual = 1e300;
            double bestShare = 1.0;
            Kind bestKinds[2] = {Glass, Glass};
            for (qsizetype i = 0; i < classes.size(); ++i) {
                for (qsizetype j = i + 1; j < classes.size(); ++j) {
                    const QVector3D b = vector(classes[j].first);
                    const QVector3D span = vector(classes[i].first) - b;
                    const double share =
                        std::clamp(double(QVector3D::dotProduct(pixel - b, span) / span.lengthSquared()), 0.0, 1.0);
                    const double residual = (pixel - (b + span * float(share))).lengthSquared();
                    if (residual < bestResidual) {
                        bestResidual = residual;
                        bestShare = share;
                        bestKinds[0] = classes[i].second;
                        bestKinds[1] = classes[j].second;
                    }
                }
            }
            counts[bestKinds[0]] += bestShare;
            counts[bestKinds[1]] += 1.0 - bestShare;
        }
    }
    const double total = counts[Glass] + counts[First] + counts[Second];
    QVERIFY(total > 100000);
    const double first = counts[First] / total;
    const double second = counts[Second] / total;
    constexpr double tolerance = 0.02;
    QVERIFY2(qAbs(first + second - crystalShare) <= tolerance,
             qPrintable(QStringLiteral("%1: rendered crystal share %2, expected %3")
                            .arg(name).arg(first + second, 0, 'f', 4).arg(crystalShare)));
    // A mineral that is there must be plainly visible; one that is not
    // must not show (a stray pixel of blended edge is allowed).
    constexpr double visible = 0.04;
    constexpr double stray = 0.002;
    QVERIFY2(showsFirstMineral ? first >= visible : first <= stray,
             qPrintable(QStringLiteral("first mineral share %1").arg(first)));
    QVERIFY2(showsSecondMineral ? second >= visible : second <= stray,
             qPrintable(QStringLiteral("second mineral share %1").arg(second)));
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
