#include "classlist.h"

#include "csvtable.h"

#include <QStringDecoder>

namespace {

// The list's text as UTF-8: as it is when it is UTF-8, else read as
// Windows-1252.
QByteArray asUtf8(QByteArrayView bytes, bool *wasWindows1252)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    *wasWindows1252 = utf8.hasError();
    if (!*wasWindows1252)
        return bytes.toByteArray();
    QStringDecoder windows1252("windows-1252");
    if (!windows1252.isValid())
        return QString::fromLatin1(bytes).toUtf8(); // Latin-1 holds every letter of 1252 but a few signs
    return QString(windows1252(bytes)).toUtf8();
}

} // namespace

std::optional<ClassList> ClassList::read(const QByteArray &bytes, LineProblem *problem)
{
    const auto fail = [problem](int line, const QString &why) {
        *problem = LineProblem{line, why};
        return std::nullopt;
    };
    ClassList list;
    list.m_hadByteOrderMark = CsvTable::hasByteOrderMark(bytes);
    const QByteArray text = asUtf8(CsvTable::withoutByteOrderMark(bytes), &list.m_wasWindows1252);
    list.m_separator = CsvTable::separatorOf(text);
    const CsvTable::Records read = CsvTable::records(text, 1, list.m_separator, CsvTable::TextEnd::IsEnd);
    if (read.hasUnfinishedRecord)
        return fail(read.nextLine, QStringLiteral("a quote that is never closed"));
    if (read.complete.empty())
        return fail(1, QStringLiteral("the class list is empty"));
    for (const QByteArray &field : read.complete.front().fields)
        list.m_header << QString::fromUtf8(field).trimmed();
    for (std::size_t index = 1; index < read.complete.size(); ++index) {
        const CsvTable::Record &record = read.complete[index];
        if (record.fields.size() == 1 && record.fields.first().trimmed().isEmpty())
            continue;
        if (record.fields.size() != list.m_header.size() || record.hasTooManyFields)
            return fail(record.line, QStringLiteral("%1 fields, the header has %2")
                                         .arg(record.fields.size()).arg(list.m_header.size()));
        Student student{{}, record.line};
        for (const QByteArray &field : record.fields)
            student.fields << QString::fromUtf8(field);
        list.m_students.push_back(student);
    }
    return list;
}

qsizetype ClassList::column(const QString &name) const
{
    for (qsizetype index = 0; index < m_header.size(); ++index) {
        if (m_header[index].compare(name, Qt::CaseInsensitive) == 0)
            return index;
    }
    return -1;
}

QByteArray ClassList::written(const QStringList &header, const std::vector<QStringList> &rows) const
{
    QByteArray bytes = m_hadByteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    bytes += CsvTable::line(header, m_separator);
    for (const QStringList &row : rows)
        bytes += CsvTable::line(row, m_separator);
    return bytes;
}
