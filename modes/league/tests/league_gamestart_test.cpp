// GameStart of libleague.so loaded by name ("LEAGUE.DLL") from the program
// folder, offscreen, with the set-up window answered as a game master
// would: start, let the progress window finish, "終了", "キャンセル". Also a
// run cancelled while a match is in progress, and a set-up window that
// closes by itself when the game processor's system cannot start.
#include "modes/frame/tests/gamestarttest.h"
#include "platform/catalogue.h"

#include <gtest/gtest-spi.h>

#include <QHeaderView>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>

namespace {

using namespace modetest;
using namespace modetest::gui;
using testsupport::sj;

class LeagueGameStart : public GameStartTest {
protected:
    LeagueGameStart() : GameStartTest("LEAGUE.DLL", {1, 2, 3}, 3) {}

    void SetUp() override {
        GameStartTest::SetUp();
        plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\DLL\\League", "RandomSort", 0);
    }
};

TEST_F(LeagueGameStart, AGameMasterRunsALeague) {
    const QString done = QString::fromUtf8("お待たせしました。リーグ戦の処理を終わりました");
    int progressMax = -1, progressValue = -1;
    RunSteps steps;
    steps.atEnd = [&](QWidget* progress) {
        auto* bar = progress->findChild<QProgressBar*>("ProgressBarLeague");
        progressMax = bar->maximum();
        progressValue = bar->value();
    };
    RunToTheEnd run = runToTheEnd("TFormLeague", done, steps, [this] { return start(); });
    EXPECT_EQ(run.result, 2); // the set-up window's "キャンセル"
    EXPECT_TRUE(run.done);
    EXPECT_LT(run.elapsedMs, 20000);
    EXPECT_EQ(progressMax, 3);
    EXPECT_EQ(progressValue, 3);
    EXPECT_TRUE(run.formMinimised);
    EXPECT_TRUE(run.formRestored);

    // The settings the plug-in forced and its version text.
    EXPECT_EQ(settings_.Options[OptImmobileDraw], 1);
    EXPECT_EQ(settings_.Options[OptAkOutput], 0);
    EXPECT_EQ(sjis::readField(settings_.ModeVersionText), "LEAGUE Ver.1.0.0.0 ");
    EXPECT_EQ(sjis::readField(sources_.Names[0]), "Current");

    // Outputs: the entry list, the three match logs, the result file.
    EXPECT_TRUE(std::filesystem::exists(path("result/entrylist.txt")));
    for (const char* log : {"lg_001_002.txt", "lg_001_003.txt", "lg_002_003.txt"})
        EXPECT_TRUE(std::filesystem::exists(path(std::string("result/") + log))) << log;
    std::string result = testsupport::readFile(path("result/League.txt"));
    EXPECT_EQ(result.rfind(sj("テストリーグ／総当たり\r\n"), 0), 0u);
    EXPECT_NE(result.find(sj("【結果】")), std::string::npos);
    EXPECT_NE(result.find(sj("  1:田中一郎        アレックス・ロウ      男性")), std::string::npos);
    EXPECT_EQ(result.substr(result.size() - sj("技術部／試験場\r\n").size()), sj("技術部／試験場\r\n"));

    // What the windows keep in the settings store.
    std::string key = "Software\\Dunmoor\\CVVell\\DLL\\League";
    EXPECT_EQ(plat::reg::readString(key + "\\File", "0000", ""), "League.txt");
    EXPECT_EQ(plat::reg::readString(key, "RandomSort", ""), "0");
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_LgWidth"));
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_LgProgTop"));
    for (const auto& r : plat::notify::recorded()) ADD_FAILURE() << testsupport::u8(r.text);
}

TEST_F(LeagueGameStart, CancellingWhileAMatchIsInProgress) {
    // The basic messages cannot be read: the game processor reports it on
    // the run thread as the first match is set up, and the report is held
    // until the test has pressed "終了", so the run is surely still going.
    holdTheFirstMatch();
    HeldCancel run = cancelWhileHeld("TFormLeague", [](QWidget*) {}, [this] { return start(); });
    EXPECT_EQ(run.result, 2);
    EXPECT_TRUE(run.done);
    // Closed while the run thread still waited; the set-up window waited
    // for the thread before it was back.
    EXPECT_TRUE(run.closedAtOnce);
    // The result file was only tested (created empty) and never written;
    // the thread stopped after the match in progress.
    EXPECT_EQ(testsupport::readFile(path("result/League.txt")), "");
    EXPECT_FALSE(std::filesystem::exists(path("result/lg_001_003.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/lg_002_003.txt")));
}

// The first match's log cannot be made (a folder has its name): the game
// processor's one report, held on the run thread until the progress window
// is seen; then the run stops after that match and the progress window
// closes by itself as its cancel closes it, with no table written.
TEST_F(LeagueGameStart, AFileThatCannotBeWrittenClosesTheRunAsACancel) {
    std::filesystem::create_directory(path("result/lg_001_002.txt"));
    HeldCancel run = cancelWhileHeld(
        "TFormLeague", [](QWidget*) {}, [this] { return start(); }, {}, std::chrono::milliseconds(0), false);
    EXPECT_EQ(run.result, 2);
    EXPECT_TRUE(run.done);
    ASSERT_EQ(run.reports.size(), 1u);
    EXPECT_EQ(run.reports[0], plat::msg::format(41020, {resultFolder() + "\\lg_001_002.txt"}));
    EXPECT_EQ(testsupport::readFile(path("result/League.txt")), "");
    EXPECT_FALSE(std::filesystem::exists(path("result/lg_001_003.txt")));
    EXPECT_TRUE(std::filesystem::is_directory(path("result/lg_001_002.txt")));
}

TEST_F(LeagueGameStart, TheWindowClosesWhenTheSystemCannotStart) {
    expectTheWindowClosesWhenTheSystemCannotStart();
}

TEST_F(LeagueGameStart, WithoutRandomOrderTheEntrantsMeetInTheListsShownOrder) {
    // The game master sorts the list by machine value before the start:
    // ak03 (3800), ak01 (5000), ak02 (7800).
    int stage = 0;
    QPointer<QWidget> shown;
    Driver driver([&] {
        switch (stage) {
        case 0:
            if (QWidget* form = modal("TFormLeague")) {
                auto* list = form->findChild<QTreeWidget*>("ListViewAk");
                emit list->header()->sectionClicked(2);
                clickLater(form, "ButtonStart");
                stage = 1;
            }
            return false;
        case 1:
            if (QWidget* progress = modal("TFormProgress");
                progress && !progress->findChild<QProgressBar*>("ProgressBarLeague")->isVisible()) {
                shown = progress;
                clickLater(progress, "ButtonCancel");
                stage = 2;
            }
            return false;
        default:
            if (QWidget* form = backFromRun("TFormLeague", shown)) {
                clickLater(form, "ButtonCancel");
                return true;
            }
            return false;
        }
    });
    EXPECT_EQ(start(), 2);
    EXPECT_TRUE(driver.done());
    // The log names number the entrants in that order, side 1 the earlier.
    auto fileOf = [this](const char* log, int side) {
        std::string text = testsupport::readFile(path(std::string("result/") + log));
        std::string key = "PLAYER " + std::to_string(side);
        size_t at = text.find(key);
        size_t file = text.find("FILE ", at);
        return at == std::string::npos || file == std::string::npos
                   ? std::string()
                   : text.substr(file + 5, text.find_first_of("\r\n", file) - file - 5);
    };
    EXPECT_EQ(fileOf("lg_001_002.txt", 1), "ak03.dat");
    EXPECT_EQ(fileOf("lg_001_002.txt", 2), "ak01.dat");
    EXPECT_EQ(fileOf("lg_002_003.txt", 1), "ak01.dat");
    EXPECT_EQ(fileOf("lg_002_003.txt", 2), "ak02.dat");
    std::string result = testsupport::readFile(path("result/League.txt"));
    size_t first = result.find("  1:"), second = result.find("  2:"), third = result.find("  3:");
    ASSERT_NE(third, std::string::npos);
    EXPECT_NE(result.substr(first, second - first).find(":  3800\r\n"), std::string::npos);
    EXPECT_NE(result.substr(second, third - second).find(":  5000\r\n"), std::string::npos);
}

// A driver that never finishes: once its deadline has passed the test
// fails, and the driver closes the windows ("終了", then "キャンセル"), so
// GameStart returns instead of waiting forever.
LeagueGameStart* unanswered = nullptr;
int unansweredResult = -1;

void runUnanswered() {
    bool started = false;
    Driver driver(
        [&] {
            if (QWidget* form = modal("TFormLeague"); form && !started) {
                clickLater(form, "ButtonStart");
                started = true;
            }
            return false;
        },
        1500);
    unansweredResult = unanswered->start();
    EXPECT_TRUE(driver.expired());
}

TEST_F(LeagueGameStart, ADriverPastItsDeadlineFailsTheTestAndClosesTheWindows) {
    unanswered = this;
    EXPECT_NONFATAL_FAILURE(runUnanswered(), "did not finish within 1500 ms");
    unanswered = nullptr;
    EXPECT_EQ(unansweredResult, 2);
    // The run had ended before the deadline closed its window: its result
    // file is complete.
    EXPECT_NE(testsupport::readFile(path("result/League.txt")).find(sj("【結果】")), std::string::npos);
}

TEST_F(LeagueGameStart, MissingRecordsAreRefused) {
    expectMissingRecordsAreRefused();
}

} // namespace
