#include "classkits.h"

#include "csvtable.h"

#include <QRegularExpression>

#include <QCryptographicHash>
#include <QSet>

namespace {

// The kit number for a student: a hash of the class seed, the id and how
// many numbers were already taken by others.
std::uint64_t kitNumber(std::uint64_t seed, const QString &id, int attempt)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray::number(qulonglong(seed)) + '\n' + id.toUtf8() + '\n' + QByteArray::number(attempt));
    const QByteArray digest = hash.result();
    std::uint64_t number = 0;
    for (int index = 0; index < 8; ++index)
        number = (number << 8) | quint8(digest[index]);
    return number;
}

} // namespace

std::optional<ClassKits> ClassKits::read(const QByteArray &list, std::uint64_t seed, LineProblem *problem)
{
    const QByteArrayView text = CsvTable::withoutByteOrderMark(list);
    const CsvTable::Records read = CsvTable::records(text.endsWith('\n') ? text.toByteArray() : text.toByteArray() + '\n');
    const auto fail = [problem](int line, const QString &why) {
        *problem = LineProblem{line, why};
        return std::nullopt;
    };
    if (read.hasUnfinishedRecord)
        return fail(read.nextLine, QStringLiteral("a quote that is never closed"));
    const std::vector<CsvTable::Record> &records = read.complete;
    if (records.empty())
        return fail(1, QStringLiteral("the class list is empty"));
    ClassKits kits;
    for (const QByteArray &field : records.front().fields)
        kits.m_header << QString::fromUtf8(field).trimmed();
    const qsizetype nameColumn = kits.m_header.indexOf(QRegularExpression(QStringLiteral("^name$"),
                                                                          QRegularExpression::CaseInsensitiveOption));
    const qsizetype idColumn = kits.m_header.indexOf(QRegularExpression(QStringLiteral("^id$"),
                                                                        QRegularExpression::CaseInsensitiveOption));
    if (nameColumn < 0 || idColumn < 0)
        return fail(1, QStringLiteral("the class list needs a \"name\" and an \"id\" column"));
    QSet<QString> ids;
    QSet<std::uint64_t> taken;
    for (std::size_t index = 1; index < records.size(); ++index) {
        const CsvTable::Record &record = records[index];
        if (record.fields.size() == 1 && record.fields.first().trimmed().isEmpty())
            continue;
        if (record.fields.size() != kits.m_header.size() || record.hasTooManyFields)
            return fail(record.line, QStringLiteral("%1 fields, the header has %2")
                                         .arg(record.fields.size()).arg(kits.m_header.size()));
        Student student;
        for (const QByteArray &field : record.fields)
            student.fields << QString::fromUtf8(field);
        student.name = student.fields[nameColumn].trimmed();
        student.id = student.fields[idColumn].trimmed();
        if (student.id.isEmpty() || ids.contains(student.id))
            return fail(record.line, QStringLiteral("every student needs an id of their own"));
        ids.insert(student.id);
        for (int attempt = 0;; ++attempt) {
            student.kit = Kit::fromNumber(kitNumber(seed, student.id, attempt));
            if (!taken.contains(student.kit.number()))
                break;
        }
        taken.insert(student.kit.number());
        kits.m_students.push_back(student);
    }
    return kits;
}

QByteArray ClassKits::withKits() const
{
    QByteArray bytes = CsvTable::line(m_header + QStringList{QStringLiteral("kit")});
    for (const Student &student : m_students)
        bytes += CsvTable::line(student.fields + QStringList{QString::fromStdString(student.kit.code())});
    return bytes;
}
