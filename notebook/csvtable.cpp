#include "csvtable.h"

namespace {

constexpr char separator = ',';
constexpr char quote = '"';

QByteArray quoted(const QString &field)
{
    QByteArray bytes = field.toUtf8();
    if (!bytes.contains(separator) && !bytes.contains(quote) && !bytes.contains('\r') && !bytes.contains('\n'))
        return bytes;
    bytes.replace(quote, QByteArray(2, quote));
    return quote + bytes + quote;
}

} // namespace

QByteArrayView CsvTable::withoutByteOrderMark(QByteArrayView text)
{
    return text.startsWith("\xEF\xBB\xBF") ? text.sliced(3) : text;
}

CsvTable::Records CsvTable::records(QByteArrayView text, int firstLine)
{
    Records records;
    records.nextLine = firstLine;
    Record record{{QByteArray()}, firstLine, 0, 0, false};
    int line = firstLine;
    bool inQuotes = false;
    for (qsizetype index = 0; index < text.size(); ++index) {
        const char character = text[index];
        if (inQuotes) {
            if (character == quote && index + 1 < text.size() && text[index + 1] == quote) {
                record.fields.back().append(quote);
                ++index;
            } else if (character == quote) {
                inQuotes = false;
            } else {
                line += character == '\n';
                record.fields.back().append(character);
            }
        } else if (character == quote) {
            inQuotes = true;
        } else if (character == separator) {
            if (record.fields.size() < largestFieldCount)
                record.fields.append(QByteArray());
            else
                record.hasTooManyFields = true;
        } else if (character == '\n') {
            if (record.fields.back().endsWith('\r'))
                record.fields.back().chop(1);
            record.end = index + 1;
            records.complete.push_back(record);
            ++line;
            records.consumed = index + 1;
            records.nextLine = line;
            record = Record{{QByteArray()}, line, index + 1, index + 1, false};
        } else if (!record.hasTooManyFields) {
            record.fields.back().append(character);
        }
    }
    records.hasUnfinishedRecord = records.consumed < text.size();
    return records;
}

QByteArray CsvTable::line(const QStringList &fields)
{
    QByteArray bytes;
    for (qsizetype index = 0; index < fields.size(); ++index) {
        if (index > 0)
            bytes.append(separator);
        bytes.append(quoted(fields[index]));
    }
    return bytes + "\r\n";
}
