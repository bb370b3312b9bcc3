#include "labwindows.h"
#include "messageboxcatcher.h"
#include "worksheetrunner.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// A worksheet that visits every kind of outcome in both windows.
const QString worksheet = QStringLiteral(R"(# probes before any run show the header alone
exp1 probe
exp1 run 0.5 0.5 1300
exp1 probe
exp1 probe
exp2 run 0.9 0.1 1200
exp2 probe
exp1 run 0.8 "" 1300    # an empty box
exp1 run 0.8 0.2 2001
exp1 probe
exp1 run 0 0 1500        # both masses 0: the window closes
exp1 probe
exp2 run 1 0 1100
exp2 probe
exp1 run 0.3 0.7 1274
exp1 probe
exp1 run 0.999 0.001 1391.5
exp1 probe
exp2 run 0.5 0.5 1550
exp2 probe
exp1 run 0.5 0.5 1200
exp1 probe
)");

} // namespace

class AnswerKeyTest : public QObject
{
    Q_OBJECT

private slots:
    void toolAgreesWithTheWindows_data();
    void toolAgreesWithTheWindows();
    void malformedLinesAreNamed_data();
    void malformedLinesAreNamed();
};

void AnswerKeyTest::toolAgreesWithTheWindows_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addRow("decimal point") << QLocale::c();
    QTest::addRow("decimal comma") << QLocale(QLocale::German, QLocale::Germany);
}

void AnswerKeyTest::toolAgreesWithTheWindows()
{
    QFETCH(QLocale, locale);
    QString script = worksheet;
    if (locale.decimalPoint() == QLatin1String(","))
        script.replace(QRegularExpression(QStringLiteral("(\\d)\\.(\\d)")), QStringLiteral("\\1,\\2"));

    WorksheetRunner runner(labExperiments(), locale);
    QString error;
    QVERIFY2(runner.runScript(script, QStringLiteral("worksheet"), error), qPrintable(error));

    // The same actions, clicked through the lab's windows after a fresh start.
    QLocale::setDefault(locale);
    const QString oldFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QStringLiteral(LAB_SOURCE_DIR "/pictures")));
    FreshLab lab;
    Form1 &menu = lab.menu;
    QString seen;
    for (const QString &rawLine : script.split(QLatin1Char('\n'))) {
        const QString line = rawLine.left(rawLine.indexOf(QLatin1Char('#'))).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ExperimentForm *form = words[0] == QLatin1String("exp1") ? menu.form2() : menu.form3();
        form->show();
        ExperimentWindow *window = form->window();
        if (words[1] == QLatin1String("probe")) {
            button(window, "Command3")->click();
            seen += words[0] + QStringLiteral(" probe ->\n") + reportBox(window)->toPlainText();
            continue;
        }
        for (int index = 0; index < 3; ++index)
            entry(window, index)->setText(QString(words[2 + index]).remove(QLatin1Char('"')));
        MessageBoxCatcher catcher;
        button(window, "Command1")->click();
        QStringList entries = words.mid(2, 3);
        entries.replaceInStrings(QStringLiteral("\""), QString());
        seen += QStringLiteral("%1 run %2 %3 %4 -> ").arg(words[0], entries[0], entries[1], entries[2]);
        if (!catcher.messages().isEmpty())
            seen += catcher.messages().first().title + QStringLiteral(": ") + catcher.messages().first().text;
        else
            seen += QStringLiteral("picture ") + pictureBox(window)->pictureName() + QStringLiteral(": ")
                + pictureBox(window)->accessibleDescription();
        seen += QLatin1Char('\n');
    }
    QDir::setCurrent(oldFolder);
    QLocale::setDefault(QLocale::c());

    QCOMPARE(runner.output(), seen);
    QVERIFY(seen.contains(QStringLiteral("Abort: Program encountered an unexpected error!")));
    QVERIFY(seen.contains(QStringLiteral("picture Cha.wmf")));
}

void AnswerKeyTest::malformedLinesAreNamed_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("error");
    QTest::addRow("unknown experiment") << "exp1 probe\nexp3 run 1 1 1" << "sheet:2: unknown experiment \"exp3\" (exp1 or exp2)";
    QTest::addRow("too few entries") << "exp1 run 0.5 0.5" << "sheet:1: a run takes three entries: grams of mineral 1, grams of mineral 2, temperature";
    QTest::addRow("unknown action") << "# warm up\n\nexp2 melt" << "sheet:3: unknown action \"melt\" (run or probe)";
    QTest::addRow("open quote") << "exp1 run \"0.5 0.5 1300" << "sheet:1: unterminated quote";
    QTest::addRow("probe with arguments") << "exp2 probe twice" << "sheet:1: probe takes nothing after it";
}

void AnswerKeyTest::malformedLinesAreNamed()
{
    QFETCH(QString, script);
    QFETCH(QString, error);
    WorksheetRunner runner(labExperiments(), QLocale::c());
    QString reported;
    QVERIFY(!runner.runScript(script, QStringLiteral("sheet"), reported));
    QCOMPARE(reported, error);
}

QTEST_MAIN(AnswerKeyTest)
#include "tst_answerkey.moc"
