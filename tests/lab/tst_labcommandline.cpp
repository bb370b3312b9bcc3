// The lab's command line, run as a student or a desktop menu runs it.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString lab = QStringLiteral(LAB_BINARY_DIR "/app/orvane-lab");

struct Outcome
{
    int exitCode = -1;
    QString output;
    QString errors;
};

// Runs the lab in `folder`; a lab that shows its menu is ended after a moment.
Outcome runLab(const QStringList &arguments, const QString &folder, const QString &home)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(lab, arguments);
    if (!process.waitForFinished(3000)) {
        process.terminate();
        process.waitForFinished(10'000);
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

class LabCommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void answersAsCommandLinePrograms_data();
    void answersAsCommandLinePrograms();
    void todaysNotebookIsInTheDocumentsFolder();
};

void LabCommandLineTest::answersAsCommandLinePrograms_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errors");
    QTest::addRow("help") << QStringList{"--help"} << 0 << "Usage: orvane-lab" << "";
    QTest::addRow("version") << QStringList{"--version"} << 0 << "orvane-lab 0." << "";
    QTest::addRow("unknown option") << QStringList{"--bogus"} << 2 << "" << "Unknown option 'bogus'";
    QTest::addRow("a stray argument") << QStringList{"notes.csv"} << 2 << "" << "unexpected argument 'notes.csv'";
    QTest::addRow("notebook without a file") << QStringList{"--notebook"} << 2 << "" << "Missing value";
    QTest::addRow("Qt's own options are Qt's") << QStringList{"-reverse", "--version", "-style", "fusion"} << 0
                                               << "orvane-lab 0." << "";
    QTest::addRow("Qt's option with its value after '='") << QStringList{"-style=fusion", "--version"} << 0
                                                         << "orvane-lab 0." << "";
    QTest::addRow("a word that only looks like Qt's option") << QStringList{"style", "--version"} << 2 << ""
                                                            << "unexpected argument 'style'";
    QTest::addRow("a mistyped kit code") << QStringList{"--kit", "K7M2-QX4P"} << 2 << ""
                                         << "a character is mistyped or two are swapped";
    QTest::addRow("two notebooks") << QStringList{"--notebook", "a.csv", "--notebook-today"} << 2 << ""
                                   << "give one";
}

void LabCommandLineTest::answersAsCommandLinePrograms()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, errors);
    QTemporaryDir folder;
    const Outcome outcome = runLab(arguments, folder.path(), folder.path());
    QCOMPARE(outcome.exitCode, exitCode);
    QVERIFY2(outcome.output.contains(output), qPrintable(outcome.output));
    QVERIFY2(outcome.errors.contains(errors), qPrintable(outcome.errors));
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void LabCommandLineTest::todaysNotebookIsInTheDocumentsFolder()
{
    // Started from a folder without the charge pictures, it says where they
    // are, once, and goes on.
    QTemporaryDir home;
    const Outcome outcome = runLab({QStringLiteral("--notebook-today")}, home.path(), home.path());
    QCOMPARE(outcome.errors.count(QStringLiteral("none of the charge pictures is in")), 1);
    QVERIFY(outcome.errors.contains(QStringLiteral("the installed pictures are in /")));
    const QString notebook = home.filePath(QStringLiteral("Documents/Orvane Lab/notebook-%1.csv")
                                               .arg(QDate::currentDate().toString(Qt::ISODate)));
    QFile file(notebook);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(notebook));
    QVERIFY(file.readAll().startsWith("time,session,experiment,event,"));
}

QTEST_GUILESS_MAIN(LabCommandLineTest)
#include "tst_labcommandline.moc"
