#include "phasediagram.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// How far apart the diagram looks for changes in which phases meet, and
// how finely a change is then pinned down before it is refined exactly.
constexpr double scanStep = 2;
constexpr double bracketWidth = 1e-3;
// Compositions (mole fraction) closer than this are one phase, when the
// phases on both sides of a change are matched up.
constexpr double samePhaseReach = 5e-3;
// The diagram's boundaries are followed every few degrees.
constexpr double boundaryStep = 3;

using Span = EquilibriumSolver::Span;

struct Instance
{
    int phase = 0;
    double x = 0;
};

std::vector<Span> tieLines(const std::vector<Span> &spans)
{
    std::vector<Span> ties;
    std::copy_if(spans.begin(), spans.end(), std::back_inserter(ties), [](const Span &span) { return span.isTieLine; });
    return ties;
}

bool sameTieLine(const Span &left, const Span &right)
{
    return left.phase[0] == right.phase[0] && left.phase[1] == right.phase[1]
        && std::abs(left.x[0] - right.x[0]) < samePhaseReach && std::abs(left.x[1] - right.x[1]) < samePhaseReach;
}

// The tie lines' phase pairs in order: what changes at an invariant point,
// a melting point or a critical point.
std::vector<std::pair<int, int>> topology(const std::vector<Span> &spans)
{
    std::vector<std::pair<int, int>> pairs;
    for (const Span &span : spans) {
        if (span.isTieLine)
            pairs.emplace_back(span.phase[0], span.phase[1]);
    }
    return pairs;
}

// The phases at the ends of the tie lines found on one side of a change but
// not on the other, each once.
void addChanged(const std::vector<Span> &these, const std::vector<Span> &others, std::vector<Instance> &instances,
                std::vector<int> *sideOf = nullptr, int side = 0)
{
    for (const Span &tie : these) {
        if (std::any_of(others.begin(), others.end(), [&](const Span &other) { return sameTieLine(tie, other); }))
            continue;
        for (int end = 0; end < 2; ++end) {
            const auto known = std::find_if(instances.begin(), instances.end(), [&](const Instance &instance) {
                return instance.phase == tie.phase[end] && std::abs(instance.x - tie.x[end]) < samePhaseReach;
            });
            if (known == instances.end()) {
                instances.push_back({tie.phase[end], tie.x[end]});
                if (sideOf)
                    sideOf->push_back(side);
            } else if (sideOf) {
                (*sideOf)[known - instances.begin()] |= side;
            }
        }
    }
}

std::string invariantKind(const std::vector<PhaseAmount> &phases, bool middleStableAbove)
{
    const int liquids = int(std::count_if(phases.begin(), phases.end(),
                                          [](const PhaseAmount &phase) { return phase.phase == GibbsModel::liquid; }));
    if (liquids == 2)
        return phases[1].phase == GibbsModel::liquid ? "monotectic" : "syntectic";
    if (liquids == 1)
        return phases[1].phase == GibbsModel::liquid ? "eutectic" : "peritectic";
    return middleStableAbove ? "eutectoid" : "peritectoid";
}

} // namespace

PhaseDiagram::PhaseDiagram(const BinarySystem &system)
    : m_solver(system)
{
    findInvariants();
}

void PhaseDiagram::findInvariants()
{
    const BinarySystem &system = m_solver.system();
    double top = system.highestTemperature;
    for (const Solid &solid : system.solids)
        top = std::max(top, solid.meltingPoint + 20);
    const double bottom = system.lowestTemperature;
    const auto shape = [this](double celsius) {
        return topology(m_solver.spans(celsius, EquilibriumSolver::Refinement::HullOnly));
    };
    double upper = top;
    std::vector<std::pair<int, int>> upperShape = shape(upper);
    while (upper > bottom) {
        const double lower = std::max(bottom, upper - scanStep);
        const std::vector<std::pair<int, int>> lowerShape = shape(lower);
        if (lowerShape == upperShape) {
            upper = lower;
            continue;
        }
        // The highest change below `upper`, to within the bracket.
        double above = upper;
        double below = lower;
        while (above - below > bracketWidth) {
            const double middle = (above + below) / 2;
            (shape(middle) == upperShape ? above : below) = middle;
        }
        if (const std::optional<Invariant> invariant = refineInvariant(above, below))
            m_invariants.push_back(*invariant);
        upper = below;
        upperShape = shape(upper);
    }
}

std::optional<PhaseDiagram::Invariant> PhaseDiagram::refineInvariant(double above, double below) const
{
    const std::vector<Span> tiesAbove = tieLines(m_solver.spans(above));
    const std::vector<Span> tiesBelow = tieLines(m_solver.spans(below));
    std::vector<Instance> instances;
    std::vector<int> sides; // 1: met above, 2: met below
    addChanged(tiesAbove, tiesBelow, instances, &sides, 1);
    addChanged(tiesBelow, tiesAbove, instances, &sides, 2);
    if (instances.size() != 3)
        return std::nullopt; // a melting point, a congruent point or a critical point
    std::vector<std::size_t> order{0, 1, 2};
    std::sort(order.begin(), order.end(), [&](std::size_t left, std::size_t right) { return instances[left].x < instances[right].x; });
    Instance p = instances[order[0]];
    Instance r = instances[order[1]];
    Instance q = instances[order[2]];
    const bool middleStableAbove = sides[order[1]] & 1;

    // r's height above the line tangent to p and q changes sign at the
    // invariant temperature.
    const auto height = [&](double celsius, Instance &pAt, Instance &rAt, Instance &qAt) {
        if (!m_solver.tangentLine(pAt.phase, qAt.phase, celsius, pAt.x, qAt.x) || pAt.x >= qAt.x)
            return std::nan("");
        const GibbsModel &model = m_solver.model();
        const double kelvin = celsius + GibbsModel::kelvinAtZeroCelsius;
        const double gp = model.energy(pAt.phase, pAt.x, kelvin);
        const double gq = model.energy(qAt.phase, qAt.x, kelvin);
        return m_solver.heightAboveLine(rAt.phase, celsius, pAt.x, gp, (gq - gp) / (qAt.x - pAt.x), rAt.x);
    };
    double high = above + 0.5;
    double low = below - 0.5;
    Instance pHigh = p, rHigh = r, qHigh = q;
    Instance pLow = p, rLow = r, qLow = q;
    const double heightHigh = height(high, pHigh, rHigh, qHigh);
    const double heightLow = height(low, pLow, rLow, qLow);
    Invariant invariant;
    invariant.middleStableAbove = middleStableAbove;
    if (std::isfinite(heightHigh) && std::isfinite(heightLow) && (heightHigh < 0) != (heightLow < 0)) {
        for (int step = 0; step < 60 && high - low > 1e-9; ++step) {
            const double middle = (high + low) / 2;
            Instance pMiddle = pHigh, rMiddle = rHigh, qMiddle = qHigh;
            const double heightMiddle = height(middle, pMiddle, rMiddle, qMiddle);
            if (!std::isfinite(heightMiddle))
                break;
            if ((heightMiddle < 0) == (heightHigh < 0)) {
                high = middle;
                pHigh = pMiddle;
                rHigh = rMiddle;
                qHigh = qMiddle;
            } else {
                low = middle;
            }
        }
        p = pHigh;
        r = rHigh;
        q = qHigh;
        invariant.temperature = (high + low) / 2;
    } else {
        invariant.temperature = (above + below) / 2; // as closely as the scan found it
    }
    for (const Instance &instance : {p, r, q})
        invariant.phases.push_back({instance.phase, instance.x, m_solver.system().massFraction(instance.x), 0});
    invariant.kind = invariantKind(invariant.phases, middleStableAbove);
    return invariant;
}

std::optional<double> PhaseDiagram::meltingPoint(int mineral) const
{
    // Only a solid of the pure mineral's composition competes with its
    // liquid there: it melts at the highest melting point among them.
    std::optional<double> highest;
    for (const Solid &solid : m_solver.system().solids) {
        const bool pure = mineral == 1 ? solid.units2 == 0 : solid.units1 == 0;
        if (pure && (!highest || solid.meltingPoint > *highest))
            highest = solid.meltingPoint;
    }
    return highest;
}

Assemblage PhaseDiagram::runAt(double bulkX2, double celsius) const
{
    const double bulk = m_solver.system().moleFraction(bulkX2);
    for (const Invariant &invariant : m_invariants) {
        const std::vector<PhaseAmount> &three = invariant.phases;
        if (std::round(celsius * 10) != std::round(invariant.temperature * 10) || bulk <= three[0].x
            || bulk >= three[2].x)
            continue;
        // Half way through the reaction: the mean of the charge just above
        // and just below, each by the lever rule in mass.
        std::vector<double> fraction(3, 0.0);
        const auto lever = [&](int left, int right) {
            const double share = (three[right].x2 - bulkX2) / (three[right].x2 - three[left].x2);
            fraction[left] += share / 2;
            fraction[right] += (1 - share) / 2;
        };
        const auto split = [&] {
            if (bulk == three[1].x)
                fraction[1] += 0.5;
            else if (bulk < three[1].x)
                lever(0, 1);
            else
                lever(1, 2);
        };
        split();
        lever(0, 2);
        Assemblage assemblage{celsius, {}};
        for (int index = 0; index < 3; ++index)
            assemblage.phases.push_back({three[index].phase, three[index].x, three[index].x2, fraction[index]});
        return assemblage;
    }
    return m_solver.at(bulkX2, celsius);
}

std::string PhaseDiagram::phaseName(int phase) const
{
    return m_solver.model().phases()[phase].name;
}

std::string PhaseDiagram::fieldAt(double x2, double celsius) const
{
    std::string name;
    for (const PhaseAmount &phase : runAt(x2, celsius).phases)
        name += (name.empty() ? "" : " + ") + phaseName(phase.phase);
    return name;
}

std::vector<PhaseDiagram::Boundary> PhaseDiagram::boundaries(double lowest, double highest) const
{
    std::vector<double> temperatures;
    for (double celsius = highest; celsius > lowest; celsius -= boundaryStep)
        temperatures.push_back(celsius);
    temperatures.push_back(lowest);
    // The curves start at the melting points; at the invariants they end
    // on the invariant's own compositions (below).
    constexpr double beside = 1e-6;
    for (const int mineral : {1, 2})
        if (const std::optional<double> melting = meltingPoint(mineral))
            temperatures.push_back(*melting - beside);
    std::sort(temperatures.begin(), temperatures.end(), std::greater<>());
    temperatures.erase(std::remove_if(temperatures.begin(), temperatures.end(),
                                      [&](double t) { return t < lowest || t > highest; }),
                       temperatures.end());

    struct Chain
    {
        Span last;
        std::size_t lastStep = 0;
        std::vector<Point> left;
        std::vector<Point> right;
    };
    std::vector<Chain> chains;
    const BinarySystem &system = m_solver.system();
    for (std::size_t step = 0; step < temperatures.size(); ++step) {
        const double celsius = temperatures[step];
        for (const Span &tie : tieLines(m_solver.spans(celsius))) {
            const auto chain = std::find_if(chains.begin(), chains.end(), [&](const Chain &each) {
                return each.lastStep + 1 == step && each.last.phase[0] == tie.phase[0]
                    && each.last.phase[1] == tie.phase[1] && std::abs(each.last.x[0] - tie.x[0]) < 0.05
                    && std::abs(each.last.x[1] - tie.x[1]) < 0.05;
            });
            Chain &into = chain != chains.end() ? *chain : chains.emplace_back();
            into.last = tie;
            into.lastStep = step;
            into.left.push_back({system.massFraction(tie.x[0]), celsius});
            into.right.push_back({system.massFraction(tie.x[1]), celsius});
        }
    }

    // A field that ends at an invariant ends on the invariant's tie line:
    // its last point there, exactly. (Just beside an invariant a field of
    // one phase can be thinner than the hull's sampling resolves.)
    for (Chain &chain : chains) {
        for (const Invariant &invariant : m_invariants) {
            const double reach = 2 * boundaryStep;
            const Point &first = chain.left.front();
            const Point &last = chain.left.back();
            const bool endsAbove = last.temperature > invariant.temperature
                && last.temperature - invariant.temperature < reach;
            const bool startsBelow = first.temperature < invariant.temperature
                && invariant.temperature - first.temperature < reach;
            if (!endsAbove && !startsBelow)
                continue;
            const std::vector<PhaseAmount> &three = invariant.phases;
            for (int left = 0; left < 3; ++left)
                for (int right = left + 1; right < 3; ++right) {
                    if (three[left].phase != chain.last.phase[0] || three[right].phase != chain.last.phase[1]
                        || std::abs(three[left].x - chain.last.x[0]) > 0.1 || std::abs(three[right].x - chain.last.x[1]) > 0.1)
                        continue;
                    const Point leftEnd{three[left].x2, invariant.temperature};
                    const Point rightEnd{three[right].x2, invariant.temperature};
                    if (endsAbove) {
                        chain.left.push_back(leftEnd);
                        chain.right.push_back(rightEnd);
                    } else {
                        chain.left.insert(chain.left.begin(), leftEnd);
                        chain.right.insert(chain.right.begin(), rightEnd);
                    }
                }
        }
    }

    const GibbsModel &model = m_solver.model();
    const auto nameOf = [&](int side, int partner) -> std::string {
        const GibbsModel::Phase &phase = model.phases()[side];
        const bool partnerIsLiquid = partner == GibbsModel::liquid;
        if (side == GibbsModel::liquid)
            return partnerIsLiquid ? "two-liquid boundary" : "liquidus";
        if (side == partner)
            return "solvus";
        if (phase.kind == GibbsModel::Phase::Kind::Compound)
            return phase.name + " composition";
        return partnerIsLiquid ? "solidus" : "solvus";
    };
    std::vector<Boundary> found;
    for (const Chain &chain : chains) {
        if (chain.last.phase[0] == chain.last.phase[1]) {
            // A miscibility gap: its two sides are one dome, closed over its top.
            Boundary dome{nameOf(chain.last.phase[0], chain.last.phase[1]),
                          std::vector<Point>(chain.left.rbegin(), chain.left.rend())};
            dome.points.insert(dome.points.end(), chain.right.begin(), chain.right.end());
            found.push_back(dome);
            continue;
        }
        const std::pair<const std::vector<Point> *, int> sides[] = {{&chain.left, 0}, {&chain.right, 1}};
        for (const auto &[points, end] : sides) {
            // The pure minerals' own lines are the diagram's edges.
            const bool onEdge = std::all_of(points->begin(), points->end(),
                                            [](const Point &point) { return point.x2 <= 0 || point.x2 >= 1; });
            if (points->size() < 2 || onEdge)
                continue;
            found.push_back({nameOf(chain.last.phase[end], chain.last.phase[1 - end]), *points});
        }
    }
    for (const Invariant &invariant : m_invariants) {
        if (invariant.temperature >= lowest && invariant.temperature <= highest)
            found.push_back({invariant.kind,
                             {{invariant.phases.front().x2, invariant.temperature},
                              {invariant.phases.back().x2, invariant.temperature}}});
    }
    return found;
}
