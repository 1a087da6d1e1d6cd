#include "core/endnarration.h"
#include "core/module.h"
#include "core/queue.h"
#include "narrationtest.h"

using namespace narrtest;

namespace {

// Announcer line n reads "n(A,B,C,D,E)", so each narrated text shows which
// lines it joined and what filled their slots.
class EndNarrationTest : public NarrationTest {
protected:
    void SetUp() override {
        NarrationTest::SetUp();
        for (int n = 1; n < cv::TemplateLineCount; ++n)
            sjis::writeField(cv::EditTemplateTable(1)->Lines[n], cv::FormatText("%d(A,B,C,D,E)", n));
        put(ak[0].Owner.Name, "甲");
        put(ak[1].Owner.Name, "乙");
        setUpMatch();
        sjis::writeField(st[0].PilotNameFull, "P1");
        sjis::writeField(st[1].PilotNameFull, "P2");
        for (cv::CombatantState& s : st) {
            s.MachineValue = s.CurrentMachineValue = 0;
            s.RepairCost = s.RepairShortfall = 0;
        }
        gs.WinnerCr = 300;
        gs.LoserCr = 200;
        gs.MinCompensationCr = 2000;
        ak[0].Cash = 1000;
        ak[1].Cash = 500;
    }
    // The texts of the narration without their columns.
    std::vector<std::string> texts(int32_t minutes, int winner = 0) {
        *owned = cv::GameMessageBuffer{};
        cv::EndNarration(buf, minutes, winner, 1 - winner);
        std::vector<std::string> out;
        for (size_t i = 0; i < buf.Count; ++i) {
            std::string t = line(i);
            out.push_back(t.substr(t.find_first_not_of(' ') == std::string::npos ? t.size()
                                                                                 : t.find_first_not_of(' ')));
        }
        return out;
    }
};

} // namespace

TEST_F(EndNarrationTest, HowTheMatchWasWon) {
    const std::pair<int32_t, int> byMinutes[] = {{3, 28},  {4, 29},  {8, 29},  {9, 27},  {14, 27}, {15, 30},
                                                 {20, 30}, {21, 31}, {30, 31}, {31, 32}, {-5, 28}};
    for (auto [minutes, n] : byMinutes) {
        auto t = texts(minutes);
        ASSERT_EQ(t.size(), 4u);
        EXPECT_EQ(t[0].substr(0, 3), std::to_string(n) + "(") << minutes;
    }
    st[1].PilotKilled = 1;
    auto t = texts(12, 1 - 1);
    EXPECT_EQ(t[0], "27(１２,B,C,D,E)33(甲,P1,乙,P2,E)34(P2,B,C,D,E)");
    EXPECT_EQ(t[3], "46(P1,B,C,D,E)");
    EXPECT_EQ(+buf.Lines[0].Kind, cv::KindAnnouncer);
    EXPECT_EQ(+gs.NameWidth, 6); // the wider pilot label
}

TEST_F(EndNarrationTest, DrawOnTimeUp) {
    gs.Result = 2;
    gs.TimeUpDecision = 1;
    auto t = texts(20);
    ASSERT_EQ(t.size(), 3u); // no closing line
    EXPECT_EQ(t[0], "25(２０,26(A,B,C,D,E),C,D,E)");
    EXPECT_EQ(t[1], "35(P1,甲,２００,D,E)43(１０００,B,C,D,E)"); // the draw prize is the loser's
    gs.TimeUpDecision = 0;
    gs.ImmobileDraw = 1;
    EXPECT_EQ(texts(20)[0], "25(２０,51(A,B,C,D,E),C,D,E)");
}

// The damage compensation, at the rate or in full, and the money lines
// while the rate is under 100.
TEST_F(EndNarrationTest, CompensationAndMoney) {
    st[1].MachineValue = 3000;
    st[1].CurrentMachineValue = 2500;
    st[1].RepairCost = 100; // a loss of 600
    st[1].RepairShortfall = 0;
    gs.CompensationRate = 0;
    EXPECT_EQ(texts(10)[2], "44(P2,乙,２００,D,E)41(１００,５００,C,D,E)");
    gs.CompensationRate = 50;
    EXPECT_EQ(texts(10)[2], "44(P2,乙,２００,D,E)37(５０,３００,C,D,E)41(１００,５００,C,D,E)");
    gs.CompensationRate = 100;
    EXPECT_EQ(texts(10)[2], "44(P2,乙,２００,D,E)36(６００,B,C,D,E)");
    EXPECT_EQ(texts(10)[1], "35(P1,甲,３００,D,E)"); // no loss of its own
    // A gain of worth (2000 − 2500 + 100 = −400) is settled but not named.
    st[1].MachineValue = 2000;
    gs.CompensationRate = 50;
    EXPECT_EQ(texts(10)[2], "44(P2,乙,２００,D,E)41(１００,５００,C,D,E)");

    gs.CompensationRate = 0;
    st[1].RepairShortfall = 70;
    EXPECT_EQ(testsupport::u8(cv::MoneyLine(1)), "40(１００,２５００,２０００,７０,５００)");
    st[1].RepairCost = 0;
    EXPECT_EQ(testsupport::u8(cv::MoneyLine(1)), "42(２０００,７０,５００,D,E)");
}

TEST_F(EndNarrationTest, BountyMatch) {
    option(OptBountyMatch);
    st[1].Bounty = 1234;
    EXPECT_EQ(texts(10)[1], "35(P1,甲,３００,D,E)39(１２３４,B,C,D,E)43(１０００,B,C,D,E)");
    gs.Result = 2;
    EXPECT_EQ(texts(10)[1], "35(P1,甲,２００,D,E)43(１０００,B,C,D,E)");
}
