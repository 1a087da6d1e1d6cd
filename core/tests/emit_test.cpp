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

// The announcer's end-state line of a destroyed AK: escaped and saved by the
// transfer at once (end state 6) has a line of its own.
TEST_F(EmitTest, EndStateLineOfADestroyedAk) {
    gs.MessagePercent = 100;
    st[1].AkDestroyed = 1;
    const struct {
        int Escaped, EscapeFailed;
        const char* Id;
    } cases[] = {{0, 0, "M90A"}, {1, 0, "M87A"}, {0, 1, "M86A"}, {1, 1, "M85A"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Id);
        st[1].Escaped = c.Escaped;
        st[1].EscapeFailed = c.EscapeFailed;
        buf.Count = 0;
        {
            Rolls r{50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50};
            cv::EmitBodyHit(buf, 0, 1, {PartHead, 1, 40});
        }
        EXPECT_NE(lines().find(std::string("Not Found:") + c.Id + " "), std::string::npos) << lines();
    }
}

// An AK out of action: its pilot's plan line is about the opponent keeping
// back ("M09A") or about its own standstill ("M10A"), with the same draws.
TEST_F(EmitTest, PlanLineOfAnAkOutOfAction) {
    gs.MessagePercent = 100;
    st[0].OutOfAction = 1;
    for (int other : {-1, 0}) {
        st[1].ActionMode = other;
        buf.Count = 0;
        {
            Rolls r{50, 50, 50, 50, 50};
            cv::EmitMovement(buf, {0, 0, 0, 0, true});
        }
        const char* id = other == -1 ? "Not Found:M09A0 " : "Not Found:M10A0 ";
        EXPECT_NE(lines().find(id), std::string::npos) << lines();
        EXPECT_EQ(lines().find("M12A"), std::string::npos);
    }
}
