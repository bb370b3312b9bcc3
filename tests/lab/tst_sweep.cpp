#include "analyticalscatter.h"
#include "experiment1model.h"
#include "experiment2model.h"

#include <QDir>
#include <QSet>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {

// Records every scatter value it hands out, so a report's totals can be
// checked against the draws of their own column.
class RecordingScatter : public ScatterSource
{
public:
    double fud(float xx, std::int64_t &nn) override
    {
        const double value = m_scatter.fud(xx, nn);
        m_draws.push_back(value);
        return value;
    }
    std::vector<double> take() { return std::exchange(m_draws, {}); }

private:
    AnalyticalScatter m_scatter;
    std::vector<double> m_draws;
};

struct ReportShape
{
    const char *heading;
    int columns;
    int gap; // blanks between the oxide values of a row
    // For each column, the indexes of its draws in draw order, and the sum
    // of its end-member table.
    std::vector<std::vector<int>> drawsOfColumn;
    std::vector<double> baseTotal;
};

// Checks one report against its layout. Returns an empty string when it fits.
QString checkReport(const std::string &report, const ReportShape &shape, const std::vector<double> &draws,
                    const std::array<const char *, 4> &labels)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < report.size()) {
        const std::size_t end = report.find("\r\n", start);
        if (end == std::string::npos)
            return QStringLiteral("line without CR LF");
        lines.push_back(report.substr(start, end - start));
        start = end + 2;
    }
    if (lines.size() != 9)
        return QStringLiteral("%1 lines").arg(lines.size());
    const std::string &header = lines[0];
    if (header.size() != 36 || header.compare(0, 14, "Temperature = ") != 0
        || header.compare(18, 18, " degrees Celsius  ") != 0
        || !std::all_of(header.begin() + 14, header.begin() + 18, ::isdigit))
        return QStringLiteral("header: ") + QString::fromStdString(header);
    if (lines[1] != shape.heading)
        return QStringLiteral("heading: ") + QString::fromStdString(lines[1]);
    if (!lines[7].empty())
        return QStringLiteral("line 8 not empty");

    // Oxide rows: an 11-character label, then 5-character values with the
    // layout's gaps; every value lies between 00.00 and 99.99.
    const int gap = shape.gap;
    std::vector<double> sums(shape.columns, 0.0);
    for (int row = 0; row < 4; ++row) {
        const std::string &line = lines[2 + row];
        if (line.compare(0, 11, labels[row]) != 0)
            return QStringLiteral("label: ") + QString::fromStdString(line);
        std::size_t position = 11;
        for (int column = 0; column < shape.columns; ++column) {
            if (column > 0) {
                if (line.compare(position, gap, std::string(gap, ' ')) != 0)
                    return QStringLiteral("gap: ") + QString::fromStdString(line);
                position += gap;
            }
            const std::string value = line.substr(position, 5);
            if (value.size() != 5 || !isdigit(value[0]) || !isdigit(value[1]) || value[2] != '.'
                || !isdigit(value[3]) || !isdigit(value[4]))
                return QStringLiteral("value: ") + QString::fromStdString(line);
            sums[column] += std::stod(value);
            position += 5;
        }
        if (position != line.size())
            return QStringLiteral("row length: ") + QString::fromStdString(line);
    }

    // The total line: each total is 100 plus its column's scatter, plus
    // twice any value the sign correction turned positive.
    std::string totals = lines[6];
    std::vector<double> printedTotals;
    {
        const char *text = totals.c_str() + 5;
        char *end = nullptr;
        for (int column = 0; column < shape.columns; ++column) {
            const double total = std::strtod(text, &end);
            if (end == text)
                return QStringLiteral("total: ") + QString::fromStdString(totals);
            printedTotals.push_back(total);
            text = end;
        }
        if (*end != '\0' || totals.compare(0, 5, "Total") != 0)
            return QStringLiteral("total line: ") + QString::fromStdString(totals);
    }
    for (int column = 0; column < shape.columns; ++column) {
        double drawSum = 0;
        double drawSize = 0;
        for (int index : shape.drawsOfColumn[column]) {
            drawSum += draws.at(index);
            drawSize += std::fabs(draws.at(index));
        }
        const double total = printedTotals[column];
        if (std::fabs(total - sums[column]) > 0.026)
            return QStringLiteral("total %1 is not the sum %2").arg(total).arg(sums[column]);
        const double lowest = shape.baseTotal[column] + drawSum - 0.011;
        const double highest = shape.baseTotal[column] + drawSize + 0.6;
        if (total < lowest || total > highest)
            return QStringLiteral("total %1 outside %2 .. %3").arg(total).arg(lowest).arg(highest);
    }
    if (lines[8].compare(0, 12, "X(2)        ") != 0)
        return QStringLiteral("X(2) line: ") + QString::fromStdString(lines[8]);
    return {};
}

QSet<QString> suppliedPictures()
{
    const QStringList names = QDir(QStringLiteral(LAB_SOURCE_DIR "/pictures"))
                                  .entryList({QStringLiteral("*.wmf")}, QDir::Files);
    return QSet<QString>(names.begin(), names.end());
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
    QTest::addColumn<int>("experiment");
    QTest::addRow("eutectic") << 1;
    QTest::addRow("solid solution") << 2;
}

void SweepTest::everyEntryOfTheGrid()
{
    // Grams 0 to 1 in steps of 0.01 for each mineral, temperatures 0 to the
    // window's limit in steps of 0.5 degrees; every run classifies, names a
    // supplied picture and leaves a state whose report fits its layout. The
    // only failure is a charge of no grams at all.
    QFETCH(int, experiment);
    const QSet<QString> pictures = suppliedPictures();
    QCOMPARE(pictures.size(), 33);
    const int halfDegrees = (experiment == 1 ? 2000 : 1900) * 2;
    // Probing every run would take minutes; a stride co-prime with the grid
    // probes every case, many times over.
    constexpr long long probeStride = 37;

    std::unique_ptr<ExperimentModel> model;
    if (experiment == 1)
        model = std::make_unique<Experiment1Model>();
    else
        model = std::make_unique<Experiment2Model>();
    RecordingScatter scatter;
    std::int64_t drawCount = 0;
    const NumberFormat format(".");
    QSet<QString> seen;
    long long runs = 0;
    long long probes = 0;
    const std::array<const char *, 4> labels1{"SiO2       ", "Al2O3      ", "MgO        ", "CaO        "};
    const std::array<const char *, 4> labels2{"SiO2       ", "Al2O3      ", "CaO        ", "Na2O       "};

    const std::vector<ReportShape> shapes1{
        {},
        {"           glass", 1, 0, {{0, 1, 2, 3}}, {100}},
        {"          crystal", 1, 0, {{0, 1, 2, 3}}, {100}},
        {"         crystal(1)   crystal(2)", 2, 8, {{0, 2, 4, 6}, {1, 3, 5, 7}}, {100, 100}},
        {"           glass    crystal", 2, 6, {{0, 1, 2, 3}, {4, 5, 6, 7}}, {100, 100}},
        {"           glass    crystal(1) crystal(2)", 3, 6, {{0, 1, 2, 3}, {8, 9, 10, 11}, {4, 5, 6, 7}},
         {100, 99.99, 100}},
    };
    const std::vector<ReportShape> shapes2{
        {},
        {"           glass", 1, 0, {{0, 1, 2, 3}}, {100}},
        {"          crystal", 1, 0, {{0, 1, 2, 3}}, {100}},
        {"          crystal     glass", 2, 6, {{0, 1, 2, 3}, {4, 5, 6, 7}}, {100, 100}},
    };

    for (int grams1 = 0; grams1 <= 100; ++grams1) {
        for (int grams2 = 0; grams2 <= 100; ++grams2) {
            const float mass1 = static_cast<float>(grams1 / 100.0);
            const float mass2 = static_cast<float>(grams2 / 100.0);
            for (int halfDegree = 0; halfDegree <= halfDegrees; ++halfDegree) {
                const RunOutcome outcome = model->run({mass1, mass2, halfDegree * 0.5f});
                ++runs;
                if (grams1 == 0 && grams2 == 0) {
                    if (outcome.isSuccess())
                        QFAIL("a charge of no grams ran");
                    continue;
                }
                if (!outcome.isSuccess())
                    QFAIL(qPrintable(QStringLiteral("%1 g + %2 g at %3 failed").arg(mass1).arg(mass2).arg(halfDegree * 0.5)));
                const QString name = QString::fromStdString(outcome.charge.pictureName());
                if (!seen.contains(name)) {
                    if (!pictures.contains(name))
                        QFAIL(qPrintable(QStringLiteral("%1 g + %2 g at %3 asks for %4, not supplied")
                                             .arg(mass1).arg(mass2).arg(halfDegree * 0.5).arg(name)));
                    seen.insert(name);
                }
                if (runs % probeStride != 0)
                    continue;
                ++probes;
                const std::string report = model->report(scatter, drawCount, format).text;
                const std::vector<double> draws = scatter.take();
                const int phaseCase = experiment == 1 ? static_cast<Experiment1Model &>(*model).state().phaseCase
                                                      : static_cast<Experiment2Model &>(*model).state().phaseCase;
                const ReportShape &shape = (experiment == 1 ? shapes1 : shapes2).at(phaseCase);
                const QString problem = checkReport(report, shape, draws, experiment == 1 ? labels1 : labels2);
                if (!problem.isEmpty())
                    QFAIL(qPrintable(QStringLiteral("%1 g + %2 g at %3: %4\n%5").arg(mass1).arg(mass2)
                                         .arg(halfDegree * 0.5).arg(problem, QString::fromStdString(report))));
            }
        }
    }
    QStringList reached(seen.begin(), seen.end());
    reached.sort();
    qInfo("%lld runs, %lld reports checked; pictures asked for: %s", runs, probes,
          qPrintable(reached.join(QLatin1Char(' '))));
}

QTEST_APPLESS_MAIN(SweepTest)
#include "tst_sweep.moc"
