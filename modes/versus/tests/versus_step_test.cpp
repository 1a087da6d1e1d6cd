// The one-vs-one step machine without a display, playing real matches
// between sample AKs through libcvcore.so with fixed seeds: which export
// each step calls, the pages of step mode, run mode chaining to the end
// with the same narration, the abort answers (scripted), the AK view keys,
// the status toggle, the end of the window, and the leftovers of a crash
// removed at the start.
#include "modes/frame/match.h"
#include "modes/frame/setup.h"
#include "modes/versus/slots.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "vstest.h"

#include <algorithm>
#include <filesystem>
#include <functional>

namespace {

using namespace modetest;
using namespace vstest;
using testsupport::sj;
using versus::MatchStepper;

class StepHostStub : public versus::StepHost {
public:
    void postStep() override {
        ++pending;
        maxPending = std::max(maxPending, pending);
    }
    void pumpMessages() override {
        if (onPump) onPump();
    }
    void* windowHandle() override { return nullptr; }
    versus::LogSink& logView() override { return log; }
    versus::LogSink& akView() override { return ak; }
    void setBusyCursor(bool busy) override { busyDepth += busy ? 1 : -1; }
    void toolsChanged() override { ++toolChanges; }
    void updateStatusWindows() override { ++statusUpdates; }
    void setStatusWindowsVisible(bool visible) override { statusVisible = visible; }
    void closeWindow(int result) override { closedWith = result; }
    void openDocument(const std::string& path) override { opened.push_back(path); }
    void refocus() override { ++refocused; }

    int pending = 0;
    int maxPending = 0;
    std::function<void()> onPump;
    VectorSink log;
    VectorSink ak;
    int busyDepth = 0;
    int toolChanges = 0;
    int statusUpdates = 0;
    bool statusVisible = true;
    int closedWith = -1;
    int refocused = 0;
    std::vector<std::string> opened;
};

class StepMachine : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2});
        makeConf(true);
        header_.GameForm = 0;
        settings_.Options[OptAkOutput] = 1;
        setup_ = std::make_unique<modes::ModeSetup>(modes::modeInfo(modes::ModeKind::Versus), settings_,
                                                    header_, sources_);
        ASSERT_TRUE(setup_->startSystem());
        ASSERT_TRUE(slots_.load(0, akFolder() + "/ak01.dat"));
        ASSERT_TRUE(slots_.load(1, akFolder() + "/ak02.dat"));
        logName_ = resultFolder() + "/Game.txt";
    }
    void TearDown() override {
        stepper_.reset();
        setup_.reset();
        ModeTest::TearDown();
    }

    // A new match: fixed seeds, the start's preparation, the window opened.
    void begin() {
        stepper_.reset();
        host_ = std::make_unique<StepHostStub>();
        calls_ = RecordingCalls{};
        seedEverything();
        *states_ = States{};
        ASSERT_TRUE(versus::prepareMatch(settings_, header_, setup_->tables().Words, slots_,
                                         states_->s[0].State, states_->s[1].State));
        stepper_ = std::make_unique<MatchStepper>(
            settings_, header_, *setup_->buffer(), logName_, setup_->tables().Display,
            sj("（リターンキーを押すと次に進みます）"), true, calls_, *host_);
        stepper_->open();
    }

    // Runs the steps posted so far (and those they post), as the message
    // queue would; false when it did not come to rest.
    bool runQueued(int limit = 20000) {
        for (int n = 0; host_->pending > 0; ++n) {
            if (n >= limit) return false;
            --host_->pending;
            stepper_->step();
            afterStep_.push_back(host_->pending);
        }
        return true;
    }

    // Enter until the match is done; the calls of every step.
    std::vector<std::vector<std::string>> stepThrough() {
        std::vector<std::vector<std::string>> perStep;
        for (int n = 0; stepper_->stepState() != versus::StepDone && n < 5000; ++n) {
            calls_.calls.clear();
            stepper_->keyPress(13);
            EXPECT_EQ(host_->pending, 1);
            EXPECT_TRUE(runQueued());
            perStep.push_back(calls_.calls);
        }
        return perStep;
    }

    // The narration shown: the log view without empty lines and prompts.
    std::vector<std::string> narration() const {
        std::vector<std::string> out;
        for (const std::string& line : host_->log.texts())
            if (!line.empty() && line != sj("（リターンキーを押すと次に進みます）")) out.push_back(line);
        return out;
    }

    struct States {
        modes::CombatantSlot s[2];
    };
    std::unique_ptr<modes::ModeSetup> setup_;
    versus::VersusSlots slots_;
    std::unique_ptr<States> states_ = std::make_unique<States>();
    std::string logName_;
    RecordingCalls calls_;
    std::unique_ptr<StepHostStub> host_;
    std::unique_ptr<MatchStepper> stepper_;
    std::vector<int> afterStep_;
};

TEST_F(StepMachine, StepModeCallsOneExportPerStepAndPagesWithoutCalling) {
    begin();
    EXPECT_EQ(calls_.calls, std::vector<std::string>{"StartMatch"});
    EXPECT_EQ(stepper_->stepState(), versus::StepOpeningShown);
    EXPECT_TRUE(stepper_->paused());
    ASSERT_FALSE(host_->log.lines.empty());
    EXPECT_EQ(host_->log.lines.back().first, sj("（リターンキーを押すと次に進みます）"));
    EXPECT_EQ(host_->busyDepth, 0);
    EXPECT_EQ(settings_.Options[Opt36], 1);
    EXPECT_EQ(settings_.Options[OptMessagesOff], 0);

    // Steps that begin with output still to show call nothing; the others
    // at most one export; the end is EndMatch1, then EndMatch2.
    std::vector<std::string> sequence;
    int pagedSteps = 0, processCalls = 0;
    for (int n = 0; stepper_->stepState() != versus::StepDone && n < 5000; ++n) {
        const bool pendingBefore = stepper_->outputPending();
        const int32_t stateBefore = stepper_->stepState();
        calls_.calls.clear();
        stepper_->keyPress(13);
        ASSERT_EQ(host_->pending, 1);
        ASSERT_TRUE(runQueued());
        std::vector<std::string> made;
        for (const std::string& c : calls_.calls)
            if (c != "_GetReturnFileName") made.push_back(c);
        EXPECT_LE(made.size(), 1u) << "step " << n;
        if (pendingBefore && stateBefore != versus::StepClosing) {
            EXPECT_TRUE(made.empty()) << "step " << n << " called " << made.front();
            ++pagedSteps;
        }
        for (const std::string& c : made) {
            sequence.push_back(c);
            processCalls += c == "ProcessMatch";
        }
        EXPECT_EQ(host_->busyDepth, 0);
        // The log's end button is off while rounds are played.
        if (stepper_->stepState() == versus::StepRounds) {
            EXPECT_FALSE(stepper_->tools().End);
        }
    }
    ASSERT_EQ(stepper_->stepState(), versus::StepDone);
    EXPECT_GT(pagedSteps, 0);
    EXPECT_GT(processCalls, 0);
    ASSERT_GE(sequence.size(), 3u);
    EXPECT_EQ(sequence[sequence.size() - 2], "EndMatch1");
    EXPECT_EQ(sequence.back(), "EndMatch2");
    EXPECT_EQ(std::count(sequence.begin(), sequence.end(), "EndMatch1"), 1);
    EXPECT_EQ(std::count(sequence.begin(), sequence.end(), "ProcessMatch"),
              static_cast<long>(sequence.size()) - 2);
    EXPECT_NE(stepper_->matchEndCode(), 0);

    // Done: no prompt, the buttons of the end, the output AK files named.
    EXPECT_NE(host_->log.lines.back().first, sj("（リターンキーを押すと次に進みます）"));
    const versus::ToolState& t = stepper_->tools();
    EXPECT_FALSE(t.Play);
    EXPECT_FALSE(t.Fwd);
    EXPECT_FALSE(t.Pause);
    EXPECT_FALSE(t.Quit);
    EXPECT_TRUE(t.End);
    EXPECT_TRUE(t.FileAfter[0] && t.FileAfter[1]);
    EXPECT_EQ(stepper_->returnFileName(0), scratch() + "out\\ak01.da1");
    EXPECT_EQ(stepper_->returnFileName(1), scratch() + "out\\ak02.da1");
    EXPECT_TRUE(std::filesystem::exists(path("out/ak01.da1")));
    EXPECT_GT(host_->statusUpdates, 0);
    EXPECT_NE(testsupport::readFile(path("result/Game.txt")).find(sj("アレックス・ロウ")), std::string::npos);

    // The file menu: before and after the match.
    stepper_->openFile(versus::FileTagBefore2);
    stepper_->openFile(versus::FileTagAfter1);
    EXPECT_EQ(host_->opened,
              (std::vector<std::string>{akFolder() + "/ak02.dat", scratch() + "out\\ak01.da1"}));

    // Enter, Space and Q do nothing any more.
    calls_.calls.clear();
    for (int key : {13, int{' '}, int{'q'}}) stepper_->keyPress(key);
    EXPECT_EQ(host_->pending, 0);
    EXPECT_TRUE(calls_.calls.empty());
}

TEST_F(StepMachine, RunModeChainsToTheEndWithTheSameNarration) {
    begin();
    stepThrough();
    const std::vector<std::string> stepped = narration();
    ASSERT_FALSE(stepped.empty());

    begin();
    stepper_->keyPress(' ');
    EXPECT_FALSE(stepper_->paused());
    EXPECT_TRUE(stepper_->tools().Pause);
    EXPECT_FALSE(stepper_->tools().Play);
    ASSERT_TRUE(runQueued());
    EXPECT_EQ(stepper_->stepState(), versus::StepDone);
    EXPECT_EQ(narration(), stepped);
    // Page breaks did not stop it: no step without a call but the last ones.
    EXPECT_EQ(std::count(calls_.calls.begin(), calls_.calls.end(), "EndMatch2"), 1);
}

TEST_F(StepMachine, SpacePausesAndTheStepsStayOneChain) {
    begin();
    host_->onPump = [this] {
        // The message pump of a step runs the steps already queued.
        while (host_->pending > 0) {
            --host_->pending;
            stepper_->step();
        }
    };
    stepper_->keyPress(' '); // run
    stepper_->keyPress(' '); // pause before the step ran
    EXPECT_TRUE(stepper_->paused());
    EXPECT_TRUE(stepper_->tools().Play);
    stepper_->keyPress(' '); // run again: a second step waits
    EXPECT_EQ(host_->pending, 2);
    ASSERT_TRUE(runQueued());
    EXPECT_EQ(stepper_->stepState(), versus::StepDone);
    for (size_t i = 0; i < afterStep_.size(); ++i) EXPECT_LE(afterStep_[i], 1) << "after step " << i;
}

// A device that takes no more bytes fails the log and both output AK
// files of the match: one report, naming the log, which is not left; the
// next match, on a sound device, reports nothing and keeps its files.
TEST_F(StepMachine, FilesNotWrittenAreOneReportPerMatch) {
    plat::notify::setHeadlessEcho(false);
    plat::setAtomicWriteFault(0);
    begin();
    stepper_->keyPress(' ');
    ASSERT_TRUE(runQueued());
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(stepper_->stepState(), versus::StepDone);
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text, plat::msg::format(41020, {logName_}));
    EXPECT_FALSE(std::filesystem::exists(logName_));
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));

    begin();
    stepper_->keyPress(' ');
    ASSERT_TRUE(runQueued());
    plat::notify::setHeadlessEcho(true);
    EXPECT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(logName_));
    EXPECT_TRUE(std::filesystem::exists(path("out/ak01.da1")));
}

// The start of a match removes what a crash left in the two folders the
// match writes, and only that.
TEST_F(StepMachine, TheStartRemovesACrashsLeftoversFromItsFolders) {
    plantLeftovers("out");
    plantLeftovers("result");
    begin();
    expectLeftoversGone("out");
    expectLeftoversGone("result");
}

TEST_F(StepMachine, AbortGoOnHoldAndEnd) {
    settings_.Options[OptAkOutput] = 0;
    begin();
    // Into the rounds.
    while (stepper_->stepState() == versus::StepOpeningShown) {
        stepper_->keyPress(13);
        ASSERT_TRUE(runQueued());
    }
    ASSERT_EQ(stepper_->stepState(), versus::StepRounds);

    // Go on: back in step mode.
    calls_.aborts.push_back({0, 0});
    calls_.calls.clear();
    stepper_->keyPress('Q');
    EXPECT_EQ(stepper_->stepState(), versus::StepAbort);
    EXPECT_FALSE(stepper_->paused());
    ASSERT_TRUE(runQueued());
    EXPECT_EQ(calls_.calls, std::vector<std::string>{"AbortMatch"});
    EXPECT_EQ(stepper_->stepState(), versus::StepRounds);
    EXPECT_TRUE(stepper_->paused());
    EXPECT_TRUE(stepper_->tools().Play);
    EXPECT_TRUE(stepper_->tools().Fwd);
    EXPECT_FALSE(stepper_->tools().Pause);
    EXPECT_TRUE(stepper_->tools().Quit);

    // Hold with the AKs written: done at once, the files named.
    calls_.aborts.push_back({4, 1});
    calls_.calls.clear();
    stepper_->keyPress('q');
    ASSERT_TRUE(runQueued());
    EXPECT_EQ(calls_.calls,
              (std::vector<std::string>{"AbortMatch", "_GetReturnFileName", "_GetReturnFileName"}));
    EXPECT_EQ(stepper_->stepState(), versus::StepDone);
    EXPECT_TRUE(stepper_->tools().FileAfter[0]);
    EXPECT_TRUE(stepper_->tools().End);
    EXPECT_FALSE(stepper_->tools().Play);
}

TEST_F(StepMachine, AbortWithAResultGoesOnToTheEndOfTheMatch) {
    settings_.Options[OptAkOutput] = 0;
    begin();
    stepper_->keyPress(13);
    ASSERT_TRUE(runQueued());
    // A quit from the opening: the rest of the page is shown first.
    calls_.aborts.push_back({1, 0});
    stepper_->keyPress('Q');
    ASSERT_TRUE(runQueued());
    EXPECT_EQ(stepper_->stepState(), versus::StepDecided);
    EXPECT_TRUE(stepper_->paused());
    EXPECT_TRUE(stepper_->tools().Play);
    EXPECT_FALSE(stepper_->tools().Quit);
    EXPECT_FALSE(stepper_->tools().End);

    // Nothing left to stop: Q posts no step but leaves step mode, so the
    // next Enter runs the rest of the match in one chain.
    stepper_->keyPress('Q');
    EXPECT_EQ(host_->pending, 0);
    EXPECT_EQ(stepper_->stepState(), versus::StepDecided);
    EXPECT_FALSE(stepper_->paused());

    const auto steps = stepThrough();
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0], (std::vector<std::string>{"EndMatch1", "EndMatch2"}));
    EXPECT_EQ(stepper_->stepState(), versus::StepDone);
    EXPECT_FALSE(stepper_->tools().FileAfter[0]); // no AK output, nothing written
}

TEST_F(StepMachine, AkViewKeysStatusToggleAndEnd) {
    begin();
    stepper_->keyPress('6');
    EXPECT_EQ(stepper_->akViewSide(), 0);
    EXPECT_EQ(stepper_->tools().Shown, versus::Page::AkView);
    EXPECT_EQ(stepper_->tools().Down, versus::DownButton::Player1);
    ASSERT_GT(host_->ak.lines.size(), 3u);
    EXPECT_EQ(host_->ak.lines[0].first, "");
    stepper_->keyPress('6');
    EXPECT_EQ(stepper_->akViewSide(), 1);
    EXPECT_EQ(stepper_->tools().Down, versus::DownButton::Player2);
    stepper_->keyPress('6');
    EXPECT_EQ(stepper_->akViewSide(), 3);
    EXPECT_EQ(stepper_->tools().Shown, versus::Page::Game);
    EXPECT_EQ(stepper_->tools().Down, versus::DownButton::Log);
    for (int32_t expected : {1, 0, 3}) {
        stepper_->keyPress('4');
        EXPECT_EQ(stepper_->akViewSide(), expected);
    }
    EXPECT_EQ(calls_.akViewerSides, (std::vector<int32_t>{0, 1, 1, 0}));
    stepper_->showPlayer(1);
    EXPECT_EQ(stepper_->akViewSide(), 3);
    EXPECT_EQ(calls_.akViewerSides.back(), 1);
    // Q shows the log page and leaves the check group as it was.
    stepper_->keyPress('q');
    EXPECT_EQ(stepper_->stepState(), versus::StepAbort);
    EXPECT_EQ(stepper_->tools().Shown, versus::Page::Game);
    EXPECT_EQ(stepper_->tools().Down, versus::DownButton::Player2);
    // Enter shows the log with its button down.
    stepper_->keyPress(13);
    EXPECT_EQ(stepper_->tools().Shown, versus::Page::Game);
    EXPECT_EQ(stepper_->tools().Down, versus::DownButton::Log);

    stepper_->keyPress('S');
    EXPECT_FALSE(stepper_->statusView());
    EXPECT_FALSE(host_->statusVisible);
    EXPECT_FALSE(stepper_->tools().StatusDown);
    stepper_->keyPress('s');
    EXPECT_TRUE(host_->statusVisible);
    EXPECT_EQ(host_->refocused, 2);

    // Esc ends the window in any state; a match not over is left as it
    // is, its log under its name. A step still queued does nothing.
    calls_.calls.clear();
    EXPECT_FALSE(std::filesystem::exists(logName_));
    stepper_->keyPress(27);
    EXPECT_EQ(host_->closedWith, 1);
    EXPECT_TRUE(stepper_->closed());
    EXPECT_EQ(calls_.calls, std::vector<std::string>{"KeepOpenMatches"});
    EXPECT_TRUE(std::filesystem::exists(logName_));
    calls_.calls.clear();
    ASSERT_TRUE(runQueued());
    stepper_->keyPress(13);
    EXPECT_EQ(host_->pending, 0);
    EXPECT_TRUE(calls_.calls.empty());
}

} // namespace
