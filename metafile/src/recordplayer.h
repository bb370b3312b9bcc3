#pragma once

#include "graphicsstate.h"
#include "picturedata.h"
#include "recordproblem.h"

#include <QPainter>
#include <QTransform>

#include <optional>
#include <span>
#include <vector>

namespace wmf {

class ByteReader;

// Replays the records of a metafile. The same code runs twice: once while
// the file is read, without a painter, to check every record, decode the
// bitmaps and measure the drawing; then on every paint, onto a QPainter.
//
// Each record function has one small handler, found through a table sorted
// by function number. A handler reads its parameters through a reader bound
// to the record, so it can never read past it, and answers with a problem
// when the record is damaged (the record is then skipped) or the picture
// goes past a limit (the file is refused).
class RecordPlayer
{
public:
    enum class Mode { Validate, Draw };

    // Validate: fills data.images, data.warnings and data.damagedRecords and
    // measures the drawn area.
    explicit RecordPlayer(PictureData &data);
    // Draw: deviceToTarget maps the picture's device units onto the painter's
    // device; targetClip (in the painter's device pixels) bounds all drawing.
    RecordPlayer(const PictureData &data, QPainter &painter, const QTransform &deviceToTarget,
                 const QPainterPath &targetClip);

    // Plays every record. Empty when the picture can be shown; otherwise why
    // the file is refused.
    [[nodiscard]] QString play();
    int skippedRecordCount() const { return m_skipped; }
    // Everything drawn, in device units (Validate mode only).
    QRectF drawnBounds() const { return m_bounds; }

    // The name of a record function ("BitBlt"), or "unknown".
    static QString functionName(std::uint16_t function);

private:
    struct Record
    {
        int index;
        std::uint16_t function;
        ByteReader &parameters;
        RecordFunction kind() const { return RecordFunction(function); }
    };
    using Handler = RecordProblem (RecordPlayer::*)(Record &record);
    struct HandlerEntry
    {
        RecordFunction function;
        const char *name;
        Handler handler;
    };
    static std::span<const HandlerEntry> handlers();
    static const HandlerEntry *handlerFor(std::uint16_t function);

    RecordProblem playRecord(Record &record);
    void skipDamagedRecord(const Record &record, const QString &reason);
    static RecordWarning warningFor(const Record &record, const QString &reason);
    void warn(const Record &record, const QString &reason);

    // Device context state (recordplayerstate.cpp).
    RecordProblem onSetColor(Record &record);
    RecordProblem onSetMode(Record &record);
    RecordProblem onOrigin(Record &record);
    RecordProblem onExtent(Record &record);
    RecordProblem onScaleExtent(Record &record);
    RecordProblem onSaveDc(Record &record);
    RecordProblem onRestoreDc(Record &record);
    RecordProblem onClipRectangle(Record &record);
    RecordProblem onOffsetClipRegion(Record &record);
    RecordProblem onSelectClipRegion(Record &record);
    RecordProblem onEscape(Record &record);
    RecordProblem onNoVisibleEffect(Record &record);

    // Objects and regions (recordplayerobjects.cpp).
    RecordProblem onCreatePen(Record &record);
    RecordProblem onCreateBrush(Record &record);
    RecordProblem onCreateFont(Record &record);
    RecordProblem onCreatePalette(Record &record);
    RecordProblem onCreatePatternBrush(Record &record);
    RecordProblem onCreateDibPatternBrush(Record &record);
    RecordProblem onCreateRegion(Record &record);
    RecordProblem onSelectObject(Record &record);
    RecordProblem onDeleteObject(Record &record);
    RecordProblem onPaletteAnimation(Record &record);
    RecordProblem onFillOrFrameRegion(Record &record);
    RecordProblem onPaintOrInvertRegion(Record &record);

    // Lines and shapes (recordplayershapes.cpp).
    RecordProblem onMoveTo(Record &record);
    RecordProblem onLineTo(Record &record);
    RecordProblem onPolyline(Record &record);
    RecordProblem onPolyPolygon(Record &record);
    RecordProblem onRectangleOrEllipse(Record &record);
    RecordProblem onRoundRectangle(Record &record);
    RecordProblem onArc(Record &record);
    RecordProblem onSetPixel(Record &record);
    RecordProblem onPatternBlit(Record &record);

    // Text (recordplayertext.cpp).
    RecordProblem onTextOut(Record &record);
    RecordProblem onExtTextOut(Record &record);

    // Bitmaps (recordplayerbitmaps.cpp).
    RecordProblem onSetDibToDevice(Record &record);
    RecordProblem onBlit(Record &record);
    enum class BitmapKind { DeviceIndependent, DeviceDependent };
    RecordProblem placeBitmap(Record &record, BitmapKind kind, int usage, const QRectF &target, const QRectF &source,
                              std::uint32_t rasterOperation);

    // Object table.
    RecordProblem storeObject(GdiObject object);
    RecordProblem readObjectIndex(ByteReader &reader, int *index, const GdiObject **object) const;
    RecordProblem objectAt(int index, const GdiObject **object) const;
    RecordProblem regionAt(int index, const QRegion **logicalRegion) const;
    RecordProblem brushAt(int index, QBrush *brush) const;

    // Mapping and clipping.
    QTransform logicalToDevice() const;
    QRect toClipSpace(const QRectF &logicalRect) const;
    QRegion toClipSpace(const QRegion &logicalRegion) const;
    RecordProblem setClip(std::optional<QRegion> clip);
    QColor colorFromReference(std::uint32_t reference) const;

    // Drawing helpers; each is a no-op apart from measuring in Validate mode.
    enum class Outline { Stroke, StrokeAndFill };
    bool preparePainter();
    void applyClip();
    QPen effectivePen() const;
    void drawPath(const QPainterPath &logicalPath, Outline outline);
    void fillRegion(const QRegion &logicalRegion, const QBrush &brush, QPainter::CompositionMode mode);
    void drawTextRun(const QPointF &logicalOrigin, const QString &text, const std::vector<qreal> &advances,
                     const QRectF *opaqueRect, const QRectF *clipRect);
    void measureTextRun(const QPointF &origin, qreal width, qreal emHeight);
    void paintTextRun(const QPointF &origin, const QFont &font, const QString &text,
                      const std::vector<qreal> &advances, qreal width, const QRectF *opaqueRect,
                      const QRectF *clipRect);
    void drawImage(const QRectF &logicalTarget, const DecodedBitmap &bitmap, QRectF source,
                   std::uint32_t rasterOperation);
    void fillPattern(const QRectF &logicalRect, std::uint32_t rasterOperation);
    void noteBounds(const QRectF &logicalRect);
    void noteDeviceBounds(const QRectF &deviceRect);

    PictureData *m_data = nullptr;
    const PictureData &m_constData;
    QPainter *m_painter = nullptr;
    QTransform m_deviceToTarget;
    QPainterPath m_targetClip;
    Mode m_mode;

    GraphicsState m_state;
    std::vector<GraphicsState> m_savedStates;
    std::vector<std::optional<GdiObject>> m_objects;
    bool m_clipDirty = true;
    qreal m_clipScale = 1;
    qint64 m_bitmapPixels = 0;
    int m_skipped = 0;
    QRectF m_bounds;
};

} // namespace wmf
