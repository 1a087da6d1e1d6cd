// The simulation's rules without a display: the simulation count, the own
// AK's acceptance and summary, the start rule, the enemy list (no path
// twice, never the own AK, removal, sorting, the start's clean-up), the
// counting of a match, the win-rate bands with their verdict lines and the
// result table's grouping.
#include "modes/frame/akrows.h"
#include "modes/frame/imports.h"
#include "modes/frame/standings.h"
#include "modes/frame/tests/modetest.h"
#include "modes/frame/textfmt.h"
#include "modes/gauntlet/gauntletlogic.h"

#include <filesystem>

namespace {

using namespace modetest;
using testsupport::sj;

TEST(GauntletCount, ReadLikeAtolAndClampedForTheRun) {
    EXPECT_EQ(gauntlet::readCount("20"), 20);
    EXPECT_EQ(gauntlet::readCount("  7x"), 7);
    EXPECT_EQ(gauntlet::readCount("-3"), -3);
    EXPECT_EQ(gauntlet::readCount("abc"), 0);
    EXPECT_EQ(gauntlet::readCount(""), 0);
    EXPECT_EQ(gauntlet::readCount("99999999999999"), 2147483647);
    EXPECT_EQ(gauntlet::readCount("-99999999999999"), -2147483647 - 1);
    // A count typed as 3 runs 5 matches per enemy; 500 runs 100.
    EXPECT_EQ(gauntlet::simulationCount("3"), 5);
    EXPECT_EQ(gauntlet::simulationCount("500"), 100);
    EXPECT_EQ(gauntlet::simulationCount("abc"), 5);
    EXPECT_EQ(gauntlet::simulationCount("-50"), 5);
    EXPECT_EQ(gauntlet::simulationCount("42"), 42);
}

TEST(GauntletPaths, CaseIgnoredForLettersOnly) {
    EXPECT_TRUE(gauntlet::samePath("C:\\Ak\\AK01.DAT", "c:\\ak\\ak01.dat"));
    EXPECT_FALSE(gauntlet::samePath("ak01.dat", "ak01.da"));
    // "ア" is 83 41 and "ヂ" 83 61: their second bytes are 'A' and 'a',
    // which must not be folded.
    ASSERT_EQ(sj("ヂ"), "\x83\x61");
    EXPECT_FALSE(gauntlet::samePath(sj("ア.dat"), sj("ヂ.dat")));
    EXPECT_TRUE(gauntlet::samePath(sj("ア.dat"), sj("ア.DAT")));
}

// ---- Bands and the result table -----------------------------------------------

EntryRecord enemyRow(const char* owner, const char* pilot, int32_t value, int32_t wins, int32_t losses,
                     int32_t draws) {
    EntryRecord r{};
    sjis::writeField(r.OwnerName, sj(owner));
    sjis::writeField(r.PilotName, sj(pilot));
    r.MachineValue = value;
    r.Wins = wins;
    r.Losses = losses;
    r.Draws = draws;
    return r;
}

modes::Entrant enemy(const EntryRecord& r, bool absent = false) {
    modes::Entrant e;
    e.Record = modes::newRow();
    e.Record->Entry = r;
    e.Absent = absent;
    return e;
}

TEST(GauntletBands, WinRatesFallIntoFiveBands) {
    // With 20 matches, 17 wins give 85% (band 4), 16 give 80% (band 4), 15
    // give 75% (band 3); an enemy never fought (its file went missing) 0%.
    modes::EntrantList list;
    for (int32_t wins : {17, 16, 15, 0}) {
        EntryRecord r{};
        r.Wins = wins;
        r.Battles = wins ? 20 : 0;
        list.push_back(enemy(r));
    }
    list.push_back(modes::Entrant{"no row", nullptr});
    gauntlet::computeWinRates(list);
    EXPECT_EQ(+list[0].row()->Stage, 85);
    EXPECT_EQ(+list[1].row()->Stage, 80);
    EXPECT_EQ(+list[2].row()->Stage, 75);
    EXPECT_EQ(+list[3].row()->Stage, 0);
    EXPECT_EQ(gauntlet::band(85), 4);
    EXPECT_EQ(gauntlet::band(80), 4);
    EXPECT_EQ(gauntlet::band(75), 3);
    EXPECT_EQ(gauntlet::band(100), 4);
    EXPECT_EQ(gauntlet::band(59), 2);
    EXPECT_EQ(gauntlet::band(20), 1);
    EXPECT_EQ(gauntlet::band(19), 0);
    EXPECT_EQ(gauntlet::band(-1), 0);
}

TEST(GauntletBands, VerdictLinesAre78Bytes) {
    for (int b = 0; b < 5; ++b) EXPECT_EQ(gauntlet::verdictLine(b).size(), 78u) << b;
    std::string four = sj("-- ↑ ◎ ") +
                       std::string(69 - sj(" 確実に勝てそうですね。ＭＴＬも頂き！？").size(), '-') +
                       sj(" 確実に勝てそうですね。ＭＴＬも頂き！？");
    EXPECT_EQ(gauntlet::verdictLine(4), four);
    EXPECT_EQ(gauntlet::verdictLine(0).substr(0, 9), sj("-- ↑ × "));
    EXPECT_NE(gauntlet::verdictLine(0).find(sj(" 負けは確実？ヘタをするとドーラーも危険ですよ！")),
              std::string::npos);
}

TEST(GauntletTables, RowsGroupedByBandWithTheVerdictBelow) {
    GameSettings settings{};
    sjis::writeField(settings.OrganiserName, sj("技術部"));
    sjis::writeField(settings.StadiumName, sj("試験場"));
    // Sorted into bands 4, 4, 2; an enemy whose file went missing (no
    // match, 0 losses, which would rank it above 丙) follows the bands.
    modes::EntrantList list;
    list.push_back(enemy(enemyRow("丁", "四号", 4000, 0, 0, 0), true));
    list.push_back(enemy(enemyRow("丙", "三号", 3000, 9, 10, 1)));
    list.push_back(enemy(enemyRow("甲", "一号", 1000, 18, 2, 0)));
    list.push_back(enemy(enemyRow("乙", "二号", 2000, 16, 3, 1)));
    EntryRecord& c = *list[1].row();
    c.Destroyed = 4;
    c.Kills = 1;
    c.OwnAkDestroyed = 7;
    c.OwnPilotKilled = 2;
    for (modes::Entrant& e : list) e.row()->Battles = e.Absent ? 0 : 20;
    // 18·100/20 = 90, 16·100/20 = 80, 9·100/20 = 45.
    gauntlet::computeWinRates(list);
    modes::Lines lines = gauntlet::resultTable(settings, modes::standings(list));
    modes::Lines expected{"",
                          "",
                          sj("【結果】\r\n"),
                          std::string(78, '-'),
                          sj("    オーナー        パイロット        機体   勝   負  分 勝率  破  殺  誘  死"),
                          std::string(78, '-'),
                          sj("  1:甲              一号              1000 : 18 -  2 - 0  90% :  0  0 :  0  0"),
                          sj("  2:乙              二号              2000 : 16 -  3 - 1  80% :  0  0 :  0  0"),
                          gauntlet::verdictLine(4),
                          "",
                          sj("  3:丙              三号              3000 :  9 - 10 - 1  45% :  4  1 :  7  2"),
                          gauntlet::verdictLine(2),
                          sj(" －:丁              四号              4000 :  0 -  0 - 0   0% :  0  0 :  0  0"),
                          std::string(78, '-'),
                          sj("\r\n\t\t\t\t\t技術部／試験場")};
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(testsupport::u8(lines[i]), testsupport::u8(expected[i])) << i;
}

TEST(GauntletTables, NoEnemyGivesNoRowAndNoVerdict) {
    GameSettings settings{};
    modes::Lines lines = gauntlet::resultTable(settings, {});
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[5], std::string(78, '-'));
    EXPECT_EQ(lines[6], std::string(78, '-'));
}

TEST(GauntletCounting, SeenFromTheOwnAk) {
    EntryRecord r{};
    modes::MatchOutcome won;
    won.Result = 0;
    won.AkDestroyed[1] = true;
    won.PilotKilled[1] = true;
    won.AkDestroyed[0] = true; // the own side's damage does not count on a win
    gauntlet::countMatch(r, won);
    modes::MatchOutcome lost;
    lost.Result = 1;
    lost.AkDestroyed[0] = true;
    lost.PilotKilled[1] = true;
    gauntlet::countMatch(r, lost);
    // A draw changes neither the destroyed nor the killed counters.
    modes::MatchOutcome draw;
    draw.Result = 2;
    draw.AkDestroyed[0] = draw.AkDestroyed[1] = true;
    draw.PilotKilled[0] = draw.PilotKilled[1] = true;
    gauntlet::countMatch(r, draw);
    gauntlet::countMatch(r, modes::MatchOutcome{}); // no result
    EXPECT_EQ(+r.Wins, 1);
    EXPECT_EQ(+r.Losses, 1);
    EXPECT_EQ(+r.Draws, 1);
    EXPECT_EQ(+r.Destroyed, 1);
    EXPECT_EQ(+r.Kills, 1);
    EXPECT_EQ(+r.OwnAkDestroyed, 1);
    EXPECT_EQ(+r.OwnPilotKilled, 0);
}

// ---- With the sample AKs -------------------------------------------------------

class GauntletLogic : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2, 3});
        makeConf();
        rows_ = modes::listAkRows(akFolder(), "*.dat");
        ASSERT_EQ(rows_.size(), 3u);
    }
    std::string pathOf(int n) const { return modes::joinFolder(akFolder(), sampleFile(n)); }
    static std::vector<std::string> files(const gauntlet::EnemyList& list) {
        std::vector<std::string> names;
        for (const modes::Entrant& e : list.entrants())
            names.push_back(e.Path.substr(e.Path.find_last_of('\\') + 1));
        return names;
    }

    std::vector<modes::AkRow> rows_;
};

TEST_F(GauntletLogic, OwnAkSummaryAndFitness) {
    TArmoredKnight ak{};
    ASSERT_EQ(LoadAkData(&ak, pathOf(1).c_str()), 0);
    EXPECT_TRUE(gauntlet::fitToFight(ak));
    modes::Lines lines = gauntlet::akSummary(ak, pathOf(1));
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], sj("名前: アレックス・ロウ"));
    int32_t battles = ak.Pilot.Battles, wins = ak.Pilot.Wins, draws = ak.Pilot.Draws;
    int32_t reaction = ak.Reaction, cash = ak.Cash, movement = ak.Movement;
    EXPECT_EQ(lines[1], modes::format(sj("戦績: %d戦 %d勝 %d敗 %d分    反応: %d").c_str(), battles, wins,
                                      battles - wins - draws, draws, reaction));
    EXPECT_EQ(lines[2],
              modes::format(sj("価値: %dCr.  所持: %dCr    移動: %d").c_str(), 5000, cash, movement));
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], sj(" 1: ビームライフル"));
    EXPECT_EQ(lines[9].substr(0, 4), " 6: ");
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11], sj("ファイル名：") + akFolder() + "/" + sampleFile(1)); // mixed in, one form out

    // A destroyed AK or a dead pilot cannot fight.
    TArmoredKnight dead = ak;
    sjis::writeField(dead.Pilot.Name, "");
    EXPECT_FALSE(gauntlet::fitToFight(dead));
    TArmoredKnight worthless = ak;
    worthless.MachineValue = 0;
    EXPECT_FALSE(gauntlet::fitToFight(worthless));
}

TEST_F(GauntletLogic, StartRule) {
    EXPECT_TRUE(gauntlet::startAllowed(true, "Simulation.txt", settings_, 1));
    EXPECT_FALSE(gauntlet::startAllowed(false, "Simulation.txt", settings_, 1));
    EXPECT_FALSE(gauntlet::startAllowed(true, "Simulation.txt", settings_, 0));
    EXPECT_TRUE(gauntlet::startAllowed(true, "", settings_, 1)); // log output is off
    settings_.Options[OptLogOutput] = 1;
    EXPECT_FALSE(gauntlet::startAllowed(true, "", settings_, 1));
}

TEST_F(GauntletLogic, EnemiesOnceAndNeverTheOwnAk) {
    gauntlet::EnemyList list;
    std::string own = pathOf(1);
    for (const modes::AkRow& row : rows_) list.add(akFolder(), row, own);
    EXPECT_EQ(files(list), (std::vector<std::string>{"ak02.dat", "ak03.dat"}));
    // Again, and with the folder's letters in another case: nothing new.
    for (const modes::AkRow& row : rows_) EXPECT_FALSE(list.add(akFolder(), row, own));
    std::string upper = akFolder();
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_FALSE(list.add(upper, rows_[1], own));
    EXPECT_TRUE(list.contains(upper + "\\AK03.DAT"));
    // The own AK named in another case is not an enemy either.
    gauntlet::EnemyList other;
    EXPECT_FALSE(other.add(akFolder(), rows_[0], upper + "\\AK01.DAT"));
    // Rows are filled from the file heads; the view shows the AK list's texts.
    ASSERT_EQ(list.shown().size(), 2u);
    EXPECT_EQ(list.shown()[0].Pilot, rows_[1].Pilot);
    EXPECT_EQ(list.shown()[0].Value, rows_[1].Value);
    EXPECT_EQ(sjis::readField(list.entrants()[0].row()->PilotName), rows_[1].Pilot);
    EXPECT_EQ(+list.entrants()[0].row()->MachineValue, std::atoi(rows_[1].Value.c_str()));
}

TEST_F(GauntletLogic, RemovingAndSorting) {
    copySamples({4, 5});
    rows_ = modes::listAkRows(akFolder(), "*.dat");
    gauntlet::EnemyList list;
    for (const modes::AkRow& row : rows_) list.add(akFolder(), row, "");
    ASSERT_EQ(list.size(), 5u);

    // The value column sorts by number; a second click reverses it.
    list.sortBy(gauntlet::EnemyColValue);
    for (size_t i = 1; i < list.size(); ++i)
        EXPECT_LE(std::atoi(list.shown()[i - 1].Value.c_str()), std::atoi(list.shown()[i].Value.c_str()));
    list.sortBy(gauntlet::EnemyColValue);
    for (size_t i = 1; i < list.size(); ++i)
        EXPECT_GE(std::atoi(list.shown()[i - 1].Value.c_str()), std::atoi(list.shown()[i].Value.c_str()));
    // Pilot names by their bytes; the rows move with the texts.
    list.sortBy(gauntlet::EnemyColPilot);
    for (size_t i = 0; i < list.size(); ++i) {
        if (i > 0) {
            EXPECT_LE(list.shown()[i - 1].Pilot, list.shown()[i].Pilot);
        }
        EXPECT_EQ(sjis::readField(list.entrants()[i].row()->PilotName), list.shown()[i].Pilot);
    }
    list.sortBy(7); // no such column: nothing happens
    EXPECT_EQ(list.size(), 5u);

    // Rows 1 and 2 go one after the other: the second stood at 1 when it
    // went, so the row that moved up there (the old row 3) is selected.
    // Removing the last row selects the new last one; nothing selected,
    // nothing removed.
    std::vector<std::string> before = files(list);
    EXPECT_EQ(list.remove({2, 1, 2, 9}), 1);
    EXPECT_EQ(files(list), (std::vector<std::string>{before[0], before[3], before[4]}));
    EXPECT_EQ(list.remove({2}), 1);
    EXPECT_EQ(list.remove({}), -1);
    EXPECT_EQ(list.remove({0, 1}), -1);
    EXPECT_TRUE(list.empty());
}

TEST_F(GauntletLogic, StartCleanUpRefillsFromEachEnemysOwnFile) {
    gauntlet::EnemyList list;
    for (const modes::AkRow& row : rows_) list.add(akFolder(), row, "");
    // An enemy taken from another folder (the sample folder of the program).
    std::vector<modes::AkRow> samples = modes::listAkRows(programDir() + "AkData", "ak04.dat");
    ASSERT_EQ(samples.size(), 1u);
    ASSERT_TRUE(list.add(programDir() + "AkData", samples[0], ""));
    // The run's counters of an earlier simulation.
    for (modes::Entrant& e : list.entrants()) {
        e.row()->Losses = 9;
        e.row()->OwnAkDestroyed = 4;
    }
    // ak02 became the own AK after it was added (named here in capitals):
    // it leaves the list. Every other row is read again from its own file.
    std::string own = pathOf(2);
    own.replace(own.size() - 8, 8, "AK02.DAT");
    list.prepareForStart(own);
    EXPECT_EQ(files(list), (std::vector<std::string>{"ak01.dat", "ak03.dat", "ak04.dat"}));
    for (size_t i = 0; i < list.size(); ++i) {
        const EntryRecord& r = *list.entrants()[i].row();
        EXPECT_EQ(sjis::readField(r.PilotName), list.shown()[i].Pilot) << i;
        EXPECT_EQ(std::to_string(+r.MachineValue), list.shown()[i].Value) << i;
        EXPECT_EQ(+r.Losses, 0);
        EXPECT_EQ(+r.OwnAkDestroyed, 0);
    }
    EXPECT_FALSE(list.shown()[2].Pilot.empty());
}

} // namespace
