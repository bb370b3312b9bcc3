// A genuine notebook stays genuine wherever it travels: saved again by a
// spreadsheet, written by two labs at once, written before rows named their
// locale. The check must never flag an honest student, and must still see
// a changed value.
#include "csvtable.h"
#include "notebookcheck.h"
#include "notebookcsv.h"
#include "notebookfile.h"
#include "notebooksortproxy.h"
#include "notebooktablemodel.h"
#include "recordedrows.h"

#include <QLockFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString worksheet = QStringLiteral(R"(exp1 run 0.5 0.5 1300
exp1 probe
exp1 run 0.5 x 1300
exp2 run 0.5 0.5 1350
exp2 probe
exp1 run 0.8 0.2 1350
exp1 probe
exp1 run 0.3 0.7 1274
exp1 probe
)");

std::vector<NotebookRow> rowsOf(const QString &script, int session = 1, const QLocale &locale = QLocale::c())
{
    return recordedRows(script, locale, session, QString(), [] { return QStringLiteral("2026-12-07T14:03:22+01:00"); });
}

QByteArray notebookOf(const std::vector<NotebookRow> &rows)
{
    QByteArray bytes = NotebookCsv::header();
    for (const NotebookRow &row : rows)
        bytes += NotebookCsv::encode(row);
    return bytes;
}

// What spreadsheets do to a notebook they save again.
QByteArray withoutTrailingZeros(QByteArray bytes)
{
    // "6.50" -> "6.5", "1.00" -> "1", "100.00" -> "100" in the number columns.
    QString text = QString::fromUtf8(bytes);
    text.replace(QRegularExpression(QStringLiteral("(,-?\\d+)\\.(\\d)0(?=,)")), QStringLiteral("\\1.\\2"));
    text.replace(QRegularExpression(QStringLiteral("(,-?\\d+)\\.0(?=,)")), QStringLiteral("\\1"));
    return text.toUtf8();
}

QByteArray withEveryTextQuoted(const QByteArray &bytes)
{
    QByteArray quoted;
    for (const CsvTable::Record &record : CsvTable::records(bytes).complete) {
        QStringList fields;
        for (const QByteArray &field : record.fields) {
            static const QRegularExpression number(QStringLiteral("^-?\\d+(\\.\\d+)?$"));
            const QString text = QString::fromUtf8(field);
            fields << (text.isEmpty() || number.match(text).hasMatch()
                           ? text
                           : QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\""))
                                 + QLatin1Char('"'));
        }
        quoted += fields.join(QLatin1Char(',')).toUtf8() + "\n";
    }
    return quoted;
}

// A German spreadsheet: semicolons between fields, decimal commas in the
// numbers it recognised (a German notebook's entries have theirs already).
QByteArray asGermanSpreadsheet(const QByteArray &bytes)
{
    QByteArray german;
    for (const CsvTable::Record &record : CsvTable::records(bytes).complete) {
        QStringList fields;
        for (const QByteArray &field : record.fields) {
            QString text = QString::fromUtf8(field);
            if (QRegularExpression(QStringLiteral("^-?\\d+\\.\\d+$")).match(text).hasMatch())
                text.replace(QLatin1Char('.'), QLatin1Char(','));
            fields << text;
        }
        german += CsvTable::line(fields, ';');
    }
    return german;
}

using Change = std::function<QByteArray(const QByteArray &)>;

} // namespace

Q_DECLARE_METATYPE(Change)

class TravellingNotebooksTest : public QObject
{
    Q_OBJECT

private slots:
    void spreadsheetsSaveItAgain_data();
    void spreadsheetsSaveItAgain();
    void recordsKeepTheirBytesAndLines();
    void twoLabsWriteOneNotebook();
    void aKilledLabsSessionIsTakenOver();
    void oldNotebooksStayInTheirShape();
    void theLabWritesOnlyItsOwnForm();
    void tableSortsNumbersAsNumbers();
};

void TravellingNotebooksTest::spreadsheetsSaveItAgain_data()
{
    QTest::addColumn<Change>("save");
    QTest::addColumn<QLocale>("typedIn");
    QTest::addColumn<QString>("firstDisagreement"); // empty: the check passes
    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);
    const auto lf = [](QByteArray bytes) { return bytes.replace("\r\n", "\n"); };
    QTest::addRow("LF line ends") << Change(lf) << c << "";
    QTest::addRow("a byte order mark, as Excel writes") << Change([](const QByteArray &bytes) {
        return "\xEF\xBB\xBF" + bytes;
    }) << c << "";
    QTest::addRow("no line end after the last row") << Change([](const QByteArray &bytes) {
        return bytes.chopped(2);
    }) << german << "";
    QTest::addRow("trailing zeros dropped") << Change(withoutTrailingZeros) << c << "";
    QTest::addRow("LibreOffice's defaults: zeros dropped, LF") << Change([lf](const QByteArray &bytes) {
        return lf(withoutTrailingZeros(bytes));
    }) << c << "";
    QTest::addRow("every text quoted, header too") << Change(withEveryTextQuoted) << german << "";
    QTest::addRow("a German spreadsheet") << Change(asGermanSpreadsheet) << german << "";
    QTest::addRow("a German spreadsheet with a mark, zeros dropped") << Change([](const QByteArray &bytes) {
        return "\xEF\xBB\xBF" + asGermanSpreadsheet(withoutTrailingZeros(bytes));
    }) << german << "";
    // What a spreadsheet may not do: change a value.
    QTest::addRow("a value changed in the spreadsheet") << Change([](const QByteArray &bytes) {
        return withoutTrailingZeros(QByteArray(bytes).replace(",49.96,", ",49.9,"));
    }) << c << "line 3: SiO2: recorded \"49.9\", the lab gives \"49.96\"";
    QTest::addRow("a value rounded in the spreadsheet") << Change([](const QByteArray &bytes) {
        return asGermanSpreadsheet(QByteArray(bytes).replace(",49.96,", ",50.0,"));
    }) << german << "line 3: SiO2: recorded \"50,0\", the lab gives \"49.96\"";
}

void TravellingNotebooksTest::spreadsheetsSaveItAgain()
{
    QFETCH(Change, save);
    QFETCH(QLocale, typedIn);
    QFETCH(QString, firstDisagreement);
    const std::vector<NotebookRow> rows =
        rowsOf(typedIn == QLocale::c() ? worksheet : QString(worksheet).replace(QLatin1Char('.'), QLatin1Char(',')), 1,
               typedIn);
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(save(notebookOf(rows)));
    QVERIFY2(parsed.problems.isEmpty(), qPrintable(texts(parsed.problems).join(QLatin1Char('\n'))));
    QCOMPARE(parsed.rows.size(), rows.size());
    const NotebookCheck::Result result = NotebookCheck(QLocale::c()).check(parsed.rows);
    if (firstDisagreement.isEmpty()) {
        QVERIFY2(result.disagreements.isEmpty(), qPrintable(texts(result.disagreements).join(QLatin1Char('\n'))));
        return;
    }
    QVERIFY(!result.disagreements.isEmpty());
    QCOMPARE(result.disagreements.first().text(), firstDisagreement);
}

void TravellingNotebooksTest::recordsKeepTheirBytesAndLines()
{
    // A field with a line break spans lines: the records after it start on
    // the right line and at the right byte, so a problem names its line and
    // a notebook being followed is read on from the right place.
    const QByteArray text = "a,\"two\r\nlines\"\r\nb,c\r\n\"x\ny\nz\",d\ne,f";
    const CsvTable::Records read = CsvTable::records(text, 1, ',', CsvTable::TextEnd::MayGrow);
    QCOMPARE(read.complete.size(), std::size_t(3));
    QCOMPARE(read.complete[1].line, 3);
    QCOMPARE(read.complete[2].line, 4);
    QCOMPARE(text.mid(read.complete[1].start, read.complete[1].end - read.complete[1].start), QByteArray("b,c\r\n"));
    QCOMPARE(text.mid(read.complete[2].start, read.complete[2].end - read.complete[2].start),
             QByteArray("\"x\ny\nz\",d\n"));
    QCOMPARE(read.consumed, text.size() - 3);
    QCOMPARE(read.nextLine, 7);
    QVERIFY(read.hasUnfinishedRecord);
    const CsvTable::Records whole = CsvTable::records(text, 1, ',', CsvTable::TextEnd::IsEnd);
    QCOMPARE(whole.complete.size(), std::size_t(4));
    QCOMPARE(whole.complete[3].fields, QList<QByteArray>({"e", "f"}));
    QVERIFY(!whole.hasUnfinishedRecord);

    // A notebook with a byte order mark is consumed to its last byte, so
    // the rows appended later are read from where they begin.
    const QByteArray notebook = "\xEF\xBB\xBF" + notebookOf(rowsOf(worksheet));
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(notebook, NotebookCsv::Ending::StillGrowing);
    QCOMPARE(parsed.consumed, notebook.size());
    const NotebookRow extra = rowsOf(QStringLiteral("exp1 run 0.5 0.5 1500\n"), 2).front();
    const QByteArray grown = notebook + NotebookCsv::encode(extra);
    const NotebookCsv::ParseResult more =
        NotebookCsv::parseRows(QByteArrayView(grown).sliced(parsed.consumed), 2 + int(parsed.rows.size()), parsed.form);
    QVERIFY(more.problems.isEmpty());
    QCOMPARE(more.rows.size(), std::size_t(1));
    QCOMPARE(more.rows.front().fields, extra.fields);
}

void TravellingNotebooksTest::twoLabsWriteOneNotebook()
{
    // Two labs started on today's notebook: each takes its own session, their
    // rows interleave as they are written, and every row checks.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("notebook.csv"));
    NotebookFile first;
    NotebookFile second;
    QVERIFY(first.open(path));
    QVERIFY(second.open(path));
    QCOMPARE(first.session(), 1);
    QCOMPARE(second.session(), 2);
    const std::vector<NotebookRow> one = rowsOf(worksheet, 1);
    const std::vector<NotebookRow> two = rowsOf(QStringLiteral("exp2 run 0.9 0.1 1200\nexp2 probe\nexp1 probe\n"), 2);
    for (std::size_t index = 0; index < std::max(one.size(), two.size()); ++index) {
        if (index < one.size())
            QVERIFY(first.append(one[index]));
        if (index < two.size())
            QVERIFY(second.append(two[index]));
    }
    // A third start, while both run, takes the next number.
    NotebookFile third;
    QVERIFY(third.open(path));
    QCOMPARE(third.session(), 3);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(written.readAll());
    QVERIFY(parsed.problems.isEmpty());
    QCOMPARE(parsed.rows.size(), one.size() + two.size());
    QCOMPARE(parsed.rows[1].session, 2); // interleaved
    const NotebookCheck::Result result = NotebookCheck(QLocale::c()).check(parsed.rows);
    QVERIFY2(result.disagreements.isEmpty(), qPrintable(texts(result.disagreements).join(QLatin1Char('\n'))));
    QCOMPARE(result.sessions, 2);
}

void TravellingNotebooksTest::aKilledLabsSessionIsTakenOver()
{
    // A lab killed before it wrote a row leaves its lock behind, naming a
    // process that is gone: the next start takes that number over.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("notebook.csv"));
    {
        QFile lock(NotebookFile::sessionLockPath(path, 1));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("2147480000\norvane-lab\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    NotebookFile file;
    QVERIFY2(file.open(path), qPrintable(file.errorString()));
    QCOMPARE(file.session(), 1);
    // A lock held by a running lab is respected, however old.
    QLockFile held(NotebookFile::sessionLockPath(path, 2));
    QVERIFY(held.tryLock());
    NotebookFile next;
    QVERIFY(next.open(path));
    QCOMPARE(next.session(), 3);
}

void TravellingNotebooksTest::oldNotebooksStayInTheirShape()
{
    // A notebook from before rows named their locale is read everywhere,
    // and the lab goes on in its shape: never two shapes of row in a file.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("notebook.csv"));
    const NotebookCsv::Form old{NotebookCsv::Shape::WithoutLocale, ','};
    QByteArray bytes = NotebookCsv::header(old);
    for (const NotebookRow &row : rowsOf(worksheet))
        bytes += NotebookCsv::encode(row, old);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    NotebookFile notebook;
    QVERIFY(notebook.open(path));
    QCOMPARE(notebook.session(), 2);
    QVERIFY(notebook.append(rowsOf(QStringLiteral("exp1 run 0.5 0.5 1500\n"), 2).front()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    QVERIFY(after.endsWith(",,,,,,,,,\r\n")); // 18 fields, no locale
    const NotebookCsv::ParseResult parsed = NotebookCsv::parse(after);
    QVERIFY(parsed.problems.isEmpty());
    QVERIFY(parsed.form.shape == NotebookCsv::Shape::WithoutLocale);
    QCOMPARE(parsed.rows.back()[NotebookRow::Temperature], QStringLiteral("1500"));
    QVERIFY(NotebookCheck(QLocale::c()).check(parsed.rows).disagreements.isEmpty());
}

void TravellingNotebooksTest::theLabWritesOnlyItsOwnForm()
{
    // A notebook a German spreadsheet saved is read, but the lab does not
    // append its own rows to it; it is left as it is.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("notebook.csv"));
    const QByteArray german = asGermanSpreadsheet(notebookOf(rowsOf(worksheet)));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(german);
    file.close();
    NotebookFile notebook;
    QVERIFY(!notebook.open(path));
    QVERIFY2(notebook.errorString().contains(QLatin1String("semicolons")), qPrintable(notebook.errorString()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), german);
    file.close();
    // A quoted header with LF line ends, as LibreOffice saves it, is the
    // lab's own form: rows go on in it.
    const QByteArray quoted = withEveryTextQuoted(notebookOf(rowsOf(worksheet)));
    QVERIFY(QFile::remove(path));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(quoted.chopped(1)); // and no last line end
    file.close();
    QVERIFY(notebook.open(path));
    QCOMPARE(notebook.session(), 2);
}

void TravellingNotebooksTest::tableSortsNumbersAsNumbers()
{
    // A column sorted: numbers by value (9.5 before 10.2, a German "0,5"
    // among them), texts after every number, equal values in file order.
    std::vector<NotebookRow> rows(6);
    const QStringList grams{"10.2", "abc", "9.5", "0,5", "", "9.5"};
    for (std::size_t index = 0; index < rows.size(); ++index) {
        rows[index][NotebookRow::Session] = QStringLiteral("1");
        rows[index][NotebookRow::Experiment] = QStringLiteral("1");
        rows[index][NotebookRow::Event] = QStringLiteral("run");
        rows[index][NotebookRow::Grams1] = grams[qsizetype(index)];
        rows[index][NotebookRow::Locale] = QStringLiteral("de_DE");
        rows[index].lineNumber = int(index) + 2;
        QVERIFY(rows[index].readFields().isEmpty());
    }
    rows[2][NotebookRow::Locale] = QStringLiteral("C");
    rows[5][NotebookRow::Locale] = QStringLiteral("C");
    NotebookTableModel model;
    model.setRows(rows);
    NotebookSortProxy proxy;
    proxy.setSourceModel(&model);
    for (int pass = 0; pass < 2; ++pass) {
        proxy.sort(NotebookRow::Grams1, Qt::AscendingOrder);
        QStringList sorted;
        for (int row = 0; row < proxy.rowCount(); ++row)
            sorted << QStringLiteral("%1@%2").arg(proxy.index(row, NotebookRow::Grams1).data().toString())
                          .arg(proxy.headerData(row, Qt::Vertical).toInt());
        QCOMPARE(sorted, QStringList({"0,5@5", "9.5@4", "9.5@7", "10.2@2", "@6", "abc@3"}));
        proxy.sort(NotebookRow::Session, Qt::AscendingOrder);
    }
}

QTEST_MAIN(TravellingNotebooksTest)
#include "tst_travellingnotebooks.moc"
