#pragma once

#include <QByteArray>
#include <QString>

// A file written whole or not at all. The bytes go to a new file beside the
// old one, which takes the old one's place only once every byte is on disk:
// a full disk or a file-size limit leaves the old file as it was, and the
// failure is said, never passed over.
class WholeFile
{
public:
    // An empty string when the file was written, else what failed.
    [[nodiscard]] static QString write(const QString &path, const QByteArray &bytes);
};
