// libFuzzer target for the metafile reader: the same entry point the lab
// uses for a file from the working directory (Picture::read), then a
// render into a small image, as the picture box would paint it.
#include "wmfpicture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Small enough to keep each run fast, large enough that shapes cover pixels.
constexpr int renderSide = 64;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Text drawing needs the font database, which needs an application.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const wmf::ReadResult result =
        wmf::Picture::read(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!result.isValid()) {
        if (result.error.isEmpty())
            std::abort(); // a rejection must always say why
        return 0;
    }
    QImage image(renderSide, renderSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    result.picture->render(painter, QRectF(0, 0, renderSide, renderSide));
    painter.end();
    return 0;
}
