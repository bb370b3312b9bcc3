#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <vector>

// Comma-separated text after RFC 4180: comma between fields, CR LF (or LF)
// at the end of each record, a field holding a comma, a quote or a line
// break written in quotes with its quotes doubled. The lab notebook is one
// such table; so is an instructor's class list.
class CsvTable
{
public:
    struct Record
    {
        QList<QByteArray> fields; // as stored, quotes undone
        int line = 0;             // the line the record starts on, from 1
        qsizetype start = 0;      // its bytes in the text
        qsizetype end = 0;
    };

    // The complete records of the text, from line `firstLine` on; a last
    // record without its line end is left out (it may still be being written).
    static std::vector<Record> records(QByteArrayView text, int firstLine = 1);
    // One record as a line, CR LF included.
    static QByteArray line(const QStringList &fields);
};
