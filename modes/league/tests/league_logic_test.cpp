// The league's logic without matches: pairings and logs, the shuffle, the
// counting of outcomes, win rates and standings, the log clean-up and the
// tables' layout.
#include "modes/frame/match.h"
#include "modes/frame/standings.h"
#include "modes/frame/tables.h"
#include "modes/frame/tests/modetest.h"
#include "modes/league/leaguelogic.h"

#include <cstring>
#include <filesystem>

namespace {

using namespace modetest;
using testsupport::sj;

EntryRecord row(const char* owner, const char* pilot, int32_t wins, int32_t losses, int32_t draws = 0) {
    EntryRecord r{};
    sjis::writeField(r.OwnerName, sj(owner));
    sjis::writeField(r.PilotName, sj(pilot));
    r.Wins = wins;
    r.Losses = losses;
    r.Draws = draws;
    return r;
}

modes::Entrant entrant(const std::string& path, const EntryRecord& r) {
    modes::Entrant e;
    e.Path = path;
    e.Record = modes::newRow();
    e.Record->Entry = r;
    return e;
}

modes::MatchOutcome outcome(int32_t result, bool destroyed1 = false, bool killed1 = false,
                            bool destroyed2 = false, bool killed2 = false) {
    modes::MatchOutcome o;
    o.Played = true;
    o.Result = result;
    o.AkDestroyed[0] = destroyed1;
    o.PilotKilled[0] = killed1;
    o.AkDestroyed[1] = destroyed2;
    o.PilotKilled[1] = killed2;
    return o;
}

TEST(LeagueLogic, FourEntrantsMeetInSixMatchesWithTheirLogs) {
    EXPECT_EQ(league::matchCount(4), 6);
    EXPECT_EQ(league::matchCount(1), 0);
    EXPECT_EQ(league::matchCount(0), 0);
    std::vector<std::pair<int, int>> expected{{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
    EXPECT_EQ(league::pairings(4), expected);
    EXPECT_EQ(league::logName("C:\\Result", 1, 2), "C:\\Result\\lg_001_002.txt");
    EXPECT_EQ(league::logName("Result\\", 3, 104), "Result\\lg_003_104.txt");
}

TEST(LeagueLogic, ShuffleDrawsFromTheEntriesLeft) {
    modes::EntrantList list;
    for (const char* p : {"a", "b", "c", "d"}) list.push_back(entrant(p, EntryRecord{}));
    std::vector<int> draws{5, 0, 7, 123};
    std::vector<size_t> asked;
    size_t next = 0;
    league::shuffleEntrants(list, [&] { return draws[next++]; });
    // 5 mod 4 = 1 (b); 0 mod 3 = 0 (a); 7 mod 2 = 1 (d); 123 mod 1 = 0 (c).
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].Path, "b");
    EXPECT_EQ(list[1].Path, "a");
    EXPECT_EQ(list[2].Path, "d");
    EXPECT_EQ(list[3].Path, "c");
    EXPECT_EQ(next, 4u);
    for (const modes::Entrant& e : list) EXPECT_NE(e.row(), nullptr); // rows travel with their paths
}

TEST(LeagueLogic, CountingOfOutcomes) {
    EntryRecord a{}, b{};
    // Side 1 wins and destroys side 2's AK and kills its pilot.
    league::countResult(a, b, outcome(0, false, false, true, true));
    EXPECT_EQ(+a.Wins, 1);
    EXPECT_EQ(+b.Losses, 1);
    EXPECT_EQ(+a.Destroyed, 1);
    EXPECT_EQ(+a.Kills, 1);
    EXPECT_EQ(+b.OwnAkDestroyed, 1);
    EXPECT_EQ(+b.OwnPilotKilled, 1);
    // Side 2 wins by decision: side 1's state is read, nothing destroyed.
    league::countResult(a, b, outcome(1, false, false, true, true));
    EXPECT_EQ(+b.Wins, 1);
    EXPECT_EQ(+a.Losses, 1);
    EXPECT_EQ(+b.Destroyed, 0);
    EXPECT_EQ(+b.Kills, 0);
    EXPECT_EQ(+a.OwnAkDestroyed, 0);
    // A draw counts for both and changes no destroyed or killed counter.
    league::countResult(a, b, outcome(2, true, true, true, true));
    EXPECT_EQ(+a.Draws, 1);
    EXPECT_EQ(+b.Draws, 1);
    EXPECT_EQ(+a.Destroyed, 1);
    EXPECT_EQ(+b.OwnAkDestroyed, 1);
    // No result (or a match not played) counts nothing.
    EntryRecord before = a;
    league::countResult(a, b, modes::MatchOutcome{});
    league::countResult(a, b, outcome(7));
    EXPECT_EQ(std::memcmp(&before, &a, sizeof a), 0);
}

TEST(LeagueLogic, WinRatesOverTheMatchesPlayedAndStandings) {
    modes::EntrantList list;
    list.push_back(entrant("1", row("一", "A", 1, 2)));
    list.push_back(entrant("2", row("二", "B", 3, 0)));
    list.push_back(entrant("3", row("三", "C", 1, 2)));
    list.push_back(entrant("4", row("四", "D", 1, 2)));
    // Won its one match, then its file went missing.
    list.push_back(entrant("5", row("五", "E", 1, 0)));
    list[4].Absent = true;
    for (int i = 0; i < 4; ++i) list[static_cast<size_t>(i)].row()->Battles = 3;
    list[4].row()->Battles = 1;
    list[0].row()->Destroyed = 1;
    list[3].row()->OwnPilotKilled = 1;
    league::computeWinRates(list);
    EXPECT_EQ(+list[1].row()->Stage, 100); // 3·100/3
    EXPECT_EQ(+list[0].row()->Stage, 33);  // 1·100/3
    EXPECT_EQ(+list[4].row()->Stage, 100); // 1·100/1
    std::vector<const modes::Entrant*> order = modes::standings(list);
    ASSERT_EQ(order.size(), 5u);
    EXPECT_EQ(order[0], &list[1]); // most wins
    EXPECT_EQ(order[1], &list[0]); // same record, more AKs destroyed
    EXPECT_EQ(order[2], &list[2]);
    EXPECT_EQ(order[3], &list[3]); // own pilot killed
    EXPECT_EQ(order[4], &list[4]); // absent: last, whatever its record

    // Without a match (one entrant alone): no division by zero, rate 0.
    modes::EntrantList alone;
    alone.push_back(entrant("1", row("一", "A", 0, 0)));
    league::computeWinRates(alone);
    EXPECT_EQ(+alone[0].row()->Stage, 0);
}

TEST(LeagueLogic, ResultTableLayout) {
    GameSettings gs{};
    sjis::writeField(gs.OrganiserName, sj("主催"));
    sjis::writeField(gs.StadiumName, sj("会場"));
    EntryRecord r = row("とても長いオーナーの名前です", "パイロット", 2, 1, 1);
    r.MachineValue = 12345;
    r.Stage = 66;
    r.Destroyed = 1;
    r.Kills = 2;
    r.OwnAkDestroyed = 3;
    r.OwnPilotKilled = 4;
    modes::EntrantList list;
    list.push_back(entrant("1", r));
    list.push_back(entrant("2", r));
    list[1].Absent = true;
    modes::Lines lines = league::resultTable(gs, modes::standings(list));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], sj("【結果】\r\n"));
    EXPECT_EQ(lines[3], std::string(78, '-'));
    // Names cut to 16 bytes after the half-width conversion (kana too).
    EXPECT_EQ(lines[5], std::string(78, '-'));
    EXPECT_EQ(lines[6], sj("  1:ﾄﾃﾓ長ｲｵｰﾅｰﾉ名前ﾃパイロット       12345 :  2 -  1 - 1  66% :  1  2 :  3  4"));
    // An absent entrant's row: the mark in place of its place.
    EXPECT_EQ(lines[7], sj(" －:ﾄﾃﾓ長ｲｵｰﾅｰﾉ名前ﾃパイロット       12345 :  2 -  1 - 1  66% :  1  2 :  3  4"));
    EXPECT_EQ(lines[9], sj("\r\n\t\t\t\t\t主催／会場"));
    // With option 39 the full width is kept and the cut falls on a character.
    gs.Options[OptNoFullToHalf] = 1;
    EXPECT_EQ(league::resultTable(gs, modes::standings(list))[6].substr(4, 16), sj("とても長いオーナ"));
}

class LeagueFiles : public ModeTest {};

TEST_F(LeagueFiles, OldLeagueLogsGoOtherFilesStay) {
    for (const char* f : {"lg_001_002.txt", "lg_001_002.htm", "LG_003_004.chk", "League.txt", "digest.mom"})
        testsupport::writeFile(path(std::string("result/") + f), "x");
    std::filesystem::create_directories(path("result/lg_folder"));
    league::deleteLeagueLogs(resultFolder());
    EXPECT_FALSE(std::filesystem::exists(path("result/lg_001_002.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/lg_001_002.htm")));
    EXPECT_FALSE(std::filesystem::exists(path("result/LG_003_004.chk")));
    EXPECT_TRUE(std::filesystem::exists(path("result/League.txt")));
    EXPECT_TRUE(std::filesystem::exists(path("result/digest.mom")));
    EXPECT_TRUE(std::filesystem::exists(path("result/lg_folder")));
}

TEST_F(LeagueFiles, EntryTableNumbersByPlaceAndResetsNothing) {
    makeConf();
    modes::EntrantList list;
    EntryRecord r = row("オーナー", "パイロット", 7, 0);
    sjis::writeField(r.Sex, sj("女性"));
    r.Age = 30;
    r.Battles = 12;
    r.MachineValue = 4200;
    list.push_back(entrant("a", r));
    list.push_back(entrant("b", r));
    modes::Lines lines = league::entryTable(header_, settings_, list, fixedTime());
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], sj("テストリーグ／総当たり\r\n\t\t\t\t\t\t\t(2026/4/5 13:7:9)\r\n"));
    EXPECT_EQ(lines[1], sj("【エントリー】\r\n"));
    EXPECT_EQ(lines[3], sj("    オーナー        パイロット            性別       年齢  試合  勝利    機体"));
    EXPECT_EQ(lines[5], sj("  1:オーナー        パイロット            女性      :  30 :  12 :   7 :  4200"));
    EXPECT_EQ(lines[6].substr(0, 4), "  2:");
    EXPECT_EQ(+list[0].row()->Wins, 7);
}

} // namespace
