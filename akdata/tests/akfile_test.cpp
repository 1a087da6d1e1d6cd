// The AK data file: round trips of the samples, derived values worked out by
// hand, the file's composite texts, and malformed input.
#include "akdata/akfile.h"
#include "fixtures.h"

#include "base/sjis.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>

using akfix::crlf;
using akfix::sampleLines;
using akfix::u8field;
using testsupport::sj;
using namespace akdata;

namespace {

const char* const EditorSamples[] = {"ak01.dat", "ak03.dat", "ak04.dat", "ak05.dat",
                                     "ak06.dat", "ak07.dat", "ak08.dat"};

class AkFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::notify::setHeadlessEcho(false);
        plat::notify::clearRecorded();
    }
};

TArmoredKnight parse(const std::string& bytes, int expected = LoadOk) {
    TArmoredKnight ak{};
    EXPECT_EQ(parseAkData(ak, bytes), expected);
    return ak;
}

bool sameRecord(const TArmoredKnight& a, const TArmoredKnight& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The sample ak01 as the game processor writes it: a header, two result
// entries, the record lines, the remaining values and the drain lines.
std::vector<std::string> gameProcessorForm(const std::string& line67) {
    std::vector<std::string> lines = {"試合結果ヘッダ",
                                      "",
                                      "--- CVVELL Game Result --- 2024/01/02 03:04:05",
                                      "　結果：勝利、対戦相手：ダミー／オーナー",
                                      "　５分。勝った。",
                                      "--- CVVELL Game Result --- 2024/01/03 03:04:05",
                                      "　結果：敗北、対戦相手：ダミー／オーナー",
                                      "　７分。負けた。",
                                      ""};
    for (const std::string& l : sampleLines("ak01.dat")) lines.push_back(l);
    lines.push_back(line67);
    lines.push_back("\"$DRAINDATA02$\",1,2,3,4,5,6,7,8,9,10,11,12,13,14,15");
    lines.push_back("1,2,3,4,5,6");
    return lines;
}

} // namespace

TEST_F(AkFileTest, EditorSamplesWriteBackByteForByte) {
    testsupport::TempDir dir;
    for (const char* name : EditorSamples) {
        TArmoredKnight ak = akfix::sample(name);
        std::string path = (dir.path() / name).string();
        ASSERT_EQ(saveAkData(ak, path), 0) << name;
        EXPECT_EQ(testsupport::readFile(path), akfix::sampleBytes(std::string("AkData/") + name)) << name;
    }
    EXPECT_TRUE(plat::notify::recorded().empty());
}

TEST_F(AkFileTest, GameProcessorSampleWritesBackItsRecordLines) {
    // ak02 carries a header, a result history, line 67 and drain lines; the
    // game processor's form of its record gives lines 1-67 unchanged.
    std::string file = akfix::sampleBytes("AkData/ak02.dat");
    TArmoredKnight ak = parse(file);
    EXPECT_EQ(+ak.hasMatchData, 1);
    std::string lines = formatAkData(ak, AkFileStyle::GameProcessor);
    size_t start = file.find(sj("7800,650"));
    ASSERT_NE(start, std::string::npos);
    EXPECT_EQ(file.substr(start, lines.size()), lines);
    EXPECT_EQ(file.substr(start + lines.size()).rfind("\"$DRAINDATA02$\"", 0), 0u);
}

TEST_F(AkFileTest, DerivedValuesOfTwoSamplesByHand) {
    // ak01: medium frame, ENG-300, a beam rifle and a shield, MCTL 1000.
    // Weight 120+10+40+5+10 = 185, armour 70 x 1, weapons 30 + 25: 310.
    // DEX 3; reaction 3 - 31000 / (350 x 600 / 350) + 100 = 3 - 51 + 100 = 52;
    // movement 52 / 20 + 0 + 1 = 3 (left leg intact, no 推).
    TArmoredKnight a = akfix::sample("ak01.dat");
    EXPECT_EQ(+a.TotalCr, 6200);
    EXPECT_EQ(+a.TotalWeight, 310);
    EXPECT_EQ(+a.Team.Dex, 3);
    EXPECT_EQ(+a.Reaction, 52);
    EXPECT_EQ(+a.Movement, 3);
    EXPECT_EQ(+a.AttackMod, 5 + 0 + 5 + 0 + 13 + 6 + 5);
    EXPECT_EQ(+a.DefenceMod, 15 + 0 + 5 + 0 + 13 + 6 + 5);
    EXPECT_EQ(+a.EscapeMod, 15);
    EXPECT_EQ(+a.ShieldTotal, 15);
    EXPECT_EQ(+a.HitTakenTotal, 7);
    EXPECT_EQ(+a.Frame.Strikes[StrikeRightPunch].Hit, 66);
    EXPECT_EQ(+a.Frame.Strikes[StrikeLeftKick].Hit, 56);
    EXPECT_EQ(+a.Frame.Strikes[StrikeRightPunch].Power, 2 + 600 / 200);
    EXPECT_EQ(+a.Frame.Strikes[StrikeRightKick].Power, 6);
    EXPECT_EQ(+a.Frame.Strikes[StrikeLeftPunch].Destructive, 2);
    const int32_t mounts[6] = {1, 0, 0, 1, 0, 0}; // 右手, 左腕
    for (int m = 0; m < 6; ++m) EXPECT_EQ(+a.MountUsed[m], mounts[m]) << m;

    // ak03: light frame, ENG-200, sword, saber and a 推 unit, booster, MCTL 250.
    // Weight 80+10+30+5+15+10 = 150, armour 35, weapons 15+10+20: 230.
    // DEX trunc(sqrt(trunc(sqrt(25)))) = 2; reaction 2 - 23000 / 400 + 100 = 45;
    // movement 1 (推) + 45 / 20 + 2 + 1 = 6.
    TArmoredKnight b = akfix::sample("ak03.dat");
    EXPECT_EQ(+b.TotalWeight, 230);
    EXPECT_EQ(+b.Team.Dex, 2);
    EXPECT_EQ(+b.Reaction, 45);
    EXPECT_EQ(+b.Movement, 6);
    EXPECT_EQ(+b.AttackMod, 5 + 5 + 11 + 6 + 10);
    EXPECT_EQ(+b.DefenceMod, 25 + 5 + 5 + 11 + 6);
    EXPECT_EQ(+b.Frame.Strikes[StrikeRightPunch].Hit, 62);
    EXPECT_EQ(+b.Frame.Strikes[StrikeRightPunch].Power, 1 + 2);
    EXPECT_EQ(+b.Frame.Strikes[StrikeLeftKick].Power, 4);
    EXPECT_EQ(+b.MountUsed[MountRightHand] + b.MountUsed[MountLeftHand] + b.MountUsed[MountRightShoulder], 3);
}

TEST_F(AkFileTest, WeightSeenByTheReactionIsTheFilesLineFour) {
    // The reaction is worked out from line 4 as read; TotalWeight is then
    // recomputed. A line 4 of 0 gives reaction 3 - 0 + 100.
    TArmoredKnight ak = akfix::withLine("ak01.dat", 4, "0");
    EXPECT_EQ(+ak.Reaction, 103);
    EXPECT_EQ(+ak.TotalWeight, 310);
}

TEST_F(AkFileTest, GameProcessorFormLoadsLikeTheEditorForm) {
    TArmoredKnight plain = akfix::sample("ak01.dat");
    TArmoredKnight full = parse(crlf(gameProcessorForm("0,30,0,0,0,0")));
    EXPECT_EQ(+full.hasMatchData, 1);
    EXPECT_EQ(+full.Weapon[1].ArmorLeft, 30);
    full.hasMatchData = 0;
    full.Weapon[1].ArmorLeft = 0;
    EXPECT_TRUE(sameRecord(plain, full));

    // A short line 67 fills the slots it reaches, in order; without all six
    // the AK carries no match data.
    TArmoredKnight part = parse(crlf(gameProcessorForm("5,30,-7")));
    EXPECT_EQ(+part.hasMatchData, 0);
    const int32_t left[6] = {5, 30, -7, 0, 0, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(+part.Weapon[i].ArmorLeft, left[i]) << i;

    // Without the remaining-values line the drain line meets its targets:
    // not a line 67, so nothing of it is kept.
    std::vector<std::string> noLine67 = gameProcessorForm("");
    noLine67.erase(noLine67.end() - 3);
    TArmoredKnight drained = parse(crlf(noLine67));
    EXPECT_EQ(+drained.hasMatchData, 0);
    for (const TAkWeapon& w : drained.Weapon) EXPECT_EQ(+w.ArmorLeft, 0);

    // LF-only line ends load the same record.
    std::string lf = crlf(sampleLines("ak01.dat"));
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    EXPECT_TRUE(sameRecord(parse(lf), plain));
}

TEST_F(AkFileTest, BadFirstLinesGiveResultTwoAndAZeroRecord) {
    const TArmoredKnight zero{};
    std::vector<std::string> lines = sampleLines("ak01.dat");
    lines[0] = "5000";
    EXPECT_TRUE(sameRecord(parse(crlf(lines), LoadBadHead), zero));
    lines[0] = "1号機";
    parse(crlf(lines), LoadBadHead);
    lines[0] = "   ";
    parse(crlf(lines), LoadBadHead);
    parse("", LoadBadHead);
    parse(sj("見出しだけ\r\n\r\n"), LoadBadHead);
}

TEST_F(AkFileTest, MissingFileShowsItsMessageAndGivesResultOne) {
    TArmoredKnight ak{};
    ak.Cash = 5;
    EXPECT_EQ(loadAkData(ak, "/nonexistent/folder/x.dat"), LoadCannotOpen);
    EXPECT_EQ(+ak.Cash, 0);
    EXPECT_EQ(+ak.Frame.Strikes[0].Hit, 40); // the derived values of a zero record
    auto shown = plat::notify::recorded();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, sj("機体データをファイル(/nonexistent/folder/x.dat)から読みこめません"));
    EXPECT_EQ(shown[0].caption, sj("この操作はできません"));
    EXPECT_TRUE(shown[0].topmost);
}

TEST_F(AkFileTest, CompositeTextsSplitAndJoin) {
    std::vector<std::string> lines = sampleLines("ak01.dat");
    lines[1] = "\"名無し(所属先)あとがき\"";
    lines[5] = "\"長いプロフィール(サブ)\"";
    lines[6] = "\"《紋》スーパーエース[2](2nd)［３］〔１２〕\"";
    lines[10] = "\"ブレイン２\",2,800,10,\"ジョン／ＡＢＣ\",\"格闘支援ＭＤ\",1,5,0,300";
    lines[11] = "\")x(\"";
    TArmoredKnight ak = parse(crlf(lines));
    EXPECT_EQ(u8field(ak.Owner.Name), "名無し");
    EXPECT_EQ(u8field(ak.Owner.SubName), "所属先");
    EXPECT_EQ(u8field(ak.Pilot.Profile), "長いプロフィール");
    EXPECT_EQ(u8field(ak.Pilot.ProfileSub), "サブ");
    // ー (81 5B) carries a '[' trail byte that must not open a bracket.
    EXPECT_EQ(u8field(ak.Pilot.Emblem), "紋");
    EXPECT_EQ(+ak.Pilot.Draws, 3 + 2);
    EXPECT_EQ(+ak.Pilot.Kills, 12);
    EXPECT_EQ(u8field(ak.Pilot.History), "スーパーエース   (2nd)"); // "(2nd)" is no number
    EXPECT_EQ(u8field(ak.Computer.Nickname), "ジョン");
    EXPECT_EQ(u8field(ak.Computer.NicknameTail), "ＡＢＣ");
    EXPECT_EQ(u8field(ak.Computer.Profile), ")x(");
    EXPECT_EQ(u8field(ak.Computer.ProfileSub), "");

    // Written back in the file's shape (what follows ')' is gone).
    std::string out = formatAkData(ak, AkFileStyle::Editor);
    EXPECT_NE(out.find(sj("\"名無し(所属先)\"\r\n")), std::string::npos);
    EXPECT_NE(out.find(sj("\"《紋》スーパーエース   (2nd)［５］〔１２〕\"")), std::string::npos);
    EXPECT_NE(out.find(sj("\"ジョン／ＡＢＣ\"")), std::string::npos);
}

TEST_F(AkFileTest, HistoryNumbersNeedDigitsOnly) {
    TArmoredKnight ak = akfix::withLine("ak01.dat", 7, "\"称号(2nd)［］〔１２x〕\"");
    EXPECT_EQ(+ak.Pilot.Draws, 0);
    EXPECT_EQ(+ak.Pilot.Kills, 0);
    EXPECT_EQ(u8field(ak.Pilot.History), "称号(2nd)［］〔１２x〕");

    // Draws 3 and kills 12 are written in full width and read back.
    ak.Pilot.Draws = 3;
    ak.Pilot.Kills = 12;
    sjis::writeField(ak.Pilot.History, sj("称号"));
    std::string out = formatAkData(ak, AkFileStyle::Editor);
    EXPECT_NE(out.find(sj("\"称号［３］〔１２〕\"")), std::string::npos);
    TArmoredKnight back = parse(out);
    EXPECT_EQ(+back.Pilot.Draws, 3);
    EXPECT_EQ(+back.Pilot.Kills, 12);
}

TEST_F(AkFileTest, CompositesKeepTheirTailsWhenTheyFillTheirFields) {
    std::vector<std::string> lines = sampleLines("ak01.dat");
    const std::string nick(76, 'n'), history(250, 'h'), comment(254, 'c');
    lines[10] = "\"ブレイン２\",2,800,10,\"" + nick + "／尾\",\"格闘支援ＭＤ\",1,5,0,300";
    lines[6] = "\"" + history + "［１］〔２〕\"";
    lines[20] = "1,0,0,\"" + comment + "/D\",10";
    TArmoredKnight ak = parse(crlf(lines));
    EXPECT_EQ(u8field(ak.Computer.Nickname), nick);
    EXPECT_EQ(u8field(ak.Computer.NicknameTail), "尾");
    EXPECT_EQ(+ak.Pilot.Kills, 2);
    EXPECT_EQ(u8field(ak.Pilot.History), history);
    EXPECT_EQ(+ak.Comments[0].Mode, 1);
    EXPECT_EQ(u8field(ak.Comments[0].Text), comment);
}

TEST_F(AkFileTest, ModeLettersComeOnlyFromTheEntrysRow) {
    std::vector<std::string> lines = sampleLines("ak01.dat");
    lines[20] = "1,0,0,\"残弾1/2\",10"; // slot 0: '2' is not in DEK
    lines[24] = "4,0,0,\"貫く/K\",0";   // slot 1, bought
    lines[62] = "\"ターボ/D\"";         // entry 11 has no row
    lines[63] = "\"勝った/S\"";         // entry 7 takes only D
    lines[65] = "\"相打ち/K\"";         // entry 9: K is its second letter
    TArmoredKnight ak = parse(crlf(lines));
    EXPECT_EQ(u8field(ak.Comments[0].Text), "残弾1/2");
    EXPECT_EQ(+ak.Comments[0].Mode, 0);
    EXPECT_EQ(+ak.Comments[1].Mode, 3);
    EXPECT_EQ(u8field(ak.Comments[1].Text), "貫く");
    EXPECT_EQ(u8field(ak.Comments[CommentTurbo].Text), "ターボ/D");
    EXPECT_EQ(u8field(ak.Comments[CommentWin].Text), "勝った/S");
    EXPECT_EQ(+ak.Comments[CommentWin].Mode, 0);
    EXPECT_EQ(+ak.Comments[CommentDraw].Mode, 2);
    std::string out = formatAkData(ak, AkFileStyle::Editor);
    EXPECT_NE(out.find(sj("\"相打ち/K\"")), std::string::npos);
    EXPECT_NE(out.find(sj("\"残弾1/2\"")), std::string::npos);

    // A mode outside the row writes no letter.
    ak.Comments[CommentDraw].Mode = 3;
    EXPECT_NE(formatAkData(ak, AkFileStyle::Editor).find(sj("\"相打ち\"")), std::string::npos);
}

TEST_F(AkFileTest, UnboughtSlotCommentsAndTheWriterRules) {
    std::vector<std::string> lines = sampleLines("ak01.dat");
    lines[28] = "0,0,0,\"未購入の台詞/K\",0"; // slot 2, not bought
    lines[7] = "\"\"";                        // match-start comment empty
    TArmoredKnight ak = parse(crlf(lines));
    EXPECT_EQ(+ak.Comments[2].Mode, 3);
    std::string editor = formatAkData(ak, AkFileStyle::Editor);
    std::string game = formatAkData(ak, AkFileStyle::GameProcessor);
    EXPECT_EQ(editor.find(sj("未購入の台詞")), std::string::npos);
    EXPECT_NE(game.find(sj("\"未購入の台詞/K\"")), std::string::npos);
    EXPECT_NE(editor.find(sj("\r\n\"……\"\r\n")), std::string::npos);
    EXPECT_NE(game.find("\r\n\"\"\r\n\""), std::string::npos);
    // SaveAkData's file has no line 67, the game processor's has.
    EXPECT_EQ(+parse(editor).hasMatchData, 0);
    EXPECT_EQ(+parse(game).hasMatchData, 1);
}

TEST_F(AkFileTest, WritersBlankQuotesAndTheEditorSanitisesAndCutsProfiles) {
    TArmoredKnight ak = akfix::sample("ak01.dat");
    sjis::writeField(ak.Pilot.Name, "A\"B\tC");
    const std::string profile(250, 'p');
    sjis::writeField(ak.Pilot.Profile, profile);
    sjis::writeField(ak.Pilot.ProfileSub, std::string(20, 's'));
    std::string game = formatAkData(ak, AkFileStyle::GameProcessor);
    EXPECT_NE(game.find("\"A B\tC\""), std::string::npos);
    EXPECT_NE(game.find("\"" + profile + "(" + std::string(20, 's') + ")\""), std::string::npos);

    testsupport::TempDir dir;
    std::string path = (dir.path() / "out.dat").string();
    ASSERT_EQ(saveAkData(ak, path), 0);
    std::string saved = testsupport::readFile(path);
    EXPECT_NE(saved.find("\"A B C\""), std::string::npos);
    // The quoted profile stays within 255 bytes: 233 + (20) + 2.
    EXPECT_NE(saved.find("\"" + std::string(233, 'p') + "(" + std::string(20, 's') + ")\"\r\n"),
              std::string::npos);
    EXPECT_EQ(u8field(ak.Pilot.Name), "A\"B\tC"); // the caller's record is left alone
}

TEST_F(AkFileTest, SaveFailureShowsItsMessageAndWritesNothing) {
    TArmoredKnight ak = akfix::sample("ak01.dat");
    EXPECT_EQ(saveAkData(ak, "/nonexistent/folder/out.dat"), 1);
    auto shown = plat::notify::recorded();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, sj("機体データをファイル(/nonexistent/folder/out.dat)に作成できません"));

    // A failing device leaves the old file whole.
    testsupport::TempDir dir;
    std::string path = (dir.path() / "keep.dat").string();
    testsupport::writeFile(path, "old");
    plat::setAtomicWriteFault(100);
    EXPECT_EQ(saveAkData(ak, path), 1);
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(testsupport::readFile(path), "old");
}

TEST_F(AkFileTest, MalformedRecordLines) {
    std::vector<std::string> lines = sampleLines("ak01.dat");
    lines[46] = "\"x\",40,30";                        // line 47: text for a number
    lines[47] = "999999999999,-999999999999,0,0,0,0"; // line 48: 12 digits
    lines[49] = "\"" + std::string(300, 'a') + "\"";  // line 50: 300-byte AK name
    lines[50] = "\"" + std::string(600, 'b') + "\"";  // line 51: 600-byte line
    TArmoredKnight ak = parse(crlf(lines));
    EXPECT_EQ(+ak.DefensiveMovePct, 0);
    EXPECT_EQ(+ak.MovingAttackPct, 40);
    EXPECT_EQ(+ak.StaticAttackPct, 30);
    EXPECT_EQ(+ak.ExtraValues[0], INT_MAX);
    EXPECT_EQ(+ak.ExtraValues[1], INT_MIN);
    EXPECT_EQ(sjis::readField(ak.AkName).size(), 79u);
    EXPECT_EQ(sjis::readField(ak.ProfileText).size(), 255u);
    EXPECT_EQ(u8field(ak.EditorVersion), "Ver.1.00"); // nothing shifted
    EXPECT_EQ(+ak.Frame.EngineLevel, 3);

    // A quoted text over two lines is one text, and the next line is line 7.
    lines = sampleLines("ak01.dat");
    lines[5] = "\"一行目";
    lines.insert(lines.begin() + 6, "二行目\"");
    ak = parse(crlf(lines));
    EXPECT_EQ(u8field(ak.Pilot.Profile), "一行目二行目");
    EXPECT_EQ(u8field(ak.Pilot.History), "期待の新人");

    // An open quote swallows the rest of the file; later fields stay zero.
    lines = sampleLines("ak01.dat");
    lines[8] = "\"ＭＦＭ０２,15,120";
    ak = parse(crlf(lines));
    EXPECT_EQ(+ak.Frame.Price, 0);
    EXPECT_EQ(u8field(ak.AkName), "");

    // A blank line before line 67 leaves the remaining values out.
    lines = gameProcessorForm("0,30,0,0,0,0");
    lines.insert(lines.end() - 3, "");
    ak = parse(crlf(lines));
    EXPECT_EQ(+ak.hasMatchData, 0);
    EXPECT_EQ(+ak.Weapon[1].ArmorLeft, 0);
}

TEST_F(AkFileTest, ComputerProfileSplitsOnlyWhenOpenComesFirst) {
    TArmoredKnight ak = akfix::withLine("ak01.dat", 12, "\"学習型(改)\"");
    EXPECT_EQ(u8field(ak.Computer.Profile), "学習型");
    EXPECT_EQ(u8field(ak.Computer.ProfileSub), "改");
    ak = akfix::withLine("ak01.dat", 12, "\"a)b(c)\"");
    EXPECT_EQ(u8field(ak.Computer.Profile), "a)b(c)");
}
