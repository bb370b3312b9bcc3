#pragma once

#include "notebookrow.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A class list as spreadsheets save it: CSV with a header row, the fields
// separated by commas or, from a spreadsheet in a decimal-comma language
// (German, French), by semicolons, told by the header. The text is UTF-8,
// with or without a byte order mark; a list that is not UTF-8 is what Excel
// on Windows writes, Windows-1252, and is read as that, so that "Jürgen
// Müller" keeps his letters.
class ClassList
{
public:
    struct Student
    {
        QStringList fields; // the list's own columns
        int line = 0;
    };

    // The list, or nothing with `problem` naming the line that cannot be read.
    static std::optional<ClassList> read(const QByteArray &bytes, LineProblem *problem);

    const QStringList &header() const { return m_header; }
    const std::vector<Student> &students() const { return m_students; }
    // The column headed `name` (case ignored), or -1.
    qsizetype column(const QString &name) const;
    // Whether the list was not UTF-8 and was read as Windows-1252.
    bool wasWindows1252() const { return m_wasWindows1252; }

    // A list in this one's form (its separator; a byte order mark if it had
    // one, for the spreadsheet that wrote it), always UTF-8.
    QByteArray written(const QStringList &header, const std::vector<QStringList> &rows) const;

private:
    QStringList m_header;
    std::vector<Student> m_students;
    char m_separator = ',';
    bool m_hadByteOrderMark = false;
    bool m_wasWindows1252 = false;
};
