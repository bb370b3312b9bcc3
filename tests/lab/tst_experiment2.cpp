#include "experiment2model.h"
#include "fixedscatter.h"
#include "solidsolutiondiagram.h"

#include <QtTest>

#include <cmath>

namespace {

Experiment2State earlierState()
{
    Experiment2State state;
    state.phaseCase = 3;
    state.phaseX2 = 0.777f;
    state.glassX2 = 0.333;
    state.runTemp = 999;
    return state;
}

QString lines(std::initializer_list<const char *> textLines)
{
    QString text;
    for (const char *line : textLines)
        text += QLatin1String(line) + QLatin1String("\r\n");
    return text;
}

constexpr double kept = -99;

} // namespace

class Experiment2Test : public QObject
{
    Q_OBJECT

private slots:
    void curvesMatchReferenceValues_data();
    void curvesMatchReferenceValues();
    void classification_data();
    void classification();
    void glassSurvivesALaterMixtureRun();
    void bothMassesZeroKeepsAllButTheTemperature();
    void report_data();
    void report();
};

void Experiment2Test::curvesMatchReferenceValues_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("tolerance");
    using D = SolidSolutionDiagram;
    QTest::addRow("liquidus at 0") << D::liquidusT(0) << 1130.0 << 1e-9;
    QTest::addRow("liquidus at 0.5") << D::liquidusT(0.5) << 1455.06 << 0.005;
    QTest::addRow("liquidus at 1") << D::liquidusT(1) << 1550.0 << 1e-6;
    QTest::addRow("solidus at 0.5") << D::solidusT(0.5) << 1283.31 << 0.005;
    QTest::addRow("solidus at 1") << D::solidusT(1) << 1547.53 << 1e-6;
    QTest::addRow("glass at 1300") << D::liquidX2(1300) << 0.14728 << 0.000005;
    QTest::addRow("crystal at 1300") << D::crystalX2(1300) << 0.54481 << 0.000005;
    QTest::addRow("glass at 1400") << D::liquidX2(1400) << 0.32647 << 0.000005;
    QTest::addRow("crystal at 1400") << D::crystalX2(1400) << 0.71400 << 0.000005;
    QTest::addRow("glass at 1500") << D::liquidX2(1500) << 0.68534 << 0.000005;
    QTest::addRow("crystal at 1500") << D::crystalX2(1500) << 0.89695 << 0.000005;
    QTest::addRow("glass below 0 at the cold end") << D::liquidX2(1118) << -0.0085 << 0.00005;
}

void Experiment2Test::curvesMatchReferenceValues()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QFETCH(double, tolerance);
    QVERIFY2(std::fabs(value - expected) <= tolerance, qPrintable(QString::number(value, 'g', 12)));
}

void Experiment2Test::classification_data()
{
    QTest::addColumn<float>("grams1");
    QTest::addColumn<float>("grams2");
    QTest::addColumn<float>("temperature");
    QTest::addColumn<int>("phaseCase");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<double>("phaseX2");
    QTest::addColumn<double>("glassX2"); // kept: unchanged

    using D = SolidSolutionDiagram;
    QTest::addRow("0.5 + 0.5 above the liquidus") << 0.5f << 0.5f << 1456.f << 1 << "Chba.wmf" << 0.5 << kept;
    QTest::addRow("0.5 + 0.5 just inside the loop") << 0.5f << 0.5f << 1455.f << 3 << "Chbb.wmf" << 0.8084 << 0.4959;
    QTest::addRow("0.5 + 0.5 at 1400") << 0.5f << 0.5f << 1400.f << 3 << "Chbi.wmf" << 0.71400 << 0.32647;
    QTest::addRow("0.5 + 0.5 at 1300") << 0.5f << 0.5f << 1300.f << 3 << "Chbm.wmf" << 0.54481 << 0.14728;
    QTest::addRow("0.5 + 0.5 below the solidus") << 0.5f << 0.5f << 1283.f << 2 << "Chbo.wmf" << 0.5 << kept;
    QTest::addRow("0.9 + 0.1 lever above 1 is limited") << 0.9f << 0.1f << 1131.f << 3 << "Chbn.wmf" << D::crystalX2(1131) << D::liquidX2(1131);
    QTest::addRow("0.9 + 0.1 near the liquidus") << 0.9f << 0.1f << 1253.f << 3 << "Chbb.wmf" << D::crystalX2(1253) << D::liquidX2(1253);
    QTest::addRow("0.9 + 0.1 at 1200") << 0.9f << 0.1f << 1200.f << 3 << "Chbd.wmf" << D::crystalX2(1200) << D::liquidX2(1200);
    QTest::addRow("mineral 2 alone molten") << 0.f << 0.3f << 1553.f << 1 << "Chba.wmf" << 1.0 << 1.0;
    QTest::addRow("mineral 2 alone just below melting") << 0.f << 0.3f << 1552.9f << 2 << "Chbo.wmf" << 1.0 << 1.0;
    QTest::addRow("mineral 1 alone molten") << 1.f << 0.f << 1118.f << 1 << "Chba.wmf" << 0.0 << 0.0;
    QTest::addRow("mineral 1 alone below melting") << 1.f << 0.f << 1117.f << 2 << "Chbo.wmf" << 0.0 << 0.0;
    QTest::addRow("cold end glass below 0 is stored as it comes") << 0.99f << 0.01f << 1119.f << 3 << "Chbg.wmf" << D::crystalX2(1119) << D::liquidX2(1119);
}

void Experiment2Test::classification()
{
    QFETCH(float, grams1);
    QFETCH(float, grams2);
    QFETCH(float, temperature);
    QFETCH(int, phaseCase);
    QFETCH(QString, picture);
    QFETCH(double, phaseX2);
    QFETCH(double, glassX2);

    Experiment2Model model(earlierState());
    const RunOutcome outcome = model.run({grams1, grams2, temperature});
    QVERIFY(outcome.isSuccess());
    QCOMPARE(QString::fromStdString(outcome.charge.pictureName()), picture);
    QCOMPARE(model.state().phaseCase, phaseCase);
    QCOMPARE(model.state().runTemp, temperature);
    QVERIFY2(std::fabs(model.state().phaseX2 - phaseX2) < 5e-5, qPrintable(QString::number(model.state().phaseX2)));
    if (glassX2 == kept)
        QCOMPARE(model.state().glassX2, earlierState().glassX2);
    else
        QVERIFY2(std::fabs(model.state().glassX2 - glassX2) < 5e-5, qPrintable(QString::number(model.state().glassX2)));
}

void Experiment2Test::glassSurvivesALaterMixtureRun()
{
    Experiment2Model model;
    QVERIFY(model.run({0.5f, 0.5f, 1400.f}).isSuccess());
    const double glass = model.state().glassX2;
    QCOMPARE(glass, SolidSolutionDiagram::liquidX2(1400));
    QVERIFY(model.run({0.5f, 0.5f, 1500.f}).isSuccess());
    QCOMPARE(model.state().phaseCase, 1);
    QCOMPARE(model.state().glassX2, glass);
}

void Experiment2Test::bothMassesZeroKeepsAllButTheTemperature()
{
    Experiment2Model model(earlierState());
    QCOMPARE(model.run({0.f, 0.f, 1200.f}).failure, RunOutcome::Failure::DivisionByZero);
    QCOMPARE(model.state().runTemp, 1200.f);
    QCOMPARE(model.state().phaseCase, earlierState().phaseCase);
    QCOMPARE(model.state().phaseX2, earlierState().phaseX2);
    QCOMPARE(model.state().glassX2, earlierState().glassX2);
}

void Experiment2Test::report_data()
{
    QTest::addColumn<int>("phaseCase");
    QTest::addColumn<float>("phaseX2");
    QTest::addColumn<double>("glassX2");
    QTest::addColumn<float>("runTemp");
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<QString>("expected");

    using D = SolidSolutionDiagram;
    QTest::addRow("no run yet: header alone")
        << 0 << 0.f << 0.0 << 0.f << QList<double>{0.05}
        << lines({"Temperature = 0000 degrees Celsius  "});
    QTest::addRow("crystal and glass at 1400, every draw 0.01")
        << 3 << float(D::crystalX2(1400)) << D::liquidX2(1400) << 1400.f << QList<double>{0.01}
        << lines({"Temperature = 1400 degrees Celsius  ",
                  "          crystal     glass",
                  "SiO2       50.51      60.41",
                  "Al2O3      31.74      25.07",
                  "CaO        14.40      06.59",
                  "Na2O       03.39      07.97",
                  "Total     100.04     100.04",
                  "",
                  "X(2)        0.71       0.33"});
    QTest::addRow("pure mineral 2 crystal, every draw -0.05")
        << 2 << 1.f << 1.0 << 1500.f << QList<double>{-0.05}
        << lines({"Temperature = 1500 degrees Celsius  ",
                  "          crystal",
                  "SiO2       43.14",
                  "Al2O3      36.60",
                  "CaO        20.11",
                  "Na2O       00.05",
                  "Total      99.90",
                  "",
                  "X(2)        1.00"});
    // Draws are taken SiO2, Na2O, CaO, Al2O3 but printed SiO2, Al2O3, CaO, Na2O.
    QTest::addRow("pure mineral 1 glass, draw order")
        << 1 << 0.f << 0.0 << 1200.f << QList<double>{0.01, 0.02, 0.03, 0.04}
        << lines({"Temperature = 1200 degrees Celsius  ",
                  "           glass",
                  "SiO2       68.75",
                  "Al2O3      19.48",
                  "CaO        00.03",
                  "Na2O       11.84",
                  "Total     100.10",
                  "",
                  "X(2)        0.00"});
    QTest::addRow("crystal beyond mineral 2 and glass below 0 print as they are")
        << 3 << 1.0157f << -0.0085 << 1549.6f << QList<double>{0.0}
        << lines({"Temperature = 1550 degrees Celsius  ",
                  "          crystal     glass",
                  "SiO2       42.79      68.96",
                  "Al2O3      36.92      19.29",
                  "CaO        20.48      00.17",
                  "Na2O       00.19      11.92",
                  "Total     100.37     100.34",
                  "",
                  "X(2)        1.02       -0.01"});
}

void Experiment2Test::report()
{
    QFETCH(int, phaseCase);
    QFETCH(float, phaseX2);
    QFETCH(double, glassX2);
    QFETCH(float, runTemp);
    QFETCH(QList<double>, draws);
    QFETCH(QString, expected);

    const Experiment2Model model(Experiment2State{phaseCase, phaseX2, glassX2, runTemp});
    FixedScatter scatter(std::vector<double>(draws.begin(), draws.end()));
    std::int64_t drawCount = 7;
    QCOMPARE(QString::fromStdString(model.report(scatter, drawCount, NumberFormat(".")).text), expected);
    const int expectedDraws = QList<int>{0, 4, 4, 8}.value(phaseCase);
    QCOMPARE(drawCount, 7 + expectedDraws);
    // Every draw passes the crystal's composition, the glass column's too.
    QCOMPARE(scatter.compositions(), std::vector<float>(expectedDraws, phaseX2));
}

QTEST_APPLESS_MAIN(Experiment2Test)
#include "tst_experiment2.moc"
