#include "core/emit.h"
#include "core/gauges.h"
#include "core/module.h"
#include "fighttest.h"

using namespace fighttest;

namespace {

class EmitTest : public FightTest {
protected:
    void SetUp() override {
        FightTest::SetUp();
        narration(true);
        put(ak[1].AkName, "ブレイズ");
        put(ak[1].Pilot.Name, "リン");
        setUpMatch();
    }
};

} // namespace

TEST_F(EmitTest, GatesAndCallNames) {
    {
        Rolls r{51, 50};
        EXPECT_EQ(testsupport::u8(cv::PickCallName(1)), "ブレイズ");
        EXPECT_EQ(testsupport::u8(cv::PickCallName(1)), "リン選手");
    }
    gs.MessagePercent = 0;
    {
        Rolls r{1}; // drawn at 0 too, never passed
        EXPECT_FALSE(cv::OptionalLine("M01A"));
    }
    narration(false);
    EXPECT_FALSE(cv::OptionalLine("M01A")); // no draw
    EXPECT_TRUE(cv::PickCallName(1).empty());
}

TEST_F(EmitTest, StandInLines) {
    st[1].MessageVariant = 1;
    cv::PilotSays(buf, 1, "M95A", {sj("ハル")});
    cv::ComputerLine(buf, 0, 23);
    EXPECT_EQ(buf.Lines[0].Kind, cv::KindPilot2);
    EXPECT_EQ(line(0), "リン  「M95A1：ハル」");
    EXPECT_EQ(line(1), "      「T2-23」"); // the computer has no name
}

TEST_F(EmitTest, StatusLineReportsLostPower) {
    cv::StatusLine(buf, 1);
    EXPECT_EQ(buf.Count, 0u); // nothing lost
    ak[1].Frame.Durability[PartHead] = 0;
    cv::StatusLine(buf, 1);
    EXPECT_EQ(+st[1].DurabilityTotal, 250);
    EXPECT_EQ(+st[1].EffectivePower, 833);
    EXPECT_EQ(line(0), "      「T3-16：８３：１００」");
}
