// The team battle's rules without a match: the board's hit zones, the
// registration cursor, one AK file stem in one slot only, "全登録" and its
// shuffle, "（不在）に戻す", the file a winner fights its next bout with,
// the status texts of the bout lines, the entry table and both result
// tables, the bout lines of the board, the clearing of an earlier run's
// outputs and the entry lists of both teams.
#include "modes/frame/imports.h"
#include "modes/frame/setup.h"
#include "modes/frame/tests/modetest.h"
#include "modes/teamfight/teamlogic.h"

#include <filesystem>

namespace {

using namespace modetest;
using teamfight::BoutLine;
using teamfight::SlotRef;
using testsupport::sj;

class TeamLogic : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2, 3, 4, 5, 6});
        makeConf();
        sjis::writeField(header_.ConfName, sj("紅白戦"));
        sjis::writeField(header_.ConfMemo, sj("春季"));
    }

    std::string pilot(int team, int slot) {
        const EntryRecord* row = teams_.Side[team][static_cast<size_t>(slot)].row();
        return row ? testsupport::u8(sjis::readField(row->PilotName)) : "-";
    }
    std::string file(int team, int slot) {
        const std::string& p = teams_.Side[team][static_cast<size_t>(slot)].Path;
        size_t sep = p.find_last_of("\\/");
        return sep == std::string::npos ? p : p.substr(sep + 1);
    }
    // A row set by hand for the result tables.
    EntryRecord& row(int team, int slot, const char* owner, int32_t stage, int32_t draws,
                     const char* status = "") {
        modes::Entrant& e = teams_.Side[team][static_cast<size_t>(slot)];
        e.Path = "ak\\x.dat";
        e.Record = modes::newRow();
        EntryRecord& r = *e.row();
        sjis::writeField(r.OwnerName, sj(owner));
        sjis::writeField(r.PilotName, sj("パイロット"));
        r.MachineValue = 5000 + slot;
        r.TotalCr = 6000 + slot;
        r.Stage = stage;
        r.Draws = draws;
        sjis::writeField(r.StatusText, sj(status));
        return r;
    }

    teamfight::Teams teams_;
};

TEST_F(TeamLogic, BoardZones) {
    EXPECT_EQ(teamfight::boardHeight(3), 82);
    EXPECT_EQ(teamfight::slotAt(3, 0, 10), (SlotRef{0, 0}));
    EXPECT_EQ(teamfight::slotAt(3, 187, 33), (SlotRef{0, 0}));
    EXPECT_EQ(teamfight::slotAt(3, 187, 34), (SlotRef{0, 1}));
    EXPECT_EQ(teamfight::slotAt(3, 271, 34), (SlotRef{1, 1}));
    EXPECT_EQ(teamfight::slotAt(3, 459, 81), (SlotRef{1, 2}));
    EXPECT_FALSE(teamfight::slotAt(3, 188, 40)); // the band between the teams
    EXPECT_FALSE(teamfight::slotAt(3, 270, 40));
    EXPECT_FALSE(teamfight::slotAt(3, 100, 9));  // above the first slot
    EXPECT_FALSE(teamfight::slotAt(3, 100, 82)); // below the last
    EXPECT_FALSE(teamfight::slotAt(0, 100, 10)); // no board
}

TEST_F(TeamLogic, RegistrationCursorAndUndo) {
    teamfight::Registration r(teams_);
    EXPECT_FALSE(r.hasBoard());
    r.decide(3);
    EXPECT_TRUE(r.isOpen());
    EXPECT_EQ(teams_.size(), 3);
    EXPECT_EQ(r.cursor(), (SlotRef{0, 0}));
    // The cursor fills the left team, then goes over to the right one.
    for (int n : {1, 2, 3, 4}) r.putAtCursor(akFolder(), sampleFile(n));
    EXPECT_EQ(file(0, 0), "ak01.dat");
    EXPECT_EQ(file(0, 2), "ak03.dat");
    EXPECT_EQ(file(1, 0), "ak04.dat");
    EXPECT_EQ(teams_.Side[1][0].Path, akFolder() + "\\ak04.dat");
    EXPECT_EQ(pilot(1, 0), "シエラ・ブライト");
    EXPECT_EQ(r.cursor(), (SlotRef{1, 1}));
    // A slot filled again takes the new AK.
    r.put({0, 1}, akFolder(), "ak05.dat");
    EXPECT_EQ(pilot(0, 1), "ゴウ・イトウ");

    // Undo without a point: the slot before the cursor, where the cursor stays.
    EXPECT_TRUE(r.undo(std::nullopt));
    EXPECT_EQ(pilot(1, 0), "-");
    EXPECT_TRUE(teams_.Side[1][0].Path.empty());
    EXPECT_EQ(r.cursor(), (SlotRef{1, 0}));
    // Before slot 0 comes the other team's last slot.
    EXPECT_TRUE(r.undo(std::nullopt));
    EXPECT_EQ(r.cursor(), (SlotRef{0, 2}));
    EXPECT_EQ(pilot(0, 2), "-");
    // A point on a slot empties that one; an empty slot changes nothing.
    EXPECT_TRUE(r.undo(SlotRef{0, 0}));
    EXPECT_FALSE(r.undo(SlotRef{1, 2}));
    EXPECT_EQ(r.cursor(), (SlotRef{0, 2}));
    EXPECT_EQ(pilot(0, 1), "ゴウ・イトウ");
    // The cursor past the right team's end goes back to the left team.
    r.setCursor({1, 3});
    r.putAtCursor(akFolder(), "ak06.dat");
    EXPECT_EQ(file(0, 0), "ak06.dat");
    // "決定" again: empty teams of the new size.
    r.decide(4);
    EXPECT_EQ(teams_.size(), 4);
    for (int t = 0; t < 2; ++t)
        for (int i = 0; i < 4; ++i) EXPECT_FALSE(teams_.filled(t, i));
}

TEST_F(TeamLogic, RegisterAllTakesTheFirstRowsInRandomOrder) {
    teamfight::Registration r(teams_);
    r.decide(3);
    r.put({1, 1}, akFolder(), "ak06.dat");
    std::vector<int> draws{2, 0, 0};
    size_t next = 0;
    auto random = [&] { return draws[next++]; };
    r.registerAll(0, akFolder(), {"ak01.dat", "ak02.dat", "ak03.dat", "ak04.dat"}, random);
    EXPECT_EQ(next, 3u); // one draw per AK taken, n at most
    EXPECT_EQ(file(0, 0), "ak03.dat");
    EXPECT_EQ(file(0, 1), "ak01.dat");
    EXPECT_EQ(file(0, 2), "ak02.dat");
    EXPECT_EQ(file(1, 1), "ak06.dat"); // the other team is untouched

    // Fewer AKs than slots: the rest stay empty; earlier rows are freed.
    draws = {32767, 1};
    next = 0;
    r.registerAll(0, akFolder(), {"ak04.dat", "ak05.dat"}, random);
    EXPECT_EQ(file(0, 0), "ak05.dat"); // 32767 mod 2 = 1
    EXPECT_EQ(file(0, 1), "ak04.dat");
    EXPECT_FALSE(teams_.filled(0, 2));
}

// A side's output AK file is named after the input file's stem, so two
// slots of one stem would overwrite each other's output and a staying
// winner would load the other's AK: a stem stands in one slot only.
TEST_F(TeamLogic, OneFileStemStandsInOneSlot) {
    EXPECT_TRUE(teamfight::sameStem("ak\\ak01.dat", "AK01.da1"));
    EXPECT_TRUE(teamfight::sameStem("C:\\other\\ak01.dat", "ak/ak01"));
    EXPECT_FALSE(teamfight::sameStem("ak01.dat", "ak01.x.dat"));
    EXPECT_FALSE(teamfight::sameStem("ak01.dat", "ak010.dat"));
    // Double-byte characters compare exactly: "ア" and "ヂ" differ only in a
    // trail byte that reads as 'A' or 'a'.
    EXPECT_FALSE(teamfight::sameStem(sj("ア.dat"), sj("ヂ.dat")));
    EXPECT_TRUE(teamfight::sameStem(sj("機体A.dat"), sj("機体a.da2")));

    std::filesystem::copy_file(path("ak/ak01.dat"), path("ak/AK01.da1"));
    std::filesystem::create_directories(path("ak2"));
    std::filesystem::copy_file(path("ak/ak02.dat"), path("ak2/ak02.dat"));
    teamfight::Registration r(teams_);
    r.decide(3);
    r.put({0, 0}, akFolder(), "ak01.dat");
    r.put({0, 1}, akFolder(), "ak02.dat");
    // Put into the other team, the AK moves there.
    r.put({1, 2}, akFolder(), "ak01.dat");
    EXPECT_FALSE(teams_.filled(0, 0));
    EXPECT_TRUE(teams_.Side[0][0].Path.empty());
    EXPECT_EQ(file(1, 2), "ak01.dat");
    // Another file of that stem, whatever its case, is refused and the
    // cursor stays; so is a file of that name from another folder.
    r.setCursor({1, 0});
    EXPECT_FALSE(r.putAtCursor(akFolder(), "AK01.da1"));
    EXPECT_FALSE(teams_.filled(1, 0));
    EXPECT_EQ(file(1, 2), "ak01.dat");
    EXPECT_EQ(r.cursor(), (SlotRef{1, 0}));
    EXPECT_FALSE(r.put({0, 2}, scratch() + "ak2", "ak02.dat"));
    EXPECT_FALSE(teams_.filled(0, 2));
    EXPECT_EQ(file(0, 1), "ak02.dat");
    // Into the slot its stem stands in, it takes that slot's place; put
    // there again, it stays.
    EXPECT_TRUE(r.put({1, 2}, akFolder(), "AK01.da1"));
    EXPECT_TRUE(r.put({1, 2}, akFolder(), "AK01.da1"));
    EXPECT_EQ(file(1, 2), "AK01.da1");
    EXPECT_EQ(pilot(1, 2), "アレックス・ロウ");
    EXPECT_EQ(teams_.paths(0).size() + teams_.paths(1).size(), 2u);

    // "全登録" passes over the AKs of the other team and a second file of
    // a stem already taken; the draws and the slots are for the rest.
    std::vector<int> draws{0, 0, 0};
    size_t next = 0;
    auto random = [&] { return draws[next++]; };
    const std::vector<std::string> folder{"ak01.dat", "AK01.da1", "ak02.dat",
                                          "ak03.dat", "ak04.dat", "ak05.dat"};
    EXPECT_EQ(r.registerAll(0, akFolder(), folder, random),
              (std::vector<std::string>{"ak01.dat", "AK01.da1"}));
    EXPECT_EQ(next, 3u);
    EXPECT_EQ(file(0, 0), "ak02.dat"); // its own team's earlier AK is no obstacle
    EXPECT_EQ(file(0, 1), "ak03.dat");
    EXPECT_EQ(file(0, 2), "ak04.dat");
    EXPECT_EQ(file(1, 2), "AK01.da1"); // the other team is untouched
    // The ordinary case: both teams from one folder share no AK; ak05.dat
    // is taken after four passed over.
    draws = {0, 0, 0};
    next = 0;
    EXPECT_EQ(r.registerAll(1, akFolder(), folder, random),
              (std::vector<std::string>{"AK01.da1", "ak02.dat", "ak03.dat", "ak04.dat"}));
    EXPECT_EQ(next, 2u);
    EXPECT_EQ(file(1, 0), "ak01.dat");
    EXPECT_EQ(file(1, 1), "ak05.dat");
    EXPECT_FALSE(teams_.filled(1, 2));
    for (const std::string& left : teams_.paths(0))
        for (const std::string& right : teams_.paths(1)) EXPECT_FALSE(teamfight::sameStem(left, right));
}

TEST_F(TeamLogic, StatusTextsOfTheBoutLines) {
    using teamfight::statusText;
    EXPECT_EQ(statusText(sj("死亡"), true), sj("死亡-----"));
    EXPECT_EQ(statusText(sj("死亡"), false), sj("-----死亡"));
    EXPECT_EQ(statusText("", false), "---------");
    // Cut to 9 bytes on a character boundary.
    EXPECT_EQ(statusText(sj("誘爆死亡後"), true), sj("誘爆死亡-"));
    EXPECT_EQ(statusText("ABCDEFGHIJK", false), "ABCDEFGHI");
}

TEST_F(TeamLogic, EntryTableOfBothTeams) {
    teamfight::Registration r(teams_);
    r.decide(3);
    r.put({0, 0}, akFolder(), "ak01.dat");
    r.put({0, 2}, akFolder(), "ak02.dat");
    r.put({1, 1}, akFolder(), "ak03.dat");
    teams_.Side[0][0].row()->Stage = 4;
    settings_.Options[OptTeamBattleWinnerStays] = 1;
    modes::Lines lines = teamfight::entryTable(header_, settings_, teams_, fixedTime());
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[0], sj("紅白戦／春季 （勝ち抜き方式）\r\n\t\t\t\t\t\t\t(2026/4/5 13:7:9)\r\n"));
    EXPECT_EQ(lines[1], sj("【チーム１】"));
    EXPECT_EQ(lines[2], std::string(78, '-'));
    EXPECT_EQ(lines[5], sj("  1:田中一郎         アレックス・ロウ      男性      :  24 :   5 :   3 :  5000"));
    EXPECT_EQ(lines[6].substr(0, 4), "  2:"); // numbered without the empty slot's gap
    EXPECT_EQ(lines[8], "");
    EXPECT_EQ(lines[9], sj("【チーム２】"));
    EXPECT_EQ(lines[13].substr(0, 4), "  1:");
    EXPECT_EQ(lines.back(), "");
    for (int t = 0; t < 2; ++t) {
        for (const modes::Entrant& e : teams_.Side[t]) {
            if (!e.row()) continue;
            EXPECT_EQ(+e.row()->Stage, 0);
            EXPECT_EQ(+e.row()->Draws, 2); // has not fought
        }
    }
    settings_.Options[OptTeamBattleWinnerStays] = 0;
    lines = teamfight::entryTable(header_, settings_, teams_, fixedTime());
    EXPECT_EQ(lines[0].substr(0, sj("紅白戦／春季 （１人１試合方式）").size()),
              sj("紅白戦／春季 （１人１試合方式）"));
}

TEST_F(TeamLogic, OneBoutEachResultTable) {
    teams_.reset(3);
    row(0, 0, "勝者", 1, 0);
    row(0, 1, "引分", 0, 1);
    row(0, 2, "不戦", 0, 2, "前回の状態");
    row(1, 0, "敗者", 0, 0, "死亡");
    row(1, 1, "引分２", 0, 1);
    sjis::writeField(settings_.OrganiserName, sj("技術部"));
    modes::Lines lines = teamfight::resultTables(settings_, teams_, {3, 3});
    std::vector<std::string> expected{
        sj("\r\n【団体戦結果】\r\n"),
        sj("【チーム１】"),
        std::string(78, '-'),
        sj(" 結果     オーナー         パイロット                 機体  所持金   状態"),
        std::string(78, '-'),
        sj("   ○  :  勝者             パイロット                 5000 :  6000 :       "),
        sj("   △  :  引分             パイロット                 5001 :  6001 :       "),
        sj("   －  :  不戦             パイロット                 5002 :  6002 :       "),
        std::string(78, '-'),
        "",
        sj("【チーム２】"),
        std::string(78, '-'),
        sj(" 結果     オーナー         パイロット                 機体  所持金   状態"),
        std::string(78, '-'),
        sj("   ×  :  敗者             パイロット                 5000 :  6000 : 死亡  "),
        sj("   △  :  引分２           パイロット                 5001 :  6001 :       "),
        std::string(78, '-'),
        "",
        sj("２ 対 ０ で チーム１ が勝ちました（うち、１試合が不戦勝です）！！ おめでとうございます。"),
        sj("\r\n\t\t\t\t\t技術部／試験場"),
    };
    EXPECT_EQ(lines, expected);

    // Team 2 ahead without walkovers; then equal counts.
    row(0, 2, "不戦", 0, 0);
    row(1, 1, "勝者２", 2, 0);
    row(1, 2, "勝者３", 1, 0);
    lines = teamfight::resultTables(settings_, teams_, {0, 0});
    EXPECT_EQ(lines[lines.size() - 2], sj("２ 対 １ で チーム２ が勝ちました！！ おめでとうございます。"));
    row(1, 2, "引分", 0, 1);
    lines = teamfight::resultTables(settings_, teams_, {0, 0});
    EXPECT_EQ(lines[lines.size() - 2], sj("１ 対 １ で引き分けです。両チームともご苦労様でした。"));
    // Left member 3 won its bout by walkover (its wins stay 0): a win and a
    // walkover win, 2 to 1 (勝者 and 不戦 against 勝者２).
    row(1, 2, "不在", 0, 0);
    teams_.Bouts = {{{0, 0}, 0, false}, {{1, 1}, 1, false}, {{2, 2}, 0, true}};
    lines = teamfight::resultTables(settings_, teams_, {0, 0});
    EXPECT_EQ(lines[7], sj("   ○  :  不戦             パイロット                 5002 :  6002 :       "));
    EXPECT_EQ(lines[lines.size() - 2],
              sj("２ 対 １ で チーム１ が勝ちました（うち、１試合が不戦勝です）！！ おめでとうございます。"));
}

TEST_F(TeamLogic, WinnerStaysResultTable) {
    settings_.Options[OptTeamBattleWinnerStays] = 1;
    teams_.reset(3);
    row(0, 0, "一番", 12, 0, "死亡");
    row(0, 1, "二番", 0, 2, "古い状態");
    row(1, 0, "三番", 0, 0, "脱出");
    modes::Lines lines = teamfight::resultTables(settings_, teams_, {1, 3});
    EXPECT_EQ(lines[3], sj(" 勝数     オーナー         パイロット                 機体  所持金   状態"));
    EXPECT_EQ(lines[5], sj(" １２  :  一番             パイロット                 5000 :  6000 : 死亡  "));
    EXPECT_EQ(lines[6], sj(" －－  :  二番             パイロット                 5001 :  6001 :       "));
    EXPECT_EQ(lines[13], sj("   ０  :  三番             パイロット                 5000 :  6000 : 脱出  "));
    // The smaller member index won, by the other's index to its own.
    EXPECT_EQ(lines[lines.size() - 2], sj("３ 対 １ で チーム１ が勝ちました！！ おめでとうございます。"));
    lines = teamfight::resultTables(settings_, teams_, {3, 0});
    EXPECT_EQ(lines[lines.size() - 2], sj("３ 対 ０ で チーム２ が勝ちました！！ おめでとうございます。"));
    lines = teamfight::resultTables(settings_, teams_, {3, 3});
    EXPECT_EQ(lines[lines.size() - 2], sj("３ 対 ３ で引き分けです。両チームともご苦労様でした。"));
}

TEST_F(TeamLogic, BoutLinesOfTheBoard) {
    teams_.reset(3);
    // Winner stays: left 1 beat right 1, then won against right 2 by
    // walkover (its wins stay 1), lost to right 3, who drew with left 2.
    // Drawn as the run decided them, whatever the rows' wins say.
    row(0, 0, "a", 1, 0);
    row(1, 2, "f", 1, 1);
    teams_.Bouts = {{{0, 0}, 0, false}, {{0, 1}, 0, true}, {{0, 2}, 1, false}, {{1, 2}, teamfight::NoSide, false}};
    std::vector<BoutLine> expected{{{0, 0}, 1}, {{0, 1}, 1}, {{0, 2}, 2}, {{1, 2}, 6}};
    EXPECT_EQ(teamfight::boutLines(teams_), expected);
    // A new board has no bouts.
    teams_.reset(3);
    EXPECT_TRUE(teamfight::boutLines(teams_).empty());
}

TEST_F(TeamLogic, ClearingAnEarlierRunsOutputs) {
    for (const char* f : {"a.da1", "B.DA2", "c.dat", "d.daT", "x.txt", "mine.da1", "e.da12"})
        testsupport::writeFile(path(std::string("out/") + f), "x");
    for (const char* f : {"rw_001_001.txt", "RW_002.log", "keep.txt"})
        testsupport::writeFile(path(std::string("result/") + f), "x");
    std::filesystem::create_directories(path("out/sub.da1"));
    teamfight::Registration r(teams_);
    r.decide(3);
    r.put({0, 0}, akFolder(), "ak01.dat");
    teamfight::clearOldOutputs(scratch() + "out", resultFolder(), teams_);
    // e.da12 is the output of a member's twelfth win (outputs run to .da98).
    for (const char* gone : {"out/a.da1", "out/B.DA2", "out/e.da12", "out/mine.da1", "result/rw_001_001.txt",
                             "result/RW_002.log"})
        EXPECT_FALSE(std::filesystem::exists(path(gone))) << gone;
    for (const char* kept : {"out/c.dat", "out/d.daT", "out/x.txt", "out/sub.da1", "result/keep.txt"})
        EXPECT_TRUE(std::filesystem::exists(path(kept))) << kept;

    // A member entered straight from the output folder keeps its file, and
    // there the output AK files of players outside the event stay too; only
    // the members' old outputs go.
    for (const char* f : {"a.da1", "mine.da1", "mine.da2", "MINE.da3"})
        testsupport::writeFile(path(std::string("out/") + f), "x");
    r.put({1, 2}, scratch() + "out", "MINE.da1");
    teamfight::clearOldOutputs(scratch() + "out", resultFolder(), teams_);
    for (const char* kept : {"out/a.da1", "out/mine.da1"}) EXPECT_TRUE(std::filesystem::exists(path(kept))) << kept;
    for (const char* gone : {"out/mine.da2", "out/MINE.da3"})
        EXPECT_FALSE(std::filesystem::exists(path(gone))) << gone;
}

TEST_F(TeamLogic, StartReadsTheRowsAgainAndWritesBothEntryLists) {
    modes::ModeSetup setup(modes::modeInfo(modes::ModeKind::TeamBattle), settings_, header_, sources_);
    ASSERT_TRUE(setup.startSystem());
    teamfight::Registration r(teams_);
    r.decide(3);
    r.put({0, 0}, akFolder(), "ak01.dat");
    r.put({0, 2}, akFolder(), "ak02.dat");
    r.put({1, 1}, akFolder(), "ak03.dat");
    EntryRecord& first = *teams_.Side[0][0].row();
    first.Stage = 3;
    first.Draws = 1;
    sjis::writeField(first.StatusText, "old");
    teamfight::refreshRows(teams_);
    EXPECT_EQ(+first.Stage, 0);
    EXPECT_EQ(+first.Draws, 0);
    EXPECT_EQ(sjis::readField(first.StatusText), "");
    EXPECT_EQ(pilot(0, 0), "アレックス・ロウ");
    EXPECT_EQ(+first.MachineValue, 5000);

    modes::EntrantList check = teams_.checkList();
    ASSERT_EQ(check.size(), 3u);
    EXPECT_EQ(check[2].Path, akFolder() + "\\ak03.dat");

    teamfight::writeTeamEntryLists(settings_, header_, teams_, setup.buffer());
    std::string one = testsupport::readFile(path("result/teamentry1.txt"));
    std::string two = testsupport::readFile(path("result/teamentry2.txt"));
    EXPECT_NE(one.find(sj("アレックス・ロウ")), std::string::npos);
    EXPECT_NE(one.find(sj("ミカ・ホクト")), std::string::npos);
    EXPECT_EQ(one.find(sj("レン・カザマ")), std::string::npos);
    EXPECT_NE(two.find(sj("レン・カザマ")), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path("result/entrylist.txt")));
    // Empty slots are no files to report missing.
    EXPECT_TRUE(plat::notify::recorded().empty());
}

TEST_F(TeamLogic, MembersThatNeverFoughtAreReadAgain) {
    teamfight::Registration r(teams_);
    r.decide(3);
    r.put({0, 0}, akFolder(), "ak01.dat");
    r.put({0, 1}, akFolder(), "ak02.dat");
    EntryRecord& waiting = *teams_.Side[0][0].row();
    EntryRecord& fought = *teams_.Side[0][1].row();
    waiting.Draws = 2;
    waiting.TotalCr = 0;
    fought.Draws = 0;
    fought.TotalCr = 0;
    teamfight::refreshNeverFought(teams_);
    EXPECT_EQ(+waiting.MachineValue, 5000);
    EXPECT_EQ(+waiting.TotalCr, 6200);
    EXPECT_EQ(+fought.TotalCr, 0);
}

} // namespace
