#pragma once

#include "notebookrow.h"

#include <QFile>
#include <QString>

// A lab notebook on disk that the lab appends to. A missing file is created
// with the header; an existing notebook is only ever appended to, never
// rewritten, and a file that is not a notebook is left alone. Every row is
// flushed as it is written, so a lab that is killed leaves every finished
// event on disk.
class NotebookFile
{
public:
    // Opens (or creates) the notebook for appending and works out this lab
    // start's session number. False, with errorString() saying why, when it
    // cannot be written.
    [[nodiscard]] bool open(const QString &path);
    // 1 for the first lab start recorded in the file, then 2, 3, ...
    int session() const { return m_session; }
    [[nodiscard]] bool append(const NotebookRow &row);
    QString errorString() const { return m_error; }

private:
    [[nodiscard]] bool fail(const QString &why);

    QFile m_file;
    int m_session = 1;
    QString m_error;
};
