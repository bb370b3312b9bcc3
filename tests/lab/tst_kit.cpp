// Kit codes: what they carry, and that a typo never makes another system.
#include "diagramwarp.h"
#include "kit.h"
#include "labexperiments.h"

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
    void pastedCodesAreRead_data();
    void pastedCodesAreRead();
    void readmeCodesAreKits();
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
    QTest::addRow("a letter with an accent") << "K7M2-QX4\u00C9" << "'\u00C9' is in no kit code";
    QTest::addRow("a control character") << "K7M2\u0007QX4P" << "the invisible character U+0007";
    QTest::addRow("a byte that is no text") << QString::fromLatin1("6NUR\xE2XT58") << "is in no kit code";
}

void KitTest::codesThatAreNoKit()
{
    QFETCH(QString, code);
    QFETCH(QString, why);
    std::string error;
    QVERIFY(!Kit::fromCode(code.toStdString(), &error));
    QVERIFY2(QString::fromStdString(error).contains(why), error.c_str());
    // The message is text: a character, never a lone byte of one.
    QVERIFY(QString::fromStdString(error).toUtf8().toStdString() == error);
}

void KitTest::pastedCodesAreRead_data()
{
    // Handouts and web pages put other dashes and spaces into a code.
    QTest::addColumn<QString>("pasted");
    QTest::addRow("an en dash") << "6NUR\u2013XT58";
    QTest::addRow("an em dash") << "6NUR\u2014XT58";
    QTest::addRow("a minus sign") << "6NUR\u2212XT58";
    QTest::addRow("a non-breaking hyphen") << "6NUR\u2011XT58";
    QTest::addRow("a no-break space") << "6NUR\u00A0XT58";
    QTest::addRow("a narrow no-break space") << "6NUR\u202FXT58";
    QTest::addRow("a zero-width space and a tab") << "\t6NUR\u200BXT58 ";
    QTest::addRow("a byte order mark in front") << "\uFEFF6nur-xt58";
    QTest::addRow("an ideographic space") << "6NUR\u3000XT58";
}

void KitTest::pastedCodesAreRead()
{
    QFETCH(QString, pasted);
    std::string why;
    const std::optional<Kit> kit = Kit::fromCode(pasted.toUtf8().toStdString(), &why);
    QVERIFY2(kit, why.c_str());
    QCOMPARE(QString::fromStdString(kit->code()), QStringLiteral("6NUR-XT58"));
}

void KitTest::readmeCodesAreKits()
{
    // Every code the README shows a student or an instructor is a real kit.
    QFile readme(QStringLiteral(LAB_SOURCE_DIR "/README.md"));
    QVERIFY(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    static const QRegularExpression code(QStringLiteral("\\b[0-9A-Za-z]{4}-[0-9A-Za-z]{4}\\b"));
    int seen = 0;
    for (const QRegularExpressionMatch &match : code.globalMatch(text)) {
        const QString found = match.captured();
        if (!found.contains(QRegularExpression(QStringLiteral("\\d"))) || found.startsWith(QLatin1String("YYYY")))
            continue; // words such as "five-step" are no codes
        std::string why;
        QVERIFY2(Kit::fromCode(found.toStdString(), &why), qPrintable(found + QStringLiteral(": ") + QString::fromStdString(why)));
        ++seen;
    }
    QVERIFY(seen >= 4);
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
        // The eutectic's X(2) of 0.42 lands between 0.34 and 0.50 in the
        // kit's own diagram.
        double eutectic = -1;
        for (const DiagramOutline::Label &label : labExperiments(&kit).front().outline().labels)
            if (label.names)
                eutectic = label.names->x2;
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
