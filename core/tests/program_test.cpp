#include "core/module.h"
#include "core/program.h"
#include "enginetest.h"
#include "platform/random.h"

using namespace enginetest;
using testsupport::u8;

namespace {

class ProgramTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        option(OptInternalInfo);
        ak = SampleAk1();
        cv::InitCombatant(s, ak, 0); // program "L3W2", level 3
        auto table = std::make_unique<cv::TemplateTable>();
        *table = cv::TemplateTable{};
        sjis::writeField(table->Lines[70], sj("「A、実行します」"));
        cv::Module().Templates[2] = std::move(table);
        gs.NameWidth = 4;
    }
    void TearDown() override {
        cv::Module().Templates[2].reset();
        EngineTest::TearDown();
    }
    void program(const char* text) { sjis::writeField(s.ProgramText, text); }
    std::string program() const { return std::string(sjis::readField(s.ProgramText)); }
    int32_t move() { return cv::ProgramMoveCommand(ak, buf, s); }

    TArmoredKnight ak;
    cv::CombatantState s{};
};

} // namespace

TEST_F(ProgramTest, RangeCommandIsNeverUsedUp) {
    EXPECT_EQ(move(), 3);
    EXPECT_EQ(move(), 3);
    EXPECT_EQ(program(), "L3W2");
    ASSERT_EQ(+buf.Count, 4u);
    EXPECT_EQ(+buf.CurrentKind, cv::KindComputer1);
    EXPECT_EQ(+buf.Lines[0].Kind, cv::KindComputer1);
    EXPECT_EQ(line(0), "ハル＝９「Ｌ３、実行します」");
    EXPECT_EQ(line(1), "－－ プログラムコマンドによる移動目標距離:3");
}

TEST_F(ProgramTest, WeaponCommandFiresOnceItCan) {
    s.ActionMode = 0;
    gs.DistanceBand = 2; // the sword does not reach: the command waits
    cv::ProgramWeaponCommand(ak, buf, s);
    EXPECT_EQ(+s.WeaponChosen, 0);
    EXPECT_EQ(program(), "L3W2");
    gs.DistanceBand = 3;
    cv::ProgramWeaponCommand(ak, buf, s);
    EXPECT_EQ(+s.WeaponChosen, 1);
    EXPECT_EQ(+s.ChosenSlot, 1);
    EXPECT_EQ(program(), "L3");
    ASSERT_EQ(+buf.Count, 2u);
    EXPECT_EQ(line(0), "ハル＝９「Ｗ２、実行します」");
    EXPECT_EQ(line(1), "－－ 攻撃プログラムコマンド消費後、残りのコマンド:L3");
    cv::ProgramWeaponCommand(ak, buf, s);
    EXPECT_EQ(+s.WeaponChosen, 0); // reset on every call

    program("w2"); // not in a defensive move, not below level 3
    s.ActionMode = -1;
    cv::ProgramWeaponCommand(ak, buf, s);
    s.ActionMode = 1;
    ak.Computer.Level = 2;
    cv::ProgramWeaponCommand(ak, buf, s);
    EXPECT_EQ(+s.WeaponChosen, 0);
    EXPECT_EQ(program(), "w2");
}

TEST_F(ProgramTest, UnarmedWeaponCommands) {
    s.ActionMode = 0;
    gs.DistanceBand = 1;
    ak.Frame.Durability[PartLeftArm] = 0;
    program("W8W0W9W7");
    cv::ProgramWeaponCommand(ak, buf, s);
    EXPECT_EQ(+s.ChosenSlot, 13); // left punch impossible: left kick, code 3
    EXPECT_EQ(program(), "W8W9W7");
    cv::ProgramWeaponCommand(ak, buf, s);
    EXPECT_EQ(+s.ChosenSlot, 14);
    gs.DistanceBand = 2;
    cv::ProgramWeaponCommand(ak, buf, s);
    EXPECT_EQ(+s.WeaponChosen, 0);
    EXPECT_EQ(program(), "W8W7");
}

TEST_F(ProgramTest, RepeatedBandCommand) {
    program("35");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(move(), 3) << i;
    EXPECT_EQ(program(), "");
    EXPECT_EQ(move(), 0);
    bool traced = false;
    for (uint32_t i = 0; i < buf.Count; ++i)
        traced |= line(i) == "－－ プログラムコマンド (3n): 指定距離を回数だけ移動したためコマンド消費";
    EXPECT_TRUE(traced);

    program("0x2L7"); // band 0 held at 1; a count that is no digit counts as 1
    ak.Computer.Level = 2;
    EXPECT_EQ(move(), 1);
    EXPECT_EQ(program(), "2L7");
    EXPECT_EQ(move(), 2); // "2L" is band 2 with a count of 1
    EXPECT_EQ(program(), "7");
    EXPECT_EQ(move(), 0); // a trailing odd byte is no command
}

TEST_F(ProgramTest, WeaponDistanceCommand) {
    program("G5G1g2");
    EXPECT_EQ(move(), 4); // slot 5 is empty: void and deleted; slot 1 seeks its distance
    EXPECT_EQ(program(), "G1g2");
    EXPECT_EQ(line(0), "－－ プログラムコマンド (G5): 指定の武装は使用不能のため無効");
    ak.ExtraValues[0] = 0;
    EXPECT_EQ(move(), 1);
    ak.ExtraValues[0] = 12;
    EXPECT_EQ(move(), 9);
    ak.Weapon[0].AmmoLeft = 0;
    EXPECT_EQ(move(), 1); // G1 void now; g2 (the sword) seeks band 1
    EXPECT_EQ(program(), "g2");
    program("GX");
    EXPECT_EQ(move(), 0); // counts as slot 1, which has no ammunition
    EXPECT_EQ(program(), "");
}

TEST_F(ProgramTest, LevelsAndOtherCommands) {
    ak.Computer.Level = 1;
    program("N2Q1l5");
    EXPECT_EQ(move(), 5); // N needs level 2, Q is no command: both stay
    EXPECT_EQ(program(), "N2Q1l5");
    ak.Computer.Level = 2;
    EXPECT_EQ(move(), 5); // N applies only without ammunition anywhere
    for (TAkWeapon& w : ak.Weapon) w.AmmoLeft = 0;
    EXPECT_EQ(move(), 2);
    ak.Computer.Level = 0;
    EXPECT_EQ(move(), 0);

    ak.Computer.Level = 1;
    program("@7");
    plat::random::seed(5);
    int expected = plat::random::next() % 9 + 1;
    plat::random::seed(5);
    EXPECT_EQ(move(), expected);
    EXPECT_EQ(program(), "@7");
}
