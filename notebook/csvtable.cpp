#include "csvtable.h"

namespace {

constexpr char quote = '"';
constexpr QByteArrayView byteOrderMark("\xEF\xBB\xBF");

QByteArray quoted(const QString &field, char separator)
{
    QByteArray bytes = field.toUtf8();
    if (!bytes.contains(separator) && !bytes.contains(quote) && !bytes.contains('\r') && !bytes.contains('\n'))
        return bytes;
    bytes.replace(quote, QByteArray(2, quote));
    return quote + bytes + quote;
}

} // namespace

bool CsvTable::hasByteOrderMark(QByteArrayView text)
{
    return text.startsWith(byteOrderMark);
}

QByteArrayView CsvTable::withoutByteOrderMark(QByteArrayView text)
{
    return hasByteOrderMark(text) ? text.sliced(byteOrderMark.size()) : text;
}

char CsvTable::separatorOf(QByteArrayView text)
{
    qsizetype commas = 0;
    qsizetype semicolons = 0;
    bool inQuotes = false;
    for (const char character : text) {
        if (character == quote)
            inQuotes = !inQuotes;
        else if (!inQuotes && character == '\n')
            break;
        else if (!inQuotes && character == ',')
            ++commas;
        else if (!inQuotes && character == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

CsvTable::Records CsvTable::records(QByteArrayView text, int firstLine, char separator, TextEnd end)
{
    Records records;
    records.nextLine = firstLine;
    Record record{{QByteArray()}, firstLine, 0, 0, false};
    int line = firstLine;
    bool inQuotes = false;
    const auto finishRecord = [&](qsizetype after) {
        if (record.fields.back().endsWith('\r'))
            record.fields.back().chop(1);
        record.end = after;
        records.complete.push_back(record);
        ++line;
        records.consumed = after;
        records.nextLine = line;
        record = Record{{QByteArray()}, line, after, after, false};
    };
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
            finishRecord(index + 1);
        } else if (!record.hasTooManyFields) {
            record.fields.back().append(character);
        }
    }
    // A file's last record needs no line end, as long as its quotes close.
    if (end == TextEnd::IsEnd && !inQuotes && records.consumed < text.size()) {
        finishRecord(text.size());
    }
    records.hasUnfinishedRecord = records.consumed < text.size();
    return records;
}

QByteArray CsvTable::line(const QStringList &fields, char separator)
{
    QByteArray bytes;
    for (qsizetype index = 0; index < fields.size(); ++index) {
        if (index > 0)
            bytes.append(separator);
        bytes.append(quoted(fields[index], separator));
    }
    return bytes + "\r\n";
}
