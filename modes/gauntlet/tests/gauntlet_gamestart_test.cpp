// GameStart of libgauntlet.so loaded by name ("GAUNTLET.DLL") from the
// program folder, offscreen, with the set-up window answered as a game
// master would: the own AK by a double click, "一覧に追加", a count of 3,
// start, let the progress window finish, "終了", "キャンセル". Also a run
// cancelled while it is in progress, a set-up window that closes by itself
// when the game processor's system cannot start, and missing records. Every
// driver has a deadline, so no test here can hang.
#include "modes/frame/tests/gamestarttest.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>

namespace {

using namespace modetest;
using namespace modetest::gui;
using testsupport::sj;

// The set-up as a game master does it: the own AK by a double click on
// row `own`, every other AK of the list as an enemy, the count.
void prepare(QWidget* form, int own, const char* count) {
    auto* list = form->findChild<QTreeWidget*>("ListViewAk");
    QTreeWidgetItem* item = list->topLevelItem(own);
    list->setCurrentItem(item);
    emit list->itemDoubleClicked(item, 0);
    form->findChild<QPushButton*>("ButtonDecide")->click();
    typeText(form->findChild<QWidget*>("EditCount"), count);
}

class GauntletGameStart : public GameStartTest {
protected:
    // The conf logs; the simulation does not.
    GauntletGameStart() : GameStartTest("GAUNTLET.DLL", {1, 2, 3}, 5) {}

    void SetUp() override {
        GameStartTest::SetUp();
        sjis::writeField(header_.ConfName, sj("シミュレーション試験"));
        settings_.Options[OptAkOutput] = 1;
    }

    // Whatever happens inside GameStart, the test program does not hang.
    Watchdog hard_{std::chrono::seconds(300), "a GameStart test"};
};

TEST_F(GauntletGameStart, AGameMasterRunsASimulation) {
    const QString done = QString::fromUtf8("お待たせしました。シミュレーション戦の処理を終わりました");
    int progressMax = -1, progressValue = -1;
    QString caption, firstStatus;
    RunSteps steps;
    steps.prepare = [](QWidget* form) {
        prepare(form, 0, "3");
        return true;
    };
    steps.watch = [&](QWidget* progress) {
        if (caption.isEmpty()) {
            caption = progress->windowTitle();
            firstStatus = statusText(progress, 0);
        }
    };
    steps.atEnd = [&](QWidget* progress) {
        auto* bar = progress->findChild<QProgressBar*>("ProgressBarGauntlet");
        progressMax = bar->maximum();
        progressValue = bar->value();
    };
    RunToTheEnd run = runToTheEnd("TFormGauntlet", done, steps, [this] { return start(); });
    EXPECT_EQ(run.result, 2); // the set-up window's "キャンセル"
    EXPECT_TRUE(run.done);
    EXPECT_LT(run.elapsedMs, 20000);
    EXPECT_EQ(caption, QString::fromUtf8("Corvane Vell シミュレーション"));
    EXPECT_TRUE(firstStatus.isEmpty() ||
                firstStatus ==
                    QString::fromUtf8("１対多数シミュレーション戦を実行中です。ちょっと待ってね。"));
    // A count of 3 runs 5 matches against each of the two enemies.
    EXPECT_EQ(progressMax, 10);
    EXPECT_EQ(progressValue, 10);
    EXPECT_TRUE(run.formMinimised);
    EXPECT_TRUE(run.formRestored);

    // The settings the plug-in forced and its version text.
    EXPECT_EQ(settings_.Options[OptImmobileDraw], 1);
    EXPECT_EQ(settings_.Options[OptAkOutput], 0);
    EXPECT_EQ(settings_.Options[OptLogOutput], 0);
    EXPECT_EQ(sjis::readField(settings_.ModeVersionText), "GAUNTLET Ver.1.0.0.0 ");

    // The result file only: no entry list, no log, no output AK.
    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(path("result")))
        kept.push_back(entry.path().filename().string());
    EXPECT_EQ(kept, std::vector<std::string>{"Simulation.txt"});
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));
    std::string result = testsupport::readFile(path("result/Simulation.txt"));
    EXPECT_EQ(result.rfind(sj("シミュレーション試験／総当たり\r\n"), 0), 0u);
    EXPECT_NE(result.find(sj("【シミュレーションドーラー】\r\n\r\n\tアレックス・ロウ／田中一郎\r\n")),
              std::string::npos);
    EXPECT_NE(result.find(sj("【結果】")), std::string::npos);
    EXPECT_NE(result.find(sj("-- ↑ ")), std::string::npos);
    EXPECT_EQ(result.substr(result.size() - sj("技術部／試験場\r\n").size()), sj("技術部／試験場\r\n"));

    // What the windows keep in the settings store.
    std::string key = "Software\\Dunmoor\\CVVell\\DLL\\Gauntlet";
    EXPECT_EQ(plat::reg::readString(key + "\\File", "0000", ""), "Simulation.txt");
    EXPECT_EQ(plat::reg::readString(key, "SimCount", ""), "3");
    EXPECT_EQ(plat::reg::readString(key, "ScrollHeight", ""), "185");
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_VmWidth"));
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_VmProgTop"));
    for (const auto& r : plat::notify::recorded()) ADD_FAILURE() << testsupport::u8(r.text);
}

TEST_F(GauntletGameStart, CancellingWhileTheRunIsInProgress) {
    // The game processor's report as the first match is set up is held
    // until the test has pressed "終了", so the run is surely still going.
    holdTheFirstMatch();
    QElapsedTimer clock;
    clock.start();
    HeldCancel run = cancelWhileHeld(
        "TFormGauntlet", [this](QWidget* form) { prepare(form, 0, "100"); }, // ak01 against ak02, ak03
        [this] { return start(); });
    EXPECT_EQ(run.result, 2);
    EXPECT_TRUE(run.done);
    // Closed while the run thread still waited; the set-up window waited
    // for the thread before it was back.
    EXPECT_TRUE(run.closedAtOnce);
    // The thread returned without WM_GAMEDONE: the result file was only
    // tested (created empty) and never written.
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(testsupport::readFile(path("result/Simulation.txt")), "");
}

TEST_F(GauntletGameStart, TheWindowClosesWhenTheSystemCannotStart) {
    expectTheWindowClosesWhenTheSystemCannotStart();
}

TEST_F(GauntletGameStart, MissingRecordsAreRefused) {
    expectMissingRecordsAreRefused();
}

} // namespace
