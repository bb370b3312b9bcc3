#include "classcheck.h"

#include "classlist.h"
#include "csvtable.h"
#include "notebookcheck.h"
#include "notebookcsv.h"

#include <QSet>

ClassCheck::ClassCheck(const QLocale &fallbackLocale, const SystemLibrary &systems)
    : m_fallbackLocale(fallbackLocale)
    , m_systems(systems)
{
}

bool ClassCheck::readRoster(const QByteArray &bytes, LineProblem *problem)
{
    const std::optional<ClassList> list = ClassList::read(bytes, problem);
    if (!list)
        return false;
    const qsizetype name = list->column(QStringLiteral("name"));
    const qsizetype id = list->column(QStringLiteral("id"));
    const qsizetype kit = list->column(QStringLiteral("kit"));
    if (name < 0 || id < 0 || kit < 0) {
        *problem = LineProblem{1, QStringLiteral("the roster needs a \"name\", an \"id\" and a \"kit\" column, as "
                                                 "--class writes it")};
        return false;
    }
    if (list->wasWindows1252())
        m_notes << QStringLiteral("the roster is not UTF-8 text; it is read as Windows-1252, as Excel writes it");
    QSet<QString> kits;
    for (const ClassList::Student &student : list->students()) {
        std::string why;
        const std::optional<Kit> code = Kit::fromCode(student.fields[kit].toStdString(), &why);
        if (!code || kits.contains(QString::fromStdString(code->code()))) {
            *problem = LineProblem{student.line, code ? QStringLiteral("a kit that another student has")
                                                      : QStringLiteral("kit \"%1\": %2")
                                                            .arg(student.fields[kit], QString::fromStdString(why))};
            return false;
        }
        kits.insert(QString::fromStdString(code->code()));
        m_students.push_back({student.fields[id].trimmed(), student.fields[name].trimmed(),
                              QString::fromStdString(code->code()), {}, 0, 0, 0, false, {}});
    }
    return true;
}

ClassCheck::Entry *ClassCheck::studentWithKit(const QStringList &kits)
{
    for (const QString &kit : kits) {
        for (Entry &student : m_students) {
            if (student.kit == kit)
                return &student;
        }
    }
    return nullptr;
}

void ClassCheck::addUnreadable(const QString &path, const QString &why)
{
    m_notes << QStringLiteral("%1 cannot be read: %2").arg(path, why);
    m_unmatched.push_back({{}, {}, {}, {path}, 0, 0, 0, true, QStringLiteral("unreadable")});
}

void ClassCheck::addNotebook(const QString &path, const QByteArray &bytes)
{
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(bytes);
    QStringList kits;
    for (const NotebookRow &row : parsed.rows) {
        if (!kits.contains(row[NotebookRow::Kit]))
            kits << row[NotebookRow::Kit];
    }
    QStringList codes = kits;
    codes.removeAll(QString());
    Entry *student = studentWithKit(codes);
    if (!student) {
        const QString verdict = !parsed.problems.isEmpty() ? QStringLiteral("unreadable")
            : codes.isEmpty()                              ? QStringLiteral("no kit")
                                                           : QStringLiteral("unknown kit");
        m_unmatched.push_back({{}, {}, codes.join(QLatin1Char(' ')), {path}, 0, int(parsed.rows.size()), 0,
                               !parsed.problems.isEmpty(), verdict});
        for (const LineProblem &problem : parsed.problems)
            m_notes << problem.in(path);
        return;
    }
    student->files << path;
    if (!parsed.problems.isEmpty()) {
        student->unreadable = true;
        for (const LineProblem &problem : parsed.problems)
            m_notes << problem.in(path);
        return;
    }
    NotebookCheck check(m_fallbackLocale, m_systems);
    check.setExpectedKit(Kit::fromCode(student->kit.toStdString()));
    const NotebookCheck::Result result = check.check(parsed.rows);
    QSet<int> lines;
    for (const LineProblem &disagreement : result.disagreements)
        lines.insert(disagreement.line);
    student->sessions += result.sessions;
    student->rows += result.rowsChecked;
    student->disagreeingLines += int(lines.size());
}

QString ClassCheck::Entry::verdict() const
{
    if (!unmatched.isEmpty())
        return unmatched;
    if (files.isEmpty())
        return QStringLiteral("missing");
    if (unreadable)
        return QStringLiteral("unreadable");
    return disagreeingLines == 0 ? QStringLiteral("agrees")
                                 : QStringLiteral("disagrees (%1 %2)")
                                       .arg(disagreeingLines)
                                       .arg(disagreeingLines == 1 ? QStringLiteral("line") : QStringLiteral("lines"));
}

QByteArray ClassCheck::table() const
{
    QByteArray bytes = CsvTable::line({QStringLiteral("id"), QStringLiteral("name"), QStringLiteral("kit"),
                                       QStringLiteral("file"), QStringLiteral("sessions"), QStringLiteral("rows"),
                                       QStringLiteral("verdict")});
    for (const std::vector<Entry> *entries : {&m_students, &m_unmatched}) {
        for (const Entry &entry : *entries)
            bytes += CsvTable::line({entry.id, entry.name, entry.kit, entry.files.join(QLatin1Char(' ')),
                                     QString::number(entry.sessions), QString::number(entry.rows), entry.verdict()});
    }
    return bytes;
}

bool ClassCheck::everyStudentAgrees() const
{
    return std::all_of(m_students.begin(), m_students.end(),
                       [](const Entry &student) { return student.verdict() == QLatin1String("agrees"); });
}
