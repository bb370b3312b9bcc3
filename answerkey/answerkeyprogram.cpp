#include "answerkeyprogram.h"

#include "classcheck.h"
#include "classkits.h"
#include "diagramplot.h"
#include "labexperiments.h"
#include "notebookcheck.h"
#include "notebookcsv.h"
#include "notebookrecorder.h"
#include "plotexport.h"
#include "wholefile.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSet>

#include <cstdio>

namespace {

// A worksheet, a notebook or a class list of this size is not one; a bound
// keeps a wrong file from filling memory.
constexpr qint64 largestInput = 64 * 1024 * 1024;

void say(const QString &text)
{
    std::fputs(qPrintable(QStringLiteral("orvane-answer-key: %1\n").arg(text)), stderr);
}

// Standard output is checked once, at the end: a write that failed (a full
// disk behind a redirection) leaves its error on the stream.
void print(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

const char *const usageText =
    "usage: orvane-answer-key [--locale NAME] [--kit CODE] [--reports-only | --csv] WORKSHEET\n"
    "       orvane-answer-key [--locale NAME] [--kit CODE] --check NOTEBOOK.csv\n"
    "       orvane-answer-key [--locale NAME] --check-class ROSTER.csv NOTEBOOK.csv...\n"
    "       orvane-answer-key [--locale NAME] [--kit CODE] --diagram 1|2|ID OUT.svg|OUT.pdf|OUT.png [WORKSHEET]\n"
    "       orvane-answer-key [--locale NAME] --class ROSTER.csv --out DIR [--seed N] WORKSHEET\n"
    "       orvane-answer-key --list-systems\n"
    "  WORKSHEET: one action per line, for example\n"
    "    exp1 run 0.5 0.5 1300\n"
    "    exp1 probe\n"
    "    fo-sio2 run 0.6 0.4 1600\n"
    "  '-' reads the worksheet from standard input.\n"
    "  -h, --help prints this text.\n"
    "  --csv prints the outcome as a lab notebook (session 1, no times).\n"
    "  --check plays a student's notebook again and names every row that is\n"
    "    not what the lab gives; with --kit, every session must be that kit's.\n"
    "  --check-class checks each notebook against the student whose kit it\n"
    "    holds (ROSTER: the roster.csv that --class wrote) and prints a table.\n"
    "  --diagram draws the experiment's true phase diagram, with the\n"
    "    worksheet's runs and analyses on it.\n"
    "  --kit plays a student's kit instead of the lab's own systems.\n"
    "  --locale reads and prints numbers as a desktop of that locale does;\n"
    "    for a check, the locale of notebooks whose rows do not name theirs.\n"
    "  --class gives every student of a class list a kit of their own and\n"
    "    writes each one's key and diagrams into DIR.\n"
    "  --list-systems prints the id and title of every system known.\n"
    "  --system FILE.toml (any number of times) adds an instructor's system.\n";

int refuse(const QString &why)
{
    say(why);
    std::fputs(usageText, stderr);
    return AnswerKeyProgram::refused;
}

} // namespace

std::optional<int> AnswerKeyProgram::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption locale(QStringLiteral("locale"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption kit(QStringLiteral("kit"), QString(), QStringLiteral("CODE"));
    const QCommandLineOption out(QStringLiteral("out"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption seed(QStringLiteral("seed"), QString(), QStringLiteral("N"));
    const QCommandLineOption system(QStringLiteral("system"), QString(), QStringLiteral("FILE"));
    parser.addOptions({help, locale, kit, out, seed, system});
    parser.addOptions({QCommandLineOption(QStringLiteral("reports-only")), QCommandLineOption(QStringLiteral("csv")),
                       QCommandLineOption(QStringLiteral("check")),
                       QCommandLineOption(QStringLiteral("check-class"), QString(), QStringLiteral("ROSTER")),
                       QCommandLineOption(QStringLiteral("diagram"), QString(), QStringLiteral("N")),
                       QCommandLineOption(QStringLiteral("class"), QString(), QStringLiteral("ROSTER")),
                       QCommandLineOption(QStringLiteral("list-systems"))});
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(usageText, stdout);
        return 0;
    }
    if (parser.isSet(locale))
        m_locale = QLocale(parser.value(locale));
    if (parser.isSet(kit)) {
        std::string why;
        m_kit = Kit::fromCode(parser.value(kit).toStdString(), &why);
        if (!m_kit) {
            say(QStringLiteral("kit code \"%1\": %2").arg(parser.value(kit), QString::fromStdString(why)));
            return refused;
        }
    }
    for (const QString &file : parser.values(system)) {
        std::string why;
        if (!m_library.addFile(file.toStdString(), why)) {
            say(QString::fromStdString(why));
            return refused;
        }
    }
    if (const std::optional<int> status = readMode(parser))
        return status;
    const bool isClass = m_mode == Mode::Class;
    if (parser.isSet(out) != isClass)
        return refuse(isClass ? QStringLiteral("--class needs --out DIR") : QStringLiteral("--out goes with --class"));
    if (parser.isSet(seed) && !isClass)
        return refuse(QStringLiteral("--seed goes with --class"));
    if (m_kit && (isClass || m_mode == Mode::CheckClass))
        return refuse(QStringLiteral("--kit does not go with a class: every student has a kit of their own"));
    m_output = parser.value(out);
    if (parser.isSet(seed)) {
        bool ok = false;
        m_seed = parser.value(seed).toULongLong(&ok);
        if (!ok)
            return refuse(QStringLiteral("--seed takes a whole number"));
    }
    QStringList positional = parser.positionalArguments();
    if (m_mode == Mode::ListSystems) {
        if (!positional.isEmpty())
            return refuse(QStringLiteral("--list-systems takes nothing more"));
        return std::nullopt;
    }
    if (m_mode == Mode::CheckClass) {
        if (positional.isEmpty())
            return refuse(QStringLiteral("--check-class needs the notebooks to check"));
        m_notebooks = positional;
        return std::nullopt;
    }
    if (m_mode == Mode::Diagram) {
        if (positional.isEmpty() || positional.size() > 2)
            return refuse(QStringLiteral("--diagram takes the file to write and, if you like, a worksheet"));
        m_output = positional.takeFirst();
        m_input = positional.value(0);
        return std::nullopt;
    }
    if (positional.size() != 1)
        return refuse(positional.isEmpty() ? QStringLiteral("no worksheet or notebook given")
                                           : QStringLiteral("one worksheet or notebook at a time"));
    m_input = positional.first();
    return std::nullopt;
}

std::optional<int> AnswerKeyProgram::readMode(const QCommandLineParser &parser)
{
    const std::pair<const char *, Mode> modes[] = {
        {"reports-only", Mode::ReportsOnly}, {"csv", Mode::Notebook},  {"check", Mode::Check},
        {"check-class", Mode::CheckClass},   {"diagram", Mode::Diagram}, {"class", Mode::Class},
        {"list-systems", Mode::ListSystems}};
    QStringList chosen;
    for (const auto &[name, mode] : modes) {
        if (!parser.isSet(QLatin1String(name)))
            continue;
        chosen << QStringLiteral("--%1").arg(QLatin1String(name));
        m_mode = mode;
    }
    if (chosen.size() > 1)
        return refuse(QStringLiteral("%1 do not go together; give one").arg(chosen.join(QStringLiteral(" and "))));
    if (m_mode == Mode::Diagram) {
        m_diagramExperiment = parser.value(QStringLiteral("diagram"));
        QStringList known;
        for (const ExperimentDefinition &experiment : experiments(nullptr))
            known << QString::fromStdString(experiment.notebookName());
        if (!known.contains(m_diagramExperiment))
            return refuse(QStringLiteral("--diagram draws one of %1").arg(known.join(QStringLiteral(", "))));
    }
    m_roster = parser.value(m_mode == Mode::CheckClass ? QStringLiteral("check-class") : QStringLiteral("class"));
    return std::nullopt;
}

int AnswerKeyProgram::run(int argc, char *argv[])
{
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    int status = 0;
    if (const std::optional<int> stop = parse(arguments))
        status = *stop;
    else
        status = dispatch(argc, argv);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        say(QStringLiteral("cannot write to standard output"));
        return cannotWrite;
    }
    return status;
}

int AnswerKeyProgram::dispatch(int argc, char *argv[])
{
    QByteArray input;
    if (!m_input.isEmpty()) {
        const std::optional<QByteArray> read = readInput(m_input);
        if (!read)
            return refused;
        input = *read;
    }
    switch (m_mode) {
    case Mode::ListSystems:
        return listSystems();
    case Mode::Check:
        return checkNotebook(input);
    case Mode::CheckClass:
        return checkClass();
    case Mode::Key:
    case Mode::ReportsOnly:
    case Mode::Notebook:
        return printKey(input);
    case Mode::Diagram:
    case Mode::Class:
        break;
    }
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
    WorksheetRunner runner(experiments(kit), m_locale, output, Kit::scatterStartStateFor(kit));
    NotebookRecorder recorder(1, QString::fromStdString(Kit::codeFor(kit)), m_locale.name(), {},
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
    print(m_mode == Mode::Notebook ? played.notebook : played.key.toUtf8());
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
    // A session of a system no one gave: the notebook cannot be played.
    QStringList known;
    for (const ExperimentDefinition &experiment : experiments(nullptr))
        known << QString::fromStdString(experiment.notebookName());
    bool unknown = false;
    for (const NotebookRow &row : parsed.rows) {
        if (known.contains(row[NotebookRow::Experiment]))
            continue;
        say(LineProblem{row.lineNumber, QStringLiteral("no experiment or system \"%1\" is known (give its file with "
                                                       "--system)").arg(row[NotebookRow::Experiment])}
                .in(m_input));
        known << row[NotebookRow::Experiment]; // named once
        unknown = true;
    }
    if (unknown)
        return refused;
    NotebookCheck check(m_locale, m_library);
    check.setExpectedKit(m_kit);
    const NotebookCheck::Result result = check.check(parsed.rows);
    if (result.disagreements.isEmpty()) {
        print(QStringLiteral("%1: all %2 rows, in %3 %4, are what the lab gives\n")
                  .arg(m_input).arg(result.rowsChecked).arg(result.sessions)
                  .arg(result.sessions == 1 ? QStringLiteral("session") : QStringLiteral("sessions"))
                  .toUtf8());
        return 0;
    }
    QSet<int> lines;
    for (const LineProblem &disagreement : result.disagreements) {
        print(disagreement.in(m_input).toUtf8() + '\n');
        lines.insert(disagreement.line);
    }
    print(QStringLiteral("%1: %2 %3 not what the lab gives\n")
              .arg(m_input).arg(lines.size())
              .arg(lines.size() == 1 ? QStringLiteral("line is") : QStringLiteral("lines are"))
              .toUtf8());
    return disagrees;
}

int AnswerKeyProgram::checkClass() const
{
    const std::optional<QByteArray> roster = readInput(m_roster);
    if (!roster)
        return refused;
    ClassCheck check(m_locale, m_library);
    LineProblem problem;
    if (!check.readRoster(*roster, &problem)) {
        say(problem.in(m_roster));
        return refused;
    }
    for (const QString &path : m_notebooks) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            check.addUnreadable(path, file.errorString());
            continue;
        }
        const QByteArray bytes = file.read(largestInput + 1);
        if (bytes.size() > largestInput)
            check.addUnreadable(path, QStringLiteral("too large for a notebook"));
        else
            check.addNotebook(path, bytes);
    }
    for (const QString &note : check.notes())
        say(note);
    print(check.table());
    return check.everyStudentAgrees() ? 0 : disagrees;
}

int AnswerKeyProgram::drawDiagram(const QByteArray &worksheet) const
{
    const Kit *kit = m_kit ? &*m_kit : nullptr;
    const Played played = play(worksheet, kit, WorksheetRunner::Output::Everything);
    if (!played.error.isEmpty()) {
        say(played.error);
        return refused;
    }
    const ExperimentList known = experiments(kit);
    const auto experiment = std::find_if(known.begin(), known.end(), [this](const ExperimentDefinition &each) {
        return QString::fromStdString(each.notebookName()) == m_diagramExperiment;
    });
    const PlotData plot = DiagramPlot::make(*experiment, played.rows, m_locale);
    if (const QString problem = PlotExport::write(plot, m_output); !problem.isEmpty()) {
        say(problem);
        return cannotWrite;
    }
    return 0;
}

ExperimentList AnswerKeyProgram::experiments(const Kit *kit) const
{
    return withSystems(labExperiments(kit), m_library, kit);
}

int AnswerKeyProgram::listSystems() const
{
    for (const BinarySystem &system : m_library.systems())
        print(QStringLiteral("%1  %2\n").arg(QString::fromStdString(system.id), QString::fromStdString(system.title)).toUtf8());
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
    if (kits->wasWindows1252())
        say(QStringLiteral("%1 is not UTF-8 text; it is read as Windows-1252, as Excel writes it").arg(m_roster));
    const QDir folder(m_output);
    if (!QDir().mkpath(m_output)) {
        say(QStringLiteral("cannot make the folder %1").arg(m_output));
        return cannotWrite;
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
            return cannotWrite;
        }
        const QByteArray header = QStringLiteral("# %1 (%2), kit %3\n")
                                      .arg(student.name, student.id, QString::fromStdString(student.kit.code()))
                                      .toUtf8();
        QStringList problems{WholeFile::write(studentFolder + QStringLiteral("/key.txt"), header + played.key.toUtf8()),
                             WholeFile::write(studentFolder + QStringLiteral("/key.csv"), played.notebook)};
        // Both of the lab's diagrams always, and each system's the worksheet plays.
        for (const ExperimentDefinition &experiment : experiments(&student.kit)) {
            const QString id = QString::fromStdString(experiment.notebookName());
            if (experiment.number > 0 || std::any_of(played.rows.begin(), played.rows.end(), [&](const NotebookRow &row) {
                    return row[NotebookRow::Experiment] == id;
                })) {
                const PlotData plot = DiagramPlot::make(experiment, played.rows, m_locale);
                problems << PlotExport::write(plot, studentFolder + QStringLiteral("/diagram-%1.svg").arg(id));
            }
        }
        problems.removeAll(QString());
        if (!problems.isEmpty()) {
            say(problems.first());
            return cannotWrite;
        }
    }
    if (const QString written = WholeFile::write(folder.filePath(QStringLiteral("roster.csv")), kits->withKits());
        !written.isEmpty()) {
        say(written);
        return cannotWrite;
    }
    print(QStringLiteral("%1 students, each with a kit of their own: %2\n")
              .arg(kits->students().size())
              .arg(folder.filePath(QStringLiteral("roster.csv")))
              .toUtf8());
    return 0;
}
