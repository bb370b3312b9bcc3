#include "gdiobjects.h"

#include <QStringDecoder>

namespace wmf {

QPen makePen(int style, int width, const QColor &color)
{
    const int kind = style & penstyle::styleMask;
    if (kind == penstyle::null)
        return QPen(Qt::NoPen);
    QPen pen(color);
    // Width 0 is GDI's cosmetic pen: one device pixel whatever the mapping.
    pen.setWidthF(qMax(0, width));
    pen.setCosmetic(width <= 0);
    switch (kind) {
    case penstyle::dash: pen.setStyle(Qt::DashLine); break;
    case penstyle::dot:
    case penstyle::alternate: pen.setStyle(Qt::DotLine); break;
    case penstyle::dashDot: pen.setStyle(Qt::DashDotLine); break;
    case penstyle::dashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
    default: pen.setStyle(Qt::SolidLine); break;
    }
    switch (style & penstyle::endCapMask) {
    case penstyle::endCapSquare: pen.setCapStyle(Qt::SquareCap); break;
    case penstyle::endCapFlat: pen.setCapStyle(Qt::FlatCap); break;
    default: pen.setCapStyle(Qt::RoundCap); break;
    }
    switch (style & penstyle::joinMask) {
    case penstyle::joinBevel: pen.setJoinStyle(Qt::BevelJoin); break;
    case penstyle::joinMiter: pen.setJoinStyle(Qt::MiterJoin); break;
    default: pen.setJoinStyle(Qt::RoundJoin); break;
    }
    return pen;
}

QBrush makeBrush(int style, const QColor &color, int hatch)
{
    switch (style) {
    case brushstyle::null:
        return QBrush(Qt::NoBrush);
    case brushstyle::hatched: {
        Qt::BrushStyle pattern = Qt::HorPattern;
        switch (hatch) {
        case brushstyle::hatchVertical: pattern = Qt::VerPattern; break;
        case brushstyle::hatchForwardDiagonal: pattern = Qt::FDiagPattern; break;
        case brushstyle::hatchBackwardDiagonal: pattern = Qt::BDiagPattern; break;
        case brushstyle::hatchCross: pattern = Qt::CrossPattern; break;
        case brushstyle::hatchDiagonalCross: pattern = Qt::DiagCrossPattern; break;
        default: break;
        }
        return QBrush(color, pattern);
    }
    default:
        return QBrush(color);
    }
}

const char *encodingForCharset(int charset)
{
    switch (charset) {
    case 128: return "Shift_JIS";
    case 129: return "windows-949";
    case 134: return "GBK";
    case 136: return "Big5";
    case 161: return "windows-1253";
    case 162: return "windows-1254";
    case 163: return "windows-1258";
    case 177: return "windows-1255";
    case 178: return "windows-1256";
    case 186: return "windows-1257";
    case 204: return "windows-1251";
    case 222: return "windows-874";
    case 238: return "windows-1250";
    case 255: return "IBM437";
    default: return "windows-1252"; // ANSI, DEFAULT, SYMBOL and anything unknown
    }
}

QRegion unitedRectangles(const std::vector<QRect> &rectangles)
{
    std::vector<QRegion> regions;
    regions.reserve(rectangles.size());
    for (const QRect &rect : rectangles)
        if (!rect.isEmpty())
            regions.emplace_back(rect);
    if (regions.empty())
        return {};
    while (regions.size() > 1) {
        std::vector<QRegion> merged;
        merged.reserve(regions.size() / 2 + 1);
        for (std::size_t index = 0; index + 1 < regions.size(); index += 2)
            merged.push_back(regions[index].united(regions[index + 1]));
        if (regions.size() % 2)
            merged.push_back(regions.back());
        regions.swap(merged);
    }
    return regions.front();
}

QString decodeText(QByteArrayView bytes, int charset)
{
    // The symbol character set draws glyphs of a symbol font by byte value;
    // Latin-1 keeps those byte values as code points.
    if (charset == 2)
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(encodingForCharset(charset));
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

} // namespace wmf
