#include "analyticalscatter.h"
#include "eutecticdiagram.h"
#include "experiment1model.h"
#include "experiment1report.h"
#include "fixedscatter.h"

#include <QtTest>

#include <cmath>

namespace {

// A state no run of the table below could leave, so that "kept" fields show.
Experiment1State earlierState()
{
    Experiment1State state;
    state.phaseCase = 4;
    state.phaseX2 = 0.777f;
    state.crystalX2 = 7;
    state.runTemp = 999;
    return state;
}

QString report(const Experiment1State &state, ScatterSource &scatter, std::int64_t &drawCount,
               const char *separator = ".")
{
    return QString::fromStdString(Experiment1Report::build(state, scatter, drawCount, NumberFormat(separator)).text);
}

QString lines(std::initializer_list<const char *> textLines)
{
    QString text;
    for (const char *line : textLines)
        text += QLatin1String(line) + QLatin1String("\r\n");
    return text;
}

constexpr float kept = -99; // marks an expected value that the run must not touch

// The model with the lever-rule steps of a run opened up, for the cases no
// entries reach (a liquid of exactly X = 0, a fitted liquid beyond the bulk).
class ModelWithItsSteps : public Experiment1Model
{
public:
    using Experiment1Model::Experiment1Model;
    using Experiment1Model::settleSideA;
    using Experiment1Model::settleSideB;
};

} // namespace

class Experiment1Test : public QObject
{
    Q_OBJECT

private slots:
    void curvesMatchReferenceValues();
    void classification_data();
    void classification();
    void liquidusComparisonIsStrict();
    void negativeFractionShowsATraceOfCrystal();
    void failuresKeepTheirState();
    void report_data();
    void report();
    void reportDrawsPassPhaseX2AndCount();
    void freshStartReport();
};

void Experiment1Test::curvesMatchReferenceValues()
{
    QVERIFY(std::fabs(EutecticDiagram::sideALiquidusT(0.42) - 1275.34) < 0.005);
    QVERIFY(std::fabs(EutecticDiagram::sideBLiquidusT(0.42) - 1273.77) < 0.005);
    QVERIFY(std::fabs(EutecticDiagram::sideALiquidX2(1274) - 0.4219) < 0.00005);
    QVERIFY(std::fabs(EutecticDiagram::sideBLiquidX2(1274) - 0.4292) < 0.00005);
    QVERIFY(std::fabs(EutecticDiagram::sideBLiquidusT(0.5) - 1331.795) < 0.0005);
    QVERIFY(std::fabs(EutecticDiagram::sideALiquidusT(0.2) - 1347.328) < 0.0005);
}

void Experiment1Test::classification_data()
{
    QTest::addColumn<float>("grams1");
    QTest::addColumn<float>("grams2");
    QTest::addColumn<float>("temperature");
    QTest::addColumn<int>("phaseCase");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<float>("phaseX2");   // kept: unchanged
    QTest::addColumn<int>("crystalX2");   // -1: unchanged

    QTest::addRow("pure mineral 2 molten at its melting point") << 0.f << 0.5f << 1553.f << 1 << "Chba.wmf" << 1.f << 1;
    QTest::addRow("pure mineral 2 just below melting") << 0.f << 0.5f << 1552.9f << 2 << "Chbo.wmf" << 1.f << 1;
    QTest::addRow("pure mineral 2 below the eutectic stays one crystal") << 0.f << 1.f << 1000.f << 2 << "Chbo.wmf" << 1.f << 1;
    QTest::addRow("pure mineral 1 molten at its melting point") << 1.f << 0.f << 1392.f << 1 << "Chaa.wmf" << 0.f << 0;
    QTest::addRow("pure mineral 1 just below melting") << 1.f << 0.f << 1391.9f << 2 << "Chao.wmf" << 0.f << 0;
    QTest::addRow("pure mineral 1 at the eutectic temperature") << 0.3f << 0.f << 1274.f << 2 << "Chao.wmf" << 0.f << 0;
    QTest::addRow("mixture just below the eutectic") << 0.5f << 0.5f << 1273.9f << 3 << "Chaq.wmf" << kept << -1;
    QTest::addRow("mixture at room temperature") << 0.5f << 0.5f << 0.f << 3 << "Chaq.wmf" << kept << -1;
    QTest::addRow("mixture at the eutectic") << 0.3f << 0.7f << 1274.f << 5 << "Chap.wmf" << 0.42f << -1;
    QTest::addRow("side B above its liquidus") << 0.5f << 0.5f << 1340.f << 1 << "Chaa.wmf" << 0.5f << -1;
    QTest::addRow("side B liquid and crystal") << 0.5f << 0.5f << 1300.f << 4 << "Chbb.wmf" << 0.4540879f << 1;
    QTest::addRow("side A liquid and crystal") << 0.8f << 0.2f << 1300.f << 4 << "Chai.wmf" << 0.3584210f << 0;
    QTest::addRow("side A above its liquidus") << 0.8f << 0.2f << 1350.f << 1 << "Chaa.wmf" << 0.2f << -1;
    // 0.42 / (0.58 + 0.42) is just below 0.42 in single precision: side A,
    // whose liquidus (1275.34) lies above side B's (1273.77).
    QTest::addRow("0.58 and 0.42 grams fall on side A") << 0.58f << 0.42f << 1274.5f << 4 << "Chab.wmf" << float(EutecticDiagram::sideALiquidX2(1274.5)) << 0;
    QTest::addRow("side A fraction above 1 has no letter") << 0.999f << 0.001f << 1391.5f << 4 << "Cha.wmf" << float(EutecticDiagram::sideALiquidX2(1391.5)) << 0;
    QTest::addRow("side B near mineral 2 mostly crystal") << 0.05f << 0.95f << 1300.f << 4 << "Chbm.wmf" << 0.4540879f << 1;
}

void Experiment1Test::classification()
{
    QFETCH(float, grams1);
    QFETCH(float, grams2);
    QFETCH(float, temperature);
    QFETCH(int, phaseCase);
    QFETCH(QString, picture);
    QFETCH(float, phaseX2);
    QFETCH(int, crystalX2);

    Experiment1Model model(earlierState());
    const RunOutcome outcome = model.run({grams1, grams2, temperature});
    QVERIFY(outcome.isSuccess());
    QCOMPARE(QString::fromStdString(outcome.charge.pictureName()), picture);
    QCOMPARE(model.state().phaseCase, phaseCase);
    QCOMPARE(model.state().runTemp, temperature);
    if (phaseX2 == kept)
        QCOMPARE(model.state().phaseX2, earlierState().phaseX2);
    else
        QVERIFY2(std::fabs(model.state().phaseX2 - phaseX2) < 5e-7f,
                 qPrintable(QString::number(model.state().phaseX2, 'g', 9)));
    QCOMPARE(model.state().crystalX2, crystalX2 == -1 ? earlierState().crystalX2 : crystalX2);
}

void Experiment1Test::liquidusComparisonIsStrict()
{
    // Bulk 0.5 has its side B liquidus at 1331.795: the float just above it
    // is all liquid, the float just below it still holds crystal.
    const double liquidus = EutecticDiagram::sideBLiquidusT(0.5);
    const float above = std::nextafter(static_cast<float>(liquidus), 2000.f);
    const float below = std::nextafter(static_cast<float>(liquidus), 0.f);
    QVERIFY(above > liquidus && below < liquidus);
    Experiment1Model model;
    QCOMPARE(model.run({0.5f, 0.5f, above}).charge.pictureName(), std::string("Chaa.wmf"));
    QCOMPARE(model.state().phaseCase, 1);
    QVERIFY(model.run({0.5f, 0.5f, below}).isSuccess());
    QCOMPARE(model.state().phaseCase, 4);
}

void Experiment1Test::negativeFractionShowsATraceOfCrystal()
{
    // Just below the side B liquidus the fitted liquid can lie beyond the
    // bulk composition; the lever rule then goes negative and the charge
    // shows the "b" picture, never the all-glass one.
    ModelWithItsSteps model;
    QCOMPARE(model.settleSideB(0.5f, 0.6f).charge.pictureName(), std::string("Chbb.wmf"));
    QCOMPARE(model.settleSideA(0.3f, 0.2f).charge.pictureName(), std::string("Chab.wmf"));
    // A fraction of exactly 0 is all glass on its side.
    QCOMPARE(model.settleSideB(0.5f, 0.5f).charge.pictureName(), std::string("Chba.wmf"));
}

void Experiment1Test::failuresKeepTheirState()
{
    Experiment1Model model(earlierState());
    QCOMPARE(model.run({0.f, 0.f, 1500.f}).failure, RunOutcome::Failure::DivisionByZero);
    QCOMPARE(model.state().runTemp, 1500.f);
    QCOMPARE(model.state().phaseCase, earlierState().phaseCase);
    QCOMPARE(model.state().phaseX2, earlierState().phaseX2);
    QCOMPARE(model.state().crystalX2, earlierState().crystalX2);

    // A side A liquid of exactly X = 0 leaves the lever rule nothing to divide
    // by; the case and compositions are stored first.
    ModelWithItsSteps resumed(earlierState());
    QCOMPARE(resumed.settleSideA(0.3f, 0.0f).failure, RunOutcome::Failure::DivisionByZero);
    QCOMPARE(resumed.state().phaseCase, 4);
    QCOMPARE(resumed.state().phaseX2, 0.f);
    QCOMPARE(resumed.state().crystalX2, 0);
}

void Experiment1Test::report_data()
{
    QTest::addColumn<int>("phaseCase");
    QTest::addColumn<float>("phaseX2");
    QTest::addColumn<int>("crystalX2");
    QTest::addColumn<float>("runTemp");
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");

    QTest::addRow("no run yet: header alone")
        << 0 << 0.f << 0 << 0.f << QList<double>{0.05} << "."
        << lines({"Temperature = 0000 degrees Celsius  "});
    QTest::addRow("eutectic without scatter")
        << 5 << 0.42f << 0 << 1274.f << QList<double>{0.0} << "."
        << lines({"Temperature = 1274 degrees Celsius  ",
                  "           glass    crystal(1) crystal(2)",
                  "SiO2       50.32      55.49      43.20",
                  "Al2O3      15.39      00.00      36.64",
                  "MgO        10.79      18.61      00.00",
                  "CaO        23.49      25.89      20.16",
                  "Total     100.00      99.99     100.00",
                  "",
                  "X(2)        0.42       0.00       1.00"});
    // Draws 0.01, 0.02, ... show which value received which draw: the glass
    // first, then crystal(2), then crystal(1).
    QTest::addRow("eutectic draw order")
        << 5 << 0.42f << 0 << 1274.f
        << QList<double>{0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08, 0.09, 0.10, 0.11, 0.12} << "."
        << lines({"Temperature = 1274 degrees Celsius  ",
                  "           glass    crystal(1) crystal(2)",
                  "SiO2       50.33      55.58      43.25",
                  "Al2O3      15.41      00.10      36.70",
                  "MgO        10.82      18.72      00.07",
                  "CaO        23.53      26.01      20.24",
                  "Total     100.10     100.41     100.26",
                  "",
                  "X(2)        0.42       0.00       1.00"});
    QTest::addRow("two crystals without scatter")
        << 3 << 0.3f << 0 << 950.f << QList<double>{0.0} << "."
        << lines({"Temperature = 0950 degrees Celsius  ",
                  "         crystal(1)   crystal(2)",
                  "SiO2       55.49        43.19",
                  "Al2O3      00.00        36.65",
                  "MgO        18.61        00.00",
                  "CaO        25.90        20.16",
                  "Total     100.00       100.00",
                  "",
                  "X(2)        0.00         1.00"});
    QTest::addRow("two crystals probed alternately")
        << 3 << 0.3f << 0 << 1234.56f
        << QList<double>{0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08} << "."
        << lines({"Temperature = 1235 degrees Celsius  ",
                  "         crystal(1)   crystal(2)",
                  "SiO2       55.50        43.21",
                  "Al2O3      00.03        36.69",
                  "MgO        18.66        00.06",
                  "CaO        25.97        20.24",
                  "Total     100.16       100.20",
                  "",
                  "X(2)        0.00         1.00"});
    QTest::addRow("pure mineral 2 crystal, negative scatter turned positive")
        << 2 << 1.f << 1 << 1500.f << QList<double>{-0.05} << "."
        << lines({"Temperature = 1500 degrees Celsius  ",
                  "          crystal",
                  "SiO2       43.14",
                  "Al2O3      36.60",
                  "MgO        00.05",
                  "CaO        20.11",
                  "Total      99.90",
                  "",
                  "X(2)        1.00"});
    QTest::addRow("pure mineral 1 glass")
        << 1 << 0.f << 0 << 1400.f << QList<double>{-0.05} << "."
        << lines({"Temperature = 1400 degrees Celsius  ",
                  "           glass",
                  "SiO2       55.44",
                  "Al2O3      00.05",
                  "MgO        18.56",
                  "CaO        25.85",
                  "Total      99.90",
                  "",
                  "X(2)        0.00"});
    QTest::addRow("one column total just under 100 prints wider")
        << 1 << 1.f << 1 << 1600.f << QList<double>{-0.001} << "."
        << lines({"Temperature = 1600 degrees Celsius  ",
                  "           glass",
                  "SiO2       43.19",
                  "Al2O3      36.65",
                  "MgO        00.00",
                  "CaO        20.16",
                  "Total      100.00",
                  "",
                  "X(2)        1.00"});
    QTest::addRow("glass total just under 100 shifts the crystal total")
        << 4 << 0.f << 1 << 1300.f << QList<double>{-0.001, -0.001, -0.001, -0.001, 0.01} << "."
        << lines({"Temperature = 1300 degrees Celsius  ",
                  "           glass    crystal",
                  "SiO2       55.49      43.20",
                  "Al2O3      00.00      36.66",
                  "MgO        18.61      00.01",
                  "CaO        25.90      20.17",
                  "Total      100.00     100.04",
                  "",
                  "X(2)        0.00       1.00"});
    QTest::addRow("side A glass beyond mineral 1 prints a wider X(2)")
        << 4 << -0.012f << 0 << 1391.5f << QList<double>{0.0} << "."
        << lines({"Temperature = 1392 degrees Celsius  ",
                  "           glass    crystal",
                  "SiO2       55.64      55.49",
                  "Al2O3      00.44      00.00",
                  "MgO        18.83      18.61",
                  "CaO        25.97      25.90",
                  "Total     100.88     100.00",
                  "",
                  "X(2)        -0.01       0.00"});
    QTest::addRow("german decimal comma")
        << 5 << 0.42f << 0 << 1274.f << QList<double>{0.0} << ","
        << lines({"Temperature = 1274 degrees Celsius  ",
                  "           glass    crystal(1) crystal(2)",
                  "SiO2       50,32      55,49      43,20",
                  "Al2O3      15,39      00,00      36,64",
                  "MgO        10,79      18,61      00,00",
                  "CaO        23,49      25,89      20,16",
                  "Total     100,00      99,99     100,00",
                  "",
                  "X(2)        0,42       0,00       1,00"});
}

void Experiment1Test::report()
{
    QFETCH(int, phaseCase);
    QFETCH(float, phaseX2);
    QFETCH(int, crystalX2);
    QFETCH(float, runTemp);
    QFETCH(QList<double>, draws);
    QFETCH(QString, separator);
    QFETCH(QString, expected);

    FixedScatter scatter(std::vector<double>(draws.begin(), draws.end()));
    std::int64_t drawCount = 100;
    const QString text = ::report({phaseCase, phaseX2, crystalX2, runTemp}, scatter, drawCount,
                                  qPrintable(separator));
    QCOMPARE(text, expected);
    const int expectedDraws = QList<int>{0, 4, 4, 8, 8, 12}.value(phaseCase);
    QCOMPARE(int(scatter.drawn()), expectedDraws);
    QCOMPARE(drawCount, 100 + expectedDraws);
}

void Experiment1Test::reportDrawsPassPhaseX2AndCount()
{
    // Every draw, crystal columns included, passes the glass composition.
    FixedScatter scatter(0.0);
    std::int64_t drawCount = 0;
    ::report({3, 0.37f, 0, 1000.f}, scatter, drawCount);
    QCOMPARE(scatter.compositions(), std::vector<float>(8, 0.37f));
}

void Experiment1Test::freshStartReport()
{
    // The first microprobe after start-up, as an answer key would print it.
    Experiment1Model model;
    AnalyticalScatter scatter;
    std::int64_t drawCount = 3; // the run's three entry checks
    QVERIFY(model.run({0.5f, 0.5f, 1300.f}).isSuccess());
    const QString text = QString::fromStdString(model.report(scatter, drawCount, NumberFormat(".")).text);
    QCOMPARE(text, lines({"Temperature = 1300 degrees Celsius  ",
                          "           glass    crystal",
                          "SiO2       49.96      43.26",
                          "Al2O3      16.67      36.61",
                          "MgO        10.08      00.08",
                          "CaO        23.22      20.06",
                          "Total      99.93     100.01",
                          "",
                          "X(2)        0.45       1.00"}));
    QCOMPARE(drawCount, 3 + 8);
}

QTEST_APPLESS_MAIN(Experiment1Test)
#include "tst_experiment1.moc"
