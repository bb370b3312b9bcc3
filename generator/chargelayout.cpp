#include "chargelayout.h"

#include "polygongeometry.h"
#include "randomsequence.h"

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace charge {

namespace {

// The charge inside the capsule, in twips of the 1845 x 2910 picture. The
// capsule is crimped shut at the top (tight corners) and drawn at the bottom
// (round corners).
constexpr double chargeLeft = 345.0;
constexpr double chargeRight = 1500.0;
constexpr double chargeTop = 420.0;
constexpr double chargeBottom = 2580.0;
constexpr double topCornerRadius = 70.0;
constexpr double bottomCornerRadius = 160.0;

// Cosine and sine of 0, 15, ... 90 degrees, written out so that the outline
// does not depend on the maths library's trigonometry.
constexpr double quarterArc[][2] = {
    {1.0, 0.0},
    {0.9659258262890683, 0.25881904510252074},
    {0.8660254037844387, 0.5},
    {0.7071067811865476, 0.7071067811865476},
    {0.5, 0.8660254037844387},
    {0.25881904510252074, 0.9659258262890683},
    {0.0, 1.0},
};

// Domains of one crystal orientation, a few across and a few down, so a
// student sees crystals lying in several directions as in a real charge.
// Laths show orientation best and get more, smaller domains; the nearly
// equant prisms get fewer, so that most of their cells stay whole.
struct DomainGrid
{
    int columns;
    int rows;
};
constexpr DomainGrid prismDomains{2, 3};
constexpr DomainGrid lathDomains{3, 4};
// How far grid nodes wander, as a share of the grid spacing. Below a
// quarter every quadrilateral stays convex.
constexpr double domainJitter = 0.18;
constexpr double granularJitter = 0.24;
// Grain size of the granular (sintered) texture, in twips: finer than the
// crystals grown from melt, as in a pressed and sintered powder.
constexpr double granularSpacing = 165.0;

// Cell sizes in twips. The first mineral's cells are nearly square (stubby
// prisms); the second mineral's are long and narrow (tabular laths).
constexpr double prismCellWidth = 230.0;
constexpr double prismCellLength = 290.0;
constexpr double lathCellWidth = 125.0;
constexpr double lathCellLength = 440.0;
// Needles are thinner and longer than laths; grains as broad as long.
constexpr double needleCellWidth = 70.0;
constexpr double needleCellLength = 520.0;
constexpr double grainCellWidth = 200.0;
constexpr double grainCellLength = 215.0;
// Grains are rounded: their corners cut further than a prism's.
constexpr double grainCornerCut = 0.3;
// Cells along a row vary in length so the ends of the crystals do not line
// up, and their ends slant by up to this share of the cell width either way,
// as crystal terminations do. Both stay small enough to keep cells convex.
constexpr double cellLengthVariation = 0.2;
constexpr double endSlant = 0.3;
// A crystal may turn up to about 14 degrees (2 atan 0.12) in its cell and
// drift in the room it leaves, so crystals do not sit on a visible grid.
constexpr double largestTwist = 0.12;

// At low crystal shares only some cells hold a crystal, each filling about
// this much of its cell: a few clear crystals rather than a dust of specks.
constexpr double typicalCellFill = 0.5;
// No crystal fills more of its cell than this unless the charge is all
// crystal, so neighbours stay apart and glass shows between them.
constexpr double largestCellFill = 0.95;
// Crystal sizes vary by up to this much either way around the mean.
constexpr double crystalSizeSpread = 0.35;
// Cells smaller than this share of the largest cell are the slivers left
// where the pattern meets a domain edge; they are filled last.
constexpr double sliverShare = 0.4;
// Pyroxene-like sections are octagons: corners cut this far along the edges.
constexpr double prismCornerCut = 0.22;
// Areas below this (square twips) are rounding noise, not cells.
constexpr double negligibleArea = 1.0;

bool isElongated(Habit habit)
{
    return habit == Habit::Plate || habit == Habit::Needle;
}

QSizeF cellSize(Habit habit)
{
    switch (habit) {
    case Habit::Prism:
        return {prismCellWidth, prismCellLength};
    case Habit::Plate:
        return {lathCellWidth, lathCellLength};
    case Habit::Needle:
        return {needleCellWidth, needleCellLength};
    case Habit::Grain:
        break;
    }
    return {grainCellWidth, grainCellLength};
}

QPointF axisFromParameter(double t)
{
    // A unit vector at angle 2 atan(t) without trigonometry: t in [-1, 1]
    // covers every orientation of a crystal's long axis.
    const double scale = 1.0 + t * t;
    return {(1.0 - t * t) / scale, 2.0 * t / scale};
}

QList<QPolygonF> jitteredGrid(const QRectF &bounds, int columns, int rows, double jitter,
                              RandomSequence &random)
{
    const double dx = bounds.width() / columns;
    const double dy = bounds.height() / rows;
    QList<QPointF> nodes;
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i) {
            // Nodes on the border only slide along it, so the grid still
            // covers the whole rectangle.
            const double shiftX = random.uniform(-jitter, jitter) * dx;
            const double shiftY = random.uniform(-jitter, jitter) * dy;
            const bool onVerticalEdge = i == 0 || i == columns;
            const bool onHorizontalEdge = j == 0 || j == rows;
            nodes.append({bounds.left() + i * dx + (onVerticalEdge ? 0.0 : shiftX),
                          bounds.top() + j * dy + (onHorizontalEdge ? 0.0 : shiftY)});
        }
    }
    const auto node = [&](int i, int j) { return nodes[j * (columns + 1) + i]; };
    QList<QPolygonF> cells;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            cells.append(geometry::positivelyOriented(
                QPolygonF{node(i, j), node(i + 1, j), node(i + 1, j + 1), node(i, j + 1)}));
        }
    }
    return cells;
}

} // namespace

ChargeLayout::ChargeLayout(const ChargeContent &content)
    : m_habits{content.looks[0].habit, content.looks[1].habit}
    , m_proportional(content.proportional)
{
    RandomSequence random(RandomSequence::seedFromText(content.layoutSeed.toUtf8().constData()));
    const bool mixed = content.firstMineralShare > 0.0 && content.secondMineralShare > 0.0;
    const Mineral single =
        content.secondMineralShare > 0.0 ? Mineral::Second : Mineral::First;
    const double firstShareOfCrystals = mixed ? content.firstMineralShare / content.crystalShare() : 0.5;

    QList<Cell> cells = content.texture == Texture::Granular
        ? granularCells(random, single)
        : domainCells(random, single, mixed, firstShareOfCrystals);
    if (content.texture == Texture::Granular && mixed)
        shareGrains(cells, firstShareOfCrystals, random);

    const double chargeArea = geometry::area(chargeOutline());
    for (const Mineral mineral : {Mineral::First, Mineral::Second}) {
        QList<Cell> ofMineral;
        std::copy_if(cells.cbegin(), cells.cend(), std::back_inserter(ofMineral),
                     [mineral](const Cell &cell) { return cell.mineral == mineral; });
        const double share = mineral == Mineral::First ? content.firstMineralShare
                                                       : content.secondMineralShare;
        const double target = content.texture == Texture::CrystalsInGlass
            ? share * chargeArea
            : (share > 0.0 ? chargeArea : 0.0); // no glass: every cell is a grain
        placeCrystals(ofMineral, target, random);
    }
}

QPolygonF ChargeLayout::chargeOutline()
{
    QPolygonF outline;
    const auto addArc = [&outline](QPointF centre, double radius, auto direction) {
        for (const auto &[c, s] : quarterArc)
            outline.append(centre + direction(c, s) * radius);
    };
    const double rt = topCornerRadius;
    const double rb = bottomCornerRadius;
    addArc({chargeLeft + rt, chargeTop + rt}, rt, [](double c, double s) { return QPointF(-c, -s); });
    addArc({chargeRight - rt, chargeTop + rt}, rt, [](double c, double s) { return QPointF(s, -c); });
    addArc({chargeRight - rb, chargeBottom - rb}, rb, [](double c, double s) { return QPointF(c, s); });
    addArc({chargeLeft + rb, chargeBottom - rb}, rb, [](double c, double s) { return QPointF(-s, c); });
    return geometry::positivelyOriented(outline);
}

double ChargeLayout::crystalArea(Mineral mineral) const
{
    double sum = 0.0;
    for (const Crystal &crystal : m_crystals) {
        if (crystal.mineral == mineral)
            sum += geometry::area(crystal.outline);
    }
    return sum;
}

QList<ChargeLayout::Cell> ChargeLayout::domainCells(RandomSequence &random, Mineral only, bool mixed,
                                                    double firstShareOfCrystals) const
{
    const QPolygonF charge = chargeOutline();
    const DomainGrid grid = mixed || isElongated(habitOf(only)) ? lathDomains : prismDomains;
    const QList<QPolygonF> domains =
        jitteredGrid(charge.boundingRect(), grid.columns, grid.rows, domainJitter, random);
    // Where both minerals grew, half the domains (picked at random) hold
    // each, so both are spread through the charge.
    QList<Mineral> domainMinerals(domains.size(), only);
    if (mixed) {
        QList<qsizetype> order(domains.size());
        std::iota(order.begin(), order.end(), 0);
        for (qsizetype i = order.size() - 1; i > 0; --i)
            std::swap(order[i], order[random.nextIndex(int(i) + 1)]);
        // Half each; for a computed charge, in proportion to the minerals'
        // shares (one domain each at least).
        const qsizetype firstCount = m_proportional
            ? std::clamp<qsizetype>(qsizetype(std::lround(firstShareOfCrystals * double(order.size()))), 1,
                                    order.size() - 1)
            : (order.size() + 1) / 2;
        for (qsizetype i = 0; i < order.size(); ++i)
            domainMinerals[order[i]] = i < firstCount ? Mineral::First : Mineral::Second;
    }

    QList<Cell> cells;
    for (qsizetype d = 0; d < domains.size(); ++d) {
        const QPolygonF domain = geometry::clippedToConvex(domains[d], charge);
        const Mineral mineral = domainMinerals[d];
        const double width = cellSize(habitOf(mineral)).width();
        const double length = cellSize(habitOf(mineral)).height();
        const QPointF axis = axisFromParameter(random.uniform(-1.0, 1.0));
        const QPointF normal(-axis.y(), axis.x());
        if (domain.isEmpty())
            continue;

        double alongLow = 1e300, alongHigh = -1e300, acrossLow = 1e300, acrossHigh = -1e300;
        for (const QPointF &p : domain) {
            alongLow = std::min(alongLow, QPointF::dotProduct(p, axis));
            alongHigh = std::max(alongHigh, QPointF::dotProduct(p, axis));
            acrossLow = std::min(acrossLow, QPointF::dotProduct(p, normal));
            acrossHigh = std::max(acrossHigh, QPointF::dotProduct(p, normal));
        }
        const auto corner = [&](double a, double b) { return axis * a + normal * b; };
        for (double across = acrossLow - random.nextUnit() * width; across < acrossHigh;
             across += width) {
            // Each cell is a quadrilateral between two slanted ends; the end
            // positions are tracked on both long sides of the row.
            double lowSide = alongLow - random.nextUnit() * length - endSlant * width;
            double highSide = lowSide + random.uniform(-endSlant, endSlant) * width;
            while (std::min(lowSide, highSide) < alongHigh) {
                const double cellLength =
                    length * random.uniform(1.0 - cellLengthVariation, 1.0 + cellLengthVariation);
                const double nextLowSide = lowSide + cellLength;
                const double nextHighSide =
                    nextLowSide + random.uniform(-endSlant, endSlant) * width;
                const QPolygonF box{corner(lowSide, across), corner(nextLowSide, across),
                                    corner(nextHighSide, across + width),
                                    corner(highSide, across + width)};
                lowSide = nextLowSide;
                highSide = nextHighSide;
                const QPolygonF clipped = geometry::clippedToConvex(box, domain);
                const double clippedArea = geometry::area(clipped);
                if (clippedArea < negligibleArea)
                    continue;
                Cell cell;
                cell.polygon = clipped;
                cell.mineral = mineral;
                cell.axis = axis;
                cells.append(cell);
            }
        }
    }
    return cells;
}

void ChargeLayout::shareGrains(QList<Cell> &cells, double firstShareOfCrystals, RandomSequence &random)
{
    // Grains in a random order, each to the mineral furthest below its
    // share so far: every grain is about one percent of the charge, so each
    // mineral ends within half a grain of its share.
    QList<qsizetype> order(cells.size());
    std::iota(order.begin(), order.end(), 0);
    for (qsizetype i = order.size() - 1; i > 0; --i)
        std::swap(order[i], order[random.nextIndex(int(i) + 1)]);
    double total = 0.0;
    for (const Cell &cell : cells)
        total += geometry::area(cell.polygon);
    double first = 0.0;
    double second = 0.0;
    for (const qsizetype index : order) {
        const double area = geometry::area(cells[index].polygon);
        const double firstMissing = firstShareOfCrystals * total - first;
        const double secondMissing = (1 - firstShareOfCrystals) * total - second;
        const bool toFirst = firstMissing >= secondMissing;
        cells[index].mineral = toFirst ? Mineral::First : Mineral::Second;
        (toFirst ? first : second) += area;
    }
}

QList<ChargeLayout::Cell> ChargeLayout::granularCells(RandomSequence &random,
                                                      Mineral mineral) const
{
    const QPolygonF charge = chargeOutline();
    const QRectF bounds = charge.boundingRect();
    const int columns = std::max(1, int(std::lround(bounds.width() / granularSpacing)));
    const int rows = std::max(1, int(std::lround(bounds.height() / granularSpacing)));
    QList<Cell> cells;
    for (const QPolygonF &quad : jitteredGrid(bounds, columns, rows, granularJitter, random)) {
        const QPolygonF clipped = geometry::clippedToConvex(quad, charge);
        if (geometry::area(clipped) < negligibleArea)
            continue;
        Cell cell;
        cell.polygon = clipped;
        cell.mineral = mineral;
        cells.append(cell);
    }
    return cells;
}

void ChargeLayout::placeCrystals(const QList<Cell> &cells, double targetArea,
                                 RandomSequence &random)
{
    if (cells.isEmpty() || targetArea <= 0.0)
        return;
    QList<double> areas;
    for (const Cell &cell : cells)
        areas.append(geometry::area(cell.polygon));
    const double totalArea = std::accumulate(areas.cbegin(), areas.cend(), 0.0);
    if (targetArea >= totalArea * (1.0 - 1e-9)) {
        for (const Cell &cell : cells)
            m_crystals.append({cell.mineral, cell.polygon, cell.axis});
        return;
    }

    // The order in which cells receive crystals and each cell's relative
    // crystal size are drawn for every cell whatever the share, so a series
    // of pictures with one seed shows the same crystals growing.
    QList<int> order(cells.size());
    std::iota(order.begin(), order.end(), 0);
    for (int i = int(order.size()) - 1; i > 0; --i)
        std::swap(order[i], order[random.nextIndex(i + 1)]);
    QList<double> weights;
    QList<Placement> placements;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        weights.append(random.uniform(1.0 - crystalSizeSpread, 1.0 + crystalSizeSpread));
        Placement placement;
        placement.twist = random.uniform(-largestTwist, largestTwist);
        placement.drift = QPointF(random.uniform(-1.0, 1.0), random.uniform(-1.0, 1.0));
        placements.append(placement);
    }
    const double largestArea = *std::max_element(areas.cbegin(), areas.cend());
    std::stable_partition(order.begin(), order.end(),
                          [&](int i) { return areas[i] >= sliverShare * largestArea; });

    QList<int> occupied;
    double occupiedArea = 0.0;
    for (const int i : order) {
        if (occupiedArea >= targetArea / typicalCellFill)
            break;
        occupied.append(i);
        occupiedArea += areas[i];
    }

    // fill_i = min(k w_i, largest): find k so that the fills add up to the
    // target area, clamping the cells that would overflow one round at a time.
    // A charge all but full of crystals (a computed one) may fill its cells
    // further than the usual largest fill.
    const double largest = std::max(largestCellFill, std::min(1.0, targetArea / totalArea));
    QList<bool> clamped(cells.size(), false);
    double scale = 0.0;
    for (qsizetype round = 0; round <= occupied.size(); ++round) {
        double clampedArea = 0.0;
        double weightedArea = 0.0;
        for (const int i : occupied) {
            if (clamped[i])
                clampedArea += largest * areas[i];
            else
                weightedArea += weights[i] * areas[i];
        }
        scale = weightedArea > 0.0 ? (targetArea - clampedArea) / weightedArea : 0.0;
        bool changed = false;
        for (const int i : occupied) {
            if (!clamped[i] && scale * weights[i] > largest) {
                clamped[i] = true;
                changed = true;
            }
        }
        if (!changed)
            break;
    }

    // Crystals are listed in cell order, not fill order, so drawing order
    // (and the file) stays stable.
    std::sort(occupied.begin(), occupied.end());
    for (const int i : occupied) {
        const double fill = clamped[i] ? largest : scale * weights[i];
        m_crystals.append(crystalInCell(cells[i], habitOf(cells[i].mineral), fill, placements[i]));
    }
}

Crystal ChargeLayout::crystalInCell(const Cell &cell, Habit habit, double fillFraction,
                                    const Placement &placement)
{
    if (fillFraction >= 1.0)
        return {cell.mineral, cell.polygon, cell.axis};
    const double cellArea = geometry::area(cell.polygon);
    const QPointF cellCentre = geometry::centroid(cell.polygon);
    // The cell itself scaled about its centroid always fits (the cell is
    // convex); the habit shapes below are used when they fit as well.
    QPolygonF shape = geometry::scaledAbout(cell.polygon, cellCentre, std::sqrt(fillFraction));
    if (!isElongated(habit)) {
        // An octagonal prism section (a grain's, cut further): the corners
        // cut off, then scaled to the fill. At high fills a smaller cut is
        // needed for it to fit.
        double cut = habit == Habit::Grain ? grainCornerCut : prismCornerCut;
        for (int attempt = 0; attempt < 4; ++attempt, cut *= 0.6) {
            const QPolygonF octagon = geometry::cornersCut(cell.polygon, cut);
            const QPolygonF candidate =
                geometry::scaledAbout(octagon, geometry::centroid(octagon),
                                      std::sqrt(fillFraction * cellArea / geometry::area(octagon)));
            if (geometry::containsAll(cell.polygon, candidate)) {
                shape = candidate;
                break;
            }
        }
    } else {
        // Laths stay long and grow mostly in width: a quarter power of the
        // fill along the lath, the rest across, the product being the fill.
        const double along = std::sqrt(std::sqrt(fillFraction));
        const QPolygonF candidate = geometry::stretchedAbout(cell.polygon, cellCentre, cell.axis,
                                                             along, fillFraction / along);
        if (geometry::containsAll(cell.polygon, candidate))
            shape = candidate;
    }

    // Turning and shifting keep the area, so the share stays exact; each is
    // kept only if the crystal still fits its cell.
    const QPointF centre = geometry::centroid(shape);
    const double t = placement.twist;
    const double cosine = (1.0 - t * t) / (1.0 + t * t);
    const double sine = 2.0 * t / (1.0 + t * t);
    const QPolygonF turned = geometry::rotatedAbout(shape, centre, cosine, sine);
    Crystal crystal{cell.mineral, shape, cell.axis};
    if (geometry::containsAll(cell.polygon, turned)) {
        crystal.outline = turned;
        crystal.axis = QPointF(cell.axis.x() * cosine - cell.axis.y() * sine,
                               cell.axis.x() * sine + cell.axis.y() * cosine);
    }
    const double room = 0.5 * (1.0 - std::sqrt(fillFraction)) * std::sqrt(cellArea);
    for (double share = 1.0; share > 0.2; share /= 2.0) {
        const QPolygonF shifted = crystal.outline.translated(placement.drift * (room * share));
        if (geometry::containsAll(cell.polygon, shifted)) {
            crystal.outline = shifted;
            break;
        }
    }
    return crystal;
}

} // namespace charge
