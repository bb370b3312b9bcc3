// Cooling a melt step by step, tested against the physics: equilibrium
// crystals end at the bulk composition at the solidus, fractional ones are
// zoned from the first crystal to nearly pure albite; the eutectic takes
// the last liquid, the peritectic's forsterite reacts in equilibrium and is
// mantled by enstatite when it cannot; mass is conserved at every step.
#include "coolingpath.h"
#include "phasediagram.h"
#include "systemlibrary.h"

#include <QtTest>

namespace {

using Kind = CoolingPath::Kind;

const BinarySystem &librarySystem(const char *id)
{
    static const SystemLibrary library = SystemLibrary::builtIn();
    return *library.find(id);
}

const char *nameOf(const CoolingPath &path, int phase)
{
    static std::string name;
    name = path.model().phases()[std::size_t(phase)].name;
    return name.c_str();
}

// The first step whose charge holds crystals, and the last that holds liquid.
std::size_t firstWithCrystals(const CoolingPath &path)
{
    for (std::size_t step = 0; step < path.steps().size(); ++step)
        if (path.steps()[step].endLayer > path.steps()[step].firstLayer)
            return step;
    return path.steps().size();
}

std::size_t lastWithLiquid(const CoolingPath &path)
{
    std::size_t last = 0;
    for (std::size_t step = 0; step < path.steps().size(); ++step)
        if (path.steps()[step].hasLiquid())
            last = step;
    return last;
}

} // namespace

class CoolingPathTest : public QObject
{
    Q_OBJECT

private slots:
    void temperaturesOfAPath_data();
    void temperaturesOfAPath();
    void massIsConservedAtEveryStep_data();
    void massIsConservedAtEveryStep();
    void plagioclaseInEquilibriumEndsAtTheBulk();
    void plagioclaseFractionallyIsZonedToAlbite();
    void theEutecticTakesTheLastLiquid_data();
    void theEutecticTakesTheLastLiquid();
    void thePeritecticReactsOnlyInEquilibrium();
    void stepsOfOneAndFiftyDegreesEndAlike();
    void traversesReadCoreToRim();
};

void CoolingPathTest::temperaturesOfAPath_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("step");
    QTest::addColumn<QList<double>>("expected");
    QTest::addRow("the end on a step") << 1500.0 << 1400.0 << 50.0 << QList<double>{1500, 1450, 1400};
    QTest::addRow("the end between steps") << 1500.0 << 1420.0 << 50.0 << QList<double>{1500, 1450, 1420};
    QTest::addRow("one temperature") << 1300.0 << 1300.0 << 1.0 << QList<double>{1300};
    QTest::addRow("warming is no cooling") << 1300.0 << 1400.0 << 10.0 << QList<double>{};
    QTest::addRow("a step under a degree") << 1500.0 << 1400.0 << 0.5 << QList<double>{};
    QTest::addRow("not a number") << qQNaN() << 1400.0 << 10.0 << QList<double>{};
    QTest::addRow("5000 steps at the most") << 6000.0 << 1000.0 << 1.0 << QList<double>{};
}

void CoolingPathTest::temperaturesOfAPath()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, step);
    QFETCH(QList<double>, expected);
    const std::vector<double> celsius = CoolingPath::temperatures(from, to, step);
    QCOMPARE(QList<double>(celsius.begin(), celsius.end()), expected);
    QCOMPARE(CoolingPath::temperatures(5999, 1000, 1).size(), CoolingPath::largestStepCount);
}

void CoolingPathTest::massIsConservedAtEveryStep_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<double>("bulk");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("kind");
    for (const auto &[id, bulk, from, to] : {std::tuple{"ab-an", 0.5, 1560.0, 1100.0}, {"fo-fa", 0.4, 1900.0, 1200.0},
                                             {"di-an", 0.2, 1400.0, 1200.0}, {"fo-sio2", 0.2, 1900.0, 1500.0},
                                             {"fo-sio2", 0.6, 1750.0, 1500.0}}) {
        QTest::addRow("%s %.1f in equilibrium", id, bulk) << id << bulk << from << to << int(Kind::Equilibrium);
        QTest::addRow("%s %.1f fractionally", id, bulk) << id << bulk << from << to << int(Kind::Fractional);
    }
}

void CoolingPathTest::massIsConservedAtEveryStep()
{
    QFETCH(QString, id);
    QFETCH(double, bulk);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, kind);
    const CoolingPath path(librarySystem(qPrintable(id)), bulk, from, to, 2, Kind(kind));
    QVERIFY(path.steps().size() > 100);
    for (std::size_t step = 0; step < path.steps().size(); ++step) {
        double mass = 0;
        double metal = 0;
        for (const PhaseAmount &phase : path.phasesAt(step)) {
            mass += phase.fraction;
            metal += phase.fraction * phase.x2;
        }
        QVERIFY2(std::abs(mass - 1) < 1e-9, qPrintable(QStringLiteral("step %1: mass %2").arg(step).arg(mass, 0, 'g', 15)));
        QVERIFY2(std::abs(metal - bulk) < 1e-9, qPrintable(QStringLiteral("step %1: X(2) %2").arg(step).arg(metal, 0, 'g', 15)));
    }
}

void CoolingPathTest::plagioclaseInEquilibriumEndsAtTheBulk()
{
    const BinarySystem &plagioclase = librarySystem("ab-an");
    const CoolingPath path(plagioclase, 0.5, 1500, 1100, 1, Kind::Equilibrium);
    // Crystals first appear on the liquidus, the published 1450 +- 15 degrees.
    const CoolingPath::Step &first = path.steps()[firstWithCrystals(path)];
    QVERIFY2(first.celsius > 1435 && first.celsius < 1465, qPrintable(QString::number(first.celsius)));
    QVERIFY(path.steps()[firstWithCrystals(path) - 1].liquidX2 == 0.5);
    // The last liquid is gone at the solidus; the crystals there, and below,
    // are the bulk itself, homogeneous.
    const std::size_t solidus = lastWithLiquid(path) + 1;
    for (std::size_t step = solidus; step < path.steps().size(); ++step) {
        QVERIFY(!path.steps()[step].hasLiquid());
        const auto crystals = path.crystalsAt(step);
        QCOMPARE(int(crystals.size()), 1);
        QCOMPARE(int(crystals[0].size()), 1);
        QVERIFY(std::abs(crystals[0][0].x2 - 0.5) < 1e-9);
        QCOMPARE(nameOf(path, crystals[0][0].phase), "plagioclase");
    }
    // The solidus lies well below the liquidus: a loop, not a melting point.
    QVERIFY(path.steps()[solidus].celsius < first.celsius - 50);
}

void CoolingPathTest::plagioclaseFractionallyIsZonedToAlbite()
{
    const BinarySystem &plagioclase = librarySystem("ab-an");
    const CoolingPath equilibrium(plagioclase, 0.5, 1500, 1120, 1, Kind::Equilibrium);
    const CoolingPath fractional(plagioclase, 0.5, 1500, 1120, 1, Kind::Fractional);
    const auto crystals = fractional.crystalsAt(fractional.steps().size() - 1);
    QCOMPARE(int(crystals.size()), 1);
    const std::vector<CoolingPath::Layer> &crystal = crystals[0];
    // The core is the equilibrium path's first crystal: same step, same composition.
    const std::size_t first = firstWithCrystals(equilibrium);
    QCOMPARE(crystal.front().celsius, equilibrium.steps()[first].celsius);
    QVERIFY(std::abs(crystal.front().x2 - equilibrium.crystalsAt(first)[0][0].x2) < 1e-9);
    QVERIFY(crystal.front().x2 > 0.75);
    // Each layer more sodic than the one it grew on, the rim nearly albite.
    for (std::size_t layer = 1; layer < crystal.size(); ++layer)
        QVERIFY(crystal[layer].x2 < crystal[layer - 1].x2);
    QVERIFY2(crystal.back().x2 < 0.05, qPrintable(QString::number(crystal.back().x2)));
    // Glass remains below the equilibrium solidus, down to 1120.
    const double solidus = equilibrium.steps()[lastWithLiquid(equilibrium) + 1].celsius;
    for (const CoolingPath::Step &step : fractional.steps())
        QVERIFY(step.celsius > solidus || step.hasLiquid());
    QVERIFY(fractional.steps().back().liquidX2 < 0.05);
}

void CoolingPathTest::theEutecticTakesTheLastLiquid_data()
{
    QTest::addColumn<int>("kind");
    QTest::addRow("in equilibrium") << int(Kind::Equilibrium);
    QTest::addRow("fractionally") << int(Kind::Fractional);
}

void CoolingPathTest::theEutecticTakesTheLastLiquid()
{
    QFETCH(int, kind);
    const BinarySystem &system = librarySystem("di-an");
    const PhaseDiagram diagram(system);
    const PhaseDiagram::Invariant &eutectic = diagram.invariants().front();
    const CoolingPath path(system, 0.2, 1400, 1200, 1, Kind(kind));
    // Diopside alone down to the eutectic, the liquid driven to its composition.
    const std::size_t last = lastWithLiquid(path);
    const CoolingPath::Step &lastLiquid = path.steps()[last];
    // (The engine's stable assemblage and its invariant agree to a hundredth of a degree.)
    QVERIFY2(lastLiquid.celsius >= eutectic.temperature && lastLiquid.celsius < eutectic.temperature + 1.01,
             qPrintable(QString::number(lastLiquid.celsius)));
    QVERIFY(std::abs(lastLiquid.liquidX2 - eutectic.phases[1].x2) < 0.01);
    // Then both solids, in the lever rule's amounts: anorthite is X(2) of the charge.
    const std::vector<PhaseAmount> end = path.phasesAt(path.steps().size() - 1);
    QCOMPARE(int(end.size()), 2);
    QCOMPARE(nameOf(path, end[0].phase), "diopside");
    QCOMPARE(nameOf(path, end[1].phase), "anorthite");
    QVERIFY(std::abs(end[1].fraction - 0.2) < 1e-9);
    // Anorthite crystals of their own, grown at the eutectic, beside the diopside.
    const auto crystals = path.crystalsAt(path.steps().size() - 1);
    QCOMPARE(int(crystals.size()), 2);
    QCOMPARE(nameOf(path, crystals[1].front().phase), "anorthite");
    QVERIFY(crystals[1].front().celsius < eutectic.temperature + 0.01);
}

void CoolingPathTest::thePeritecticReactsOnlyInEquilibrium()
{
    // Between forsterite (X(2) 0) and enstatite (0.30): forsterite first.
    const BinarySystem &system = librarySystem("fo-sio2");
    const CoolingPath equilibrium(system, 0.2, 1900, 1500, 1, Kind::Equilibrium);
    const CoolingPath fractional(system, 0.2, 1900, 1500, 1, Kind::Fractional);
    const double enstatite = system.massFraction(0.5);
    // In equilibrium forsterite reacts with the liquid at the peritectic:
    // the charge ends as forsterite and enstatite in the lever rule's
    // amounts, and its liquid never reaches silica's side.
    const std::vector<PhaseAmount> end = equilibrium.phasesAt(equilibrium.steps().size() - 1);
    QCOMPARE(int(end.size()), 2);
    QCOMPARE(nameOf(equilibrium, end[1].phase), "enstatite");
    QVERIFY(std::abs(end[1].fraction - 0.2 / enstatite) < 1e-9);
    // Fractionally it cannot: each forsterite crystal is mantled by
    // enstatite, and the liquid goes on to the eutectic, where cristobalite
    // crystallises: silica from a charge with less silica than enstatite.
    const auto crystals = fractional.crystalsAt(fractional.steps().size() - 1);
    QCOMPARE(nameOf(fractional, crystals[0].front().phase), "forsterite");
    QCOMPARE(nameOf(fractional, crystals[0].back().phase), "enstatite");
    bool cristobalite = false;
    for (const PhaseAmount &phase : fractional.phasesAt(fractional.steps().size() - 1))
        cristobalite = cristobalite || std::string(nameOf(fractional, phase.phase)) == "cristobalite";
    QVERIFY(cristobalite);
}

void CoolingPathTest::stepsOfOneAndFiftyDegreesEndAlike()
{
    // An equilibrium state does not remember the way it was reached.
    for (const char *id : {"ab-an", "di-an", "fo-sio2"}) {
        const BinarySystem &system = librarySystem(id);
        const CoolingPath fine(system, 0.35, 1700, 1250, 1, Kind::Equilibrium);
        const CoolingPath coarse(system, 0.35, 1700, 1250, 50, Kind::Equilibrium);
        const std::vector<PhaseAmount> a = fine.phasesAt(fine.steps().size() - 1);
        const std::vector<PhaseAmount> b = coarse.phasesAt(coarse.steps().size() - 1);
        QCOMPARE(a.size(), b.size());
        for (std::size_t index = 0; index < a.size(); ++index) {
            QCOMPARE(a[index].phase, b[index].phase);
            QVERIFY(std::abs(a[index].fraction - b[index].fraction) < 1e-9);
            QVERIFY(std::abs(a[index].x2 - b[index].x2) < 1e-9);
        }
    }
    // Fractionally the zoning is finer with finer steps, but the first
    // crystal lies within a step of the liquidus either way.
    const BinarySystem &plagioclase = librarySystem("ab-an");
    const CoolingPath fine(plagioclase, 0.5, 1500, 1150, 1, Kind::Fractional);
    const CoolingPath coarse(plagioclase, 0.5, 1500, 1150, 50, Kind::Fractional);
    QVERIFY(fine.crystalsAt(fine.steps().size() - 1)[0].size() > coarse.crystalsAt(coarse.steps().size() - 1)[0].size());
    QVERIFY(std::abs(fine.crystalsAt(fine.steps().size() - 1)[0].front().celsius
                     - coarse.crystalsAt(coarse.steps().size() - 1)[0].front().celsius) <= 50);
}

void CoolingPathTest::traversesReadCoreToRim()
{
    const BinarySystem &plagioclase = librarySystem("ab-an");
    const CoolingPath equilibrium(plagioclase, 0.5, 1500, 1300, 5, Kind::Equilibrium);
    const auto homogeneous = CoolingPath::traverse(equilibrium.crystalsAt(equilibrium.steps().size() - 1)[0], 5);
    QCOMPARE(int(homogeneous.size()), 5);
    for (const CoolingPath::Layer &point : homogeneous)
        QCOMPARE(point.x2, homogeneous.front().x2);
    const CoolingPath fractional(plagioclase, 0.5, 1500, 1120, 5, Kind::Fractional);
    const auto crystal = fractional.crystalsAt(fractional.steps().size() - 1)[0];
    const auto zoned = CoolingPath::traverse(crystal, 5);
    QCOMPARE(zoned.front().x2, crystal.front().x2);
    QCOMPARE(zoned.back().x2, crystal.back().x2);
    for (std::size_t point = 1; point < zoned.size(); ++point)
        QVERIFY(zoned[point].x2 <= zoned[point - 1].x2);
    QVERIFY(zoned[2].x2 < zoned[0].x2 && zoned[4].x2 < zoned[3].x2);
    // Half way out along the radius lies an eighth of the crystal's mass.
    double total = 0;
    for (const CoolingPath::Layer &layer : crystal)
        total += layer.mass;
    double inside = 0;
    for (const CoolingPath::Layer &layer : crystal) {
        if (layer.x2 == zoned[2].x2) {
            QVERIFY(inside <= total / 8 && inside + layer.mass >= total / 8);
            break;
        }
        inside += layer.mass;
    }
}

QTEST_MAIN(CoolingPathTest)
#include "tst_coolingpath.moc"
