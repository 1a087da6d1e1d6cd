// The tournament's rules without matches: the random order, the names of
// logs and intermediate AK files, pilot numbers, walkovers and designated
// wins, the status columns of a heading, the ranking and the clean-up of an
// earlier event's outputs.
#include "modes/brackets/tourlogic.h"
#include "modes/frame/tests/modetest.h"

#include <filesystem>

namespace {

using namespace modetest;
using testsupport::sj;

modes::Entrant named(const std::string& path, const char* owner, const char* pilot, int32_t stage) {
    modes::Entrant e;
    e.Path = path;
    e.Record = modes::newRow();
    sjis::writeField(e.Record->Entry.OwnerName, sj(owner));
    sjis::writeField(e.Record->Entry.PilotName, sj(pilot));
    e.Record->Entry.Stage = stage;
    e.Record->Entry.MachineValue = 1000 + stage;
    e.Record->Entry.TotalCr = 2000 + stage;
    return e;
}

TArmoredKnight ak(const char* owner, const char* pilot, int32_t value, const char* profile = "") {
    TArmoredKnight a{};
    sjis::writeField(a.Owner.Name, sj(owner));
    sjis::writeField(a.Pilot.Name, sj(pilot));
    sjis::writeField(a.Pilot.Profile, sj(profile));
    a.MachineValue = value;
    return a;
}

TEST(TourLogic, ShuffleDrawsFromTheEntriesLeft) {
    modes::EntrantList list;
    for (const char* p : {"a", "b", "c", "d"}) list.push_back(named(p, "o", "p", 0));
    std::vector<int> draws{5, 0, 7, 123};
    size_t next = 0;
    brackets::shuffleEntrants(list, [&] { return draws[next++]; });
    // 5 % 4 = 1 (b); 0 % 3 = 0 (a); 7 % 2 = 1 (d); c.
    std::vector<std::string> order;
    for (const auto& e : list) order.push_back(e.Path);
    EXPECT_EQ(order, (std::vector<std::string>{"b", "a", "d", "c"}));
    EXPECT_EQ(next, 4u);
    // The general generator with a fixed seed gives the same order again.
    auto shuffled = [] {
        modes::EntrantList l;
        for (int i = 0; i < 10; ++i) l.push_back(named(std::to_string(i), "o", "p", 0));
        plat::random::seed(77);
        brackets::shuffleEntrants(l, [] { return plat::random::next(); });
        std::string s;
        for (const auto& e : l) s += e.Path;
        return s;
    };
    std::string once = shuffled();
    EXPECT_EQ(shuffled(), once);
    EXPECT_NE(once, "0123456789");
    std::string sorted = once;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, "0123456789");
}

TEST(TourLogic, EntrantRowsHaveDistinctOutputNames) {
    const std::vector<std::string> files{"ak01.dat", "ak01.da1", "AK01.DA2", "ak02.dat", "ak03.dat"};
    EXPECT_EQ(modes::distinctStemRows(files, 3), (std::vector<size_t>{0, 3, 4}));
    EXPECT_EQ(modes::distinctStemRows(files, 2), (std::vector<size_t>{0, 3}));
    EXPECT_EQ(modes::distinctStemRows(files, 10), (std::vector<size_t>{0, 3, 4}));
    EXPECT_TRUE(modes::distinctStemRows(files, 0).empty());
    // A stem an entrant already has is taken too: ak03 is passed over.
    modes::EntrantList taken(2);
    taken[1].Path = "other\\AK03.da1";
    EXPECT_EQ(modes::distinctStemRows(files, 3, taken), (std::vector<size_t>{0, 3}));
}

TEST(TourLogic, LabelsTitlesAndNames) {
    EXPECT_EQ(brackets::fullWidthNumber(12), sj("１２"));
    EXPECT_EQ(brackets::roundLabel(1, 4), sj("１回戦"));
    EXPECT_EQ(brackets::roundLabel(2, 4), sj("２回戦"));
    EXPECT_EQ(brackets::roundLabel(3, 4), sj("準決勝"));
    EXPECT_EQ(brackets::roundLabel(1, 2), sj("準決勝"));
    ConfHeader h{};
    sjis::writeField(h.ConfName, sj("春の大会"));
    EXPECT_EQ(brackets::matchTitle(h, sj("決勝戦"), 7), sj("春の大会：【決勝戦／第７試合】"));
    EXPECT_EQ(brackets::logName("C:\\Result", 2, 13), "C:\\Result\\tm_02_013.txt");
    EXPECT_EQ(brackets::logName("Result\\", 12, 1000), "Result\\tm_12_1000.txt");
}

TEST(TourLogic, PilotNumbersFromTheProfile) {
    EXPECT_EQ(brackets::pilotNumber(sj("（１）一番手")), 1);
    EXPECT_EQ(brackets::pilotNumber(sj("（１２）")), 12);
    EXPECT_EQ(brackets::pilotNumber(sj("（３")), 3); // no closing bracket: to the end
    EXPECT_EQ(brackets::pilotNumber(sj("（0７）")), 7);
    EXPECT_EQ(brackets::pilotNumber(sj("（１漢２）")), 1); // no half-width form: reading stops
    EXPECT_EQ(brackets::pilotNumber(sj("（Ａ１）")), 0);   // not a number
    EXPECT_EQ(brackets::pilotNumber(sj("(1)")), 0);        // half-width bracket
    EXPECT_EQ(brackets::pilotNumber(sj(" （１）")), 0);
    EXPECT_EQ(brackets::pilotNumber(""), 0);
    EXPECT_EQ(brackets::pilotNumber(sj("（")), 0);
    EXPECT_EQ(brackets::pilotNumber(sj("（９９９９９９９９９９９９）")), INT32_MAX);
    // A lone lead byte at the end never reads past the text.
    EXPECT_EQ(brackets::pilotNumber(sj("（１") + "\x82"), 1);
}

TEST(TourLogic, WalkoversAndDesignatedWins) {
    const TArmoredKnight a = ak("田中", "アレックス", 5000, "（２）二番手");
    const TArmoredKnight b = ak("田中", "ベル", 4000, "（１）一番手");
    const TArmoredKnight other = ak("佐藤", "カイ", 3000, "（１）");
    const TArmoredKnight noPilot = ak("田中", "", 3000);
    const TArmoredKnight noValue = ak("田中", "ダン", 0);

    using brackets::decideWalkover;
    EXPECT_EQ(decideWalkover(true, a, true, other, true).Decision, brackets::PlayMatch);
    // Exactly one side can fight.
    brackets::Walkover w = decideWalkover(true, a, false, TArmoredKnight{}, true);
    EXPECT_EQ(w.Decision, 0);
    EXPECT_EQ(std::string(w.Label), sj("不戦勝"));
    EXPECT_EQ(decideWalkover(true, noPilot, true, other, false).Decision, 1);
    EXPECT_EQ(decideWalkover(true, a, true, noValue, false).Decision, 0);
    // An AK of a side without an entrant never counts.
    EXPECT_EQ(decideWalkover(false, a, true, other, false).Decision, 1);
    EXPECT_EQ(decideWalkover(true, noPilot, true, noValue, true).Decision, brackets::NobodyAdvances);
    EXPECT_EQ(decideWalkover(false, a, false, b, true).Decision, brackets::NobodyAdvances);
    // Same owner with option 41: the smaller pilot number wins.
    w = decideWalkover(true, a, true, b, true);
    EXPECT_EQ(w.Decision, 1);
    EXPECT_EQ(std::string(w.Label), sj("勝指定"));
    EXPECT_EQ(decideWalkover(true, b, true, a, true).Decision, 0);
    EXPECT_EQ(decideWalkover(true, a, true, b, false).Decision, brackets::PlayMatch);
    // Equal numbers, a missing number, or different owners: played.
    EXPECT_EQ(decideWalkover(true, b, true, ak("田中", "エド", 10, "（１）"), true).Decision,
              brackets::PlayMatch);
    EXPECT_EQ(decideWalkover(true, a, true, ak("田中", "エド", 10, "一番"), true).Decision,
              brackets::PlayMatch);
    EXPECT_EQ(decideWalkover(true, a, true, other, true).Decision, brackets::PlayMatch);
}

TEST(TourLogic, StatusColumnsAreNineBytes) {
    EXPECT_EQ(brackets::statusColumn(sj("撃破"), 0, false), "---------");
    EXPECT_EQ(brackets::statusColumn(sj("撃破"), 0, true), sj("撃破") + "-----");
    EXPECT_EQ(brackets::statusColumn(sj("撃破"), 1, true), "-----" + sj("撃破"));
    EXPECT_EQ(brackets::statusColumn("", 1, true), "---------");
    // Longer texts are cut on a character boundary and filled up.
    EXPECT_EQ(brackets::statusColumn(sj("機体大破脱出"), 0, true), sj("機体大破") + "-");
    EXPECT_EQ(brackets::statusColumn(sj("機体大破脱出"), 1, true), "-" + sj("機体大破"));
    EXPECT_EQ(brackets::statusColumn("ABCDEFGHIJK", 1, true), "ABCDEFGHI");
}

TEST(TourLogic, RankingByStageWithSharedLabels) {
    modes::EntrantList list;
    list.push_back(named("a", "オーナーA", "パイロットA", 2));
    list.push_back(named("b", "オーナーB", "パイロットB", 6));
    list.push_back(named("", "", "", 0));
    list.back().Record.reset(); // an absent entrant
    list.push_back(named("c", "オーナーC", "パイロットC", 2));
    list.push_back(named("d", "オーナーD", "パイロットD", 5));
    list.push_back(named("e", "オーナーE", "パイロットE", 1));
    sjis::writeField(list[3].Record->Entry.StatusText, sj("死亡"));
    GameSettings s{};
    sjis::writeField(s.OrganiserName, sj("主催"));
    sjis::writeField(s.StadiumName, sj("会場"));
    modes::Lines t = brackets::rankingTable(s, list);
    ASSERT_EQ(t.size(), 4u + 5u + 2u);
    EXPECT_EQ(t[0], sj("\r\n\r\n【トーナメント戦順位】\r\n"));
    EXPECT_EQ(t[1], std::string(78, '-'));
    EXPECT_EQ(t[4], sj(" 優勝  :  オーナーB        パイロットB                1006 :  2006 :       "));
    EXPECT_EQ(t[5].substr(0, 10), sj("準優勝 :  "));
    EXPECT_EQ(t[6].substr(0, 10), sj("   3位 :  "));
    EXPECT_EQ(t[6].substr(10, 9), sj("オーナーA"));
    EXPECT_EQ(t[7].substr(0, 10), "       :  "); // the same Stage shares the place
    EXPECT_EQ(t[7].substr(t[7].size() - 8), sj(": 死亡  "));
    EXPECT_EQ(t[8].substr(0, 10), sj("   5位 :  "));
    EXPECT_EQ(t[9], std::string(78, '-'));
    EXPECT_EQ(t[10], sj("\r\n\t\t\t\t\t主催／会場"));

    // A runner-up level with the champion gets no label.
    list.clear();
    list.push_back(named("a", "A", "A", 4));
    list.push_back(named("b", "B", "B", 4));
    t = brackets::rankingTable(s, list);
    EXPECT_EQ(t[5].substr(0, 9), "       : ");
}

TEST(TourLogic, OldOutputsAreDeleted) {
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir.path() / "out");
    std::filesystem::create_directories(dir.path() / "res");
    for (const char* f : {"out/a.da1", "out/a.da2", "out/b.daT", "out/c.dat", "out/d.txt", "out/e.da10",
                          "res/tm_01_001.txt", "res/tm_old", "res/tm_02_002.chk", "res/Tournament.txt"})
        testsupport::writeFile(dir.path() / f, "x");
    std::filesystem::create_directories(dir.path() / "out/f.da3"); // a folder stays
    // An entrant playing with an output-named file of the output folder keeps it.
    modes::EntrantList keep;
    keep.push_back(named(dir.folder() + "out/a.da2", "o", "p", 0));
    brackets::deleteOldOutputs(dir.folder() + "out", dir.folder() + "res", keep);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "out/a.da1"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "out/a.da2"));
    for (const char* f : {"out/b.daT", "out/c.dat", "out/d.txt", "out/e.da10", "out/f.da3", "res/tm_old",
                          "res/Tournament.txt"})
        EXPECT_TRUE(std::filesystem::exists(dir.path() / f)) << f;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "res/tm_01_001.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "res/tm_02_002.chk"));
    // Empty folder texts delete nothing.
    testsupport::writeFile(dir.path() / "out/g.da1", "x");
    brackets::deleteOldOutputs("", "", {});
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "out/g.da1"));

    // The output folder is the entrants' input folder: the AK files of
    // players outside the event stay; the entrants' old outputs go.
    std::filesystem::create_directories(dir.path() / "ak");
    for (const char* f :
         {"ak/a.dat", "ak/a.da1", "ak/a.da2", "ak/a.da10", "ak/b.da1", "ak/other.da1", "ak/other.da2"})
        testsupport::writeFile(dir.path() / f, "x");
    modes::EntrantList entrants;
    entrants.push_back(named(dir.folder() + "ak\\a.dat", "o", "p", 0));
    entrants.push_back(named(dir.folder() + "ak\\b.da1", "o", "q", 0));
    brackets::deleteOldOutputs(dir.folder() + "ak", dir.folder() + "res", entrants);
    for (const char* f : {"ak/a.dat", "ak/b.da1", "ak/other.da1", "ak/other.da2"})
        EXPECT_TRUE(std::filesystem::exists(dir.path() / f)) << f;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "ak/a.da1"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "ak/a.da2"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "ak/a.da10")); // outputs run to .da98

    // The same with the folders as a conf stores them, relative to the
    // program folder (not to the current one).
    const std::string programFolder = plat::programFolder();
    plat::setProgramFolder(dir.folder());
    testsupport::writeFile(dir.path() / "ak/a.da1", "x");
    entrants.clear();
    entrants.push_back(named("ak\\a.dat", "o", "p", 0));
    brackets::deleteOldOutputs("ak", "res", entrants);
    plat::setProgramFolder(programFolder);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "ak/a.da1"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "ak/other.da1"));
}

} // namespace
