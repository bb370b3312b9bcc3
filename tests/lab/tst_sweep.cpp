// Every entry of a fine grid through both experiments: grams 0 to 1 in
// steps of 0.01 for each mineral, temperatures 0 to the window's limit in
// steps of 0.5 degrees. Every run shows a charge that has a picture, and
// every report checked keeps its columns: no oxide value widens its field,
// totals stay within the scatter of 100. The only failure is a charge of no
// grams at all.
#include "analyticalscatter.h"
#include "labexperiments.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

// The lines of a report, each of which must end in CR LF.
std::optional<std::vector<std::string>> linesOf(const std::string &text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            return std::nullopt;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Why a report after a run does not fit its layout, or nothing.
QString problemWith(const MicroprobeReport &report)
{
    const auto lines = linesOf(report.text);
    if (!lines || lines->size() != 9)
        return QStringLiteral("not nine CR LF lines");
    // The heading names the phases, each oxide row holds one value per phase
    // in a field of 5 after an 11-character label: all four rows line up.
    std::string headings;
    for (const PhaseAnalysis &phase : report.phases)
        headings += ' ' + phase.phase;
    std::string heading = (*lines)[1];
    heading.erase(std::unique(heading.begin(), heading.end(), [](char a, char b) { return a == ' ' && b == ' '; }),
                  heading.end());
    if (heading != headings)
        return QStringLiteral("heading does not name the phases");
    for (int row = 3; row <= 5; ++row)
        if ((*lines)[row].size() != (*lines)[2].size())
            return QStringLiteral("oxide rows do not line up");
    for (const PhaseAnalysis &phase : report.phases) {
        for (const auto &[oxide, value] : phase.oxides)
            if (value < 0 || value >= 99.995)
                return QStringLiteral("%1 of %2 is %3").arg(QString::fromStdString(oxide), QString::fromStdString(phase.phase)).arg(value);
        // Four draws of less than 0.1 each, and two oxides that read as the
        // size of a small negative value.
        if (std::fabs(phase.total - 100) > 0.65)
            return QStringLiteral("total %1").arg(phase.total);
        if (phase.x2 < -0.02 || phase.x2 > 1.02)
            return QStringLiteral("X(2) %1").arg(phase.x2);
    }
    return {};
}

} // namespace

class SweepTest : public QObject
{
    Q_OBJECT

private slots:
    void everyEntryOfTheGrid_data();
    void everyEntryOfTheGrid();
};

void SweepTest::everyEntryOfTheGrid_data()
{
    QTest::addColumn<int>("index");
    QTest::addRow("eutectic") << 0;
    QTest::addRow("solid solution") << 1;
}

void SweepTest::everyEntryOfTheGrid()
{
    QFETCH(int, index);
    const ExperimentDefinition definition = labExperiments().at(index);
    const std::vector<Charge> pictures = Charge::catalogue();
    const int halfDegrees = definition.temperatureLimit * 2;
    // Probing every run would take minutes; a stride co-prime with the grid
    // probes every case, many times over.
    constexpr long long probeStride = 37;

    const std::unique_ptr<ExperimentModel> model = definition.makeModel();
    AnalyticalScatter scatter;
    std::int64_t drawCount = 0;
    const NumberFormat format(".");
    long long runs = 0;
    Charge lastShown = pictures.front();
    for (int grams1 = 0; grams1 <= 100; ++grams1) {
        for (int grams2 = 0; grams2 <= 100; ++grams2) {
            const float mass1 = static_cast<float>(grams1 / 100.0);
            const float mass2 = static_cast<float>(grams2 / 100.0);
            for (int halfDegree = 0; halfDegree <= halfDegrees; ++halfDegree) {
                const RunOutcome outcome = model->run({mass1, mass2, halfDegree * 0.5f});
                const auto where = [&] { return QStringLiteral("%1 g + %2 g at %3").arg(mass1).arg(mass2).arg(halfDegree * 0.5); };
                if (outcome.isSuccess() != (grams1 + grams2 > 0))
                    QFAIL(qPrintable(where() + QStringLiteral(": the run did not end as it should")));
                if (!outcome.isSuccess())
                    continue;
                // Neighbouring runs mostly show the same charge; look up the new ones.
                if (!(outcome.charge == lastShown)
                    && std::find(pictures.begin(), pictures.end(), outcome.charge) == pictures.end())
                    QFAIL(qPrintable(where() + QStringLiteral(" has no picture")));
                lastShown = outcome.charge;
                if (++runs % probeStride != 0)
                    continue;
                const MicroprobeReport report = model->report(scatter, drawCount, format);
                if (const QString problem = problemWith(report); !problem.isEmpty())
                    QFAIL(qPrintable(where() + QStringLiteral(": ") + problem + QLatin1Char('\n')
                                     + QString::fromStdString(report.text)));
            }
        }
    }
    qInfo("%lld runs, %lld reports checked", runs, runs / probeStride);
}

QTEST_APPLESS_MAIN(SweepTest)
#include "tst_sweep.moc"
