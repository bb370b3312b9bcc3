#include "wmfpicture.h"

#include "bytereader.h"
#include "graphicsstate.h"
#include "metafilelimits.h"
#include "picturedata.h"
#include "recordplayer.h"

#include <QFile>
#include <QPainter>

#include <cmath>
#include <exception>

namespace wmf {

namespace {

// Screen pixels per inch that the natural size is measured in.
constexpr double pixelsPerInch = 96.0;

// The first window origin, window extent, viewport extent and mapping mode
// a file sets: together they say which rectangle of logical space the
// picture occupies when no placeable header does.
struct InitialMapping
{
    std::optional<QPointF> windowOrigin;
    std::optional<QSizeF> windowExtent;
    std::optional<QSizeF> viewportExtent;
    std::optional<int> mapMode;
};

InitialMapping findInitialMapping(const PictureData &data)
{
    InitialMapping mapping;
    for (const RecordSpan &span : data.layout.records) {
        ByteReader reader(QByteArrayView(data.bytes).sliced(span.parameterOffset, span.parameterSize));
        switch (RecordFunction(span.function)) {
        case RecordFunction::SetWindowOrg: {
            const qreal y = reader.readInt16();
            const qreal x = reader.readInt16();
            if (reader.isOk() && !mapping.windowOrigin)
                mapping.windowOrigin = QPointF(x, y);
            break;
        }
        case RecordFunction::SetWindowExt:
        case RecordFunction::SetViewportExt: {
            const qreal height = reader.readInt16();
            const qreal width = reader.readInt16();
            if (!reader.isOk() || width == 0 || height == 0)
                break; // refused with a reason when the records are played
            auto &slot = RecordFunction(span.function) == RecordFunction::SetWindowExt ? mapping.windowExtent
                                                                                      : mapping.viewportExtent;
            if (!slot)
                slot = QSizeF(width, height);
            break;
        }
        case RecordFunction::SetMapMode: {
            const int mode = reader.readUInt16();
            if (reader.isOk() && !mapping.mapMode)
                mapping.mapMode = mode;
            break;
        }
        default:
            break;
        }
    }
    return mapping;
}

bool isFixedMapMode(int mode)
{
    return mode >= mapmode::lowMetric && mode <= mapmode::twips;
}

ReadResult failure(const QString &message)
{
    return ReadResult{std::nullopt, message};
}

[[nodiscard]] QString checkNaturalSize(const QSizeF &size)
{
    const auto isSane = [](qreal side) {
        return std::isfinite(side) && side > 0 && side <= limits::maximumNaturalSidePixels;
    };
    if (!isSane(size.width()) || !isSane(size.height()))
        return QStringLiteral("picture size %1 x %2 pixels is outside 0 to %3")
            .arg(size.width()).arg(size.height()).arg(limits::maximumNaturalSidePixels);
    return {};
}

ReadResult readChecked(QByteArrayView bytes)
{
    ScanResult scanned = RecordScanner::scan(bytes);
    if (!scanned.layout)
        return failure(scanned.error);

    auto data = std::make_shared<PictureData>();
    data->bytes = bytes.toByteArray();
    data->layout = std::move(*scanned.layout);
    const MetafileLayout &layout = data->layout;

    const InitialMapping initial = findInitialMapping(*data);
    const QPointF origin = initial.windowOrigin.value_or(QPointF());
    if (initial.windowExtent)
        data->referenceExtent = QSizeF(std::abs(initial.windowExtent->width()), std::abs(initial.windowExtent->height()));
    else if (layout.isPlaceable)
        data->referenceExtent = layout.placeableBounds.size();
    data->referenceExtent = QSizeF(std::abs(data->referenceExtent.width()), std::abs(data->referenceExtent.height()));

    RecordPlayer validator(*data);
    if (const QString problem = validator.play(); !problem.isEmpty())
        return failure(problem);
    data->skippedRecordCount = validator.skippedRecordCount();

    // The mapping in force once the first window is set: logical units to
    // device units, which is the space the frame is measured in.
    const QSizeF firstExtent = initial.windowExtent.value_or(data->referenceExtent);
    const QTransform firstMapping(data->referenceExtent.width() / firstExtent.width(), 0, 0,
                                  data->referenceExtent.height() / firstExtent.height(),
                                  -origin.x() * data->referenceExtent.width() / firstExtent.width(),
                                  -origin.y() * data->referenceExtent.height() / firstExtent.height());
    const bool isFixed = initial.mapMode && isFixedMapMode(*initial.mapMode);
    if (layout.isPlaceable) {
        // The box is in the file's logical units, normally the same
        // rectangle as the window. When an exporter wrote the two in
        // different units, the window is what the drawing fills, so it
        // wins; the box still gives the size on screen.
        data->frame = initial.windowExtent && !isFixed ? QRectF(QPointF(0, 0), data->referenceExtent)
                                                       : firstMapping.mapRect(layout.placeableBounds.normalized());
        const QSizeF box = layout.placeableBounds.normalized().size();
        data->naturalSize = box * (pixelsPerInch / layout.unitsPerInch);
    } else if (initial.windowExtent && !isFixed) {
        data->frame = QRectF(QPointF(0, 0), data->referenceExtent);
        data->naturalSize = initial.viewportExtent
            ? QSizeF(std::abs(initial.viewportExtent->width()), std::abs(initial.viewportExtent->height()))
            : data->frame.size();
    } else {
        // No stated size: the picture is what it draws.
        data->frame = validator.drawnBounds();
        data->naturalSize = data->frame.size();
        if (data->frame.isEmpty())
            return failure(QStringLiteral("the picture states no size and draws nothing"));
    }
    if (data->frame.isEmpty())
        return failure(QStringLiteral("the picture's area is empty"));
    if (const QString problem = checkNaturalSize(data->naturalSize); !problem.isEmpty())
        return failure(problem);
    return ReadResult{Picture::fromData(std::move(data)), QString()};
}

} // namespace

ReadResult Picture::read(QByteArrayView bytes)
{
    // Nothing in the reader throws on purpose; this catches allocation
    // failure so that a hostile file cannot take the lab down with it.
    try {
        return readChecked(bytes);
    } catch (const std::bad_alloc &) {
        return failure(QStringLiteral("out of memory while reading the picture"));
    } catch (const std::exception &exception) {
        return failure(QStringLiteral("cannot read the picture: %1").arg(QString::fromLocal8Bit(exception.what())));
    }
}

ReadResult Picture::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    if (file.size() > limits::maximumFileBytes)
        return failure(QStringLiteral("%1 is %2 bytes, more than the %3 a picture may have")
                           .arg(path).arg(file.size()).arg(limits::maximumFileBytes));
    // Read what is there, never more than the limit and one byte: asking for
    // the whole limit at once would set aside that much memory on every run.
    // Files whose size is not known in advance (pipes, /proc) come in pieces.
    constexpr qint64 pieceBytes = 64 * 1024;
    QByteArray bytes;
    if (!file.isSequential() && file.size() > 0) {
        bytes = file.read(qMin(file.size(), limits::maximumFileBytes) + 1);
    } else {
        while (bytes.size() <= limits::maximumFileBytes) {
            const QByteArray piece = file.read(pieceBytes);
            if (piece.isEmpty())
                break;
            bytes += piece;
        }
    }
    if (bytes.size() > limits::maximumFileBytes)
        return failure(QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(limits::maximumFileBytes));
    if (file.error() != QFileDevice::NoError)
        return failure(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return read(bytes);
}

Picture Picture::fromData(std::shared_ptr<const PictureData> data)
{
    return Picture(std::move(data));
}

QSizeF Picture::naturalSize() const
{
    return m_data ? m_data->naturalSize : QSizeF();
}

QRectF Picture::fittedRect(const QRectF &target) const
{
    const QSizeF natural = naturalSize();
    if (natural.isEmpty() || target.isEmpty())
        return QRectF(target.center(), QSizeF(0, 0));
    const QSizeF fitted = natural.scaled(target.size(), Qt::KeepAspectRatio);
    QRectF rect(QPointF(0, 0), fitted);
    rect.moveCenter(target.center());
    return rect;
}

void Picture::render(QPainter &painter, const QRectF &target) const
{
    if (!m_data)
        return;
    const QRectF fitted = fittedRect(target);
    if (fitted.isEmpty())
        return;
    const QRectF frame = m_data->frame;
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    const QTransform callerTransform = painter.worldTransform();
    const QTransform deviceToTarget = QTransform::fromTranslate(-frame.x(), -frame.y())
        * QTransform::fromScale(fitted.width() / frame.width(), fitted.height() / frame.height())
        * QTransform::fromTranslate(fitted.x(), fitted.y()) * callerTransform;
    QPainterPath targetClip;
    targetClip.addRect(fitted);
    if (painter.hasClipping())
        targetClip = targetClip.intersected(painter.clipPath());
    targetClip = callerTransform.map(targetClip);
    RecordPlayer player(*m_data, painter, deviceToTarget, targetClip);
    // Reading checked every record and marked the damaged ones, which
    // drawing passes by: nothing is left to refuse here.
    [[maybe_unused]] const QString unexpected = player.play();
    painter.restore();
}

int Picture::recordCount() const
{
    return m_data ? int(m_data->layout.records.size()) : 0;
}

int Picture::skippedRecordCount() const
{
    return m_data ? m_data->skippedRecordCount : 0;
}

QStringList Picture::warnings() const
{
    QStringList lines;
    if (m_data) {
        for (const RecordWarning &warning : m_data->warnings)
            lines.append(warning.toString());
        if (m_data->unlistedWarningCount > 0)
            lines.append(QStringLiteral("and %1 more records skipped").arg(m_data->unlistedWarningCount));
    }
    return lines;
}

} // namespace wmf
