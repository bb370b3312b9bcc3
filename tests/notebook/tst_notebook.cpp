// The lab notebook: its CSV format, the rows a session makes, the file the
// lab appends to, the student's plot and the notebook window.
#include "notebookcsv.h"
#include "notebookfile.h"
#include "notebookplot.h"
#include "notebooktablemodel.h"
#include "notebookwindow.h"
#include "phaseplot.h"
#include "plotexport.h"
#include "plotwidget.h"
#include "recordedrows.h"

#include <QAccessible>
#include <QComboBox>
#include <QTabWidget>
#include <QTableView>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

namespace {

// Rows as lab start 3 of kit "KIT" records them, every time "T".
std::vector<NotebookRow> rowsOf(const QString &worksheet, const QLocale &locale = QLocale::c())
{
    return recordedRows(worksheet, locale, 3, QStringLiteral("KIT"), [] { return QStringLiteral("T"); });
}

QString line(const NotebookRow &row)
{
    return QString::fromUtf8(NotebookCsv::encode(row)).chopped(2);
}

QByteArray notebookOf(const std::vector<NotebookRow> &rows)
{
    QByteArray bytes = NotebookCsv::header();
    for (const NotebookRow &row : rows)
        bytes += NotebookCsv::encode(row);
    return bytes;
}

void write(const QString &path, const QByteArray &bytes, QIODevice::OpenMode mode = QIODevice::WriteOnly)
{
    QFile file(path);
    QVERIFY(file.open(mode));
    QCOMPARE(file.write(bytes), bytes.size());
}

const QString session = QStringLiteral(R"(exp1 probe
exp1 run 0.5 0.5 1300
exp1 probe
exp1 run 0.5 "" 1300
exp1 run 0 0 1200
exp2 run 0.9 0.1 1200
exp2 probe
)");

} // namespace

class NotebookTest : public QObject
{
    Q_OBJECT

private slots:
    void rowsOfASession();
    void fieldsSurviveTheFile_data();
    void fieldsSurviveTheFile();
    void malformedNotebooksNameTheLine_data();
    void malformedNotebooksNameTheLine();
    void fileIsAppendedToAndCountsSessions();
    void spreadsheetsOwnWaysAreRead();
    void fileThatCannotBeKept_data();
    void fileThatCannotBeKept();
    void plotHasAMarkerPerPlottedRow();
    void plotDrawsWhereItSays();
    void timesCarryTheirOffset_data();
    void timesCarryTheirOffset();
    void exportsAreValid_data();
    void exportsAreValid();
    void windowFollowsTheFile();
    void systemsGetTheirOwnPlots();
    void coolingsDrawTheLiquidsPath();
};

void NotebookTest::rowsOfASession()
{
    const std::vector<NotebookRow> rows = rowsOf(session);
    QStringList lines;
    for (const NotebookRow &row : rows)
        lines << line(row);
    QCOMPARE(lines, QStringList({
        "T,3,1,probe,,,0,,,,,,,,,,,,,,,,KIT,C",
        "T,3,1,run,0.5,0.5,1300,Chbb.wmf,\"Charge of glass with crystals of mineral 2, up to 10 percent crystal.\",,,,,,,,,,,,,,KIT,C",
        "T,3,1,probe,,,1300,,,glass,49.96,,16.67,,,,10.08,23.22,,,99.93,0.45,KIT,C",
        "T,3,1,probe,,,1300,,,crystal,43.26,,36.61,,,,0.08,20.06,,,100.01,1.00,KIT,C",
        "T,3,1,entry error,0.5,,1300,,,,,,,,,,,,,,,,KIT,C",
        "T,3,1,abort,0,0,1200,,,,,,,,,,,,,,,,KIT,C",
        "T,3,2,run,0.9,0.1,1200,Chbd.wmf,\"Charge of glass with crystals of the solid solution, 15 to 20 percent crystal.\",,,,,,,,,,,,,,KIT,C",
        "T,3,2,probe,,,1200,,,crystal,60.60,,24.87,,,,,6.50,8.09,,100.06,0.32,KIT,C",
        "T,3,2,probe,,,1200,,,glass,67.21,,20.53,,,,,1.16,11.19,,100.09,0.06,KIT,C",
    }));
    // A decimal-comma desktop stores its entries as typed, its numbers with a point.
    const std::vector<NotebookRow> german = rowsOf(QStringLiteral("exp1 run 0,5 0,5 1300\nexp1 probe\n"),
                                                   QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(german[0][NotebookRow::Grams1], QStringLiteral("0,5"));
    QCOMPARE(german[1][NotebookRow::SiO2], QStringLiteral("49.96"));
}

void NotebookTest::fieldsSurviveTheFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addRow("comma") << "0,5";
    QTest::addRow("quote") << "say \"hi\"";
    QTest::addRow("line break") << "two\r\nlines";
    QTest::addRow("blanks kept") << "  1300 ";
    QTest::addRow("not ASCII") << "Temperatur über 1300 °C";
    QTest::addRow("empty") << "";
}

void NotebookTest::fieldsSurviveTheFile()
{
    QFETCH(QString, text);
    NotebookRow row = rowsOf(QStringLiteral("exp1 run 0 0 1"))[0];
    row[NotebookRow::Grams1] = text;
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(notebookOf({row, row}));
    QVERIFY2(parsed.problems.isEmpty(), qPrintable(texts(parsed.problems).join(QLatin1Char('\n'))));
    QCOMPARE(int(parsed.rows.size()), 2);
    QCOMPARE(parsed.rows[1][NotebookRow::Grams1], text);
    QCOMPARE(parsed.rows[0].fields, row.fields);
    QCOMPARE(parsed.rows[1].lineNumber, text.contains(QLatin1Char('\n')) ? 4 : 3);
}

void NotebookTest::malformedNotebooksNameTheLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("problem");
    const QByteArray good = notebookOf(rowsOf(session));
    QTest::addRow("wrong header") << QByteArray("time,session\r\n1,2\r\n") << "line 1: not a lab notebook";
    QTest::addRow("ragged row") << good + ",1,1,run\r\n" << "line 11: 4 fields, a notebook row has 24";
    QTest::addRow("bad number")
        << QByteArray(good).replace(",49.96,", ",4x.96,") << "line 4: SiO2 \"4x.96\" is not a number";
    QTest::addRow("number with two decimal signs")
        << QByteArray(good).replace(",49.96,", ",\"49,9.6\",") << "line 4: SiO2 \"49,9.6\" is not a number";
    QTest::addRow("unknown event") << QByteArray(good).replace(",abort,", ",melt,") << "line 7: \"melt\" is not an event";
    QTest::addRow("session of 0") << QByteArray(good).replace("\r\nT,3,2,", "\r\nT,0,2,") << "line 8: the session \"0\"";
    QTest::addRow("not UTF-8") << good + ",1,1,run,\xff\xfe,,,,,,,,,,,,,\r\n" << "line 11: not UTF-8 text";
    QTest::addRow("a number with an exponent") << QByteArray(good).replace(",49.96,", ",1e300,")
                                               << "line 4: SiO2 \"1e300\" is not a number";
    QTest::addRow("the last row cut short") << good + "T,3,1,ru" << "line 11: 4 fields";
    QTest::addRow("a quote never closed") << good + "T,3,1,\"run,\r\n" << "line 11: the last row is cut short";
    QTest::addRow("a row of commas") << good + QByteArray(100'000, ',') + "\r\n" << "line 11: too many fields";
}

void NotebookTest::malformedNotebooksNameTheLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, problem);
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(bytes);
    QVERIFY(!parsed.problems.isEmpty());
    QVERIFY2(parsed.problems.first().text().startsWith(problem), qPrintable(parsed.problems.first().text()));

    // The program refuses it with exit status 2, naming the line.
    QTemporaryDir folder;
    write(folder.filePath(QStringLiteral("notebook.csv")), bytes);
    QProcess program;
    program.start(QStringLiteral(LAB_BINARY_DIR "/notebookwindow/orvane-notebook"),
                  {folder.filePath(QStringLiteral("notebook.csv")), QStringLiteral("--export"),
                   folder.filePath(QStringLiteral("plot.svg"))});
    QVERIFY(program.waitForFinished(30'000));
    QCOMPARE(program.exitCode(), 2);
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(errors.contains(QStringLiteral("notebook.csv:%1").arg(problem.mid(5))), qPrintable(errors));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("plot.svg"))));
}

void NotebookTest::fileIsAppendedToAndCountsSessions()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("notebook.csv"));
    const std::vector<NotebookRow> rows = rowsOf(session);
    for (int start = 1; start <= 2; ++start) {
        NotebookFile file;
        QVERIFY2(file.open(path), qPrintable(file.errorString()));
        QCOMPARE(file.session(), start);
        for (NotebookRow row : rows) {
            row[NotebookRow::Session] = QString::number(file.session());
            QVERIFY(file.append(row));
        }
    }
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(written.readAll());
    QVERIFY(parsed.problems.isEmpty());
    QCOMPARE(parsed.rows.size(), 2 * rows.size());
    QCOMPARE(parsed.rows.back()[NotebookRow::Session], QStringLiteral("2"));
    QCOMPARE(parsed.rows.front()[NotebookRow::Session], QStringLiteral("1"));
}

void NotebookTest::spreadsheetsOwnWaysAreRead()
{
    // A byte order mark in front and LF line ends, as a spreadsheet may save it.
    QByteArray bytes = "\xEF\xBB\xBF" + notebookOf(rowsOf(session));
    bytes.replace("\r\n", "\n");
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(bytes);
    QVERIFY2(parsed.problems.isEmpty(), qPrintable(texts(parsed.problems).join(QLatin1Char('\n'))));
    QCOMPARE(int(parsed.rows.size()), 9);

    // A lab killed in the middle of a row: the next start begins a new line.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("notebook.csv"));
    write(path, notebookOf(rowsOf(session)) + "T,3,1,ru");
    NotebookFile file;
    QVERIFY(file.open(path));
    QVERIFY(file.append(rowsOf(session).front()));
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray after = written.readAll();
    QVERIFY(after.endsWith("T,3,1,ru\r\n" + NotebookCsv::encode(rowsOf(session).front())));
}

void NotebookTest::fileThatCannotBeKept_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents"); // written first; "folder" makes a folder
    QTest::addColumn<QString>("why");
    QTest::addRow("a folder") << "notes" << QByteArray("folder") << "is a folder";
    QTest::addRow("not a notebook") << "thesis.csv" << QByteArray("my thesis\n") << "is not a lab notebook";
    QTest::addRow("no such folder") << "missing/notebook.csv" << QByteArray() << "cannot be written";
}

void NotebookTest::fileThatCannotBeKept()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(QString, why);
    QTemporaryDir folder;
    const QString path = folder.filePath(name);
    if (contents == "folder")
        QVERIFY(QDir(folder.path()).mkdir(name));
    else if (!contents.isEmpty())
        write(path, contents);
    NotebookFile file;
    QVERIFY(!file.open(path));
    QVERIFY2(file.errorString().contains(why), qPrintable(file.errorString()));
    if (contents != "folder" && !contents.isEmpty()) {
        QFile untouched(path);
        QVERIFY(untouched.open(QIODevice::ReadOnly));
        QCOMPARE(untouched.readAll(), contents);
    }
}

void NotebookTest::plotHasAMarkerPerPlottedRow()
{
    const std::vector<NotebookRow> rows = rowsOf(session + QStringLiteral("exp1 run 0.3 0.7 1274\nexp1 run 1 0 1000\n"
                                                                          "exp1 run 0.5 0.5 1500\nexp1 probe\n"));
    const NotebookPlot::Result plot = NotebookPlot::fromRows(rows, 1);
    QVERIFY(plot.problems.isEmpty());
    QList<PlotMarker::Kind> kinds;
    for (const PlotMarker &marker : plot.data.markers)
        kinds << marker.kind;
    using K = PlotMarker::Kind;
    // Runs at their bulk X(2) and temperature; phases at their own X(2).
    QCOMPARE(kinds, QList<K>({K::GlassWithCrystals, K::GlassPhase, K::CrystalPhase, K::GlassWithCrystals,
                              K::CrystalsOnly, K::AllGlass, K::GlassPhase}));
    QCOMPARE(plot.data.markers[0].at, QPointF(0.5, 1300));
    QCOMPARE(plot.data.markers[2].at, QPointF(1, 1300));
    QCOMPARE(plot.data.markers[4].at, QPointF(0, 1000));
    QVERIFY(plot.data.curves.empty() && plot.data.fieldLabels.empty() && plot.data.tieLines.empty());
    QCOMPARE(plot.data.lowestTemperature, 900.0);
    QCOMPARE(plot.data.highestTemperature, 1600.0);
    // An analysis without its X(2), or with one no phase can have, is
    // named rather than drawn.
    for (const QString &x2 : {QString(), QStringLiteral("7")}) {
        std::vector<NotebookRow> changed = rows;
        changed[2][NotebookRow::X2] = x2;
        QVERIFY(changed[2].readFields().isEmpty());
        const NotebookPlot::Result withProblem = NotebookPlot::fromRows(changed, 1);
        QCOMPARE(withProblem.problems.size(), 1);
        QCOMPARE(withProblem.data.markers.size(), plot.data.markers.size() - 1);
    }
    // Entries typed on a decimal-comma desktop land in the same place.
    const std::vector<NotebookRow> german = rowsOf(QStringLiteral("exp1 run 0,8 0,2 1300\n"),
                                                   QLocale(QLocale::German, QLocale::Germany));
    const NotebookPlot::Result germanPlot = NotebookPlot::fromRows(german, 1, QLocale(QLocale::German));
    QCOMPARE(germanPlot.data.markers.at(0).at.x(), 0.2);
}

namespace {

// The darkest grey of the pixels in a rectangle.
int darkest(const QImage &image, const QRect &rect)
{
    int lowest = 255;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            lowest = std::min(lowest, qGray(image.pixel(x, y)));
    return lowest;
}

} // namespace

void NotebookTest::plotDrawsWhereItSays()
{
    // At 1600 x 1200 a unit is two pixels: the axes enclose 168..1200
    // across and 80..1080 down, 1000 to 1500 degrees.
    using K = PlotMarker::Kind;
    PlotData data;
    data.lowestTemperature = 1000;
    data.highestTemperature = 1500;
    data.markers = {{K::AllGlass, {0.2, 1100}, {}, {}},      {K::CrystalsOnly, {0.6, 1300}, {}, {}},
                    {K::AllGlass, {0.1, 1505}, {}, {}},      // just above the axes: still drawn
                    {K::AllGlass, {0.05, 1530}, {}, {}},     // far above them: clipped
                    {K::AllGlass, {-0.01, 1250}, {}, {}},    // just left of them
                    {K::AllGlass, {1.01, 1250}, {}, {}},     // just right of them
                    {K::AllGlass, {0.5, 995}, {}, {}}};      // just below them
    data.curves = {{QStringLiteral("liquidus"), QPolygonF{{0.3, 900}, {0.3, 1600}}},
                   {QStringLiteral("solidus"), QPolygonF{{-0.2, 1225}, {1.2, 1225}}}};
    data.fieldLabels = {{{0.5, 1450}, QStringLiteral("liquid"), {}, false}};
    const PhasePlot plot(data);
    const QRectF target(0, 0, 1600, 1200);
    QCOMPARE(plot.plotArea(target), QRectF(168, 80, 1032, 1000));
    QImage image(1600, 1200, QImage::Format_RGB32);
    QPainter painter(&image);
    plot.paint(painter, target, 0);
    painter.end();
    const auto colourAt = [&](int x, int y) { return image.pixelColor(x, y); };
    QCOMPARE(colourAt(374, 880), QColor(0x00, 0x72, 0xB2));            // the run all glass
    QCOMPARE(colourAt(787, 480), QColor(0xD5, 0x5E, 0x00));            // the run crystals only
    QCOMPARE(colourAt(271, 70), QColor(0x00, 0x72, 0xB2));             // drawn in the margin
    QCOMPARE(colourAt(220, 20), QColor(Qt::white));                    // clipped
    QCOMPARE(colourAt(478, 500), QColor(0x00, 0x9E, 0x73));            // the curve inside
    QCOMPARE(colourAt(478, 70), QColor(0x00, 0x9E, 0x73));             // and just outside the axes
    QCOMPARE(colourAt(478, 20), QColor(Qt::white));                    // but no further
    QCOMPARE(colourAt(478, 1090), QColor(0x00, 0x9E, 0x73));
    QCOMPARE(colourAt(478, 1110), QColor(Qt::white));
    QCOMPARE(colourAt(158, 630), QColor(0x00, 0x9E, 0x73));
    QCOMPARE(colourAt(140, 630), QColor(Qt::white));
    QCOMPARE(colourAt(1210, 630), QColor(0x00, 0x9E, 0x73));
    QCOMPARE(colourAt(1230, 630), QColor(Qt::white));
    for (const QPoint &edge : {QPoint(158, 580), QPoint(1210, 580), QPoint(684, 1090)})
        QCOMPARE(colourAt(edge.x(), edge.y()), QColor(0x00, 0x72, 0xB2)); // markers in the margins
    QCOMPARE(colourAt(1246, 100), QColor(0x00, 0x72, 0xB2));           // the legend's first symbol
    QVERIFY(darkest(image, QRect(166, 650, 4, 1)) < 100);               // the frame
    QVERIFY(darkest(image, QRect(579, 1084, 4, 3)) < 100);              // a tick below the axis
    QVERIFY(darkest(image, QRect(579, 1070, 4, 6)) > 200);              // and none above it
    QVERIFY(darkest(image, QRect(600, 1132, 170, 32)) < 100);           // the axis title
    QVERIFY(darkest(image, QRect(655, 168, 60, 24)) < 100);             // the field name
    int ring = 0; // the focus ring's dots, between 20 and 24 pixels out
    for (int y = 850; y <= 910; ++y)
        for (int x = 344; x <= 404; ++x)
            if (const double r = std::hypot(x - 374.4, y - 880.0); r > 20 && r < 24)
                ring += qGray(image.pixel(x, y)) < 128;
    QVERIFY2(ring > 20, qPrintable(QString::number(ring)));
    QCOMPARE(plot.markerAt(QPointF(376, 878), target), 0);
    QCOMPARE(plot.markerAt(QPointF(600, 600), target), -1);
}

void NotebookTest::timesCarryTheirOffset_data()
{
    // POSIX zones need no zone database; their offsets count west of UTC.
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("offset");
    QTest::addRow("India, half an hour past the hour") << QByteArray("IST-5:30") << "+05:30";
    QTest::addRow("Pakistan, on the hour") << QByteArray("PKT-5") << "+05:00";
    QTest::addRow("New York in winter, behind UTC") << QByteArray("EST5") << "-05:00";
    QTest::addRow("UTC") << QByteArray("UTC0") << "+00:00";
}

void NotebookTest::timesCarryTheirOffset()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, offset);
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", zone);
    tzset();
    const QString time = NotebookRecorder::localTimeNow();
    saved.isNull() ? qunsetenv("TZ") : qputenv("TZ", saved);
    tzset();
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[-+]\\d\\d:\\d\\d$")).match(time).hasMatch(),
             qPrintable(time));
    QVERIFY2(time.endsWith(offset), qPrintable(time));
}

void NotebookTest::exportsAreValid_data()
{
    QTest::addColumn<QString>("name");
    QTest::addRow("SVG") << "plot.svg";
    QTest::addRow("PDF") << "plot.pdf";
    QTest::addRow("PNG") << "plot.png";
}

void NotebookTest::exportsAreValid()
{
    QFETCH(QString, name);
    QTemporaryDir folder;
    const QString path = folder.filePath(name);
    const NotebookPlot::Result plot = NotebookPlot::fromRows(rowsOf(session), 1);
    QVERIFY2(PlotExport::write(plot.data, path).isEmpty(), qPrintable(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    if (name.endsWith(QLatin1String(".svg"))) {
        QVERIFY(QSvgRenderer(bytes).isValid());
        QVERIFY(bytes.contains("with 3 markers"));
        QVERIFY(bytes.contains("viewBox=\"0 0 "));
    } else if (name.endsWith(QLatin1String(".pdf"))) {
        QVERIFY(bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF"));
        QProcess pdfinfo;
        pdfinfo.start(QStringLiteral("pdfinfo"), {path});
        QVERIFY(pdfinfo.waitForFinished(30'000));
        QCOMPARE(pdfinfo.exitCode(), 0);
        const QString info = QString::fromLatin1(pdfinfo.readAllStandardOutput());
        QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages: +1\n"))));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Creator: +Orvane Experimental Labs\n"))), qPrintable(info));
    } else {
        const QImage image(path);
        QVERIFY(!image.isNull());
        int ink = 0;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                ink += qGray(image.pixel(x, y)) < 128;
        QVERIFY2(ink > 500, qPrintable(QString::number(ink)));
    }
}

void NotebookTest::windowFollowsTheFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("notebook.csv"));
    const std::vector<NotebookRow> rows = rowsOf(session);
    write(path, notebookOf(std::vector<NotebookRow>(rows.begin(), rows.begin() + 4)));
    NotebookWindow window;
    window.open(path);
    window.show();
    QCOMPARE(window.model().rowCount(), 4);
    QCOMPARE(int(window.plot(1)->data().markers.size()), 3);

    // The lab appends; the window shows the new rows, a line still being
    // written is left for the next look.
    QByteArray more;
    for (std::size_t index = 4; index < rows.size(); ++index)
        more += NotebookCsv::encode(rows[index]);
    write(path, more + ",3,1,ru", QIODevice::Append);
    QTRY_COMPARE(window.model().rowCount(), int(rows.size()));
    QCOMPARE(int(window.plot(2)->data().markers.size()), 3);
    QVERIFY(window.problems().isEmpty());

    // What a screen reader finds: the table and each plot by name.
    QStringList names;
    for (QWidget *widget : window.findChildren<QWidget *>())
        names << QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    QVERIFY(names.contains(QStringLiteral("Notebook rows")));
    QVERIFY(names.contains(QStringLiteral("Experiment 2: my runs and analyses")));
    // Stepping through a plot's markers with the keyboard says each row.
    PlotWidget *plot = window.plot(2);
    plot->setFocus();
    QTest::keyClick(plot, Qt::Key_Right);
    QVERIFY2(plot->accessibleDescription().startsWith(QStringLiteral("line 8: run of 0.9 g and 0.1 g at 1200")),
             qPrintable(plot->accessibleDescription()));
}

void NotebookTest::systemsGetTheirOwnPlots()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("notebook.csv"));
    write(path, notebookOf(rowsOf(session)));
    NotebookWindow window;
    window.open(path);
    QTabWidget *tabs = window.findChild<QTabWidget *>();
    QCOMPARE(tabs->count(), 2);
    QVERIFY(!window.plot(QStringLiteral("fo-sio2")));

    // A session on a system: its first rows bring its plot, named as the
    // library names the system, on the system's own temperature range.
    write(path, NotebookCsv::encode(rowsOf(QStringLiteral("exp1 run 0.5 0.5 1300\n"))[0]), QIODevice::Append);
    QByteArray more;
    for (const NotebookRow &row : rowsOf(QStringLiteral("fo-sio2 run 0.85 0.15 1700\nfo-sio2 probe\n")))
        more += NotebookCsv::encode(row);
    write(path, more, QIODevice::Append);
    QTRY_VERIFY(window.plot(QStringLiteral("fo-sio2")));
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(2), QStringLiteral("Forsterite \u2013 Silica"));
    const PlotData &data = window.plot(QStringLiteral("fo-sio2"))->data();
    QCOMPARE(data.title, QStringLiteral("Forsterite \u2013 Silica: my runs and analyses"));
    QCOMPARE(data.lowestTemperature, 1000.0);
    QCOMPARE(data.highestTemperature, 2000.0);
    QCOMPARE(int(window.plot(1)->data().markers.size()), 4);
    // The run, its forsterite in forsterite's colour, its glass as the
    // lab's glass always is.
    QCOMPARE(int(data.markers.size()), 3);
    QCOMPARE(data.markers[0].kind, PlotMarker::Kind::GlassWithCrystals);
    QCOMPARE(data.markers[0].at, QPointF(0.15, 1700));
    int crystals = 0;
    for (const PlotMarker &marker : data.markers) {
        if (marker.kind == PlotMarker::Kind::CrystalPhase) {
            ++crystals;
            QCOMPARE(marker.colour, QColor(QStringLiteral("#E69F00")));
            QCOMPARE(marker.at.x(), 0.0);
        } else {
            QVERIFY(!marker.colour.isValid());
        }
    }
    QCOMPARE(crystals, 1);

    // The filter shows the system's rows alone.
    auto *filter = window.findChild<QComboBox *>();
    const int choice = filter->findData(QStringLiteral("fo-sio2"));
    QVERIFY(choice > 0);
    filter->setCurrentIndex(choice);
    const auto *table = window.findChild<QTableView *>();
    QCOMPARE(table->model()->rowCount(), 3);

    // The program writes the system's plot, and refuses an id neither the
    // notebook nor the library knows.
    const auto exportOf = [&](const QString &experiment) {
        QProcess program;
        program.start(QStringLiteral(LAB_BINARY_DIR "/notebookwindow/orvane-notebook"),
                      {path, QStringLiteral("--export"), folder.filePath(experiment + ".svg"),
                       QStringLiteral("--experiment"), experiment});
        program.waitForFinished(30'000);
        return std::pair{program.exitCode(), QString::fromUtf8(program.readAllStandardError())};
    };
    QCOMPARE(exportOf(QStringLiteral("fo-sio2")).first, 0);
    QFile svg(folder.filePath(QStringLiteral("fo-sio2.svg")));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QVERIFY(svg.readAll().contains("Forsterite \u2013 Silica: my runs and analyses"));
    const auto [status, errors] = exportOf(QStringLiteral("di-ab"));
    QCOMPARE(status, 2);
    QVERIFY2(errors.contains(QStringLiteral("no runs of \"di-ab\"")), qPrintable(errors));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("di-ab.svg"))));
}

void NotebookTest::coolingsDrawTheLiquidsPath()
{
    // Two coolings of plagioclase: their liquids' paths, and the traverse
    // after the fractional one, its crystal points in plagioclase's colour.
    const std::vector<NotebookRow> rows = rowsOf(QStringLiteral("ab-an cool 0.5 0.5 1500 1300 50 equilibrium\n"
                                                                "ab-an cool 0.5 0.5 1500 1120 20 fractional\nab-an probe\n"));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("notebook.csv"));
    // The window follows the file as the lab writes it, step by step.
    write(path, notebookOf(std::vector<NotebookRow>(rows.begin(), rows.begin() + 3)));
    NotebookWindow window;
    window.open(path);
    QTRY_VERIFY(window.plot(QStringLiteral("ab-an")));
    QCOMPARE(int(window.plot(QStringLiteral("ab-an"))->data().paths.size()), 1);
    QByteArray more;
    for (std::size_t index = 3; index < rows.size(); ++index)
        more += NotebookCsv::encode(rows[index]);
    write(path, more, QIODevice::Append);
    QTRY_COMPARE(window.model().rowCount(), int(rows.size()));
    const PlotData &data = window.plot(QStringLiteral("ab-an"))->data();
    QCOMPARE(int(data.paths.size()), 2);
    QCOMPARE(data.paths[0].kind, PlotPath::Kind::Equilibrium);
    QCOMPARE(data.paths[1].kind, PlotPath::Kind::Fractional);
    // Every step with liquid, from the bulk at the start down the liquidus.
    QCOMPARE(int(data.paths[0].points.size()), 5);
    QCOMPARE(data.paths[0].points.first(), QPointF(0.5, 1500));
    QCOMPARE(int(data.paths[1].points.size()), 20);
    QVERIFY(data.paths[1].points.last().x() < 0.05);
    QCOMPARE(data.paths[1].points.last().y(), 1120.0);
    // No run symbols for a cooling: the traverse's six points alone.
    QCOMPARE(int(data.markers.size()), 6);
    QCOMPARE(data.markers[0].kind, PlotMarker::Kind::GlassPhase);
    for (std::size_t point = 1; point < 6; ++point) {
        QCOMPARE(data.markers[point].kind, PlotMarker::Kind::CrystalPhase);
        QVERIFY(data.markers[point].colour.isValid());
        QCOMPARE(data.markers[point].colour, data.markers[1].colour);
    }
    // Drawn, with both kinds in the legend.
    QImage image(800, 600, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        PhasePlot(data).paint(painter, QRectF(0, 0, 800, 600));
    }
    const auto has = [&image](QRgb colour) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == colour)
                    return true;
        return false;
    };
    QVERIFY(has(PhasePlot::pathPen(PlotPath::Kind::Equilibrium, 1).color().rgb()));
    QVERIFY(has(PhasePlot::pathPen(PlotPath::Kind::Fractional, 1).color().rgb()));
}

QTEST_MAIN(NotebookTest)
#include "tst_notebook.moc"
