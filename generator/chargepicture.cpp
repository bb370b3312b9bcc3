#include "chargepicture.h"

#include "chargelayout.h"
#include "chargepalette.h"
#include "polygongeometry.h"
#include "wmfwriter.h"

#include <QDir>
#include <QFile>
#include <QPolygon>

#include <cmath>
#include <optional>

namespace charge {

namespace {

using wmf::Writer;

// The capsule in twips: a metal tube around the charge, its wall about
// 120 twips thick, welded shut with a bead across the top.
const QRect capsuleWall(225, 250, 1395, 2450);
const QSize capsuleCorner(300, 300);
const QRect weldBead(285, 165, 1275, 230);
constexpr int capsuleEdgeWidth = 14;
constexpr int glintWidth = 24;
// Where crystals fill the charge, neighbouring grains share edges that land
// on slightly different pixels once rounded; a thin pen in the rim colour
// closes those hairline cracks. Not used with glass, where the crystal's
// footprint must be exactly its outline.
constexpr int grainSealWidth = 10;
// The twin line of a feldspar lath: drawn along the middle of laths long
// enough to show it, stopping short of the ends.
constexpr int twinLineWidth = 10;
constexpr double shortestTwinLine = 120.0;
constexpr double twinLineShare = 0.8;
// The polishing glint runs down the left wall, where light from the upper
// left would catch the curved metal.
const QPolygon glint{{268, 560}, {264, 900}, {262, 1500}, {264, 2100}, {270, 2420}};

QPolygon toTwips(const QPolygonF &polygon)
{
    QPolygon result;
    result.reserve(polygon.size());
    for (const QPointF &point : polygon) {
        const QPoint rounded(int(std::lround(point.x())), int(std::lround(point.y())));
        if (result.isEmpty() || result.last() != rounded)
            result.append(rounded);
    }
    while (result.size() > 1 && result.first() == result.last())
        result.removeLast();
    return result;
}

struct MineralObjects
{
    Writer::ObjectIndex rimBrush;
    Writer::ObjectIndex coreBrush;
    Writer::ObjectIndex rimPen; // seals the grain boundaries where there is no glass
    std::optional<Writer::ObjectIndex> twinPen;
};

void drawCrystals(Writer &writer, const QList<Crystal> &crystals, Mineral mineral,
                  const MineralObjects &objects, Writer::ObjectIndex noPen)
{
    // Crystals never overlap, so all the rims of one mineral can go first
    // and all the cores after, with two brush changes instead of two per
    // crystal. The rim lies inside the outline: the crystal's footprint is
    // exactly its outline, whatever a reader makes of pen widths.
    writer.selectObject(objects.rimPen);
    writer.selectObject(objects.rimBrush);
    for (const Crystal &crystal : crystals) {
        if (crystal.mineral == mineral)
            writer.drawPolygon(toTwips(crystal.outline));
    }
    writer.selectObject(noPen);
    writer.selectObject(objects.coreBrush);
    for (const Crystal &crystal : crystals) {
        if (crystal.mineral != mineral)
            continue;
        const QPolygonF core = geometry::inset(crystal.outline, ChargePicture::crystalRimWidth);
        const QPolygon corePoints = toTwips(core);
        if (corePoints.size() >= 3)
            writer.drawPolygon(corePoints);
    }
    if (!objects.twinPen)
        return;
    // Feldspar laths show a twin plane down their length in section.
    writer.selectObject(*objects.twinPen);
    for (const Crystal &crystal : crystals) {
        if (crystal.mineral != mineral)
            continue;
        const QPolygonF core = geometry::inset(crystal.outline, ChargePicture::crystalRimWidth);
        if (core.isEmpty())
            continue;
        const QLineF line = geometry::chord(core, geometry::centroid(core), crystal.axis);
        if (line.length() < shortestTwinLine)
            continue;
        const QPointF middle = line.center();
        writer.drawPolyline(toTwips(QPolygonF{middle + (line.p1() - middle) * twinLineShare,
                                              middle + (line.p2() - middle) * twinLineShare}));
    }
}

} // namespace

QByteArray ChargePicture::draw(const ChargeContent &content)
{
    Writer writer(boundingBox());
    writer.setMapMode(Writer::MapMode::Anisotropic);
    writer.setWindowOrigin({0, 0});
    writer.setWindowExtent({widthInTwips, heightInTwips});
    writer.setBackgroundMode(Writer::BackgroundMode::Transparent);
    writer.setPolyFillMode(Writer::PolyFillMode::Winding);

    const auto noPen = writer.createPen(Writer::PenStyle::Null, 0, QColor(Qt::black));
    const auto edgePen =
        writer.createPen(Writer::PenStyle::Solid, capsuleEdgeWidth, QColor(palette::capsuleEdge));
    const auto glintPen =
        writer.createPen(Writer::PenStyle::Solid, glintWidth, QColor(palette::capsuleGlint));
    const auto solid = [&writer](QRgb colour) {
        return writer.createBrush(Writer::BrushStyle::Solid, QColor(colour));
    };
    const auto mountBrush = solid(palette::background);
    const auto metalBrush = solid(palette::capsuleMetal);
    const auto weldBrush = solid(palette::capsuleWeld);
    const auto glassBrush = solid(palette::glass);
    const MineralLook &firstLook = content.look(Mineral::First);
    const MineralLook &secondLook = content.look(Mineral::Second);
    const auto firstEdgeBrush = solid(firstLook.edge);
    const auto firstBrush = solid(firstLook.colour);
    const auto secondEdgeBrush = solid(secondLook.edge);
    const auto secondBrush = solid(secondLook.colour);

    writer.selectObject(noPen);
    writer.selectObject(mountBrush);
    writer.drawRectangle(boundingBox());

    writer.selectObject(edgePen);
    writer.selectObject(metalBrush);
    writer.drawRoundedRectangle(capsuleWall, capsuleCorner);
    writer.selectObject(weldBrush);
    writer.drawEllipse(weldBead);
    writer.selectObject(glintPen);
    writer.drawPolyline(glint);

    writer.selectObject(edgePen);
    writer.selectObject(glassBrush);
    writer.drawPolygon(toTwips(ChargeLayout::chargeOutline()));

    const ChargeLayout layout(content);
    const bool hasGlass = content.texture == Texture::CrystalsInGlass;
    // A computed charge's grains are not sealed: the seal's pen would lay
    // each mineral over its neighbours' edges, and its share must stay exact.
    const bool sealed = !hasGlass && !content.proportional;
    const auto rimPen = [&](QRgb colour) {
        return !sealed ? noPen : writer.createPen(Writer::PenStyle::Solid, grainSealWidth, QColor(colour));
    };
    // Plates show their twin line, in their rim's colour. (The objects are
    // made in the order the lab's own pictures have always made them.)
    MineralObjects first{firstEdgeBrush, firstBrush, rimPen(firstLook.edge), std::nullopt};
    const auto twinPen = writer.createPen(Writer::PenStyle::Solid, twinLineWidth, QColor(secondLook.edge));
    const MineralObjects second{secondEdgeBrush, secondBrush, rimPen(secondLook.edge),
                                secondLook.habit == Habit::Plate ? std::optional(twinPen) : std::nullopt};
    if (firstLook.habit == Habit::Plate)
        first.twinPen = writer.createPen(Writer::PenStyle::Solid, twinLineWidth, QColor(firstLook.edge));
    drawCrystals(writer, layout.crystals(), Mineral::First, first, noPen);
    drawCrystals(writer, layout.crystals(), Mineral::Second, second, noPen);

    QList<Writer::ObjectIndex> objects{noPen, edgePen, glintPen, mountBrush, metalBrush,
                                       weldBrush, glassBrush, firstEdgeBrush, firstBrush,
                                       secondEdgeBrush, secondBrush, twinPen};
    if (sealed)
        objects << first.rimPen << second.rimPen;
    if (first.twinPen)
        objects << *first.twinPen;
    for (const auto object : objects)
        writer.deleteObject(object);
    return writer.toByteArray();
}

bool ChargePicture::writeAll(const QString &folder, QString *error)
{
    const QDir directory(folder);
    for (const ChargeContent &content : ChargeContent::catalogue()) {
        QFile file(directory.filePath(content.fileName()));
        const QByteArray bytes = draw(content);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(bytes) != bytes.size()) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
            return false;
        }
    }
    return true;
}

} // namespace charge
