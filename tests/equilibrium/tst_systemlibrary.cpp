// The library of classic systems against their published diagrams, and the
// system file reader against files an instructor could get wrong.
#include "phasediagram.h"
#include "systemfile.h"
#include "systemlibrary.h"

#include <QDir>
#include <QtTest>

#include <cmath>

namespace {

const BinarySystem &librarySystem(const char *id)
{
    static const SystemLibrary library = SystemLibrary::builtIn();
    const BinarySystem *system = library.find(id);
    if (!system)
        qFatal("no system %s", id);
    return *system;
}

const PhaseDiagram::Invariant *invariantOf(const PhaseDiagram &diagram, const std::string &kind)
{
    for (const PhaseDiagram::Invariant &invariant : diagram.invariants())
        if (invariant.kind == kind)
            return &invariant;
    return nullptr;
}

// The temperature at which a liquid of bulk X(2) first crystallises, by
// halving between all liquid and not.
double liquidusOf(const PhaseDiagram &diagram, double x2)
{
    double low = 1000;
    double high = 2000;
    for (int step = 0; step < 50; ++step) {
        const double middle = (low + high) / 2;
        (diagram.solver().at(x2, middle).phases.size() == 1
                 && diagram.solver().at(x2, middle).phases[0].phase == GibbsModel::liquid
             ? high
             : low) = middle;
    }
    return high;
}

// A minimal valid file, to break one thing at a time.
const QString validFile = QString::fromUtf8(R"toml(id = "a-b"
title = "A – B"
reference = "Nobody (2026)"

[mineral1]
name = "a"
formula_mass = 100.0
oxides = { SiO2 = 60.0, MgO = 40.0 }

[mineral2]
name = "b"
formula_mass = 60.08
oxides = { SiO2 = 100.0 }

[liquid]
margules = [0.0]

[[solid]]
name = "a"
units = [1, 0]
melting_point = 1500.0
enthalpy_of_fusion = 100.0

[[solid]]
name = "b"
units = [0, 1]
melting_point = 1700.0
enthalpy_of_fusion = 10.0
)toml");

} // namespace

class SystemLibraryTest : public QObject
{
    Q_OBJECT

private slots:
    void meltingPointsAreTheLiterature_data();
    void meltingPointsAreTheLiterature();
    void diopsideAnorthiteEutectic();
    void plagioclaseLoop();
    void olivineLoopIsIdeal();
    void forsteriteSilicaPeritecticAndEutectic();
    void badFilesNameTheirLineAndKey_data();
    void badFilesNameTheirLineAndKey();
    void savedFilesAreReplayed();
};

void SystemLibraryTest::meltingPointsAreTheLiterature_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<double>("mineral1");
    QTest::addColumn<double>("mineral2"); // 0: none
    QTest::addRow("di-an: diopside, anorthite") << "di-an" << 1391.5 << 1553.0;
    QTest::addRow("ab-an: albite, anorthite") << "ab-an" << 1118.0 << 1553.0;
    QTest::addRow("fo-fa: forsterite, fayalite") << "fo-fa" << 1890.0 << 1205.0;
    QTest::addRow("fo-sio2: forsterite, cristobalite") << "fo-sio2" << 1890.0 << 1713.0;
}

void SystemLibraryTest::meltingPointsAreTheLiterature()
{
    QFETCH(QString, id);
    QFETCH(double, mineral1);
    QFETCH(double, mineral2);
    const PhaseDiagram diagram(librarySystem(qPrintable(id)));
    // A pure mineral is all glass at its melting point and crystals just below.
    QCOMPARE(diagram.fieldAt(0, mineral1), std::string("liquid"));
    QVERIFY(diagram.fieldAt(0, mineral1 - 0.1) != "liquid");
    QCOMPARE(diagram.fieldAt(1, mineral2), std::string("liquid"));
    QVERIFY(diagram.fieldAt(1, mineral2 - 0.1) != "liquid");
}

void SystemLibraryTest::diopsideAnorthiteEutectic()
{
    // Bowen (1915), Osborn (1942): 1274 +- 5 degrees at X(2) 0.42 +- 0.02.
    const PhaseDiagram diagram(librarySystem("di-an"));
    QCOMPARE(int(diagram.invariants().size()), 1);
    const PhaseDiagram::Invariant &eutectic = diagram.invariants().front();
    QCOMPARE(eutectic.kind, std::string("eutectic"));
    QVERIFY2(std::abs(eutectic.temperature - 1274) <= 5, qPrintable(QString::number(eutectic.temperature)));
    QVERIFY2(std::abs(eutectic.phases[1].x2 - 0.42) <= 0.02, qPrintable(QString::number(eutectic.phases[1].x2)));
    QCOMPARE(diagram.phaseName(eutectic.phases[0].phase), std::string("diopside"));
    QCOMPARE(diagram.phaseName(eutectic.phases[2].phase), std::string("anorthite"));
}

void SystemLibraryTest::plagioclaseLoop()
{
    // Bowen (1913): the liquid of X(2) 0.50 first crystallises at 1450 +- 15,
    // its crystals of X(2) 0.80 +- 0.05.
    const PhaseDiagram diagram(librarySystem("ab-an"));
    QVERIFY(diagram.invariants().empty());
    const double liquidus = liquidusOf(diagram, 0.5);
    QVERIFY2(std::abs(liquidus - 1450) <= 15, qPrintable(QString::number(liquidus)));
    const Assemblage first = diagram.solver().at(0.5, liquidus - 0.01);
    QCOMPARE(int(first.phases.size()), 2);
    QVERIFY2(std::abs(first.phases[1].x2 - 0.80) <= 0.05, qPrintable(QString::number(first.phases[1].x2)));
    QCOMPARE(diagram.phaseName(first.phases[1].phase), std::string("plagioclase"));
}

void SystemLibraryTest::olivineLoopIsIdeal()
{
    // Bowen and Schairer (1935): an almost ideal loop. The library's olivine
    // is the ideal loop of its units, in closed form:
    //   k_i = exp(-(dH_i/R)(1/T - 1/Tm_i)), x1(solid) = (1 - k2)/(k1 - k2), x1(liquid) = k1 x1(solid).
    const BinarySystem &system = librarySystem("fo-fa");
    const PhaseDiagram diagram(system);
    QVERIFY(diagram.invariants().empty());
    for (const double celsius : {1850.0, 1700.0, 1500.0, 1300.0}) {
        const double T = celsius + 273.15;
        const double k1 = std::exp(-(71000 / 8.314462618) * (1 / T - 1 / (1890 + 273.15)));
        const double k2 = std::exp(-(44650 / 8.314462618) * (1 / T - 1 / (1205 + 273.15)));
        const double solidX1 = (1 - k2) / (k1 - k2);
        const double liquidX1 = k1 * solidX1;
        const Assemblage assemblage = diagram.solver().at(system.massFraction(1 - (solidX1 + liquidX1) / 2), celsius);
        QCOMPARE(int(assemblage.phases.size()), 2);
        // Olivine, richer in forsterite than its liquid, comes first.
        QVERIFY(assemblage.phases[0].phase != GibbsModel::liquid && assemblage.phases[1].phase == GibbsModel::liquid);
        QVERIFY(std::abs(assemblage.phases[0].x - (1 - solidX1)) < 1e-6);
        QVERIFY(std::abs(assemblage.phases[1].x - (1 - liquidX1)) < 1e-6);
    }
}

void SystemLibraryTest::forsteriteSilicaPeritecticAndEutectic()
{
    // Bowen and Andersen (1914): enstatite melts incongruently at 1557 +- 10
    // to forsterite and liquid; the enstatite-silica eutectic lies at 1543 +- 10.
    const PhaseDiagram diagram(librarySystem("fo-sio2"));
    const PhaseDiagram::Invariant *peritectic = invariantOf(diagram, "peritectic");
    const PhaseDiagram::Invariant *eutectic = invariantOf(diagram, "eutectic");
    QVERIFY(peritectic && eutectic);
    QVERIFY2(std::abs(peritectic->temperature - 1557) <= 10, qPrintable(QString::number(peritectic->temperature)));
    QVERIFY2(std::abs(eutectic->temperature - 1543) <= 10, qPrintable(QString::number(eutectic->temperature)));
    QCOMPARE(diagram.phaseName(peritectic->phases[0].phase), std::string("forsterite"));
    QCOMPARE(diagram.phaseName(peritectic->phases[1].phase), std::string("enstatite"));
    QCOMPARE(peritectic->phases[2].phase, GibbsModel::liquid);
    QCOMPARE(diagram.phaseName(eutectic->phases[0].phase), std::string("enstatite"));
    QCOMPARE(diagram.phaseName(eutectic->phases[2].phase), std::string("cristobalite"));
    // Enstatite's composition melts to forsterite and liquid just above.
    const double enstatite = peritectic->phases[1].x2;
    QCOMPARE(diagram.fieldAt(enstatite, peritectic->temperature + 0.5), std::string("forsterite + liquid"));
    QCOMPARE(diagram.fieldAt(enstatite, peritectic->temperature - 0.5), std::string("enstatite"));
    // The fitted liquid unmixes above its monotectic with cristobalite.
    QVERIFY(invariantOf(diagram, "monotectic"));
    QCOMPARE(diagram.fieldAt(0.6, 1650), std::string("liquid + liquid"));
}

void SystemLibraryTest::badFilesNameTheirLineAndKey_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    const auto changed = [](const QString &from, const QString &to) { return QString(validFile).replace(from, to); };
    QTest::addRow("as it is") << validFile << "";
    QTest::addRow("melting point below absolute zero")
        << changed("melting_point = 1500.0", "melting_point = -300.0")
        << "a-b.toml:21: [[solid]] 1: melting_point: must be above absolute zero";
    QTest::addRow("oxides not summing to 100")
        << changed("SiO2 = 60.0, MgO = 40.0", "SiO2 = 60.0, MgO = 39.0") << "a-b.toml:8: [mineral1] oxides: sum to 99.00";
    QTest::addRow("a solid of no units") << changed("units = [1, 0]", "units = [0, 0]")
                                         << "a-b.toml:20: [[solid]] 1: units: are both zero";
    QTest::addRow("a solution of no end members")
        << validFile + "\n[[solid_solution]]\nname = \"ab\"\nmembers = [\"b\", \"a\"]\nmargules = [0]\n"
        << "a-b.toml:32: [[solid_solution]] 1: members: must be the two end members";
    QTest::addRow("an unknown key") << changed("formula_mass = 100.0", "formula_mas = 100.0")
                                    << "a-b.toml:7: [mineral1] formula_mas: not a key of a system file";
    QTest::addRow("a huge number") << changed("enthalpy_of_fusion = 10.0", "enthalpy_of_fusion = 1e308")
                                   << "a-b.toml:28: [[solid]] 2: enthalpy_of_fusion: must be above 0 and at most 5000";
    QTest::addRow("infinity") << changed("melting_point = 1700.0", "melting_point = inf")
                              << "a-b.toml:27: [[solid]] 2: melting_point: must be a number";
    QTest::addRow("cut short inside a table") << validFile.left(validFile.indexOf(QStringLiteral("[liquid]")) + 4)
                                              << "a-b.toml:15: TOML:";
    QTest::addRow("cut short before the solids") << validFile.left(validFile.indexOf(QStringLiteral("[[solid]]")))
                                                 << "[[solid]]: missing";
    QTest::addRow("no mineral 2") << changed("[mineral2]", "[mineral3]") << "a-b.toml:10: mineral3: not a key";
    QTest::addRow("an oxide the probe does not know") << changed("SiO2 = 100.0", "SiO2 = 90.0, Li2O = 10.0")
                                                      << "a-b.toml:13: [mineral2] oxides.Li2O: is no oxide";
    QTest::addRow("an id with a blank") << changed("id = \"a-b\"", "id = \"a b\"") << "a-b.toml:1: id: must be letters";
    QTest::addRow("three Margules values") << changed("margules = [0.0]", "margules = [1, 2, 3]")
                                           << "a-b.toml:16: [liquid] margules: must be [W] or [W12, W21]";
    QTest::addRow("two solids of one name") << changed("name = \"b\"\nunits", "name = \"a\"\nunits")
                                            << "another solid has this name";
    QTest::addRow("a melting point as text") << changed("melting_point = 1500.0", "melting_point = \"hot\"")
                                             << "a-b.toml:21: [[solid]] 1: melting_point: must be a number";
    // Beyond ASCII: in strings and comments as any text may be, nowhere else.
    QTest::addRow("letters beyond ASCII in strings and comments")
        << changed(QStringLiteral("title = \"A \u2013 B\""),
                   QStringLiteral("title = \"\u00A1A \u2013 B\\\" \u00FC\" # M\u00FCller's \"system\" \u00A1"))
        << "";
    QTest::addRow("letters beyond ASCII in strings over lines")
        << changed(QStringLiteral("reference = \"Nobody (2026)\""),
                   QStringLiteral("reference = \"\"\"Nobody \"\\\n(2026) \u2013 \u00FC\"\"\"\nteaches = '''\u00A1\n'''"))
        << "";
    QTest::addRow("a letter beyond ASCII before a key")
        << changed("[mineral2]", "[mineral2]\n\u00A1name = \"b\"") << "a-b.toml:11: TOML: a character beyond ASCII";
    QTest::addRow("a letter beyond ASCII after a string")
        << changed("id = \"a-b\"", "id = \"a-b\"\uFCBF") << "a-b.toml:1: TOML: a character beyond ASCII";
    QTest::addRow("a letter beyond ASCII behind a quote inside a number")
        << changed(QStringLiteral("margules = [0.0]"), QStringLiteral("margules = [+[X\"\u0113\"]"))
        << "a-b.toml:16: TOML: a character beyond ASCII";
    QTest::addRow("a letter beyond ASCII first on a line a backslash continues")
        << changed(QStringLiteral("reference = \"Nobody (2026)\""),
                   QStringLiteral("reference = \"\"\"Nobody \\\n\n  \uFEFB (2026)\"\"\""))
        << "a-b.toml:5: TOML: a character beyond ASCII";
    QTest::addRow("a letter beyond ASCII escaped in a multi-line string")
        << changed(QStringLiteral("reference = \"Nobody (2026)\""), QStringLiteral("reference = \"\"\"\\\u00E9\"\"\""))
        << "a-b.toml:3: TOML: a character beyond ASCII";
}

void SystemLibraryTest::badFilesNameTheirLineAndKey()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    const SystemFile::Result read = SystemFile::read(text.toStdString(), "a-b.toml");
    if (error.isEmpty()) {
        QVERIFY2(read.system, read.error.c_str());
        return;
    }
    QVERIFY(!read.system);
    QVERIFY2(QString::fromStdString(read.error).startsWith(error) || (!error.startsWith(QLatin1String("a-b.toml"))
                                                                       && QString::fromStdString(read.error).contains(error)),
             read.error.c_str());
}

void SystemLibraryTest::savedFilesAreReplayed()
{
    // Files that once broke the reader (found by hand or by the fuzzer):
    // pass/ reads, fail/ is refused with a message naming a line; none may
    // crash or hang, so each is named before it is read.
    int seen = 0;
    for (const QString &kind : {QStringLiteral("pass"), QStringLiteral("fail")}) {
        const QDir folder(QStringLiteral(LAB_SOURCE_DIR "/tests/data/systems/") + kind);
        for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
            qInfo("%s/%s", qPrintable(kind), qPrintable(name));
            const SystemFile::Result read = SystemFile::readFile(folder.filePath(name).toStdString());
            QVERIFY2(bool(read.system) == (kind == QLatin1String("pass")), read.error.c_str());
            if (!read.system)
                QVERIFY(QString::fromStdString(read.error).contains(QRegularExpression(QStringLiteral("\\.toml:\\d+: "))));
            ++seen;
        }
    }
    // The library's own files are there too, and read.
    for (const SystemLibrary::File &file : SystemLibrary::builtInFiles())
        QVERIFY(SystemFile::read(file.text, file.name).system);
    QVERIFY(seen >= 4);
}

QTEST_APPLESS_MAIN(SystemLibraryTest)
#include "tst_systemlibrary.moc"
