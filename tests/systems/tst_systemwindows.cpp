// A student in front of a system: its window has the shape of the lab's
// experiment windows with the system's minerals in its captions, a run
// shows a charge drawn for it whose crystals cover each phase's share, the
// microprobe reports each phase, and the chooser works by keyboard and
// through the accessibility tree.
#include "analyticalscatter.h"
#include "chargecontent.h"
#include "chargelayout.h"
#include "chargepicture.h"
#include "computedpicture.h"
#include "coolingpanel.h"
#include "experimentform.h"
#include "messageboxcatcher.h"
#include "polygongeometry.h"
#include "systemchooser.h"
#include "systemdefinition.h"
#include "systemlauncher.h"
#include "systemlibrary.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSignalSpy>
#include <QVector3D>
#include <QtTest>

namespace {

const SystemLibrary &library()
{
    static const SystemLibrary systems = SystemLibrary::builtIn();
    return systems;
}

const BinarySystem &librarySystem(const char *id)
{
    return *library().find(id);
}

// A furnace run through the experiment seam, as the window makes it.
Charge runOf(const ExperimentSession &session, const char *id, float grams1, float grams2, float celsius)
{
    const std::unique_ptr<ExperimentModel> model = systemDefinition(librarySystem(id)).makeModel();
    (void)session;
    return model->run({grams1, grams2, celsius}).charge;
}

// The share of the charge each class of colour covers in the picture, with
// the anti-aliased pixels at edges shared between the two colours they
// blend (the charge pictures' own test measures them the same way).
std::vector<double> renderedShares(const wmf::Picture &picture, const QList<std::pair<QRgb, int>> &classes,
                                   int classCount, qreal scale)
{
    const QSize size(int(charge::ChargePicture::widthInTwips * scale / 15),
                     int(charge::ChargePicture::heightInTwips * scale / 15));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QRectF fitted = picture.fittedRect(QRectF(QPointF(0, 0), size));
    {
        QPainter painter(&image);
        picture.render(painter, QRectF(QPointF(0, 0), size));
    }
    QImage mask(size, QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.translate(fitted.topLeft());
        painter.scale(fitted.width() / charge::ChargePicture::widthInTwips,
                      fitted.height() / charge::ChargePicture::heightInTwips);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPolygon(charge::ChargeLayout::chargeOutline());
    }
    const auto vector = [](QRgb colour) { return QVector3D(qRed(colour), qGreen(colour), qBlue(colour)); };
    std::vector<double> counts(std::size_t(classCount), 0.0);
    for (int y = 0; y < size.height(); ++y) {
        const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const uchar *inside = mask.constScanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            if (inside[x] < 128)
                continue;
            const QVector3D pixel = vector(pixels[x]);
            double bestResidual = 1e300;
            double bestShare = 1;
            int kinds[2] = {0, 0};
            for (qsizetype i = 0; i < classes.size(); ++i)
                for (qsizetype j = i + 1; j < classes.size(); ++j) {
                    const QVector3D b = vector(classes[j].first);
                    const QVector3D span = vector(classes[i].first) - b;
                    const double share = span.lengthSquared() == 0 ? 1.0
                        : std::clamp(double(QVector3D::dotProduct(pixel - b, span) / span.lengthSquared()), 0.0, 1.0);
                    const double residual = (pixel - (b + span * float(share))).lengthSquared();
                    if (residual < bestResidual) {
                        bestResidual = residual;
                        bestShare = share;
                        kinds[0] = classes[i].second;
                        kinds[1] = classes[j].second;
                    }
                }
            counts[std::size_t(kinds[0])] += bestShare;
            counts[std::size_t(kinds[1])] += 1 - bestShare;
        }
    }
    double total = 0;
    for (const double count : counts)
        total += count;
    for (double &count : counts)
        count /= total;
    return counts;
}

} // namespace

class SystemWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void windowHasTheLabsShape();
    void runDrawsItsChargeAndProbes();
    void entriesFollowTheLabsRules();
    void pictureCoversEachPhasesShare_data();
    void pictureCoversEachPhasesShare();
    void chooserByKeyboardAndScreenReader();
    void coolingByKeyboard();
};

void SystemWindowsTest::windowHasTheLabsShape()
{
    AnalyticalScatter scatter;
    ExperimentForm lab(systemDefinition(librarySystem("di-an")), ExperimentLayout::form2(), scatter);
    SystemLauncher launcher(systemDefinition(librarySystem("fo-sio2")), QStringLiteral("forsterite"), QStringLiteral("silica"),
                            scatter, nullptr);
    lab.show();
    launcher.show();
    ExperimentWindow *own = lab.window();
    ExperimentWindow *systemWindow = launcher.form()->window();
    QCOMPARE(systemWindow->size(), own->size());
    for (const QWidget *widget : own->findChildren<QWidget *>()) {
        if (widget->objectName().isEmpty())
            continue;
        const QWidget *same = systemWindow->findChild<QWidget *>(widget->objectName());
        QVERIFY2(same && same->geometry() == widget->geometry(), qPrintable(widget->objectName()));
    }
    QCOMPARE(systemWindow->windowTitle(), QStringLiteral("Forsterite \u2013 Silica"));
    QCOMPARE(systemWindow->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral("Enter number of grams of forsterite:"));
    QCOMPARE(systemWindow->findChild<QLineEdit *>(QStringLiteral("txt(1)"))->accessibleName(),
             QStringLiteral("Enter number of grams of silica:"));
    lab.window()->close();
}

void SystemWindowsTest::runDrawsItsChargeAndProbes()
{
    AnalyticalScatter scatter;
    SystemLauncher launcher(systemDefinition(librarySystem("fo-sio2")), QStringLiteral("forsterite"), QStringLiteral("silica"),
                            scatter, nullptr);
    QSignalSpy finished(&launcher, &SystemLauncher::finished);
    launcher.show();
    ExperimentWindow *window = launcher.form()->window();
    const auto type = [&](int box, const QString &text) {
        auto *entry = window->findChild<QLineEdit *>(QStringLiteral("txt(%1)").arg(box));
        entry->setText(text);
    };
    type(0, QStringLiteral("0.7"));
    type(1, QStringLiteral("0.3"));
    type(2, QStringLiteral("1552.4"));
    window->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QWidget *picture = window->findChild<QWidget *>(QStringLiteral("Picture1"));
    QCOMPARE(picture->accessibleDescription(),
             QStringLiteral("Charge of glass (49 percent) with crystals of forsterite (3 percent) and enstatite (48 percent)."));
    window->findChild<QPushButton *>(QStringLiteral("Command3"))->click();
    const QString report = window->findChild<QPlainTextEdit *>(QStringLiteral("Text1"))->toPlainText();
    QVERIFY2(report.contains(QStringLiteral("      forsterite  enstatite      glass\n")), qPrintable(report));
    QVERIFY(report.startsWith(QStringLiteral("Temperature = 1552 degrees Celsius")));
    // Menu: back to where the window was opened from.
    window->findChild<QPushButton *>(QStringLiteral("Command2"))->click();
    QCOMPARE(finished.size(), 1);
}

void SystemWindowsTest::entriesFollowTheLabsRules()
{
    AnalyticalScatter scatter;
    SystemLauncher launcher(systemDefinition(librarySystem("fo-sio2")), QStringLiteral("forsterite"), QStringLiteral("silica"),
                            scatter, nullptr);
    launcher.show();
    ExperimentWindow *window = launcher.form()->window();
    const QList<std::pair<QStringList, QString>> tries{
        {{"0.5", "0.5", "999"}, "A value between 1000 and 2000 is required!"},
        {{"1.5", "0.5", "1500"}, "A value between 0 and 1 is required!"},
        {{"0", "0", "1500"}, "Program encountered an unexpected error!"},
    };
    for (const auto &[entries, said] : tries) {
        if (!launcher.form()->isLoaded())
            launcher.show();
        window = launcher.form()->window();
        for (int box = 0; box < 3; ++box)
            window->findChild<QLineEdit *>(QStringLiteral("txt(%1)").arg(box))->setText(entries[box]);
        MessageBoxCatcher catcher;
        window->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QCOMPARE(catcher.messages().size(), 1);
        QCOMPARE(catcher.messages().first().text, said);
    }
    QVERIFY(!launcher.form()->isLoaded()); // the error path closes the window, as the lab's does
}

void SystemWindowsTest::pictureCoversEachPhasesShare_data()
{
    // Runs across the shares a charge can hold, in systems of every kind:
    // one solid in glass from a sliver to nearly all, two solids with glass
    // at an invariant, crystals alone.
    QTest::addColumn<QString>("id");
    QTest::addColumn<float>("grams2");
    QTest::addColumn<float>("celsius");
    for (const float celsius : {1560.0f, 1500.0f, 1450.0f, 1400.0f, 1350.0f, 1300.0f, 1275.0f})
        QTest::addRow("di-an at 0.7, %g", double(celsius)) << "di-an" << 0.7f << celsius;
    QTest::addRow("di-an eutectic") << "di-an" << 0.42f << 1274.0f;
    QTest::addRow("di-an crystals only") << "di-an" << 0.3f << 1200.0f;
    for (const float celsius : {1520.0f, 1480.0f, 1440.0f, 1400.0f, 1360.0f, 1320.0f})
        QTest::addRow("ab-an at 0.6, %g", double(celsius)) << "ab-an" << 0.6f << celsius;
    QTest::addRow("fo-sio2 peritectic") << "fo-sio2" << 0.3f << 1552.4f;
    QTest::addRow("fo-sio2 forsterite in glass") << "fo-sio2" << 0.15f << 1700.0f;
    QTest::addRow("fo-sio2 two crystals") << "fo-sio2" << 0.5f << 1400.0f;
}

void SystemWindowsTest::pictureCoversEachPhasesShare()
{
    QFETCH(QString, id);
    QFETCH(float, grams2);
    QFETCH(float, celsius);
    const ExperimentDefinition definition = systemDefinition(librarySystem(qPrintable(id)));
    const ExperimentSession session(definition);
    const Charge charge = runOf(session, qPrintable(id), 1 - grams2, grams2, celsius);
    QVERIFY(charge.isComputed());
    const wmf::ReadResult drawn = ComputedPicture::draw(session, charge);
    QVERIFY2(drawn.isValid(), qPrintable(drawn.error));
    // The classes: glass (and the capsule's wall pen over its edge), then
    // each solid's colour and rim, in the order of the charge's phases.
    QList<std::pair<QRgb, int>> classes{{charge::palette::glass, 0}, {charge::palette::capsuleEdge, 0}};
    std::vector<double> expected{0};
    for (const Charge::PhaseShare &share : charge.shares) {
        if (share.isGlass) {
            expected[0] += share.fraction;
            continue;
        }
        const QRgb colour = QColor(QString::fromStdString(share.colour)).rgb();
        classes << std::pair{colour, int(expected.size())} << std::pair{QColor(colour).darker(170).rgb(), int(expected.size())};
        expected.push_back(share.fraction);
    }
    for (const qreal scale : {2.0, 4.0}) {
        const std::vector<double> shares = renderedShares(*drawn.picture, classes, int(expected.size()), scale);
        for (std::size_t phase = 0; phase < expected.size(); ++phase)
            QVERIFY2(std::abs(shares[phase] - expected[phase]) <= (scale < 3 ? 0.02 : 0.01),
                     qPrintable(QStringLiteral("%1 at %2 x: phase %3 covers %4, its share is %5")
                                    .arg(QString::fromStdString(charge.description(""))).arg(scale).arg(phase)
                                    .arg(shares[phase]).arg(expected[phase])));
    }
}

void SystemWindowsTest::chooserByKeyboardAndScreenReader()
{
    SystemChooser chooser(library().systems());
    chooser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chooser));
    auto *list = chooser.findChild<QListWidget *>(QStringLiteral("Systems"));
    QCOMPARE(list->count(), 4);
    // Each entry reads whole: title, minerals, reference, what it teaches.
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(list);
    QVERIFY(table && table->childCount() >= 4);
    QString read;
    for (int child = 0; child < table->childCount(); ++child)
        read += table->child(child)->text(QAccessible::Name) + QLatin1Char('|');
    QVERIFY2(read.contains(QStringLiteral("Forsterite \u2013 Silica. forsterite and silica (Bowen and Andersen (1914)). "
                                          "Incongruent melting")),
             qPrintable(read));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(chooser.chosen());
    QCOMPARE(chooser.chosen()->id, std::string("fo-sio2"));
    QCOMPARE(chooser.result(), int(QDialog::Accepted));
}

namespace {

// Keeps what a window tells the notebook.
class EventLog : public SessionRecorder
{
public:
    void record(const SessionEvent &event) override { events.push_back(event); }
    std::vector<SessionEvent> events;
};

} // namespace

void SystemWindowsTest::coolingByKeyboard()
{
    AnalyticalScatter scatter;
    EventLog log;
    SystemLauncher launcher(systemDefinition(librarySystem("ab-an")), QStringLiteral("albite"),
                            QStringLiteral("anorthite"), scatter, &log);
    launcher.show();
    ExperimentWindow *window = launcher.form()->window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->findChild<QLineEdit *>(QStringLiteral("txt(0)"))->setText(QStringLiteral("0.5"));
    window->findChild<QLineEdit *>(QStringLiteral("txt(1)"))->setText(QStringLiteral("0.5"));
    // "Cool..." beside the microprobe, by its access key.
    auto *coolButton = window->findChild<QPushButton *>(QStringLiteral("CoolButton"));
    QVERIFY(coolButton && coolButton->isVisible());
    QCOMPARE(coolButton->accessibleName(), QStringLiteral("Cool..."));
    QTest::keyClick(window, Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(window->findChild<CoolingPanel *>() && window->findChild<CoolingPanel *>()->isVisible());
    CoolingPanel *panel = window->findChild<CoolingPanel *>();
    const auto entry = [panel](const char *name) { return panel->findChild<QLineEdit *>(QLatin1String(name)); };
    entry("From")->setText(QStringLiteral("1500"));
    entry("To")->setText(QStringLiteral("1120"));
    entry("Step")->setText(QStringLiteral("20"));
    QCOMPARE(entry("Step")->accessibleName(), QStringLiteral("Step (degrees):"));
    panel->findChild<QRadioButton *>(QStringLiteral("Fractional"))->setChecked(true);
    {
        // A step of nothing is an entry error, and nothing is recorded.
        MessageBoxCatcher catcher;
        entry("Step")->setText(QStringLiteral("0"));
        QVERIFY(!panel->coolNow());
        QCOMPARE(catcher.messages().size(), 1);
        QCOMPARE(catcher.messages()[0].title, QStringLiteral("Entry Error"));
        QVERIFY(log.events.empty());
        entry("Step")->setText(QStringLiteral("20"));
    }
    QTest::keyClick(panel->findChild<QPushButton *>(QStringLiteral("Cool")), Qt::Key_Space);
    QCOMPARE(panel->stepCount(), 20);
    QCOMPARE(int(log.events.size()), 1);
    QCOMPARE(log.events[0].kind, SessionEvent::Kind::Cool);
    // The path's end is shown: its charge in the picture, its words read out.
    QWidget *picture = window->findChild<QWidget *>(QStringLiteral("Picture1"));
    auto *path = panel->findChild<QSlider *>(QStringLiteral("Path"));
    QCOMPARE(path->value(), 19);
    QCOMPARE(panel->focusWidget(), path);
    QVERIFY2(path->accessibleDescription().startsWith(QStringLiteral("Step 20 of 20, 1120 degrees: liquid X(2) 0.00")),
             qPrintable(path->accessibleDescription()));
    QVERIFY(path->accessibleDescription().endsWith(picture->accessibleDescription()));
    // Home: the start, all glass; the microprobe finds glass alone there.
    QTest::keyClick(path, Qt::Key_Home);
    QCOMPARE(picture->accessibleDescription(), QStringLiteral("Charge of glass (100 percent)."));
    window->findChild<QPushButton *>(QStringLiteral("Command3"))->click();
    QString report = window->findChild<QPlainTextEdit *>(QStringLiteral("Text1"))->toPlainText();
    QVERIFY2(report.startsWith(QStringLiteral("Temperature = 1500 degrees Celsius")), qPrintable(report));
    QCOMPARE(report.count(QLatin1Char('\n')), 3); // the header, the headings, the glass
    QVERIFY(report.contains(QStringLiteral("\nglass ")));
    // One step cooler with the button, then the end: the crystal traverse.
    panel->findChild<QPushButton *>(QStringLiteral("Cooler"))->click();
    QCOMPARE(path->value(), 1);
    QTest::keyClick(path, Qt::Key_End);
    window->findChild<QPushButton *>(QStringLiteral("Command3"))->click();
    report = window->findChild<QPlainTextEdit *>(QStringLiteral("Text1"))->toPlainText();
    QVERIFY2(report.contains(QStringLiteral("\nplagioclase core ")) && report.contains(QStringLiteral("\nplagioclase rim ")),
             qPrintable(report));
    // A run since the cooling: its path cannot be stepped through any more.
    window->findChild<QLineEdit *>(QStringLiteral("txt(2)"))->setText(QStringLiteral("1400"));
    window->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QTest::keyClick(path, Qt::Key_Home);
    QVERIFY(!path->isEnabled());
    QVERIFY(picture->accessibleDescription().startsWith(QStringLiteral("Charge of glass (")));
    QVERIFY(!picture->accessibleDescription().contains(QStringLiteral("(100 percent)")));
}

QTEST_MAIN(SystemWindowsTest)
#include "tst_systemwindows.moc"
