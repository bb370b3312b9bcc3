// metafile-render INPUT.wmf OUTPUT.png [--size WIDTHxHEIGHT]
//
// Draws a Windows metafile the way the lab's picture box does (fitted,
// centred, on white) and saves it as PNG. Exit codes: 0 rendered, 2 the
// metafile was rejected, 1 anything else (arguments, output). Records that
// were skipped (damaged, or not drawn by this reader) are named on
// standard error, one line each, and the picture is still drawn.
#include "wmfpicture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <cstdio>

namespace {

constexpr int exitRejected = 2;
constexpr int exitFailure = 1;
// Output images beyond this side would take gigabytes; no use for a check.
constexpr int maximumOutputSide = 16384;

int fail(int code, const QString &message)
{
    std::fprintf(stderr, "metafile-render: %s\n", qPrintable(message));
    return code;
}

// Qt's own start-up warnings (a missing runtime directory on a headless
// machine, font cache notes) would break the one-line contract on stderr.
void quietMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "metafile-render: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietMessageHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);

    QStringList files;
    QSize size;
    for (int index = 0; index < arguments.size(); ++index) {
        if (arguments[index] == QLatin1String("--size")) {
            if (index + 1 >= arguments.size())
                return fail(exitFailure, QStringLiteral("--size needs WIDTHxHEIGHT"));
            const QRegularExpressionMatch match =
                QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(arguments[++index]);
            if (!match.hasMatch())
                return fail(exitFailure, QStringLiteral("--size needs WIDTHxHEIGHT, not %1").arg(arguments[index]));
            size = QSize(match.captured(1).toInt(), match.captured(2).toInt());
            if (size.isEmpty() || size.width() > maximumOutputSide || size.height() > maximumOutputSide)
                return fail(exitFailure, QStringLiteral("--size must be between 1x1 and %1x%1").arg(maximumOutputSide));
        } else {
            files.append(arguments[index]);
        }
    }
    if (files.size() != 2)
        return fail(exitFailure, QStringLiteral("usage: metafile-render INPUT.wmf OUTPUT.png [--size WIDTHxHEIGHT]"));

    const wmf::ReadResult result = wmf::Picture::readFile(files[0]);
    if (!result.isValid())
        return fail(exitRejected, result.error);
    // One line a skipped record; past the listed ones, a count of the rest.
    for (const QString &warning : result.picture->warnings()) {
        const char *skipped = warning.startsWith(QLatin1String("record ")) ? "skipped " : "";
        std::fprintf(stderr, "metafile-render: warning: %s%s\n", skipped, qPrintable(warning));
    }
    if (!size.isValid())
        size = result.picture->naturalSize().toSize().expandedTo(QSize(1, 1));

    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return fail(exitFailure, QStringLiteral("cannot allocate a %1x%2 image").arg(size.width()).arg(size.height()));
    image.fill(Qt::white);
    QPainter painter(&image);
    result.picture->render(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    if (!image.save(files[1], "PNG"))
        return fail(exitFailure, QStringLiteral("cannot write %1").arg(files[1]));
    return 0;
}
