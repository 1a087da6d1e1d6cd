#include "base/akparams.h"
#include "base/sjis.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <climits>

using testsupport::sj;

namespace {

TAkWeapon weapon(const char* attrsUtf8, int32_t weight, int32_t total, int32_t left) {
    TAkWeapon w{};
    sjis::writeField(w.Name, "W");
    sjis::writeField(w.Attributes, sj(attrsUtf8));
    w.Weight = weight;
    w.TotalAmmo = total;
    w.AmmoLeft = left;
    w.Price = 1;
    return w;
}

} // namespace

TEST(AkParams, ArithmeticRules) {
    EXPECT_EQ(ak::div32(INT_MIN, -1), INT_MIN);
    EXPECT_EQ(ak::div32(-7, 2), -3);
    EXPECT_EQ(ak::wrap32(int64_t(INT_MAX) + 1), INT_MIN);
    EXPECT_EQ(ak::saturate32(1e300), INT_MAX);
    EXPECT_EQ(ak::saturate32(-1e300), INT_MIN);
    EXPECT_EQ(ak::saturate32(-2.9), -2);
    EXPECT_EQ(ak::Mctl2DexCore(1000), 3);
    EXPECT_EQ(ak::Mctl2DexCore(-160), -2);
    EXPECT_EQ(ak::Mctl2DexCore(9), 0);
    EXPECT_EQ(ak::Mctl2DexCore(INT_MIN), -121); // |m| taken in 64 bits
}

TEST(AkParams, PriceIsAWrapped32BitSum) {
    // Six armour values of INT_MIN at a price factor of INT_MIN: each product
    // is 2^62, 0 in 32 bits, and six of them would pass even 64 bits; the
    // six weapons at 1 Cr leave 6.
    TArmoredKnight a{};
    a.Armor.PriceFactor = INT_MIN;
    for (int i = 0; i < 6; ++i) {
        a.Armor.Value[i] = INT_MIN;
        a.Weapon[i].Price = 1;
    }
    EXPECT_EQ(ak::SumAkPrice(a), 6);
}

TEST(AkParams, WeightOfWeaponsThatLoseWeight) {
    // The two formulas group differently and differ by one here.
    TAkWeapon mg = weapon("ＭＧ", 180, 45, 26);
    EXPECT_EQ(ak::CalcWpWeight(mg), 122);
    TArmoredKnight a{};
    a.Weapon[0] = mg;
    EXPECT_EQ(ak::CalcAkWeight(a), 123);
    EXPECT_EQ(ak::CalcWpWeight(weapon("ＭＧ", 40, 10, 5)), 25);
    EXPECT_EQ(ak::CalcWpWeight(weapon("白投", 40, 10, 0)), 10);
    EXPECT_EQ(ak::CalcWpWeight(weapon("白", 40, 10, 0)), 40);
    EXPECT_EQ(ak::CalcWpWeight(weapon("Ｍ", 40, 0, 0)), 40); // no ammunition: full weight
    TArmoredKnight b{};
    b.Weapon[1] = weapon("Ｒ", 40, 0, 0);
    EXPECT_EQ(ak::CalcAkWeight(b), 40);
}

TEST(AkParams, MeleeBonusAndMounts) {
    EXPECT_EQ(ak::CalcHakuhei(sj("白切"), 149), 2);
    EXPECT_EQ(ak::CalcHakuhei(sj("白切Ｂ"), 149), 0);
    EXPECT_EQ(ak::CalcHakuhei(sj("白切"), 49), 0);
    EXPECT_EQ(ak::CalcHakuhei(sj("白"), 149), 0);
    EXPECT_EQ(ak::MountSlotIndex(sj("右手")), 0);
    EXPECT_EQ(ak::MountSlotIndex(sj("左肩")), 5);
    EXPECT_EQ(ak::MountSlotIndex(sj("両手")), 6);
    EXPECT_EQ(ak::MountSlotIndex(sj("右手 ")), 6);
}

TEST(AkParams, UpdateWithoutEngineKeepsDexAndPropulsion) {
    TArmoredKnight a{};
    a.Team.Mctl = 1000;
    sjis::writeField(a.Frame.Name, sj("ＭＦＭ０２／ＭＣ"));
    a.Frame.Price = 1500;
    a.Weapon[0] = weapon("推推", 10, 0, 0);
    a.Weapon[1] = weapon("盾", 10, 0, 0);
    a.Weapon[1].HitTaken = 15;
    a.Weapon[2] = weapon("推", 10, 0, 0);
    a.Weapon[2].Price = 0; // not bought: no propulsion
    a.Engine.Power = 400;
    ak::UpdateAkParam(a);
    EXPECT_EQ(a.Reaction, 8);
    EXPECT_EQ(a.Movement, 2);
    EXPECT_EQ(a.HitTakenTotal, 7);
    EXPECT_EQ(a.ShieldTotal, 15);
    // Frame size Ｍ: punch power 2 + 400/200, kick one more.
    EXPECT_EQ(a.Frame.Strikes[StrikeRightPunch].Power, 4);
    EXPECT_EQ(a.Frame.Strikes[StrikeLeftKick].Power, 5);
    EXPECT_EQ(a.Frame.Strikes[StrikeLeftPunch].Hit, 44);
    EXPECT_EQ(a.Frame.Strikes[StrikeRightKick].Destructive, 2);
}

TEST(AkParams, UpdateWithEngineAgainstWeight) {
    TArmoredKnight a{};
    a.Frame.Price = 1;
    a.Engine.Price = 1;
    a.Engine.Power = 900;
    for (int i = 0; i < 6; ++i) {
        a.Frame.MaxDurability[i] = 50;
        a.Frame.Durability[i] = 50;
    }
    a.TotalWeight = 300;
    a.Mover.MoveBonus = 2;
    ak::UpdateAkParam(a);
    // 0 - 30000 / (300*900/300) + 100 = 67; movement 67/20 + 2 + 1 = 6.
    EXPECT_EQ(a.Reaction, 67);
    EXPECT_EQ(a.Movement, 6);
    a.Frame.Durability[PartLeftLeg] = 0;
    ak::UpdateAkParam(a);
    EXPECT_EQ(a.Movement, 0); // a mover without a listed name gives nothing
    // No usable divisor: nothing divides, reaction stays the DEX.
    for (int i = 0; i < 6; ++i) a.Frame.Durability[i] = 0;
    ak::UpdateAkParam(a);
    EXPECT_EQ(a.Reaction, 0);
}

TEST(AkParams, FixedWidthFormats) {
    char out[4] = {'#', '#', '#', '#'};
    ak::FormatBase36Digits(out, 123, 2);
    EXPECT_EQ(std::string(out, 3), "C3#");
    ak::FormatBase36Digits(out, 5, 3);
    EXPECT_EQ(std::string(out, 3), "  5");
    ak::FormatBase36Digits(out, 0, 3);
    EXPECT_EQ(std::string(out, 3), "  0");
    ak::FormatBase36Digits(out, 999, 2);
    EXPECT_EQ(std::string(out, 2), "Z9");
    ak::FormatBase36Digits(out, -4, 2);
    EXPECT_EQ(std::string(out, 2), " 0");
    ak::FormatFixedWidthInt(out, 42, 4);
    EXPECT_EQ(std::string(out, 4), "  42");
    ak::FormatFixedWidthInt(out, 123456, 3);
    EXPECT_EQ(std::string(out, 3), "123");
}
