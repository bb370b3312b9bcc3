#pragma once

#include <QColor>
#include <QLineF>
#include <QPointF>
#include <QPolygonF>
#include <QString>

#include <vector>

// What one temperature-composition plot shows: X(2) from 0 to 1 across and
// degrees Celsius up. A student's notebook gives only markers, one for each
// run (what the charge held) and one for each analysed phase; an
// instructor's diagram adds the true curves, the names of the fields and
// the tie lines between coexisting phases.
struct PlotMarker
{
    enum class Kind {
        AllGlass,          // a run whose charge was all glass
        GlassWithCrystals, // a run with glass and crystals
        CrystalsOnly,      // a run without glass
        GlassPhase,        // an analysed glass
        CrystalPhase,      // an analysed crystal
    };

    Kind kind = Kind::AllGlass;
    QPointF at; // x: X(2); y: degrees Celsius
    QString label; // what the row says, for a tool tip or a screen reader
    // An analysed crystal of a system's phase: its own colour (the ring of
    // the open circle); invalid for the lab's own crystals.
    QColor colour;
};

struct PlotCurve
{
    QString name; // "liquidus", "solidus"
    QPolygonF points;
};

// The liquid's path down a cooling, step by step: where its X(2) was at
// each temperature, until no liquid was left.
struct PlotPath
{
    enum class Kind { Equilibrium, Fractional };
    Kind kind = Kind::Equilibrium;
    QPolygonF points; // (X(2), degrees Celsius), from the start down
    QString key;      // which cooling it follows (its session, grams and program)
};

// A name on the plot: a field's, placed inside its field, or a point's (an
// invariant's), placed beside it. Where curves, markers or other names
// would cover it at `at`, the first of `candidates` that nothing covers is
// taken (a field's other points, in order of preference).
struct PlotLabel
{
    QPointF at;
    QString text;
    std::vector<QPointF> candidates;
    bool namesPoint = false; // the text goes beside `at`, joined to it by a line when away from it
};

struct PlotData
{
    QString title;
    std::vector<PlotMarker> markers;
    std::vector<PlotCurve> curves;
    std::vector<PlotLabel> fieldLabels;
    std::vector<QLineF> tieLines;
    std::vector<PlotPath> paths;
    // The temperature axis, degrees Celsius; fitTemperatures() sets it.
    double lowestTemperature = 1000;
    double highestTemperature = 1700;

    // A temperature axis in whole hundreds that holds every marker and
    // curve with some room; 1000 to 1700 when there is nothing yet.
    void fitTemperatures();
};
