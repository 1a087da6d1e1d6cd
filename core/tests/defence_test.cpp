#include "core/attack.h"
#include "core/defence.h"
#include "core/module.h"
#include "fighttest.h"

using namespace fighttest;

namespace {

// ak[0] attacks ak[1], whose shield or weapon is in slot 1 (put there after
// the set-up, which restores every weapon's armour).
class DefenceTest : public FightTest {
protected:
    void SetUp() override {
        FightTest::SetUp();
        option(OptInternalInfo);
    }
    void attack(const char* attributes, int32_t power, int32_t destructive) {
        ak[0].Weapon[0] = Weapon(attributes, 5, power, destructive);
        setUpMatch();
        cv::ChooseWeapon(ak[0], st[0]);
        gs.AttackPower = power;
    }
    TAkWeapon& shield(const char* attributes, int32_t armour, int32_t left) {
        TAkWeapon& s = ak[1].Weapon[1] = Weapon(attributes, 0, 0, 0);
        put(s.Mount, "左腕");
        s.ArmorValue = armour;
        s.ArmorLeft = left;
        s.HitTaken = 100;
        return s;
    }
    std::string text(const char (&field)[32]) const { return testsupport::u8(sjis::readField(field)); }
};

} // namespace

TEST_F(DefenceTest, ShieldWeights) {
    ak[1].Weapon[0] = Weapon("盾", 0, 0, 0);
    ak[1].Weapon[0].HitTaken = 30;
    ak[1].Weapon[1] = Weapon("盾精", 0, 0, 0);
    ak[1].Weapon[1].HitTaken = 40;
    ak[1].Weapon[2] = Weapon("射", 0, 0, 0);
    ak[1].Weapon[2].HitTaken = 50;
    put(ak[0].Sensor.Type, "PJ");
    attack("射避", 10, 1);
    Rolls r{19};
    EXPECT_EQ(cv::CheckShield(buf, 0, 1), 0);
    EXPECT_EQ(line(0), "－－ 盾防御: 15 18 18 18 18 18"); // 30 / 2, 40 × 0.75 × 0.1
    EXPECT_EQ(line(2), "－－ 盾防御失敗→受け流し／武装被弾チェック実行");
}

TEST_F(DefenceTest, ShieldHoldsAndWears) {
    attack("射", 10, 1);
    shield("盾", 30, 30);
    int32_t pen;
    {
        Rolls r{100, 40, 60}; // armour (m = 70: 1 lost), the two orders
        pen = cv::ShieldDamage(buf, 0, 1, 2, 1);
    }
    EXPECT_EQ(pen, -20);
    EXPECT_EQ(cv::ResolveShieldHit(buf, 0, 1, 2, pen), 1);
    EXPECT_EQ(text(st[0].ShieldStatusText), "防御(30→29)");
    EXPECT_EQ(+ak[1].Weapon[1].ArmorLeft, 29);

    // Nothing destructive and no "中": the shield only reports, no roll.
    attack("射", 10, 0);
    ak[1].Weapon[1].ArmorLeft = 29;
    EXPECT_EQ(cv::ShieldDamage(buf, 0, 1, 2, 1), 0);
    EXPECT_EQ(text(st[0].ShieldStatusText), "防御(29)");

    // Without armour of its own the divisor is 2: a beam coat halves 20.
    attack("Ｂ", 20, 0);
    shield("盾", 0, 30).AntiBeam = 1;
    cv::ShieldDamage(buf, 0, 1, 2, 1);
    EXPECT_NE(lines().find("－－ ＢＣの「Ｂ」に対する効果: 1/2"), std::string::npos);

    // An element the shield is weak against: P × 5 / 4 and 2 more armour lost.
    attack("火", 20, 1);
    shield("盾Ａ", 30, 30);
    {
        Rolls r{100, 40, 60}; // armour against 25: m = 25, (100 - 25) × 4 / 100 = 3
        EXPECT_EQ(cv::ShieldDamage(buf, 0, 1, 2, 1), -5);
    }
    EXPECT_EQ(+ak[1].Weapon[1].ArmorLeft, 25);
}

TEST_F(DefenceTest, DestroyedShieldAndJettison) {
    for (int roll : {45, 46}) {
        attack("射", 40, 1);
        shield("盾", 30, 5);
        int32_t pen;
        {
            Rolls r{50, 40, 60}; // 35 over the 5 left
            pen = cv::ShieldDamage(buf, 0, 1, 2, 1);
        }
        EXPECT_EQ(pen, 35);
        {
            Rolls r{roll}; // jettison chance 100 / 4 + 20 = 45
            EXPECT_EQ(cv::ResolveShieldHit(buf, 0, 1, 2, pen), roll == 45 ? 1 : 0);
        }
        EXPECT_TRUE(sjis::readField(ak[1].Weapon[1].Name).empty());
        EXPECT_EQ(sjis::readField(gs.FinishEjectWeapon), sj("テスト武装"));
        EXPECT_TRUE(sjis::readField(gs.FinishPierceWeapon).empty());
    }
    EXPECT_EQ(text(st[0].ShieldStatusText), "(5)破壊、排除失敗");
    EXPECT_EQ(+gs.FinishPart, PartLeftArm); // the arm that held it
    EXPECT_EQ(+gs.AttackPower, 35);
}

TEST_F(DefenceTest, InstantReflection) {
    option(OptInstantBeamReflection);
    attack("Ｂ", 10, 0);
    shield("盾反", 30, 30).AmmoLeft = 0;
    int32_t pen = cv::ShieldDamage(buf, 0, 1, 2, 1);
    EXPECT_EQ(cv::ResolveShieldHit(buf, 0, 1, 2, pen), 2);
    EXPECT_EQ(+ak[1].Weapon[1].AmmoLeft, 1);
    option(OptNoReflectBrokenArms);
    st[1].WeaponBroken[1] = 1;
    EXPECT_EQ(cv::ResolveShieldHit(buf, 0, 1, 2, pen), 1);
}

TEST_F(DefenceTest, ParryAndWeaponHits) {
    option(OptParry);
    for (int roll : {30, 31}) { // parry chance 100 / 4 + 5 = 30
        attack("弾", 10, 1);
        shield("流", 10, 10).HitTaken = 50;
        int k;
        {
            Rolls r{10, roll};
            k = cv::ParryOrWeaponHit(buf, 0, 1);
        }
        EXPECT_EQ(k, 2);
        Rolls r{40}; // the narration order
        EXPECT_TRUE(cv::WeaponHit(buf, 0, 1, k));
    }
    // Parried: no damage; the failed parry left 1 point on the weapon.
    EXPECT_EQ(text(st[0].ParryText), "失敗");
    EXPECT_EQ(+ak[1].Weapon[1].ArmorLeft, 9);

    // A missile launcher hit: it breaks and its ammunition explodes, rate
    // 5 × 2 shots × 3 left; the explosion goes on to the frame.
    attack("射", 10, 2);
    TAkWeapon& launcher = ak[1].Weapon[1] = Weapon("Ｍ", 5, 5, 1, 3);
    launcher.InducedExplosion = 5;
    launcher.ShotsPerAttack = 2;
    launcher.HitTaken = 100;
    int k;
    {
        Rolls r{60};
        k = cv::ParryOrWeaponHit(buf, 0, 1);
    }
    EXPECT_EQ(k, 2);
    {
        Rolls r{30, 40};
        EXPECT_FALSE(cv::WeaponHit(buf, 0, 1, k));
    }
    EXPECT_EQ(+st[1].Exploded, 1);
    EXPECT_EQ(+gs.AttackPower, 3);
    EXPECT_EQ(+st[0].CurrentAttack.Destructive, 1);
    EXPECT_TRUE(sjis::readField(st[0].CurrentAttack.Attributes).empty());
    EXPECT_EQ(sjis::readField(gs.FinishInducedWeapon), sj("テスト武装"));
}
