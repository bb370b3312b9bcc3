#include "wholefile.h"

#include <QSaveFile>

QString WholeFile::write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    // A write cut short by a file-size limit reports the bytes it wrote, not
    // an error, so the file's size on disk is what tells.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size()) {
        file.cancelWriting();
        return QStringLiteral("cannot write %1: %2").arg(path, file.error() == QFileDevice::NoError
                                                                    ? QStringLiteral("the disk took only part of it")
                                                                    : file.errorString());
    }
    if (!file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}
