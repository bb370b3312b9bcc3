#include "notebookcsv.h"

#include <QList>
#include <QStringDecoder>

namespace {

constexpr char separator = ',';
constexpr char quote = '"';
const QByteArray lineEnd = "\r\n";

QByteArray quoted(const QString &field)
{
    QByteArray bytes = field.toUtf8();
    if (!bytes.contains(separator) && !bytes.contains(quote) && !bytes.contains('\r') && !bytes.contains('\n'))
        return bytes;
    bytes.replace(quote, QByteArray(2, quote));
    return quote + bytes + quote;
}

// Splits the record that starts at `position` into its fields; moves
// `position` past its line end. False when the bytes end inside the record.
bool readRecord(QByteArrayView bytes, qsizetype &position, QList<QByteArray> &fields, int &linesSpanned)
{
    fields = {QByteArray()};
    linesSpanned = 1;
    bool inQuotes = false;
    for (qsizetype index = position; index < bytes.size(); ++index) {
        const char character = bytes[index];
        if (inQuotes) {
            if (character == quote) {
                if (index + 1 < bytes.size() && bytes[index + 1] == quote) {
                    fields.back().append(quote);
                    ++index;
                } else {
                    inQuotes = false;
                }
            } else {
                if (character == '\n')
                    ++linesSpanned;
                fields.back().append(character);
            }
            continue;
        }
        if (character == quote) {
            inQuotes = true;
        } else if (character == separator) {
            fields.append(QByteArray());
        } else if (character == '\n') {
            if (fields.back().endsWith('\r'))
                fields.back().chop(1);
            position = index + 1;
            return true;
        } else {
            fields.back().append(character);
        }
    }
    return false;
}

bool isPlainNumber(const QString &text)
{
    bool ok = false;
    text.toDouble(&ok);
    return ok && !text.contains(QLatin1Char(',')) && text.trimmed() == text;
}

} // namespace

QByteArray NotebookCsv::header()
{
    QByteArray line;
    for (int column = 0; column < NotebookRow::ColumnCount; ++column) {
        if (column > 0)
            line.append(separator);
        line.append(NotebookRow::columnNames[column]);
    }
    return line + lineEnd;
}

QByteArray NotebookCsv::encode(const NotebookRow &row)
{
    QByteArray line;
    for (int column = 0; column < NotebookRow::ColumnCount; ++column) {
        if (column > 0)
            line.append(separator);
        line.append(quoted(row.fields[column]));
    }
    return line + lineEnd;
}

QString NotebookCsv::problemWith(const NotebookRow &row)
{
    const auto field = [&](NotebookRow::Column column) { return row[column]; };
    bool ok = false;
    if (field(NotebookRow::Session).toInt(&ok) < 1 || !ok)
        return QStringLiteral("the session \"%1\" is not a number from 1 up").arg(field(NotebookRow::Session));
    if (field(NotebookRow::Experiment).toInt(&ok) < 1 || !ok)
        return QStringLiteral("the experiment \"%1\" is not a number from 1 up").arg(field(NotebookRow::Experiment));
    const QString event = field(NotebookRow::Event);
    if (event != QLatin1String(NotebookRow::runEvent) && event != QLatin1String(NotebookRow::entryErrorEvent)
        && event != QLatin1String(NotebookRow::abortEvent) && event != QLatin1String(NotebookRow::probeEvent))
        return QStringLiteral("\"%1\" is not an event of the lab").arg(event);
    QList<NotebookRow::Column> numbers{NotebookRow::SiO2, NotebookRow::Al2O3, NotebookRow::MgO, NotebookRow::CaO,
                                       NotebookRow::Na2O, NotebookRow::Total, NotebookRow::X2};
    if (event == QLatin1String(NotebookRow::probeEvent))
        numbers.prepend(NotebookRow::Temperature);
    for (const NotebookRow::Column column : numbers) {
        const QString &text = field(column);
        if (!text.isEmpty() && !isPlainNumber(text))
            return QStringLiteral("%1 \"%2\" is not a number").arg(QLatin1String(NotebookRow::columnNames[column]), text);
    }
    return {};
}

NotebookCsv::ParseResult NotebookCsv::parse(QByteArrayView bytes)
{
    ParseResult result;
    if (!bytes.startsWith(header())) {
        result.problems << QStringLiteral("line 1: not a lab notebook (the first line must be the header \"%1\")")
                               .arg(QString::fromUtf8(header().trimmed()));
        return result;
    }
    result = parseRows(bytes.sliced(header().size()), 2);
    result.consumed += header().size();
    return result;
}

NotebookCsv::ParseResult NotebookCsv::parseRows(QByteArrayView bytes, int firstLine)
{
    ParseResult result;
    qsizetype position = 0;
    int line = firstLine;
    QList<QByteArray> fields;
    int linesSpanned = 1;
    while (position < bytes.size()) {
        const qsizetype start = position;
        if (!readRecord(bytes, position, fields, linesSpanned))
            break; // the last line is not finished yet
        result.consumed = position;
        const int rowLine = line;
        line += linesSpanned;
        if (fields.size() == 1 && fields.first().isEmpty())
            continue; // a blank line
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(bytes.sliced(start, position - start));
        if (decoder.hasError()) {
            result.problems << QStringLiteral("line %1: not UTF-8 text").arg(rowLine);
            continue;
        }
        if (fields.size() != NotebookRow::ColumnCount) {
            result.problems << QStringLiteral("line %1: %2 fields, a notebook row has %3")
                                   .arg(rowLine).arg(fields.size()).arg(int(NotebookRow::ColumnCount));
            continue;
        }
        NotebookRow row;
        row.lineNumber = rowLine;
        for (int column = 0; column < NotebookRow::ColumnCount; ++column)
            row.fields[column] = QString::fromUtf8(fields[column]);
        if (const QString problem = problemWith(row); !problem.isEmpty()) {
            result.problems << QStringLiteral("line %1: %2").arg(rowLine).arg(problem);
            continue;
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}
