// The instructors' tool on a class at a time, run as a program: class
// lists as spreadsheets save them, a class's notebooks checked against its
// roster, a student's own kit, options that do not go together, and outputs
// that cannot be written (a full disk, a file-size limit).
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString answerKey = QStringLiteral(LAB_BINARY_DIR "/answerkey/orvane-answer-key");
const QString notebookProgram = QStringLiteral(LAB_BINARY_DIR "/notebookwindow/orvane-notebook");
const QByteArray worksheet = "exp1 run 0.5 0.5 1300\nexp1 probe\nexp2 run 0.9 0.1 1200\nexp2 probe\n";

struct Ran
{
    int exitCode = -1;
    QString output;
    QString errors;
};

// Runs a program; with a limit, every file it writes may hold at most that
// many bytes (and going past it is an error, not a signal).
Ran run(const QString &program, const QStringList &arguments, qint64 fileSizeLimit = -1)
{
    QProcess process;
    process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    if (fileSizeLimit >= 0) {
        process.setChildProcessModifier([fileSizeLimit] {
            const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
            std::signal(SIGXFSZ, SIG_IGN);
        });
    }
    process.start(program, arguments);
    process.waitForFinished(120'000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QString write(const QTemporaryDir &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(folder.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "Jürgen Müller" as Excel on Windows writes him.
const QByteArray jurgenIn1252 = "J\xFCrgen M\xFCller";

} // namespace

class ClassToolsTest : public QObject
{
    Q_OBJECT

private slots:
    void classListsAsSpreadsheetsSaveThem_data();
    void classListsAsSpreadsheetsSaveThem();
    void aStudentsOwnKitIsChecked();
    void aClassIsCheckedAtOnce();
    void aClassOnAnInstructorsSystem();
    void optionsThatDoNotGoTogether_data();
    void optionsThatDoNotGoTogether();
    void outputsThatCannotBeWritten_data();
    void outputsThatCannotBeWritten();
};

void ClassToolsTest::classListsAsSpreadsheetsSaveThem_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("toldWindows1252");
    const QByteArray utf8 = "name,id\r\nJ\xC3\xBCrgen M\xC3\xBCller,s001\r\n\"Gauss, Carl\",s002\r\n";
    QTest::addRow("UTF-8") << utf8 << "," << false;
    QTest::addRow("UTF-8 with a byte order mark") << "\xEF\xBB\xBF" + utf8 << "," << false;
    QTest::addRow("Excel's CSV on Windows: Windows-1252")
        << "name,id\r\n" + jurgenIn1252 + ",s001\r\n\"Gauss, Carl\",s002\r\n" << "," << true;
    QTest::addRow("German Excel: semicolons, Windows-1252")
        << "Name;ID;Gruppe\r\n" + jurgenIn1252 + ";s001;A\r\nGauss, Carl;s002;B\r\n" << ";" << true;
    QTest::addRow("French Excel: semicolons, UTF-8 with a mark, no last line end")
        << QByteArray("\xEF\xBB\xBFnom;name;id\r\nM\xC3\xBCller;J\xC3\xBCrgen M\xC3\xBCller;s001\r\nGauss;Gauss, Carl;s002")
        << ";" << false;
}

void ClassToolsTest::classListsAsSpreadsheetsSaveThem()
{
    QFETCH(QByteArray, list);
    QFETCH(QString, separator);
    QFETCH(bool, toldWindows1252);
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("class"));
    const Ran ran = run(answerKey, {"--locale", "C", "--class", write(folder, "roster.csv", list), "--out", out,
                                    "--seed", "2026", write(folder, "sheet.txt", worksheet)});
    QCOMPARE(ran.exitCode, 0);
    QCOMPARE(ran.errors.contains(QLatin1String("Windows-1252")), toldWindows1252);
    // Every output keeps his letters, in UTF-8.
    const QString roster = QString::fromUtf8(read(out + QStringLiteral("/roster.csv")));
    QVERIFY2(roster.contains(QStringLiteral("J\u00FCrgen M\u00FCller") + separator + QStringLiteral("s001")), qPrintable(roster));
    QVERIFY(roster.contains(QStringLiteral("\"Gauss, Carl\"")) || separator == QLatin1String(";"));
    QVERIFY(roster.section(QLatin1Char('\n'), 0, 0).trimmed().endsWith(separator + QStringLiteral("kit")));
    QVERIFY(QString::fromUtf8(read(out + QStringLiteral("/s001/key.txt"))).startsWith(QStringLiteral("# J\u00FCrgen M\u00FCller (s001), kit ")));
    // The roster it wrote is read back by the class check.
    QVERIFY(run(answerKey, {"--check-class", out + QStringLiteral("/roster.csv"), out + QStringLiteral("/s001/key.csv")})
                .output.contains(QStringLiteral("s001,J\u00FCrgen M\u00FCller,")));
}

void ClassToolsTest::aStudentsOwnKitIsChecked()
{
    // A classmate's notebook, or one run without a kit, is not the
    // student's own, however true to the lab its rows are.
    QTemporaryDir folder;
    const QString sheet = write(folder, "sheet.txt", worksheet);
    const QString classmates = write(folder, "classmate.csv",
                                     run(answerKey, {"--locale", "C", "--kit", "EJV8-6XCW", "--csv", sheet}).output.toUtf8());
    const QString noKit = write(folder, "nokit.csv", run(answerKey, {"--locale", "C", "--csv", sheet}).output.toUtf8());
    const QString own = write(folder, "own.csv",
                              run(answerKey, {"--locale", "C", "--kit", "6P75-WXJB", "--csv", sheet}).output.toUtf8());
    const Ran ofClassmate = run(answerKey, {"--check", classmates, "--kit", "6P75-WXJB"});
    QCOMPARE(ofClassmate.exitCode, 1);
    QVERIFY2(ofClassmate.output.contains(QStringLiteral("classmate.csv:2: kit: this session was run with kit EJV8-6XCW, "
                                                         "not with kit 6P75-WXJB")),
             qPrintable(ofClassmate.output));
    const Ran withoutKit = run(answerKey, {"--check", noKit, "--kit", "6p75wxjb"});
    QCOMPARE(withoutKit.exitCode, 1);
    QVERIFY2(withoutKit.output.contains(QStringLiteral("run with no kit")), qPrintable(withoutKit.output));
    QCOMPARE(run(answerKey, {"--check", own, "--kit", "6P75-WXJB"}).exitCode, 0);
    // Without --kit each session is checked with the kit it names.
    QCOMPARE(run(answerKey, {"--check", classmates}).exitCode, 0);
}

void ClassToolsTest::aClassIsCheckedAtOnce()
{
    QTemporaryDir folder;
    const QString sheet = write(folder, "sheet.txt", worksheet);
    const QString out = folder.filePath(QStringLiteral("class"));
    const QByteArray list = "name,id\nAda Lovelace,s001\n\"Gauss, Carl\",s002\nMarie Curie,s003\nEmmy Noether,s004\n";
    QCOMPARE(run(answerKey, {"--locale", "C", "--class", write(folder, "list.csv", list), "--out", out, "--seed",
                             "2026", sheet}).exitCode, 0);
    const QString roster = out + QStringLiteral("/roster.csv");
    // Ada's own key as her notebook; Gauss hands in Ada's; Marie's has a
    // value changed; Emmy hands in nothing; two notebooks are no one's.
    const QByteArray ada = read(out + QStringLiteral("/s001/key.csv"));
    QList<QByteArray> marieLines = read(out + QStringLiteral("/s003/key.csv")).split('\n');
    QList<QByteArray> analysis = marieLines[2].split(','); // her first analysed phase
    analysis[10] = QByteArray::number(analysis[10].toDouble() + 1, 'f', 2);
    marieLines[2] = analysis.join(',');
    const QByteArray marie = marieLines.join('\n');
    const QStringList notebooks{write(folder, "ada.csv", ada), write(folder, "gauss.csv", ada),
                                write(folder, "marie.csv", marie),
                                write(folder, "nokit.csv", run(answerKey, {"--locale", "C", "--csv", sheet}).output.toUtf8()),
                                write(folder, "stranger.csv",
                                      run(answerKey, {"--locale", "C", "--kit", "6NUR-XT58", "--csv", sheet}).output.toUtf8()),
                                write(folder, "thesis.csv", "my thesis\n")};
    const Ran ran = run(answerKey, QStringList{"--check-class", roster} + notebooks);
    QCOMPARE(ran.exitCode, 1);
    QStringList lines = ran.output.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (QString &line : lines)
        line.replace(folder.path() + QLatin1Char('/'), QString()); // file names, not where they are
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines[0], QStringLiteral("id,name,kit,file,sessions,rows,verdict"));
    QVERIFY2(QRegularExpression(QStringLiteral("^s001,Ada Lovelace,EJV8-6XCW,ada.csv gauss.csv,2,12,agrees$"))
                 .match(lines[1]).hasMatch(), qPrintable(lines[1]));
    QVERIFY2(QRegularExpression(QStringLiteral("^s002,\"Gauss, Carl\",\\w{4}-\\w{4},,0,0,missing$")).match(lines[2]).hasMatch(),
             qPrintable(lines[2]));
    QVERIFY2(QRegularExpression(QStringLiteral("^s003,Marie Curie,\\w{4}-\\w{4},marie.csv,1,6,disagrees \\(\\d lines?\\)$"))
                 .match(lines[3]).hasMatch(), qPrintable(lines[3]));
    QVERIFY2(lines[4].endsWith(QLatin1String(",,0,0,missing")), qPrintable(lines[4]));
    QCOMPARE(lines[5], QStringLiteral(",,,nokit.csv,0,6,no kit"));
    QCOMPARE(lines[6], QStringLiteral(",,6NUR-XT58,stranger.csv,0,6,unknown kit"));
    QCOMPARE(lines[7], QStringLiteral(",,,thesis.csv,0,0,unreadable"));
    QVERIFY2(ran.errors.contains(QStringLiteral("thesis.csv:1: not a lab notebook")), qPrintable(ran.errors));
    // A class whose every student agrees passes; a roster that is not one is refused.
    const QByteArray adaAlone = read(roster).split('\n').mid(0, 2).join('\n');
    QCOMPARE(run(answerKey, {"--check-class", write(folder, "ada-roster.csv", adaAlone), notebooks[0]}).exitCode, 0);
    QCOMPARE(run(answerKey, {"--check-class", write(folder, "bad.csv", "name,id\nAda,s001\n"), notebooks[0]}).exitCode, 2);
}

void ClassToolsTest::aClassOnAnInstructorsSystem()
{
    // An instructor's own file: the library's plagioclase under another id.
    QTemporaryDir folder;
    QByteArray system = read(QStringLiteral(LAB_SOURCE_DIR "/systems/ab-an.toml"));
    system.replace("id = \"ab-an\"", "id = \"my-plag\"");
    const QString file = write(folder, "my-plag.toml", system);
    const QString out = folder.filePath(QStringLiteral("class"));
    const Ran made = run(answerKey, {"--locale", "C", "--system", file, "--class",
                                     write(folder, "roster.csv", "name,id\nAda,s001\nBob,s002\n"), "--out", out,
                                     "--seed", "5", write(folder, "sheet.txt", "my-plag run 0.6 0.4 1400\nmy-plag probe\n")});
    QCOMPARE(made.exitCode, 0);
    // Each student's diagrams: the lab's two and the system the sheet plays.
    for (const QString student : {QStringLiteral("s001"), QStringLiteral("s002")}) {
        const QStringList written = QDir(out + '/' + student).entryList(QDir::Files, QDir::Name);
        QCOMPARE(written, QStringList({"diagram-1.svg", "diagram-2.svg", "diagram-my-plag.svg", "key.csv", "key.txt"}));
    }
    // Each kit's plagioclase is its own.
    const QString ada = QString::fromUtf8(read(out + QStringLiteral("/s001/key.txt")));
    const QString bob = QString::fromUtf8(read(out + QStringLiteral("/s002/key.txt")));
    QVERIFY(ada.section('\n', 2) != bob.section('\n', 2));
    // The class check knows the system when it is told of the file, and
    // names the line of a system it does not know.
    const QStringList notebooks{out + QStringLiteral("/s001/key.csv"), out + QStringLiteral("/s002/key.csv")};
    QCOMPARE(run(answerKey, QStringList{"--system", file, "--check-class", out + QStringLiteral("/roster.csv")} + notebooks)
                 .exitCode,
             0);
    const Ran unknown = run(answerKey, QStringList{"--check", notebooks[0]});
    QCOMPARE(unknown.exitCode, 2);
    QVERIFY2(unknown.errors.contains(QStringLiteral("key.csv:2")) && unknown.errors.contains(QStringLiteral("my-plag")),
             qPrintable(unknown.errors));
}

void ClassToolsTest::optionsThatDoNotGoTogether_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("why");
    QTest::addRow("two modes") << QStringList{"--csv", "--check", "SHEET"} << "--csv and --check do not go together";
    QTest::addRow("a key and a diagram") << QStringList{"--reports-only", "--diagram", "1", "out.svg"}
                                         << "do not go together";
    QTest::addRow("--out without --class") << QStringList{"--out", "somewhere", "SHEET"} << "--out goes with --class";
    QTest::addRow("--class without --out") << QStringList{"--class", "SHEET", "SHEET"} << "--class needs --out";
    QTest::addRow("--seed without --class") << QStringList{"--seed", "3", "SHEET"} << "--seed goes with --class";
    QTest::addRow("a kit for a class") << QStringList{"--kit", "6NUR-XT58", "--class", "SHEET", "--out", "x", "SHEET"}
                                       << "every student has a kit of their own";
    QTest::addRow("two worksheets") << QStringList{"SHEET", "SHEET"} << "one worksheet or notebook at a time";
    QTest::addRow("a kit code with an en dash is read") << QStringList{"--kit", "6NUR\u2013XT58", "--csv", "SHEET"} << "";
}

void ClassToolsTest::optionsThatDoNotGoTogether()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, why);
    QTemporaryDir folder;
    const QString sheet = write(folder, "sheet.txt", worksheet);
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^SHEET$")), sheet);
    const Ran ran = run(answerKey, arguments);
    QCOMPARE(ran.exitCode, why.isEmpty() ? 0 : 2);
    QVERIFY2(ran.errors.contains(why), qPrintable(ran.errors));
}

void ClassToolsTest::outputsThatCannotBeWritten_data()
{
    // Each: the program's arguments (OUT: a file that exists, holding "old"),
    // standard output sent to /dev/full or not, a file-size limit.
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("toFullDevice");
    QTest::addColumn<qint64>("fileSizeLimit");
    QTest::addRow("a key's CSV to a full disk") << answerKey << QStringList{"--csv", "SHEET"} << true << qint64(-1);
    QTest::addRow("a key to a full disk") << answerKey << QStringList{"SHEET"} << true << qint64(-1);
    QTest::addRow("a check's verdict to a full disk") << answerKey << QStringList{"--check", "BOOK"} << true << qint64(-1);
    QTest::addRow("a PNG diagram past a size limit") << answerKey << QStringList{"--diagram", "1", "OUT.png", "SHEET"}
                                                     << false << qint64(4096);
    QTest::addRow("an SVG diagram past a size limit") << answerKey << QStringList{"--diagram", "2", "OUT.svg", "SHEET"}
                                                      << false << qint64(4096);
    QTest::addRow("a PDF diagram past a size limit") << answerKey << QStringList{"--diagram", "1", "OUT.pdf"} << false
                                                     << qint64(2048);
    QTest::addRow("a class past a size limit") << answerKey
                                               << QStringList{"--class", "LIST", "--out", "CLASS", "SHEET"} << false
                                               << qint64(4096);
    QTest::addRow("a student's plot past a size limit") << notebookProgram
                                                        << QStringList{"BOOK", "--export", "OUT.svg"} << false
                                                        << qint64(1024);
}

void ClassToolsTest::outputsThatCannotBeWritten()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(bool, toFullDevice);
    QFETCH(qint64, fileSizeLimit);
    QTemporaryDir folder;
    const QString sheet = write(folder, "sheet.txt", worksheet);
    const QString book = write(folder, "book.csv", run(answerKey, {"--locale", "C", "--csv", sheet}).output.toUtf8());
    QString old;
    for (QString &argument : arguments) {
        if (argument.startsWith(QLatin1String("OUT")))
            argument = old = write(folder, argument, "old");
        else if (argument == QLatin1String("SHEET"))
            argument = sheet;
        else if (argument == QLatin1String("BOOK"))
            argument = book;
        else if (argument == QLatin1String("LIST"))
            argument = write(folder, "list.csv", "name,id\nAda,s001\n");
        else if (argument == QLatin1String("CLASS"))
            argument = folder.filePath(QStringLiteral("class"));
    }
    Ran ran;
    if (toFullDevice) {
        QProcess process;
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(60'000));
        ran = {process.exitCode(), {}, QString::fromUtf8(process.readAllStandardError())};
    } else {
        ran = run(program, arguments, fileSizeLimit);
    }
    // Said, and told by the exit status: 2, "could not write".
    QCOMPARE(ran.exitCode, 2);
    QVERIFY2(ran.errors.contains(QLatin1String("cannot write")), qPrintable(ran.errors));
    // The old file is as it was: a file is written whole or not at all.
    if (!old.isEmpty())
        QCOMPARE(read(old), QByteArray("old"));
    QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("*.??????")}, QDir::Files), QStringList());
}

QTEST_MAIN(ClassToolsTest)
#include "tst_classtools.moc"
