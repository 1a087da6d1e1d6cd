// The simulation's run thread playing real matches through the game
// processor between sample AKs, with fixed seeds: the progress hand-offs,
// WM_GAMEDONE, the counters, the settings of the run, that nothing of the
// simulation is kept, and the result file as golden text; then cancelled
// runs and an enemy whose file vanished.
#include "modes/frame/imports.h"
#include "modes/frame/setup.h"
#include "modes/frame/standings.h"
#include "modes/frame/tests/modetest.h"
#include "modes/frame/textfmt.h"
#include "modes/gauntlet/gauntletlogic.h"

#include <cstring>
#include <filesystem>

namespace {

using namespace modetest;
using testsupport::sj;

class GauntletRunTest : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2, 3, 4});
        makeConf();
        sjis::writeField(header_.ConfName, sj("シミュレーション試験"));
        sjis::writeField(header_.ConfMemo, sj("一対多数"));
        header_.GameForm = 5;
        // As the set-up window leaves them.
        settings_.Options[OptImmobileDraw] = 1;
        settings_.Options[OptAkOutput] = 0;
        settings_.Options[OptLogOutput] = 0;
        settings_.MessagePercent = 100;
        settings_.DigestMode = 2;
        setup_ = std::make_unique<modes::ModeSetup>(modes::modeInfo(modes::ModeKind::Gauntlet), settings_,
                                                    header_, sources_);
        ASSERT_TRUE(setup_->startSystem());
        ownPath_ = modes::joinFolder(akFolder(), sampleFile(1));
        own_ = std::make_unique<TArmoredKnight>();
        ASSERT_EQ(LoadAkData(own_.get(), ownPath_.c_str()), 0);
        addEnemies({2, 3, 4});
    }
    void TearDown() override {
        setup_.reset();
        ModeTest::TearDown();
    }

    void addEnemies(std::initializer_list<int> samples) {
        std::vector<modes::AkRow> rows = modes::listAkRows(akFolder(), "*.*");
        for (int n : samples)
            for (const modes::AkRow& row : rows)
                if (row.File == sampleFile(n)) enemies_.add(akFolder(), row, ownPath_);
    }

    // Runs the simulation on a real run thread; the posted progress is
    // applied on this thread afterwards. `stopAfterCleanup` stops the run
    // as the clean-up at its start ends, so as its first match begins;
    // `terminateOnPost` stops it at its first progress hand-off.
    void run(TestHost& host, int count, bool stopAfterCleanup = false, bool terminateOnPost = false) {
        gauntlet::GauntletRun sim(enemies_.entrants(), *own_, ownPath_, count, settings_, header_,
                                  setup_->tables().Words);
        sim.onProgress = [this](int done, int total) { progress_.emplace_back(done, total); };
        modes::RunThread thread(host);
        if (stopAfterCleanup)
            host.setOnCleanup([&thread](const TestHost::CleanupShown& shown) {
                if (shown.status.empty()) thread.terminate();
            });
        if (terminateOnPost) host.setOnPost([&thread] { thread.terminate(); });
        seedEverything();
        thread.start([&sim](modes::RunThread& t) { sim.Execute(t); });
        ASSERT_TRUE(host.waitFinished());
        thread.join();
        host.runPosted();
    }

    // A run thread that never finishes must not hang the test program.
    Watchdog hard_{std::chrono::seconds(300), "a simulation run test"};
    std::unique_ptr<modes::ModeSetup> setup_;
    std::string ownPath_;
    std::unique_ptr<TArmoredKnight> own_;
    gauntlet::EnemyList enemies_;
    std::vector<std::pair<int, int>> progress_;
};

TEST_F(GauntletRunTest, EveryEnemyFoughtTheCountOfTimes) {
    std::string ownBefore = testsupport::readFile(path("ak/ak01.dat"));
    enemies_.prepareForStart(ownPath_);
    modes::Lines table = gauntlet::entryTable(header_, settings_, *own_, enemies_.entrants(), fixedTime());
    TestHost host;
    run(host, 5);

    EXPECT_EQ(host.gameDone(), 1);
    std::vector<std::string> events = host.events();
    ASSERT_EQ(events.size(), 17u);
    EXPECT_EQ(events[15], "gamedone");
    EXPECT_EQ(events[16], "finished");
    ASSERT_EQ(progress_.size(), 15u);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(progress_[i], std::make_pair(i + 1, 15));

    for (const modes::Entrant& e : enemies_.entrants()) {
        const EntryRecord& r = *e.row();
        EXPECT_EQ(r.Wins + r.Losses + r.Draws, 5) << e.Path;
        EXPECT_LE(+r.Destroyed, +r.Wins);
        EXPECT_LE(+r.Kills, +r.Wins);
        EXPECT_LE(+r.OwnAkDestroyed, +r.Losses);
        EXPECT_LE(+r.OwnPilotKilled, +r.Losses);
        EXPECT_EQ(+r.Battles, 5); // the career count of the entry table gave way to the matches fought
    }

    // The run's settings: narration off, the one-vs-one flag off, the files.
    EXPECT_EQ(settings_.Options[OptMessagesOff], 1);
    EXPECT_EQ(settings_.MessagePercent, 0);
    EXPECT_EQ(settings_.Options[Opt36], 0);
    EXPECT_EQ(sjis::readField(settings_.AkFile1), ownPath_);
    EXPECT_EQ(sjis::readField(settings_.AkFile2), enemies_.entrants().back().Path);
    EXPECT_EQ(settings_.DigestMode, 2); // the conf's digest mode is back

    // Nothing of the simulation is kept: no log, no digest, no output AK.
    for (const auto& entry : std::filesystem::directory_iterator(path("result")))
        ADD_FAILURE() << "kept: " << entry.path();
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));
    EXPECT_EQ(testsupport::readFile(path("ak/ak01.dat")), ownBefore);

    gauntlet::computeWinRates(enemies_.entrants());
    modes::Lines results = gauntlet::resultTable(settings_, modes::standings(enemies_.entrants()));
    table.insert(table.end(), results.begin(), results.end());
    ASSERT_TRUE(modes::saveResultFile(resultFolder() + "/Simulation.txt", modes::memoText(table)));
    expectGolden(testsupport::readFile(path("result/Simulation.txt")), "simulation_result.txt");
}

TEST_F(GauntletRunTest, SameSeedsSameSimulation) {
    TestHost first;
    run(first, 5);
    gauntlet::computeWinRates(enemies_.entrants());
    std::string once =
        modes::memoText(gauntlet::resultTable(settings_, modes::standings(enemies_.entrants())));
    // The counters start again from zero with every run.
    TestHost second;
    run(second, 5);
    gauntlet::computeWinRates(enemies_.entrants());
    EXPECT_EQ(modes::memoText(gauntlet::resultTable(settings_, modes::standings(enemies_.entrants()))),
              once);
}

TEST_F(GauntletRunTest, CancelledBeforeTheFirstHandOff) {
    const EntryRecord untouched = *enemies_.entrants()[1].row();
    plantLeftovers("result");
    TestHost host;
    run(host, 5, true);
    expectLeftoversGone("result"); // the clean-up at the start was over
    // The match in progress is fought to its end and counted; the thread
    // then returns without a hand-off and without WM_GAMEDONE.
    EXPECT_EQ(host.events(), std::vector<std::string>{"finished"});
    EXPECT_EQ(host.gameDone(), 0);
    EXPECT_TRUE(progress_.empty());
    const EntryRecord& a = *enemies_.entrants()[0].row();
    EXPECT_EQ(a.Wins + a.Losses + a.Draws, 1);
    // The next enemy was never reached: its row is as the file head gave it.
    EXPECT_EQ(std::memcmp(enemies_.entrants()[1].row(), &untouched, sizeof untouched), 0);
}

TEST_F(GauntletRunTest, CancelledDuringTheRun) {
    TestHost host;
    run(host, 5, false, true);
    EXPECT_EQ(host.events(), (std::vector<std::string>{"post", "finished"}));
    const EntryRecord& a = *enemies_.entrants()[0].row();
    EXPECT_EQ(a.Wins + a.Losses + a.Draws, 2);
}

TEST_F(GauntletRunTest, AnEnemyWhoseFileVanishedFightsNothing) {
    std::filesystem::remove(path("ak/ak03.dat")); // gone after the start
    TestHost host;
    run(host, 5);
    EXPECT_EQ(host.gameDone(), 1);
    // Its share of the run counts as done: the progress still reaches the end.
    ASSERT_EQ(progress_.size(), 11u);
    EXPECT_EQ(progress_[5], std::make_pair(10, 15));
    EXPECT_EQ(progress_.back(), std::make_pair(15, 15));
    const EntryRecord& gone = *enemies_.entrants()[1].row();
    EXPECT_EQ(gone.Wins + gone.Losses + gone.Draws, 0);
    const EntryRecord& last = *enemies_.entrants()[2].row();
    EXPECT_EQ(last.Wins + last.Losses + last.Draws, 5);
    // The AK data library said why, once.
    EXPECT_EQ(plat::notify::recorded().size(), 1u);
    // Its row is marked and follows the bands; the others' rates are over
    // their five matches.
    EXPECT_TRUE(enemies_.entrants()[1].Absent);
    gauntlet::computeWinRates(enemies_.entrants());
    EXPECT_EQ(+last.Stage, last.Wins * 100 / 5);
    modes::Lines table = gauntlet::resultTable(settings_, modes::standings(enemies_.entrants()));
    ASSERT_GE(table.size(), 11u);
    const size_t marked = table.size() - 3; // before the rule and the signature
    EXPECT_EQ(table[marked].substr(0, 4), sj(" －:"));
    EXPECT_EQ(table[marked - 1].substr(0, 5), sj("-- ↑"));
}

} // namespace
