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

// Without message sets a message is narrated as its not-found text (a
// pilot's id with its variant digit), and a template line of a table that
// is not loaded as an empty line under the speaker's column.
TEST_F(EmitTest, LinesWithoutMessageSets) {
    st[1].MessageVariant = 1;
    cv::PilotSays(buf, 1, "M95A", {sj("ハル")});
    cv::ComputerLine(buf, 0, 23);
    EXPECT_EQ(buf.Lines[0].Kind, cv::KindPilot2);
    EXPECT_EQ(line(0), "        【Not Found:M95A1 / kwp:601 GetMsg()】");
    EXPECT_EQ(line(1), "        ");
}

TEST_F(EmitTest, StatusLineReportsLostPower) {
    cv::Module().Templates[3] = std::make_unique<cv::TemplateTable>();
    sjis::writeField(cv::Module().Templates[3]->Lines[16], sj("「出力A％、反応B」"));
    cv::StatusLine(buf, 1);
    EXPECT_EQ(buf.Count, 0u); // nothing lost
    ak[1].Frame.Durability[PartHead] = 0;
    cv::StatusLine(buf, 1);
    cv::Module().Templates[3].reset();
    EXPECT_EQ(+st[1].DurabilityTotal, 250);
    EXPECT_EQ(+st[1].EffectivePower, 833);
    EXPECT_EQ(line(0), "      「出力８３％、反応１００」");
}
