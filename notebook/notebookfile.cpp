#include "notebookfile.h"

#include "notebookcsv.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace {

// Less free space than this cannot hold a session's rows: the disk is full.
constexpr qint64 smallestFreeBytes = 64 * 1024;

} // namespace

bool NotebookFile::fail(const QString &why)
{
    m_error = why;
    m_file.close();
    return false;
}

bool NotebookFile::open(const QString &path)
{
    m_file.setFileName(path);
    const QFileInfo info(path);
    if (info.isDir())
        return fail(QStringLiteral("%1 is a folder, not a file").arg(path));
    QByteArray existing;
    NotebookCsv::ParseResult existingRows;
    if (info.exists()) {
        QFile reader(path);
        if (!reader.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1 cannot be read: %2").arg(path, reader.errorString()));
        existing = reader.readAll();
        existingRows = NotebookCsv::parse(existing);
        if (!existing.isEmpty() && existingRows.consumed == 0)
            return fail(QStringLiteral("%1 is not a lab notebook; it is left as it is").arg(path));
    }
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return fail(QStringLiteral("%1 cannot be written: %2").arg(path, m_file.errorString()));
    const QStorageInfo storage(info.absolutePath());
    if (storage.isValid() && storage.bytesAvailable() < smallestFreeBytes)
        return fail(QStringLiteral("the disk that holds %1 is full").arg(path));
    // A new notebook starts with its header; one whose last line was cut
    // short (a lab killed while writing) gets its line ended first, so that
    // the new rows stand on lines of their own.
    const QByteArray start = existing.isEmpty() ? NotebookCsv::header()
        : existing.endsWith('\n')              ? QByteArray()
                                               : QByteArray("\r\n");
    if (!start.isEmpty() && (m_file.write(start) < 0 || !m_file.flush()))
        return fail(QStringLiteral("%1 cannot be written: %2").arg(path, m_file.errorString()));
    int last = 0;
    for (const NotebookRow &row : existingRows.rows)
        last = qMax(last, row[NotebookRow::Session].toInt());
    m_session = last + 1;
    return true;
}

bool NotebookFile::append(const NotebookRow &row)
{
    if (!m_file.isOpen())
        return false;
    if (m_file.write(NotebookCsv::encode(row)) < 0 || !m_file.flush())
        return fail(QStringLiteral("%1 cannot be written: %2").arg(m_file.fileName(), m_file.errorString()));
    return true;
}
