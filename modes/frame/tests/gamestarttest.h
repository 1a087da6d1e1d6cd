// The set-up shared by the GameStart tests of the mode plug-ins: the
// plug-in loaded by name ("<MODE>.DLL") from the program folder as the main
// program finds it, sample AKs in the scratch AK folder, a conf that logs,
// and the checks every plug-in's GameStart must pass alike (the set-up
// window closes by itself when the game processor's system cannot start;
// missing records are refused).
#pragma once

#include "modes/frame/tests/guidriver.h"
#include "modes/frame/tests/modetest.h"
#include "platform/loader.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace modetest {

using GameStartFn = int (*)(const char*, GameSettings*, ConfHeader*, AkSourceList*, void*);

class GameStartTest : public ModeTest {
public:
    // `library` is the plug-in's name in the program folder, `samples` the
    // sample AKs copied to the AK folder, `gameForm` the conf's game form.
    GameStartTest(const char* library, std::initializer_list<int> samples, uint8_t gameForm)
        : libraryName_(library), samples_(samples), gameForm_(gameForm) {}

    int start() { return gameStart_(programDir().c_str(), &settings_, &header_, &sources_, qApp); }

protected:
    void SetUp() override {
        ModeTest::SetUp();
        ASSERT_TRUE(library_.load(programDir(), libraryName_, {"GameStart"})) << library_.error();
        gameStart_ = library_.function<GameStartFn>("GameStart");
        ASSERT_NE(gameStart_, nullptr);
        for (int n : samples_) copySamples({n});
        makeConf(true);
        header_.GameForm = gameForm_;
    }
    void TearDown() override {
        // A test may have held the run thread's message boxes.
        plat::notify::setHandler({});
        ModeTest::TearDown();
    }

    // Without the message-archive library in the library folder the
    // system cannot start: its message is shown and the set-up window
    // closes by itself, at once, with "キャンセル"'s result.
    void expectTheWindowClosesWhenTheSystemCannotStart() {
        plat::setProgramFolder(scratch());
        plat::setLibraryFolder(scratch());
        // Nothing to answer: a window still open at the deadline fails.
        gui::Driver guard([] { return false; }, 10000);
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(start(), 2);
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_FALSE(guard.expired());
        auto rec = plat::notify::recorded();
        ASSERT_FALSE(rec.empty());
        EXPECT_EQ(rec.back().text,
                  testsupport::sj("KWPH.DLL が読みこめません。ファイルを確認してください。"));
    }

    // The basic message archive of the settings store goes missing: the
    // game processor reports it (41009) on the run thread as every match is
    // set up, a report cancelWhileHeld holds. The start's entry check reads
    // the entrants' AK files, so a file taken away before the start no
    // longer reaches the run.
    void holdTheFirstMatch() {
        plat::reg::writeValue("Software\\Corvane\\Message\\Standard", "Path", "Message\\Missing.kwp");
    }

    // A missing record of the three refuses the call without a window.
    void expectMissingRecordsAreRefused() {
        gui::Driver guard([] { return false; }, 10000);
        const std::string folder = programDir();
        EXPECT_EQ(gameStart_(folder.c_str(), nullptr, &header_, &sources_, qApp), 2);
        EXPECT_EQ(gameStart_(folder.c_str(), &settings_, nullptr, &sources_, qApp), 2);
        EXPECT_EQ(gameStart_(folder.c_str(), &settings_, &header_, nullptr, qApp), 2);
        EXPECT_FALSE(guard.expired());
    }

    plat::Library library_;
    GameStartFn gameStart_ = nullptr;

private:
    std::string libraryName_;
    std::vector<int> samples_;
    uint8_t gameForm_;
};

} // namespace modetest
