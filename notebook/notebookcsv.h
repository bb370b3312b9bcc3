#pragma once

#include "notebookrow.h"

#include <QList>

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
        // The rows that could not be read; a file that is no notebook at all
        // (a wrong header) has only this.
        QList<LineProblem> problems;
        // Bytes taken up by complete lines: reading on from here after the
        // file has grown reads just the new rows.
        qsizetype consumed = 0;
    };

    // Whether text after the last line end is a row the lab is still
    // writing (a notebook being followed) or a row cut short (a file handed in).
    enum class Ending { StillGrowing, Finished };

    // Reads a notebook, header first (a UTF-8 byte order mark and LF line
    // ends are fine).
    static ParseResult parse(QByteArrayView bytes, Ending ending = Ending::Finished);
    // Reads rows that follow a header already read, the first of them on
    // line `firstLine`.
    static ParseResult parseRows(QByteArrayView bytes, int firstLine, Ending ending = Ending::StillGrowing);
    // Why a row's fields do not make a notebook row, or an empty string.
    static QString problemWith(const NotebookRow &row);
};
