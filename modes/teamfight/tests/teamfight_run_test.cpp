// The team battle's run thread fighting real bouts through the game
// processor between sample AKs, into scratch folders, with fixed seeds: the
// bout order of both styles, the bout logs, the output AK files a winner
// carries into its next bout, walkovers, the progress hand-offs, WM_GAMEDONE
// and the result file as golden text; and cancelled runs.
#include "modes/frame/imports.h"
#include "modes/frame/setup.h"
#include "modes/frame/tables.h"
#include "modes/frame/tests/modetest.h"
#include "modes/frame/textfmt.h"
#include "modes/teamfight/teamlogic.h"
#include "platform/catalogue.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

namespace {

using namespace modetest;
using testsupport::sj;

// Waits for the run thread. One that never finishes cannot be joined, and
// its RunThread would wait for it for ever: the test process ends instead.
void finishOrAbort(TestHost& host) {
    if (host.waitFinished()) return;
    std::fprintf(stderr, "the team battle's run thread did not finish: aborting\n");
    std::fflush(stderr);
    std::abort();
}

class TeamRunTest : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2, 3, 4, 5, 6, 7, 8});
        makeConf(true);
        header_.GameForm = 4;
        sjis::writeField(header_.ConfName, sj("紅白戦"));
        sjis::writeField(header_.ConfMemo, sj("春季"));
        // What the set-up window forces; the result record in every output
        // file shows which file a bout started from.
        settings_.Options[Opt17] = 1;
        settings_.Options[OptAkOutput] = 1;
        settings_.Options[OptBattleInfoInAk] = 1;
        setup_ = std::make_unique<modes::ModeSetup>(modes::modeInfo(modes::ModeKind::TeamBattle), settings_,
                                                    header_, sources_);
        ASSERT_TRUE(setup_->startSystem());
    }
    void TearDown() override {
        setup_.reset();
        ModeTest::TearDown();
    }

    // Team sizes n; `files` per team, "" for an empty slot.
    void fill(const std::vector<std::string>& team1, const std::vector<std::string>& team2) {
        teamfight::Registration r(teams_);
        r.decide(static_cast<int>(team1.size()));
        for (int t = 0; t < 2; ++t) {
            const std::vector<std::string>& files = t == 0 ? team1 : team2;
            for (size_t i = 0; i < files.size(); ++i)
                if (!files[i].empty()) r.put({t, static_cast<int>(i)}, akFolder(), files[i]);
        }
    }

    // Runs the battle on a real run thread; the posted calls are applied on
    // this thread afterwards, in order.
    void run(TestHost& host, bool terminateFirst = false) {
        run_ = std::make_unique<teamfight::TeamRun>(teams_, settings_, header_, setup_->tables().Words);
        run_->onLines = [this](const modes::Lines& lines) {
            memo_.insert(memo_.end(), lines.begin(), lines.end());
        };
        run_->onProgress = [this](int done, int total) { progress_.emplace_back(done, total); };
        modes::RunThread thread(host);
        if (terminateFirst) thread.terminate();
        seedEverything();
        teamfight::TeamRun* r = run_.get();
        thread.start([r](modes::RunThread& t) { r->Execute(t); });
        finishOrAbort(host);
        thread.join();
        host.runPosted();
    }

    // The result file as the progress window writes it.
    std::string resultFile() {
        modes::Lines all = entry_;
        all.insert(all.end(), memo_.begin(), memo_.end());
        teamfight::refreshNeverFought(teams_);
        modes::Lines results = teamfight::resultTables(settings_, teams_, run_->memberIndex());
        all.insert(all.end(), results.begin(), results.end());
        return modes::memoText(all);
    }

    bool exists(const std::string& rel) { return std::filesystem::exists(path(rel)); }
    int resultRecords(const std::string& rel) { return modetest::resultRecords(path(rel)); }

    // A copy of a sample AK with a change, saved by the AK data library.
    void variant(const std::string& from, const std::string& to,
                 const std::function<void(TArmoredKnight&)>& change) {
        auto ak = std::make_unique<TArmoredKnight>();
        ASSERT_EQ(LoadAkData(ak.get(), from.c_str()), 0);
        change(*ak);
        ASSERT_EQ(SaveAkData(ak.get(), to.c_str()), 0);
    }
    static void noPilot(TArmoredKnight& ak) { sjis::writeField(ak.Pilot.Name, ""); }
    std::string memoText() { return testsupport::u8(modes::memoText(memo_)); }

    std::unique_ptr<modes::ModeSetup> setup_;
    teamfight::Teams teams_;
    std::unique_ptr<teamfight::TeamRun> run_;
    modes::Lines entry_;
    modes::Lines memo_;
    std::vector<std::pair<int, int>> progress_;
};

TEST_F(TeamRunTest, AWinnerCarriesItsOutputFileIntoItsNextBouts) {
    settings_.Options[OptTeamBattleWinnerStays] = 1;
    fill({"ak07.dat", "ak02.dat", "ak03.dat"}, {"ak04.dat", "ak05.dat", "ak06.dat"});
    entry_ = teamfight::entryTable(header_, settings_, teams_, fixedTime());
    plantLeftovers("out");
    plantLeftovers("result");
    TestHost host;
    run(host);
    expectLeftoversGone("out");
    expectLeftoversGone("result");

    // Left member 1 beats right members 1, 2 and 3 in bouts 1 to 3.
    for (const char* log : {"rw_001_001.txt", "rw_001_002.txt", "rw_001_003.txt"})
        EXPECT_TRUE(exists(std::string("result/") + log)) << log;
    EXPECT_EQ(run_->boutNumber(), 3);
    EXPECT_EQ(run_->memberIndex(), (std::array<int, 2>{0, 3}));
    EXPECT_EQ(+teams_.Side[0][0].row()->Stage, 3);
    // Each bout started from the file the previous one left: every output
    // file carries the result records of the file it was made from and one more.
    int base = resultRecords("ak/ak07.dat");
    EXPECT_EQ(resultRecords("out/ak07.da1"), base + 1);
    EXPECT_EQ(resultRecords("out/ak07.da2"), base + 2);
    EXPECT_EQ(resultRecords("out/ak07.da3"), base + 3);
    EXPECT_EQ(std::string(sjis::readField(settings_.AkFile1)), scratch() + "out\\ak07.da2");
    for (const char* out : {"out/ak04.da1", "out/ak05.da1", "out/ak06.da1"}) EXPECT_TRUE(exists(out)) << out;

    std::vector<std::pair<int, int>> expected{{1, 3}, {2, 3}, {3, 3}};
    EXPECT_EQ(progress_, expected);
    std::vector<std::string> events = host.events();
    ASSERT_EQ(events.size(), 3u * 3 + 2);
    EXPECT_EQ(events[9], "gamedone");
    EXPECT_EQ(events[10], "finished");
    ASSERT_TRUE(modes::saveResultFile(resultFolder() + "/TeamBattle.txt", resultFile()));
    expectGolden(testsupport::readFile(path("result/TeamBattle.txt")), "winner_stays.txt");
}

TEST_F(TeamRunTest, TheNextBoutReadsTheLastWonBoutsFile) {
    settings_.Options[OptTeamBattleWinnerStays] = 1;
    fill({"ak07.dat", "ak02.dat", "ak03.dat"}, {"ak04.dat", "ak05.dat", "ak06.dat"});
    entry_ = teamfight::entryTable(header_, settings_, teams_, fixedTime());
    // Once bout 1 is shown, the winner's output file loses its pilot: its
    // second bout, fought from that file, is lost by walkover.
    int posts = 0;
    std::string da1 = scratch() + "out/ak07.da1";
    TestHost host;
    host.setOnPost([&] {
        if (++posts == 3) variant(da1, da1, noPilot);
    });
    run(host);
    EXPECT_TRUE(exists("result/rw_001_001.txt"));
    EXPECT_FALSE(exists("result/rw_001_002.txt"));
    EXPECT_FALSE(exists("out/ak07.da2"));
    EXPECT_NE(memoText().find("伊藤誠|○        No.2        ×|小林大地"), std::string::npos) << memoText();
    EXPECT_NE(memoText().find("ゴウ・イトウ|-------- 不戦勝 --------|ダイチ・コバヤシ"), std::string::npos);
    // The walkover winner stays and meets left member 2; it is credited no win.
    EXPECT_TRUE(exists("result/rw_002_002.txt"));
    EXPECT_EQ(+teams_.Side[0][0].row()->Stage, 1);
    EXPECT_EQ(+teams_.Side[1][1].row()->Draws, 0);
    // The board draws the bouts as they were decided: bout 1 left 1 against
    // right 1, won by the left (colour 1); bout 2 left 1 against right 2,
    // won by the right by walkover (colour 2, though its wins stay 0: a
    // replay from the wins drew it in the no-winner colour 6 and paired
    // left 2 with right 3 next); bout 3 left 2 against right 2.
    ASSERT_GE(teams_.Bouts.size(), 3u);
    EXPECT_EQ(teams_.Bouts[1], (teamfight::Bout{{0, 1}, 1, true}));
    std::vector<teamfight::BoutLine> lines = teamfight::boutLines(teams_);
    EXPECT_EQ(lines[0], (teamfight::BoutLine{{0, 0}, 1}));
    EXPECT_EQ(lines[1], (teamfight::BoutLine{{0, 1}, 2}));
    EXPECT_EQ(lines[2].Slot[0], 1);
    EXPECT_EQ(lines[2].Slot[1], 1);
}

// Once bout 1 is shown, the output file its winner's next bout must start
// from is gone (its folder went away): that one report, and the run stops
// there rather than give back files that miss a bout.
TEST_F(TeamRunTest, AWinnersOutputFileThatIsGoneStopsTheRun) {
    settings_.Options[OptTeamBattleWinnerStays] = 1;
    fill({"ak07.dat", "ak02.dat", "ak03.dat"}, {"ak04.dat", "ak05.dat", "ak06.dat"});
    int posts = 0;
    TestHost host;
    host.setOnPost([&] {
        if (++posts == 3) std::filesystem::remove(path("out/ak07.da1"));
    });
    run(host);
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, plat::msg::format(41022, {scratch() + "out\\ak07.da1"}));
    EXPECT_EQ(host.faultStops(), 1);
    EXPECT_EQ(host.gameDone(), 0);
    EXPECT_FALSE(exists("result/rw_001_002.txt"));
    EXPECT_FALSE(exists("result/rw_002_002.txt"));
    EXPECT_FALSE(exists("out/ak07.da2"));
}

TEST_F(TeamRunTest, OptionDa1OnlyKeepsOneOutputFile) {
    settings_.Options[OptTeamBattleWinnerStays] = 1;
    settings_.Options[OptDa1Only] = 1;
    fill({"ak07.dat", "ak02.dat", "ak03.dat"}, {"ak04.dat", "ak05.dat", "ak06.dat"});
    entry_ = teamfight::entryTable(header_, settings_, teams_, fixedTime());
    TestHost host;
    run(host);
    EXPECT_EQ(run_->boutNumber(), 3);
    EXPECT_FALSE(exists("out/ak07.da2"));
    EXPECT_EQ(resultRecords("out/ak07.da1"), resultRecords("ak/ak07.dat") + 3);
}

// The players' returned files as members, read from the AK folder that is
// also the AK output folder: a winner's next bout starts from the file its
// won bout wrote (the first free name after its own ".da1"), so its last
// file carries every bout; the members' own files stay.
TEST_F(TeamRunTest, ReturnedFilesInTheOutputFolderCarryEveryBout) {
    std::vector<std::string> samples;
    for (int n = 1; n <= 8; ++n) samples.push_back(sampleFile(n));
    makeReturnedFiles(settings_, setup_->tables().Words, akFolder(), resultFolder(), samples);
    sjis::writeField(header_.AkOutputFolder, akFolder());
    setup_->forceAkOutput();
    settings_.Options[OptTeamBattleWinnerStays] = 1;
    fill({"ak07.da1", "ak02.da1", "ak03.da1"}, {"ak04.da1", "ak05.da1", "ak06.da1"});
    std::map<std::string, std::string> own;
    for (const modes::EntrantList& team : teams_.Side)
        for (const modes::Entrant& e : team) {
            const std::string stem = plat::splitPath(e.Path).name;
            own[stem] = testsupport::readFile(path("ak/" + stem + ".da1"));
        }
    ASSERT_TRUE(setup_->checkEntrants(teams_.checkList()));
    entry_ = teamfight::entryTable(header_, settings_, teams_, fixedTime());
    TestHost host;
    run(host);
    EXPECT_EQ(host.gameDone(), 1);

    // The bouts each member fought: those with a log.
    int most = 0;
    for (int t = 0; t < 2; ++t)
        for (int i = 0; i < 3; ++i) {
            int fought = 0;
            for (const teamfight::Bout& b : teams_.Bouts)
                fought += b.Slot[t] == i &&
                          exists(modes::format("result/rw_%03d_%03d.txt", b.Slot[0] + 1, b.Slot[1] + 1));
            const std::string stem = plat::splitPath(teams_.Side[t][static_cast<size_t>(i)].Path).name;
            expectChain(path("ak"), stem, fought, own[stem]);
            most = std::max(most, fought);
        }
    EXPECT_GE(most, 2); // someone won a bout and fought on
}

TEST_F(TeamRunTest, OneBoutEachWithAnEmptySlotAndAWalkover) {
    variant(akFolder() + "/ak05.dat", akFolder() + "/np05.dat", noPilot);
    fill({"ak01.dat", "ak02.dat", "ak03.dat", "ak08.dat"}, {"ak04.dat", "", "np05.dat", "ak06.dat"});
    // Outputs of an earlier run go; other files stay.
    for (const char* f :
         {"out/ak01.da1", "out/ak09.DA2", "out/keep.dat", "result/rw_009_009.txt", "result/keep.txt"})
        testsupport::writeFile(path(f), "old");
    entry_ = teamfight::entryTable(header_, settings_, teams_, fixedTime());
    TestHost host;
    run(host);

    EXPECT_FALSE(exists("out/ak09.DA2"));
    EXPECT_FALSE(exists("result/rw_009_009.txt"));
    EXPECT_TRUE(exists("out/keep.dat"));
    EXPECT_TRUE(exists("result/keep.txt"));
    // Bout 1: members 1 and 1; the empty slot is skipped, so bout 2 pairs
    // left 2 with right 3, who has no pilot and loses by walkover without a
    // log; bout 3: left 3 and right 4. Left 4 is left without an opponent.
    EXPECT_TRUE(exists("result/rw_001_001.txt"));
    EXPECT_FALSE(exists("result/rw_002_003.txt"));
    EXPECT_TRUE(exists("result/rw_003_004.txt"));
    EXPECT_EQ(run_->boutNumber(), 3);
    EXPECT_EQ(run_->memberIndex(), (std::array<int, 2>{3, 4}));
    EXPECT_NE(memoText().find("【第２試合】：２番目の選手 vs ３番目の選手"), std::string::npos);
    EXPECT_EQ(+teams_.Side[0][3].row()->Draws, 2);
    // One bout each: left 2 won bout 2 by walkover, a win of team 1 as left 4
    // without an opponent is: 2 to 2 with right 1 and right 4 (the golden
    // file below, corrected by hand to these counts).
    EXPECT_EQ(teams_.Bouts[1], (teamfight::Bout{{1, 2}, 0, true}));
    std::vector<std::pair<int, int>> expected{{1, 4}, {2, 4}, {3, 4}};
    EXPECT_EQ(progress_, expected);
    EXPECT_EQ(host.gameDone(), 1);
    ASSERT_TRUE(modes::saveResultFile(resultFolder() + "/TeamBattle.txt", resultFile()));
    expectGolden(testsupport::readFile(path("result/TeamBattle.txt")), "one_bout_each.txt");
}

TEST_F(TeamRunTest, DrawsMoveBothTeamsOnWhenTheWinnerStays) {
    settings_.Options[OptTeamBattleWinnerStays] = 1;
    settings_.MatchType = 1; // timed: judged after one minute
    settings_.MatchMinutes = 1;
    // Two unarmed AKs meet first.
    auto unarmed = [](TArmoredKnight& ak) {
        for (TAkWeapon& w : ak.Weapon) w = TAkWeapon{};
    };
    variant(akFolder() + "/ak01.dat", akFolder() + "/xak01.dat", unarmed);
    variant(akFolder() + "/ak04.dat", akFolder() + "/xak04.dat", unarmed);
    fill({"xak01.dat", "ak02.dat", "ak03.dat"}, {"xak04.dat", "ak05.dat", "ak06.dat"});
    entry_ = teamfight::entryTable(header_, settings_, teams_, fixedTime());
    TestHost host;
    run(host);
    for (const char* log : {"rw_001_001.txt", "rw_002_002.txt", "rw_003_003.txt"})
        EXPECT_TRUE(exists(std::string("result/") + log)) << log;
    EXPECT_EQ(run_->memberIndex(), (std::array<int, 2>{3, 3}));
    for (int t = 0; t < 2; ++t)
        for (int i = 0; i < 3; ++i) EXPECT_EQ(+teams_.Side[t][static_cast<size_t>(i)].row()->Draws, 1);
    EXPECT_NE(memoText().find("|△        No.1        △|"), std::string::npos);
    EXPECT_NE(testsupport::u8(resultFile()).find("３ 対 ３ で引き分けです。"), std::string::npos);
}

TEST_F(TeamRunTest, AMemberWhoseFileIsGoneLosesByWalkover) {
    settings_.Options[OptTeamBattleWinnerStays] = 1;
    fill({"ak01.dat", "ak02.dat", "ak03.dat"}, {"ak04.dat", "ak05.dat", "ak06.dat"});
    std::filesystem::remove(path("ak/ak01.dat"));
    entry_ = teamfight::entryTable(header_, settings_, teams_, fixedTime());
    TestHost host;
    run(host);
    // The AK data library said why; the right member 1 stays on and meets
    // left member 2.
    auto rec = plat::notify::recorded();
    ASSERT_FALSE(rec.empty());
    EXPECT_EQ(rec[0].text.find(sj("ak01.dat")) != std::string::npos, true) << testsupport::u8(rec[0].text);
    EXPECT_FALSE(exists("result/rw_001_001.txt"));
    EXPECT_TRUE(exists("result/rw_002_001.txt"));
    EXPECT_NE(memoText().find("-------- 不戦勝 --------|アレックス・ロウ"), std::string::npos) << memoText();
    EXPECT_EQ(host.gameDone(), 1);
}

// "終了" before the old outputs are cleared stops the clearing and the run:
// no bout, no WM_GAMEDONE.
TEST_F(TeamRunTest, CancelledBeforeTheFirstBout) {
    fill({"ak01.dat", "ak02.dat", "ak03.dat"}, {"ak04.dat", "ak05.dat", "ak06.dat"});
    testsupport::writeFile(path("result/rw_009_009.txt"), "old");
    TestHost host;
    run(host, true);
    EXPECT_EQ(host.events(), std::vector<std::string>{"finished"});
    EXPECT_FALSE(exists("result/rw_001_001.txt"));
    EXPECT_TRUE(exists("result/rw_009_009.txt"));
}

TEST_F(TeamRunTest, CancelledDuringABout) {
    fill({"ak01.dat", "ak02.dat", "ak03.dat"}, {"ak04.dat", "ak05.dat", "ak06.dat"});
    run_ = std::make_unique<teamfight::TeamRun>(teams_, settings_, header_, setup_->tables().Words);
    run_->onLines = [](const modes::Lines&) {};
    run_->onProgress = [](int, int) {};
    TestHost host;
    modes::RunThread thread(host);
    host.setOnPost([&thread] { thread.terminate(); }); // "終了" while bout 1 is fought
    teamfight::TeamRun* r = run_.get();
    thread.start([r](modes::RunThread& t) { r->Execute(t); });
    finishOrAbort(host);
    thread.join();
    // The bout in progress is fought to its end; nothing more is shown and
    // WM_GAMEDONE does not follow.
    EXPECT_EQ(host.events(), (std::vector<std::string>{"post", "finished"}));
    EXPECT_TRUE(exists("result/rw_001_001.txt"));
    EXPECT_FALSE(exists("result/rw_002_002.txt"));
}

} // namespace
