// GameStart of libteamfight.so loaded by name ("TEAMFIGHT.DLL") from the
// program folder, offscreen, with the set-up window answered as a game
// master would: team size, "決定", both "全登録", winner stays, start, let the
// progress window finish, "終了", "キャンセル". Also a run cancelled while a
// bout is in progress, a set-up window that closes by itself when the game
// processor's system cannot start, and missing records.
#include "modes/frame/tests/gamestarttest.h"
#include "platform/catalogue.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <filesystem>

namespace {

using namespace modetest;
using namespace modetest::gui;
using testsupport::sj;

// "決定" for a team of `count`, both teams from the AK list.
void fillTeams(QWidget* form, const char* count) {
    form->findChild<QLineEdit*>("EditCount")->setText(count);
    form->findChild<QPushButton*>("ButtonDecide")->click();
    form->findChild<QPushButton*>("ButtonRegAll1")->click();
    form->findChild<QPushButton*>("ButtonRegAll2")->click();
}

class TeamGameStart : public GameStartTest {
protected:
    // Six AKs: "左に全登録" and "右に全登録" on the folder make two teams of
    // three that share no AK.
    TeamGameStart() : GameStartTest("TEAMFIGHT.DLL", {1, 2, 3, 4, 5, 6}, 4) {}

    void SetUp() override {
        GameStartTest::SetUp();
        sjis::writeField(header_.ConfName, sj("紅白戦"));
    }
};

TEST_F(TeamGameStart, AGameMasterRunsATeamBattle) {
    const QString done = QString::fromUtf8("お待たせしました。団体戦の処理を終わりました");
    int progressMax = -1;
    bool boardShown = false;
    QString bouts;
    RunSteps steps;
    steps.prepare = [](QWidget* form) {
        fillTeams(form, "3");
        form->findChild<QCheckBox*>("CheckBoxContinue")->setChecked(true);
        return true;
    };
    steps.atEnd = [&](QWidget* progress) {
        progressMax = progress->findChild<QProgressBar*>("ProgressBarTeam")->maximum();
        bouts = statusText(progress, 1);
    };
    steps.back = [&](QWidget* form) { boardShown = form->findChild<QWidget*>("ImageTeam")->isVisible(); };
    RunToTheEnd run = runToTheEnd("TFormTeam", done, steps, [this] { return start(); });
    EXPECT_EQ(run.result, 2); // the set-up window's "キャンセル"
    EXPECT_TRUE(run.done);
    EXPECT_LT(run.elapsedMs, 20000);
    EXPECT_EQ(progressMax, 3);
    EXPECT_TRUE(bouts.endsWith("/3") || bouts.endsWith("/4") || bouts.endsWith("/5")) << bouts.toStdString();
    EXPECT_TRUE(run.formRestored);
    EXPECT_TRUE(boardShown);

    // The settings the plug-in forced and its version text.
    EXPECT_EQ(settings_.Options[OptImmobileDraw], 1);
    EXPECT_EQ(settings_.Options[Opt17], 1);
    EXPECT_EQ(settings_.Options[OptAkOutput], 1);
    EXPECT_EQ(settings_.Options[OptTeamBattleWinnerStays], 1);
    EXPECT_EQ(sjis::readField(settings_.ModeVersionText), "TEAMFIGHT Ver.1.0.0.0 ");

    // Outputs: both entry lists, the first bout's log, the result file; the
    // run's output AK files were deleted, as the conf's option 23 is off.
    EXPECT_TRUE(std::filesystem::exists(path("result/teamentry1.txt")));
    EXPECT_TRUE(std::filesystem::exists(path("result/teamentry2.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/entrylist.txt")));
    EXPECT_TRUE(std::filesystem::exists(path("result/rw_001_001.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));
    std::string result = testsupport::readFile(path("result/TeamBattle.txt"));
    EXPECT_EQ(result.rfind(sj("紅白戦／総当たり （勝ち抜き方式）\r\n"), 0), 0u);
    EXPECT_NE(result.find(sj("【第１試合】：１番目の選手 vs １番目の選手")), std::string::npos);
    EXPECT_NE(result.find(sj("【団体戦結果】")), std::string::npos);
    EXPECT_EQ(result.substr(result.size() - sj("技術部／試験場\r\n").size()), sj("技術部／試験場\r\n"));

    // What the windows keep in the settings store.
    std::string key = "Software\\Dunmoor\\CVVell\\DLL\\TeamBattle";
    EXPECT_EQ(plat::reg::readString(key + "\\File", "0000", ""), "TeamBattle.txt");
    EXPECT_EQ(plat::reg::readString(key, "ScrollHeight", ""), "150");
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_TeamWidth"));
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_RwProgTop"));
    // One box: "右に全登録" passed over the three AKs the left team holds.
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("すでに登録されている機体と出力する機体データのファイル名が重なるため、"
                              "次のファイルは登録しませんでした\nak01.dat\nak02.dat\nak03.dat"));
}

TEST_F(TeamGameStart, CancellingWhileABoutIsInProgress) {
    // The game processor's report as the first bout is set up is held
    // until the test has pressed "終了", so the run is surely still going.
    holdTheFirstMatch();
    copySamples({7, 8}); // a full team of four on each side
    HeldCancel run = cancelWhileHeld(
        "TFormTeam", [this](QWidget* form) { fillTeams(form, "4"); }, [this] { return start(); });
    EXPECT_EQ(run.result, 2);
    EXPECT_TRUE(run.done);
    EXPECT_TRUE(run.closedAtOnce);
    // The result file was emptied when the run started and never written;
    // the run stopped after the bout in progress; no output AK file stays.
    EXPECT_EQ(testsupport::readFile(path("result/TeamBattle.txt")), "");
    EXPECT_FALSE(std::filesystem::exists(path("result/rw_004_004.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));
}

// The first bout's log cannot be made (a folder has its name): its one
// report stops the run, which leaves no result table where there was none.
TEST_F(TeamGameStart, AFaultStopLeavesNoTableWhereThereWasNone) {
    std::filesystem::create_directory(path("result/rw_001_001.txt"));
    HeldCancel run = cancelWhileHeld(
        "TFormTeam", [](QWidget* form) { fillTeams(form, "3"); }, [this] { return start(); }, {},
        std::chrono::milliseconds(0), false);
    EXPECT_TRUE(run.done);
    // The run's one report (the set-up's note on the entrants both lists
    // name comes before it).
    ASSERT_FALSE(run.reports.empty());
    EXPECT_EQ(run.reports.back(), plat::msg::format(41020, {resultFolder() + "\\rw_001_001.txt"}));
    EXPECT_EQ(std::count(run.reports.begin(), run.reports.end(), run.reports.back()), 1);
    EXPECT_FALSE(std::filesystem::exists(path("result/TeamBattle.txt")));
}

TEST_F(TeamGameStart, TheWindowClosesWhenTheSystemCannotStart) {
    expectTheWindowClosesWhenTheSystemCannotStart();
}

TEST_F(TeamGameStart, MissingRecordsAreRefused) {
    expectMissingRecordsAreRefused();
}

} // namespace
