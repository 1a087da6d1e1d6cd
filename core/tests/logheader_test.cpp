#include "core/logheader.h"
#include "core/logwriter.h"
#include "core/matchfiles.h"
#include "core/module.h"
#include "core/round.h"
#include "logtest.h"

using namespace logtest;

namespace {

class LogHeaderTest : public LogTest {
protected:
    void SetUp() override {
        LogTest::SetUp();
        ak[0] = SampleAk1();
        ak[1] = SampleAk2();
        put(ak[0].EditorVersion, "1.10");
        put(ak[1].EditorVersion, "2.0");
        put(ak[0].WeaponDataVersion, "W3");
        put(ak[1].WeaponDataVersion, "W3");
        put(gs.AkFile1, "AkData\\ak01.dat");
        put(gs.AkFile2, "/srv/ak/ak02.dat");
        put(gs.ModeVersionText, "BR 1.0");
        put(gs.PilotMsg[0].Id, "基本女パイロット");
        put(gs.PilotMsg[1].Id, "熱血");
        put(gs.ComputerMsg[0].Id, "標準");
        put(gs.ComputerMsg[1].Id, "メイド");
        put(gs.ChosenAnnouncer.Id, "実況");
        put(gs.AnnouncerLabel, "アナ");
        gs.MatchType = 1;
        gs.MatchMinutes = 20;
        setUpMatch();
        gs.RoundCounter = 0;
    }
    // The start header of a new match with the logs open; returns <base>.txt.
    std::string header(std::string_view title = "") {
        cv::BeginMatchFiles(base());
        cv::OpenLogs(base(), cv::LogOpen::Start);
        cv::WriteStartHeader(buf, sj(std::string(title)));
        cv::CloseLogs(false);
        return file("match.txt");
    }
};

} // namespace

TEST_F(LogHeaderTest, Banner) {
    auto banner = [] { return testsupport::u8(cv::LogBanner()); };
    EXPECT_EQ(banner(), "CV Ver.4.6 CVCORE Ver.1.2.3.4/BR 1.0 Disp:Full ExtEsc: 0%");
    option(0);
    option(7);
    option(19);
    gs.DigestMode = 3;
    gs.MessagePercent = 50;
    gs.EscapeRate = 15;
    gs.CompensationRate = 20;
    EXPECT_EQ(banner(), "CV Ver.4.6 CVCORE Ver.1.2.3.4/BR 1.0(SD3Q) Disp:50% ExtEsc: 15% Cr: 20%");
    // Flags 20 and above are not shown; every letter of 0 to 19 is.
    for (int n = 0; n < 30; ++n) option(n);
    gs.DigestMode = 12;
    EXPECT_EQ(banner(),
              "CV Ver.4.6 CVCORE Ver.1.2.3.4/BR 1.0(SKNDCOTD0HURDPBCMAJTQ) Disp:50% ExtEsc: 15% Cr: 20%");
}

TEST_F(LogHeaderTest, StartHeaderLines) {
    option(OptLogOutput);
    option(OptAddHeader);
    option(OptInternalInfo);
    std::string log = header();
    EXPECT_EQ(log, "◆公式戦 ケイ・アサギリ vs ゴウ 山田太郎 vs 佐藤 タイムマッチ２０分\r\n\r\n");
    EXPECT_EQ(file("match.chk"), log);
    EXPECT_EQ(lines(), "CV Ver.4.6 CVCORE Ver.1.2.3.4/BR 1.0(OH) Disp:Full ExtEsc: 0%\n"
                       "PLAYER 1  1.10  WEAPON.DATA Ver.W3  FILE ak01.dat\n"
                       "PLAYER 2  2.0   WEAPON.DATA Ver.W3  FILE ak02.dat\n"
                       "Start. 2026/4/5 9:8:7\n"
                       "タイムマッチ２０分／実況\n"
                       "Player 1  ケイ・アサギリ／山田太郎  （基本女パイロット）（標準）\n"
                       "Player 2  ゴウ          ／佐藤      （熱血）            （メイド）\n");
    EXPECT_EQ(+buf.Lines[3].BlankLinesAfter, 1u);
    EXPECT_EQ(+buf.Lines[4].BlankLinesAfter, 1u);
}

TEST_F(LogHeaderTest, HeaderLineFitsTheWidth) {
    option(OptLogOutput);
    option(OptAddHeader);
    option(OptBountyMatch);
    gs.MatchType = 3;
    EXPECT_EQ(header(), "◆賞金首戦 ケイ・アサギリ vs ゴウ 山田太郎 vs 佐藤 デスマッチ\r\n\r\n");
    EXPECT_EQ(line(4), "デスマッチ（賞金首試合）／実況");
    // Too long: the owners and the match type in half width, then the cut.
    gs.MatchType = 4;
    gs.OutputColumns = 64;
    EXPECT_EQ(header(), "◆賞金首戦 ケイ・アサギリ vs ゴウ 山田太郎 vs 佐藤 ﾀｲﾑﾃﾞｽﾏｯﾁ20分\r\n\r\n");
    gs.OutputColumns = 60;
    EXPECT_EQ(header(), "◆賞金首戦 ケイ・アサギリ vs ゴウ 山田太郎 vs 佐藤 ﾀｲﾑﾃﾞｽﾏｯﾁ\r\n\r\n");
    // A cut inside a character moves one byte to the left.
    gs.OutputColumns = 41;
    EXPECT_EQ(header(), "◆賞金首戦 ケイ・アサギリ vs ゴウ 山田太\r\n\r\n");
    option(OptNoFullToHalf);
    gs.OutputColumns = 60;
    EXPECT_EQ(header(), "◆賞金首戦 ケイ・アサギリ vs ゴウ 山田太郎 vs 佐藤 タイムデ\r\n\r\n");
}

TEST_F(LogHeaderTest, TitleReplacesTheNamesWithOption17) {
    option(OptLogOutput);
    option(OptAddHeader);
    EXPECT_EQ(header("決勝戦"), "◆公式戦 ケイ・アサギリ vs ゴウ 山田太郎 vs 佐藤 タイムマッチ２０分\r\n\r\n");
    option(Opt17);
    EXPECT_EQ(header("決勝戦"), "◆決勝戦\r\n\r\n");
}

TEST_F(LogHeaderTest, NoHeaderLineWithoutOptions8And20) {
    option(OptAddHeader);
    header();
    EXPECT_FALSE(exists("match.txt"));
    option(OptAddHeader, false);
    option(OptLogOutput);
    EXPECT_EQ(header(), "");
    EXPECT_EQ(buf.Count, 7u * 2);
}

TEST_F(LogHeaderTest, PilotTitles) {
    auto title = [&](int roll) {
        Rolls rolls{roll};
        return testsupport::u8(cv::PilotTitle(ak[0]));
    };
    TArmoredKnight& a = ak[0];
    a.Pilot.Wins = 12;
    a.Pilot.Battles = 12;
    EXPECT_EQ(title(100), "不敗の魔術師、");
    a.Pilot.Wins = 0;
    a.Pilot.Destroyed = 100;
    EXPECT_EQ(title(60), "パーフェクト・ソルジャー、");
    EXPECT_EQ(title(61), "赤き死神、");
    a.Pilot.Destroyed = 0;
    a.Pilot.Kills = 10;
    EXPECT_EQ(title(1), "殺人鬼、");
    a.Pilot.Kills = 0;
    a.Movement = 7;
    EXPECT_EQ(title(75), "疾風、");
    a.Movement = 1;
    EXPECT_EQ(title(99), "のろまなカメ、");
    a.Movement = 3;
    a.Reaction = 15;
    EXPECT_EQ(title(50), "お地蔵さん、");
    a.Reaction = 40;
    a.Frame.Strikes[StrikeRightPunch].Destructive = 3;
    EXPECT_EQ(title(50), "怪獣使い、");
    a.Frame.Strikes[StrikeRightPunch].Destructive = 2;
    a.Pilot.Battles = 10;
    EXPECT_EQ(title(20), "期待の新人、");
    EXPECT_EQ(title(40), "ぽっと出の新人、");
    a.Pilot.Battles = 30;
    a.Pilot.Wins = 21;
    EXPECT_EQ(title(75), "常勝の天才、");
    a.Pilot.Wins = 10;
    a.Pilot.ExpEscape = 30;
    EXPECT_EQ(title(50), "エスケープ・マジシャン、");
    a.Pilot.ExpEscape = 0;
    a.Pilot.Wins = 14;
    EXPECT_EQ(title(50), "逃げの天才、");
    a.Pilot.Battles = 10;
    a.Pilot.Wins = 2;
    EXPECT_EQ(title(50), "アンラッキー、");
    // None holds: a message of the announcer set.
    EXPECT_NE(title(99), "");
}

TEST_F(LogHeaderTest, IntroductionsGreetAnEmptyCommentWithSilence) {
    put(ak[0].Comments[CommentMatchStart].Text, "よろしく");
    ak[1].Comments[CommentMatchStart].Text[0] = 0;
    add(cv::KindSystem, 0, "（前の行）");
    {
        Rolls rolls{10}; // below 30: the AK names, no titles
        cv::WriteIntroductions(buf);
    }
    EXPECT_EQ(sjis::readField(ak[1].Comments[CommentMatchStart].Text), sj("……"));
    EXPECT_EQ(+buf.Lines[0].BlankLinesAfter, 1u);
    EXPECT_EQ(line(1), "アナ          「さあ、ブラストハウンドとクリムゾンの対決です！");
    EXPECT_EQ(line(2), "                　２０分のタイムマッチ。まずはケイ・アサギリ選手！");
    EXPECT_EQ(line(3), "ケイ・アサギリ「よろしく」");
    EXPECT_EQ(+buf.Lines[3].Kind, cv::KindPilot1);
    EXPECT_EQ(+buf.Lines[3].BlankLinesAfter, 1u);
    EXPECT_EQ(+buf.Lines[4].Kind, cv::KindAnnouncer);
    EXPECT_EQ(line(5), "ゴウ          「……」");
    EXPECT_EQ(line(6), "アナ          「……寡黙な選手です」");
    EXPECT_EQ(buf.Count, 7u);
    EXPECT_EQ(+buf.Lines[6].BlankLinesAfter, 1u);
}

TEST_F(LogHeaderTest, MatchStart) {
    add(cv::KindSystem, 0, "x");
    cv::WriteMatchStart(buf);
    EXPECT_EQ(line(1), "アナ          「試合開始です！」");
    EXPECT_EQ(+buf.Lines[1].BlankLinesAfter, 2u);
    EXPECT_EQ(line(2), "＝＝＝＝ 試合開始 ＝＝＝＝");
    EXPECT_EQ(+buf.Lines[2].Kind, cv::KindAnnouncer);
    EXPECT_EQ(+buf.Lines[2].Indent, 0u);
    EXPECT_EQ(+buf.Lines[2].BlankLinesAfter, 2u);
}

TEST_F(LogHeaderTest, StatusSheetsEveryIntervalOfRoundsPlayed) {
    EXPECT_FALSE(cv::StatusSheetsDue(10));
    gs.StatusInterval = 10;
    EXPECT_TRUE(cv::StatusSheetsDue(10));
    EXPECT_FALSE(cv::StatusSheetsDue(11));
    EXPECT_TRUE(cv::StatusSheetsDue(20));
    gs.RoundMark = 5; // counted from round 4
    EXPECT_FALSE(cv::StatusSheetsDue(10));
    EXPECT_TRUE(cv::StatusSheetsDue(14));

    // After ProcessMatch counted the round: round 14 went on.
    gs.RoundCounter = 15;
    cv::WriteStatusSheetsAfterRound(buf, cv::RoundDecided);
    EXPECT_EQ(buf.Count, 0u);
    cv::WriteStatusSheetsAfterRound(buf, cv::RoundGoesOn);
    ASSERT_GT(buf.Count, 10u);
    EXPECT_EQ(line(0), "オーナー名　：山田太郎");
    size_t pageBreak = 0;
    for (size_t i = 0; i < buf.Count; ++i)
        if (buf.Lines[i].Kind == cv::KindPageBreak) pageBreak = i;
    EXPECT_EQ(line(pageBreak + 1), "オーナー名　：佐藤");
    EXPECT_EQ(+buf.Lines[pageBreak - 1].BlankLinesAfter, 2u); // the armament list's and the side's
    EXPECT_EQ(+buf.Lines[buf.Count - 1].BlankLinesAfter, 3u); // and the sheets' end
    // No weapon table in a status sheet.
    for (size_t i = 0; i < buf.Count; ++i) EXPECT_EQ(line(i).find("WEAPON DATA"), std::string::npos);
}
