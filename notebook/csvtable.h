#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <vector>

// Comma-separated text after RFC 4180: a separator between fields, CR LF (or
// LF) at the end of each record, a field holding the separator, a quote or a
// line break written in quotes with its quotes doubled. The lab notebook is
// one such table; so is an instructor's class list.
//
// Spreadsheets set to a decimal-comma language (German, French) write a
// semicolon between fields instead, so the separator is one of the two,
// told by the header line.
class CsvTable
{
public:
    // A record holds at most this many fields; the rest of a longer one is
    // dropped and the record marked, so that no text can make millions.
    static constexpr qsizetype largestFieldCount = 256;

    struct Record
    {
        QList<QByteArray> fields; // as stored, quotes undone
        int line = 0;             // the line the record starts on, from 1
        qsizetype start = 0;      // its bytes in the text
        qsizetype end = 0;
        bool hasTooManyFields = false;
    };

    // Whether the text is all there is (a file handed in: a last record
    // without a line end is still a record) or may still grow (a notebook
    // the lab is writing: text after the last line end is a record being
    // written, left for the next look).
    enum class TextEnd { MayGrow, IsEnd };

    struct Records
    {
        std::vector<Record> complete;
        // Where the last complete record ends, and the line after it.
        qsizetype consumed = 0;
        int nextLine = 1;
        // Text after the last complete record: a record still being
        // written, or one whose quote never closes.
        bool hasUnfinishedRecord = false;
    };

    // The complete records of the text, from line `firstLine` on.
    static Records records(QByteArrayView text, int firstLine = 1, char separator = ',',
                           TextEnd end = TextEnd::MayGrow);
    // The separator of a table whose first line is `text`'s: a semicolon when
    // the line has more of them than commas outside quotes, else a comma.
    static char separatorOf(QByteArrayView text);
    // The text without a UTF-8 byte order mark in front (spreadsheets write one).
    static QByteArrayView withoutByteOrderMark(QByteArrayView text);
    static bool hasByteOrderMark(QByteArrayView text);
    // One record as a line, CR LF included.
    static QByteArray line(const QStringList &fields, char separator = ',');
};
