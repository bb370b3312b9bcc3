#include "experiment1model.h"
#include "experiment2model.h"
#include "labwindows.h"
#include "messageboxcatcher.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString picturesFolder = QStringLiteral(LAB_SOURCE_DIR "/pictures");
} // namespace

class WindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void menuLayoutAtStandardResolution();
    void welcomeLineToggles();
    void acceleratorsOpenTheExperiments();
    void experimentWindowLayout_data();
    void experimentWindowLayout();
    void entryErrors_data();
    void entryErrors();
    void acceptedBoundaries_data();
    void acceptedBoundaries();
    void focusSelectsTheWholeEntry();
    void missingPictureAborts();
    void bothMassesZeroAborts();
    void runStateSurvivesCloseAndReopen();
    void escapeClosesTheWindow();

private:
    ExperimentWindow *openActive(ExperimentForm *form);

    FreshLab *m_lab = nullptr;
    Form1 *m_menu = nullptr;
    QString m_oldFolder;
};

void WindowsTest::init()
{
    m_oldFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(picturesFolder));
    QLocale::setDefault(QLocale::c());
    m_lab = new FreshLab;
    m_menu = &m_lab->menu;
    m_menu->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_menu));
}

void WindowsTest::cleanup()
{
    delete m_lab;
    QDir::setCurrent(m_oldFolder);
    QLocale::setDefault(QLocale::c());
}

ExperimentWindow *WindowsTest::openActive(ExperimentForm *form)
{
    ExperimentWindow *window = open(form);
    if (!window || !QTest::qWaitForWindowActive(window))
        return nullptr;
    return window;
}

void WindowsTest::menuLayoutAtStandardResolution()
{
    // 15 twips to the pixel at 96 DPI.
    QCOMPARE(m_menu->size(), QSize(446, 351));
    QCOMPARE(m_menu->windowTitle(), QStringLiteral("Main Menu"));
    QCOMPARE(m_menu->findChild<QPushButton *>("Command1")->geometry(), QRect(93, 83, 187, 53));
    QCOMPARE(m_menu->findChild<QPushButton *>("Command2")->geometry(), QRect(93, 158, 187, 53));
    QCOMPARE(m_menu->findChild<QPushButton *>("Command3")->geometry(), QRect(127, 266, 121, 53));
    QCOMPARE(m_menu->findChild<QLabel *>("Label1")->geometry(), QRect(50, 21, 358, 25));
    QCOMPARE(m_menu->palette().color(QPalette::Window), QColor(0, 128, 128));
    QCOMPARE(m_menu->findChild<QPushButton *>("Command3")->palette().color(QPalette::Button),
             QColor(255, 255, 0));
}

void WindowsTest::welcomeLineToggles()
{
    auto *label = m_menu->findChild<QLabel *>("Label1");
    QCOMPARE(label->text(), QStringLiteral("Welcome to Orvane Experimental Labs"));
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(label->text(), QStringLiteral("Experiments without burnt fingers!"));
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(label->text(), QStringLiteral("Welcome to Orvane Experimental Labs"));
}

void WindowsTest::acceleratorsOpenTheExperiments()
{
    QVERIFY(QTest::qWaitForWindowActive(m_menu));
    QTest::keyClick(m_menu, Qt::Key_1, Qt::AltModifier);
    QTRY_VERIFY(m_menu->form2()->isLoaded());
    ExperimentWindow *window = m_menu->form2()->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCOMPARE(window->windowTitle(), QStringLiteral("Experiment 1"));
    QVERIFY(window->isModal());
    button(window, "Command2")->click();
    QVERIFY(!m_menu->form2()->isLoaded());

    // A desktop's window manager hands the keyboard back to the menu.
    m_menu->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_menu));
    QTest::keyClick(m_menu, Qt::Key_2, Qt::AltModifier);
    QTRY_VERIFY(m_menu->form3()->isLoaded());
    QCOMPARE(m_menu->form3()->window()->windowTitle(), QStringLiteral("Experiment 2"));
}

void WindowsTest::experimentWindowLayout_data()
{
    QTest::addColumn<bool>("second");
    QTest::addColumn<QRect>("temperatureEntry");
    QTest::addColumn<QRect>("temperatureLabel");
    QTest::addColumn<QRect>("resultsLabel");
    QTest::addRow("Experiment 1") << false << QRect(203, 93, 67, 19) << QRect(7, 93, 161, 13)
                                  << QRect(64, 224, 305, 17);
    QTest::addRow("Experiment 2") << true << QRect(203, 96, 67, 19) << QRect(7, 88, 178, 26)
                                  << QRect(80, 224, 265, 17);
}

void WindowsTest::experimentWindowLayout()
{
    QFETCH(bool, second);
    QFETCH(QRect, temperatureEntry);
    QFETCH(QRect, temperatureLabel);
    QFETCH(QRect, resultsLabel);
    ExperimentWindow *window = openActive(second ? m_menu->form3() : m_menu->form2());
    QVERIFY(window);
    QCOMPARE(window->size(), QSize(447, 400));
    QCOMPARE(entry(window, 0)->geometry(), QRect(203, 27, 67, 19));
    QCOMPARE(entry(window, 1)->geometry(), QRect(203, 60, 67, 19));
    QCOMPARE(entry(window, 2)->geometry(), temperatureEntry);
    QCOMPARE(window->findChild<QLabel *>("Label3")->geometry(), temperatureLabel);
    QCOMPARE(window->findChild<QLabel *>("Label4")->geometry(), resultsLabel);
    QCOMPARE(pictureBox(window)->geometry(), QRect(312, 24, 123, 194));
    QCOMPARE(reportBox(window)->geometry(), QRect(8, 240, 425, 153));
    QCOMPARE(entry(window, 0)->palette().color(QPalette::Base), QColor(255, 255, 192));
    QCOMPARE(entry(window, 2)->palette().color(QPalette::Base), QColor(192, 255, 192));
    QVERIFY(button(window, "Command1")->isDefault());
    QVERIFY(reportBox(window)->isReadOnly());
    QVERIFY(QFontInfo(reportBox(window)->font()).fixedPitch());

    // Tab order of the layout table, walked with the Tab key.
    QVERIFY(QTest::qWaitForWindowActive(window));
    QWidget *expected[] = {entry(window, 0), entry(window, 1), entry(window, 2), button(window, "Command1"),
                           reportBox(window), button(window, "Command2"), pictureBox(window), button(window, "Command3")};
    entry(window, 0)->setFocus();
    for (QWidget *widget : expected) {
        QCOMPARE(QApplication::focusWidget(), widget);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(entry(window, 0)));
}

void WindowsTest::entryErrors_data()
{
    QTest::addColumn<bool>("second");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("badIndex");
    QTest::addColumn<QString>("message");

    const QString grams = QStringLiteral("A value between 0 and 1 is required!");
    QTest::addRow("empty grams box") << false << QStringList{"", "0.5", "1300"} << 0 << grams;
    QTest::addRow("first bad entry only") << false << QStringList{"2", "x", "abc"} << 0 << grams;
    QTest::addRow("1.5 grams") << false << QStringList{"0.5", "1.5", "1300"} << 1 << grams;
    QTest::addRow("just over a gram") << true << QStringList{"1.001", "0.5", "1300"} << 0 << grams;
    QTest::addRow("negative grams") << false << QStringList{"0.5", "-0.1", "1300"} << 1 << grams;
    QTest::addRow("text in the temperature box")
        << false << QStringList{"0.5", "0.5", "abc"} << 2 << "A value between 0 and 2000 is required!";
    QTest::addRow("above 2000") << false << QStringList{"0.5", "0.5", "2000.5"} << 2
                                << "A value between 0 and 2000 is required!";
    QTest::addRow("negative temperature") << false << QStringList{"0.5", "0.5", "-1"} << 2
                                          << "A value between 0 and 2000 is required!";
    QTest::addRow("above 1900 in the second window")
        << true << QStringList{"0.5", "0.5", "1901"} << 2 << "A value between 0 and 1900 is required!";
    QTest::addRow("not a number") << false << QStringList{"nan", "0.5", "1300"} << 0 << grams;
    QTest::addRow("infinity") << false << QStringList{"0.5", "0.5", "inf"} << 2
                              << "A value between 0 and 2000 is required!";
    QTest::addRow("beyond single precision") << true << QStringList{"0.5", "0.5", "1e39"} << 2
                                             << "A value between 0 and 1900 is required!";
    QTest::addRow("comma in a C locale") << false << QStringList{"0,5", "0.5", "1300"} << 0 << grams;
}

void WindowsTest::entryErrors()
{
    QFETCH(bool, second);
    QFETCH(QStringList, entries);
    QFETCH(int, badIndex);
    QFETCH(QString, message);

    ExperimentForm *form = second ? m_menu->form3() : m_menu->form2();
    ExperimentWindow *window = openActive(form);
    QVERIFY(window);
    const std::int64_t countBefore = form->session().drawCount();
    typeEntries(window, entries);
    MessageBoxCatcher catcher;
    button(window, "Command1")->click();

    QCOMPARE(catcher.messages().size(), 1);
    const MessageBoxCatcher::Message seen = catcher.messages().first();
    QCOMPARE(seen.title, QStringLiteral("Entry Error"));
    QCOMPARE(seen.text, message);
    QCOMPARE(seen.icon, QMessageBox::Question);
    QCOMPARE(seen.buttonCount, 1);
    QCOMPARE(seen.ownerFocus, static_cast<QWidget *>(entry(window, badIndex)));
    QCOMPARE(form->session().drawCount(), countBefore + badIndex + 1);
    for (int index = 0; index < 3; ++index)
        QCOMPARE(entry(window, index)->text(), index == badIndex ? QString() : entries.value(index));
    QVERIFY(!pictureBox(window)->hasPicture());
    QVERIFY(form->isLoaded());
}

void WindowsTest::acceptedBoundaries_data()
{
    QTest::addColumn<bool>("second");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("description");
    QTest::addRow("zero and one gram, 2000 degrees") << false << QStringList{"0", "1", "2000"}
                                                    << "Charge of glass only: the charge is completely molten.";
    QTest::addRow("one and zero grams, 0 degrees") << false << QStringList{"1", "0", "0"}
                                                  << "Charge of crystals of mineral 1 only, no glass.";
    QTest::addRow("blanks around numbers") << false << QStringList{" 0.5", "0.5 ", " 1300 "}
                                          << "Charge of glass with crystals of mineral 2, up to 10 percent crystal.";
    QTest::addRow("1900 in the second window") << true << QStringList{"0.5", "0.5", "1900"}
                                              << "Charge of glass only: the charge is completely molten.";
}

void WindowsTest::acceptedBoundaries()
{
    QFETCH(bool, second);
    QFETCH(QStringList, entries);
    QFETCH(QString, description);
    ExperimentForm *form = second ? m_menu->form3() : m_menu->form2();
    ExperimentWindow *window = openActive(form);
    QVERIFY(window);
    typeEntries(window, entries);
    MessageBoxCatcher catcher;
    QTest::mouseClick(button(window, "Command1"), Qt::LeftButton);
    QVERIFY(catcher.messages().isEmpty());
    QVERIFY(pictureBox(window)->hasPicture());
    QCOMPARE(pictureBox(window)->accessibleDescription(), description);
    QCOMPARE(form->session().drawCount(), 3);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(entry(window, 0)));
    QCOMPARE(entry(window, 0)->selectedText(), entries.value(0));
}

void WindowsTest::focusSelectsTheWholeEntry()
{
    ExperimentWindow *window = openActive(m_menu->form2());
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    entry(window, 1)->setText(QStringLiteral("0.25"));
    entry(window, 1)->deselect();
    QTest::keyClick(entry(window, 0), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(entry(window, 1)));
    QCOMPARE(entry(window, 1)->selectedText(), QStringLiteral("0.25"));
    // Focus given by the program (as after a run) selects too.
    entry(window, 1)->deselect();
    entry(window, 0)->setFocus();
    entry(window, 1)->setFocus();
    QCOMPARE(entry(window, 1)->selectedText(), QStringLiteral("0.25"));
}

void WindowsTest::missingPictureAborts()
{
    QTemporaryDir emptyFolder;
    QVERIFY(QDir::setCurrent(emptyFolder.path()));
    ExperimentForm *form = m_menu->form2();
    ExperimentWindow *window = openActive(form);
    QVERIFY(window);
    typeEntries(window, {"0.5", "0.5", "1300"});
    MessageBoxCatcher catcher;
    button(window, "Command1")->click();
    QCOMPARE(catcher.messages().size(), 1);
    QCOMPARE(catcher.messages().first().title, QStringLiteral("Abort"));
    QCOMPARE(catcher.messages().first().text, QStringLiteral("Program encountered an unexpected error!"));
    QCOMPARE(catcher.messages().first().icon, QMessageBox::Question);
    QVERIFY(!form->isLoaded());
    // The run state of the run was stored before the picture failed.
    const auto &state = static_cast<const Experiment1Model &>(form->session().model()).state();
    QCOMPARE(state.phaseCase, 4);
    QCOMPARE(state.runTemp, 1300.f);
}

void WindowsTest::bothMassesZeroAborts()
{
    ExperimentForm *form = m_menu->form3();
    ExperimentWindow *window = openActive(form);
    QVERIFY(window);
    typeEntries(window, {"0", "0", "1400"});
    MessageBoxCatcher catcher;
    button(window, "Command1")->click();
    QCOMPARE(catcher.messages().size(), 1);
    QCOMPARE(catcher.messages().first().title, QStringLiteral("Abort"));
    QVERIFY(!form->isLoaded());
    const auto &state = static_cast<const Experiment2Model &>(form->session().model()).state();
    QCOMPARE(state.runTemp, 1400.f);
    QCOMPARE(state.phaseCase, 0);
}

void WindowsTest::runStateSurvivesCloseAndReopen()
{
    ExperimentForm *form = m_menu->form2();
    ExperimentWindow *window = openActive(form);
    QVERIFY(window);
    typeEntries(window, {"0.8", "0.2", "1300"});
    button(window, "Command1")->click();
    QVERIFY(pictureBox(window)->hasPicture());
    button(window, "Command3")->click();
    QVERIFY(!reportBox(window)->toPlainText().isEmpty());
    button(window, "Command2")->click();
    QVERIFY(!form->isLoaded());

    window = openActive(form);
    QVERIFY(window);
    for (int index = 0; index < 3; ++index)
        QVERIFY(entry(window, index)->text().isEmpty());
    QVERIFY(!pictureBox(window)->hasPicture());
    QVERIFY(reportBox(window)->toPlainText().isEmpty());
    QCOMPARE(form->session().drawCount(), 3 + 8);

    button(window, "Command3")->click();
    QVERIFY(reportBox(window)->toPlainText().startsWith(QStringLiteral(
        "Temperature = 1300 degrees Celsius  \n           glass    crystal\n")));
    QVERIFY(reportBox(window)->toPlainText().endsWith(QStringLiteral("0.36       0.00\n")));
}

void WindowsTest::escapeClosesTheWindow()
{
    ExperimentForm *form = m_menu->form3();
    ExperimentWindow *window = openActive(form);
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(entry(window, 0), Qt::Key_Escape);
    QVERIFY(!form->isLoaded());
}

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
