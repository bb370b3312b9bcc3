#pragma once

#include "graphicsstate.h"
#include "picturedata.h"

#include <QPainter>
#include <QTransform>

#include <optional>
#include <vector>

namespace wmf {

class ByteReader;

// Replays the records of a metafile. The same code runs twice: once while
// the file is read, without a painter, to check every record, decode the
// bitmaps and measure the drawing; then on every paint, onto a QPainter.
class RecordPlayer
{
public:
    enum class Mode { Validate, Draw };

    // Validate: fills data.images and measures the drawn area.
    explicit RecordPlayer(PictureData &data);
    // Draw: deviceToTarget maps the picture's device units onto the painter's
    // device; targetClip (in the painter's device pixels) bounds all drawing.
    RecordPlayer(const PictureData &data, QPainter &painter, const QTransform &deviceToTarget,
                 const QPainterPath &targetClip);

    // An empty string when every record could be played; otherwise what is wrong.
    QString play();
    int skippedRecordCount() const { return m_skipped; }
    // Everything drawn, in device units (Validate mode only).
    QRectF drawnBounds() const { return m_bounds; }

private:
    QString playRecord(int index, std::uint16_t function, ByteReader &reader);
    QString playState(std::uint16_t function, ByteReader &reader, bool &handled);
    QString playObjects(std::uint16_t function, ByteReader &reader, bool &handled);
    QString playShapes(std::uint16_t function, ByteReader &reader, bool &handled);
    QString playText(std::uint16_t function, ByteReader &reader, bool &handled);
    QString playBitmaps(int index, std::uint16_t function, ByteReader &reader, bool &handled);
    QString playRegions(std::uint16_t function, ByteReader &reader, bool &handled);
    QString playEscape(ByteReader &reader);
    enum class BitmapKind { DeviceIndependent, DeviceDependent };
    QString placeBitmap(int index, ByteReader &reader, BitmapKind kind, int usage, const QRectF &target,
                        const QRectF &source, std::uint32_t rasterOperation);

    // Object table.
    QString storeObject(GdiObject object);
    QString objectAt(int index, const GdiObject **object) const;
    QString regionAt(int index, const QRegion **logicalRegion) const;
    QString brushAt(int index, QBrush *brush) const;

    // Mapping and clipping.
    QTransform logicalToDevice() const;
    QRect toClipSpace(const QRectF &logicalRect) const;
    QRegion toClipSpace(const QRegion &logicalRegion) const;
    QString intersectClip(const QRegion &clipRegion);
    QString excludeClip(const QRegion &clipRegion);
    QString checkClipSize() const;
    QColor colorFromReference(std::uint32_t reference) const;

    // Drawing helpers; each is a no-op apart from measuring in Validate mode.
    enum class Outline { Stroke, StrokeAndFill };
    bool preparePainter();
    void drawPath(const QPainterPath &logicalPath, Outline outline);
    void fillRegion(const QRegion &logicalRegion, const QBrush &brush, QPainter::CompositionMode mode);
    void drawTextRun(const QPointF &logicalOrigin, const QString &text, const std::vector<qreal> &advances,
                     const QRectF *opaqueRect, const QRectF *clipRect);
    void drawImage(const QRectF &logicalTarget, const QImage &image, QRectF source, std::uint32_t rasterOperation);
    void fillPattern(const QRectF &logicalRect, std::uint32_t rasterOperation);
    void noteBounds(const QRectF &logicalRect);

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
