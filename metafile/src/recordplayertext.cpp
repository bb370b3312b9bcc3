// The text records of RecordPlayer: TEXTOUT and EXTTEXTOUT, with GDI's
// alignment, spacing, background and rotation rules.
#include "recordplayer.h"

#include "bytereader.h"
#include "metafilelimits.h"
#include "recordfunction.h"

#include <QFontMetricsF>
#include <QPainterPath>

#include <cmath>

namespace wmf {

namespace {

// EXTTEXTOUT options.
constexpr int textOptionOpaque = 0x0002;
constexpr int textOptionClipped = 0x0004;
// The string holds font glyph indexes rather than characters: without the
// recording machine's font they cannot be turned back into text.
constexpr int textOptionGlyphIndex = 0x0010;
// The spacing array holds x and y advances for each character.
constexpr int textOptionVerticalAdvances = 0x2000;
// The text size GDI falls back to when a font asks for height 0, in device units.
constexpr qreal defaultTextHeight = 12.0;

// A point stored as y, then x, as GDI writes them.
QPointF readPoint(ByteReader &reader)
{
    const qreal y = reader.readInt16();
    const qreal x = reader.readInt16();
    return QPointF(x, y);
}

RecordProblem textPastRecord(int length)
{
    return RecordProblem::damaged(QStringLiteral("text of %1 bytes runs past the record").arg(length));
}

} // namespace

RecordProblem RecordPlayer::onTextOut(Record &record)
{
    ByteReader &reader = record.parameters;
    const int length = reader.readInt16();
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    if (length < 0 || !reader.hasRemaining(length + (length & 1)))
        return textPastRecord(length);
    const QByteArrayView bytes = reader.readBytes(length);
    reader.skip(length & 1);
    const QPointF origin = readPoint(reader);
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    drawTextRun(origin, decodeText(bytes, m_state.font.charset), {}, nullptr, nullptr);
    return RecordProblem::none();
}

RecordProblem RecordPlayer::onExtTextOut(Record &record)
{
    ByteReader &reader = record.parameters;
    const QPointF origin = readPoint(reader);
    const int length = reader.readInt16();
    const int options = reader.readUInt16();
    if (!reader.isOk())
        return RecordProblem::shortRecord();
    QRectF box;
    const bool hasBox = (options & (textOptionOpaque | textOptionClipped)) != 0;
    if (hasBox) {
        const qreal left = reader.readInt16();
        const qreal top = reader.readInt16();
        const qreal right = reader.readInt16();
        const qreal bottom = reader.readInt16();
        box = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
    }
    if (length < 0 || !reader.hasRemaining(length))
        return textPastRecord(length);
    const QByteArrayView bytes = reader.readBytes(length);
    if (length & 1)
        reader.skip(qMin<qsizetype>(1, reader.remaining()));
    std::vector<qreal> advances;
    // The spacing array is optional: present when the record has room for it.
    const int valuesPerCharacter = (options & textOptionVerticalAdvances) ? 2 : 1;
    if (reader.hasRemaining(qsizetype(length) * 2 * valuesPerCharacter)) {
        advances.reserve(length);
        for (int character = 0; character < length; ++character) {
            advances.push_back(reader.readInt16());
            if (valuesPerCharacter == 2)
                reader.readInt16(); // vertical advance: text runs along the baseline here
        }
    }
    const QString text = (options & textOptionGlyphIndex) ? QString() : decodeText(bytes, m_state.font.charset);
    // Multi-byte character sets give fewer characters than bytes; the
    // spacing array then cannot be matched character by character.
    if (advances.size() != std::size_t(text.size()))
        advances.clear();
    drawTextRun(origin, text, advances, hasBox && (options & textOptionOpaque) ? &box : nullptr,
                hasBox && (options & textOptionClipped) ? &box : nullptr);
    return RecordProblem::none();
}

void RecordPlayer::drawTextRun(const QPointF &logicalOrigin, const QString &text, const std::vector<qreal> &advances,
                               const QRectF *opaqueRect, const QRectF *clipRect)
{
    const bool usesCurrentPosition = m_state.textAlign & textalign::updateCurrentPosition;
    const QPointF origin = usesCurrentPosition ? m_state.currentPosition : logicalOrigin;
    const LogicalFont &logicalFont = m_state.font;
    const qreal scaleY = std::abs(logicalToDevice().m22());

    // Sizes are in logical units; text stays upright even when the mapping
    // flips an axis, as GDI keeps it.
    QFont font = logicalFont.font;
    qreal height = std::abs(logicalFont.height);
    if (height == 0)
        height = defaultTextHeight / qMax<qreal>(scaleY, 1e-9);
    // A positive height includes the internal leading above the letters.
    const qreal emHeight = logicalFont.height > 0 ? height * 0.85 : height;
    font.setPixelSize(qBound(1, qRound(emHeight), 0x7FFF));
    qreal width = 0;
    for (qreal advance : advances)
        width += advance;

    if (m_mode == Mode::Validate) {
        // Reading must not need the font database (it may run before the
        // application object exists or off the GUI thread), so the drawn
        // area is estimated from the height: wide letters are about 0.6 em.
        if (advances.empty())
            width = (emHeight * 0.6 + m_state.textCharacterExtra) * text.size();
        measureTextRun(origin, width, emHeight);
        return;
    }
    paintTextRun(origin, font, text, advances, width, opaqueRect, clipRect);
}

void RecordPlayer::measureTextRun(const QPointF &origin, qreal width, qreal emHeight)
{
    const QTransform mapping = logicalToDevice();
    if (m_state.textAlign & textalign::updateCurrentPosition)
        m_state.currentPosition.rx() += mapping.m11() < 0 ? -width : width;
    QRectF box(origin, QSizeF(width, emHeight * 1.2));
    switch (m_state.textAlign & textalign::horizontalMask) {
    case textalign::center: box.translate(-width / 2, 0); break;
    case textalign::right: box.translate(-width, 0); break;
    default: break;
    }
    if ((m_state.textAlign & textalign::verticalMask) != textalign::top)
        box.translate(0, -emHeight);
    const qreal scaleX = std::abs(mapping.m11());
    const qreal scaleY = std::abs(mapping.m22());
    const QPointF device = mapping.map(origin);
    noteDeviceBounds(QRectF(device + QPointF((box.left() - origin.x()) * scaleX, (box.top() - origin.y()) * scaleY),
                            QSizeF(box.width() * scaleX, box.height() * scaleY)));
}

void RecordPlayer::paintTextRun(const QPointF &origin, const QFont &font, const QString &text,
                                const std::vector<qreal> &advances, qreal width, const QRectF *opaqueRect,
                                const QRectF *clipRect)
{
    const QTransform mapping = logicalToDevice();
    const QFontMetricsF metrics(font);
    if (advances.empty())
        width = metrics.horizontalAdvance(text) + m_state.textCharacterExtra * text.size();
    if (m_state.textAlign & textalign::updateCurrentPosition)
        m_state.currentPosition.rx() += mapping.m11() < 0 ? -width : width;

    qreal x = 0;
    switch (m_state.textAlign & textalign::horizontalMask) {
    case textalign::center: x = -width / 2; break;
    case textalign::right: x = -width; break;
    default: break;
    }
    qreal baseline = 0;
    switch (m_state.textAlign & textalign::verticalMask) {
    case textalign::baseline: break;
    case textalign::bottom: baseline = -metrics.descent(); break;
    default: baseline = metrics.ascent(); break;
    }
    const QRectF localBox(x, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent());
    if (!preparePainter())
        return;
    m_painter->save();
    if (clipRect)
        m_painter->setClipRect(*clipRect, Qt::IntersectClip);
    if (opaqueRect)
        m_painter->fillRect(*opaqueRect, m_state.backgroundColor);
    QTransform local;
    local.scale(std::abs(mapping.m11()), std::abs(mapping.m22()));
    local.rotate(-m_state.font.escapement / 10.0);
    m_painter->setTransform(local * QTransform::fromTranslate(mapping.map(origin).x(), mapping.map(origin).y())
                            * m_deviceToTarget);
    if (m_state.isBackgroundOpaque && !opaqueRect)
        m_painter->fillRect(localBox, m_state.backgroundColor);
    m_painter->setBackgroundMode(Qt::TransparentMode);
    m_painter->setFont(font);
    m_painter->setPen(m_state.textColor);
    // Qt's glyph cache decides by the area a glyph covers, so a glyph
    // stretched very far along one axis (a file can map a few logical units
    // across the whole picture) still goes through it and can fail inside
    // the font engine. Such text, and very large text, is filled as outlines.
    const QTransform full = m_painter->transform();
    const qreal deviceWidth = font.pixelSize() * std::hypot(full.m11(), full.m12());
    const qreal deviceHeight = font.pixelSize() * std::hypot(full.m21(), full.m22());
    const bool asOutlines = qMax(deviceWidth, deviceHeight) > limits::largestCachedGlyphPixels;
    const auto drawRun = [&](const QPointF &point, const QString &run) {
        if (!asOutlines) {
            m_painter->drawText(point, run);
            return;
        }
        QPainterPath outline;
        outline.addText(point, font, run);
        m_painter->fillPath(outline, m_state.textColor);
    };
    if (advances.empty() && m_state.textCharacterExtra == 0) {
        drawRun(QPointF(x, baseline), text);
    } else {
        qreal pen = x;
        for (int index = 0; index < text.size(); ++index) {
            drawRun(QPointF(pen, baseline), text.at(index));
            pen += advances.empty() ? metrics.horizontalAdvance(text.at(index)) + m_state.textCharacterExtra
                                    : advances[index];
        }
    }
    m_painter->restore();
}

} // namespace wmf
