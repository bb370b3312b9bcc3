// Kit codes: what they carry, and that a typo never makes another system.
#include "diagramwarp.h"
#include "kit.h"

#include <QtTest>

#include <algorithm>
#include <random>

namespace {
constexpr std::string_view alphabet = "23456789ABCDEFGHJKMNPQRSTUVWXYZ";

std::vector<Kit> someKits(int count)
{
    std::mt19937_64 random(20261207);
    std::vector<Kit> kits{Kit::fromNumber(0), Kit::fromNumber(Kit::numberCount - 1)};
    while (int(kits.size()) < count)
        kits.push_back(Kit::fromNumber(random() % Kit::numberCount));
    return kits;
}
} // namespace

class KitTest : public QObject
{
    Q_OBJECT

private slots:
    void codesGiveTheirKitBack();
    void everyTypoAndSwapIsCaught();
    void codesThatAreNoKit_data();
    void codesThatAreNoKit();
    void variantsStayInTheirBounds();
    void codesHandedOutStayValid_data();
    void codesHandedOutStayValid();
    void warpMapsBothWays_data();
    void warpMapsBothWays();
};

void KitTest::codesGiveTheirKitBack()
{
    for (const Kit &kit : someKits(300)) {
        const std::string code = kit.code();
        QCOMPARE(code.size(), std::size_t(9));
        QCOMPARE(code[4], '-');
        std::string plain = code;
        plain.erase(4, 1);
        for (char &character : plain)
            character = char(std::tolower(character));
        for (const std::string &typed : {code, plain, " " + code.substr(0, 2) + "-" + code.substr(2) + " "}) {
            const std::optional<Kit> read = Kit::fromCode(typed);
            QVERIFY2(read, typed.c_str());
            QCOMPARE(read->number(), kit.number());
        }
    }
}

void KitTest::everyTypoAndSwapIsCaught()
{
    for (const Kit &kit : someKits(200)) {
        std::string code = kit.code();
        code.erase(4, 1);
        for (std::size_t position = 0; position < code.size(); ++position) {
            for (const char other : alphabet) {
                if (other == code[position])
                    continue;
                std::string typo = code;
                typo[position] = other;
                QVERIFY2(!Kit::fromCode(typo), typo.c_str());
            }
            if (position + 1 < code.size() && code[position] != code[position + 1]) {
                std::string swapped = code;
                std::swap(swapped[position], swapped[position + 1]);
                QVERIFY2(!Kit::fromCode(swapped), swapped.c_str());
            }
        }
    }
}

void KitTest::codesThatAreNoKit_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("why");
    QTest::addRow("a look-alike O") << "K7M2-QX4O" << "'O' is in no kit code";
    QTest::addRow("a look-alike 1") << "17M2-QX4P" << "'1' is in no kit code";
    QTest::addRow("too short") << "K7M2-QX4" << "this one has 7";
    QTest::addRow("too long") << "K7M2-QX4PP" << "this one has more";
    QTest::addRow("empty") << "" << "this one has 0";
}

void KitTest::codesThatAreNoKit()
{
    QFETCH(QString, code);
    QFETCH(QString, why);
    std::string error;
    QVERIFY(!Kit::fromCode(code.toStdString(), &error));
    QVERIFY2(QString::fromStdString(error).contains(why), error.c_str());
}

void KitTest::variantsStayInTheirBounds()
{
    int differentStarts = 0;
    // The kits must also reach the ends of their ranges, not a corner of them.
    int lowestShift = 0, highestShift = 0;
    double lowestEutectic = 1, highestEutectic = 0, lowestStretch2 = 2, highestStretch2 = 0;
    for (const Kit &kit : someKits(2000)) {
        for (const int experiment : {1, 2}) {
            const Kit::Variant variant = kit.variant(experiment);
            QVERIFY(variant.meltShift1 >= -40 && variant.meltShift1 <= 40);
            QVERIFY(variant.meltShift2 >= -40 && variant.meltShift2 <= 40);
            QVERIFY(variant.stretch > 0.7 && variant.stretch < 1.42);
            lowestShift = std::min({lowestShift, variant.meltShift1, variant.meltShift2});
            highestShift = std::max({highestShift, variant.meltShift1, variant.meltShift2});
        }
        lowestStretch2 = std::min(lowestStretch2, kit.variant(2).stretch);
        highestStretch2 = std::max(highestStretch2, kit.variant(2).stretch);
        // The eutectic's X(2) of 0.42 lands between 0.34 and 0.50.
        const double k = kit.variant(1).stretch;
        const double eutectic = 0.42 / (0.42 + k * 0.58);
        QVERIFY2(eutectic >= 0.34 - 1e-12 && eutectic <= 0.50 + 1e-12, qPrintable(QString::number(eutectic)));
        lowestEutectic = std::min(lowestEutectic, eutectic);
        highestEutectic = std::max(highestEutectic, eutectic);
        QVERIFY(kit.scatterStartState() < (1u << 24));
        differentStarts += kit.scatterStartState() != someKits(1).front().scatterStartState();
    }
    QVERIFY(differentStarts > 1990);
    QCOMPARE(lowestShift, -40);
    QCOMPARE(highestShift, 40);
    QVERIFY2(lowestEutectic < 0.345 && highestEutectic > 0.495,
             qPrintable(QStringLiteral("%1 to %2").arg(lowestEutectic).arg(highestEutectic)));
    QVERIFY2(lowestStretch2 < 0.76 && highestStretch2 > 1.32,
             qPrintable(QStringLiteral("%1 to %2").arg(lowestStretch2).arg(highestStretch2)));
}

void KitTest::codesHandedOutStayValid_data()
{
    // Codes already given to students and printed in the README: a change
    // of the check character would turn each of them into a typo.
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("firstTypo");
    QTest::addRow("the end-to-end test's") << "6NUR-XT58" << "6NUR-XT59";
    QTest::addRow("the README's first student") << "EJV8-6XCW" << "FJV8-6XCW";
    QTest::addRow("the README's second student") << "6P75-WXJB" << "6P75-WXJC";
    QTest::addRow("the README's third student") << "8X76-JJGP" << "8X76-JJGQ";
    QTest::addRow("the first kit") << "2222-2222" << "2222-2223";
}

void KitTest::codesHandedOutStayValid()
{
    QFETCH(QString, code);
    QFETCH(QString, firstTypo);
    const std::optional<Kit> kit = Kit::fromCode(code.toStdString());
    QVERIFY(kit);
    QCOMPARE(QString::fromStdString(kit->code()), code);
    QVERIFY(!Kit::fromCode(firstTypo.toStdString()));
}

void KitTest::warpMapsBothWays_data()
{
    // k = 2 halves X / (1 - X): X 0.5 becomes 1/3. Temperatures map
    // affinely from melting points 1000 and 2000 to 1010 and 1980.
    QTest::addColumn<double>("x2");
    QTest::addColumn<double>("kitX2");
    QTest::addColumn<double>("temperature");
    QTest::addColumn<double>("kitTemperature");
    QTest::addRow("end member 1") << 0.0 << 0.0 << 1000.0 << 1010.0;
    QTest::addRow("end member 2") << 1.0 << 1.0 << 2000.0 << 1980.0;
    QTest::addRow("the middle") << 0.5 << 1.0 / 3 << 1500.0 << 1495.0;
    QTest::addRow("near end member 1") << 0.1 << 0.1 / 1.9 << 1100.0 << 1107.0;
    QTest::addRow("near end member 2") << 0.9 << 0.9 / 1.1 << 1900.0 << 1883.0;
}

void KitTest::warpMapsBothWays()
{
    QFETCH(double, x2);
    QFETCH(double, kitX2);
    QFETCH(double, temperature);
    QFETCH(double, kitTemperature);
    const DiagramWarp warp{1000, 2000, 1010, 1980, 2, {}};
    QVERIFY(qAbs(warp.toKitX2(x2) - kitX2) < 1e-12);
    QVERIFY(qAbs(warp.toStandardX2(kitX2) - x2) < 1e-12);
    QVERIFY(qAbs(warp.toKitTemperature(temperature) - kitTemperature) < 1e-9);
    QVERIFY(qAbs(warp.toStandardTemperature(kitTemperature) - temperature) < 1e-9);
}

QTEST_APPLESS_MAIN(KitTest)
#include "tst_kit.moc"
