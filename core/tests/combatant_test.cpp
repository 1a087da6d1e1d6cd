#include "core/combatant.h"
#include "core/formula.h"
#include "enginetest.h"

#include <cstring>
#include <vector>

using namespace enginetest;
using testsupport::u8;

namespace {

template <size_t N> std::string text(const char (&field)[N]) {
    return u8(sjis::readField(field));
}

class CombatantTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        cv::Infix2Postfix("((G-2000)/8 > 0) + F*2 + W*2 + D*5 + K*10", gs.BountyPostfix);
        put(gs.Words[0].Emblem1, "蒼");
        put(gs.Words[0].Emblem2, "紅");
        put(gs.Words[1].Emblem2, "別");
        option(OptBountyMatch);
        option(OptNameCut);
        option(OptEmblem);
    }
};

} // namespace

using Ints = std::vector<int64_t>;

TEST_F(CombatantTest, BuildsSideOneFromSampleAk) {
    TArmoredKnight ak = SampleAk1();
    cv::CombatantState s;
    std::memset(&s, 0xCD, sizeof s); // every byte must be set
    EXPECT_EQ(cv::InitCombatant(s, ak, 0), 0);

    EXPECT_EQ(text(s.PilotName), "ケイ");
    EXPECT_EQ(text(s.ComputerName), "ハル");
    EXPECT_EQ(text(s.PilotNameFull), "ケイ・アサギリ");
    EXPECT_EQ(text(s.EmblemPilotNameFull), "《疾風》ケイ・アサギリ");
    EXPECT_EQ(text(s.PilotLabel), "《疾風》ケイ");
    EXPECT_EQ(text(s.ComputerLabel), "《疾風》ハル");
    EXPECT_EQ(testsupport::hex(sjis::readField(s.MasterCallName)), "83 7D 83 58 83 5E 81 5B");
    // The commands after the last "／", in half width; the record keeps the rest.
    EXPECT_EQ(text(s.ProgramText), "L3W2");
    EXPECT_EQ(text(ak.Computer.NicknameTail), "ＡＢ");
    EXPECT_EQ(text(s.AgeText) + text(s.EndStateText), "");
    // Side; bounty 150 + 12*2 + 7*2 + 3*5 + 1*10; two-handed flags and slot;
    // machine value, total Cr, Mctl, movement, engine power, durability
    // maximum, sensor attack and defence; end state; message variant, slot,
    // round flags.
    EXPECT_EQ(
        (Ints{s.Side, s.Bounty, s.HasTwoHandedWeapon, s.TwoHandedUnpaired, s.TwoHandedSlot, s.MachineValue,
              s.TotalCr, s.Mctl, s.Movement, s.EnginePower, s.MaxDurabilityTotal, s.SensorAttack,
              s.SensorDefence, s.EndStateFlags, s.MessageVariant, s.ChosenSlot, s.RoundFlags}),
        (Ints{0, 213, 1, 1, 1, 3200, 5000, 1000, 7, 2000, 310, 12, 8, -1, 0, 0, 0}));
    EXPECT_EQ((std::vector<double>{s.ComputerDown, s.SensorDown, s.AttackDown}),
              (std::vector<double>{1, 1, 0}));
    EXPECT_EQ((Ints(s.WeaponPresent, s.WeaponPresent + 6)), (Ints{1, 1, 1, 0, 0, 0}));
    EXPECT_EQ((Ints(s.WeaponBroken, s.WeaponBroken + 6)), (Ints{0, 0, 0, 0, 0, 0}));
}

TEST_F(CombatantTest, BuildsSideTwoFromSampleAk) {
    TArmoredKnight ak = SampleAk2();
    cv::CombatantState s{};
    cv::InitCombatant(s, ak, 1);

    // No emblem of its own: the second side's default, always from Words[0].
    EXPECT_EQ(text(s.PilotLabel), "《紅》ゴウ");
    EXPECT_EQ(text(s.ComputerLabel), "《紅》ミカ");
    EXPECT_EQ(text(s.MasterCallName), "ご主人様");
    // No "／": the whole tail, cut to 4 bytes for level 1, and the tail is used up.
    EXPECT_EQ(text(s.ProgramText), "L4@1");
    EXPECT_EQ(text(ak.Computer.NicknameTail), "");
    // Side; bounty (G 1500 gives 0) + 5*2 + 1*2; two two-handed weapons: the
    // later slot counts and "unpaired" stays set; durability maximum, power.
    EXPECT_EQ((Ints{s.Side, s.Bounty, s.HasTwoHandedWeapon, s.TwoHandedUnpaired, s.TwoHandedSlot,
                    s.MaxDurabilityTotal, s.EnginePower}),
              (Ints{1, 12, 1, 1, 3, 190, 900}));
    EXPECT_EQ((Ints(s.WeaponPresent, s.WeaponPresent + 6)), (Ints{0, 1, 0, 1, 1, 0}));
}

TEST_F(CombatantTest, OptionsOffAndProgramContinue) {
    option(OptBountyMatch, false);
    option(OptNameCut, false);
    option(OptEmblem, false);
    option(OptProgramCommandContinue);
    TArmoredKnight ak = SampleAk1();
    cv::CombatantState s{};
    cv::InitCombatant(s, ak, 0);
    EXPECT_EQ(+s.Bounty, 0);
    EXPECT_EQ(text(s.PilotLabel), "ケイ・アサギリ");
    // The whole tail up to its first "/", and the record keeps its tail.
    EXPECT_EQ(text(s.ProgramText), "AB");
    EXPECT_EQ(text(ak.Computer.NicknameTail), "ＡＢ／Ｌ３Ｗ２");
}

TEST_F(CombatantTest, TextsStayInsideTheirFields) {
    TArmoredKnight ak = SampleAk1();
    cv::CombatantState s{};
    ak.Computer.Level = 0;
    cv::InitCombatant(s, ak, 0);
    EXPECT_EQ(text(s.ProgramText), "");
    // A cut inside a double-byte character drops that character.
    put(ak.Computer.NicknameTail, "／Ｌ３Ｌ漢");
    ak.Computer.Level = 1;
    cv::InitCombatant(s, ak, 0);
    EXPECT_EQ(text(s.ProgramText), "L3L");
    // A level from the file may ask for more than the field holds.
    sjis::writeField(ak.Computer.NicknameTail, std::string(79, 'L'));
    ak.Computer.Level = 2000000000;
    cv::InitCombatant(s, ak, 0);
    EXPECT_EQ(sjis::readField(s.ProgramText).size(), 79u);

    // A 35-byte emblem prefix and a 78-byte name: the label is cut at 79.
    sjis::writeField(ak.Pilot.Emblem, std::string(31, 'E'));
    put(ak.Pilot.Name, "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリ");
    option(OptNameCut, false);
    cv::InitCombatant(s, ak, 0);
    std::string_view label = sjis::readField(s.PilotLabel);
    EXPECT_EQ(label.size(), 79u);
    EXPECT_EQ(label.substr(0, 35), sj("《") + std::string(31, 'E') + sj("》"));
    EXPECT_EQ(+s.EmblemPilotNameFull[79], '\0');
}

TEST_F(CombatantTest, RoundResetEmptiesTheRoundTexts) {
    cv::CombatantState s{};
    put(s.StatusText, "判定");
    put(s.HitStatusText, "破壊");
    s.AttackDown = 12.7;
    s.EvasionDown = -3.9;
    s.RoundFlags = 0x1C3;
    cv::ResetRoundState(s);
    EXPECT_EQ(text(s.StatusText) + text(s.HitStatusText), "");
    EXPECT_EQ(+s.RoundStartAttackDown, 12);
    EXPECT_EQ(+s.RoundStartEvasionDown, -3);
    EXPECT_EQ(+s.RoundFlags, 0u);
}

// ---- Drain data -------------------------------------------------------------

class DrainTest : public CombatantTest {
protected:
    cv::CombatantState sideOneFrom(const std::string& content) {
        testsupport::writeFile(dir.path() / "ak1.dat", content);
        sjis::writeField(gs.AkFile1, (dir.path() / "ak1.dat").string());
        TArmoredKnight ak = SampleAk1();
        cv::CombatantState s{};
        cv::InitCombatant(s, ak, 0);
        return s;
    }
    testsupport::TempDir dir;
};

TEST_F(DrainTest, ReadsBothLines) {
    cv::CombatantState s = sideOneFrom("\"SOMEAK\",1\r\n"
                                       "\"$DRAINDATA02$\",12,7,3,0,2,15,3,1,2,9,4,0,0,6,1\r\n"
                                       "5,6,7,8,9,10\r\n");
    ASSERT_TRUE(cv::ParseDrainData(s));
    // Computer divisor written as 0 after its recovery: a divisor stays 1.
    EXPECT_EQ(
        (std::vector<double>{s.AttackDown, s.EvasionDown, s.MovementDown, s.ComputerDown, s.SensorDown}),
        (std::vector<double>{12, 7, 3, 1, 2}));
    // Fields 12 and 13 (0 in the file) leave the match-start TotalCr and
    // MachineValue as they were.
    EXPECT_EQ((Ints{s.ReactionBoost, s.BoostMinutesLeft, s.AntiBeamField, s.BindDistance, s.ResumeRound,
                    s.ResumeDistanceBand, s.TotalCr, s.MachineValue, s.ResumeAnnouncer, s.BerserkAnnounced}),
              (Ints{15, 3, 1, 2, 9, 4, 5000, 3200, 6, 1}));
    EXPECT_EQ((Ints{s.DrainInts[0], s.DrainInts[1], s.DrainInts[2], s.DrainInts[3], s.DrainInts[4],
                    s.DrainInts[5]}),
              (Ints{5, 6, 7, 8, 9, 10}));
}

TEST_F(DrainTest, ShortAndBadLines) {
    cv::CombatantState s = sideOneFrom("\"$DRAINDATA02$\",12,7,x,4,4\n3,4");
    ASSERT_TRUE(cv::ParseDrainData(s));
    EXPECT_EQ(+s.EvasionDown, 7.0);
    EXPECT_EQ(+s.MovementDown, 0.0); // the first bad field ends the reading
    EXPECT_EQ(+s.ComputerDown, 1.0);
    EXPECT_EQ(+s.DrainInts[1], 4);
    EXPECT_EQ(+s.DrainInts[2], 0);

    // A value beyond 32 bits is held at the limit, never wrapped.
    s = sideOneFrom("\"$DRAINDATA02$\",99999999999999,-99999999999999\n");
    ASSERT_TRUE(cv::ParseDrainData(s));
    EXPECT_EQ(+s.AttackDown, 2147483647.0);
    EXPECT_EQ(+s.EvasionDown, -2147483648.0);
}

TEST_F(DrainTest, MarkerMustStartAWholeLine) {
    // Read in 255-byte pieces, this line's tail would look like a drain line.
    cv::CombatantState s =
        sideOneFrom(std::string(255, 'x') + "\"$DRAINDATA02$\",5\r\n \"$DRAINDATA02$\",5\r\n");
    cv::CombatantState before = s;
    EXPECT_FALSE(cv::ParseDrainData(s));
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
    s.Side = 1; // reads AkFile2, which names no file
    sjis::writeField(gs.AkFile2, (dir.path() / "absent.dat").string());
    EXPECT_FALSE(cv::ParseDrainData(s));
}
