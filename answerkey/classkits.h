#pragma once

#include "classlist.h"
#include "kit.h"
#include "notebookrow.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A class list with a kit for every student. The list has a name column
// and an id column (matched by their headings, "name" and "id", case
// ignored), and any others, which are kept. Every student gets a kit of
// their own, made from the class seed and their id: the same list and seed
// give the same kits on every machine.
class ClassKits
{
public:
    struct Student
    {
        QString name;
        QString id;
        QStringList fields; // the list's own columns
        Kit kit = Kit::fromNumber(0);
    };

    // The list read and a kit given to each, or nothing with `error`
    // naming the line that cannot be read.
    static std::optional<ClassKits> read(const QByteArray &list, std::uint64_t seed, LineProblem *problem);

    const std::vector<Student> &students() const { return m_students; }
    // Whether the list was not UTF-8 and was read as Windows-1252.
    bool wasWindows1252() const { return m_list.wasWindows1252(); }
    // The list as it came, with a "kit" column added, in UTF-8.
    QByteArray withKits() const;

private:
    explicit ClassKits(ClassList list) : m_list(std::move(list)) {}

    ClassList m_list;
    std::vector<Student> m_students;
};
