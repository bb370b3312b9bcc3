// The metafile-render tool: exit codes, default and requested sizes.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString tool = QStringLiteral(LAB_BINARY_DIR "/tools/metafile-render");
const QString samples = QStringLiteral(LAB_SOURCE_DIR "/tests/data/wmf/");

} // namespace

class TestMetafileRender : public QObject
{
    Q_OBJECT

private slots:
    void exitCodes_data();
    void exitCodes();
};

void TestMetafileRender::exitCodes_data()
{
    QTest::addColumn<QStringList>("arguments"); // OUT stands for a file in a temporary folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QSize>("imageSize"); // invalid: no image expected
    QTest::addColumn<QString>("errorPart");

    const QString good = samples + QStringLiteral("pass/placeable-red-rectangle.wmf");
    QTest::addRow("natural size") << QStringList{good, "OUT"} << 0 << QSize(100, 100) << QString();
    QTest::addRow("requested size") << QStringList{good, "OUT", "--size", "40x30"} << 0 << QSize(40, 30) << QString();
    QTest::addRow("size first") << QStringList{"--size", "64x64", samples + "thirdparty/shapes.wmf", "OUT"} << 0 << QSize(64, 64) << QString();
    QTest::addRow("rejected file") << QStringList{samples + "fail/record-size-0.wmf", "OUT"} << 2 << QSize() << QString();
    QTest::addRow("missing file") << QStringList{samples + "pass/no-such-file.wmf", "OUT"} << 2 << QSize() << QString();
    QTest::addRow("no arguments") << QStringList{} << 1 << QSize() << QString();
    QTest::addRow("bad size") << QStringList{good, "OUT", "--size", "big"} << 1 << QSize() << QString();
    QTest::addRow("zero size") << QStringList{good, "OUT", "--size", "0x10"} << 1 << QSize() << QString();
    QTest::addRow("size without value") << QStringList{good, "OUT", "--size"} << 1 << QSize() << QString();
    QTest::addRow("damaged record skipped with a warning")
        << QStringList{samples + "pass/truncated-bitmap-among-shapes.wmf", "OUT"} << 0 << QSize(100, 100)
        << "warning: skipped record 6 (0x0f43 StretchDIB): bitmap pixels are truncated";
    QTest::addRow("records running past the end") << QStringList{samples + "fail/record-size-beyond-end.wmf", "OUT"}
                                                   << 2 << QSize() << "claims 10000 bytes";
    QTest::addRow("unwritable output") << QStringList{good, "/nonexistent-folder/out.png"} << 1 << QSize() << QString();
}

void TestMetafileRender::exitCodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QSize, imageSize);
    QFETCH(QString, errorPart);
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString output = directory.filePath(QStringLiteral("out.png"));
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^OUT$")), output);

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM")); // the tool must choose offscreen itself
    process.setProcessEnvironment(environment);
    process.start(tool, arguments);
    QVERIFY(process.waitForFinished(60'000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    QCOMPARE(process.exitCode(), exitCode);
    QVERIFY2(errors.contains(errorPart), qPrintable(errors));
    if (exitCode != 0) {
        QVERIFY(!errors.isEmpty());
        QVERIFY2(!errors.contains(QLatin1Char('\n')), qPrintable(errors));
    }
    if (imageSize.isValid()) {
        const QImage image(output);
        QCOMPARE(image.size(), imageSize);
    } else {
        QVERIFY(!QFile::exists(output));
    }
}

QTEST_GUILESS_MAIN(TestMetafileRender)
#include "tst_metafilerender.moc"
