// The league's run thread playing real matches through the game processor
// between sample AKs, into a scratch results folder, with fixed seeds: the
// logs of every pairing, the progress hand-offs, WM_GAMEDONE, the counters
// and the result file as golden text; and a cancelled run.
#include "modes/frame/entrants.h"
#include "modes/frame/setup.h"
#include "modes/frame/standings.h"
#include "modes/frame/tables.h"
#include "modes/frame/tests/modetest.h"
#include "modes/league/leaguelogic.h"

#include <filesystem>

namespace {

using namespace modetest;

class LeagueRunTest : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2, 3, 4});
        makeConf(true);
        setup_ = std::make_unique<modes::ModeSetup>(modes::modeInfo(modes::ModeKind::League), settings_,
                                                    header_, sources_);
        ASSERT_TRUE(setup_->startSystem());
        for (int n : {1, 2, 3, 4}) entrants_.push_back(modes::makeEntrant(akFolder(), sampleFile(n)));
        // A stale log of an earlier league and a file that is not a log.
        testsupport::writeFile(path("result/lg_009_010.txt"), "old");
        testsupport::writeFile(path("result/keep.txt"), "keep");
    }
    void TearDown() override {
        setup_.reset();
        ModeTest::TearDown();
    }

    // Runs the league on a real run thread; the posted progress is applied
    // on this thread afterwards. With `stopAfterCleanup` the thread is told
    // to stop as the clean-up of the old logs ends, so as the first match
    // begins.
    void run(TestHost& host, bool stopAfterCleanup = false) {
        league::LeagueRun league(entrants_, settings_, header_, setup_->tables().Words);
        league.onProgress = [this](int done, int total) { progress_.emplace_back(done, total); };
        modes::RunThread thread(host);
        if (stopAfterCleanup)
            host.setOnCleanup([&thread](const TestHost::CleanupShown& shown) {
                if (shown.status.empty()) thread.terminate();
            });
        seedEverything();
        thread.start([&league](modes::RunThread& t) { league.Execute(t); });
        ASSERT_TRUE(host.waitFinished());
        thread.join();
        host.runPosted();
    }

    std::unique_ptr<modes::ModeSetup> setup_;
    modes::EntrantList entrants_;
    std::vector<std::pair<int, int>> progress_;
};

TEST_F(LeagueRunTest, PlaysEveryPairingAndWritesTheResultFile) {
    modes::Lines table = league::entryTable(header_, settings_, entrants_, fixedTime());
    plantLeftovers("result");
    TestHost host;
    run(host);

    // Six matches with their logs; the old league log is gone, other files stay.
    for (const char* log :
         {"lg_001_002", "lg_001_003", "lg_001_004", "lg_002_003", "lg_002_004", "lg_003_004"})
        EXPECT_TRUE(std::filesystem::exists(path(std::string("result/") + log + ".txt"))) << log;
    EXPECT_FALSE(std::filesystem::exists(path("result/lg_009_010.txt")));
    EXPECT_TRUE(std::filesystem::exists(path("result/keep.txt")));
    expectLeftoversGone("result");
    // A league writes no output AK files.
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));

    EXPECT_EQ(host.gameDone(), 1);
    std::vector<std::string> events = host.events();
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[6], "gamedone");
    EXPECT_EQ(events[7], "finished");
    std::vector<std::pair<int, int>> expected{{1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}};
    EXPECT_EQ(progress_, expected);

    // Every match counted once: wins and losses balance, draws pair up.
    int32_t wins = 0, losses = 0, draws = 0, destroyed = 0, ownDestroyed = 0, kills = 0, ownKilled = 0;
    for (const modes::Entrant& e : entrants_) {
        const EntryRecord& r = *e.row();
        wins += r.Wins;
        losses += r.Losses;
        draws += r.Draws;
        destroyed += r.Destroyed;
        ownDestroyed += r.OwnAkDestroyed;
        kills += r.Kills;
        ownKilled += r.OwnPilotKilled;
        EXPECT_EQ(+r.Battles, 3); // the career count of the entry table gave way to the matches played
    }
    EXPECT_EQ(wins, losses);
    EXPECT_EQ(wins + draws / 2, 6);
    EXPECT_EQ(destroyed, ownDestroyed);
    EXPECT_EQ(kills, ownKilled);

    league::computeWinRates(entrants_);
    modes::Lines results = league::resultTable(settings_, modes::standings(entrants_));
    table.insert(table.end(), results.begin(), results.end());
    std::string text = modes::memoText(table);
    ASSERT_TRUE(modes::saveResultFile(resultFolder() + "/League.txt", text));
    expectGolden(testsupport::readFile(path("result/League.txt")), "league_result.txt");
}

TEST_F(LeagueRunTest, SameSeedsSameLeague) {
    TestHost first;
    run(first);
    league::computeWinRates(entrants_);
    std::string once = modes::memoText(league::resultTable(settings_, modes::standings(entrants_)));
    entrants_.clear();
    for (int n : {1, 2, 3, 4}) entrants_.push_back(modes::makeEntrant(akFolder(), sampleFile(n)));
    progress_.clear();
    TestHost second;
    run(second);
    league::computeWinRates(entrants_);
    EXPECT_EQ(modes::memoText(league::resultTable(settings_, modes::standings(entrants_))), once);
}

TEST_F(LeagueRunTest, CancelledRunEndsAfterTheMatchInProgress) {
    TestHost host;
    run(host, true);
    // The match in progress is played to its end and counted; then the
    // thread returns without WM_GAMEDONE and without a progress hand-off.
    EXPECT_TRUE(std::filesystem::exists(path("result/lg_001_002.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/lg_001_003.txt")));
    EXPECT_EQ(host.gameDone(), 0);
    EXPECT_TRUE(progress_.empty());
    EXPECT_EQ(host.events(), std::vector<std::string>{"finished"});
    const EntryRecord& a = *entrants_[0].row();
    const EntryRecord& b = *entrants_[1].row();
    EXPECT_EQ(a.Wins + a.Losses + a.Draws, 1);
    EXPECT_EQ(b.Wins + b.Losses + b.Draws, 1);
    EXPECT_EQ(entrants_[2].row()->Wins + entrants_[2].row()->Losses + entrants_[2].row()->Draws, 0);
}

TEST_F(LeagueRunTest, CancelDuringTheRunStopsAfterTheNextMatch) {
    TestHost host;
    modes::RunThread* current = nullptr;
    league::LeagueRun league(entrants_, settings_, header_, setup_->tables().Words);
    league.onProgress = [](int, int) {};
    modes::RunThread thread(host);
    current = &thread;
    host.setOnPost([current] { current->terminate(); });
    thread.start([&league](modes::RunThread& t) { league.Execute(t); });
    ASSERT_TRUE(host.waitFinished());
    thread.join();
    EXPECT_EQ(host.events(), (std::vector<std::string>{"post", "finished"}));
    EXPECT_TRUE(std::filesystem::exists(path("result/lg_001_003.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/lg_001_004.txt")));
}

TEST_F(LeagueRunTest, AnEntrantWhoseFileGoesMissingIsLeftOut) {
    // Gone after the start's check.
    std::filesystem::remove(path("ak/ak04.dat"));
    TestHost host;
    run(host);
    EXPECT_EQ(host.gameDone(), 1);
    ASSERT_EQ(progress_.size(), 6u);
    EXPECT_EQ(progress_.back(), std::make_pair(6, 6));
    // Matches with ak04 leave no log and count nothing.
    EXPECT_TRUE(std::filesystem::exists(path("result/lg_001_002.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/lg_001_004.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/lg_003_004.txt")));
    // Reported once, as entrant 1 first met it (no more tries).
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_NE(rec[0].text.find("ak04.dat"), std::string::npos);
    // The other three met each other: two matches each, the rate taken
    // over those two (an entrant who won both shows 100%, not 2·100/3).
    league::computeWinRates(entrants_);
    for (int i = 0; i < 4; ++i) {
        const EntryRecord& r = *entrants_[static_cast<size_t>(i)].row();
        const int played = i < 3 ? 2 : 0;
        EXPECT_EQ(entrants_[static_cast<size_t>(i)].Absent, i == 3) << i;
        EXPECT_EQ(+r.Battles, played) << i;
        EXPECT_EQ(r.Wins + r.Losses + r.Draws, played) << i;
        EXPECT_EQ(+r.Stage, played ? r.Wins * 100 / 2 : 0) << i;
    }
    // Its row comes last, marked.
    modes::Lines results = league::resultTable(settings_, modes::standings(entrants_));
    ASSERT_EQ(results.size(), 6u + 4 + 2);
    EXPECT_EQ(results[9].substr(0, 4), testsupport::sj(" －:"));
}

// A second file that cannot be read in the same run (the AK folder going
// away) stops the run after its report: no more matches, no table.
TEST_F(LeagueRunTest, ASecondUnreadableFileStopsTheRun) {
    testsupport::writeFile(path("ak/broken.dat"), "not an AK\r\n");
    entrants_.push_back(modes::makeEntrant(akFolder(), "broken.dat"));
    std::filesystem::remove(path("ak/ak04.dat"));
    TestHost host;
    run(host);
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 2u);
    EXPECT_NE(rec[0].text.find("ak04.dat"), std::string::npos);
    EXPECT_NE(rec[1].text.find("broken.dat"), std::string::npos);
    // Entrant 1 met 2 and 3, then 4 (left out) and 5 (the stop).
    EXPECT_EQ(host.events(), (std::vector<std::string>{"post", "post", "post", "fault", "finished"}));
    EXPECT_TRUE(std::filesystem::exists(path("result/lg_001_003.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/lg_002_003.txt")));
}

} // namespace
