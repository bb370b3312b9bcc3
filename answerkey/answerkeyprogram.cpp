#include "answerkeyprogram.h"

#include "classkits.h"
#include "diagramplot.h"
#include "labexperiments.h"
#include "notebookcheck.h"
#include "notebookcsv.h"
#include "notebookrecorder.h"
#include "plotexport.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>

#include <cstdio>

namespace {

// A worksheet, a notebook or a class list of this size is not one; a bound
// keeps a wrong file from filling memory.
constexpr qint64 largestInput = 64 * 1024 * 1024;

void say(const QString &text)
{
    std::fputs(qPrintable(QStringLiteral("orvane-answer-key: %1\n").arg(text)), stderr);
}

void print(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

[[nodiscard]] bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    say(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return false;
}

const char *const usageText =
    "usage: orvane-answer-key [--locale NAME] [--kit CODE] [--reports-only | --csv] WORKSHEET\n"
    "       orvane-answer-key [--locale NAME] --check NOTEBOOK.csv\n"
    "       orvane-answer-key [--locale NAME] [--kit CODE] --diagram 1|2 OUT.svg|OUT.pdf|OUT.png [WORKSHEET]\n"
    "       orvane-answer-key [--locale NAME] --class ROSTER.csv --out DIR [--seed N] WORKSHEET\n"
    "  WORKSHEET: one action per line, for example\n"
    "    exp1 run 0.5 0.5 1300\n"
    "    exp1 probe\n"
    "  '-' reads the worksheet from standard input.\n"
    "  -h, --help prints this text.\n"
    "  --csv prints the outcome as a lab notebook (session 1, no times).\n"
    "  --check plays a student's notebook again and names every row that is\n"
    "    not what the lab gives.\n"
    "  --diagram draws the experiment's true phase diagram, with the\n"
    "    worksheet's runs and analyses on it.\n"
    "  --kit plays a student's kit instead of the lab's own systems.\n"
    "  --class gives every student of a class list a kit of their own and\n"
    "    writes each one's key and diagrams into DIR.\n";

} // namespace

int AnswerKeyProgram::usage() const
{
    std::fputs(usageText, stderr);
    return refused;
}

std::optional<int> AnswerKeyProgram::parse(const QStringList &given)
{
    QStringList arguments = given;
    const auto value = [&arguments]() { return arguments.takeFirst(); };
    while (!arguments.isEmpty()) {
        const QString argument = value();
        const bool hasValue = !arguments.isEmpty();
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            std::fputs(usageText, stdout);
            return 0;
        } else if (argument == QLatin1String("--locale") && hasValue) {
            m_locale = QLocale(value());
        } else if (argument == QLatin1String("--reports-only")) {
            m_mode = Mode::ReportsOnly;
        } else if (argument == QLatin1String("--csv")) {
            m_mode = Mode::Notebook;
        } else if (argument == QLatin1String("--check")) {
            m_mode = Mode::Check;
        } else if (argument == QLatin1String("--kit") && hasValue) {
            std::string why;
            const QString code = value();
            m_kit = Kit::fromCode(code.toStdString(), &why);
            if (!m_kit) {
                say(QStringLiteral("kit code \"%1\": %2").arg(code, QString::fromStdString(why)));
                return refused;
            }
        } else if (argument == QLatin1String("--diagram") && arguments.size() >= 2) {
            m_mode = Mode::Diagram;
            m_diagramExperiment = value().toInt();
            m_output = value();
            if (m_diagramExperiment != 1 && m_diagramExperiment != 2)
                return usage();
        } else if (argument == QLatin1String("--class") && hasValue) {
            m_mode = Mode::Class;
            m_roster = value();
        } else if (argument == QLatin1String("--out") && hasValue) {
            m_output = value();
        } else if (argument == QLatin1String("--seed") && hasValue) {
            bool ok = false;
            m_seed = value().toULongLong(&ok);
            if (!ok)
                return usage();
        } else if (m_input.isEmpty() && (argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-')))) {
            m_input = argument;
        } else {
            return usage();
        }
    }
    const bool needsInput = m_mode != Mode::Diagram;
    if ((needsInput && m_input.isEmpty()) || (m_mode == Mode::Check && m_kit)
        || (m_mode == Mode::Class && (m_output.isEmpty() || m_kit)))
        return usage();
    return std::nullopt;
}

int AnswerKeyProgram::run(int argc, char *argv[])
{
    QStringList arguments;
    for (int index = 1; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    if (const std::optional<int> status = parse(arguments))
        return *status;
    QByteArray input;
    if (!m_input.isEmpty()) {
        const std::optional<QByteArray> read = readInput(m_input);
        if (!read)
            return refused;
        input = *read;
    }
    if (m_mode == Mode::Check)
        return checkNotebook(input);
    if (m_mode != Mode::Diagram && m_mode != Mode::Class)
        return printKey(input);
    PlotExport::drawWithoutScreenWhenThereIsNone();
    QGuiApplication application(argc, argv);
    return m_mode == Mode::Diagram ? drawDiagram(input) : makeClass(input);
}

std::optional<QByteArray> AnswerKeyProgram::readInput(const QString &path) const
{
    QFile file;
    const bool opened = path == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                   : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        say(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    const QByteArray bytes = file.read(largestInput + 1);
    if (bytes.size() > largestInput) {
        say(QStringLiteral("%1 is too large for a worksheet or a notebook").arg(path));
        return std::nullopt;
    }
    return bytes;
}

AnswerKeyProgram::Played AnswerKeyProgram::play(const QByteArray &worksheet, const Kit *kit,
                                                WorksheetRunner::Output output) const
{
    Played played;
    played.notebook = NotebookCsv::header();
    WorksheetRunner runner(labExperiments(kit), m_locale, output, Kit::scatterStartStateFor(kit));
    NotebookRecorder recorder(1, QString::fromStdString(Kit::codeFor(kit)), {},
                              [&played](const NotebookRow &row) {
                                  played.rows.push_back(row);
                                  played.notebook += NotebookCsv::encode(row);
                              });
    runner.setRecorder(&recorder);
    if (!runner.runScript(QString::fromUtf8(worksheet), m_input, played.error) && played.error.isEmpty())
        played.error = QStringLiteral("%1: cannot be played").arg(m_input);
    played.key = runner.output();
    return played;
}

int AnswerKeyProgram::printKey(const QByteArray &worksheet) const
{
    const Played played = play(worksheet, m_kit ? &*m_kit : nullptr,
                               m_mode == Mode::ReportsOnly ? WorksheetRunner::Output::ReportsOnly
                                                           : WorksheetRunner::Output::Everything);
    if (m_mode == Mode::Notebook)
        print(played.notebook);
    else
        QTextStream(stdout) << played.key;
    if (!played.error.isEmpty()) {
        say(played.error);
        return refused;
    }
    return 0;
}

int AnswerKeyProgram::checkNotebook(const QByteArray &notebook) const
{
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(notebook);
    if (!parsed.problems.isEmpty()) {
        for (const LineProblem &problem : parsed.problems)
            say(problem.in(m_input));
        return refused;
    }
    const NotebookCheck::Result result = NotebookCheck(m_locale).check(parsed.rows);
    if (result.disagreements.isEmpty()) {
        std::printf("%s: all %d rows, in %d %s, are what the lab gives\n", qPrintable(m_input), result.rowsChecked,
                    result.sessions, result.sessions == 1 ? "session" : "sessions");
        return 0;
    }
    QSet<int> lines;
    for (const LineProblem &disagreement : result.disagreements) {
        std::printf("%s\n", qPrintable(disagreement.in(m_input)));
        lines.insert(disagreement.line);
    }
    std::printf("%s: %lld %s not what the lab gives\n", qPrintable(m_input), qlonglong(lines.size()),
                lines.size() == 1 ? "line is" : "lines are");
    return disagrees;
}

int AnswerKeyProgram::drawDiagram(const QByteArray &worksheet) const
{
    const Kit *kit = m_kit ? &*m_kit : nullptr;
    const Played played = play(worksheet, kit, WorksheetRunner::Output::Everything);
    if (!played.error.isEmpty()) {
        say(played.error);
        return refused;
    }
    const PlotData plot = DiagramPlot::make(labExperiments(kit).at(m_diagramExperiment - 1), played.rows, m_locale);
    if (const QString problem = PlotExport::write(plot, m_output); !problem.isEmpty()) {
        say(problem);
        return disagrees;
    }
    return 0;
}

int AnswerKeyProgram::makeClass(const QByteArray &worksheet) const
{
    const std::optional<QByteArray> list = readInput(m_roster);
    if (!list)
        return refused;
    LineProblem problem;
    const std::optional<ClassKits> kits = ClassKits::read(*list, m_seed, &problem);
    if (!kits) {
        say(problem.in(m_roster));
        return refused;
    }
    const QDir folder(m_output);
    if (!QDir().mkpath(m_output)) {
        say(QStringLiteral("cannot make the folder %1").arg(m_output));
        return disagrees;
    }
    QSet<QString> folderNames;
    for (const ClassKits::Student &student : kits->students()) {
        const Played played = play(worksheet, &student.kit, WorksheetRunner::Output::Everything);
        if (!played.error.isEmpty()) {
            say(played.error);
            return refused;
        }
        // A folder per student, named by their id: what a file name cannot
        // hold made plain, and told apart from another id that reads the same.
        QString name = student.id;
        name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
        const QString plain = name;
        for (int copy = 2; folderNames.contains(name.toLower()); ++copy)
            name = QStringLiteral("%1-%2").arg(plain).arg(copy);
        folderNames.insert(name.toLower());
        const QString studentFolder = folder.filePath(name);
        if (!QDir().mkpath(studentFolder)) {
            say(QStringLiteral("cannot make the folder %1").arg(studentFolder));
            return disagrees;
        }
        const QByteArray header = QStringLiteral("# %1 (%2), kit %3\n")
                                      .arg(student.name, student.id, QString::fromStdString(student.kit.code()))
                                      .toUtf8();
        if (!writeFile(studentFolder + QStringLiteral("/key.txt"), header + played.key.toUtf8())
            || !writeFile(studentFolder + QStringLiteral("/key.csv"), played.notebook))
            return disagrees;
        const ExperimentList experiments = labExperiments(&student.kit);
        for (const ExperimentDefinition &experiment : experiments) {
            const PlotData plot = DiagramPlot::make(experiment, played.rows, m_locale);
            const QString path = studentFolder + QStringLiteral("/diagram-%1.svg").arg(experiment.number);
            if (const QString problem = PlotExport::write(plot, path); !problem.isEmpty()) {
                say(problem);
                return disagrees;
            }
        }
    }
    if (!writeFile(folder.filePath(QStringLiteral("roster.csv")), kits->withKits()))
        return disagrees;
    std::printf("%zu students, each with a kit of their own: %s\n", kits->students().size(),
                qPrintable(folder.filePath(QStringLiteral("roster.csv"))));
    return 0;
}
