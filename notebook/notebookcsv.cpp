#include "notebookcsv.h"

#include "csvtable.h"

#include <QList>
#include <QStringDecoder>

namespace {

bool isPlainNumber(const QString &text)
{
    bool ok = false;
    text.toDouble(&ok);
    return ok && !text.contains(QLatin1Char(',')) && text.trimmed() == text;
}

} // namespace

QByteArray NotebookCsv::header()
{
    QStringList names;
    for (const char *name : NotebookRow::columnNames)
        names << QLatin1String(name);
    return CsvTable::line(names);
}

QByteArray NotebookCsv::encode(const NotebookRow &row)
{
    return CsvTable::line(QStringList(row.fields.begin(), row.fields.end()));
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
    for (const CsvTable::Record &record : CsvTable::records(bytes, firstLine)) {
        result.consumed = record.end;
        if (record.fields.size() == 1 && record.fields.first().isEmpty())
            continue; // a blank line
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        // Decoding the record is the check: its text is not needed.
        const QString text = decoder(bytes.sliced(record.start, record.end - record.start));
        if (decoder.hasError()) {
            result.problems << QStringLiteral("line %1: not UTF-8 text").arg(record.line);
            continue;
        }
        if (record.fields.size() != NotebookRow::ColumnCount) {
            result.problems << QStringLiteral("line %1: %2 fields, a notebook row has %3")
                                   .arg(record.line).arg(record.fields.size()).arg(int(NotebookRow::ColumnCount));
            continue;
        }
        NotebookRow row;
        row.lineNumber = record.line;
        for (int column = 0; column < NotebookRow::ColumnCount; ++column)
            row.fields[column] = QString::fromUtf8(record.fields[column]);
        if (const QString problem = problemWith(row); !problem.isEmpty()) {
            result.problems << QStringLiteral("line %1: %2").arg(record.line).arg(problem);
            continue;
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}
