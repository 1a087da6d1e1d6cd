#include "core/attack.h"
#include "core/damage.h"
#include "core/module.h"
#include "fighttest.h"

#include <climits>

using namespace fighttest;

namespace {

// ak[0] has hit ak[1] with power `power` of a weapon with `attributes`.
class DamageTest : public FightTest {
protected:
    void hit(const char* attributes, int32_t power, int32_t destructive) {
        ak[0].Weapon[0] = Weapon(attributes, 5, power, destructive);
        setUpMatch();
        cv::ChooseWeapon(ak[0], st[0]);
        gs.AttackPower = power;
    }
    std::string text(const char (&field)[32]) const { return testsupport::u8(sjis::readField(field)); }
};

} // namespace

TEST_F(DamageTest, DamageRoll) {
    int32_t durability = 50;
    {
        Rolls r{9}; // factor 0.29: 100 × 0.29 truncates to 28
        EXPECT_EQ(cv::DamageRoll(buf, 20, durability, 20, 2), 28);
    }
    EXPECT_EQ(durability, 22);
    {
        Rolls r{50}; // a factor of 0 or less counts 0.01
        EXPECT_EQ(cv::DamageRoll(buf, 40, durability, 20, 1), 1);
    }
    {
        Rolls r{50}; // piercing: (10 × 5 + 50) × (10 - 5) × 10 × 2 / 100
        EXPECT_EQ(cv::DamageRoll(buf, 5, durability, 10, 2), 100);
    }
    EXPECT_EQ(durability, 0);
    EXPECT_EQ(cv::DamageRoll(buf, 5, durability, 0, 2), 0); // no power: no roll
    option(OptInternalInfo);
    {
        Rolls r{100, 100}; // values from files never overflow, traced or not
        durability = 10;
        EXPECT_EQ(cv::DamageRoll(buf, INT32_MIN, durability, INT32_MAX, INT32_MAX), INT32_MIN);
        EXPECT_EQ(durability, INT32_MAX);
        EXPECT_EQ(cv::DamageRoll(buf, INT32_MAX, durability, INT32_MIN + 1, 1), -107374182);
    }
}

TEST_F(DamageTest, ArmourCheck) {
    int32_t v = 30, weight = 100;
    {
        Rolls r{100}; // 14 or more above the power: m = 70
        EXPECT_EQ(cv::ArmorCheck(buf, v, 10, 1, weight, 2), 1);
    }
    EXPECT_EQ(v, 29);
    EXPECT_EQ(weight, 98);
    {
        Rolls r{50};
        EXPECT_EQ(cv::ArmorCheck(buf, v, 10, 1, weight, 2), 0);
    }
    v = 5;
    {
        Rolls r{50}; // pierced: (100 × 25 + 50) / 100 = 25, but only 5 are there
        EXPECT_EQ(cv::ArmorCheck(buf, v, 30, 1, weight, 2), 5);
    }
    EXPECT_EQ(v, 0);
    EXPECT_EQ(weight, 88);
    EXPECT_EQ(cv::ArmorCheck(buf, v, 30, 0, weight, 2), 0); // nothing destructive: no roll
}

TEST_F(DamageTest, LocationRolls) {
    int32_t none[6] = {};
    {
        Rolls r{1}; // drawn even without weights
        EXPECT_EQ(cv::RollLocation(buf, none, "x"), 0);
    }
    int32_t w[6];
    cv::HitLocationWeights(w, ak[0]);
    EXPECT_EQ(std::vector<int32_t>(w, w + 6), (std::vector<int32_t>{45, 15, 15, 10, 10, 5}));
    for (auto [roll, j] : {std::pair{45, 1}, {46, 2}, {96, 6}, {100, 6}}) {
        Rolls r{roll};
        EXPECT_EQ(cv::RollLocation(buf, w, "x"), j);
    }
    gs.MatchType = 5;
    put(ak[0].Computer.MissionDisk, "ボディレッグ");
    ak[0].Computer.MdAttack = 10;
    cv::HitLocationWeights(w, ak[0]);
    EXPECT_EQ(std::vector<int32_t>(w, w + 6), (std::vector<int32_t>{10, 0, 0, 10, 10, 50}));

    // Above the total no part is hit: the part of the last hit stays; an
    // index that is no part becomes the body.
    setUpMatch();
    gs.FinishPart = 2;
    {
        Rolls r{90};
        cv::ChooseBodyPart(buf, 0);
    }
    EXPECT_EQ(cv::FinishPart(), 2);
    gs.FinishPart = -7;
    EXPECT_EQ(cv::FinishPart(), 5);
    EXPECT_EQ(+gs.FinishPart, 5);
}

TEST_F(DamageTest, BodyHitOnALostPartGoesToTheBody) {
    ak[1].Frame.Durability[PartLeftArm] = 0;
    ak[1].Armor.Value[PartBody] = 20;
    hit("射", 20, 2);
    gs.FinishPart = PartLeftArm;
    {
        Rolls r{9, 100, 30}; // damage 28 against the armour before the hit, armour -4, order
        cv::BodyDamage(buf, 0, 1);
    }
    EXPECT_EQ(+gs.FinishPart, PartBody);
    EXPECT_EQ(+ak[1].Frame.Durability[PartBody], 22);
    EXPECT_EQ(+ak[1].Armor.Value[PartBody], 16);
    EXPECT_EQ(+gs.LastBodyDamage, 28);
    EXPECT_EQ(text(st[0].StatusText), "胴体");
    EXPECT_EQ(text(st[0].HitStatusText), "２８");
    EXPECT_EQ(+st[1].MovementDown, 1.0);
    EXPECT_EQ(+st[1].AttackDown, 14.0);
    EXPECT_EQ(+st[1].DurabilityTotal, 250); // no status line while a part is at 0
}

TEST_F(DamageTest, DestroyedArmExplodesAndThePilotEscapes) {
    ak[1].Frame.Durability[PartLeftArm] = 10;
    ak[1].Armor.Value[PartLeftArm] = 0;
    ak[1].Weapon[3] = Weapon("射", 5, 5, 1);
    put(ak[1].Weapon[3].Mount, "両手");
    ak[1].Weapon[4] = Weapon("盾", 0, 0, 0);
    put(ak[1].Weapon[4].Mount, "左腕");
    ak[1].Frame.Strikes[StrikeLeftPunch] = {5, 5, 5};
    hit("射", 20, 2);
    gs.FinishPart = PartLeftArm;
    {
        // damage 200, armour, the two-handed weapon, explosion (rate 19),
        // escape (chance 20), order
        Rolls r{50, 50, 40, 19, 15, 30};
        cv::BodyDamage(buf, 0, 1);
    }
    EXPECT_EQ(+ak[1].Frame.Durability[PartLeftArm], 0);
    EXPECT_EQ(+gs.LastExplosionRate, 19);
    EXPECT_EQ(+st[1].AkDestroyed, 1);
    EXPECT_EQ(+st[1].Escaped, 1);
    EXPECT_EQ(+st[1].PilotKilled, 0);
    EXPECT_EQ(text(st[0].HitStatusText), "破壊、誘爆");
    EXPECT_EQ(sjis::readField(ak[1].Weapon[3].Mount), sj("右手"));
    EXPECT_TRUE(sjis::readField(ak[1].Weapon[4].Name).empty());
    EXPECT_EQ(+ak[1].Frame.Strikes[StrikeLeftPunch].Power, 0);
}

TEST_F(DamageTest, SelfDestructDeviceHurtsACloseAttacker) {
    gs.DistanceBand = 2;
    ak[1].Frame.Durability[PartBody] = 10;
    ak[1].Armor.Value[PartBody] = 0;
    put(ak[1].Escape.Name, "自爆装置");
    put(ak[0].Sensor.Name, "センサー");
    hit("射", 20, 2);
    gs.FinishPart = PartBody;
    // Effective power 260 × 1000 / 300 = 866: limit 2 × 866 / 15 = 115.
    {
        // damage, armour, explosion, then head, right arm, left arm, right
        // leg, left leg, body; no order draw: the device has told its end
        Rolls r{50, 50, 90, 50, 1, 1, 1, 1, 50};
        cv::BodyDamage(buf, 0, 1);
    }
    EXPECT_EQ(+ak[0].Frame.Durability[PartHead], 0); // 50 - 58, settled
    EXPECT_TRUE(sjis::readField(ak[0].Sensor.Name).empty());
    EXPECT_EQ(+ak[0].Frame.Durability[PartRightArm], 49);
    EXPECT_EQ(+ak[0].Frame.Durability[PartBody], 1);
    EXPECT_EQ(+st[1].SelfDestructed, 1);
    EXPECT_EQ(+st[1].PilotKilled, 1);
    EXPECT_EQ(+gs.SelfDestruct, 1);
    EXPECT_EQ(text(st[0].HitStatusText), "破壊、自爆");
}

TEST_F(DamageTest, BindingHitAndHeadEffect) {
    hit("ＢＢ縛", 10, 0);
    gs.FinishPart = PartBody;
    {
        Rolls r{30}; // nothing destructive: only the narration order
        cv::BodyDamage(buf, 0, 1);
    }
    EXPECT_EQ(+st[1].BindDistance, 3); // byte 4 / 2 + 1

    put(ak[1].Sensor.Name, "センサー");
    put(ak[1].Sensor.Type, "LC");
    {
        Rolls r{39}; // 39 < 80 / 2: the sensor is lost
        EXPECT_TRUE(cv::HeadHitEffect(buf, 1, sj("塗"), 80));
    }
    EXPECT_EQ(+st[1].SensorDown, 10000.0);
    EXPECT_TRUE(sjis::readField(ak[1].Sensor.Type).empty());
}
