// Shared set-up of the game-mode tests: the program folder of the build
// (the real libraries and the sample data), a scratch folder with its own
// settings store, the headless notifier, conf records pointing at scratch
// folders, fixed seeds for the dice and the general generator, a run host
// that collects what a run thread hands to its window, message boxes of a
// run thread held until the test lets go, golden files, and the
// last resort against a hang: a watchdog thread that ends the test program
// when a scope (or, installed for a program, every test) outlives its limit.
// Window tests (linked with Qt Widgets) also get the driver of guidriver.h,
// in namespace modetest::gui.
#pragma once

#include "base/aksourcelist.h"
#include "base/confrecords.h"
#include "base/sjis.h"
#include "modes/frame/match.h"
#include "modes/frame/runthread.h"
#include "platform/clock.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/registry.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

extern "C" int32_t RandomizeSystem();

namespace modetest {

inline std::string programDir() {
    return VELL_PROGRAM_DIR;
}

inline std::string sampleFile(int n) {
    return "ak0" + std::to_string(n) + ".dat";
}

// The fixed local time of the tests (heading lines, log headers, dice).
inline plat::clock::LocalTime fixedTime() {
    plat::clock::LocalTime t;
    t.year = 2026;
    t.month = 4;
    t.day = 5;
    t.dayOfWeek = 0;
    t.hour = 13;
    t.minute = 7;
    t.second = 9;
    t.centisecond = 42;
    return t;
}

// Fixes the clock and reseeds the dice from it through the game
// processor's export, and seeds the general generator.
inline void seedEverything(uint32_t general = 1) {
    plat::clock::setFixedLocalTime(fixedTime());
    plat::clock::setFixedEpochSeconds(1775394429);
    RandomizeSystem();
    plat::random::seed(general);
}

class ModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::setProgramFolder(programDir());
        plat::setLibraryFolder(programDir());
        plat::reg::setStorePath((dir_.path() / "registry.reg").string());
        plat::notify::setHeadlessEcho(false);
        plat::notify::clearRecorded();
        plat::notify::setHeadlessAnswer(0);
        // The basic messages: the sample archive of the program folder.
        plat::reg::writeValue("Software\\Corvane\\Message\\Standard", "Path", "Message\\Basic.kwp");
        std::filesystem::create_directories(dir_.path() / "ak");
        std::filesystem::create_directories(dir_.path() / "out");
        std::filesystem::create_directories(dir_.path() / "result");
        seedEverything();
    }
    void TearDown() override {
        plat::notify::clearRecorded();
        plat::clock::setFixedLocalTime(std::nullopt);
        plat::clock::setFixedEpochSeconds(std::nullopt);
        // A window closed after the test saves into the program's settings,
        // never into the scratch folder that is about to go.
        plat::reg::setStorePath(settingsHome_);
    }

    // What a crash leaves in a folder the event writes (a rewrite's
    // temporary file), beside a user's file of a name like it.
    void plantLeftovers(const std::string& rel) {
        testsupport::writeFile(path(rel + "/.vell-tmp-Kx93bQ"), "half");
        testsupport::writeFile(path(rel + "/.vell-tmp-notes"), "mine");
    }
    // The leftover went, the user's file stayed.
    void expectLeftoversGone(const std::string& rel) {
        EXPECT_FALSE(std::filesystem::exists(path(rel + "/.vell-tmp-Kx93bQ"))) << rel;
        EXPECT_TRUE(std::filesystem::exists(path(rel + "/.vell-tmp-notes"))) << rel;
    }

    std::string scratch() const { return dir_.folder(); }
    std::filesystem::path path(const std::string& rel) const { return dir_.path() / rel; }
    std::string akFolder() const { return scratch() + "ak"; }
    std::string resultFolder() const { return scratch() + "result"; }

    // Copies the sample AKs into the scratch AK folder.
    void copySamples(std::initializer_list<int> samples) {
        for (int n : samples)
            std::filesystem::copy_file(programDir() + "AkData/" + sampleFile(n), path("ak/" + sampleFile(n)),
                                       std::filesystem::copy_options::overwrite_existing);
    }

    // A league conf over the scratch folders: options as a new conf has
    // them, narration off (no log text) unless `logs`.
    void makeConf(bool logs = false) {
        settings_ = GameSettings{};
        header_ = ConfHeader{};
        sources_ = AkSourceList{};
        sjis::writeField(header_.ConfName, testsupport::sj("テストリーグ"));
        sjis::writeField(header_.ConfMemo, testsupport::sj("総当たり"));
        sjis::writeField(header_.AkInputFolder, akFolder());
        sjis::writeField(header_.AkOutputFolder, scratch() + "out");
        sjis::writeField(header_.ResultFolder, resultFolder());
        sjis::writeField(header_.WeaponDataFolder, programDir() + "WpData");
        header_.GameForm = 3;
        sjis::writeField(settings_.StadiumName, testsupport::sj("試験場"));
        sjis::writeField(settings_.OrganiserName, testsupport::sj("技術部"));
        settings_.MatchType = 3;
        settings_.MatchMinutes = 30;
        settings_.OutputColumns = 78;
        settings_.NameWidth = 16;
        settings_.MessagePercent = 100;
        settings_.WinnerCr = 300;
        settings_.LoserCr = 100;
        settings_.Options[OptLogOutput] = logs ? 1 : 0;
        settings_.Options[OptImmobileDraw] = 1;
        settings_.Options[OptAutoProcess] = 1; // repairs without asking
        settings_.Options[OptResupplyWinner] = 1;
        sources_.Count = 1;
    }

    const std::string settingsHome_ = plat::reg::storePath();
    testsupport::TempDir dir_;
    GameSettings settings_{};
    ConfHeader header_{};
    AkSourceList sources_{};
};

// A run host for tests: collects the calls a run thread posts (run later
// on the test's thread with runPosted), counts WM_GAMEDONE and tells when
// the thread has finished.
class TestHost : public modes::RunHost {
public:
    void post(std::function<void()> call) override {
        std::lock_guard<std::mutex> lock(m_);
        calls_.push_back(std::move(call));
        events_.push_back("post");
        if (onPost_) onPost_();
    }
    void postGameDone() override {
        std::lock_guard<std::mutex> lock(m_);
        ++gameDone_;
        events_.push_back("gamedone");
    }
    void stoppedOnFault() override {
        std::lock_guard<std::mutex> lock(m_);
        ++faultStops_;
        events_.push_back("fault");
    }
    void finished() override {
        std::lock_guard<std::mutex> lock(m_);
        finished_ = true;
        events_.push_back("finished");
        cv_.notify_all();
    }
    bool waitFinished(std::chrono::seconds limit = std::chrono::seconds(120)) {
        std::unique_lock<std::mutex> lock(m_);
        return cv_.wait_for(lock, limit, [this] { return finished_; });
    }
    void runPosted() {
        std::vector<std::function<void()>> calls;
        {
            std::lock_guard<std::mutex> lock(m_);
            calls.swap(calls_);
        }
        for (auto& c : calls) c();
    }
    // The clean-up at the start of the run as the window is told of it
    // (kept apart from events(): each is one step of the window's status).
    struct CleanupShown {
        std::string status;
        int done = 0;
        int total = 0;
    };
    void showCleanup(std::string_view status, int done, int total) override {
        CleanupShown shown{std::string(status), done, total};
        std::function<void(const CleanupShown&)> hook;
        {
            std::lock_guard<std::mutex> lock(m_);
            cleanups_.push_back(shown);
            hook = onCleanup_;
        }
        if (hook) hook(shown);
    }
    std::vector<CleanupShown> cleanups() {
        std::lock_guard<std::mutex> lock(m_);
        return cleanups_;
    }
    // Runs on the worker inside showCleanup().
    void setOnCleanup(std::function<void(const CleanupShown&)> f) { onCleanup_ = std::move(f); }
    // Runs on the worker inside post().
    void setOnPost(std::function<void()> f) { onPost_ = std::move(f); }
    int gameDone() const { return gameDone_; }
    int faultStops() const { return faultStops_; }
    std::vector<std::string> events() {
        std::lock_guard<std::mutex> lock(m_);
        return events_;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    std::vector<std::function<void()>> calls_;
    std::vector<std::string> events_;
    std::function<void()> onPost_;
    std::vector<CleanupShown> cleanups_;
    std::function<void(const CleanupShown&)> onCleanup_;
    int gameDone_ = 0;
    int faultStops_ = 0;
    bool finished_ = false;
};

// Holds every message box that another thread (a run thread) asks for
// until released, so that a test can press buttons while the run is surely
// still inside a match; boxes asked for on the thread that made it are
// answered at once, those of the other thread after the release each after
// `later` (a busy machine). A box is never held longer than `Cap` (past any
// window driver's deadline); release() is what a test gives the driver to
// run when its deadline passes.
class HeldReports {
public:
    static constexpr std::chrono::seconds Cap{90};

    explicit HeldReports(std::chrono::milliseconds later = std::chrono::milliseconds(0))
        : owner_(std::this_thread::get_id()) {
        plat::notify::setHandler([this, later](const plat::notify::Request& request) {
            std::unique_lock<std::mutex> lock(m_);
            texts_.push_back(request.text);
            if (std::this_thread::get_id() == owner_) return plat::notify::IdOk;
            if (released_) {
                lock.unlock();
                std::this_thread::sleep_for(later);
                return plat::notify::IdOk;
            }
            waiting_ = true;
            cv_.wait_for(lock, Cap, [this] { return released_; });
            return plat::notify::IdOk;
        });
    }
    ~HeldReports() {
        release();
        plat::notify::setHandler({});
    }
    HeldReports(const HeldReports&) = delete;
    HeldReports& operator=(const HeldReports&) = delete;

    void release() {
        std::lock_guard<std::mutex> lock(m_);
        released_ = true;
        cv_.notify_all();
    }
    // Whether a box is held (or was).
    bool waiting() {
        std::lock_guard<std::mutex> lock(m_);
        return waiting_;
    }
    // The texts of every box asked for, in order.
    std::vector<std::string> texts() {
        std::lock_guard<std::mutex> lock(m_);
        return texts_;
    }

private:
    const std::thread::id owner_;
    std::mutex m_;
    std::condition_variable cv_;
    std::vector<std::string> texts_;
    bool waiting_ = false;
    bool released_ = false;
};

// Compares written bytes with a golden file of the source tree (Shift-JIS,
// CR LF, as written). With VELL_UPDATE_GOLDEN=1 in the environment the
// golden file is rewritten instead.
inline void expectGolden(const std::string& actual, const std::string& goldenName) {
    std::filesystem::path golden = std::filesystem::path(VELL_GOLDEN_DIR) / goldenName;
    if (const char* update = std::getenv("VELL_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        testsupport::writeFile(golden, actual);
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
    std::string expected = testsupport::readFile(golden);
    EXPECT_EQ(testsupport::u8(actual), testsupport::u8(expected)) << "golden " << goldenName;
    EXPECT_EQ(actual, expected) << "golden " << goldenName << " differs in its bytes";
}

// The result records ("--- CVVELL Game Result ---") an AK data file carries.
inline int resultRecords(const std::filesystem::path& file) {
    const std::string bytes = testsupport::readFile(file);
    const std::string marker = "--- CVVELL Game Result ---";
    int count = 0;
    for (size_t p = bytes.find(marker); p != std::string::npos; p = bytes.find(marker, p + 1)) ++count;
    return count;
}

// The players' returned AK files: the ".dat" files in `folder`, paired in
// order, fight one match each through the game processor (started by the
// caller) with `folder` as their AK output folder, so each leaves
// "<stem>.da1" beside it, with its result record (option 45 is set) and
// its line of armour left. Logs go to `logFolder`.
inline void makeReturnedFiles(GameSettings& settings, const MsgWords& words, const std::string& folder,
                              const std::string& logFolder, const std::vector<std::string>& files) {
    settings.Options[OptAkOutput] = 1;
    settings.Options[OptBattleInfoInAk] = 1;
    modes::applyRunSettings(settings, words);
    std::unique_ptr<modes::MatchSides> sides = modes::makeMatchSides();
    for (size_t i = 0; i + 1 < files.size(); i += 2) {
        const modes::MatchOutcome o =
            modes::playMatch(settings, *sides, folder + "\\" + files[i], folder + "\\" + files[i + 1],
                             logFolder + "\\returned_" + std::to_string(i) + ".txt", "", folder);
        ASSERT_TRUE(o.Played);
    }
}

// Checks the files of an entrant whose own file, "<stem>.da1" in the AK
// output folder `folder`, fought `fought` matches of a run: each match
// wrote the next free name, ".da2" to ".da<fought + 1>", starting from the
// file the one before wrote, so each carries one result record more than
// the one before and the last carries every match. The entrant's own file
// is still `own`.
inline void expectChain(const std::filesystem::path& folder, const std::string& stem, int fought,
                        const std::string& own) {
    SCOPED_TRACE(stem + " fought " + std::to_string(fought));
    const std::filesystem::path input = folder / (stem + ".da1");
    EXPECT_EQ(testsupport::readFile(input), own);
    const int base = resultRecords(input);
    for (int k = 1; k <= fought; ++k)
        EXPECT_EQ(resultRecords(folder / (stem + ".da" + std::to_string(k + 1))), base + k) << k;
    EXPECT_FALSE(std::filesystem::exists(folder / (stem + ".da" + std::to_string(fought + 2))));
}

// Ends the test program with exit code 1 and a message naming `what` when
// it is still alive after `limit`: a run thread that never finishes, a join,
// a window thread blocked outside any event loop, where no timer reaches.
class Watchdog {
public:
    Watchdog(std::chrono::milliseconds limit, std::string what) : what_(std::move(what)) {
        thread_ = std::thread([this, limit] {
            std::unique_lock<std::mutex> lock(m_);
            if (cv_.wait_for(lock, limit, [this] { return disarmed_; })) return;
            std::fprintf(stderr, "\n[  FAILED  ] %s did not finish within %lld ms: the test program ends\n",
                         what_.c_str(), static_cast<long long>(limit.count()));
            std::fflush(stderr);
            std::_Exit(1);
        });
    }
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_);
            disarmed_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::string what_;
    std::mutex m_;
    std::condition_variable cv_;
    bool disarmed_ = false;
    std::thread thread_;
};

// The name of the running test ("Suite.Name"), or `fallback` outside one.
inline std::string currentTestName(const char* fallback = "a test") {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "." + info->name() : std::string(fallback);
}

// A watchdog for every test of a program: installed once (from a namespace
// scope initialiser of one of its files), each test gets `limit`.
class TestWatchdog : public ::testing::EmptyTestEventListener {
public:
    explicit TestWatchdog(std::chrono::milliseconds limit) : limit_(limit) {}

    void OnTestStart(const ::testing::TestInfo& info) override {
        watchdog_.reset();
        watchdog_ =
            std::make_unique<Watchdog>(limit_, std::string(info.test_suite_name()) + "." + info.name());
    }
    void OnTestEnd(const ::testing::TestInfo&) override { watchdog_.reset(); }

    static bool install(std::chrono::milliseconds limit) {
        ::testing::UnitTest::GetInstance()->listeners().Append(new TestWatchdog(limit));
        return true;
    }

private:
    std::chrono::milliseconds limit_;
    std::unique_ptr<Watchdog> watchdog_;
};

} // namespace modetest

// Last, so that guidriver.h, which builds on the above, finds it complete
// whichever of the two a test includes first.
#ifdef QT_WIDGETS_LIB
#include "modes/frame/tests/guidriver.h"
#endif
