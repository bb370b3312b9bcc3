// The equilibrium engine against exact thermodynamics, on small systems
// built here with numbers a reader can follow: the ideal liquidus of a pure
// solid (the cryoscopic equation), a liquidus with a Margules excess solved
// here by halving, the ideal loop in closed form, a compound that melts
// congruently and one that melts incongruently, the binodal of a regular
// solution, and mass balance everywhere.
#include "phasediagram.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <random>

namespace {

constexpr double R = 8.314462618;       // J/(mol K)
constexpr double kelvin0 = 273.15;

// Two minerals of different formula mass, so that mole and mass fractions
// differ: the engine must convert between them itself.
BinarySystem twoMinerals()
{
    BinarySystem system;
    system.id = "test";
    system.mineral1 = {"A", 100, {{"SiO2", 100}}};
    system.mineral2 = {"B", 150, {{"MgO", 100}}};
    return system;
}

Solid solid(const char *name, int units1, int units2, double meltingPoint, double enthalpy)
{
    Solid made;
    made.name = name;
    made.units1 = units1;
    made.units2 = units2;
    made.meltingPoint = meltingPoint;
    made.enthalpyOfFusion = enthalpy;
    return made;
}

// A with B: a simple eutectic system, A melting at 1200 and B at 1500 degrees.
BinarySystem eutecticSystem(Margules liquid)
{
    BinarySystem system = twoMinerals();
    system.liquid = liquid;
    system.solids = {solid("A", 1, 0, 1200, 50), solid("B", 0, 1, 1500, 80)};
    return system;
}

// The root of f between low and high (f changes sign), by halving.
double halve(const std::function<double(double)> &f, double low, double high)
{
    const bool lowNegative = f(low) < 0;
    for (int step = 0; step < 200; ++step) {
        const double middle = (low + high) / 2;
        ((f(middle) < 0) == lowNegative ? low : high) = middle;
    }
    return (low + high) / 2;
}

// The liquid of a two-phase charge, and the other phase.
const PhaseAmount &liquidOf(const Assemblage &assemblage)
{
    for (const PhaseAmount &phase : assemblage.phases)
        if (phase.phase == GibbsModel::liquid)
            return phase;
    return assemblage.phases.front();
}

} // namespace

class EquilibriumTest : public QObject
{
    Q_OBJECT

private slots:
    void idealLiquidusIsTheCryoscopicEquation_data();
    void idealLiquidusIsTheCryoscopicEquation();
    void liquidusWithAnExcess();
    void idealLoopInClosedForm_data();
    void idealLoopInClosedForm();
    void compoundMeltingCongruently();
    void compoundMeltingIncongruently();
    void regularSolutionUnmixes_data();
    void regularSolutionUnmixes();
    void massIsConserved();
    void pureMineralAtItsMeltingPointIsLiquid();
};

void EquilibriumTest::idealLiquidusIsTheCryoscopicEquation_data()
{
    QTest::addColumn<double>("celsius");
    QTest::addColumn<bool>("besideA"); // the liquid saturated in A, else in B
    for (const double celsius : {1190.0, 1170.0, 1150.0, 1130.0}) // the eutectic is near 1115
        QTest::addRow("saturated in A at %g", celsius) << celsius << true;
    for (const double celsius : {1490.0, 1400.0, 1300.0, 1200.0})
        QTest::addRow("saturated in B at %g", celsius) << celsius << false;
}

void EquilibriumTest::idealLiquidusIsTheCryoscopicEquation()
{
    // With an ideal liquid and pure solids, the liquid beside solid i holds
    //   ln x_i = -(dH_i / R)(1/T - 1/Tm_i)
    // of unit i.
    QFETCH(double, celsius);
    QFETCH(bool, besideA);
    const BinarySystem system = eutecticSystem({});
    const EquilibriumSolver solver(system);
    const double T = celsius + kelvin0;
    const double dH = (besideA ? 50 : 80) * 1000.0;
    const double Tm = (besideA ? 1200 : 1500) + kelvin0;
    const double xOwn = std::exp(-(dH / R) * (1 / T - 1 / Tm));
    const double expectedX = besideA ? 1 - xOwn : xOwn; // mole fraction of B
    // A bulk between the solid and the liquid's composition.
    const double bulkX2 = system.massFraction(besideA ? expectedX / 2 : (1 + expectedX) / 2);
    const Assemblage assemblage = solver.at(bulkX2, celsius);
    QCOMPARE(int(assemblage.phases.size()), 2);
    QVERIFY2(std::abs(liquidOf(assemblage).x - expectedX) < 1e-9,
             qPrintable(QStringLiteral("liquid x %1, exactly %2").arg(liquidOf(assemblage).x, 0, 'g', 12).arg(expectedX, 0, 'g', 12)));
    // X(2) is the mass fraction: x M2 / ((1 - x) M1 + x M2).
    QCOMPARE(liquidOf(assemblage).x2, expectedX * 150 / ((1 - expectedX) * 100 + expectedX * 150));
}

void EquilibriumTest::liquidusWithAnExcess()
{
    // Subregular liquid, W12 = -10, W21 = 6 kJ/mol: beside pure A,
    //   RT ln x1 + x2^2 [W12 + 2 x1 (W21 - W12)] = -dH_A (1 - T/Tm_A),
    // solved here by halving for x2.
    const Margules excess{-10, 6};
    const BinarySystem system = eutecticSystem(excess);
    const PhaseDiagram diagram(system);
    for (const double celsius : {1190.0, 1170.0, 1150.0}) {
        const double T = celsius + kelvin0;
        const double target = -50000 * (1 - T / (1200 + kelvin0));
        const double x2 = halve(
            [&](double x) {
                const double x1 = 1 - x;
                return R * T * std::log(x1) + x * x * (excess.w12 + 2 * x1 * (excess.w21 - excess.w12)) * 1000 - target;
            },
            1e-12, 0.9);
        const Assemblage assemblage = diagram.solver().at(system.massFraction(x2 / 2), celsius);
        QVERIFY2(std::abs(liquidOf(assemblage).x - x2) < 1e-9,
                 qPrintable(QStringLiteral("%1: %2 against %3").arg(celsius).arg(liquidOf(assemblage).x).arg(x2)));
    }
    // The eutectic lies where the two liquidus branches meet.
    QCOMPARE(int(diagram.invariants().size()), 1);
    const PhaseDiagram::Invariant &eutectic = diagram.invariants().front();
    QCOMPARE(eutectic.kind, std::string("eutectic"));
    QCOMPARE(eutectic.phases[1].phase, GibbsModel::liquid);
    const double T = eutectic.temperature + kelvin0;
    const double x2 = eutectic.phases[1].x;
    const double x1 = 1 - x2;
    const double gammaA = x2 * x2 * (excess.w12 + 2 * x1 * (excess.w21 - excess.w12)) * 1000;
    const double gammaB = x1 * x1 * (excess.w21 + 2 * x2 * (excess.w12 - excess.w21)) * 1000;
    QVERIFY(std::abs(R * T * std::log(x1) + gammaA + 50000 * (1 - T / (1200 + kelvin0))) < 1e-4);
    QVERIFY(std::abs(R * T * std::log(x2) + gammaB + 80000 * (1 - T / (1500 + kelvin0))) < 1e-4);
}

void EquilibriumTest::idealLoopInClosedForm_data()
{
    QTest::addColumn<double>("celsius");
    for (const double celsius : {1480.0, 1400.0, 1300.0, 1250.0, 1210.0})
        QTest::addRow("%g degrees", celsius) << celsius;
}

void EquilibriumTest::idealLoopInClosedForm()
{
    // Ideal liquid and ideal solid solution of A and B:
    //   k_i = exp(-(dH_i / R)(1/T - 1/Tm_i)),
    //   x1(solid) = (1 - k2)/(k1 - k2),  x1(liquid) = k1 x1(solid).
    QFETCH(double, celsius);
    BinarySystem system = eutecticSystem({});
    system.solutions.push_back({"AB", 0, 1, {}, "", ""});
    const EquilibriumSolver solver(system);
    const double T = celsius + kelvin0;
    const double k1 = std::exp(-(50000 / R) * (1 / T - 1 / (1200 + kelvin0)));
    const double k2 = std::exp(-(80000 / R) * (1 / T - 1 / (1500 + kelvin0)));
    const double solidX1 = (1 - k2) / (k1 - k2);
    const double liquidX1 = k1 * solidX1;
    const double middle = 1 - (solidX1 + liquidX1) / 2;
    const Assemblage assemblage = solver.at(system.massFraction(middle), celsius);
    QCOMPARE(int(assemblage.phases.size()), 2);
    QVERIFY(std::abs(assemblage.phases[0].x - (1 - liquidX1)) < 1e-9);
    QVERIFY(std::abs(assemblage.phases[1].x - (1 - solidX1)) < 1e-9);
    QCOMPARE(assemblage.phases[1].phase, 1); // the solution, richer in B than its liquid
}

void EquilibriumTest::compoundMeltingCongruently()
{
    // C = AB (one unit of each) melts at 1400 degrees, above both eutectics
    // beside it: the liquidus has a maximum at C's composition, where the
    // liquid is in equilibrium with C when
    //   G_L(x) + G_L'(x) (1/2 - x) = G_L(1/2) - dH_C (1 - T/Tm_C) / 2.
    BinarySystem system = eutecticSystem({});
    system.solids.push_back(solid("C", 1, 1, 1400, 120));
    // (Without heat capacities the model also breaks C down into A and B
    // far below, near 257 degrees: a furnace does not go there.)
    system.lowestTemperature = 1000;
    const PhaseDiagram diagram(system);
    const double half = system.massFraction(0.5);
    QCOMPARE(diagram.runAt(half, 1400.1).phases.size(), std::size_t(1));
    QCOMPARE(diagram.phaseName(diagram.runAt(half, 1400.1).phases.front().phase), std::string("liquid"));
    QCOMPARE(diagram.phaseName(diagram.runAt(half, 1399.9).phases.front().phase), std::string("C"));
    const double T = 1390 + kelvin0; // above both eutectics
    const auto gLiquid = [&](double x) { return R * T * ((1 - x) * std::log(1 - x) + x * std::log(x)); };
    const auto slope = [&](double x) { return R * T * std::log(x / (1 - x)); };
    const double gC = gLiquid(0.5) - 120000 * (1 - T / (1400 + kelvin0)) / 2;
    const auto tangent = [&](double x) { return gLiquid(x) + slope(x) * (0.5 - x) - gC; };
    for (const double side : {-1.0, 1.0}) {
        const double expected = halve(tangent, 0.5 + side * 1e-9, 0.5 + side * 0.45);
        const Assemblage assemblage = diagram.runAt(system.massFraction(0.5 + side * 0.01), 1390);
        QCOMPARE(int(assemblage.phases.size()), 2);
        QVERIFY2(std::abs(liquidOf(assemblage).x - expected) < 1e-9,
                 qPrintable(QStringLiteral("%1 against %2").arg(liquidOf(assemblage).x).arg(expected)));
    }
    // Two eutectics, one on each side; no peritectic.
    QCOMPARE(int(diagram.invariants().size()), 2);
    for (const PhaseDiagram::Invariant &invariant : diagram.invariants())
        QCOMPARE(invariant.kind, std::string("eutectic"));
}

void EquilibriumTest::compoundMeltingIncongruently()
{
    // C = AB would melt at 1320 degrees (metastable), below A's liquidus at
    // its composition (about 1330 when A melts at 1700): heated, it breaks
    // down into A and liquid at a peritectic, whose liquid lies beyond C.
    BinarySystem system = eutecticSystem({});
    system.solids[0].meltingPoint = 1700;
    system.solids.push_back(solid("C", 1, 1, 1320, 200));
    const PhaseDiagram diagram(system);
    const auto peritectic = std::find_if(diagram.invariants().begin(), diagram.invariants().end(),
                                         [](const PhaseDiagram::Invariant &each) { return each.kind == "peritectic"; });
    QVERIFY(peritectic != diagram.invariants().end());
    QCOMPARE(diagram.phaseName(peritectic->phases[0].phase), std::string("A"));
    QCOMPARE(diagram.phaseName(peritectic->phases[1].phase), std::string("C"));
    QCOMPARE(peritectic->phases[2].phase, GibbsModel::liquid);
    QVERIFY(peritectic->phases[2].x > 0.5);
    // Pure C: just above the peritectic, A and liquid; just below, C alone.
    const double c = system.massFraction(0.5);
    const double T = peritectic->temperature;
    QCOMPARE(diagram.fieldAt(c, T + 0.2), std::string("A + liquid"));
    QCOMPARE(diagram.fieldAt(c, T - 0.2), std::string("C"));
    // At the peritectic's own temperature, to the tenth, a bulk between A and
    // the liquid holds all three, and its mass still balances.
    const double bulk = system.massFraction(0.3);
    const Assemblage three = diagram.runAt(bulk, std::round(T * 10) / 10);
    QCOMPARE(int(three.phases.size()), 3);
    double mass = 0;
    double balance = 0;
    for (const PhaseAmount &phase : three.phases) {
        QVERIFY(phase.fraction > 0);
        mass += phase.fraction;
        balance += phase.fraction * phase.x2;
    }
    QVERIFY(std::abs(mass - 1) < 1e-12 && std::abs(balance - bulk) < 1e-12);
    // The liquid at the peritectic is where A's liquidus ends.
    const Assemblage above = diagram.solver().at(bulk, T + 0.05);
    QCOMPARE(int(above.phases.size()), 2);
    QVERIFY(std::abs(liquidOf(above).x - peritectic->phases[2].x) < 1e-3);
}

void EquilibriumTest::regularSolutionUnmixes_data()
{
    QTest::addColumn<double>("celsius");
    for (const double celsius : {1500.0, 1400.0, 1200.0, 1000.0})
        QTest::addRow("%g degrees", celsius) << celsius;
}

void EquilibriumTest::regularSolutionUnmixes()
{
    // A regular liquid of W = 30 kJ/mol (both solids melt far below) unmixes
    // below its critical temperature Tc = W / 2R = 1804.3 K; the two
    // liquids are symmetric about x = 1/2 with
    //   ln(x / (1 - x)) = W (2x - 1) / RT.
    QFETCH(double, celsius);
    BinarySystem system = eutecticSystem(Margules::symmetric(30));
    system.solids[0].meltingPoint = 200;
    system.solids[1].meltingPoint = 250;
    const EquilibriumSolver solver(system);
    const double T = celsius + kelvin0;
    const double critical = 30000 / (2 * R);
    const Assemblage middle = solver.at(system.massFraction(0.5), celsius);
    if (T >= critical) {
        QCOMPARE(int(middle.phases.size()), 1);
        return;
    }
    const double rich = halve([&](double x) { return std::log(x / (1 - x)) - 30000 * (2 * x - 1) / (R * T); },
                              0.5 + 1e-9, 1 - 1e-15);
    QCOMPARE(int(middle.phases.size()), 2);
    QVERIFY2(std::abs(middle.phases[1].x - rich) < 1e-9 && std::abs(middle.phases[0].x - (1 - rich)) < 1e-9,
             qPrintable(QStringLiteral("%1 and %2 against %3").arg(middle.phases[0].x).arg(middle.phases[1].x).arg(rich)));
    QVERIFY(middle.phases[0].phase == GibbsModel::liquid && middle.phases[1].phase == GibbsModel::liquid);
}

void EquilibriumTest::massIsConserved()
{
    // Any charge of any of these systems: the phases' shares add up to the
    // charge, and their compositions to the bulk (the lever rule).
    BinarySystem loop = eutecticSystem(Margules{-3, 4});
    loop.solutions.push_back({"AB", 0, 1, Margules::symmetric(12), "", ""});
    BinarySystem peritectic = eutecticSystem(Margules{5, -8});
    peritectic.solids.push_back(solid("C", 2, 1, 1300, 150));
    std::mt19937_64 random(21);
    std::uniform_real_distribution<double> composition(0, 1);
    std::uniform_real_distribution<double> temperature(900, 1700);
    for (const BinarySystem &system : {eutecticSystem(Margules{-12, -20}), loop, peritectic}) {
        const PhaseDiagram diagram(system);
        for (int run = 0; run < 300; ++run) {
            const double bulk = composition(random);
            const Assemblage assemblage = diagram.runAt(bulk, temperature(random));
            double mass = 0;
            double balance = 0;
            for (const PhaseAmount &phase : assemblage.phases) {
                QVERIFY(phase.fraction >= 0 && phase.fraction <= 1);
                mass += phase.fraction;
                balance += phase.fraction * phase.x2;
            }
            QVERIFY(std::abs(mass - 1) < 1e-12);
            QVERIFY2(std::abs(balance - bulk) < 1e-12, qPrintable(QString::number(balance - bulk)));
        }
    }
}

void EquilibriumTest::pureMineralAtItsMeltingPointIsLiquid()
{
    const PhaseDiagram diagram(eutecticSystem(Margules{-12, -20}));
    QCOMPARE(diagram.fieldAt(0, 1200), std::string("liquid"));
    QCOMPARE(diagram.fieldAt(0, 1199.9), std::string("A"));
    QCOMPARE(diagram.fieldAt(1, 1500), std::string("liquid"));
    QCOMPARE(diagram.fieldAt(1, 1499.9), std::string("B"));
    QCOMPARE(*diagram.meltingPoint(1), 1200.0);
    QCOMPARE(*diagram.meltingPoint(2), 1500.0);
}

QTEST_APPLESS_MAIN(EquilibriumTest)
#include "tst_equilibrium.moc"
