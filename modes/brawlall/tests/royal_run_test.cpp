// The battle royal's run thread fighting real fights between sample AKs
// through the game processor, with fixed seeds and start cells: the viewer
// script and the result file as golden text, the winner's next fight on
// its output AK file with its drain data, what the window is handed, a run
// cancelled while its first fight is running or while the old outputs are
// deleted, and an entrant whose AK cannot be read when its fight starts.
#include "modes/brawlall/brth.h"
#include "modes/brawlall/royal.h"
#include "modes/brawlall/tests/royaltest.h"
#include "modes/frame/setup.h"
#include "modes/frame/tables.h"
#include "modes/frame/textfmt.h"

#include "platform/catalogue.h"
#include "platform/files.h"

#include <filesystem>
#include <map>

namespace {

using namespace modetest;
using testsupport::sj;

// Runs what the thread hands to the window at once, on the worker: the
// test reads the records only after the thread has finished.
class DirectHost : public modes::RunHost {
public:
    void post(std::function<void()> call) override {
        call();
        if (onPost) onPost();
    }
    void postGameDone() override {
        std::lock_guard<std::mutex> lock(m_);
        events_.push_back("gamedone");
    }
    // With stopInCleanup, "終了" as the clean-up starts on its files.
    void showCleanup(std::string_view status, int, int total) override {
        if (stopInCleanup && thread && !status.empty() && total > 0) thread->terminate();
    }
    void finished() override {
        std::lock_guard<std::mutex> lock(m_);
        events_.push_back("finished");
        done_ = true;
        cv_.notify_all();
    }
    bool wait() {
        std::unique_lock<std::mutex> lock(m_);
        return cv_.wait_for(lock, std::chrono::seconds(120), [this] { return done_; });
    }
    std::vector<std::string> events() {
        std::lock_guard<std::mutex> lock(m_);
        return events_;
    }

    bool stopInCleanup = false;
    modes::RunThread* thread = nullptr;
    std::function<void()> onPost;

private:
    std::mutex m_;
    std::condition_variable cv_;
    std::vector<std::string> events_;
    bool done_ = false;
};

class RoyalRunTest : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        makeConf(true);
        royaltest::royalConf(settings_, header_);
        royaltest::writeAk(path("ak"), "r1.dat", 1, "★", "出現位置［０－０］");
        royaltest::writeAk(path("ak"), "r2.dat", 2, "", "出現位置［３－０］");
        royaltest::writeAk(path("ak"), "r3.dat", 3, "", "出現位置［０－４］");
        setup_ = std::make_unique<modes::ModeSetup>(modes::modeInfo(modes::ModeKind::BrawlAll), settings_,
                                                    header_, sources_);
        setup_->forceAkOutput();
        ASSERT_TRUE(setup_->startSystem());
        for (const char* f : {"r1.dat", "r2.dat", "r3.dat"}) {
            bool loaded = false;
            entrants_.push_back(modes::makeRoyalEntrant(akFolder(), f, &loaded));
            ASSERT_TRUE(loaded) << f;
        }
        map_.Place(10, 10, entrants_, [] {
            ADD_FAILURE() << "the start cells are preset";
            return 0;
        });
        brawl::prepareStart(entrants_);
        memo_ = modes::entryTable(header_, settings_, entrants_, fixedTime(), false);
        // Leftovers of an earlier run.
        testsupport::writeFile(path("out/r1.da3"), "old");
        testsupport::writeFile(path("result/bt_077.txt"), "old");
    }
    void TearDown() override {
        setup_.reset();
        ModeTest::TearDown();
    }

    RoyalEntryRecord& row(int i) { return *entrants_[static_cast<size_t>(i)].Record; }

    // Runs the battle royal on a real run thread.
    void run(std::function<void(modes::RunThread&)> onAddFight = {}) {
        run_ = std::make_unique<brawl::TBRoyal>(entrants_, map_, settings_, header_, setup_->tables().Words);
        modes::RunThread thread(host_);
        brawl::RoyalView& v = run_->view();
        v.status = [this](int panel, const std::string& text) { status_.emplace_back(panel, text); };
        v.memo = [this](const modes::Lines& lines) { memo_.insert(memo_.end(), lines.begin(), lines.end()); };
        v.scrollMemo = [this] { ++scrolled_; };
        v.addFight = [this, &thread, onAddFight](int no, const std::string& caption,
                                                 const std::string& text) {
            rows_.push_back(caption + " " + text);
            ++open_[no];
            if (onAddFight) onAddFight(thread);
        };
        v.removeFight = [this](int no) { --open_[no]; };
        v.paint = [this](const brawl::CellPaint& p) { paints_.push_back(p); };
        v.refreshMap = [this] { ++refreshed_; };
        seedEverything();
        host_.thread = &thread;
        thread.start([this](modes::RunThread& t) { run_->Execute(t); });
        ASSERT_TRUE(host_.wait());
        thread.join();
    }
    void expectNoTemporaryFile(const std::string& rel) {
        for (const auto& e : std::filesystem::directory_iterator(path(rel)))
            EXPECT_FALSE(plat::isTempFileName(e.path().filename().string())) << e.path();
    }
    std::string script() {
        std::string text = testsupport::readFile(path("result/bt_view.vellScript"));
        // FileName in the system's own form: every separator a '\'.
        std::string folder = modes::systemPath(resultFolder() + "\\");
        size_t at = text.find(folder);
        if (at != std::string::npos) text.replace(at, folder.size(), "<results>\\");
        return text;
    }

    std::unique_ptr<modes::ModeSetup> setup_;
    modes::EntrantList entrants_;
    brawl::BrMap map_;
    DirectHost host_;
    std::unique_ptr<brawl::TBRoyal> run_;
    modes::Lines memo_;
    std::vector<std::pair<int, std::string>> status_;
    std::vector<std::string> rows_;
    std::map<int, int> open_;
    std::vector<brawl::CellPaint> paints_;
    int scrolled_ = 0;
    int refreshed_ = 0;
};

TEST_F(RoyalRunTest, ARunToItsEnd) {
    plantLeftovers("out");
    plantLeftovers("result");
    run();
    EXPECT_EQ(host_.events(), (std::vector<std::string>{"gamedone", "finished"}));
    EXPECT_EQ(scrolled_, 1);
    EXPECT_EQ(refreshed_, run_->turnsPlayed());

    // Three entrants without marks in their lists are all unaligned: two
    // fights, unless the first was a draw.
    const int fights = run_->fightsStarted();
    EXPECT_EQ(run_->fightsFinished(), fights);
    EXPECT_EQ(run_->fightsRunning(), 0);
    ASSERT_GE(fights, 1);
    ASSERT_LE(fights, 2);
    for (int k = 1; k <= fights; ++k)
        EXPECT_TRUE(std::filesystem::exists(path(modes::format("result/bt_%03d.txt", k)))) << k;
    EXPECT_FALSE(std::filesystem::exists(path("result/bt_077.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("out/r1.da3")));
    expectLeftoversGone("out");
    expectLeftoversGone("result");
    for (const auto& [no, open] : open_) EXPECT_EQ(open, 0) << no; // every row added was removed
    EXPECT_EQ(static_cast<int>(rows_.size()), fights);

    // Every winner fought its next fight on the output file of its last
    // won one: the game processor numbered them on.
    int32_t wins = 0, inGame = 0;
    for (int i = 0; i < 3; ++i) {
        const RoyalEntryRecord& r = row(i);
        wins += r.Entry.Wins;
        inGame += r.OutStatus == -1;
        for (int w = 1; w <= r.Entry.Wins; ++w)
            EXPECT_TRUE(std::filesystem::exists(path(modes::format("out/r%d.da%d", i + 1, w))))
                << i << " " << w;
        EXPECT_EQ(+r.FightTurn, 0);
        if (r.OutStatus != -1 || r.Entry.Wins > 0) {
            EXPECT_GE(+r.CarriedDrain.ComputerDown, 1.0) << i;
        }
    }
    EXPECT_LE(inGame, 1);
    std::vector<std::string> counts;
    for (const auto& [panel, text] : status_)
        if (panel == 1 && text.find('/') != std::string::npos) counts.push_back(text);
    ASSERT_EQ(static_cast<int>(counts.size()), fights);
    EXPECT_EQ(counts.back(), modes::format("%d/2", fights));
    EXPECT_EQ(status_.front(), std::make_pair(1, sj("1分")));

    // The result file as the window writes it after WM_GAMEDONE.
    modes::Lines table = brawl::resultTable(settings_, brawl::finalStandings(entrants_));
    memo_.insert(memo_.end(), table.begin(), table.end());
    expectGolden(modes::memoText(memo_), "royal_result.txt");
    std::string viewer = script();
    EXPECT_EQ(viewer.substr(viewer.size() - 5), "End:\n");
    expectGolden(viewer, "bt_view.vellScript");
}

TEST_F(RoyalRunTest, SameSeedsSameEvent) {
    run();
    std::string once = script();
    std::filesystem::remove_all(path("out"));
    std::filesystem::create_directories(path("out"));
    for (modes::Entrant& e : entrants_) {
        RoyalEntryRecord& r = *e.Record;
        r.OutStatus = -1;
        r.Entry.Wins = 0;
        r.FightTurn = 0;
        r.Opponent = 0;
    }
    map_ = brawl::BrMap{};
    for (modes::Entrant& e : entrants_) {
        e.Record->X = 0;
        e.Record->Y = 0;
    }
    entrants_[1].Record->X = 3;
    entrants_[2].Record->Y = 4;
    map_.Place(10, 10, entrants_, [] { return 0; });
    DirectHost again;
    modes::RunThread thread(again);
    brawl::TBRoyal second(entrants_, map_, settings_, header_, setup_->tables().Words);
    seedEverything();
    thread.start([&second](modes::RunThread& t) { second.Execute(t); });
    ASSERT_TRUE(again.wait());
    thread.join();
    EXPECT_EQ(script(), once);
}

TEST_F(RoyalRunTest, WithOnlyDa1FilesTheWinnerFightsOnItsDa1) {
    settings_.Options[OptDa1Only] = 1;
    run();
    // The same event as without the option (the golden script), but every
    // output AK file is a .da1, the second win's written over the first's.
    expectGolden(script(), "bt_view.vellScript");
    int winsOfTwo = 0;
    for (int i = 0; i < 3; ++i) winsOfTwo += row(i).Entry.Wins == 2;
    EXPECT_EQ(winsOfTwo, 1);
    for (const auto& entry : std::filesystem::directory_iterator(path("out")))
        EXPECT_EQ(entry.path().extension(), ".da1") << entry.path();
}

// The players' returned files as entrants, read from the AK folder that is
// also the AK output folder: a winner's next fight starts from the file its
// won fight wrote (the first free name after its own ".da1"), so its last
// file carries every fight; the entrants' own files stay.
TEST_F(RoyalRunTest, ReturnedFilesInTheOutputFolderCarryEveryFight) {
    royaltest::writeAk(path("ak"), "r4.dat", 4, "", "出現位置［３－４］");
    makeReturnedFiles(settings_, setup_->tables().Words, akFolder(), resultFolder(),
                      {"r1.dat", "r2.dat", "r3.dat", "r4.dat"});
    sjis::writeField(header_.AkOutputFolder, akFolder());
    entrants_.clear();
    map_ = brawl::BrMap{};
    std::map<std::string, std::string> own;
    for (const char* stem : {"r1", "r2", "r3", "r4"}) {
        const std::string file = std::string(stem) + ".da1";
        own[stem] = testsupport::readFile(path("ak/" + file));
        bool loaded = false;
        entrants_.push_back(modes::makeRoyalEntrant(akFolder(), file, &loaded));
        ASSERT_TRUE(loaded) << file;
    }
    map_.Place(10, 10, entrants_, [] { return 0; });
    brawl::prepareStart(entrants_);
    ASSERT_TRUE(setup_->checkEntrants(entrants_));
    modes::entryTable(header_, settings_, entrants_, fixedTime(), false); // the event's counters from 0
    run();
    EXPECT_EQ(host_.events(), (std::vector<std::string>{"gamedone", "finished"}));

    // The fights of each: its wins, and the fight it lost or drew.
    int most = 0;
    for (int i = 0; i < 4; ++i) {
        const int fought = row(i).Entry.Wins + (row(i).OutStatus != -1 ? 1 : 0);
        expectChain(path("ak"), "r" + std::to_string(i + 1), fought, own["r" + std::to_string(i + 1)]);
        most = std::max(most, fought);
    }
    EXPECT_GE(most, 2); // someone won a fight and fought on
}

TEST_F(RoyalRunTest, CancelledWhileTheFirstFightRuns) {
    run([](modes::RunThread& thread) { thread.terminate(); });
    // The fight was set up but never stepped nor ended; the thread still
    // closes the script and posts WM_GAMEDONE. The fight's log, cut where
    // it stopped, has its name once the run is over.
    EXPECT_EQ(host_.events(), (std::vector<std::string>{"gamedone", "finished"}));
    EXPECT_EQ(run_->fightsStarted(), 1);
    EXPECT_EQ(run_->fightsFinished(), 0);
    EXPECT_EQ(run_->fightsRunning(), 1);
    EXPECT_TRUE(std::filesystem::exists(path("result/bt_001.txt")));
    expectNoTemporaryFile("result");
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));
    int fighting = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(+row(i).OutStatus, -1);
        EXPECT_EQ(+row(i).Entry.Wins, 0);
        fighting += row(i).FightTurn > 0;
    }
    EXPECT_EQ(fighting, 2);
    std::string viewer = script();
    EXPECT_EQ(viewer.find("Fight:"), std::string::npos);
    EXPECT_EQ(viewer.substr(viewer.size() - 5), "End:\n");
    // The result table still comes: all three in the game, no wins.
    modes::Lines table = brawl::resultTable(settings_, brawl::finalStandings(entrants_));
    EXPECT_EQ(table[6].substr(0, 7), sj(" 優勝  "));
    EXPECT_EQ(table[7].substr(0, 7), "       ");
}

// "終了" while the old outputs are deleted: unlike a cancel during the
// fights, the run ends there without WM_GAMEDONE, so no table is written;
// nothing of the run (script, logs) was begun and the old files not yet
// reached stay.
TEST_F(RoyalRunTest, CancelledWhileTheOldOutputsAreDeleted) {
    host_.stopInCleanup = true;
    run();
    EXPECT_EQ(host_.events(), std::vector<std::string>{"finished"});
    EXPECT_EQ(run_->fightsStarted(), 0);
    EXPECT_TRUE(std::filesystem::exists(path("out/r1.da3")));
    EXPECT_TRUE(std::filesystem::exists(path("result/bt_077.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/bt_view.vellScript")));
    EXPECT_FALSE(std::filesystem::exists(path("result/bt_001.txt")));
    EXPECT_EQ(scrolled_, 0);
}

// The device takes no more bytes once the first fight has started: its log
// is the one report, and the run stops without WM_GAMEDONE; neither the
// fight's log nor the viewer script is left cut under its name.
TEST_F(RoyalRunTest, AFileNotWrittenStopsTheRunWithoutATable) {
    plat::notify::setHeadlessEcho(false);
    run([](modes::RunThread&) { plat::setAtomicWriteFault(0); });
    plat::setAtomicWriteFault(-1);
    plat::notify::setHeadlessEcho(true);
    EXPECT_EQ(host_.events(), std::vector<std::string>{"finished"});
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, plat::msg::format(41020, {modes::joinFolder(resultFolder(), "bt_001.txt")}));
    EXPECT_EQ(run_->fightsStarted(), 1);
    EXPECT_FALSE(std::filesystem::exists(path("result/bt_001.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/bt_view.vellScript")));
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));
}

// A fault of the plug-in's own file (reported as the viewer script's is)
// while the first fight is open: the run stops without WM_GAMEDONE, and the
// open fight leaves no log under its name, unlike a cancel (above).
TEST_F(RoyalRunTest, AFaultStopLeavesNoLogOfAnOpenFight) {
    plat::notify::setHeadlessEcho(false);
    run([this](modes::RunThread&) {
        modes::reportRunFile(41020, path("result/bt_view.vellScript").string());
    });
    plat::notify::setHeadlessEcho(true);
    EXPECT_EQ(host_.events(), std::vector<std::string>{"finished"});
    EXPECT_EQ(run_->fightsRunning(), 1);
    for (const char* log : {"result/bt_001.txt", "result/bt_001.chk", "result/bt_001.htm"})
        EXPECT_FALSE(std::filesystem::exists(path(log))) << log;
    expectNoTemporaryFile("result");
}

TEST_F(RoyalRunTest, AnAkThatCannotBeReadLeavesTheGame) {
    // Gone after the entrants were made: its fight cannot start.
    std::filesystem::remove(path("ak/r2.dat"));
    run();
    EXPECT_EQ(host_.events(), (std::vector<std::string>{"gamedone", "finished"}));
    EXPECT_EQ(+row(1).OutStatus, 0);
    EXPECT_EQ(+row(1).FightTurn, 0);
    // The other two fought each other.
    EXPECT_EQ(run_->fightsStarted(), 1);
    EXPECT_EQ(run_->fightsFinished(), 1);
    auto rec = plat::notify::recorded();
    ASSERT_FALSE(rec.empty());
    EXPECT_EQ(rec.front().text, plat::msg::format(41022, {entrants_[1].Path}));
}

// Once fight 1 has written its output files they are gone (their folder
// went away): its winner's next fight cannot start from its file, which is
// the one report, and the run stops without WM_GAMEDONE.
TEST_F(RoyalRunTest, AWinnersOutputFileThatIsGoneStopsTheRun) {
    bool lost = false;
    host_.onPost = [&] {
        if (lost || run_->fightsFinished() == 0) return;
        lost = true;
        for (const auto& e : std::filesystem::directory_iterator(path("out")))
            std::filesystem::remove(e.path());
    };
    run();
    ASSERT_TRUE(lost);
    EXPECT_EQ(host_.events(), std::vector<std::string>{"finished"});
    EXPECT_EQ(run_->fightsStarted(), 1);
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_NE(rec[0].text.find(".da1"), std::string::npos) << testsupport::u8(rec[0].text);
    // The viewer script would replay a run that stopped half way.
    EXPECT_TRUE(std::filesystem::exists(path("result/bt_001.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/bt_view.vellScript")));
}

} // namespace
