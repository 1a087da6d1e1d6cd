// GameStart of libbrawlall.so loaded by name ("BRAWLALL.DLL") from the
// program folder, offscreen, with the windows answered as a game master
// would: "決定", "試合開始", let the progress window finish, "終了",
// "キャンセル". Also a run cancelled while its thread is busy, after which
// the battle royal still writes its result table, a set-up window that
// closes by itself when the game processor's system cannot start, and
// missing records.
#include "modes/frame/tests/gamestarttest.h"
#include "platform/catalogue.h"

#include <QPushButton>

#include <chrono>
#include <filesystem>

namespace {

using namespace modetest;
using namespace modetest::gui;
using testsupport::sj;

// The battle royal's own sign that the set-up window is back from its run:
// "試合開始" has returned, after the progress window closed and the run
// thread ended, and is then disabled.
bool startDisabled(QWidget* form) {
    return !form->findChild<QPushButton*>("ButtonStart")->isEnabled();
}

const char* const Key = "Software\\Dunmoor\\CVVell\\DLL\\BrawlAll";

class RoyalGameStart : public GameStartTest {
protected:
    RoyalGameStart() : GameStartTest("BRAWLALL.DLL", {1, 2, 3}, 2) {}

    void SetUp() override {
        GameStartTest::SetUp();
        plat::reg::writeInteger(Key, "MapSizeX", 10);
        plat::reg::writeInteger(Key, "MapSizeY", 10);
    }
};

TEST_F(RoyalGameStart, AGameMasterRunsABattleRoyal) {
    const QString done = QString::fromUtf8("お待たせしました。バトルロイヤル戦の処理を終わりました");
    RunSteps steps;
    steps.prepare = [](QWidget* form) {
        QMetaObject::invokeMethod(form->findChild<QPushButton*>("ButtonDecide"), "click");
        return form->findChild<QPushButton*>("ButtonStart")->isEnabled();
    };
    steps.ready = startDisabled;
    RunToTheEnd run = runToTheEnd("TFormRoyal", done, steps, [this] { return start(); });
    EXPECT_EQ(run.result, 2); // the set-up window's "キャンセル"
    EXPECT_TRUE(run.done);
    EXPECT_LT(run.elapsedMs, 20000);
    EXPECT_TRUE(run.formMinimised);
    EXPECT_TRUE(run.formRestored);

    // The options the plug-in forced, its version text and folder slot.
    EXPECT_EQ(settings_.Options[OptImmobileDraw], 1);
    EXPECT_EQ(settings_.Options[Opt17], 1);
    EXPECT_EQ(settings_.Options[OptAkOutput], 1);
    EXPECT_EQ(sjis::readField(settings_.ModeVersionText), "BRAWLALL Ver.1.0.0.0 ");
    EXPECT_EQ(sjis::readField(sources_.Names[0]), "Current");

    // Outputs: the entry list, the fight logs, the viewer script, the result file.
    EXPECT_TRUE(std::filesystem::exists(path("result/entrylist.txt")));
    EXPECT_TRUE(std::filesystem::exists(path("result/bt_001.txt")));
    std::string script = testsupport::readFile(path("result/bt_view.vellScript"));
    EXPECT_NE(script.find("ProgramVersion: 1.0.0.0\n"), std::string::npos);
    EXPECT_NE(script.find("Xsize: 10\nYsize: 10\nEntrant: 3\n"), std::string::npos);
    EXPECT_EQ(script.substr(script.size() - 5), "End:\n");
    std::string result = testsupport::readFile(path("result/BattleRoyal.txt"));
    EXPECT_EQ(result.rfind(sj("テストリーグ／総当たり\r\n"), 0), 0u);
    EXPECT_NE(result.find(sj("【第１試合】")), std::string::npos);
    EXPECT_NE(result.find(sj("【結果】")), std::string::npos);
    EXPECT_EQ(result.substr(result.size() - sj("技術部／試験場\r\n").size()), sj("技術部／試験場\r\n"));
    // The conf's own option 23 is off: no output AK file is left.
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));

    EXPECT_EQ(plat::reg::readString(std::string(Key) + "\\File", "0000", ""), "BattleRoyal.txt");
    EXPECT_EQ(plat::reg::readString(Key, "MapSizeX", ""), "10");
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_BrWidth"));
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_BrProgTop"));
    for (const auto& r : plat::notify::recorded()) ADD_FAILURE() << testsupport::u8(r.text);
}

TEST_F(RoyalGameStart, CancellingStillWritesTheResultTable) {
    // The game processor's report as the first fight is set up is held
    // until the test has pressed "終了", so the run is surely still going.
    // Its later reports take a while, as on a busy machine: the set-up
    // window is the modal window again well before the run thread has
    // ended. Its "キャンセル" waits until "試合開始" has returned.
    holdTheFirstMatch();
    HeldCancel run = cancelWhileHeld(
        "TFormRoyal",
        [](QWidget* form) {
            QMetaObject::invokeMethod(form->findChild<QPushButton*>("ButtonDecide"), "click");
            EXPECT_TRUE(form->findChild<QPushButton*>("ButtonStart")->isEnabled());
        },
        [this] { return start(); }, startDisabled, std::chrono::milliseconds(200));
    EXPECT_EQ(run.result, 2);
    EXPECT_TRUE(run.done);
    EXPECT_TRUE(run.closedAtOnce);
    // WM_GAMEDONE came after the cancel: the result table is there.
    std::string result = testsupport::readFile(path("result/BattleRoyal.txt"));
    EXPECT_NE(result.find(sj("【エントリー】")), std::string::npos);
    EXPECT_NE(result.find(sj("【結果】")), std::string::npos);
    std::string script = testsupport::readFile(path("result/bt_view.vellScript"));
    EXPECT_EQ(script.substr(script.size() - 5), "End:\n");
    EXPECT_EQ(script.find("Fight:"), std::string::npos);
}

// The first fight's log cannot be made (a folder has its name): its one
// report stops the run, and the table that was there stays as it was.
TEST_F(RoyalGameStart, AFaultStopKeepsTheTableThatWasThere) {
    testsupport::writeFile(path("result/BattleRoyal.txt"), "old table\r\n");
    std::filesystem::create_directory(path("result/bt_001.txt"));
    HeldCancel run = cancelWhileHeld(
        "TFormRoyal",
        [](QWidget* form) {
            QMetaObject::invokeMethod(form->findChild<QPushButton*>("ButtonDecide"), "click");
        },
        [this] { return start(); }, startDisabled, std::chrono::milliseconds(0), false);
    EXPECT_TRUE(run.done);
    ASSERT_EQ(run.reports.size(), 1u);
    EXPECT_EQ(run.reports[0], plat::msg::format(41020, {resultFolder() + "\\bt_001.txt"}));
    EXPECT_EQ(testsupport::readFile(path("result/BattleRoyal.txt")), "old table\r\n");
}

TEST_F(RoyalGameStart, TheWindowClosesWhenTheSystemCannotStart) {
    expectTheWindowClosesWhenTheSystemCannotStart();
}

TEST_F(RoyalGameStart, MissingRecordsAreRefused) {
    expectMissingRecordsAreRefused();
}

} // namespace
