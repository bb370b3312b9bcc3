#include "labprogram.h"

#include "analyticalscatter.h"
#include "form1.h"
#include "labexperiments.h"
#include "notebookfile.h"
#include "notebookrecorder.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
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
    "  --notebook FILE   record every run and microprobe analysis in FILE, a lab\n"
    "                    notebook (CSV); an existing notebook is appended to\n"
    "  --notebook-today  record in today's notebook in the documents folder,\n"
    "                    \"Orvane Lab/notebook-YYYY-MM-DD.csv\"\n"
    "  --help            show this text and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "See orvane-notebook to table and plot a notebook.\n";

void say(const QString &text)
{
    std::fputs(qPrintable(text), stderr);
    std::fflush(stderr);
}

QString todaysNotebook()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QStringLiteral("/Orvane Lab");
    QDir().mkpath(folder);
    return folder + QStringLiteral("/notebook-%1.csv").arg(QDate::currentDate().toString(Qt::ISODate));
}

} // namespace

LabProgram::LabProgram() = default;
LabProgram::~LabProgram() = default;

std::optional<int> LabProgram::parse(const QStringList &arguments, Options &options) const
{
    QCommandLineParser parser;
    const QCommandLineOption notebook(QStringLiteral("notebook"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption today(QStringLiteral("notebook-today"));
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({notebook, today, help, version});
    const auto refuse = [](const QString &why) {
        say(QStringLiteral("orvane-lab: %1\nTry 'orvane-lab --help'.\n").arg(why));
        return std::optional<int>(usageError);
    };
    if (!parser.parse(arguments))
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
    if (parser.isSet(notebook) && parser.isSet(today))
        return refuse(QStringLiteral("--notebook and --notebook-today name two notebooks; give one"));
    if (parser.isSet(notebook))
        options.notebookPath = parser.value(notebook);
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

void LabProgram::openNotebook(const QString &path)
{
    m_notebook = std::make_unique<NotebookFile>();
    if (!m_notebook->open(path)) {
        QMessageBox::warning(nullptr, QStringLiteral("Lab notebook"),
                             QStringLiteral("The lab notebook cannot be kept: %1.\n\nThe lab goes on without "
                                            "recording.").arg(m_notebook->errorString()));
        m_notebook.reset();
        return;
    }
    m_recorder = std::make_unique<NotebookRecorder>(
        m_notebook->session(), QString(), &NotebookRecorder::localTimeNow, [this](const NotebookRow &row) {
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
    const bool today = arguments.contains(QStringLiteral("--notebook-today"));

    QApplication application(argc, argv);
    warnWhenPicturesAreMissing();
    if (today)
        options.notebookPath = todaysNotebook();
    if (!options.notebookPath.isEmpty())
        openNotebook(options.notebookPath);
    // One scatter source for the whole program, unseeded: every start of
    // the lab draws the same sequence.
    AnalyticalScatter scatter;
    Form1 menu(labExperiments(), scatter, m_recorder.get());
    menu.show();
    return application.exec();
}
