#include "margules.h"

namespace {
constexpr double joulesPerKilojoule = 1000;
} // namespace

// With a = W12 and b = W21: G_ex = b (x - x^2) + (a - b)(x^2 - x^3).
double Margules::excess(double x2) const
{
    const double a = w12 * joulesPerKilojoule;
    const double b = w21 * joulesPerKilojoule;
    return b * (x2 - x2 * x2) + (a - b) * (x2 * x2 - x2 * x2 * x2);
}

double Margules::slope(double x2) const
{
    const double a = w12 * joulesPerKilojoule;
    const double b = w21 * joulesPerKilojoule;
    return b * (1 - 2 * x2) + (a - b) * (2 * x2 - 3 * x2 * x2);
}

double Margules::curvature(double x2) const
{
    const double a = w12 * joulesPerKilojoule;
    const double b = w21 * joulesPerKilojoule;
    return -2 * b + (a - b) * (2 - 6 * x2);
}
