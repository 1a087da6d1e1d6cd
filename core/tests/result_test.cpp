// Booking the result on the AK records and the end state of the loser.
#include "enginetest.h"

#include "core/module.h"
#include "core/result.h"

#include <climits>

namespace {

using namespace enginetest;

class ResultTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ak[0] = SampleAk1();
        ak[1] = SampleAk2();
        for (int i = 0; i < 2; ++i) {
            cv::InitCombatant(st[i], ak[i], i);
            cv::Module().Ak[i] = &ak[i];
            cv::Module().State[i] = &st[i];
        }
        gs.WinnerCr = 1000;
        gs.LoserCr = 100;
    }
    void TearDown() override {
        for (int i = 0; i < 2; ++i) cv::Module().Ak[i] = nullptr, cv::Module().State[i] = nullptr;
        EngineTest::TearDown();
    }
    TArmoredKnight ak[2];
    cv::CombatantState st[2]{};
};

TEST_F(ResultTest, WinWithBountyKillAndMechanicLevel) {
    option(OptBountyMatch);
    gs.Result = 1;
    st[0].Bounty = 250;
    st[0].MachineValue = 5000; // the loser was the costlier AK
    st[1].MachineValue = 3000;
    st[0].PilotKilled = 1;
    st[0].AkDestroyed = 1;
    const int32_t cash0 = ak[0].Cash, cash1 = ak[1].Cash, total1 = ak[1].TotalCr;
    const int32_t mctl0 = ak[0].Team.Mctl, mctl1 = ak[1].Team.Mctl;
    const int32_t wins1 = ak[1].Pilot.Wins, battles1 = ak[1].Pilot.Battles;
    const int32_t destroyed1 = ak[1].Pilot.Destroyed, kills1 = ak[1].Pilot.Kills;

    cv::UpdateAkRecords();
    EXPECT_EQ(+ak[1].Cash, cash1 + 1250);
    EXPECT_EQ(+ak[1].TotalCr, total1 + 1250);
    EXPECT_EQ(+ak[0].Cash, cash0 + 100);
    EXPECT_EQ(+ak[1].Team.Mctl, mctl1 + 2000);
    EXPECT_EQ(+ak[0].Team.Mctl, mctl0 - 2000);
    EXPECT_EQ(+ak[1].Pilot.Wins, wins1 + 1);
    EXPECT_EQ(+ak[1].Pilot.Battles, battles1 + 1);
    EXPECT_EQ(+ak[1].Pilot.Destroyed, destroyed1 + 1);
    EXPECT_EQ(+ak[1].Pilot.Kills, kills1 + 1);
    EXPECT_EQ(+ak[0].Pilot.Battles, 0); // raised, then cleared by the kill
    // The record texts follow the new counts.
    EXPECT_EQ(testsupport::u8(sjis::readField(st[1].WinsText)),
              testsupport::u8(sjis::han2Zen(std::to_string(wins1 + 1))));
}

TEST_F(ResultTest, CheaperLoserMovesNoMechanicLevelAndSimulationOnlyPays) {
    gs.Result = 0;
    st[0].MachineValue = 5000;
    st[1].MachineValue = 3000;
    const int32_t mctl0 = ak[0].Team.Mctl, wins0 = ak[0].Pilot.Wins, battles0 = ak[0].Pilot.Battles;
    cv::UpdateAkRecords();
    EXPECT_EQ(+ak[0].Team.Mctl, mctl0);
    EXPECT_EQ(+ak[0].Pilot.Wins, wins0 + 1);

    option(OptSimulationMode);
    option(OptBountyMatch);
    st[1].Bounty = 999;
    st[1].MachineValue = 9000;
    st[1].PilotKilled = 1;
    const int32_t cash0 = ak[0].Cash;
    cv::UpdateAkRecords();
    EXPECT_EQ(+ak[0].Cash, cash0 + 1000 + 999);
    EXPECT_EQ(+ak[0].Team.Mctl, mctl0);
    EXPECT_EQ(+ak[0].Pilot.Wins, wins0 + 1);
    EXPECT_EQ(+ak[0].Pilot.Battles, battles0 + 1);
    EXPECT_NE(+ak[1].Pilot.Battles, 0);
}

TEST_F(ResultTest, DrawPaysLoserPrizeToBothWithoutBounty) {
    option(OptBountyMatch);
    gs.Result = 2;
    st[0].Bounty = st[1].Bounty = 500;
    const int32_t cash0 = ak[0].Cash, cash1 = ak[1].Cash, draws0 = ak[0].Pilot.Draws,
                  draws1 = ak[1].Pilot.Draws;
    cv::UpdateAkRecords();
    EXPECT_EQ(+ak[0].Cash, cash0 + 100);
    EXPECT_EQ(+ak[1].Cash, cash1 + 100);
    EXPECT_EQ(+ak[0].Pilot.Draws, draws0 + 1);
    EXPECT_EQ(+ak[1].Pilot.Draws, draws1 + 1);
}

TEST_F(ResultTest, MoneySaturatesInsteadOfTurningNegative) {
    gs.Result = 0;
    gs.WinnerCr = INT32_MAX;
    ak[0].TotalCr = INT32_MAX - 5;
    cv::UpdateAkRecords();
    EXPECT_EQ(+ak[0].TotalCr, INT32_MAX);
    EXPECT_GT(+ak[0].Cash, 0);
}

TEST_F(ResultTest, EndStateOfTheLoser) {
    cv::CombatantState& loser = st[1];
    gs.Result = 0;
    cv::SettleLoserEndState(); // outscored: no flag, no text
    EXPECT_EQ(+loser.EndStateFlags, 0);
    EXPECT_EQ(sjis::readField(loser.EndStateText), "");

    loser.EndStateFlags = -1;
    cv::FormatEndStateText(loser);
    EXPECT_EQ(testsupport::u8(sjis::readField(loser.EndStateText)), "判定");

    loser.AkDestroyed = loser.PilotKilled = loser.Escaped = 1;
    cv::SettleLoserEndState();
    EXPECT_EQ(+loser.EndStateFlags, 17);
    EXPECT_EQ(testsupport::u8(sjis::readField(loser.EndStateText)), "誘爆死亡");

    loser = cv::CombatantState{};
    loser.SelfDestructed = loser.EscapeFailed = 1;
    cv::SettleLoserEndState();
    EXPECT_EQ(+loser.EndStateFlags, 12);
    EXPECT_EQ(testsupport::u8(sjis::readField(loser.EndStateText)), "自爆転送");

    gs.Result = 2; // a draw has no loser
    st[0].EndStateFlags = -1;
    cv::SettleLoserEndState();
    EXPECT_EQ(+st[0].EndStateFlags, -1);
}

} // namespace
