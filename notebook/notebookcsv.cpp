#include "notebookcsv.h"

#include "csvtable.h"

#include <QList>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

// A number as the lab writes one: decimal point, no exponent, finite.
bool isPlainNumber(const QString &text)
{
    static const QRegularExpression plain(QStringLiteral("^-?\\d+(\\.\\d+)?$"));
    return plain.match(text).hasMatch();
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

NotebookCsv::ParseResult NotebookCsv::parse(QByteArrayView bytes, Ending ending)
{
    const QByteArrayView text = CsvTable::withoutByteOrderMark(bytes);
    const qsizetype mark = bytes.size() - text.size();
    const QByteArray header = NotebookCsv::header().trimmed();
    ParseResult result;
    const bool headerFits = text.startsWith(header) && text.size() > header.size()
        && (text[header.size()] == '\n' || text.sliced(header.size()).startsWith("\r\n"));
    if (!headerFits) {
        // A notebook being written may not have its header complete yet.
        if (ending == Ending::StillGrowing && QByteArrayView(header).startsWith(text.trimmed()))
            return result;
        result.problems << LineProblem{1, QStringLiteral("not a lab notebook (the first line must be the header \"%1\")")
                                              .arg(QString::fromUtf8(header))};
        return result;
    }
    const qsizetype headerEnd = text.indexOf('\n') + 1;
    result = parseRows(text.sliced(headerEnd), 2, ending);
    result.consumed += mark + headerEnd;
    return result;
}

NotebookCsv::ParseResult NotebookCsv::parseRows(QByteArrayView bytes, int firstLine, Ending ending)
{
    ParseResult result;
    const CsvTable::Records records = CsvTable::records(bytes, firstLine);
    result.consumed = records.consumed;
    for (const CsvTable::Record &record : records.complete) {
        if (record.fields.size() == 1 && record.fields.first().isEmpty())
            continue; // a blank line
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        // Decoding the record is the check: its text is not needed.
        const QString text = decoder(bytes.sliced(record.start, record.end - record.start));
        if (decoder.hasError()) {
            result.problems << LineProblem{record.line, QStringLiteral("not UTF-8 text")};
            continue;
        }
        if (record.fields.size() != NotebookRow::ColumnCount || record.hasTooManyFields) {
            result.problems << LineProblem{record.line, QStringLiteral("%1 fields, a notebook row has %2")
                                                            .arg(record.hasTooManyFields ? QStringLiteral("too many")
                                                                                         : QString::number(record.fields.size()))
                                                            .arg(int(NotebookRow::ColumnCount))};
            continue;
        }
        NotebookRow row;
        row.lineNumber = record.line;
        for (int column = 0; column < NotebookRow::ColumnCount; ++column)
            row.fields[column] = QString::fromUtf8(record.fields[column]);
        if (const QString problem = problemWith(row); !problem.isEmpty()) {
            result.problems << LineProblem{record.line, problem};
            continue;
        }
        result.rows.push_back(std::move(row));
    }
    if (ending == Ending::Finished && records.hasUnfinishedRecord)
        result.problems << LineProblem{records.nextLine, QStringLiteral("the last row is cut short (no line end, or a "
                                                                        "quote that is never closed)")};
    return result;
}
