// Repair, compensation, scrapping and re-buy after a match.
#include "enginetest.h"

#include "base/akparams.h"
#include "core/module.h"
#include "core/repair.h"
#include "core/rules.h"
#include "platform/notify.h"

namespace {

using namespace enginetest;

class RepairTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ak[0] = SampleAk1();
        ak[1] = SampleAk2();
        for (int i = 0; i < 2; ++i) {
            cv::InitCombatant(st[i], ak[i], i);
            cv::Module().Ak[i] = &ak[i];
            cv::Module().State[i] = &st[i];
            for (int k = 0; k < WeaponSlotCount; ++k) {
                cv::Module().Snapshot[i].Weapon[k] = ak[i].Weapon[k];
                cv::Module().Snapshot[i].Comment[k] = ak[i].Comments[k];
            }
        }
        option(OptAutoProcess);
        gs.Result = 0;
        plat::notify::setHeadlessEcho(false);
        plat::notify::clearRecorded();
    }
    void TearDown() override {
        for (int i = 0; i < 2; ++i) cv::Module().Ak[i] = nullptr, cv::Module().State[i] = nullptr;
        plat::notify::setHeadlessAnswer(0);
        plat::notify::clearRecorded();
        EngineTest::TearDown();
    }
    TArmoredKnight ak[2];
    cv::CombatantState st[2]{};
};

TEST_F(RepairTest, RepairPaysTheDamageAndTheOrganiserCompensates) {
    option(OptResupplyWinner);
    ak[0].Frame.Durability[5] = 38; // 62 of 310 lost
    ak[0].Weapon[0].AmmoLeft = 2;
    ak[0].Cash = 2000;
    st[0].MachineValue = ak::SumAkPrice(ak[0]) + 300; // worth 300 more at the start
    gs.CompensationRate = 50;
    cv::AskRepair(ak[0], st[0]);
    EXPECT_EQ(+st[0].RepairCost, 62 * 1000 / 310);
    EXPECT_EQ(+ak[0].Frame.Durability[5], 100);
    EXPECT_EQ(+ak[0].Weapon[0].AmmoLeft, +ak[0].Weapon[0].TotalAmmo);
    const int32_t value = ak::SumAkPrice(ak[0]);
    const int32_t compensation = (st[0].MachineValue - value + 200) * 50 / 100;
    EXPECT_EQ(compensation, 250);
    EXPECT_EQ(+ak[0].Cash, 2000 - 200 + compensation);
    EXPECT_EQ(+ak[0].TotalCr, 2000 - 200 + compensation + value);
    EXPECT_EQ(+ak[0].MachineValue, value);
    EXPECT_EQ(+st[0].RepairShortfall, 0);

    // The loser is not resupplied (option 32 off): no repair, no cost.
    ak[1].Frame.Durability[5] = 1;
    cv::AskRepair(ak[1], st[1]);
    EXPECT_EQ(+st[1].RepairCost, 0);
    EXPECT_EQ(+ak[1].Frame.Durability[5], 1);
}

// An AK file whose recorded value lies 601 below the worth of its parts
// (the loser, not repaired): the compensation (−601 × 50) / 100 is −300,
// truncated toward zero, and is taken from its cash.
TEST_F(RepairTest, ANegativeCompensationIsTaken) {
    gs.CompensationRate = 50;
    ak[1].Cash = 1000;
    st[1].MachineValue = ak::SumAkPrice(ak[1]) - 601;
    cv::AskRepair(ak[1], st[1]);
    EXPECT_EQ(+st[1].RepairCost, 0);
    EXPECT_EQ(+ak[1].Cash, 700);
    EXPECT_EQ(+ak[1].TotalCr, 700 + ak::SumAkPrice(ak[1]));
}

TEST_F(RepairTest, MinimumWorthAndAnAkWithoutDurabilityMaxima) {
    gs.MinCompensationCr = 100000;
    ak[1].Cash = -500;
    cv::AskRepair(ak[1], st[1]);
    EXPECT_EQ(+ak[1].TotalCr, 100000);
    EXPECT_EQ(+st[1].RepairShortfall, 100000 - (-500 + ak::SumAkPrice(ak[1])));

    // No maxima: nothing to divide by, no cost.
    option(OptResupplyLoser);
    st[1].MaxDurabilityTotal = 0;
    cv::AskRepair(ak[1], st[1]);
    EXPECT_EQ(+st[1].RepairCost, 0);
}

TEST_F(RepairTest, DestroyedAkIsScrappedAndCompensatedOnNothing) {
    option(OptResupplyLoser);
    gs.CompensationRate = 10;
    st[1].AkDestroyed = 1;
    st[1].MachineValue = 4000;
    ak[1].Cash = 300;
    const std::string pilot(sjis::readField(ak[1].Pilot.Name));
    cv::AskRepair(ak[1], st[1]);
    EXPECT_EQ(+st[1].RepairCost, 0);
    EXPECT_EQ(+st[1].CurrentMachineValue, 0);
    EXPECT_EQ(+ak[1].Cash, 300 + 400);
    EXPECT_EQ(+ak[1].TotalCr, 700);
    EXPECT_EQ(sjis::readField(ak[1].Frame.Name), "");
    EXPECT_EQ(sjis::readField(ak[1].Weapon[1].Name), "");
    EXPECT_EQ(+ak[1].TotalWeight, 0);
    EXPECT_EQ(+ak[1].Frame.MaxDurability[5], 0);
    EXPECT_EQ(sjis::readField(ak[1].Pilot.Name), pilot);
    // Nothing to buy back for a scrapped AK.
    option(OptRebuy);
    cv::AskRebuyWeapons(ak[1], st[1]);
    EXPECT_EQ(sjis::readField(ak[1].Weapon[1].Name), "");
}

TEST_F(RepairTest, RebuyFollowsTheResupplyFlagsAndTheMoney) {
    option(OptRebuy);
    option(OptResupplyWinner);
    for (int side = 0; side < 2; ++side) cv::RemoveWeapon(ak[side], 1);
    ak[0].TotalCr = 399; // the sword costs 400
    cv::AskRebuys();
    EXPECT_EQ(sjis::readField(ak[0].Weapon[1].Name), "");
    EXPECT_EQ(sjis::readField(ak[1].Weapon[1].Name), ""); // the loser: option 32 off

    option(OptRebuyInDebt);
    ak[0].Cash = 100;
    const int32_t weight = ak[0].TotalWeight, value = ak[0].MachineValue;
    cv::AskRebuys();
    EXPECT_EQ(testsupport::u8(sjis::readField(ak[0].Weapon[1].Name)), "バスターソード");
    EXPECT_EQ(+ak[0].Cash, -300);
    EXPECT_EQ(+ak[0].TotalWeight, weight + 200);
    EXPECT_EQ(+ak[0].MachineValue, value + 400);
    EXPECT_EQ(+ak[0].MountUsed[MountRightHand], 1); // two-handed: both hands
    EXPECT_EQ(+ak[0].MountUsed[MountLeftHand], 1);
}

TEST_F(RepairTest, TheGameMasterIsAskedWithoutAutomaticProcessing) {
    option(OptAutoProcess, false);
    option(OptRebuy);
    plat::notify::setHeadlessAnswer(plat::notify::IdNo);
    ak[0].Frame.Durability[0] = 1;
    cv::AskRepairs();
    cv::AskRebuys();
    std::vector<plat::notify::Request> boxes = plat::notify::recorded();
    ASSERT_EQ(boxes.size(), 4u);
    std::string name0 = testsupport::u8(sjis::readField(ak[0].Pilot.Name));
    EXPECT_EQ(testsupport::u8(boxes[0].text),
              "プレイヤー１／" + name0 + "（勝者）の修理・補給を行ないますか？");
    EXPECT_NE(testsupport::u8(boxes[1].text).find("プレイヤー２／"), std::string::npos);
    EXPECT_NE(testsupport::u8(boxes[1].text).find("（敗者）"), std::string::npos);
    EXPECT_EQ(testsupport::u8(boxes[2].text),
              "プレイヤー１／" + name0 + "（勝者）の武装買い直しを行ないますか？");
    EXPECT_EQ(boxes[0].caption, "Corvane Vell");
    EXPECT_EQ(boxes[0].icon, plat::notify::Icon::Question);
    EXPECT_EQ(boxes[0].buttons, plat::notify::Buttons::YesNo);
    EXPECT_TRUE(boxes[0].topmost);
    EXPECT_EQ(+ak[0].Frame.Durability[0], 1); // answered no

    plat::notify::clearRecorded();
    gs.Result = 2;
    cv::AskRepair(ak[0], st[0]);
    EXPECT_EQ(testsupport::u8(plat::notify::recorded()[0].text),
              "プレイヤー１／" + name0 + "の修理・補給を行ないますか？");
}

TEST_F(RepairTest, TwoHandGripComesBackWithTheRepair) {
    option(OptResupplyWinner);
    option(OptRestoreTwoHandGrip);
    // The sword went to the left hand when the right arm was lost.
    put(ak[0].Weapon[1].Mount, "左手");
    ak[0].MountUsed[MountRightHand] = 0;
    ak[0].MountUsed[MountLeftHand] = 1;
    cv::AskRepair(ak[0], st[0]);
    EXPECT_EQ(testsupport::u8(sjis::readField(ak[0].Weapon[1].Mount)), "両手");
    EXPECT_EQ(+ak[0].MountUsed[MountRightHand], 1);
    EXPECT_EQ(+ak[0].Weapon[1].Reserved220, 0); // it had no grip bonus to give back

    // An AK whose two-handed weapon had its bonus gets it back.
    st[1].TwoHandedUnpaired = 0;
    put(ak[1].Weapon[3].Mount, "右手");
    ak[1].Weapon[3].Reserved220 = 0;
    ak[1].MountUsed[MountRightHand] = 1;
    ak[1].MountUsed[MountLeftHand] = 0;
    gs.Result = 1;
    cv::AskRepair(ak[1], st[1]);
    EXPECT_EQ(+ak[1].Weapon[3].Reserved220, 10);
}

} // namespace
