#pragma once

#include <QByteArrayView>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QPainter;

namespace wmf {

struct PictureData;
struct ReadResult;

// A Windows metafile, parsed and checked once, drawn as vectors as often as
// needed. Copies share the parsed data.
class Picture
{
public:
    Picture() = default; // an empty picture: draws nothing, natural size 0 x 0

    static ReadResult read(QByteArrayView bytes); // never throws, never crashes
    static ReadResult readFile(const QString &path);

    bool isNull() const { return !m_data; }
    // The picture's own size in pixels at 96 DPI.
    QSizeF naturalSize() const;
    // The largest rectangle of the picture's aspect ratio, centred in target.
    QRectF fittedRect(const QRectF &target) const;
    // Draws into fittedRect(target), anti-aliased, at the painter's resolution.
    void render(QPainter &painter, const QRectF &target) const;

    int recordCount() const;
    // Records that have no effect on a still picture or that this reader
    // does not draw (unknown functions, flood fills, palette animation).
    int skippedRecordCount() const;
    // One line for every record that was skipped for a reason worth telling
    // (damaged, or not a record this reader draws), for example
    // "record 408 (0x0922 BitBlt): bitmap pixels are truncated (...)"; past
    // the first thousand, a last line counts the rest.
    QStringList warnings() const;

    // For the reader only: wraps data that has been checked.
    static Picture fromData(std::shared_ptr<const PictureData> data);

private:
    explicit Picture(std::shared_ptr<const PictureData> data) : m_data(std::move(data)) {}

    std::shared_ptr<const PictureData> m_data;
};

struct [[nodiscard]] ReadResult
{
    std::optional<Picture> picture; // set when the file was accepted
    QString error;                  // one line saying what is wrong when it was not
    bool isValid() const { return picture.has_value(); }
};

} // namespace wmf
