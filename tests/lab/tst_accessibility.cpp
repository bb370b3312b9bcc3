#include "analyticalscatter.h"
#include "experimentform.h"
#include "experimentwindow.h"
#include "form1.h"
#include "picturebox.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

bool isInteractive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::EditableText:
    case QAccessible::Graphic:
    case QAccessible::CheckBox:
    case QAccessible::ComboBox:
        return true;
    default:
        return false;
    }
}

// Every interactive object below `root` that a screen reader could not name.
void collectUnnamed(QAccessibleInterface *node, QStringList &unnamed, QStringList &seen)
{
    if (!node || !node->isValid())
        return;
    const QString name = node->text(QAccessible::Name);
    const bool focusable = node->state().focusable;
    if ((isInteractive(node->role()) || focusable) && node->object() && node->object()->isWidgetType()) {
        seen << name;
        if (name.trimmed().isEmpty())
            unnamed << node->object()->objectName();
    }
    for (int index = 0; index < node->childCount(); ++index)
        collectUnnamed(node->child(index), unnamed, seen);
}

QString accessibleName(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyInteractiveControlIsNamed_data();
    void everyInteractiveControlIsNamed();
    void entriesAreNamedByTheirLabels();
    void reportAndPictureAreExposed();
    void messageBoxesAnnounceTitleAndText();
};

void AccessibilityTest::initTestCase()
{
    QVERIFY(QDir::setCurrent(QStringLiteral(LAB_SOURCE_DIR "/pictures")));
}

void AccessibilityTest::everyInteractiveControlIsNamed_data()
{
    QTest::addColumn<int>("window");
    QTest::addRow("main menu") << 1;
    QTest::addRow("Experiment 1") << 2;
    QTest::addRow("Experiment 2") << 3;
}

void AccessibilityTest::everyInteractiveControlIsNamed()
{
    QFETCH(int, window);
    AnalyticalScatter scatter;
    Form1 menu(scatter);
    menu.show();
    QWidget *root = &menu;
    if (window > 1) {
        ExperimentForm *form = window == 2 ? menu.form2() : menu.form3();
        form->show();
        root = form->window();
    }
    QVERIFY(QTest::qWaitForWindowExposed(root));
    // Each window is announced as a window, by its title.
    QAccessibleInterface *rootInterface = QAccessible::queryAccessibleInterface(root);
    QVERIFY(rootInterface->role() == QAccessible::Window || rootInterface->role() == QAccessible::Dialog);
    QCOMPARE(rootInterface->text(QAccessible::Name), root->windowTitle());
    QStringList unnamed;
    QStringList seen;
    collectUnnamed(QAccessible::queryAccessibleInterface(root), unnamed, seen);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
    QVERIFY2(seen.size() >= (window == 1 ? 3 : 8), qPrintable(seen.join(QLatin1String(" | "))));
    for (const QString &name : seen)
        QVERIFY2(!name.contains(QLatin1Char('&')), qPrintable(name));
}

void AccessibilityTest::entriesAreNamedByTheirLabels()
{
    AnalyticalScatter scatter;
    Form1 menu(scatter);
    menu.form2()->show();
    ExperimentWindow *window = menu.form2()->window();
    QCOMPARE(accessibleName(window->txt(0)), QStringLiteral("Enter number of grams of mineral 1:"));
    QCOMPARE(accessibleName(window->txt(1)), QStringLiteral("Enter number of grams of mineral 2:"));
    QCOMPARE(accessibleName(window->txt(2)), QStringLiteral("Enter Temperature in Celsius"));
    QCOMPARE(accessibleName(window->command3()), QStringLiteral("Microprobe the Phases"));
    menu.form3()->show();
    QCOMPARE(accessibleName(menu.form3()->window()->txt(2)),
             QStringLiteral("Raise Temperature to 1900 C and then lower to:"));
}

void AccessibilityTest::reportAndPictureAreExposed()
{
    AnalyticalScatter scatter;
    Form1 menu(scatter);
    menu.form2()->show();
    ExperimentWindow *window = menu.form2()->window();
    window->txt(0)->setText(QStringLiteral("0.8"));
    window->txt(1)->setText(QStringLiteral("0.2"));
    window->txt(2)->setText(QStringLiteral("1300"));
    window->command1()->click();
    window->command3()->click();

    QAccessibleInterface *picture = QAccessible::queryAccessibleInterface(window->picture1());
    QCOMPARE(picture->text(QAccessible::Description),
             QStringLiteral("Charge of glass with crystals of mineral 1, 40 to 50 percent crystal."));
    QAccessibleInterface *report = QAccessible::queryAccessibleInterface(window->text1());
    QCOMPARE(report->text(QAccessible::Name), QStringLiteral("Microprobe Results"));
    QVERIFY(report->textInterface());
    const QString text = report->textInterface()->text(0, report->textInterface()->characterCount());
    QVERIFY2(text.startsWith(QStringLiteral("Temperature = 1300 degrees Celsius")), qPrintable(text));
    QVERIFY(report->state().readOnly);
}

void AccessibilityTest::messageBoxesAnnounceTitleAndText()
{
    AnalyticalScatter scatter;
    Form1 menu(scatter);
    menu.form2()->show();
    ExperimentWindow *window = menu.form2()->window();
    QString announcedName;
    QStringList announcedTexts;
    QTimer watcher;
    watcher.setInterval(5);
    connect(&watcher, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(box);
        announcedName = interface->text(QAccessible::Name);
        for (int index = 0; index < interface->childCount(); ++index)
            announcedTexts << interface->child(index)->text(QAccessible::Name);
        box->button(QMessageBox::Ok)->click();
    });
    watcher.start();
    window->command1()->click(); // all boxes empty
    QCOMPARE(announcedName, QStringLiteral("Entry Error"));
    QVERIFY2(announcedTexts.contains(QStringLiteral("A value between 0 and 1 is required!")),
             qPrintable(announcedTexts.join(QLatin1String(" | "))));
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
