// The library's systems through the built answer-key tool: the published
// points reached by worksheet runs, keys and notebook rows of system runs,
// the report's layout for one, two and three phases, diagrams by id, and an
// instructor's own file.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

const QString answerKey = QStringLiteral(LAB_BINARY_DIR "/answerkey/orvane-answer-key");

struct Ran
{
    int exitCode = -1;
    QString output;
    QString errors;
};

Ran run(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(answerKey, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60'000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The notebook rows a worksheet gives, as lists of fields by column name.
QList<QMap<QString, QString>> csvRows(const QString &worksheet)
{
    const Ran ran = run({"--locale", "C", "--csv", "-"}, worksheet.toUtf8());
    QStringList lines = ran.output.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const QStringList header = lines.takeFirst().split(QLatin1Char(','));
    QList<QMap<QString, QString>> rows;
    for (const QString &line : lines) {
        // Fields with commas are quoted, as the charge words of a
        // three-phase charge and a cooling's program are.
        QStringList fields{QString()};
        bool quoted = false;
        for (const QChar character : line) {
            if (character == QLatin1Char('"'))
                quoted = !quoted;
            else if (character == QLatin1Char(',') && !quoted)
                fields << QString();
            else
                fields.last() += character;
        }
        QMap<QString, QString> row;
        for (qsizetype column = 0; column < header.size() && column < fields.size(); ++column)
            row[header[column]] = fields[column];
        rows << row;
    }
    return rows;
}

} // namespace

class SystemKeysTest : public QObject
{
    Q_OBJECT

private slots:
    void listsTheLibrary();
    void publishedPointsThroughTheTool_data();
    void publishedPointsThroughTheTool();
    void reportColumnsLineUp_data();
    void reportColumnsLineUp();
    void chargeWordsAndAnalysesBalance();
    void entryRulesAreTheLabs_data();
    void entryRulesAreTheLabs();
    void diagramsAndInstructorsFiles();
    void coolingKeysAndNotebooks_data();
    void coolingKeysAndNotebooks();
    void coolingEntriesAreChecked_data();
    void coolingEntriesAreChecked();
    void coolingsAreCheckedStepByStep();
};

void SystemKeysTest::listsTheLibrary()
{
    const Ran ran = run({"--list-systems"});
    QCOMPARE(ran.exitCode, 0);
    QCOMPARE(ran.output, QStringLiteral("di-an  Diopside \u2013 Anorthite\nab-an  Albite \u2013 Anorthite\n"
                                        "fo-fa  Forsterite \u2013 Fayalite\nfo-sio2  Forsterite \u2013 Silica\n"));
}

void SystemKeysTest::publishedPointsThroughTheTool_data()
{
    // Runs a student could type, at the published points: which phases the
    // charge holds, and the glass's X(2) where it says something.
    QTest::addColumn<QString>("run");
    QTest::addColumn<QString>("phases"); // the probe rows' phase column, in order
    QTest::addColumn<double>("glassX2"); // -1: no glass
    QTest::addRow("di-an: the eutectic, 1274, X(2) 0.42") << "di-an run 0.58 0.42 1274" << "diopside glass anorthite" << 0.42;
    QTest::addRow("di-an: just above it, glass and anorthite") << "di-an run 0.5 0.5 1280" << "glass anorthite" << 0.43;
    QTest::addRow("di-an: below it, crystals only") << "di-an run 0.58 0.42 1265" << "diopside anorthite" << -1.0;
    QTest::addRow("ab-an: X(2) 0.50 above 1465 is glass") << "ab-an run 0.5 0.5 1466" << "glass" << 0.5;
    QTest::addRow("ab-an: first crystals below 1435, near 0.80")
        << "ab-an run 0.5 0.5 1444" << "glass plagioclas" << 0.48;
    QTest::addRow("fo-fa: forsterite melts at 1890") << "fo-fa run 1 0 1890" << "glass" << 0.0;
    QTest::addRow("fo-fa: and is crystals just below") << "fo-fa run 1 0 1889.9" << "olivine" << -1.0;
    QTest::addRow("fo-fa: fayalite melts at 1205") << "fo-fa run 0 1 1205" << "glass" << 1.0;
    QTest::addRow("fo-sio2: the peritectic, 1552.4") << "fo-sio2 run 0.7 0.3 1552.4" << "forsterite enstatite glass" << 0.32;
    QTest::addRow("fo-sio2: enstatite melts to forsterite and liquid")
        << "fo-sio2 run 0.7008 0.2992 1555" << "forsterite glass" << 0.32;
    QTest::addRow("fo-sio2: the eutectic, 1547.4") << "fo-sio2 run 0.62 0.38 1547.4" << "enstatite glass cristobali" << 0.39;
    QTest::addRow("fo-sio2: cristobalite melts at 1713") << "fo-sio2 run 0 1 1713" << "glass" << 1.0;
}

void SystemKeysTest::publishedPointsThroughTheTool()
{
    QFETCH(QString, run);
    QFETCH(QString, phases);
    QFETCH(double, glassX2);
    const QString system = run.section(QLatin1Char(' '), 0, 0);
    const QList<QMap<QString, QString>> rows = csvRows(run + QStringLiteral("\n") + system + QStringLiteral(" probe\n"));
    QVERIFY(!rows.isEmpty());
    QCOMPARE(rows.first()[QStringLiteral("experiment")], system);
    QCOMPARE(rows.first()[QStringLiteral("picture")], QString()); // the lab draws a system's charge itself
    QStringList found;
    for (const auto &row : rows.mid(1)) {
        found << row[QStringLiteral("phase")];
        if (row[QStringLiteral("phase")] == QLatin1String("glass"))
            QVERIFY2(std::abs(row[QStringLiteral("X2")].toDouble() - glassX2) <= 0.011,
                     qPrintable(row[QStringLiteral("X2")]));
    }
    QCOMPARE(found.join(QLatin1Char(' ')), phases);
}

void SystemKeysTest::reportColumnsLineUp_data()
{
    QTest::addColumn<QString>("run");
    QTest::addColumn<int>("columns");
    QTest::addRow("one phase") << "fo-sio2 run 0.6 0.4 1700" << 1;
    QTest::addRow("two phases") << "ab-an run 0.5 0.5 1400" << 2;
    QTest::addRow("three phases") << "fo-sio2 run 0.7 0.3 1552.4" << 3;
}

void SystemKeysTest::reportColumnsLineUp()
{
    // Every number of a column ends where its heading ends, 11 characters
    // apart, the first at the 16th, as the lab's own reports line up.
    QFETCH(QString, run);
    QFETCH(int, columns);
    const QString system = run.section(QLatin1Char(' '), 0, 0);
    const Ran ran = ::run({"--locale", "C", "--reports-only", "-"}, (run + "\n" + system + " probe\n").toUtf8());
    QCOMPARE(ran.exitCode, 0);
    const QStringList lines = ran.output.section(QStringLiteral("\f\n"), 0, 0).split(QStringLiteral("\r\n"));
    QVERIFY(lines.first().startsWith(QLatin1String("Temperature = ")));
    int checked = 0;
    for (const QString &line : lines.mid(1)) {
        if (line.isEmpty())
            continue;
        QCOMPARE(line.size(), 5 + 11 * columns);
        for (int column = 0; column < columns; ++column) {
            const QString cell = line.mid(5 + 11 * column, 11);
            QVERIFY2(!cell.endsWith(QLatin1Char(' ')) && cell.startsWith(QLatin1Char(' ')), qPrintable(line));
        }
        ++checked;
    }
    QVERIFY(checked >= 5); // headings, two oxides at least, total, X(2)
}

void SystemKeysTest::chargeWordsAndAnalysesBalance()
{
    // The charge's words give each phase's share in whole percent; with the
    // analysed X(2) of each phase they balance the bulk (the lever rule),
    // within the rounding of the numbers shown.
    const QString worksheet = QStringLiteral("fo-sio2 run 0.7 0.3 1552.4\nfo-sio2 probe\nab-an run 0.6 0.4 1350\nab-an probe\n"
                                             "di-an run 0.3 0.7 1274\ndi-an probe\n");
    const QList<QMap<QString, QString>> rows = csvRows(worksheet);
    for (qsizetype index = 0; index < rows.size(); ++index) {
        if (rows[index][QStringLiteral("event")] != QLatin1String("run"))
            continue;
        const QString words = rows[index][QStringLiteral("charge")];
        const QRegularExpression share(QStringLiteral("(\\w+) \\((\\d+) percent\\)"));
        double bulk = 0;
        int total = 0;
        for (const QRegularExpressionMatch &match : share.globalMatch(words)) {
            const int percent = match.captured(2).toInt();
            total += percent;
            for (qsizetype probe = index + 1; probe < rows.size() && rows[probe][QStringLiteral("event")] == QLatin1String("probe"); ++probe)
                if (rows[probe][QStringLiteral("phase")].startsWith(match.captured(1).left(10)))
                    bulk += percent / 100.0 * rows[probe][QStringLiteral("X2")].toDouble();
        }
        QVERIFY2(std::abs(total - 100) <= 1, qPrintable(words));
        const double typed = rows[index][QStringLiteral("grams2")].toDouble()
            / (rows[index][QStringLiteral("grams1")].toDouble() + rows[index][QStringLiteral("grams2")].toDouble());
        QVERIFY2(std::abs(bulk - typed) < 0.012, qPrintable(QStringLiteral("%1: %2 against %3").arg(words).arg(bulk).arg(typed)));
    }
}

void SystemKeysTest::entryRulesAreTheLabs_data()
{
    QTest::addColumn<QString>("run");
    QTest::addColumn<QString>("outcome");
    QTest::addRow("grams over one") << "di-an run 1.1 0 1300" << "Entry Error: A value between 0 and 1 is required!";
    QTest::addRow("not a number") << "di-an run 0.5 x 1300" << "Entry Error: A value between 0 and 1 is required!";
    QTest::addRow("below the file's range") << "fo-sio2 run 0.5 0.5 999.9"
                                            << "Entry Error: A value between 1000 and 2000 is required!";
    QTest::addRow("above the range") << "di-an run 0.5 0.5 2000.1" << "Entry Error: A value between 0 and 2000 is required!";
    QTest::addRow("no grams at all") << "di-an run 0 0 1300" << "Abort: Program encountered an unexpected error!";
}

void SystemKeysTest::entryRulesAreTheLabs()
{
    QFETCH(QString, run);
    QFETCH(QString, outcome);
    const Ran ran = ::run({"--locale", "C", "-"}, run.toUtf8() + "\n");
    QCOMPARE(ran.output.trimmed(), run + QStringLiteral(" -> ") + outcome);
}

void SystemKeysTest::diagramsAndInstructorsFiles()
{
    QTemporaryDir folder;
    const QString sheet = folder.filePath(QStringLiteral("sheet.txt"));
    {
        QFile file(sheet);
        file.open(QIODevice::WriteOnly);
        file.write("fo-sio2 run 0.7 0.3 1600\nfo-sio2 probe\n");
    }
    // A diagram by the system's id; an id no one knows is refused.
    QCOMPARE(run({"--diagram", "fo-sio2", folder.filePath(QStringLiteral("d.svg")), sheet}).exitCode, 0);
    QVERIFY(QFile(folder.filePath(QStringLiteral("d.svg"))).size() > 1000);
    const Ran unknown = run({"--diagram", "mg-o", folder.filePath(QStringLiteral("x.svg"))});
    QCOMPARE(unknown.exitCode, 2);
    QVERIFY(unknown.errors.contains(QLatin1String("fo-sio2")));
    // An instructor's file joins the library, for keys and diagrams alike.
    QFile own(folder.filePath(QStringLiteral("ne-si.toml")));
    QVERIFY(own.open(QIODevice::WriteOnly));
    own.write(R"(id = "lc-si"
title = "Leucite – Silica"
reference = "an instructor"
[mineral1]
name = "leucite"
formula_mass = 218.25
oxides = { SiO2 = 55.06, Al2O3 = 23.36, K2O = 21.58 }
[mineral2]
name = "silica"
formula_mass = 60.08
oxides = { SiO2 = 100.0 }
[liquid]
margules = [-20]
[[solid]]
name = "leucite"
units = [1, 0]
melting_point = 1686
enthalpy_of_fusion = 60
[[solid]]
name = "tridymite"
units = [0, 1]
melting_point = 1670
enthalpy_of_fusion = 9
)");
    own.close();
    const Ran listed = run({"--system", own.fileName(), "--list-systems"});
    QVERIFY(listed.output.endsWith(QStringLiteral("lc-si  Leucite \u2013 Silica\n")));
    const Ran key = run({"--system", own.fileName(), "--locale", "C", "-"}, "lc-si run 0.5 0.5 1700\nlc-si probe\n");
    QCOMPARE(key.exitCode, 0);
    QVERIFY2(key.output.contains(QLatin1String("K2O")), qPrintable(key.output));
    // A broken file is refused before anything is played, naming its line.
    QVERIFY(own.open(QIODevice::Append));
    own.write("colour = 3\n");
    own.close();
    const Ran broken = run({"--system", own.fileName(), "--list-systems"});
    QCOMPARE(broken.exitCode, 2);
    QVERIFY2(broken.errors.contains(QStringLiteral("ne-si.toml:24: [[solid]] 2: colour: must be text")), qPrintable(broken.errors));
}

void SystemKeysTest::coolingKeysAndNotebooks_data()
{
    QTest::addColumn<QString>("cooling");
    QTest::addColumn<QStringList>("traverse");
    QTest::addColumn<bool>("zoned");
    QTest::addRow("plagioclase, fractionally: a calcic core, a sodic rim")
        << "ab-an cool 0.5 0.5 1500 1120 20 fractional"
        << QStringList{"glass", "plagioclase core", "plagioclase 1", "plagioclase 2", "plagioclase 3", "plagioclase rim"}
        << true;
    QTest::addRow("plagioclase in equilibrium: every point the same")
        << "ab-an cool 0.5 0.5 1500 1300 50 equilibrium"
        << QStringList{"glass", "plagioclase core", "plagioclase 1", "plagioclase 2", "plagioclase 3", "plagioclase rim"}
        << false;
    QTest::addRow("forsterite-silica, fractionally: forsterite mantled by enstatite, then cristobalite")
        << "fo-sio2 cool 0.8 0.2 1900 1500 5 fractional"
        << QStringList{"forsterite core", "forsterite 1", "forsterite 2", "enstatite 3", "enstatite rim",
                       "cristobalite core", "cristobalite 1", "cristobalite 2", "cristobalite 3", "cristobalite rim"}
        << true;
}

void SystemKeysTest::coolingKeysAndNotebooks()
{
    QFETCH(QString, cooling);
    QFETCH(QStringList, traverse);
    QFETCH(bool, zoned);
    const QStringList words = cooling.split(QLatin1Char(' '));
    const int from = words[4].toInt();
    const int to = words[5].toInt();
    const int step = words[6].toInt();
    const QList<QMap<QString, QString>> rows = csvRows(cooling + "\n" + words[0] + " probe\n");
    // A cool row a step, from the start down to the end.
    const int steps = (from - to) / step + 1;
    QCOMPARE(rows.size(), steps + traverse.size());
    for (int index = 0; index < steps; ++index) {
        QCOMPARE(rows[index]["event"], QStringLiteral("cool"));
        QCOMPARE(rows[index]["temperature"].toInt(), from - index * step);
        QCOMPARE(rows[index]["phase"], QStringLiteral("%1 %2 to %3 by %4").arg(words[7]).arg(from).arg(to).arg(step));
        QVERIFY(rows[index]["charge"].startsWith(QStringLiteral("Charge of ")));
    }
    QCOMPARE(rows[0]["X2"].toDouble(), words[3].toDouble() / (words[2].toDouble() + words[3].toDouble()));
    // The traverse after it: glass if any is left, then each crystal core to rim.
    QStringList phases;
    for (qsizetype index = steps; index < rows.size(); ++index) {
        QCOMPARE(rows[index]["event"], QStringLiteral("probe"));
        QCOMPARE(rows[index]["temperature"].toInt(), to);
        phases << rows[index]["phase"];
    }
    QCOMPARE(phases, traverse);
    const qsizetype core = traverse.indexOf(QRegularExpression(QStringLiteral(".* core"))) + steps;
    const double coreX2 = rows[core]["X2"].toDouble();
    const double rimX2 = rows[core + 4]["X2"].toDouble();
    if (zoned)
        QVERIFY2(rimX2 > coreX2 + 0.2 || rimX2 < coreX2 - 0.5, qPrintable(QStringLiteral("%1 %2").arg(coreX2).arg(rimX2)));
    else
        for (int point = 1; point < 5; ++point)
            QCOMPARE(rows[core + point]["X2"], rows[core]["X2"]);
    // The key says each step's liquid and crystals.
    const Ran key = run({"--locale", "C", "-"}, (cooling + "\n").toUtf8());
    QCOMPARE(key.output.count(QStringLiteral(" degrees: ")), steps);
    QVERIFY2(key.output.contains(QStringLiteral("  %1 degrees: liquid X(2) %2, 0 percent crystals. Charge of glass (100 percent).")
                                     .arg(from)
                                     .arg(rows[0]["X2"])),
             qPrintable(key.output));
}

void SystemKeysTest::coolingEntriesAreChecked_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("said");
    QTest::addRow("warming") << "ab-an cool 0.5 0.5 1500 1600 10 equilibrium"
                             << "Entry Error: A whole number between 0 and 1500 is required!";
    QTest::addRow("a step of nothing") << "ab-an cool 0.5 0.5 1500 1400 0 fractional"
                                       << "Entry Error: A whole number between 1 and 2000 is required!";
    QTest::addRow("a fraction of a degree") << "ab-an cool 0.5 0.5 1500.5 1400 10 fractional"
                                            << "Entry Error: A whole number between 0 and 2000 is required!";
    QTest::addRow("grams that are no number") << "ab-an cool abc 0.5 1500 1400 10 fractional"
                                              << "Entry Error: A value between 0 and 1 is required!";
    QTest::addRow("no grams") << "ab-an cool 0 0 1500 1400 10 fractional"
                              << "Entry Error: A charge of no grams cannot be cooled!";
    QTest::addRow("the lab's own experiments do not cool")
        << "exp2 cool 0.5 0.5 1500 1400 10 fractional" << "exp2 cannot cool a charge step by step";
    QTest::addRow("a kind the lab does not know") << "ab-an cool 0.5 0.5 1500 1400 10 slowly"
                                                  << "and equilibrium or fractional";
}

void SystemKeysTest::coolingEntriesAreChecked()
{
    QFETCH(QString, line);
    QFETCH(QString, said);
    const Ran key = run({"--locale", "C", "-"}, (line + "\nab-an probe\n").toUtf8());
    QVERIFY2((key.output + key.errors).contains(said), qPrintable(key.output + key.errors));
    // A refused cooling leaves no row and draws nothing: the probe after it
    // reports the charge as it was (none yet).
    if (key.exitCode == 0)
        QCOMPARE(csvRows(line + "\nab-an probe\n").size(), 1);
}

void SystemKeysTest::coolingsAreCheckedStepByStep()
{
    QTemporaryDir folder;
    // Coolings of the same charge one after the other (the second once
    // more), then a run.
    const QString sheet = QStringLiteral("ab-an cool 0.5 0.5 1500 1300 25 fractional\n"
                                         "ab-an cool 0.5 0.5 1290 1250 20 fractional\n"
                                         "ab-an cool 0.5 0.5 1290 1250 20 fractional\nab-an probe\n"
                                         "ab-an run 0.5 0.5 1300\nab-an probe\n");
    QByteArray notebook = run({"--locale", "C", "--csv", "-"}, sheet.toUtf8()).output.toUtf8();
    const QString path = folder.filePath(QStringLiteral("notebook.csv"));
    const auto checkOf = [&](const QByteArray &bytes) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        file.close();
        return run({"--check", path});
    };
    const Ran genuine = checkOf(notebook);
    QVERIFY2(genuine.exitCode == 0, qPrintable(genuine.output + genuine.errors));
    // A step's liquid changed, and a step left out, are named by line.
    QList<QByteArray> lines = notebook.split('\n');
    QList<QByteArray> changed = lines;
    changed[3].replace(",0.500,,C", ",0.99,,C");
    QVERIFY(changed[3] != lines[3]);
    const Ran tampered = checkOf(changed.join('\n'));
    QCOMPARE(tampered.exitCode, 1);
    QVERIFY2(tampered.output.contains(QStringLiteral(":4: X2: recorded \"0.99\"")), qPrintable(tampered.output));
    // Leaving out the seventh step of the fractional path: the rest of the
    // path is no longer what the lab gives, and the gap is named.
    QList<QByteArray> shortened = lines;
    shortened.removeAt(7);
    const Ran missing = checkOf(shortened.join('\n'));
    QCOMPARE(missing.exitCode, 1);
    QVERIFY2(missing.output.contains(QStringLiteral(":8: a row is missing before this line: the lab gives \"cool\" at 1350")),
             qPrintable(missing.output));
}

QTEST_MAIN(SystemKeysTest)
#include "tst_systemkeys.moc"
