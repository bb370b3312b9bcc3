#pragma once

#include "notebookrow.h"

#include <QList>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// The lab notebook's file format: UTF-8 CSV after RFC 4180 (comma
// separator, CR LF line ends, a field holding a comma, a quote or a line
// break written in quotes with its quotes doubled), one header row naming
// the columns, then one row per event.
//
// It is read as spreadsheets save it again: a byte order mark in front, LF
// line ends, a quoted header, a last row without a line end, semicolons
// between fields and decimal commas in the numbers. Notebooks written before
// rows named their locale have one column less and are read as they are.
class NotebookCsv
{
public:
    // The shape of a notebook's rows: today's, or the one before the
    // locale column (and the oxides beyond the lab's own five).
    enum class Shape { WithLocale, WithoutLocale };
    struct Form
    {
        Shape shape = Shape::WithLocale;
        char separator = ',';
        // The row's columns in the order the file holds them.
        const std::vector<NotebookRow::Column> &columns() const;
        int columnCount() const { return int(columns().size()); }
    };

    // The header line, CR LF included: today's, or of the given form.
    static QByteArray header();
    static QByteArray header(Form form);
    // One row as a line of the file, CR LF included.
    static QByteArray encode(const NotebookRow &row);
    static QByteArray encode(const NotebookRow &row, Form form);

    struct [[nodiscard]] ParseResult
    {
        std::vector<NotebookRow> rows;
        // The rows that could not be read; a file that is no notebook at all
        // (a wrong header) has only this.
        QList<LineProblem> problems;
        // Bytes taken up by complete lines: reading on from here after the
        // file has grown reads just the new rows.
        qsizetype consumed = 0;
        Form form;
        bool hasHeader = false;
    };

    // Whether text after the last line end is a row the lab is still
    // writing (a notebook being followed) or the file's last row (a file
    // handed in, whose last line end a spreadsheet may have left out).
    enum class Ending { StillGrowing, Finished };

    // Reads a notebook, header first.
    static ParseResult parse(QByteArrayView bytes, Ending ending = Ending::Finished);
    // Reads rows that follow a header of `form` already read, the first of
    // them on line `firstLine`.
    static ParseResult parseRows(QByteArrayView bytes, int firstLine, Form form,
                                 Ending ending = Ending::StillGrowing);
};
