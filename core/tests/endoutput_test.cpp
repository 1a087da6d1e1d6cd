#include "core/endoutput.h"
#include "core/module.h"
#include "logtest.h"

using namespace logtest;

namespace {

class EndOutputTest : public LogTest {
protected:
    void SetUp() override {
        LogTest::SetUp();
        ak[0] = SampleAk1();
        ak[1] = SampleAk2();
        setUpMatch();
        gs.RoundCounter = 12;
        gs.Result = 0;
        gs.FinishPart = PartHead;
        put(st[0].CurrentAttack.Name, "ロングライフル");
    }
    std::string ending() { return testsupport::u8(cv::MatchEndText()); }
};

} // namespace

TEST_F(EndOutputTest, WholeOutputOfAWin) {
    gs.FinishPart = PartBody;
    st[1].AkDestroyed = 1;
    st[1].Escaped = 1;
    gs.LastBodyDamage = 57;
    gs.LastExplosionRate = 12;
    st[0].MachineValue = 3200;
    st[0].TotalCr = 5000;
    st[0].Mctl = 1000;
    st[1].MachineValue = 1500;
    st[1].TotalCr = 1800;
    st[1].Mctl = 0;
    ak[0].TotalCr = 5300;
    ak[0].Pilot.Battles = 13;
    ak[0].Pilot.Wins = 8;
    ak[0].Team.Mctl = 1200;
    ak[1].TotalCr = 2000;
    ak[1].Pilot.Battles = 6;
    ak[1].Team.Mctl = -150;
    cv::WriteEndNarration(buf);
    EXPECT_EQ(lines(), "\n"
                       "        ○ケイ・アサギリ／山田太郎\n"
                       "        ×ゴウ          ／佐藤\n"
                       "　１２分。ロングライフルによる胴体破壊。誘爆。脱出成功。\n"
                       "（最終ダメージ計測値：５７、誘爆率：１２％）\n"
                       "【対戦成績】\n"
                       "+---+--------------+----------------+----------------+----------+-----+----+\n"
                       "|   |   オーナー   |   パイロット   | アーマーナイト |  戦  績  | Ｃr |賞金|\n"
                       "+---+--------------+----------------+----------------+----------+-----+----+\n"
                       "|   |山田太郎      |ケイ・アサギリ  |ブラストハウンド| 13  8 3 4| 5300|    |\n"
                       "|   |佐藤          |ゴウ            |クリムゾン      |  6  1 0 0| 2000|    |\n"
                       "【収支】\n"
                       "o|ケイ・アサギリ    |機体: 3200|Cr. 5000-> 5300|MCTL: +1000(+3)-> +1200(+3)|\n"
                       "x|ゴウ              |機体: 1500|Cr. 1800-> 2000|MCTL:    +0(+0)->  -150(-1)|\n");
    for (uint32_t i = 0; i < buf.Count; ++i) {
        uint32_t kind = buf.Lines[i].Kind, blanks = buf.Lines[i].BlankLinesAfter,
                 indent = buf.Lines[i].Indent;
        EXPECT_EQ(kind, i >= 6 && i <= 8 ? cv::KindRecordFrame : cv::KindSystem) << i;
        EXPECT_EQ(indent, 0u);
        EXPECT_EQ(blanks, i == 2 || i == 4 || i == 10 ? 1u : 0u) << i;
    }
}

TEST_F(EndOutputTest, HowItEnded) {
    // Part and weapon.
    EXPECT_EQ(ending(), "　１２分。ロングライフルによる頭部破壊。");
    // The finishing cause: pierce before eject before induced explosion.
    put(gs.FinishInducedWeapon, "ミサイル");
    EXPECT_EQ(ending(), "　１２分。ロングライフルによるミサイル誘爆。頭部破壊。");
    put(gs.FinishEjectWeapon, "ロケット");
    EXPECT_EQ(ending(), "　１２分。ロングライフルによるロケット破壊。排除失敗。頭部破壊。");
    put(gs.FinishPierceWeapon, "パイル");
    EXPECT_EQ(ending(), "　１２分。ロングライフルによるパイル貫通。頭部破壊。");
    gs.FinishPierceWeapon[0] = gs.FinishEjectWeapon[0] = gs.FinishInducedWeapon[0] = 0;
    // A killed pilot, with and without the forced transfer.
    gs.FinishPart = PartBody;
    st[1].PilotKilled = 1;
    EXPECT_EQ(ending(), "　１２分。ロングライフルによる胴体破壊。脱出失敗。死亡。");
    gs.EscapeRate = 30;
    EXPECT_EQ(ending(), "　１２分。ロングライフルによる胴体破壊。脱出失敗。強制転送失敗。死亡。");
    st[1].PilotKilled = 0;
    EXPECT_EQ(ending(), "　１２分。ロングライフルによる胴体破壊。強制転送。");
    // Self-destruct tells no pilot's fate.
    gs.SelfDestruct = 1;
    EXPECT_EQ(ending(), "　１２分。ロングライフルによる胴体破壊。自爆。");
    gs.SelfDestruct = 0;
    // The winner's turbo; a beam field is none.
    put(ak[0].Turbo.Name, "ニトロ");
    gs.FinishPart = PartLeftArm;
    EXPECT_EQ(ending(), "　１２分。ターボ作動前、ロングライフルによる左手破壊。");
    st[0].ReactionBoost = 20;
    EXPECT_EQ(ending(), "　１２分。ターボ中、ロングライフルによる左手破壊。");
    st[0].ReactionBoost = -10;
    EXPECT_EQ(ending(), "　１２分。ターボ停止後、ロングライフルによる左手破壊。");
    put(ak[0].Turbo.Name, "対ビーム磁場");
    EXPECT_EQ(ending(), "　１２分。ロングライフルによる左手破壊。");
    // Side 2 wins.
    gs.Result = 1;
    put(st[1].CurrentAttack.Name, "ハルバード");
    EXPECT_EQ(ending(), "　１２分。ハルバードによる左手破壊。");
    // An unknown part names none.
    gs.FinishPart = 9;
    EXPECT_EQ(ending(), "　１２分。ハルバードによる破壊。");
}

TEST_F(EndOutputTest, DrawsStopsAndTimeUp) {
    gs.Result = 2;
    EXPECT_EQ(ending(), "　１２分。引き分け。");
    gs.TimeUpDecision = 1;
    EXPECT_EQ(ending(), "　１２分。時間切れ判定。しかも引き分け。");
    gs.Result = 0;
    EXPECT_EQ(ending(), "　１２分。時間切れ判定。");
    gs.ImmobileDraw = 1;
    gs.Result = 2;
    EXPECT_EQ(ending(), "　１２分。コルヴェインによる強制中断。しかも引き分け。");

    cv::WriteEndNarration(buf);
    EXPECT_EQ(line(1), "        △ケイ・アサギリ／山田太郎");
    EXPECT_EQ(line(2), "        △ゴウ          ／佐藤");
    EXPECT_EQ(line(buf.Count - 2).substr(0, 2), "-|");
    EXPECT_EQ(line(buf.Count - 1).substr(0, 2), "-|");
}

TEST_F(EndOutputTest, ALongEndingIsCutOnceAtTheWidth) {
    gs.OutputColumns = 20;
    put(gs.FinishPierceWeapon, "パイルバンカー");
    cv::WriteEndNarration(buf);
    EXPECT_EQ(line(3), "　１２分。ロングライ");
    EXPECT_EQ(line(4), "フルによるパイルバンカー貫通。頭部破壊。");
    EXPECT_EQ(line(5), "【対戦成績】");
    // A cut that would split a character moves left.
    gs.OutputColumns = 21;
    cv::EmptyQueue(buf);
    cv::WriteEndNarration(buf);
    EXPECT_EQ(line(3), "　１２分。ロングライ");
}

TEST_F(EndOutputTest, RecordRowsOfDeadPilotsAndBounties) {
    st[1].PilotKilled = 1;
    cv::WriteEndNarration(buf);
    EXPECT_EQ(line(9), "|死 |佐藤          |ゴウ            |クリムゾン      |  5  1 0 0| 1800|    |");
    option(OptDropDeadPilots);
    option(OptBountyMatch);
    put(gs.BountyPostfix, "100 ");
    cv::EmptyQueue(buf);
    cv::WriteEndNarration(buf);
    EXPECT_EQ(line(8), "|   |山田太郎      |ケイ・アサギリ  |ブラストハウンド| 12  7 3 4| 5000| 100|");
    EXPECT_EQ(line(9), "|   |佐藤          |                |クリムゾン      |  5  1 0 0| 1800| 100|");
}

TEST_F(EndOutputTest, Signature) {
    cv::WriteEndNarration(buf);
    uint32_t count = buf.Count;
    cv::WriteSignature(buf);
    EXPECT_EQ(buf.Count, count);
    EXPECT_EQ(+buf.Lines[count - 1].BlankLinesAfter, 2u);
    put(gs.OrganiserName, "主催者");
    cv::WriteSignature(buf);
    EXPECT_EQ(line(count), "\t\t\t\t\t主催者");
    put(gs.StadiumName, "第一競技場");
    cv::WriteSignature(buf);
    EXPECT_EQ(line(count + 1), "\t\t\t\t\t主催者／第一競技場");
    gs.OrganiserName[0] = 0;
    cv::WriteSignature(buf);
    EXPECT_EQ(line(count + 2), "\t\t\t\t\t第一競技場");
    // With fewer than two lines queued nothing gets blank lines.
    cv::EmptyQueue(buf);
    cv::WriteSignature(buf);
    EXPECT_EQ(buf.Count, 1u);
    EXPECT_EQ(+buf.Lines[0].BlankLinesAfter, 0u);
}
