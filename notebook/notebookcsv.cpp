#include "notebookcsv.h"

#include "csvtable.h"

#include <QStringDecoder>
#include <QStringList>

namespace {

QStringList columnNames(NotebookCsv::Form form)
{
    QStringList names;
    for (const NotebookRow::Column column : form.columns())
        names << QLatin1String(NotebookRow::columnNames[column]);
    return names;
}

// The header's form, or nothing for a first line that is not a header.
std::optional<NotebookCsv::Form> formOfHeader(QByteArrayView line)
{
    const char separator = CsvTable::separatorOf(line);
    const CsvTable::Records read = CsvTable::records(line, 1, separator, CsvTable::TextEnd::IsEnd);
    if (read.complete.size() != 1)
        return std::nullopt;
    QStringList names;
    for (const QByteArray &field : read.complete.front().fields)
        names << QString::fromUtf8(field);
    for (const NotebookCsv::Shape shape : {NotebookCsv::Shape::WithLocale, NotebookCsv::Shape::WithoutLocale}) {
        if (names == columnNames({shape, separator}))
            return NotebookCsv::Form{shape, separator};
    }
    return std::nullopt;
}

} // namespace

const std::vector<NotebookRow::Column> &NotebookCsv::Form::columns() const
{
    using C = NotebookRow::Column;
    static const std::vector<C> today = [] {
        std::vector<C> all;
        for (int column = 0; column < NotebookRow::ColumnCount; ++column)
            all.push_back(C(column));
        return all;
    }();
    static const std::vector<C> beforeLocale{C::Time,    C::Session, C::Experiment, C::Event, C::Grams1, C::Grams2,
                                             C::Temperature, C::Picture, C::Charge, C::Phase, C::SiO2, C::Al2O3,
                                             C::MgO,     C::CaO,     C::Na2O,       C::Total, C::X2,     C::Kit};
    return shape == Shape::WithLocale ? today : beforeLocale;
}

QByteArray NotebookCsv::header()
{
    return header(Form());
}

QByteArray NotebookCsv::encode(const NotebookRow &row)
{
    return encode(row, Form());
}

QByteArray NotebookCsv::header(Form form)
{
    return CsvTable::line(columnNames(form), form.separator);
}

QByteArray NotebookCsv::encode(const NotebookRow &row, Form form)
{
    QStringList fields;
    for (const NotebookRow::Column column : form.columns())
        fields << row[column];
    return CsvTable::line(fields, form.separator);
}

NotebookCsv::ParseResult NotebookCsv::parse(QByteArrayView bytes, Ending ending)
{
    const QByteArrayView text = CsvTable::withoutByteOrderMark(bytes);
    const qsizetype mark = bytes.size() - text.size();
    ParseResult result;
    const qsizetype lineEnd = text.indexOf('\n');
    if (lineEnd < 0 && ending == Ending::StillGrowing)
        return result; // the header is still being written (or nothing is)
    const QByteArrayView headerLine = lineEnd < 0 ? text : text.first(lineEnd + 1);
    const std::optional<Form> form = formOfHeader(headerLine);
    if (!form) {
        result.problems << LineProblem{1, QStringLiteral("not a lab notebook (the first line must be the header \"%1\")")
                                              .arg(QString::fromUtf8(header().trimmed()))};
        return result;
    }
    const qsizetype headerEnd = headerLine.size();
    result = parseRows(text.sliced(headerEnd), 2, *form, ending);
    result.consumed += mark + headerEnd;
    result.hasHeader = true;
    return result;
}

NotebookCsv::ParseResult NotebookCsv::parseRows(QByteArrayView bytes, int firstLine, Form form, Ending ending)
{
    ParseResult result;
    result.form = form;
    result.hasHeader = true;
    const CsvTable::Records records = CsvTable::records(
        bytes, firstLine, form.separator, ending == Ending::Finished ? CsvTable::TextEnd::IsEnd : CsvTable::TextEnd::MayGrow);
    result.consumed = records.consumed;
    for (const CsvTable::Record &record : records.complete) {
        if (record.fields.size() == 1 && record.fields.first().trimmed().isEmpty())
            continue; // a blank line
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        // Decoding the record is the check: its text is not needed.
        const QString text = decoder(bytes.sliced(record.start, record.end - record.start));
        if (decoder.hasError()) {
            result.problems << LineProblem{record.line, QStringLiteral("not UTF-8 text")};
            continue;
        }
        if (record.fields.size() != form.columnCount() || record.hasTooManyFields) {
            result.problems << LineProblem{record.line, QStringLiteral("%1 fields, a notebook row has %2")
                                                            .arg(record.hasTooManyFields ? QStringLiteral("too many")
                                                                                         : QString::number(record.fields.size()))
                                                            .arg(form.columnCount())};
            continue;
        }
        NotebookRow row;
        row.lineNumber = record.line;
        const std::vector<NotebookRow::Column> &columns = form.columns();
        for (std::size_t index = 0; index < columns.size(); ++index)
            row.fields[columns[index]] = QString::fromUtf8(record.fields[qsizetype(index)]);
        if (const QString problem = row.readFields(); !problem.isEmpty()) {
            result.problems << LineProblem{record.line, problem};
            continue;
        }
        result.rows.push_back(std::move(row));
    }
    if (ending == Ending::Finished && records.hasUnfinishedRecord)
        result.problems << LineProblem{records.nextLine, QStringLiteral("the last row is cut short (a quote that is "
                                                                        "never closed)")};
    return result;
}
