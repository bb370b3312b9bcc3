#pragma once

#include "chargecontent.h"

#include <QList>
#include <QPointF>
#include <QPolygonF>

namespace charge {

class RandomSequence;

struct Crystal
{
    Mineral mineral = Mineral::First;
    QPolygonF outline; // convex, in twips of the picture
    QPointF axis{1.0, 0.0}; // unit vector along the crystal's length
};

// The geometry of one charge: where its crystals are.
//
// The charge is tiled with convex cells: first into a few domains, each
// with its own crystal orientation, then each domain into a staggered
// (brick) pattern of cells shaped for its mineral's habit. A crystal is a
// convex shape inside its cell with a chosen fraction of the cell's area,
// so crystals never overlap, never leave the charge, and their total area
// is the wanted share of the charge by construction.
class ChargeLayout
{
public:
    explicit ChargeLayout(const ChargeContent &content);

    // The charge as it appears inside the capsule, in twips; convex.
    static QPolygonF chargeOutline();

    const QList<Crystal> &crystals() const { return m_crystals; }
    double crystalArea(Mineral mineral) const;

private:
    struct Cell
    {
        QPolygonF polygon;
        Mineral mineral = Mineral::First;
        QPointF axis{1.0, 0.0}; // unit vector along the crystal's length
    };
    // How a crystal sits in its cell besides its size.
    struct Placement
    {
        double twist = 0.0; // tangent of half the turning angle
        QPointF drift;      // shift, as a share of the room left, each way
    };

    QList<Cell> domainCells(RandomSequence &random, Mineral only, bool mixed, double firstShareOfCrystals) const;
    static void shareGrains(QList<Cell> &cells, double firstShareOfCrystals, RandomSequence &random);
    Habit habitOf(Mineral mineral) const { return m_habits[mineral == Mineral::First ? 0 : 1]; }
    QList<Cell> granularCells(RandomSequence &random, Mineral mineral) const;
    void placeCrystals(const QList<Cell> &cells, double targetArea, RandomSequence &random);
    static Crystal crystalInCell(const Cell &cell, Habit habit, double fillFraction, const Placement &placement);

    std::array<Habit, 2> m_habits;
    bool m_proportional = false;
    QList<Crystal> m_crystals;
};

} // namespace charge
