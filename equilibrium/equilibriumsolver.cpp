#include "equilibriumsolver.h"

#include "lowerhull.h"

#include <algorithm>
#include <cmath>

namespace {

// Curves are sampled at these compositions: dense near both ends, where a
// phase close to a pure mineral sits, and evenly in between.
const std::vector<double> &sampleGrid()
{
    static const std::vector<double> grid = [] {
        std::vector<double> x{0, 1};
        constexpr int steps = 240;
        for (int step = 1; step < steps; ++step)
            x.push_back(0.5 - 0.5 * std::cos(M_PI * step / steps));
        for (double tiny = 1e-12; tiny < 2e-4; tiny *= 10) {
            x.push_back(tiny);
            x.push_back(1 - tiny);
        }
        std::sort(x.begin(), x.end());
        x.erase(std::unique(x.begin(), x.end()), x.end());
        return x;
    }();
    return grid;
}

double logit(double x)
{
    return std::log(x) - std::log1p(-x);
}

double fromLogit(double u)
{
    return u >= 0 ? 1 / (1 + std::exp(-u)) : std::exp(u) / (1 + std::exp(u));
}

// Newton steps in logit space stay within this many units; a step that
// would go further is halved (compositions from 1e-17 to 1 - 1e-17).
constexpr double largestLogit = 39;
constexpr int newtonIterations = 100;

} // namespace

EquilibriumSolver::EquilibriumSolver(const BinarySystem &system)
    : m_model(system)
{
}

std::vector<EquilibriumSolver::Span> EquilibriumSolver::spans(double celsius, Refinement refinement) const
{
    const double kelvin = celsius + GibbsModel::kelvinAtZeroCelsius;
    const std::vector<double> &grid = sampleGrid();
    std::vector<LowerHull::Point> points;
    const std::vector<GibbsModel::Phase> &phases = m_model.phases();
    for (int phase = 0; phase < int(phases.size()); ++phase) {
        if (!phases[phase].isCurve()) {
            points.push_back({phases[phase].x, m_model.energy(phase, phases[phase].x, kelvin), phase, 0});
            continue;
        }
        for (int sample = 0; sample < int(grid.size()); ++sample)
            points.push_back({grid[sample], m_model.energy(phase, grid[sample], kelvin), phase, sample});
    }
    const std::vector<LowerHull::Point> hull = LowerHull::of(std::move(points));

    std::vector<Span> spans;
    for (std::size_t index = 0; index + 1 < hull.size(); ++index) {
        const LowerHull::Point &left = hull[index];
        const LowerHull::Point &right = hull[index + 1];
        const bool sameCurve = left.phase == right.phase && phases[left.phase].isCurve()
            && right.sample == left.sample + 1;
        if (sameCurve) {
            if (!spans.empty() && !spans.back().isTieLine && spans.back().phase[0] == left.phase)
                spans.back().x[1] = right.x;
            else
                spans.push_back({{left.phase, left.phase}, {left.x, right.x}, false});
            continue;
        }
        Span tie{{left.phase, right.phase}, {left.x, right.x}, true};
        if (refinement == Refinement::Exact)
            refine(tie, grid, kelvin);
        spans.push_back(tie);
    }
    // One-phase stretches end where the tie lines beside them begin.
    for (std::size_t index = 0; index < spans.size(); ++index) {
        if (spans[index].isTieLine)
            continue;
        if (index > 0)
            spans[index].x[0] = spans[index - 1].x[1];
        if (index + 1 < spans.size())
            spans[index].x[1] = spans[index + 1].x[0];
    }
    return spans;
}

void EquilibriumSolver::refine(Span &span, const std::vector<double> &grid, double kelvin) const
{
    const std::vector<GibbsModel::Phase> &phases = m_model.phases();
    const int a = span.phase[0];
    const int b = span.phase[1];
    const bool aCurve = phases[a].isCurve();
    const bool bCurve = phases[b].isCurve();
    double xa = span.x[0];
    double xb = span.x[1];
    if (aCurve && bCurve) {
        if (commonTangent(a, b, xa, xb, kelvin) && xa < xb) {
            span.x[0] = xa;
            span.x[1] = xb;
        }
    } else if (aCurve) {
        if (tangentToPoint(a, xb, m_model.energy(b, xb, kelvin), xa, grid, kelvin, xa))
            span.x[0] = std::min(xa, xb);
    } else if (bCurve) {
        if (tangentToPoint(b, xa, m_model.energy(a, xa, kelvin), xb, grid, kelvin, xb))
            span.x[1] = std::max(xa, xb);
    }
}

// The point x of a curve whose tangent passes through a compound's point
// (pointX, pointG):
//   f(x) = G(x) + G'(x) (pointX - x) - pointG = 0,
// f' = G''(x) (pointX - x), so on the curve's convex side f is monotone:
// the root is bracketed among the samples around the hull's vertex and
// found by bisection in logit x, to the last bit.
bool EquilibriumSolver::tangentToPoint(int curve, double pointX, double pointG, double seed,
                                       const std::vector<double> &grid, double kelvin, double &x) const
{
    const auto f = [&](double at) {
        return m_model.energy(curve, at, kelvin) + m_model.slope(curve, at, kelvin) * (pointX - at) - pointG;
    };
    const auto near = std::lower_bound(grid.begin(), grid.end(), seed);
    // Candidates around the seed, inside (0, 1): a sign change between two
    // of them brackets the root.
    std::vector<double> around;
    const long middle = long(near - grid.begin());
    for (long index = middle - 3; index <= middle + 3; ++index) {
        if (index >= 0 && index < long(grid.size()) && grid[index] > 0 && grid[index] < 1)
            around.push_back(grid[index]);
    }
    for (std::size_t index = 0; index + 1 < around.size(); ++index) {
        double low = logit(around[index]);
        double high = logit(around[index + 1]);
        double fLow = f(around[index]);
        const double fHigh = f(around[index + 1]);
        if (fLow == 0) {
            x = around[index];
            return true;
        }
        if ((fLow < 0) == (fHigh < 0))
            continue;
        for (int step = 0; step < 200 && high - low > 1e-15 * std::max(1.0, std::abs(low)); ++step) {
            const double middleU = (low + high) / 2;
            const double fMiddle = f(fromLogit(middleU));
            if ((fMiddle < 0) == (fLow < 0)) {
                low = middleU;
                fLow = fMiddle;
            } else {
                high = middleU;
            }
        }
        x = fromLogit((low + high) / 2);
        return true;
    }
    return false;
}

// Two curves' common tangent: equal chemical potentials of both units,
//   G_a'(xa) = G_b'(xb)                                  (equal slopes)
//   G_a(xa) - xa G_a'(xa) = G_b(xb) - xb G_b'(xb)         (equal intercepts)
// solved by Newton's method in logit xa, logit xb from the hull's ends.
bool EquilibriumSolver::commonTangent(int a, int b, double &xa, double &xb, double kelvin) const
{
    const auto clampInside = [](double x) { return std::clamp(x, 1e-15, 1 - 1e-15); };
    double u = logit(clampInside(xa));
    double v = logit(clampInside(xb));
    for (int iteration = 0; iteration < newtonIterations; ++iteration) {
        const double pa = fromLogit(u);
        const double pb = fromLogit(v);
        const double slopeA = m_model.slope(a, pa, kelvin);
        const double slopeB = m_model.slope(b, pb, kelvin);
        const double curvatureA = m_model.curvature(a, pa, kelvin);
        const double curvatureB = m_model.curvature(b, pb, kelvin);
        const double f1 = slopeA - slopeB;
        const double f2 = (m_model.energy(a, pa, kelvin) - pa * slopeA) - (m_model.energy(b, pb, kelvin) - pb * slopeB);
        // Derivatives by logit: dx/du = x (1 - x).
        const double da = pa * (1 - pa);
        const double db = pb * (1 - pb);
        const double j11 = curvatureA * da;
        const double j12 = -curvatureB * db;
        const double j21 = -pa * curvatureA * da;
        const double j22 = pb * curvatureB * db;
        const double determinant = j11 * j22 - j12 * j21;
        if (determinant == 0 || !std::isfinite(determinant))
            return false;
        double du = -(f1 * j22 - f2 * j12) / determinant;
        double dv = -(j11 * f2 - j21 * f1) / determinant;
        while (std::abs(u + du) > largestLogit || std::abs(v + dv) > largestLogit) {
            du /= 2;
            dv /= 2;
        }
        u += du;
        v += dv;
        if (std::abs(du) < 1e-13 && std::abs(dv) < 1e-13)
            break;
    }
    const double pa = fromLogit(u);
    const double pb = fromLogit(v);
    const double slopeA = m_model.slope(a, pa, kelvin);
    const double slopeB = m_model.slope(b, pb, kelvin);
    const double f2 = (m_model.energy(a, pa, kelvin) - pa * slopeA) - (m_model.energy(b, pb, kelvin) - pb * slopeB);
    if (!std::isfinite(pa) || !std::isfinite(pb) || std::abs(slopeA - slopeB) > 1e-6 || std::abs(f2) > 1e-6)
        return false;
    xa = pa;
    xb = pb;
    return true;
}

Assemblage EquilibriumSolver::at(double bulkX2, double celsius) const
{
    const BinarySystem &system = m_model.system();
    const double bulk = system.moleFraction(bulkX2);
    Assemblage assemblage{celsius, {}};
    const std::vector<Span> found = spans(celsius);
    // The first span that reaches the bulk (the last one reaches x = 1).
    const auto span = std::find_if(found.begin(), found.end() - 1, [bulk](const Span &each) { return bulk <= each.x[1]; });
    // A bulk at a tie line's end (a compound's own composition, read back
    // through a mass fraction) is that end's phase alone; at both ends of a
    // tie line too short to measure (a pure mineral at its melting point),
    // the liquid.
    constexpr double sameComposition = 1e-12;
    const bool atLeft = bulk <= span->x[0] + sameComposition;
    const bool atRight = bulk >= span->x[1] - sameComposition;
    if (!span->isTieLine || atLeft || atRight) {
        int phase = span->phase[atRight && !atLeft ? 1 : 0];
        if (span->isTieLine && atLeft && atRight && span->phase[1] == GibbsModel::liquid)
            phase = GibbsModel::liquid;
        assemblage.phases.push_back({phase, bulk, bulkX2, 1});
        return assemblage;
    }
    const double leftX2 = system.massFraction(span->x[0]);
    const double rightX2 = system.massFraction(span->x[1]);
    const double left = (rightX2 - bulkX2) / (rightX2 - leftX2);
    assemblage.phases.push_back({span->phase[0], span->x[0], leftX2, left});
    assemblage.phases.push_back({span->phase[1], span->x[1], rightX2, 1 - left});
    return assemblage;
}

bool EquilibriumSolver::tangentLine(int a, int b, double celsius, double &xa, double &xb) const
{
    const double kelvin = celsius + GibbsModel::kelvinAtZeroCelsius;
    const std::vector<GibbsModel::Phase> &phases = m_model.phases();
    const bool aCurve = phases[a].isCurve();
    const bool bCurve = phases[b].isCurve();
    if (!aCurve)
        xa = phases[a].x;
    if (!bCurve)
        xb = phases[b].x;
    if (aCurve && bCurve)
        return commonTangent(a, b, xa, xb, kelvin);
    if (aCurve)
        return tangentToPoint(a, xb, m_model.energy(b, xb, kelvin), xa, sampleGrid(), kelvin, xa);
    if (bCurve)
        return tangentToPoint(b, xa, m_model.energy(a, xa, kelvin), xb, sampleGrid(), kelvin, xb);
    return true;
}

double EquilibriumSolver::pointOfSlope(int curve, double slope, double seed, double kelvin) const
{
    // G' rises through `slope` on the curve's convex branch around the seed:
    // bracket it there and halve in logit x.
    const double centre = logit(std::clamp(seed, 1e-15, 1 - 1e-15));
    const auto excess = [&](double u) { return m_model.slope(curve, fromLogit(u), kelvin) - slope; };
    double low = centre;
    double high = centre;
    for (double reach = 0.05; reach < largestLogit; reach *= 2) {
        low = std::max(centre - reach, -largestLogit);
        high = std::min(centre + reach, largestLogit);
        if (excess(low) <= 0 && excess(high) >= 0)
            break;
    }
    if (!(excess(low) <= 0 && excess(high) >= 0))
        return seed;
    for (int step = 0; step < 200 && high - low > 1e-14; ++step) {
        const double middle = (low + high) / 2;
        (excess(middle) < 0 ? low : high) = middle;
    }
    return fromLogit((low + high) / 2);
}

double EquilibriumSolver::heightAboveLine(int phase, double celsius, double x0, double g0, double slope,
                                          double &x) const
{
    const double kelvin = celsius + GibbsModel::kelvinAtZeroCelsius;
    if (!m_model.phases()[phase].isCurve())
        x = m_model.phases()[phase].x;
    else
        x = pointOfSlope(phase, slope, x, kelvin);
    return m_model.energy(phase, x, kelvin) - (g0 + slope * (x - x0));
}
