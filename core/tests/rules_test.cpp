#include "base/akparams.h"
#include "core/rules.h"
#include "enginetest.h"

#include <vector>

using namespace enginetest;
using testsupport::u8;

namespace {

using Ints = std::vector<int64_t>;

class RulesTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ak = SampleAk1();
        cv::InitCombatant(s, ak, 0);
    }
    // DurabilityTotal, EffectivePower, Reaction and Movement of the round.
    Ints derived() {
        cv::RoundDerivedValues(ak, s);
        return {s.DurabilityTotal, s.EffectivePower, ak.Reaction, s.Movement};
    }
    // Reaction and movement of ak::UpdateAkParam for the same record.
    Ints updateAkParam() const {
        TArmoredKnight copy = ak;
        ak::UpdateAkParam(copy);
        return {copy.Reaction, copy.Movement};
    }

    TArmoredKnight ak;
    cv::CombatantState s{};
};

} // namespace

TEST_F(RulesTest, DerivedValues) {
    put(ak.Weapon[0].Attributes, "射Ｍ"); // loses weight as it fires, but no TotalAmmo: full weight
    // Weight 900 of the parts + 60 armour x 2 + 340 of the weapons; reaction
    // dex 3 + 5 (／ＭＣ) + 100 - 136000 / 2000; movement 2 推 + 40 / 20 +
    // move bonus 2 + 1. The same as the AK data library's rule.
    EXPECT_EQ(derived(), (Ints{310, 2000, 40, 7}));
    EXPECT_EQ(+ak.TotalWeight, 1360);
    EXPECT_EQ(+s.CurrentMachineValue, 3580);
    EXPECT_EQ(updateAkParam(), (Ints{40, 7}));
    s.ReactionBoost = 20;
    EXPECT_EQ(derived()[3], 8);
    s.ReactionBoost = -500;
    EXPECT_EQ(derived()[3], 0); // never negative
    s.ReactionBoost = 0;

    ak.Frame.Durability[PartLeftArm] = 0; // power 270 x 2000 / 310, reaction 8 + 100 - 78
    EXPECT_EQ(derived(), (Ints{270, 1741, 30, 6}));
    // Without the left leg only the propulsion bonus (by name) and 推 move it.
    ak.Frame.Durability[PartLeftArm] = 40;
    ak.Frame.Durability[PartLeftLeg] = 0;
    EXPECT_EQ(derived(), (Ints{260, 1677, 27, 4}));
    EXPECT_EQ(updateAkParam(), (Ints{27, 4}));
    put(ak.Mover.Name, "謎の推進器");
    EXPECT_EQ(derived()[3], 2);
}

TEST_F(RulesTest, DerivedValuesWithoutADivisor) {
    for (int i = 0; i < 6; ++i) ak.Frame.MaxDurability[i] = 0;
    cv::InitCombatant(s, ak, 0);
    EXPECT_EQ(derived(), (Ints{310, 0, 8, 2}));
    EXPECT_EQ(updateAkParam(), (Ints{8, 2}));
    ak = SampleAk1();
    ak.Engine.Power = 0;
    cv::InitCombatant(s, ak, 0);
    EXPECT_EQ(derived(), (Ints{310, 0, 8, 2}));
    EXPECT_EQ(updateAkParam(), (Ints{8, 2}));

    // Products of file values are formed in 64 bits.
    ak.Engine.Power = 2000000000;
    cv::InitCombatant(s, ak, 0);
    EXPECT_EQ(derived()[1], 2000000000);
    ak.Frame.Weight = 2000000000; // weight x 100 / power
    EXPECT_EQ(derived()[2], 8 + 100 - 100);
    EXPECT_EQ(+ak.TotalWeight, 2000000860);
}

TEST_F(RulesTest, MeleeRankAndReach) {
    EXPECT_EQ(cv::MeleeRank(sj("白切"), 100, 1), 2);
    EXPECT_EQ(cv::MeleeRank(sj("白切"), 100, 0), 0); // no power, no melee

    EXPECT_TRUE(cv::CanAttackAt(ak, s, 3));  // rifle and sword hit at 3
    EXPECT_FALSE(cv::CanAttackAt(ak, s, 2)); // nothing at 2; limbs only reach 1
    ak.Weapon[1].AmmoLeft = 0;
    EXPECT_TRUE(cv::CanAttackAt(ak, s, 1)); // arms and legs
    for (int part : {1, 2, 3, 4}) ak.Frame.Durability[part] = 0;
    EXPECT_FALSE(cv::CanAttackAt(ak, s, 1));
    EXPECT_FALSE(cv::CanAttackAt(ak, s, 10));
    EXPECT_TRUE(cv::AnyPartAtZero(ak));
}

TEST_F(RulesTest, RemoveWeapon) {
    ak.TotalWeight = 1360;
    for (int m = 0; m < 6; ++m) ak.MountUsed[m] = 1;
    put(ak.Comments[0].Text, "撃つ");
    cv::RemoveWeapon(ak, 0);
    EXPECT_EQ(+ak.TotalWeight, 1260);
    EXPECT_EQ(+ak.MountUsed[MountRightHand], 0);
    EXPECT_EQ(+ak.MountUsed[MountLeftHand], 1);
    EXPECT_EQ(+ak.Weapon[0].AmmoLeft, 0);
    EXPECT_EQ(+ak.Weapon[0].ComputerDown, 1);
    EXPECT_EQ(+ak.Comments[0].Text[0], '\0');
    cv::RemoveWeapon(ak, 1); // two-handed: both hands
    EXPECT_EQ(+ak.MountUsed[MountLeftHand], 0);
    EXPECT_EQ(+ak.MountUsed[MountRightArm], 1);
}

TEST_F(RulesTest, LosingAnArm) {
    TArmoredKnight b = SampleAk2();
    for (int m = 0; m < 6; ++m) b.MountUsed[m] = 1;
    put(b.Weapon[5].Mount, "両手"); // no name: not present, no roll
    cv::DiceJournal journal;
    {
        Rolls r{50, 51};
        cv::LoseArmWeapons(b, s, cv::Arm::Right);
    }
    EXPECT_EQ(journal.Draws().size(), 2u);
    // Slot 1 moved to the left hand; without a grip bonus it loses its ammunition.
    EXPECT_EQ(u8(sjis::readField(b.Weapon[1].Mount)), "左手");
    EXPECT_EQ(+b.Weapon[1].AmmoLeft, 0);
    EXPECT_EQ(+b.MountUsed[MountRightHand], 0);
    EXPECT_EQ(+b.Weapon[3].Name[0], '\0'); // roll 51: dropped
    EXPECT_EQ(u8(sjis::readField(b.Weapon[4].Name)), "シールド");

    b = SampleAk2();
    for (int m = 0; m < 6; ++m) b.MountUsed[m] = 1;
    {
        Rolls r{90, 10};
        cv::LoseArmWeapons(b, s, cv::Arm::Left);
    }
    EXPECT_EQ(+b.Weapon[4].Name[0], '\0'); // mounted on the left arm
    EXPECT_EQ(+b.Weapon[1].Name[0], '\0');
    EXPECT_EQ(u8(sjis::readField(b.Weapon[3].Mount)), "右手");
    EXPECT_EQ(+b.Weapon[3].Reserved220, 0); // the grip bonus goes, the ammunition stays
    EXPECT_EQ(+b.Weapon[3].AmmoLeft, 4);
    EXPECT_EQ(+b.MountUsed[MountLeftHand], 0);
}

TEST_F(RulesTest, SettlePartsAfterSelfDestructDamage) {
    int32_t d[6] = {-1, 5, 0, -2, 3, -3};
    for (int i = 0; i < 6; ++i) ak.Frame.Durability[i] = d[i];
    ak.Frame.Strikes[StrikeRightPunch].Hit = 60;
    ak.Frame.Strikes[StrikeLeftPunch].Hit = 60;
    {
        Rolls r{70}; // the two-handed sword on the lost right arm is dropped
        cv::SettleParts(ak, s);
    }
    int32_t want[6] = {0, 5, 0, 0, 3, 1};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(+ak.Frame.Durability[i], want[i]) << i;
    EXPECT_EQ(+ak.Sensor.Type[0], '\0');
    EXPECT_EQ(+ak.Sensor.Attack, 0);
    EXPECT_EQ(+ak.Weapon[0].Name[0], '\0');
    EXPECT_EQ(+ak.Weapon[1].Name[0], '\0');
    EXPECT_NE(+ak.Weapon[2].Name[0], '\0');
    EXPECT_EQ(+ak.Frame.Strikes[StrikeRightPunch].Hit, 0);
    EXPECT_EQ(+ak.Frame.Strikes[StrikeLeftPunch].Hit, 60);
}

TEST_F(RulesTest, MissionDiskLevel) {
    auto level = [&](const char* disk) {
        put(ak.Computer.MissionDisk, disk);
        return cv::MdLevelDigit(ak);
    };
    EXPECT_EQ(level("バーサーカーＬ３"), 3);
    EXPECT_EQ(level("Ｌ９改"), 9);
    EXPECT_EQ(level("ＬＶ"), 0);
    EXPECT_EQ(level("Ｌ０"), 0);
    EXPECT_EQ(level("L3"), 0);
    EXPECT_EQ(level("ボディＬ"), 0);
}

TEST_F(RulesTest, PilotEscape) {
    ak.Escape.EscapeBonus = 15;
    gs.EscapeRate = 30;
    s.PilotKilled = 1;
    std::string trace;
    {
        Rolls r{59}; // chance 15 + 20 + 4 + 0 + 20
        EXPECT_TRUE(cv::PilotEscape(ak, s.PilotKilled, 20, 5, 1, "", trace));
    }
    EXPECT_EQ(+s.PilotKilled, 0);
    EXPECT_EQ(+ak.Pilot.ExpEscape, 5);
    EXPECT_EQ(u8(trace), "－－ 脱出率:59 乱数:59 脱出:成功 (脱出装置:15 パイロット修正:4 ファンブル:5 "
                         "ボーナス:40 攻撃側MD:0) ");
    {
        Rolls r{61, 30}; // failed, then saved by the transfer rate
        EXPECT_FALSE(cv::PilotEscape(ak, s.PilotKilled, 20, 5, 1, "", trace));
    }
    EXPECT_EQ(+s.PilotKilled, 0);
    EXPECT_EQ(+ak.Pilot.ExpEscape, 5);
    {
        Rolls r{96, 31}; // a fumble whatever the chance; the pilot dies
        EXPECT_FALSE(cv::PilotEscape(ak, s.PilotKilled, 20, 5, 1, sj("スーパー良心回路"), trace));
    }
    EXPECT_EQ(+s.PilotKilled, 1);
    EXPECT_NE(u8(trace).find("脱出率:110 乱数:96 脱出:失敗"), std::string::npos);
    option(OptSimulationMode);
    {
        Rolls r{1};
        EXPECT_TRUE(cv::PilotEscape(ak, s.PilotKilled, 0, 10, 2, sj("良心回路"), trace));
    }
    EXPECT_EQ(+ak.Pilot.ExpEscape, 5);
    EXPECT_NE(u8(trace).find("攻撃側MD:10"), std::string::npos);
}

TEST_F(RulesTest, CompressCount) {
    EXPECT_EQ(cv::CompressCount(5, 12), std::make_pair(5, 7));
    EXPECT_EQ(cv::CompressCount(25, 40), std::make_pair(12, 11));
    EXPECT_EQ(cv::CompressCount(10, 21), std::make_pair(10, 11));
}
