#include "labprogram.h"

#include "analyticalscatter.h"
#include "form1.h"
#include "labexperiments.h"
#include "notebookfile.h"
#include "notebookrecorder.h"
#include "systemstart.h"
#include "toolkitoptions.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QInputDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

namespace {

const char *const helpText =
    "Usage: orvane-lab [OPTION]\n"
    "A furnace laboratory for igneous petrology. It reads its charge pictures\n"
    "from the folder it is started in.\n"
    "\n"
    "  --kit CODE        work on your own kit, the system your instructor gave you\n"
    "  --ask-kit         ask for the kit's code in a window, and keep its notebook\n"
    "                    in the documents folder, \"Orvane Lab/notebook-CODE.csv\"\n"
    "  --notebook FILE   record every run and microprobe analysis in FILE, a lab\n"
    "                    notebook (CSV); an existing notebook is appended to\n"
    "  --notebook-today  record in today's notebook in the documents folder,\n"
    "                    \"Orvane Lab/notebook-YYYY-MM-DD.csv\"\n"
    "  --system ID|FILE  run a system of the library (fo-sio2, ...) or of a\n"
    "                    system file (.toml) instead of the main menu\n"
    "  --choose-system   choose a system from the library, or a system file\n"
    "  --list-systems    show the library's systems and exit\n"
    "  --help            show this text and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "See orvane-notebook to table and plot a notebook.\n";

void say(const QString &text)
{
    std::fputs(qPrintable(text), stderr);
    std::fflush(stderr);
}

// A notebook in the documents folder's "Orvane Lab", made as needed.
QString documentsNotebook(const QString &name)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QStringLiteral("/Orvane Lab");
    QDir().mkpath(folder);
    return folder + QStringLiteral("/notebook-%1.csv").arg(name);
}

} // namespace

LabProgram::LabProgram() = default;
LabProgram::~LabProgram() = default;

std::optional<int> LabProgram::parse(const QStringList &arguments, Options &options) const
{
    QCommandLineParser parser;
    const QCommandLineOption notebook(QStringLiteral("notebook"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption today(QStringLiteral("notebook-today"));
    const QCommandLineOption kit(QStringLiteral("kit"), QString(), QStringLiteral("CODE"));
    const QCommandLineOption askKit(QStringLiteral("ask-kit"));
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption system(QStringLiteral("system"), QString(), QStringLiteral("ID"));
    const QCommandLineOption chooseSystem(QStringLiteral("choose-system"));
    const QCommandLineOption listSystems(QStringLiteral("list-systems"));
    parser.addOptions({notebook, today, kit, askKit, help, version, system, chooseSystem, listSystems});
    const auto refuse = [](const QString &why) {
        say(QStringLiteral("orvane-lab: %1\nTry 'orvane-lab --help'.\n").arg(why));
        return std::optional<int>(usageError);
    };
    if (!parser.parse(ToolkitOptions::without(arguments)))
        return refuse(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    if (parser.isSet(help)) {
        std::fputs(helpText, stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("orvane-lab %s\n", LAB_VERSION);
        return 0;
    }
    if (parser.isSet(listSystems)) {
        std::fputs(qPrintable(SystemStart::list()), stdout);
        return std::fflush(stdout) == 0 ? 0 : usageError;
    }
    if (parser.isSet(system) && parser.isSet(chooseSystem))
        return refuse(QStringLiteral("--system and --choose-system both choose a system; give one"));
    if (parser.isSet(system)) {
        QString why;
        options.system = SystemStart::named(parser.value(system), why);
        if (!options.system)
            return refuse(why);
    }
    options.chooseSystem = parser.isSet(chooseSystem);
    if (parser.isSet(notebook) && parser.isSet(today))
        return refuse(QStringLiteral("--notebook and --notebook-today name two notebooks; give one"));
    if (parser.isSet(notebook))
        options.notebookPath = parser.value(notebook);
    options.notebookToday = parser.isSet(today);
    if (parser.isSet(kit) && parser.isSet(askKit))
        return refuse(QStringLiteral("--kit and --ask-kit both give a kit; give one"));
    if (parser.isSet(kit)) {
        std::string why;
        options.kit = Kit::fromCode(parser.value(kit).toStdString(), &why);
        if (!options.kit)
            return refuse(QStringLiteral("kit code \"%1\": %2").arg(parser.value(kit), QString::fromStdString(why)));
    }
    options.askForKit = parser.isSet(askKit);
    return std::nullopt;
}

void LabProgram::warnWhenPicturesAreMissing() const
{
    const QDir folder = QDir::current();
    for (const Charge &charge : Charge::catalogue()) {
        if (folder.exists(QString::fromStdString(charge.pictureName())))
            return;
    }
    say(QStringLiteral("orvane-lab: none of the charge pictures is in %1, the folder the lab was started in,"
                       " where it reads them; the installed pictures are in %2\n")
            .arg(QDir::toNativeSeparators(folder.absolutePath()), QStringLiteral(LAB_PICTURES_DIR)));
}

std::optional<Kit> LabProgram::askForKit()
{
    QString prompt = QStringLiteral("The code of your kit, as your instructor gave it (for example K7M2-QX4J):");
    for (;;) {
        bool accepted = false;
        const QString code = QInputDialog::getText(nullptr, QStringLiteral("Your kit"), prompt, QLineEdit::Normal,
                                                   QString(), &accepted);
        if (!accepted)
            return std::nullopt;
        std::string why;
        if (const std::optional<Kit> kit = Kit::fromCode(code.toStdString(), &why))
            return kit;
        prompt = QStringLiteral("\"%1\": %2.\n\nThe code of your kit, as your instructor gave it:")
                     .arg(code, QString::fromStdString(why));
    }
}

void LabProgram::openNotebook(const QString &path, const QString &kitCode)
{
    m_notebook = std::make_unique<NotebookFile>();
    if (!m_notebook->open(path)) {
        QMessageBox::warning(nullptr, QStringLiteral("Lab notebook"),
                             QStringLiteral("The lab notebook cannot be kept: %1.\n\nThe lab goes on without "
                                            "recording.").arg(m_notebook->errorString()));
        m_notebook.reset();
        return;
    }
    // The entries are read, and so recorded, in the desktop's locale.
    m_recorder = std::make_unique<NotebookRecorder>(
        m_notebook->session(), kitCode, QLocale().name(), &NotebookRecorder::localTimeNow, [this](const NotebookRow &row) {
            if (m_notebook && !m_notebook->append(row))
                notebookWriteFailed();
        });
}

void LabProgram::notebookWriteFailed()
{
    if (m_notebookFailed)
        return;
    m_notebookFailed = true;
    const QString why = m_notebook->errorString();
    m_notebook.reset();
    // Said once the handler that tried to write has finished.
    QTimer::singleShot(0, [why] {
        QMessageBox::warning(nullptr, QStringLiteral("Lab notebook"),
                             QStringLiteral("The lab notebook can no longer be written: %1.\n\nThe rows "
                                            "written so far are kept; nothing more is recorded.").arg(why));
    });
}

int LabProgram::run(int argc, char *argv[])
{
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    Options options;
    if (const std::optional<int> status = parse(arguments, options))
        return *status;

    QApplication application(argc, argv);
    warnWhenPicturesAreMissing();
    if (options.askForKit) {
        options.kit = askForKit();
        if (!options.kit)
            return 0;
        if (options.notebookPath.isEmpty() && !options.notebookToday)
            options.notebookPath = documentsNotebook(QString::fromStdString(options.kit->code()));
    }
    if (options.notebookToday)
        options.notebookPath = documentsNotebook(QDate::currentDate().toString(Qt::ISODate));
    const Kit *kit = options.kit ? &*options.kit : nullptr;
    if (!options.notebookPath.isEmpty())
        openNotebook(options.notebookPath, QString::fromStdString(Kit::codeFor(kit)));
    // One scatter source for the whole program, never seeded: every start of
    // the lab draws the same sequence (a kit's own, with a kit).
    AnalyticalScatter scatter(Kit::scatterStartStateFor(kit));
    if (options.system)
        return SystemStart::run(*options.system, kit, scatter, m_recorder.get());
    if (options.chooseSystem)
        return SystemStart::choose(kit, scatter, m_recorder.get());
    Form1 menu(labExperiments(kit), scatter, m_recorder.get());
    menu.show();
    return application.exec();
}
