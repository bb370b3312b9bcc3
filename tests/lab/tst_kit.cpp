// Kit codes: what they carry, and that a typo never makes another system.
#include "kit.h"

#include <QtTest>

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
    for (const Kit &kit : someKits(2000)) {
        for (const int experiment : {1, 2}) {
            const Kit::Variant variant = kit.variant(experiment);
            QVERIFY(variant.meltShift1 >= -40 && variant.meltShift1 <= 40);
            QVERIFY(variant.meltShift2 >= -40 && variant.meltShift2 <= 40);
            QVERIFY(variant.stretch > 0.7 && variant.stretch < 1.42);
        }
        // The eutectic's X(2) of 0.42 lands between 0.34 and 0.50.
        const double k = kit.variant(1).stretch;
        const double eutectic = 0.42 / (0.42 + k * 0.58);
        QVERIFY2(eutectic >= 0.34 - 1e-12 && eutectic <= 0.50 + 1e-12, qPrintable(QString::number(eutectic)));
        QVERIFY(kit.scatterStartState() < (1u << 24));
        differentStarts += kit.scatterStartState() != someKits(1).front().scatterStartState();
    }
    QVERIFY(differentStarts > 1990);
}

QTEST_APPLESS_MAIN(KitTest)
#include "tst_kit.moc"
