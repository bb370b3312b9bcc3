#include "notebookfile.h"

#include <QFileInfo>
#include <QLockFile>
#include <QStorageInfo>

namespace {

// Less free space than this cannot hold a session's rows: the disk is full.
constexpr qint64 smallestFreeBytes = 64 * 1024;
// How long a start waits for another to finish taking its number.
constexpr int takingWaitMilliseconds = 10'000;
// A notebook is read whole to find its last session; one larger than this
// is not a notebook a lab wrote.
constexpr qint64 largestNotebook = 256 * 1024 * 1024;
// A bound on the session numbers tried when running labs hold the next ones.
constexpr int largestSessionsRunning = 1000;

QString hiddenBeside(const QString &path, const QString &suffix)
{
    const QFileInfo info(path);
    return info.dir().filePath(QStringLiteral(".%1.%2").arg(info.fileName(), suffix));
}

} // namespace

NotebookFile::NotebookFile() = default;
NotebookFile::~NotebookFile() = default;

QString NotebookFile::takingLockPath(const QString &path)
{
    return hiddenBeside(path, QStringLiteral("lock"));
}

QString NotebookFile::sessionLockPath(const QString &path, int session)
{
    return hiddenBeside(path, QStringLiteral("session-%1.lock").arg(session));
}

bool NotebookFile::fail(const QString &why)
{
    m_error = why;
    m_file.close();
    m_sessionLock.reset();
    return false;
}

bool NotebookFile::open(const QString &path)
{
    m_file.setFileName(path);
    const QFileInfo info(path);
    if (info.isDir())
        return fail(QStringLiteral("%1 is a folder, not a file").arg(path));
    if (!info.absoluteDir().exists())
        return fail(QStringLiteral("%1 cannot be written: its folder does not exist").arg(path));
    QLockFile taking(takingLockPath(path));
    if (!taking.tryLock(takingWaitMilliseconds)) {
        // No lock can be made where the notebook cannot be written either.
        return fail(taking.error() == QLockFile::LockFailedError
                        ? QStringLiteral("%1 is being opened by another lab that does not let go").arg(path)
                        : QStringLiteral("%1 cannot be written: no lock can be made in its folder").arg(path));
    }
    return openLocked(path);
}

bool NotebookFile::openLocked(const QString &path)
{
    const QFileInfo info(path);
    QByteArray existing;
    NotebookCsv::ParseResult existingRows;
    if (info.exists()) {
        QFile reader(path);
        if (!reader.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1 cannot be read: %2").arg(path, reader.errorString()));
        existing = reader.read(largestNotebook + 1);
        if (existing.size() > largestNotebook)
            return fail(QStringLiteral("%1 is too large to be a lab notebook; it is left as it is").arg(path));
        existingRows = NotebookCsv::parse(existing, NotebookCsv::Ending::StillGrowing);
        if (!existing.isEmpty() && !existingRows.hasHeader)
            return fail(QStringLiteral("%1 is not a lab notebook; it is left as it is").arg(path));
        if (existingRows.form.separator != ',')
            return fail(QStringLiteral("%1 was saved by a spreadsheet with semicolons between its fields; the lab "
                                       "writes only to notebooks in its own form, so it is left as it is (start a "
                                       "new notebook)").arg(path));
        m_form = existingRows.form;
    }
    // Each row goes to the file in one write at its end, however many labs
    // append to it.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return fail(QStringLiteral("%1 cannot be written: %2").arg(path, m_file.errorString()));
    const QStorageInfo storage(info.absolutePath());
    if (storage.isValid() && storage.bytesAvailable() < smallestFreeBytes)
        return fail(QStringLiteral("the disk that holds %1 is full").arg(path));
    // A new notebook starts with its header; one whose last line was cut
    // short (a lab killed while writing, a spreadsheet that saves no last
    // line end) gets its line ended first, so that the new rows stand on
    // lines of their own.
    const QByteArray start = existing.isEmpty() ? NotebookCsv::header(m_form)
        : existing.endsWith('\n')              ? QByteArray()
                                               : QByteArray("\r\n");
    if (!start.isEmpty() && m_file.write(start) != start.size())
        return fail(QStringLiteral("%1 cannot be written: %2").arg(path, m_file.errorString()));
    int last = 0;
    for (const NotebookRow &row : existingRows.rows)
        last = qMax(last, row.session);
    return takeSession(path, last);
}

bool NotebookFile::takeSession(const QString &path, int lastInFile)
{
    for (int session = lastInFile + 1; session <= lastInFile + largestSessionsRunning; ++session) {
        auto lock = std::make_unique<QLockFile>(sessionLockPath(path, session));
        // Held as long as the lab runs: never stale by its age, only when
        // the lab that holds it is gone.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            m_session = session;
            m_sessionLock = std::move(lock);
            return true;
        }
        if (lock->error() != QLockFile::LockFailedError)
            return fail(QStringLiteral("%1 cannot be written: no lock can be made beside it").arg(path));
    }
    return fail(QStringLiteral("%1 has too many labs recording into it").arg(path));
}

bool NotebookFile::append(const NotebookRow &row)
{
    if (!m_file.isOpen())
        return false;
    const QByteArray line = NotebookCsv::encode(row, m_form);
    if (m_file.write(line) != line.size())
        return fail(QStringLiteral("%1 cannot be written: %2").arg(m_file.fileName(), m_file.errorString()));
    return true;
}
