// Replays the sample files: every file in fail/ must be refused with a
// reason, every file in pass/ and thirdparty/ must be read and drawn, and
// the files exported by other programs must look like what they show.
#include "renderhelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTest>

namespace {

QString dataDirectory(const QString &name)
{
    return QStringLiteral(LAB_SOURCE_DIR "/tests/data/wmf/") + name;
}

void addFiles(const QString &folder)
{
    const QDir directory(dataDirectory(folder));
    const QStringList names = directory.entryList({QStringLiteral("*.wmf")}, QDir::Files, QDir::Name);
    QVERIFY2(!names.isEmpty(), qPrintable(QStringLiteral("no samples in %1").arg(directory.path())));
    for (const QString &name : names)
        QTest::addRow("%s", qPrintable(folder + QLatin1Char('/') + name)) << directory.filePath(name);
}

// What each broken sample must be refused for: the guard meant for its
// damage, not some later check it happens to trip. Samples not listed only
// need to be refused with a reason.
const QHash<QString, QString> expectedReasons{
    {"absurd-bitmap-dimensions", "larger than allowed"},   {"bitmap-pixels-truncated", "pixels are truncated"},
    {"bitmap-unknown-depth", "depth"},                     {"clip-cut-into-thousands-of-pieces", "clip region"},
    {"deep-savedc-nesting", "record 1025 (0x001e): device contexts saved more than"}, {"empty-file", "too short"},
    {"escape-length-beyond-record", "escape data"},        {"huge-extent", "picture size"},
    {"million-records", "more than"},                      {"not-a-metafile", "not a Windows metafile"},
    {"object-index-out-of-range", "object index"},         {"polygon-count-beyond-record", "points"},
    {"polypolygon-count-beyond-record", "points"},         {"record-size-0", "minimum"},
    {"record-size-1", "minimum"},                          {"record-size-2", "minimum"},
    {"record-size-beyond-end", "only"},                    {"region-scan-beyond-record", "region"},
    {"rle4-absolute-run-past-row", "end of a 4-pixel row"}, {"rle8-rows-past-image", "last row"},
    {"rle8-run-past-row", "end of a 4-pixel row"},         {"text-length-beyond-record", "text"},
    {"truncated-at-record-boundary", "end-of-file"},       {"truncated-inside-record", "only"},
    {"truncated-placeable-header", "placeable header is truncated"},
    {"truncated-standard-header", "too short"},            {"zero-units-per-inch", "units per inch"},
    {"zero-window-extent", "zero"},
};

QImage renderFile(const QString &path, QSize size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return renderMetafile(file.readAll(), size);
}

// The share of pixels in `area` close to `color`.
double coverage(const QImage &image, QRect area, QColor color)
{
    int matching = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            matching += isCloseTo(image.pixelColor(x, y), color, 40) ? 1 : 0;
    return double(matching) / (area.width() * area.height());
}

} // namespace

class TestWmfCorpus : public QObject
{
    Q_OBJECT

private slots:
    void rejectsBrokenFiles_data() { QTest::addColumn<QString>("path"); addFiles(QStringLiteral("fail")); }
    void rejectsBrokenFiles();
    void acceptsGoodFiles_data();
    void acceptsGoodFiles();
    void thirdPartyLooksRight_data();
    void thirdPartyLooksRight();
};

void TestWmfCorpus::rejectsBrokenFiles()
{
    QFETCH(QString, path);
    qInfo() << "loading" << path;
    const wmf::ReadResult result = wmf::Picture::readFile(path);
    QVERIFY2(!result.isValid(), "a broken file was accepted");
    qInfo() << "refused:" << result.error;
    QVERIFY(!result.error.isEmpty() && !result.error.contains(QLatin1Char('\n')));
    QVERIFY(result.error.contains(expectedReasons.value(QFileInfo(path).completeBaseName())));
}

void TestWmfCorpus::acceptsGoodFiles_data()
{
    QTest::addColumn<QString>("path");
    addFiles(QStringLiteral("pass"));
    addFiles(QStringLiteral("thirdparty"));
}

void TestWmfCorpus::acceptsGoodFiles()
{
    QFETCH(QString, path);
    qInfo() << "loading" << path;
    const wmf::ReadResult result = wmf::Picture::readFile(path);
    QVERIFY2(result.isValid(), qPrintable(result.error));
    const QImage image = renderFile(path, QSize(64, 64));
    QVERIFY(!image.isNull());
    // Something was drawn: not every pixel is still white. Inputs kept from
    // fuzzing only have to be drawn without failing; what they draw may lie
    // outside the picture.
    if (!QFileInfo(path).fileName().startsWith(QLatin1String("fuzz-")))
        QVERIFY(coverage(image, image.rect(), Qt::white) < 1.0);
}

void TestWmfCorpus::thirdPartyLooksRight_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<double>("minimumShare");

    // Areas are in the SVG's own coordinates, rendered at the SVG's size.
    QTest::addRow("rectangle is red") << "shapes" << QSize(400, 300) << QRect(40, 40, 120, 60) << QColor(Qt::red) << 0.95;
    QTest::addRow("ellipse is blue") << "shapes" << QSize(400, 300) << QRect(280, 55, 40, 30) << QColor(Qt::blue) << 0.95;
    QTest::addRow("triangle is green") << "shapes" << QSize(400, 300) << QRect(100, 230, 20, 30) << QColor(0, 160, 0) << 0.9;
    QTest::addRow("dashed line has gaps") << "shapes" << QSize(400, 300) << QRect(222, 158, 156, 4) << QColor(Qt::white) << 0.2;
    QTest::addRow("dashed line has dashes") << "shapes" << QSize(400, 300) << QRect(222, 158, 156, 4) << QColor(Qt::black) << 0.4;
    QTest::addRow("text has ink") << "text" << QSize(400, 120) << QRect(20, 30, 230, 50) << QColor(Qt::black) << 0.1;
    QTest::addRow("text stays on its line") << "text" << QSize(400, 120) << QRect(0, 100, 400, 20) << QColor(Qt::white) << 0.99;
    QTest::addRow("image left half") << "image" << QSize(200, 200) << QRect(10, 10, 60, 180) << QColor(0, 160, 0) << 0.95;
    QTest::addRow("image right half") << "image" << QSize(200, 200) << QRect(130, 10, 60, 180) << QColor(Qt::blue) << 0.95;
    QTest::addRow("rounded rectangle is yellow") << "rotated" << QSize(300, 300) << QRect(40, 40, 40, 40) << QColor(Qt::yellow) << 0.95;
    QTest::addRow("rotated text is blue") << "rotated" << QSize(300, 300) << QRect(110, 110, 80, 80) << QColor(Qt::blue) << 0.1;
}

void TestWmfCorpus::thirdPartyLooksRight()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(QRect, area);
    QFETCH(QColor, color);
    QFETCH(double, minimumShare);
    const QString path = dataDirectory(QStringLiteral("thirdparty/%1.wmf").arg(file));
    qInfo() << "loading" << path;
    const QImage image = renderFile(path, size);
    QVERIFY(!image.isNull());
    const double share = coverage(image, area, color);
    QVERIFY2(share >= minimumShare, qPrintable(QStringLiteral("only %1 of the area is %2").arg(share).arg(color.name())));
}

QTEST_MAIN(TestWmfCorpus)
#include "tst_wmfcorpus.moc"
