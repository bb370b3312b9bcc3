// Reads and draws every metafile it is given (files, or folders of .wmf
// files), the ways the lab and the render tool draw them: fitted into a
// small and a large box, at device pixel ratios 1 and 2, and under a clip.
// Run under valgrind's memcheck, it shows whether any picture makes the
// reader or Qt's image code touch memory it must not: the sanitizer build
// cannot see that, because Qt itself is not instrumented.
//   memcheck_replay PATH...   exit 0 when every path could be opened
#include "wmfpicture.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

void draw(const wmf::Picture &picture, QSize size, qreal devicePixelRatio, bool clipped)
{
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (clipped)
        painter.setClipRect(QRect(QPoint(size.width() / 4, size.height() / 4), size / 2));
    picture.render(painter, QRectF(QPointF(0, 0), QSizeF(size)));
}

void replay(const QString &path)
{
    // Named before loading, so that a report or a hang points at its file.
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
    const wmf::ReadResult result = wmf::Picture::readFile(path);
    if (!result.isValid())
        return;
    draw(*result.picture, QSize(64, 64), 1, false);
    draw(*result.picture, QSize(123, 195), 2, true);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    int missing = 0;
    for (const QString &argument : application.arguments().mid(1)) {
        const QFileInfo info(argument);
        if (info.isDir()) {
            const QDir folder(argument);
            for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
                replay(folder.filePath(name));
        } else if (info.isFile()) {
            replay(argument);
        } else {
            std::fprintf(stderr, "memcheck_replay: no such file or folder: %s\n", qPrintable(argument));
            ++missing;
        }
    }
    return missing == 0 ? 0 : 1;
}
