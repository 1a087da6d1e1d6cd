// GameStart of libteamfight.so loaded by name ("TEAMFIGHT.DLL") from the
// program folder, offscreen, with the set-up window answered as a game
// master would: team size, "決定", both "全登録", winner stays, start, let the
// progress window finish, "終了", "キャンセル". Also a run cancelled while a
// bout is in progress, a set-up window that closes by itself when the game
// processor's system cannot start, and missing records.
#include "modes/frame/tests/modetest.h"
#include "platform/loader.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <filesystem>

namespace {

using namespace modetest;
using testsupport::sj;

using GameStartFn = int (*)(const char*, GameSettings*, ConfHeader*, AkSourceList*, void*);

using namespace modetest::gui;

// "決定" for a team of `count`, both teams from the AK list.
void fillTeams(QWidget* form, const char* count) {
    form->findChild<QLineEdit*>("EditCount")->setText(count);
    form->findChild<QPushButton*>("ButtonDecide")->click();
    form->findChild<QPushButton*>("ButtonRegAll1")->click();
    form->findChild<QPushButton*>("ButtonRegAll2")->click();
}

class TeamGameStart : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        ASSERT_TRUE(library_.load(programDir(), "TEAMFIGHT.DLL", {"GameStart"})) << library_.error();
        gameStart_ = library_.function<GameStartFn>("GameStart");
        // Six AKs: "左に全登録" and "右に全登録" on the folder make two
        // teams of three that share no AK.
        copySamples({1, 2, 3, 4, 5, 6});
        makeConf(true);
        header_.GameForm = 4;
        sjis::writeField(header_.ConfName, sj("紅白戦"));
    }
    void TearDown() override {
        plat::notify::setHandler({});
        ModeTest::TearDown();
    }
    int start() { return gameStart_(programDir().c_str(), &settings_, &header_, &sources_, qApp); }

    plat::Library library_;
    GameStartFn gameStart_ = nullptr;
};

TEST_F(TeamGameStart, AGameMasterRunsATeamBattle) {
    const QString done = QString::fromUtf8("お待たせしました。団体戦の処理を終わりました");
    int stage = 0;
    int progressMax = -1;
    bool boardShown = false, formRestored = false;
    QString bouts;
    QWidget* form = nullptr;
    Driver driver([&] {
        switch (stage) {
        case 0:
            if ((form = modal("TFormTeam"))) {
                fillTeams(form, "3");
                form->findChild<QCheckBox*>("CheckBoxContinue")->setChecked(true);
                clickLater(form, "ButtonStart");
                stage = 1;
            }
            return false;
        case 1:
            if (QWidget* progress = modal("TFormProgress")) {
                if (statusText(progress, 0) != done) return false;
                progressMax = progress->findChild<QProgressBar*>("ProgressBarTeam")->maximum();
                bouts = statusText(progress, 1);
                clickLater(progress, "ButtonCancel");
                stage = 2;
            }
            return false;
        default:
            if (modal("TFormTeam")) {
                formRestored = !form->isMinimized();
                boardShown = form->findChild<QWidget*>("ImageTeam")->isVisible();
                clickLater(form, "ButtonCancel");
                return true;
            }
            return false;
        }
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(start(), 2); // the set-up window's "キャンセル"
    EXPECT_TRUE(driver.done());
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_EQ(progressMax, 3);
    EXPECT_TRUE(bouts.endsWith("/3") || bouts.endsWith("/4") || bouts.endsWith("/5")) << bouts.toStdString();
    EXPECT_TRUE(formRestored);
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
    for (const auto& r : plat::notify::recorded()) ADD_FAILURE() << testsupport::u8(r.text);
}

TEST_F(TeamGameStart, CancellingWhileABoutIsInProgress) {
    // A member's file disappears after registration: the run thread's
    // LoadAkData reports it, and the report is held until the test has
    // pressed "終了", so the run is surely still going.
    std::filesystem::copy_file(path("ak/ak03.dat"), path("ak/aa_gone.dat"));
    copySamples({7, 8}); // nine AKs: a full team of four on each side
    HeldCancel run = cancelWhileHeld(
        "TFormTeam",
        [this](QWidget* form) {
            // One bout each: every member fights, the missing one too.
            fillTeams(form, "4");
            std::filesystem::remove(path("ak/aa_gone.dat"));
        },
        [this] { return start(); });
    EXPECT_EQ(run.result, 2);
    EXPECT_TRUE(run.done);
    EXPECT_TRUE(run.closedAtOnce);
    // The result file was emptied when the run started and never written;
    // the run stopped after the bout in progress; no output AK file stays.
    EXPECT_EQ(testsupport::readFile(path("result/TeamBattle.txt")), "");
    EXPECT_FALSE(std::filesystem::exists(path("result/rw_004_004.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));
}

TEST_F(TeamGameStart, TheWindowClosesWhenTheSystemCannotStart) {
    plat::setProgramFolder(scratch()); // no message-archive library there
    bool sawForm = false;
    Driver driver([&] {
        sawForm = sawForm || modal("TFormTeam");
        return false;
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(start(), 2);
    EXPECT_LT(clock.elapsed(), 5000);
    auto rec = plat::notify::recorded();
    ASSERT_FALSE(rec.empty());
    EXPECT_EQ(rec.back().text, sj("KWPH.DLL が読みこめません。ファイルを確認してください。"));
}

TEST_F(TeamGameStart, MissingRecordsAreRefused) {
    EXPECT_EQ(gameStart_(programDir().c_str(), nullptr, &header_, &sources_, qApp), 2);
    EXPECT_EQ(gameStart_(programDir().c_str(), &settings_, nullptr, &sources_, qApp), 2);
    EXPECT_EQ(gameStart_(programDir().c_str(), &settings_, &header_, nullptr, qApp), 2);
}

} // namespace
