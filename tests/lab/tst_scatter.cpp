#include "analyticalscatter.h"
#include "numberformat.h"
#include "randomsource.h"

#include <QtTest>

class ScatterTest : public QObject
{
    Q_OBJECT

private slots:
    void freshStartSequence();
    void signAndSize_data();
    void signAndSize();
    void everyCallAdvancesCounterAndTakesTwoDraws();
    void numberPattern_data();
    void numberPattern();
    void somethingThatIsNoPatternIsRefused();
};

void ScatterTest::freshStartSequence()
{
    // The published start of the sequence that answer keys rely on.
    RandomSource random;
    const float expected[] = {0.7055475f, 0.5334240f, 0.5795186f, 0.2895625f, 0.3019480f};
    for (float value : expected)
        QCOMPARE(random.next(), value);
}

void ScatterTest::signAndSize_data()
{
    QTest::addColumn<float>("signDraw");
    QTest::addColumn<float>("sizeDraw");
    QTest::addColumn<double>("expected");
    QTest::addRow("exactly one half is positive") << 0.5f << 0.25f << 0.025;
    QTest::addRow("just below one half is negative") << std::nextafter(0.5f, 0.0f) << 0.25f << -0.025;
    QTest::addRow("zero size gives zero") << 0.9f << 0.0f << 0.0;
    QTest::addRow("largest size stays below 0.1") << 0.0f << std::nextafter(1.0f, 0.0f)
                                                   << -static_cast<double>(std::nextafter(1.0f, 0.0f)) * 0.1;
}

void ScatterTest::signAndSize()
{
    QFETCH(float, signDraw);
    QFETCH(float, sizeDraw);
    QFETCH(double, expected);
    QCOMPARE(AnalyticalScatter::fromDraws(signDraw, sizeDraw), expected);
}

void ScatterTest::everyCallAdvancesCounterAndTakesTwoDraws()
{
    AnalyticalScatter scatter;
    RandomSource shadow;
    std::int64_t counter = 41;
    for (int call = 0; call < 3; ++call) {
        const float signDraw = shadow.next();
        const float sizeDraw = shadow.next();
        QCOMPARE(scatter.fud(0.5f, counter), AnalyticalScatter::fromDraws(signDraw, sizeDraw));
        QCOMPARE(counter, 42 + call);
    }
    // 0.7055475 is positive, 0.5795186 positive, 0.3019480 negative.
    AnalyticalScatter fresh;
    std::int64_t freshCounter = 0;
    QCOMPARE(fresh.fud(0, freshCounter), 0.5334240f * 0.1);
}

void ScatterTest::numberPattern_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");
    QTest::addRow("temperature padded") << 950.0 << "0000" << "." << "0950";
    QTest::addRow("temperature zero") << 0.0 << "0000" << "." << "0000";
    QTest::addRow("temperature rounded") << double(1234.56f) << "0000" << "." << "1235";
    QTest::addRow("halfway rounds away from zero") << 1234.5 << "0000" << "." << "1235";
    QTest::addRow("oxide padded") << 6.59 << "00.00" << "." << "06.59";
    QTest::addRow("oxide of a hundred keeps its digits") << 99.996 << "00.00" << "." << "100.00";
    QTest::addRow("total") << 100.04 << "000.00" << "." << "100.04";
    QTest::addRow("fraction") << double(0.42f) << "0.00" << "." << "0.42";
    QTest::addRow("negative fraction one wider") << -0.0085 << "0.00" << "." << "-0.01";
    QTest::addRow("negative zero has no sign") << -0.001 << "0.00" << "." << "0.00";
    QTest::addRow("halfway in hundredths") << 0.125 << "0.00" << "." << "0.13";
    QTest::addRow("one decimal") << 1273.96 << "0000.0" << "." << "1274.0";
    QTest::addRow("german decimal comma") << 50.32 << "00.00" << "," << "50,32";
    QTest::addRow("no grouping in thousands") << 1300.0 << "0000" << "," << "1300";
}

void ScatterTest::numberPattern()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    const NumberFormat format(separator.toStdString());
    QCOMPARE(QString::fromStdString(format.apply(value, pattern.toStdString())), expected);
}

void ScatterTest::somethingThatIsNoPatternIsRefused()
{
    const NumberFormat format(".");
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, format.apply(1, ".00"));
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, format.apply(1, "0#.00"));
}

QTEST_APPLESS_MAIN(ScatterTest)
#include "tst_scatter.moc"
