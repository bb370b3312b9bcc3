#include "labwindows.h"

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
    FreshLab lab;
    Form1 &menu = lab.menu;
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
    FreshLab lab;
    Form1 &menu = lab.menu;
    menu.form2()->show();
    ExperimentWindow *window = menu.form2()->window();
    QCOMPARE(accessibleName(entry(window, 0)), QStringLiteral("Enter number of grams of mineral 1:"));
    QCOMPARE(accessibleName(entry(window, 1)), QStringLiteral("Enter number of grams of mineral 2:"));
    QCOMPARE(accessibleName(entry(window, 2)), QStringLiteral("Enter Temperature in Celsius"));
    QCOMPARE(accessibleName(button(window, "Command3")), QStringLiteral("Microprobe the Phases"));
    menu.form3()->show();
    QCOMPARE(accessibleName(entry(menu.form3()->window(), 2)),
             QStringLiteral("Raise Temperature to 1900 C and then lower to:"));
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
