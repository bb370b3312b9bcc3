// Reading: which files are accepted, what size they have, and that every
// kind of damage is refused with a reason instead of a crash.
#include "metafilebuilder.h"
#include "wmfpicture.h"

#include <QTemporaryDir>
#include <QTest>

using Builder = MetafileBuilder;

namespace {

QByteArray simpleDrawing(Builder builder = Builder())
{
    return builder.setWindow(0, 0, 100, 100)
        .createBrush(0, Qt::red)
        .selectObject(0)
        .rectangle(QRect(10, 10, 80, 80))
        .bytes();
}

} // namespace

class TestWmfReading : public QObject
{
    Q_OBJECT

private slots:
    void acceptsAndSizes_data();
    void acceptsAndSizes();
    void rejectsDamage_data();
    void rejectsDamage();
    void countsSkippedRecords();
    void readsFiles();
    void copiesShareData();
};

void TestWmfReading::acceptsAndSizes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSizeF>("naturalSize");

    QTest::addRow("placeable at 96 units per inch") << simpleDrawing() << QSizeF(100, 100);
    QTest::addRow("placeable in twips")
        << simpleDrawing(Builder(Builder::Header::Placeable, QRect(0, 0, 1440, 720), 1440)) << QSizeF(96, 48);
    QTest::addRow("placeable box not at the origin")
        << Builder(Builder::Header::Placeable, QRect(-50, -20, 200, 100), 192).setWindow(-50, -20, 200, 100).rectangle(QRect(0, 0, 5, 5)).bytes()
        << QSizeF(100, 50);
    QTest::addRow("standard file sized by its window")
        << Builder(Builder::Header::Standard).setWindow(0, 0, 300, 150).rectangle(QRect(1, 1, 5, 5)).bytes()
        << QSizeF(300, 150);
    QTest::addRow("standard file sized by its viewport")
        << Builder(Builder::Header::Standard).setWindow(0, 0, 3000, 1500).record(0x020E, {50, 100}).rectangle(QRect(1, 1, 5, 5)).bytes()
        << QSizeF(100, 50);
    QTest::addRow("standard file sized by what it draws")
        << Builder(Builder::Header::Standard).rectangle(QRect(10, 20, 40, 30)).bytes() << QSizeF(40, 30);
    QTest::addRow("flipped window extent")
        << Builder(Builder::Header::Standard).setWindow(0, 100, 200, -100).rectangle(QRect(1, 1, 5, 5)).bytes()
        << QSizeF(200, 100);
    QTest::addRow("header size counting the placeable header")
        << [] { QByteArray bytes = simpleDrawing(); bytes[22 + 2] = 20; return bytes; }() << QSizeF(100, 100);
    QTest::addRow("wrong placeable checksum")
        << [] { QByteArray bytes = simpleDrawing(); bytes[20] = char(bytes[20] ^ 0x5A); return bytes; }()
        << QSizeF(100, 100);
    QTest::addRow("garbage after the end record") << simpleDrawing() + QByteArray(7, 'x') << QSizeF(100, 100);
    QTest::addRow("deleting the selected object then drawing")
        << Builder().createPen(0, 1, Qt::blue).selectObject(0).deleteObject(0).rectangle(QRect(1, 1, 5, 5)).bytes()
        << QSizeF(100, 100);
    QTest::addRow("selecting a deleted slot")
        << Builder().createPen(0, 1, Qt::blue).deleteObject(0).selectObject(0).rectangle(QRect(1, 1, 5, 5)).bytes()
        << QSizeF(100, 100);
    QTest::addRow("more objects than declared")
        << Builder().setObjectCount(1).createPen(0, 1, Qt::blue).createPen(0, 1, Qt::red).selectObject(1).bytes()
        << QSizeF(100, 100);
    QTest::addRow("standard file sized by its text, read without a GUI application")
        << Builder(Builder::Header::Standard).createFont(-20, "Sans").selectObject(0).textOut({10, 10}, "abcde").bytes()
        << QSizeF(60, 24);
    QTest::addRow("restoring a level that was never saved")
        << Builder().record(0x0127, {-3}).record(0x0127, {5}).bytes() << QSizeF(100, 100);
}

void TestWmfReading::acceptsAndSizes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSizeF, naturalSize);
    const wmf::ReadResult result = wmf::Picture::read(bytes);
    QVERIFY2(result.isValid(), qPrintable(result.error));
    QVERIFY(result.error.isEmpty());
    QCOMPARE(result.picture->naturalSize(), naturalSize);
}

void TestWmfReading::rejectsDamage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("errorPart");

    const QByteArray good = simpleDrawing();
    QTest::addRow("empty") << QByteArray() << "too short";
    QTest::addRow("placeable header only") << good.left(22) << "too short";
    QTest::addRow("placeable header cut") << good.left(12) << "placeable header is truncated";
    QTest::addRow("cut inside a record") << good.left(good.size() - 9) << "only";
    QTest::addRow("cut at a record boundary") << good.left(good.size() - 6) << "end-of-file";
    QTest::addRow("not a metafile") << QByteArray("GIF89a, certainly not a metafile") << "not a Windows metafile";
    QTest::addRow("unknown version")
        << [&] { QByteArray bytes = good; bytes[22 + 4] = 7; return bytes; }() << "version";
    QTest::addRow("zero units per inch") << Builder(Builder::Header::Placeable, QRect(0, 0, 10, 10), 0).bytes() << "units per inch";
    QTest::addRow("empty bounding box") << Builder(Builder::Header::Placeable, QRect(5, 5, 0, 10)).bytes() << "empty";
    for (std::uint32_t size : {0u, 1u, 2u})
        QTest::addRow("record size %u", size) << Builder().recordWithSize(size, 0x0102, Builder::words({1})).bytes() << "minimum";
    QTest::addRow("record size beyond the end")
        << Builder().recordWithSize(4000, 0x0102, Builder::words({1})).bytes(Builder::Ending::WithoutEndRecord) << "only";
    QTest::addRow("record size near 4 GiB")
        << Builder().recordWithSize(0xFFFFFFFFu, 0x0102, Builder::words({1})).bytes() << "only";
    QTest::addRow("polygon count beyond the record")
        << Builder().rawRecord(0x0324, Builder::words({5000, 1, 1, 2, 2})).bytes() << "points";
    QTest::addRow("negative polygon count")
        << Builder().rawRecord(0x0325, Builder::words({-2, 1, 1})).bytes() << "points";
    QTest::addRow("polypolygon sizes beyond the record")
        << Builder().rawRecord(0x0538, Builder::words({3, 60000, 60000, 60000, 0, 0})).bytes() << "points";
    QTest::addRow("polypolygon count beyond the record")
        << Builder().rawRecord(0x0538, Builder::words({40000, 3})).bytes() << "polygon sizes";
    QTest::addRow("text length beyond the record")
        << Builder().rawRecord(0x0521, Builder::words({300}) + "abcd" + Builder::words({0, 0})).bytes() << "text";
    QTest::addRow("extended text length beyond the record")
        << Builder().rawRecord(0x0A32, Builder::words({0, 0, 200, 0}) + "ab").bytes() << "text";
    QTest::addRow("palette beyond the record")
        << Builder().rawRecord(0x00F7, Builder::words({0x300, 200, 0, 0})).bytes() << "palette";
    QTest::addRow("region scans beyond the record")
        << Builder().rawRecord(0x06FF, Builder::words({0, 6, 0, 0, 0, 1, 0, 0, 0, 10, 10, 200, 0, 10}) + Builder::words({0, 10})).bytes()
        << "region";
    QTest::addRow("escape data beyond the record")
        << Builder().rawRecord(0x0626, Builder::words({21, 500, 1})).bytes() << "escape";
    QTest::addRow("pen record too short") << Builder().rawRecord(0x02FA, Builder::words({0})).bytes() << "shorter";
    QTest::addRow("select outside the object table") << Builder().setObjectCount(2).selectObject(2).bytes() << "object index";
    QTest::addRow("delete outside the object table") << Builder().setObjectCount(2).deleteObject(900).bytes() << "object index";
    QTest::addRow("fill with a region that is a pen")
        << Builder().createPen(0, 1, Qt::red).record(0x012B, {0}).bytes() << "not a region";
    QTest::addRow("zero window extent") << Builder().record(0x020C, {0, 100}).bytes() << "zero";
    QTest::addRow("window extent scaled by zero")
        << Builder().setWindow(0, 0, 10, 10).record(0x0410, {1, 1, 0, 1}).bytes() << "zero";
    QTest::addRow("huge placeable box")
        << Builder(Builder::Header::Placeable, QRect(-32000, -32000, 64000, 64000), 1).bytes() << "picture size";
    QTest::addRow("standard file that draws nothing") << Builder(Builder::Header::Standard).bytes() << "draws nothing";
    {
        Builder holes;
        for (int hole = 0; hole < 25'000; ++hole)
            holes.record(0x0415, {(hole / 160) * 2 + 1, (hole % 160) * 2 + 1, (hole / 160) * 2, (hole % 160) * 2});
        QTest::addRow("clip cut into thousands of pieces") << holes.bytes() << "clip region";
    }
    {
        Builder deep;
        for (int level = 0; level < 1100; ++level)
            deep.record(0x001E, {});
        QTest::addRow("save nesting too deep") << deep.bytes() << "saved more than";
    }
    {
        QByteArray many = Builder().bytes(Builder::Ending::WithoutEndRecord);
        const QByteArray setBackgroundMode = Builder::words({4, 0, 0x0102, 1});
        many.reserve(many.size() + 600'000 * setBackgroundMode.size());
        for (int record = 0; record < 600'000; ++record)
            many.append(setBackgroundMode);
        QTest::addRow("record count in the hundreds of thousands") << many << "more than";
    }
}

void TestWmfReading::rejectsDamage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, errorPart);
    const wmf::ReadResult result = wmf::Picture::read(bytes);
    QVERIFY(!result.isValid());
    QVERIFY2(result.error.contains(errorPart), qPrintable(result.error));
    QVERIFY(!result.error.contains(QLatin1Char('\n')));
}

void TestWmfReading::countsSkippedRecords()
{
    const QByteArray bytes = Builder()
                                 .record(0x0419, {0, 0, 1, 1, 1})          // FLOODFILL: not drawn
                                 .record(0x0777, {1, 2, 3})                // unknown function
                                 .rawRecord(0x0626, Builder::words({15, 4, 1, 2})) // comment escape
                                 .rawRecord(0x0626, Builder::words({22, 4, 2, 0})) // line join escape
                                 .rectangle(QRect(0, 0, 10, 10))
                                 .bytes();
    const wmf::ReadResult result = wmf::Picture::read(bytes);
    QVERIFY2(result.isValid(), qPrintable(result.error));
    QCOMPARE(result.picture->recordCount(), 5);
    QCOMPARE(result.picture->skippedRecordCount(), 3);
}

void TestWmfReading::readsFiles()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString path = directory.filePath(QStringLiteral("drawing.wmf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(simpleDrawing());
    file.close();

    const wmf::ReadResult good = wmf::Picture::readFile(path);
    QVERIFY2(good.isValid(), qPrintable(good.error));
    QCOMPARE(good.picture->naturalSize(), QSizeF(100, 100));

    const wmf::ReadResult missing = wmf::Picture::readFile(directory.filePath(QStringLiteral("absent.wmf")));
    QVERIFY(!missing.isValid());
    QVERIFY(missing.error.contains(QLatin1String("absent.wmf")));

    const wmf::ReadResult folder = wmf::Picture::readFile(directory.path());
    QVERIFY(!folder.isValid());
    QVERIFY(!folder.error.isEmpty());
}

void TestWmfReading::copiesShareData()
{
    const wmf::ReadResult result = wmf::Picture::read(simpleDrawing());
    QVERIFY(result.isValid());
    const wmf::Picture copy = *result.picture;
    QCOMPARE(copy.recordCount(), result.picture->recordCount());
    QCOMPARE(copy.naturalSize(), result.picture->naturalSize());
    const wmf::Picture empty;
    QVERIFY(empty.isNull());
    QCOMPARE(empty.recordCount(), 0);
}

QTEST_GUILESS_MAIN(TestWmfReading)
#include "tst_wmfreading.moc"
