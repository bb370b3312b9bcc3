#pragma once

#include "notebookcsv.h"
#include "notebookrow.h"

#include <QFile>
#include <QString>

#include <memory>

class QLockFile;

// A lab notebook on disk that the lab appends to. A missing file is created
// with the header; an existing notebook is only ever appended to, never
// rewritten, and a file that is not a notebook is left alone. Every row is
// written whole in one append and reaches the disk at once, so a lab that is
// killed leaves every finished event on disk.
//
// Two labs may record into one notebook at the same time (a student with
// both experiments open, from the desktop's "today's notebook" twice). Each
// start takes a session number of its own: under a lock beside the
// notebook it takes the number after the last one in the file that no
// running lab holds, and holds that number's own lock while it runs. A lab
// that was killed leaves a stale lock, which the next start takes over.
class NotebookFile
{
public:
    NotebookFile();
    ~NotebookFile();

    // Opens (or creates) the notebook for appending and takes this lab
    // start's session number. False, with errorString() saying why, when it
    // cannot be written.
    [[nodiscard]] bool open(const QString &path);
    // 1 for the first lab start recorded in the file, then 2, 3, ...
    int session() const { return m_session; }
    // The form the rows are written in: the header's shape (the lab goes on
    // in a notebook's own shape, never two in one file).
    NotebookCsv::Form form() const { return m_form; }
    [[nodiscard]] bool append(const NotebookRow &row);
    QString errorString() const { return m_error; }

    // The lock a lab holds while it takes a session number, and the one it
    // holds on its number while it runs.
    static QString takingLockPath(const QString &path);
    static QString sessionLockPath(const QString &path, int session);

private:
    [[nodiscard]] bool fail(const QString &why);
    [[nodiscard]] bool openLocked(const QString &path);
    [[nodiscard]] bool takeSession(const QString &path, int lastInFile);

    QFile m_file;
    NotebookCsv::Form m_form;
    int m_session = 1;
    std::unique_ptr<QLockFile> m_sessionLock;
    QString m_error;
};
