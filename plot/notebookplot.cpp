#include "notebookplot.h"

#include "charge.h"

#include <QHash>
#include <QRegularExpression>

#include <cmath>

#include <optional>

namespace {

// A plot holds X(2) about 0 to 1 and temperatures a furnace reaches; a
// value far outside (a row edited by hand) would stretch the axes to
// nothing, so it is a problem of its row.
constexpr double lowestTemperature = -300;
constexpr double highestTemperature = 5000;
constexpr double lowestX2 = -0.5;
constexpr double highestX2 = 1.5;

std::optional<double> typedNumber(const QString &text, const QLocale &locale)
{
    bool ok = false;
    double value = locale.toDouble(text, &ok);
    if (!ok)
        value = QLocale::c().toDouble(text, &ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

bool isPlausible(const QPointF &at)
{
    return at.x() >= lowestX2 && at.x() <= highestX2 && at.y() >= lowestTemperature && at.y() <= highestTemperature;
}

// What a run's charge held, from the picture it showed: the lab's charges
// looked up by their pictures' names.
std::optional<PlotMarker::Kind> kindOfPicture(const QString &picture)
{
    static const QHash<QString, PlotMarker::Kind> kinds = [] {
        using T = Charge::Texture;
        QHash<QString, PlotMarker::Kind> byName;
        for (const Charge &charge : Charge::catalogue()) {
            const PlotMarker::Kind kind = charge.texture == T::AllGlass ? PlotMarker::Kind::AllGlass
                : charge.texture == T::CrystalsInGlass || charge.texture == T::EutecticGlass
                ? PlotMarker::Kind::GlassWithCrystals
                : PlotMarker::Kind::CrystalsOnly;
            byName.insert(QString::fromStdString(charge.pictureName()), kind);
        }
        return byName;
    }();
    const auto found = kinds.constFind(picture);
    return found == kinds.constEnd() ? std::nullopt : std::optional<PlotMarker::Kind>(*found);
}

// What a computed charge held, from its words: "Charge of glass (77 percent)
// with crystals of forsterite (23 percent).", "Charge of glass (100 percent).",
// "Charge of crystals of ...".
std::optional<PlotMarker::Kind> kindOfCharge(const QString &words)
{
    const bool glass = words.startsWith(QLatin1String("Charge of glass ("));
    const bool crystals = words.contains(QLatin1String("crystals of "));
    if (glass && crystals)
        return PlotMarker::Kind::GlassWithCrystals;
    if (glass)
        return PlotMarker::Kind::AllGlass;
    if (crystals && words.startsWith(QLatin1String("Charge of crystals of ")))
        return PlotMarker::Kind::CrystalsOnly;
    return std::nullopt;
}

} // namespace

bool NotebookPlot::isPlotted(const NotebookRow &row)
{
    return row.event == NotebookRow::EventKind::Run || row.isAnalysis();
}

QString NotebookPlot::phaseOfPoint(const QString &point)
{
    // A traverse's points name their phase and place: "plagioclase core",
    // "plagioclase 2", "plagioclase rim".
    static const QRegularExpression place(QStringLiteral(" (core|rim|[0-9]+)$"));
    return QString(point).remove(place);
}

bool NotebookPlot::addToPath(Result &result, const NotebookRow &row)
{
    const std::optional<NotebookRow::CoolingProgram> program = row.coolingProgram();
    const std::optional<double> x2 = row.numbers[NotebookRow::X2];
    const std::optional<double> celsius = row.numbers[NotebookRow::Temperature];
    if (!program || !x2 || !celsius || !isPlausible(QPointF(*x2, *celsius)))
        return false; // no liquid left, or not a step the lab writes
    const QString key = QStringList{row[NotebookRow::Session], row[NotebookRow::Grams1], row[NotebookRow::Grams2],
                                    row[NotebookRow::Phase]}
                            .join(QLatin1Char('/'));
    std::vector<PlotPath> &paths = result.data.paths;
    // The next step of the path drawn last, or the first of a new one (the
    // same program again starts at its start temperature).
    if (paths.empty() || paths.back().key != key || *celsius == program->from
        || *celsius >= paths.back().points.last().y())
        paths.push_back({program->kind == QLatin1String("fractional") ? PlotPath::Kind::Fractional
                                                                       : PlotPath::Kind::Equilibrium,
                         {}, key});
    paths.back().points << QPointF(*x2, *celsius);
    return true;
}

NotebookPlot::Result NotebookPlot::fromRows(const std::vector<NotebookRow> &rows, int experiment,
                                            const QLocale &entryLocale)
{
    return fromRows(rows, QString::number(experiment), entryLocale);
}

NotebookPlot::Result NotebookPlot::fromRows(const std::vector<NotebookRow> &rows, const QString &experiment,
                                            const QLocale &entryLocale, const PhaseColours &phaseColours)
{
    Result result;
    bool isNumber = false;
    experiment.toInt(&isNumber);
    result.data.title = (isNumber ? QStringLiteral("Experiment %1") : QStringLiteral("%1")).arg(experiment)
        + QStringLiteral(": my runs and analyses");
    addRows(result, rows, 0, experiment, entryLocale, phaseColours);
    result.data.fitTemperatures();
    return result;
}

int NotebookPlot::addRows(Result &result, const std::vector<NotebookRow> &rows, std::size_t first,
                          const QString &experiment, const QLocale &entryLocale, const PhaseColours &phaseColours)
{
    const QString &number = experiment;
    const std::size_t markersBefore = result.data.markers.size();
    for (std::size_t index = first; index < rows.size(); ++index) {
        const NotebookRow &row = rows[index];
        if (row[NotebookRow::Experiment] != number)
            continue;
        if (row.isCool()) {
            result.pathsChanged = addToPath(result, row) || result.pathsChanged;
            continue;
        }
        if (!isPlotted(row))
            continue;
        const auto problem = [&](const QString &why) { result.problems << LineProblem{row.lineNumber, why}; };
        if (row.isProbe()) {
            const std::optional<double> x2 = row.numbers[NotebookRow::X2];
            const std::optional<double> temperature = row.numbers[NotebookRow::Temperature];
            if (!x2 || !temperature || !isPlausible(QPointF(*x2, *temperature))) {
                problem(QStringLiteral("the analysis has no X(2) and temperature to plot"));
                continue;
            }
            const bool glass = row[NotebookRow::Phase].startsWith(QLatin1String("glass"));
            result.data.markers.push_back(
                {glass ? PlotMarker::Kind::GlassPhase : PlotMarker::Kind::CrystalPhase, QPointF(*x2, *temperature),
                 QStringLiteral("line %1: %2 analysed at %3 °C, X(2) %4")
                     .arg(row.lineNumber).arg(row[NotebookRow::Phase], row[NotebookRow::Temperature],
                                              row[NotebookRow::X2]),
                 phaseColours.value(phaseOfPoint(row[NotebookRow::Phase]))});
            continue;
        }
        // Entries are read in the locale the row says they were typed in.
        const QLocale locale = row[NotebookRow::Locale].isEmpty() ? entryLocale : QLocale(row[NotebookRow::Locale]);
        const std::optional<double> grams1 = typedNumber(row[NotebookRow::Grams1], locale);
        const std::optional<double> grams2 = typedNumber(row[NotebookRow::Grams2], locale);
        const std::optional<double> temperature = typedNumber(row[NotebookRow::Temperature], locale);
        if (!grams1 || !grams2 || !temperature || *grams1 + *grams2 <= 0
            || !isPlausible(QPointF(*grams2 / (*grams1 + *grams2), *temperature))) {
            problem(QStringLiteral("the run's entries are not numbers of a run"));
            continue;
        }
        const std::optional<PlotMarker::Kind> kind = row[NotebookRow::Picture].isEmpty()
            ? kindOfCharge(row[NotebookRow::Charge])
            : kindOfPicture(row[NotebookRow::Picture]);
        if (!kind) {
            problem(QStringLiteral("\"%1\" is none of the lab's pictures").arg(row[NotebookRow::Picture]));
            continue;
        }
        result.data.markers.push_back(
            {*kind, QPointF(*grams2 / (*grams1 + *grams2), *temperature),
             QStringLiteral("line %1: run of %2 g and %3 g at %4 °C: %5")
                 .arg(row.lineNumber)
                 .arg(row[NotebookRow::Grams1], row[NotebookRow::Grams2], row[NotebookRow::Temperature],
                      row[NotebookRow::Charge]),
             QColor()});
    }
    return int(result.data.markers.size() - markersBefore);
}
