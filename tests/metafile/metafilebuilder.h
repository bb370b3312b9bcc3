#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <initializer_list>

// Builds metafile bytes record by record for the tests, including broken
// ones: nothing here checks what it writes. Parameters are given in the
// order they are stored (GDI stores most of them in reverse).
class MetafileBuilder
{
public:
    enum class Header { Placeable, Standard };
    enum class Ending { WithEndRecord, WithoutEndRecord };

    explicit MetafileBuilder(Header header = Header::Placeable, QRect bounds = QRect(0, 0, 100, 100),
                             int unitsPerInch = 96);

    MetafileBuilder &setObjectCount(int count);
    // A record with 16-bit parameters.
    MetafileBuilder &record(std::uint16_t function, std::initializer_list<int> words);
    // A record with raw parameter bytes (padded to an even length).
    MetafileBuilder &rawRecord(std::uint16_t function, const QByteArray &parameters);
    // A record whose size field says sizeWords, whatever follows.
    MetafileBuilder &recordWithSize(std::uint32_t sizeWords, std::uint16_t function, const QByteArray &parameters);

    // Convenience records, taking natural arguments.
    MetafileBuilder &setWindow(int x, int y, int width, int height);
    MetafileBuilder &createPen(int style, int width, QColor color);
    MetafileBuilder &createBrush(int style, QColor color, int hatch = 0);
    MetafileBuilder &createFont(int height, const QByteArray &face, int weight = 400, int charset = 0, int escapement = 0);
    MetafileBuilder &selectObject(int index);
    MetafileBuilder &deleteObject(int index);
    MetafileBuilder &rectangle(QRect rect);
    MetafileBuilder &ellipse(QRect rect);
    MetafileBuilder &polygon(const QList<QPoint> &points, std::uint16_t function = 0x0324);
    MetafileBuilder &textOut(QPoint origin, const QByteArray &text);
    MetafileBuilder &stretchDib(QRect target, const QByteArray &dib, std::uint32_t rasterOperation = 0x00CC0020);

    QByteArray bytes(Ending ending = Ending::WithEndRecord) const;

    static QByteArray colorReference(QColor color);
    static QByteArray words(std::initializer_list<int> values);
    // A packed DIB with a BITMAPINFOHEADER. Rows are given top first and
    // written bottom-up (or top-down when topDown is set); each row's bytes
    // are padded to 4.
    static QByteArray dib(int width, int height, int bitCount, const QList<QColor> &colors,
                          const QList<QByteArray> &rowsTopFirst, std::uint32_t compression = 0,
                          bool topDown = false);

private:
    Header m_header;
    QRect m_bounds;
    int m_unitsPerInch;
    int m_objectCount = 8;
    QByteArray m_records;
};
