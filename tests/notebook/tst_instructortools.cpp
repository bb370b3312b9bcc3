// The instructors' tools: a notebook checked against the lab, and the true
// phase diagram with a worksheet's runs on it.
#include "diagramplot.h"
#include "notebookcheck.h"
#include "notebookcsv.h"
#include "recordedrows.h"

#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString worksheet = QStringLiteral(R"(exp1 run 0.5 0.5 1300
exp1 probe
exp1 run 0.5 x 1300
exp1 run 0.8 0.2 1350
exp1 probe
exp1 probe
exp2 run 0.5 0.5 1350
exp2 probe
exp1 run 0 0 1300
exp1 run 0.3 0.7 1274
exp1 probe
)");

// Rows as a first lab start without a kit records them, at the local time.
std::vector<NotebookRow> rowsOf(const QString &script, const QLocale &locale = QLocale::c())
{
    return recordedRows(script, locale, 1, QString(), &NotebookRecorder::localTimeNow);
}

// The rows as read back from their file, with their line numbers.
std::vector<NotebookRow> filed(const std::vector<NotebookRow> &rows)
{
    QByteArray bytes = NotebookCsv::header();
    for (const NotebookRow &row : rows)
        bytes += NotebookCsv::encode(row);
    return NotebookCsv::parse(bytes).rows;
}

using Change = std::function<void(std::vector<NotebookRow> &)>;

} // namespace

Q_DECLARE_METATYPE(Change)

class InstructorToolsTest : public QObject
{
    Q_OBJECT

private slots:
    void checkFindsWhatWasChanged_data();
    void checkFindsWhatWasChanged();
    void checkReadsEntriesInTheStudentsLocale();
    void runsLieInTheFieldsOfTheirPhases();
    void eutecticLabelStatesWhereItIs_data();
    void eutecticLabelStatesWhereItIs();
    void programWritesDiagramsAndNamesBadLines_data();
    void programWritesDiagramsAndNamesBadLines();
};

void InstructorToolsTest::checkFindsWhatWasChanged_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("firstDisagreement"); // empty: every row agrees

    QTest::addRow("as the lab wrote it") << Change([](std::vector<NotebookRow> &) {}) << "";
    QTest::addRow("a second session") << Change([](std::vector<NotebookRow> &rows) {
        std::vector<NotebookRow> again = rows;
        for (NotebookRow &row : again)
            row[NotebookRow::Session] = QStringLiteral("2");
        rows.insert(rows.end(), again.begin(), again.end());
    }) << "";
    QTest::addRow("an oxide value changed") << Change([](std::vector<NotebookRow> &rows) {
        rows[2][NotebookRow::Al2O3] = QStringLiteral("36.62");
    }) << "line 4: Al2O3: recorded \"36.62\", the lab gives \"36.61\"";
    QTest::addRow("a picture changed") << Change([](std::vector<NotebookRow> &rows) {
        rows[4][NotebookRow::Picture] = QStringLiteral("Chab.wmf");
    }) << "line 6: picture: recorded \"Chab.wmf\", the lab gives \"Chaa.wmf\"";
    QTest::addRow("a probe row deleted") << Change([](std::vector<NotebookRow> &rows) {
        rows.erase(rows.begin() + 1);
    }) << "line 3: a row is missing before this line: the lab gives \"probe glass\" at 1300 degrees";
    QTest::addRow("the last row deleted") << Change([](std::vector<NotebookRow> &rows) { rows.pop_back(); })
                                          << "line 16: a row is missing before this line";
    QTest::addRow("a run deleted") << Change([](std::vector<NotebookRow> &rows) { rows.erase(rows.begin() + 4); })
                                   << "line 6: ";
    QTest::addRow("two runs swapped") << Change([](std::vector<NotebookRow> &rows) {
        std::swap(rows[0], rows[4]);
    }) << "line 3: temperature: recorded \"1300\", the lab gives \"1350\"";
    QTest::addRow("a row made up") << Change([](std::vector<NotebookRow> &rows) {
        NotebookRow extra = rows[2];
        extra[NotebookRow::Phase] = QStringLiteral("crystal(1)");
        rows.insert(rows.begin() + 3, extra);
    }) << "line 5: an extra row";
}

void InstructorToolsTest::checkFindsWhatWasChanged()
{
    QFETCH(Change, change);
    QFETCH(QString, firstDisagreement);
    std::vector<NotebookRow> rows = rowsOf(worksheet);
    change(rows);
    const NotebookCheck::Result result = NotebookCheck(QLocale::c()).check(filed(rows));
    QCOMPARE(result.rowsChecked, int(rows.size()));
    if (firstDisagreement.isEmpty()) {
        QVERIFY2(result.disagreements.isEmpty(), qPrintable(texts(result.disagreements).join(QLatin1Char('\n'))));
        return;
    }
    QVERIFY(!result.disagreements.isEmpty());
    QVERIFY2(result.disagreements.first().text().startsWith(firstDisagreement), qPrintable(result.disagreements.first().text()));
}

void InstructorToolsTest::checkReadsEntriesInTheStudentsLocale()
{
    // A German desktop's notebook checked on an English one: its rows say
    // their entries were typed in de_DE, where "1.300" is 1300 degrees.
    const QLocale german(QLocale::German, QLocale::Germany);
    const std::vector<NotebookRow> rows =
        filed(rowsOf(QStringLiteral("exp1 run 0,5 0,5 1.300\nexp1 probe\n"), german));
    QCOMPARE(rows.front()[NotebookRow::Locale], QStringLiteral("de_DE"));
    QCOMPARE(rows.at(1)[NotebookRow::Temperature], QStringLiteral("1300"));
    for (const QLocale &checkedIn : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates), german})
        QVERIFY2(NotebookCheck(checkedIn).check(rows).disagreements.isEmpty(), qPrintable(checkedIn.name()));

    // A notebook written before rows named their locale is read in the
    // locale the instructor names.
    QByteArray old = NotebookCsv::header({NotebookCsv::Shape::WithoutLocale, ','});
    for (const NotebookRow &row : rows)
        old += NotebookCsv::encode(row, {NotebookCsv::Shape::WithoutLocale, ','});
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(old);
    QVERIFY(parsed.problems.isEmpty());
    QVERIFY(NotebookCheck(german).check(parsed.rows).disagreements.isEmpty());
    const QStringList inC = texts(NotebookCheck(QLocale::c()).check(parsed.rows).disagreements);
    QVERIFY2(!inC.isEmpty() && inC.first().startsWith(QStringLiteral("line 2: event: recorded \"run\", the lab gives "
                                                                      "\"entry error\"")),
             qPrintable(inC.join(QLatin1Char('\n'))));
}

void InstructorToolsTest::runsLieInTheFieldsOfTheirPhases()
{
    // Runs across every field of both diagrams, each analysed: each run's
    // marker must lie in the field of the diagram drawn whose phases the
    // lab's microprobe reported (glass, crystals, or both). The end members'
    // melting points (1118, 1392, 1553) are among the temperatures: a pure
    // mineral at its melting point is all glass in the lab.
    QString script;
    for (int experiment = 1; experiment <= 2; ++experiment)
        for (const double x2 : {0.0, 0.1, 0.3, 0.42, 0.5, 0.7, 0.9, 1.0})
            for (const int temperature : {1000, 1118, 1150, 1250, 1274, 1300, 1350, 1392, 1400, 1450, 1500, 1553, 1560})
                script += QStringLiteral("exp%1 run %2 %3 %4\nexp%1 probe\n")
                              .arg(experiment).arg(1 - x2).arg(x2).arg(temperature);
    const std::vector<NotebookRow> rows = rowsOf(script);
    int checked = 0;
    for (const ExperimentDefinition &experiment : labExperiments()) {
        const PlotData plot = DiagramPlot::make(experiment, rows, QLocale::c());
        const DiagramOutline outline = experiment.outline();
        QVERIFY(!plot.curves.empty() && !plot.fieldLabels.empty() && !plot.tieLines.empty());
        // The run markers, in the order of the experiment's runs.
        std::vector<PlotMarker> runMarkers;
        for (const PlotMarker &marker : plot.markers)
            if (marker.kind != PlotMarker::Kind::GlassPhase && marker.kind != PlotMarker::Kind::CrystalPhase)
                runMarkers.push_back(marker);
        std::size_t run = 0;
        for (std::size_t index = 0; index < rows.size(); ++index) {
            if (rows[index][NotebookRow::Experiment].toInt() != experiment.number
                || rows[index].event != NotebookRow::EventKind::Run)
                continue;
            bool glass = false;
            bool crystal = false;
            for (std::size_t probe = index + 1; probe < rows.size()
                 && rows[probe].isProbe(); ++probe) {
                glass = glass || rows[probe][NotebookRow::Phase] == QLatin1String("glass");
                crystal = crystal || rows[probe][NotebookRow::Phase].startsWith(QLatin1String("crystal"));
            }
            const PlotMarker &marker = runMarkers.at(run++);
            const QString field = QString::fromStdString(outline.fieldAt(marker.at.x(), marker.at.y()));
            QVERIFY2(field.contains(QLatin1String("liquid")) == glass
                         && field.contains(QLatin1String("crystals")) == crystal,
                     qPrintable(marker.label + QStringLiteral(" lies in the field ") + field));
            ++checked;
        }
        QCOMPARE(run, runMarkers.size());
        // The liquidus as drawn runs from one end member to the other, just
        // above it all liquid, on and below it not (a run model's charge at
        // its liquidus temperature has begun to crystallise).
        for (const PlotCurve &curve : plot.curves) {
            if (curve.name != QLatin1String("liquidus"))
                continue;
            for (const QPointF &point : curve.points.mid(1, curve.points.size() - 2)) {
                QCOMPARE(outline.fieldAt(point.x(), point.y() + 0.01), std::string("liquid"));
                QVERIFY(outline.fieldAt(point.x(), point.y()) != "liquid");
                QVERIFY(outline.fieldAt(point.x(), point.y() - 0.01) != "liquid");
            }
        }
        QCOMPARE(plot.curves.front().points.front().x(), 0.0);
        QCOMPARE(plot.curves[experiment.number == 1 ? 1 : 0].points.back().x(), 1.0);
        // Every field label sits in the field it names.
        for (const DiagramOutline::Label &label : outline.labels)
            if (!QString::fromStdString(label.text).startsWith(QLatin1String("eutectic")))
                QCOMPARE(outline.fieldAt(label.at.x2, label.at.temperature), label.text);
    }
    QCOMPARE(checked, 208);
}

void InstructorToolsTest::eutecticLabelStatesWhereItIs_data()
{
    // The lab's eutectic lies on a whole degree and is stated so; a kit's
    // lies between, and is stated to the tenth its key gives.
    QTest::addColumn<QString>("kit");
    QTest::addColumn<QString>("shown");
    QTest::addRow("the lab's own") << "" << "eutectic, X(2) 0.42, 1274 \u00B0C";
    QTest::addRow("the end-to-end kit") << "6NUR-XT58" << "eutectic, X(2) 0.37, 1332.6 \u00B0C";
}

void InstructorToolsTest::eutecticLabelStatesWhereItIs()
{
    QFETCH(QString, kit);
    QFETCH(QString, shown);
    const std::optional<Kit> chosen = kit.isEmpty() ? std::nullopt : Kit::fromCode(kit.toStdString());
    const PlotData plot = DiagramPlot::make(labExperiments(chosen ? &*chosen : nullptr).front(), {}, QLocale::c());
    QStringList texts;
    for (const PlotLabel &label : plot.fieldLabels)
        texts << label.text;
    QVERIFY2(texts.contains(shown), qPrintable(texts.join(QLatin1Char('\n'))));
}

void InstructorToolsTest::programWritesDiagramsAndNamesBadLines_data()
{
    QTest::addColumn<QStringList>("arguments"); // OUT, SHEET, BOOK: files in a scratch folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::addRow("diagram as SVG") << QStringList{"--diagram", "1", "OUT.svg", "SHEET"} << 0 << "";
    QTest::addRow("diagram as PDF") << QStringList{"--diagram", "2", "OUT.pdf"} << 0 << "";
    QTest::addRow("diagram as PNG") << QStringList{"--diagram", "1", "OUT.png", "SHEET"} << 0 << "";
    QTest::addRow("diagram of no experiment") << QStringList{"--diagram", "3", "OUT.png"} << 2 << "usage";
    QTest::addRow("diagram of a bad worksheet") << QStringList{"--diagram", "1", "OUT.png", "BAD"} << 2
                                                << "BAD:2: unknown action";
    QTest::addRow("check passes") << QStringList{"--check", "BOOK"} << 0 << "";
    QTest::addRow("check of a malformed notebook") << QStringList{"--check", "BAD"} << 2 << "BAD:1: not a lab notebook";
    QTest::addRow("help") << QStringList{"--help"} << 0 << "usage: orvane-answer-key";
    QTest::addRow("an unknown option") << QStringList{"--colour", "SHEET"} << 2 << "usage: orvane-answer-key";
}

void InstructorToolsTest::programWritesDiagramsAndNamesBadLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir folder;
    const auto file = [&](const QString &name, const QByteArray &bytes) {
        QFile out(folder.filePath(name));
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        return folder.filePath(name);
    };
    QByteArray notebook = NotebookCsv::header();
    for (const NotebookRow &row : rowsOf(worksheet))
        notebook += NotebookCsv::encode(row);
    QString output;
    for (QString &argument : arguments) {
        if (argument.startsWith(QLatin1String("OUT")))
            argument = output = folder.filePath(argument);
        else if (argument == QLatin1String("SHEET"))
            argument = file(QStringLiteral("sheet.txt"), worksheet.toUtf8());
        else if (argument == QLatin1String("BOOK"))
            argument = file(QStringLiteral("book.csv"), notebook);
        else if (argument == QLatin1String("BAD"))
            argument = file(QStringLiteral("BAD"), "exp1 run 1 1 1\nexp1 melt\n");
    }
    QProcess tool;
    tool.start(QStringLiteral(LAB_BINARY_DIR "/answerkey/orvane-answer-key"), arguments);
    QVERIFY(tool.waitForFinished(60'000));
    const QString said = QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
    QCOMPARE(tool.exitCode(), exitCode);
    QVERIFY2(said.contains(message), qPrintable(said));
    if (exitCode != 0 || output.isEmpty())
        return;
    QFile written(output);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    if (output.endsWith(QLatin1String(".svg")))
        QVERIFY(QSvgRenderer(bytes).isValid());
    else if (output.endsWith(QLatin1String(".pdf")))
        QVERIFY(bytes.startsWith("%PDF-"));
    else
        QVERIFY(!QImage::fromData(bytes).isNull() && QImage::fromData(bytes).pixelColor(5, 5) == QColor(Qt::white));
}

QTEST_MAIN(InstructorToolsTest)
#include "tst_instructortools.moc"
