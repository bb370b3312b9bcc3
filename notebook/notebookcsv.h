#pragma once

#include "notebookrow.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

// The lab notebook's file format: UTF-8 CSV after RFC 4180 (comma
// separator, CR LF line ends, a field holding a comma, a quote or a line
// break written in quotes with its quotes doubled), one header row naming
// the columns, then one row per event.
class NotebookCsv
{
public:
    // The header line, CR LF included.
    static QByteArray header();
    // One row as a line of the file, CR LF included.
    static QByteArray encode(const NotebookRow &row);

    struct [[nodiscard]] ParseResult
    {
        std::vector<NotebookRow> rows;
        // The rows that could not be read, each "line N: why"; a file that is
        // no notebook at all (wrong header, not UTF-8) has only this.
        QStringList problems;
        // Bytes taken up by complete lines: reading on from here after the
        // file has grown reads just the new rows.
        qsizetype consumed = 0;
    };

    // Reads a whole notebook, header first.
    static ParseResult parse(QByteArrayView bytes);
    // Reads rows that follow a header already read, the first of them on
    // line `firstLine`. An incomplete last line is left for later.
    static ParseResult parseRows(QByteArrayView bytes, int firstLine);
    // Why a row's fields do not make a notebook row, or an empty string.
    static QString problemWith(const NotebookRow &row);
};
