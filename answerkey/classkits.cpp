#include "classkits.h"

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

std::optional<ClassKits> ClassKits::read(const QByteArray &bytes, std::uint64_t seed, LineProblem *problem)
{
    std::optional<ClassList> list = ClassList::read(bytes, problem);
    if (!list)
        return std::nullopt;
    const auto fail = [problem](int line, const QString &why) {
        *problem = LineProblem{line, why};
        return std::nullopt;
    };
    const qsizetype nameColumn = list->column(QStringLiteral("name"));
    const qsizetype idColumn = list->column(QStringLiteral("id"));
    if (nameColumn < 0 || idColumn < 0)
        return fail(1, QStringLiteral("the class list needs a \"name\" and an \"id\" column"));
    ClassKits kits(std::move(*list));
    QSet<QString> ids;
    QSet<std::uint64_t> taken;
    for (const ClassList::Student &row : kits.m_list.students()) {
        Student student;
        student.fields = row.fields;
        student.name = student.fields[nameColumn].trimmed();
        student.id = student.fields[idColumn].trimmed();
        if (student.id.isEmpty() || ids.contains(student.id))
            return fail(row.line, QStringLiteral("every student needs an id of their own"));
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
    std::vector<QStringList> rows;
    for (const Student &student : m_students)
        rows.push_back(student.fields + QStringList{QString::fromStdString(student.kit.code())});
    return m_list.written(m_list.header() + QStringList{QStringLiteral("kit")}, rows);
}
