// Reading: which files are accepted, what size they have, and that every
// kind of damage is refused with a reason instead of a crash.
#include "metafilebuilder.h"
#include "renderhelpers.h"

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
    void countsWarningsPastTheListedOnes();
    void reportsMissingFiles();
    void limitsAreWhatTheySay_data();
    void limitsAreWhatTheySay();
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

    // The damage the broken sample files carry is replayed from them; these
    // are the kinds that no sample shows.
    const QByteArray good = simpleDrawing();
    QTest::addRow("unknown version")
        << [&] { QByteArray bytes = good; bytes[22 + 4] = 7; return bytes; }() << "version";
    QTest::addRow("empty bounding box") << Builder(Builder::Header::Placeable, QRect(5, 5, 0, 10)).bytes() << "empty";
    QTest::addRow("record size near 4 GiB")
        << Builder().recordWithSize(0xFFFFFFFFu, 0x0102, Builder::words({1})).bytes() << "only";
    QTest::addRow("negative polygon count")
        << Builder().rawRecord(0x0325, Builder::words({-2, 1, 1})).bytes() << "points";
    QTest::addRow("polypolygon count beyond the record")
        << Builder().rawRecord(0x0538, Builder::words({40000, 3})).bytes() << "polygon sizes";
    QTest::addRow("extended text length beyond the record")
        << Builder().rawRecord(0x0A32, Builder::words({0, 0, 200, 0}) + "ab").bytes() << "text";
    QTest::addRow("palette beyond the record")
        << Builder().rawRecord(0x00F7, Builder::words({0x300, 200, 0, 0})).bytes() << "palette";
    QTest::addRow("pen record too short") << Builder().rawRecord(0x02FA, Builder::words({0})).bytes() << "shorter";
    QTest::addRow("select just past the object table") << Builder().setObjectCount(2).selectObject(2).bytes() << "object index";
    QTest::addRow("delete outside the object table") << Builder().setObjectCount(2).deleteObject(900).bytes() << "object index";
    QTest::addRow("fill with a region that is a pen")
        << Builder().createPen(0, 1, Qt::red).record(0x012B, {0}).bytes() << "not a region";
    QTest::addRow("window extent with one zero side") << Builder().record(0x020C, {0, 100}).bytes() << "zero";
    QTest::addRow("window extent scaled by zero")
        << Builder().setWindow(0, 0, 10, 10).record(0x0410, {1, 1, 0, 1}).bytes() << "zero";
    QTest::addRow("standard file that draws nothing") << Builder(Builder::Header::Standard).bytes() << "draws nothing";
}

void TestWmfReading::rejectsDamage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, errorPart);
    verifyRejected(bytes, errorPart);
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

void TestWmfReading::countsWarningsPastTheListedOnes()
{
    Builder builder;
    for (int record = 0; record < 1003; ++record)
        builder.record(0x0777, {1, 2, 3}); // unknown function
    const wmf::ReadResult result = wmf::Picture::read(builder.rectangle(QRect(0, 0, 10, 10)).bytes());
    QVERIFY2(result.isValid(), qPrintable(result.error));
    const QStringList warnings = result.picture->warnings();
    QCOMPARE(warnings.size(), 1001);
    QCOMPARE(warnings.first(), QStringLiteral("record 1 (0x0777 unknown): not a record this reader draws"));
    QVERIFY2(warnings[999].startsWith(QLatin1String("record 1000 ")), qPrintable(warnings[999]));
    QCOMPARE(warnings.last(), QStringLiteral("and 3 more records skipped"));
}

void TestWmfReading::reportsMissingFiles()
{
    // Reading the files that exist is replayed on the sample files.
    const wmf::ReadResult missing = wmf::Picture::readFile(QStringLiteral("/nonexistent-folder/absent.wmf"));
    QVERIFY(!missing.isValid());
    QVERIFY(missing.error.contains(QLatin1String("absent.wmf")));
}

void TestWmfReading::limitsAreWhatTheySay_data()
{
    // A reader's limits bound memory; a file just within one is read, a
    // file just past it refused, naming the limit.
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("records"); // records in all, else objects in use at once
    QTest::addColumn<QString>("refusal"); // empty: read whole
    QTest::addRow("500 000 records") << 499'999 << true << "";
    QTest::addRow("one record more") << 500'000 << true << "more than 500000 records";
    QTest::addRow("65 535 objects in use") << 65'535 << false << "";
    QTest::addRow("one object more") << 65'536 << false << "more than 65535 objects in use at once";
}

void TestWmfReading::limitsAreWhatTheySay()
{
    QFETCH(int, count);
    QFETCH(bool, records);
    QFETCH(QString, refusal);
    Builder builder;
    builder.setObjectCount(0);
    // Background modes, or pens that stay in use: the picture's rectangle
    // is one record more.
    for (int index = 0; index < count; ++index) {
        if (records)
            builder.record(0x0102, {1});
        else
            builder.createPen(0, 1, Qt::black);
    }
    const wmf::ReadResult result = wmf::Picture::read(builder.rectangle(QRect(0, 0, 10, 10)).bytes());
    QVERIFY2(result.isValid() == refusal.isEmpty(), qPrintable(result.error));
    if (!refusal.isEmpty())
        QVERIFY2(result.error.contains(refusal), qPrintable(result.error));
}

QTEST_GUILESS_MAIN(TestWmfReading)
#include "tst_wmfreading.moc"
