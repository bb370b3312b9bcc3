#pragma once

#include <QString>

namespace wmf {

// What playing one record found wrong, and how far it reaches. Damage inside
// a record's own bounds (counts that run past it, an object index that
// names nothing, a short bitmap) costs only that record: it is skipped and
// drawing goes on. A file that pushes past a limit on the whole picture
// (saved states, clip pieces, objects, bitmap memory) is refused, because
// skipping one of its records would draw something other than the file.
struct [[nodiscard]] RecordProblem
{
    enum class Reach { None, Record, File };

    Reach reach = Reach::None;
    QString reason;

    static RecordProblem none() { return {}; }
    static RecordProblem damaged(QString reason) { return {Reach::Record, std::move(reason)}; }
    static RecordProblem overLimit(QString reason) { return {Reach::File, std::move(reason)}; }
    // Parameters that run past the record's own size.
    static RecordProblem shortRecord()
    {
        return damaged(QStringLiteral("the record is shorter than its parameters"));
    }

    bool isNone() const { return reach == Reach::None; }
};

// A record that was skipped, as the reader tells it: "record 408 (0x0922
// BitBlt): bitmap pixels are truncated (...)".
struct RecordWarning
{
    int recordNumber = 0; // counted from 1, the header not included
    quint16 function = 0;
    QString functionName;
    QString reason;

    QString toString() const
    {
        return QStringLiteral("record %1 (0x%2 %3): %4")
            .arg(recordNumber)
            .arg(function, 4, 16, QLatin1Char('0'))
            .arg(functionName, reason);
    }
};

} // namespace wmf
