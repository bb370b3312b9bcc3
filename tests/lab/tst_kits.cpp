// Every kit is a true system: for many random kits and runs, what a run
// reports agrees with the kit's own diagram (just above its liquidus all
// glass, just below it crystals; below its eutectic no glass), the
// picture's band agrees with the lever rule on the reported compositions,
// and totals stay within the scatter of 100. Without a kit the lab is the
// lab: its golden reports are checked elsewhere.
#include "analyticalscatter.h"
#include "experiment1model.h"
#include "experiment2model.h"
#include "labexperiments.h"

#include <QtTest>

#include <random>

namespace {

constexpr int kitCount = 60;
constexpr int runsPerKit = 40;

// The temperature at which the field at x2 changes from `below` being true
// to false, by halving, between lowest and highest.
double boundary(const DiagramOutline &outline, double x2, double lowest, double highest,
                const std::function<bool(const std::string &)> &below)
{
    for (int step = 0; step < 60; ++step) {
        const double middle = (lowest + highest) / 2;
        (below(outline.fieldAt(x2, middle)) ? lowest : highest) = middle;
    }
    return (lowest + highest) / 2;
}

bool isLiquidOnly(const std::string &field)
{
    return field == "liquid";
}

struct Probe
{
    bool glass = false;
    bool crystal = false;
    double largestTotalOffset = 0;
};

Probe probe(ExperimentModel &model, AnalyticalScatter &scatter)
{
    std::int64_t drawCount = 0;
    Probe seen;
    for (const PhaseAnalysis &phase : model.report(scatter, drawCount, NumberFormat(".")).phases) {
        seen.glass = seen.glass || phase.phase == "glass";
        seen.crystal = seen.crystal || phase.phase.rfind("crystal", 0) == 0;
        seen.largestTotalOffset = std::max(seen.largestTotalOffset, std::fabs(phase.total - 100));
    }
    return seen;
}

// The charge the lever rule gives on the compositions a run left, or
// nothing for a run that is not liquid and one crystal.
std::optional<Charge> leverCharge(const ExperimentModel &model, float bulkX2, Charge::Side side)
{
    if (const auto *eutectic = dynamic_cast<const Experiment1Model *>(&model)) {
        const Experiment1State &state = eutectic->state();
        if (state.phaseCase != 4)
            return std::nullopt;
        const float fraction = (bulkX2 - state.phaseX2) / (float(state.crystalX2) - state.phaseX2);
        return Charge::fromCrystalFraction(side, fraction < 0 ? 0.001 : double(fraction));
    }
    const Experiment2State &state = dynamic_cast<const Experiment2Model &>(model).state();
    if (state.phaseCase != 3)
        return std::nullopt;
    return Charge::fromCrystalFraction(
        side, std::clamp((bulkX2 - state.glassX2) / (double(state.phaseX2) - state.glassX2), 0.0, 1.0));
}

} // namespace

class KitsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyKitIsATrueSystem();
    void handedOutKitsKeepTheirSystems_data();
    void handedOutKitsKeepTheirSystems();
};

void KitsTest::everyKitIsATrueSystem()
{
    std::mt19937_64 random(1207);
    std::uniform_real_distribution<double> composition(0.03, 0.97);
    int checked = 0;
    for (int kitIndex = 0; kitIndex < kitCount; ++kitIndex) {
        const Kit kit = Kit::fromNumber(random() % Kit::numberCount);
        AnalyticalScatter scatter(kit.scatterStartState());
        for (const ExperimentDefinition &experiment : labExperiments(&kit)) {
            const DiagramOutline outline = experiment.outline();
            const std::unique_ptr<ExperimentModel> model = experiment.makeModel();
            const QString where = QStringLiteral("kit %1, %2").arg(QString::fromStdString(kit.code()),
                                                                   QString::fromStdString(experiment.title));
            for (int run = 0; run < runsPerKit; ++run) {
                const float bulkX2 = float(composition(random));
                const auto at = [&](double temperature) {
                    return model->run({1 - bulkX2, bulkX2, float(temperature)});
                };
                const double liquidus = boundary(outline, bulkX2, 900, 1700,
                                                 [](const std::string &field) { return !isLiquidOnly(field); });
                // Just above the kit's liquidus: all glass.
                RunOutcome outcome = at(liquidus + 0.5);
                QVERIFY2(outcome.charge.texture == Charge::Texture::AllGlass,
                         qPrintable(where + QStringLiteral(": X(2) %1 above its liquidus %2").arg(bulkX2).arg(liquidus)));
                Probe seen = probe(*model, scatter);
                QVERIFY(seen.glass && !seen.crystal);
                // Just below it: crystals, their share from the lever rule on
                // the compositions reported.
                outcome = at(liquidus - 0.5);
                seen = probe(*model, scatter);
                QVERIFY2(seen.crystal, qPrintable(where + QStringLiteral(": X(2) %1 below its liquidus").arg(bulkX2)));
                // Between the liquidus and the solidus (the eutectic in
                // Experiment 1), anywhere.
                const double lower = boundary(outline, bulkX2, 900, liquidus, [](const std::string &field) {
                    return field.find("liquid") == std::string::npos;
                });
                outcome = at(lower + (liquidus - lower) * composition(random));
                if (const std::optional<Charge> lever = leverCharge(*model, bulkX2, outcome.charge.side))
                    QVERIFY2(*lever == outcome.charge,
                             qPrintable(where + QStringLiteral(": the picture %1 is not the lever rule's %2")
                                                    .arg(QString::fromStdString(outcome.charge.pictureName()),
                                                         QString::fromStdString(lever->pictureName()))));
                seen = probe(*model, scatter);
                QVERIFY(seen.largestTotalOffset < 0.65);
                // Below the solidus (below the eutectic in Experiment 1): no
                // glass, in the picture or in the report.
                outcome = at(lower - 5);
                QCOMPARE(outcome.charge.pictureCrystalShare(), 1.0);
                seen = probe(*model, scatter);
                QVERIFY2(!seen.glass && seen.crystal,
                         qPrintable(where + QStringLiteral(": X(2) %1 below its solidus %2").arg(bulkX2).arg(lower)));
                QVERIFY(seen.largestTotalOffset < 0.65);
                ++checked;
            }
        }
    }
    QCOMPARE(checked, kitCount * runsPerKit * 2);
}

void KitsTest::handedOutKitsKeepTheirSystems_data()
{
    // A code a student holds names one system for good: their notebook is
    // checked against it and their key was printed from it. Each row: the
    // kit's melting points of mineral 1 and mineral 2 and one point on
    // its liquidus, to the tenth of a degree.
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("experiment");
    QTest::addColumn<QString>("system");
    QTest::addRow("end-to-end kit, experiment 1") << "6NUR-XT58" << 1 << "1414.0 at 0.000, 1525.1 at 1.000, 1381.3 at 0.177";
    QTest::addRow("end-to-end kit, experiment 2") << "6NUR-XT58" << 2 << "1138.3 at 0.000, 1565.4 at 1.000, 1355.1 at 0.232";
    QTest::addRow("README's first student, experiment 1") << "EJV8-6XCW" << 1 << "1357.0 at 0.000, 1540.1 at 1.000, 1303.1 at 0.167";
    QTest::addRow("README's first student, experiment 2") << "EJV8-6XCW" << 2 << "1092.2 at 0.000, 1518.4 at 1.000, 1308.6 at 0.193";
}

void KitsTest::handedOutKitsKeepTheirSystems()
{
    QFETCH(QString, code);
    QFETCH(int, experiment);
    QFETCH(QString, system);
    const std::optional<Kit> kit = Kit::fromCode(code.toStdString());
    QVERIFY(kit);
    const DiagramOutline outline = labExperiments(&*kit).at(experiment - 1).outline();
    const std::vector<DiagramOutline::Point> &liquidus = outline.curves.front().points;
    const auto shown = [](const DiagramOutline::Point &point) {
        return QStringLiteral("%1 at %2").arg(point.temperature, 0, 'f', 1).arg(point.x2, 0, 'f', 3);
    };
    const QString produced = QStringList{shown(liquidus.front()), shown(outline.curves.at(1).points.back()),
                                         shown(liquidus.at(21))}
                                 .join(QStringLiteral(", "));
    QCOMPARE(produced, system);
}

QTEST_APPLESS_MAIN(KitsTest)
#include "tst_kits.moc"
