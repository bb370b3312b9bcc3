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

// Whether a one-crystal charge's picture holds the crystal share that mass
// balance gives on the compositions the run left (bulk = (1 - F) liquid +
// F crystal): its band must contain F, give or take a rounding at a band's
// edge. True for runs of other kinds.
bool pictureKeepsMassBalance(const ExperimentModel &model, double bulkX2, const Charge &charge)
{
    double liquid = 0;
    double crystal = 0;
    if (const auto *eutectic = dynamic_cast<const Experiment1Model *>(&model)) {
        if (eutectic->state().phaseCase != 4)
            return true;
        liquid = eutectic->state().phaseX2;
        crystal = eutectic->state().crystalX2;
    } else {
        const Experiment2State &state = dynamic_cast<const Experiment2Model &>(model).state();
        if (state.phaseCase != 3)
            return true;
        liquid = state.glassX2;
        crystal = state.phaseX2;
    }
    const double share = (bulkX2 - liquid) / (crystal - liquid);
    // Just below the liquidus the share rounds to nothing: all glass, or a
    // first crystal in the first band, are both true to it.
    for (const double candidate : {share, share - 1e-5, share + 1e-5, std::max(share, 1e-6)}) {
        if (Charge::fromCrystalFraction(charge.side, std::clamp(candidate, 0.0, 1.0)) == charge)
            return true;
    }
    return false;
}

// The temperature from which pure mineral 1 (or 2) is all glass in an
// experiment, to the hundredth of a degree, found by runs.
double meltingPointByRuns(const ExperimentDefinition &experiment, bool mineral2)
{
    const std::unique_ptr<ExperimentModel> model = experiment.makeModel();
    double solid = 900;
    double glass = 1700;
    while (glass - solid > 0.01) {
        const double middle = (solid + glass) / 2;
        const RunOutcome outcome = model->run({mineral2 ? 0.0f : 1.0f, mineral2 ? 1.0f : 0.0f, float(middle)});
        (outcome.charge.texture == Charge::Texture::AllGlass ? glass : solid) = middle;
    }
    return glass;
}

} // namespace

class KitsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyKitIsATrueSystem();
    void everyMineralMeltsOnceInAKit();
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
                QVERIFY2(pictureKeepsMassBalance(*model, bulkX2, outcome.charge),
                         qPrintable(where + QStringLiteral(": the picture %1 does not hold the crystal of the "
                                                           "lever rule at X(2) %2")
                                                .arg(QString::fromStdString(outcome.charge.pictureName())).arg(bulkX2)));
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

void KitsTest::everyMineralMeltsOnceInAKit()
{
    // Mineral 2 is the same mineral in both experiments: a student who
    // melts it in both finds one melting point, in every kit.
    std::mt19937_64 random(7);
    for (int kitIndex = 0; kitIndex < kitCount; ++kitIndex) {
        const Kit kit = Kit::fromNumber(random() % Kit::numberCount);
        const ExperimentList experiments = labExperiments(&kit);
        const double inExperiment1 = meltingPointByRuns(experiments.at(0), true);
        const double inExperiment2 = meltingPointByRuns(experiments.at(1), true);
        QVERIFY2(std::fabs(inExperiment1 - inExperiment2) < 0.02,
                 qPrintable(QStringLiteral("kit %1: mineral 2 melts at %2 and at %3")
                                .arg(QString::fromStdString(kit.code())).arg(inExperiment1).arg(inExperiment2)));
        QVERIFY(std::fabs(inExperiment1 - 1553) <= 40.02);
        // Each mineral 1 moves on its own, within 40 degrees of the lab's.
        QVERIFY(std::fabs(meltingPointByRuns(experiments.at(0), false) - 1392) <= 40.02);
        QVERIFY(std::fabs(meltingPointByRuns(experiments.at(1), false) - 1118) <= 40.02);
    }
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
    QTest::addRow("end-to-end kit, experiment 2") << "6NUR-XT58" << 2 << "1137.0 at 0.000, 1520.0 at 1.000, 1331.4 at 0.232";
    QTest::addRow("README's first student, experiment 1") << "EJV8-6XCW" << 1 << "1357.0 at 0.000, 1540.1 at 1.000, 1303.1 at 0.167";
    QTest::addRow("README's first student, experiment 2") << "EJV8-6XCW" << 2 << "1092.7 at 0.000, 1534.2 at 1.000, 1316.8 at 0.193";
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
