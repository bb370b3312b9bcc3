#include "entryconversion.h"
#include "entrylocales.h"

#include <QDir>
#include <QtTest>

#include <cmath>

class EntriesTest : public QObject
{
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion();
    void replayedInputsConvertCleanly();
};

void EntriesTest::conversion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<float>("value");

    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::addRow("plain") << "0.5" << c << true << 0.5f;
    QTest::addRow("blanks around") << "  1300 " << c << true << 1300.f;
    QTest::addRow("exponent") << "1.3e3" << c << true << 1300.f;
    QTest::addRow("single precision") << "0.1" << c << true << 0.1f;
    QTest::addRow("german comma") << "0,5" << german << true << 0.5f;
    QTest::addRow("german point is grouping, not a decimal") << "0.5" << german << false << 0.f;
    QTest::addRow("empty") << "" << c << false << 0.f;
    QTest::addRow("blanks only") << "   " << c << false << 0.f;
    QTest::addRow("letters") << "abc" << c << false << 0.f;
    QTest::addRow("trailing letters") << "0.5g" << c << false << 0.f;
    QTest::addRow("not a number") << "nan" << c << false << 0.f;
    QTest::addRow("infinity") << "inf" << c << false << 0.f;
    QTest::addRow("overflows double") << "1e400" << c << false << 0.f;
    QTest::addRow("overflows single") << "1e39" << c << false << 0.f;
    QTest::addRow("largest single") << "3.4e38" << c << true << 3.4e38f;
    QTest::addRow("negative stays negative") << "-1" << c << true << -1.f;
}

void EntriesTest::conversion()
{
    QFETCH(QString, text);
    QFETCH(QLocale, locale);
    QFETCH(bool, accepted);
    QFETCH(float, value);
    const std::optional<float> converted = EntryConversion::toSingle(text, locale);
    QCOMPARE(converted.has_value(), accepted);
    if (accepted)
        QCOMPARE(*converted, value);
}

void EntriesTest::replayedInputsConvertCleanly()
{
    // Inputs the entry fuzzer found worth keeping: the first byte picks a
    // locale, the rest is what was typed.
    const QDir folder(QStringLiteral(LAB_SOURCE_DIR "/tests/data/entries/pass"));
    const QStringList names = folder.entryList(QDir::Files);
    QVERIFY(!names.isEmpty());
    for (const QString &name : names) {
        qInfo("%s", qPrintable(name));
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.isEmpty());
        const QLocale &locale = entryFuzzLocales()[quint8(bytes[0]) % entryFuzzLocales().size()];
        for (const QString &text : QString::fromUtf8(bytes.mid(1)).split(QLatin1Char('\n'))) {
            const std::optional<float> value = EntryConversion::toSingle(text, locale);
            QVERIFY(!value || std::isfinite(*value));
        }
    }
}

QTEST_APPLESS_MAIN(EntriesTest)
#include "tst_entries.moc"
