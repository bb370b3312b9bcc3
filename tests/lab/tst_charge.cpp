// The charge vocabulary: which band a crystal fraction falls in, and the
// picture name and words a charge gets.
#include "charge.h"

#include <QtTest>

Q_DECLARE_METATYPE(Charge)

#include <cmath>

using Side = Charge::Side;
using Texture = Charge::Texture;

class ChargeTest : public QObject
{
    Q_OBJECT

private slots:
    void bands_data();
    void bands();
    void namesAndWords_data();
    void namesAndWords();
    void everyPictureShowsTheMiddleOfItsBand();
};

void ChargeTest::bands_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<QString>("picture");
    QTest::addRow("none") << 0.0 << "Chaa.wmf";
    QTest::addRow("a trace") << 0.001 << "Chab.wmf";
    QTest::addRow("0.1 is still b") << 0.1 << "Chab.wmf";
    QTest::addRow("just above 0.1") << std::nextafter(0.1, 1.0) << "Chac.wmf";
    QTest::addRow("0.15") << 0.15 << "Chac.wmf";
    QTest::addRow("just above 0.15") << std::nextafter(0.15, 1.0) << "Chad.wmf";
    QTest::addRow("0.2") << 0.2 << "Chad.wmf";
    QTest::addRow("0.25") << 0.25 << "Chae.wmf";
    QTest::addRow("0.3") << 0.3 << "Chaf.wmf";
    QTest::addRow("0.35") << 0.35 << "Chag.wmf";
    QTest::addRow("0.4 is h") << 0.4 << "Chah.wmf";
    QTest::addRow("0.44") << 0.44 << "Chai.wmf";
    QTest::addRow("0.5") << 0.5 << "Chai.wmf";
    QTest::addRow("0.6") << 0.6 << "Chaj.wmf";
    QTest::addRow("0.7") << 0.7 << "Chak.wmf";
    QTest::addRow("0.8 is l") << 0.8 << "Chal.wmf";
    QTest::addRow("just above 0.8") << std::nextafter(0.8, 1.0) << "Cham.wmf";
    QTest::addRow("just below 1") << std::nextafter(1.0, 0.0) << "Cham.wmf";
    QTest::addRow("all crystal") << 1.0 << "Chan.wmf";
    QTest::addRow("just above 1 fits no band") << std::nextafter(1.0, 2.0) << "Cha.wmf";
    QTest::addRow("above 1 fits no band") << 1.31 << "Cha.wmf";
    QTest::addRow("negative fits no band") << -0.2 << "Cha.wmf";
    QTest::addRow("not a number fits no band") << std::nan("") << "Cha.wmf";
    // A single-precision fraction is widened before it is compared.
    QTest::addRow("float 0.1 lies above 0.1") << double(0.1f) << "Chac.wmf";
}

void ChargeTest::bands()
{
    QFETCH(double, fraction);
    QFETCH(QString, picture);
    QCOMPARE(QString::fromStdString(Charge::fromCrystalFraction(Side::MineralOne, fraction).pictureName()), picture);
}

void ChargeTest::namesAndWords_data()
{
    QTest::addColumn<Charge>("charge");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("words");
    QTest::addRow("all glass") << Charge::of(Side::MineralTwo, Texture::AllGlass) << "Chba.wmf"
                               << "Charge of glass only: the charge is completely molten.";
    QTest::addRow("side B crystals in glass") << Charge::fromCrystalFraction(Side::MineralTwo, 0.45) << "Chbi.wmf"
                                              << "Charge of glass with crystals of SIDE B, 40 to 50 percent crystal.";
    QTest::addRow("side A crystals in glass") << Charge::fromCrystalFraction(Side::MineralOne, 0.9) << "Cham.wmf"
                                              << "Charge of glass with crystals of mineral 1, 80 to 99 percent crystal.";
    QTest::addRow("grown from the melt") << Charge::of(Side::MineralTwo, Texture::GrownFromMelt) << "Chbn.wmf"
                                         << "Charge of crystals of SIDE B only, grown from the melt; no glass left.";
    QTest::addRow("crystalline") << Charge::of(Side::MineralOne, Texture::Crystalline) << "Chao.wmf"
                                 << "Charge of crystals of mineral 1 only, no glass.";
    QTest::addRow("eutectic") << Charge::of(Side::MineralOne, Texture::EutecticGlass) << "Chap.wmf"
                              << "Charge of glass with crystals of mineral 1 and mineral 2: the eutectic.";
    QTest::addRow("both crystals") << Charge::of(Side::MineralOne, Texture::BothCrystals) << "Chaq.wmf"
                                   << "Charge of crystals of mineral 1 and mineral 2, no glass.";
    QTest::addRow("beyond the bands") << Charge::of(Side::MineralOne, Texture::BeyondTheBands) << "Cha.wmf"
                                      << "Charge of crystals of mineral 1 only, no glass.";
}

void ChargeTest::namesAndWords()
{
    QFETCH(Charge, charge);
    QFETCH(QString, picture);
    QFETCH(QString, words);
    QCOMPARE(QString::fromStdString(charge.pictureName()), picture);
    QCOMPARE(QString::fromStdString(charge.description("SIDE B")), words);
}

void ChargeTest::everyPictureShowsTheMiddleOfItsBand()
{
    // The 33 pictures, each named once; a picture of crystals in glass shows
    // a share that falls in its own band.
    QStringList names;
    for (const Charge &charge : Charge::catalogue()) {
        names << QString::fromStdString(charge.pictureName());
        if (charge.texture == Texture::CrystalsInGlass)
            QCOMPARE(Charge::fromCrystalFraction(charge.side, charge.pictureCrystalShare()), charge);
        else if (charge.texture != Texture::EutecticGlass)
            QCOMPARE(charge.pictureCrystalShare(), charge.texture == Texture::AllGlass ? 0.0 : 1.0);
    }
    QCOMPARE(names.size(), 33);
    names.removeDuplicates();
    QCOMPARE(names.size(), 33);
}

QTEST_APPLESS_MAIN(ChargeTest)
#include "tst_charge.moc"
