#include "core/attack.h"
#include "core/module.h"
#include "fighttest.h"

#include <climits>

using namespace fighttest;

namespace {

// ak[0] attacks ak[1]. Both plain AKs have reaction 100 and no computer, so
// the attack value is 35 + 10 × hit rate and the evasion 35: the chance is
// the hit rate × 10.
class AttackTest : public FightTest {
protected:
    bool attack(int hitRate, int32_t x = 0) {
        ak[0].Weapon[0] = Weapon("射", hitRate, 10, 1);
        setUpMatch();
        cv::ChooseWeapon(ak[0], st[0]);
        return cv::RollHit(buf, 0, 1, x, 0);
    }
    std::string weaponText() const { return testsupport::u8(sjis::readField(st[0].AttackWeaponText)); }
};

} // namespace

TEST_F(AttackTest, ChoosesTheFirstUsableSlotAndSpendsItsAmmunition) {
    gs.DistanceBand = 3;
    ak[0].Weapon[0] = Weapon("射", 0, 10, 1); // no hit rate: passed over
    ak[0].Weapon[1] = Weapon("射", 5, 10, 1);
    ak[0].Weapon[1].CatalogNo = 7;
    put(ak[0].Comments[1].Text, "撃つ");
    setUpMatch();
    EXPECT_EQ(cv::ChooseWeapon(ak[0], st[0]), 0);
    EXPECT_EQ(+st[0].ChosenSlot, 1);
    EXPECT_EQ(+st[0].CurrentAttack.HitRate[2], 50);
    EXPECT_EQ(+st[0].CurrentAttack.CatalogNo, 6);
    EXPECT_EQ(+st[0].CurrentAttack.AmmoLeft, 10); // the copy keeps the count before
    EXPECT_EQ(+ak[0].Weapon[1].AmmoLeft, 9);
    EXPECT_EQ(sjis::readField(st[0].CurrentComment.Text), sj("撃つ"));

    // A thrown melee weapon at distance 1 or 2 is not used up; reflected
    // shots use the stored hit rate.
    gs.DistanceBand = 2;
    ak[0].Weapon[1] = Weapon("白投", 7, 10, 1);
    st[0].WeaponChosen = 0;
    cv::ChooseWeapon(ak[0], st[0]);
    EXPECT_EQ(+ak[0].Weapon[1].AmmoLeft, 10);
    cv::ChooseReflectedWeapon(ak[0], st[0], 1);
    EXPECT_EQ(+st[0].CurrentAttack.HitRate[1], 7);
}

TEST_F(AttackTest, UnarmedStrikeByTheLimbs) {
    gs.DistanceBand = 2;
    setUpMatch();
    cv::ChooseWeapon(ak[0], st[0]);
    EXPECT_EQ(+st[0].CannotAttack, 1);

    gs.DistanceBand = 1;
    ak[0].Armor.Value[PartRightArm] = 7;
    EXPECT_EQ(cv::ChooseWeapon(ak[0], st[0]), 2); // equal limbs: the right punch
    EXPECT_EQ(+st[0].CannotAttack, 0);
    EXPECT_EQ(sjis::readField(st[0].CurrentAttack.Name), sj("右パンチ"));
    EXPECT_TRUE(cv::IsUnarmedStrike(st[0].CurrentAttack));
    EXPECT_EQ(cv::StrikeCode(st[0].CurrentAttack), 2);
    EXPECT_EQ(+st[0].CurrentAttack.ArmorValue, 7);
    EXPECT_EQ(+st[0].ChosenSlot, 12);
    st[0].WeaponChosen = 0;
    ak[0].Frame.Durability[PartRightLeg] = 60;
    EXPECT_EQ(cv::ChooseWeapon(ak[0], st[0]), 4);
    st[0].WeaponChosen = 0;
    ak[0].Frame.Durability[PartLeftLeg] = 70;
    EXPECT_EQ(cv::ChooseWeapon(ak[0], st[0]), 3);
    EXPECT_EQ(sjis::readField(st[0].CurrentAttack.Name), sj("左キック"));
}

TEST_F(AttackTest, FailureShiftFromTheDigitCount) {
    const std::pair<int32_t, int> cases[] = {{999, 0},       {1000, 1},   {9999, 1},    {10000, 2},
                                             {INT32_MAX, 2}, {-99, 0},    {-100, -1},   {-999, -1},
                                             {-1000, -2},    {-9999, -2}, {-10000, -3}, {INT32_MIN, -3}};
    for (auto [mctl, f] : cases) EXPECT_EQ(cv::FailureShift(mctl), f) << mctl;
}

TEST_F(AttackTest, HitRollOutcomes) {
    option(OptInternalInfo);
    {
        Rolls r{30};
        EXPECT_TRUE(attack(3)); // chance 30
    }
    EXPECT_EQ(line(buf.Count - 1), "－－ 命中率(基本値+複数弾修正):30 (30+0) 乱数:30 故障率:96以上");
    {
        Rolls r{31, 60}; // a miss draws the narration order too
        EXPECT_FALSE(attack(3));
    }
    {
        Rolls r{5};
        EXPECT_TRUE(attack(3, 200)); // 1 to 5 always hit
    }
    {
        Rolls r{96, 60}; // f = 0: 96 and above malfunction a weapon
        EXPECT_FALSE(attack(100));
    }
    EXPECT_EQ(+ak[0].Weapon[0].AmmoLeft, 0);
    EXPECT_EQ(+st[0].WeaponBroken[0], 1);
    EXPECT_EQ(weaponText(), "テスト武装（故障）");
    {
        Rolls r{97, 60}; // a melee weapon with 50 or more left only misses
        ak[0].Weapon[0] = Weapon("白切", 100, 10, 1, 60);
        setUpMatch();
        cv::ChooseWeapon(ak[0], st[0]);
        EXPECT_FALSE(cv::RollHit(buf, 0, 1, 0, 0));
        EXPECT_EQ(weaponText(), "テスト武装（残５９）");
    }
    ak[0].Team.Mctl = 10000; // f = 2: 96 and 97 plain misses, 98 up malfunctions
    {
        Rolls r{97, 60};
        attack(100);
        EXPECT_EQ(+st[0].WeaponBroken[0], 0);
    }
    {
        Rolls r{98, 60};
        attack(100);
        EXPECT_EQ(+st[0].WeaponBroken[0], 1);
    }
    ak[0].Team.Mctl = -10000; // f = -3: 93 up malfunctions
    {
        Rolls r{93, 60};
        attack(100);
        EXPECT_EQ(+st[0].WeaponBroken[0], 1);
    }
}

TEST_F(AttackTest, UnarmedStrikesNeverMalfunction) {
    setUpMatch();
    ak[0].Frame.Strikes[StrikeRightPunch].Hit = 100;
    cv::ChooseWeapon(ak[0], st[0]);
    Rolls r{100, 60};
    EXPECT_FALSE(cv::RollHit(buf, 0, 1, 0, 0));
    EXPECT_EQ(weaponText(), "右パンチ");
}

TEST_F(AttackTest, BeamShieldingBindingAndReturningWeapons) {
    gs.DistanceBand = 5;
    ak[0].Weapon[0] = Weapon("Ｂ", 3, 10, 1);
    setUpMatch();
    st[1].AntiBeamField = 1;
    {
        Rolls r{10, 55, 60}; // 11 × 5 = 55 cancels the hit
        cv::ChooseWeapon(ak[0], st[0]);
        EXPECT_FALSE(cv::RollHit(buf, 0, 1, 0, 0));
    }
    {
        Rolls r{10, 56};
        EXPECT_TRUE(cv::RollHit(buf, 0, 1, 0, 0));
    }
    {
        Rolls r{90}; // a bound defender cannot avoid "縛" with "電"
        st[1].BindDistance = 2;
        ak[0].Weapon[0] = Weapon("縛電", 3, 10, 1);
        cv::ChooseWeapon(ak[0], st[0]);
        EXPECT_TRUE(cv::RollHit(buf, 0, 1, 0, 0));
    }
    {
        Rolls r{90, 60};
        ak[0].Weapon[0] = Weapon("射返", 3, 10, 1, 10);
        cv::ChooseWeapon(ak[0], st[0]);
        EXPECT_EQ(+ak[0].Weapon[0].AmmoLeft, 9);
        EXPECT_FALSE(cv::RollHit(buf, 0, 1, 0, 0));
        EXPECT_EQ(+ak[0].Weapon[0].AmmoLeft, 10);
    }
}

TEST_F(AttackTest, NumberOfHitsAndInterception) {
    ak[0].Weapon[0] = Weapon("射", 3, 10, 1);
    ak[0].Weapon[0].ShotsPerAttack = 4;
    setUpMatch();
    auto hits = [&](int multiRoll) {
        st[0].WeaponChosen = 0;
        cv::ChooseWeapon(ak[0], st[0]);
        Rolls r{multiRoll, 5};
        EXPECT_TRUE(cv::RollHit(buf, 0, 1, 0, 0));
        return cv::CountHits(buf, 0, 1);
    };
    EXPECT_EQ(hits(100), 1);
    EXPECT_EQ(+gs.AttackPower, 10);
    EXPECT_EQ(hits(1), 4);
    EXPECT_EQ(+gs.AttackPower, 16); // + 2 per extra hit

    ak[0].Weapon[0] = Weapon("Ｍ", 3, 10, 1);
    ak[1].Weapon[2] = Weapon("迎", 0, 0, 0, 2);
    ak[1].Weapon[2].ShotsPerAttack = 3;
    st[0].WeaponChosen = 0;
    cv::ChooseWeapon(ak[0], st[0]);
    Rolls r{5, 50, 60}; // (3 × 50 + 50) / 100 = 2 shots down the one missile
    EXPECT_TRUE(cv::RollHit(buf, 0, 1, 0, 0));
    EXPECT_EQ(cv::CountHits(buf, 0, 1), 0);
    EXPECT_EQ(+ak[1].Weapon[2].AmmoLeft, 1);
}

TEST_F(AttackTest, RecoilKeepsTheLimbAtOne) {
    setUpMatch();
    cv::ChooseWeapon(ak[0], st[0]); // right punch, own armour 10
    {
        Rolls r{50}; // 50 × (30 - 10) × 10 / 100 = 100 against 50 left
        cv::StrikeRecoil(buf, 0, 30);
    }
    EXPECT_EQ(+ak[0].Frame.Durability[PartRightArm], 1);
    {
        Rolls r{50}; // softer armour: nothing
        cv::StrikeRecoil(buf, 0, 5);
    }
    EXPECT_EQ(+ak[0].Frame.Durability[PartRightArm], 1);
    ak[0].Frame.Durability[PartRightArm] = 0;
    {
        Rolls r{50}; // a limb already gone stays gone
        cv::StrikeRecoil(buf, 0, 30);
    }
    EXPECT_EQ(+ak[0].Frame.Durability[PartRightArm], 0);
    ak[0].Weapon[0] = Weapon("手打", 3, 10, 1); // a weapon: its Mount is a text
    st[0].WeaponPresent[0] = 1;
    cv::ChooseWeapon(ak[0], st[0]);
    {
        Rolls r{50}; // the roll is drawn, no limb is hurt
        cv::StrikeRecoil(buf, 0, 30);
    }
    for (int p : {PartHead, PartLeftArm, PartLeftLeg, PartRightLeg, PartBody})
        EXPECT_EQ(+ak[0].Frame.Durability[p], 50) << p;
}

TEST_F(AttackTest, SensorRulesAndBerserk) {
    gs.DistanceBand = 3;
    ak[0].Weapon[0] = Weapon("Ｍ精", 3, 10, 1);
    ak[0].Weapon[0].ShotsPerAttack = 3;
    put(ak[0].Sensor.Type, "WC");
    put(ak[1].Sensor.Type, "MD");
    setUpMatch();
    cv::ChooseWeapon(ak[0], st[0]);
    st[1].SensorDown = 2.0;
    int32_t x = 0, y = 0;
    cv::ApplySensorRules(buf, 0, 1, x, y);
    EXPECT_EQ(+st[0].SensorAttack, 14);
    EXPECT_EQ(y, -7); // trunc(3 × 5 / 2)
    put(ak[1].Sensor.Type, "EM");
    put(ak[0].Sensor.Type, "PF");
    x = y = 0;
    cv::ApplySensorRules(buf, 0, 1, x, y);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(+st[0].Precision, 50);

    int32_t m = 0;
    ak[0].Computer.MdAttack = 7;
    EXPECT_FALSE(cv::BerserkModifier(ak[0], m));
    EXPECT_EQ(m, 7);
    put(ak[0].Computer.MissionDisk, "バーサーカーＭＤ");
    option(OptBerserk);
    gs.BerserkAttack = -3;
    EXPECT_FALSE(cv::BerserkModifier(ak[0], m)); // nothing damaged yet
    EXPECT_EQ(m, 0);
    ak[0].Frame.Durability[PartHead] = 10;
    EXPECT_TRUE(cv::BerserkModifier(ak[0], m));
    EXPECT_EQ(m, 4);
}

TEST_F(AttackTest, ForbiddenWeaponIsConfiscated) {
    ak[0].Weapon[0] = Weapon("射Ｆ", 3, 10, 1);
    setUpMatch();
    cv::ChooseWeapon(ak[0], st[0]);
    EXPECT_FALSE(cv::CheckForbiddenWeapon(buf, 0, 1));
    put(ak[1].Weapon[3].Attributes, "禁");
    EXPECT_TRUE(cv::CheckForbiddenWeapon(buf, 0, 1));
    EXPECT_TRUE(sjis::readField(ak[0].Weapon[0].Name).empty());
}
