// GameStart of libbrackets.so loaded by name ("BRACKETS.DLL") from the
// program folder, offscreen, with the windows answered as a game master
// would: "決定", "試合開始", wait for the end, "終了", "キャンセル". Also
// message 41050 for fewer than three entrants, a run cancelled while a
// match is in progress, a set-up window that closes by itself when the game
// processor's system cannot start, and missing records. Every window is
// answered under a deadline, so a run that never ends fails the test.
#include "modes/frame/tests/gamestarttest.h"
#include "platform/catalogue.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <filesystem>

namespace {

using namespace modetest;
using namespace modetest::gui;
using testsupport::sj;

// Every test of this program fails within a limit, even a blocked one.
const bool watchdogInstalled = TestWatchdog::install(std::chrono::seconds(180));

class TourGameStart : public GameStartTest {
protected:
    TourGameStart() : GameStartTest("BRACKETS.DLL", {1, 3, 4}, 1) {}

    void SetUp() override {
        GameStartTest::SetUp();
        sjis::writeField(header_.ConfName, sj("テスト杯"));
        sjis::writeField(header_.ConfMemo, sj("勝ち抜き"));
    }
};

TEST_F(TourGameStart, AGameMasterRunsATournament) {
    const QString done = QString::fromUtf8("お待たせしました。トーナメント戦の処理を終わりました");
    int progressMax = -1;
    QString progressCount;
    bool progressHidden = false, startDisabledAfter = false;
    RunSteps steps;
    steps.prepare = [](QWidget* form) {
        QMetaObject::invokeMethod(form->findChild<QPushButton*>("ButtonDecide"), "click");
        return form->findChild<QPushButton*>("ButtonStart")->isEnabled();
    };
    steps.atEnd = [&](QWidget* progress) {
        auto* bar = progress->findChild<QProgressBar*>("ProgressBarTour");
        progressMax = bar->maximum();
        progressHidden = bar->isHidden();
        progressCount = statusText(progress, 1);
    };
    steps.back = [&](QWidget* form) {
        startDisabledAfter = !form->findChild<QPushButton*>("ButtonStart")->isEnabled();
    };
    RunToTheEnd run = runToTheEnd("TFormTour", done, steps, [this] { return start(); });
    EXPECT_EQ(run.result, 2); // the set-up window's "キャンセル"
    EXPECT_TRUE(run.done);
    EXPECT_LT(run.elapsedMs, 20000);
    EXPECT_EQ(progressMax, 3);
    EXPECT_TRUE(progressHidden);
    EXPECT_EQ(progressCount, "2/3"); // two matches fought, out of n
    EXPECT_TRUE(run.formMinimised);
    EXPECT_TRUE(run.formRestored);
    EXPECT_TRUE(startDisabledAfter);

    // The settings the plug-in forced and its version text.
    EXPECT_EQ(settings_.Options[OptImmobileDraw], 1);
    EXPECT_EQ(settings_.Options[Opt17], 1);
    EXPECT_EQ(settings_.Options[OptAkOutput], 1);
    EXPECT_EQ(sjis::readField(settings_.ModeVersionText), "TOURNAMENT Ver.1.0.0.0 ");

    // Outputs: the entry list, the two match logs, the result file; the
    // output AK files of the run are gone (the conf's option 23 was off).
    EXPECT_TRUE(std::filesystem::exists(path("result/entrylist.txt")));
    EXPECT_TRUE(std::filesystem::exists(path("result/tm_01_001.txt")));
    EXPECT_TRUE(std::filesystem::exists(path("result/tm_04_002.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));
    std::string result = testsupport::readFile(path("result/Tournament.txt"));
    EXPECT_EQ(result.rfind(sj("テスト杯／勝ち抜き\r\n"), 0), 0u);
    for (const char* part : {"【トーナメント組み合わせ】", "【準決勝】", "【決勝戦】", "【トーナメント結果】",
                             "【トーナメント戦順位】", " 優勝  :  ", "準優勝 :  ", "   3位 :  "})
        EXPECT_NE(result.find(sj(part)), std::string::npos) << part;
    EXPECT_EQ(result.substr(result.size() - sj("技術部／試験場\r\n").size()), sj("技術部／試験場\r\n"));

    // What the windows keep in the settings store.
    std::string key = "Software\\Dunmoor\\CVVell\\DLL\\Tournament";
    EXPECT_EQ(plat::reg::readString(key + "\\File", "0000", ""), "Tournament.txt");
    EXPECT_EQ(plat::reg::readString(key, "Assign", ""), "0");
    EXPECT_EQ(plat::reg::readString(key, "ScrollHeight", ""), "150");
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_TnWidth"));
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_TmProgTop"));
    for (const auto& r : plat::notify::recorded()) ADD_FAILURE() << testsupport::u8(r.text);
}

TEST_F(TourGameStart, FewerThanThreeEntrantsGiveMessage41050) {
    size_t boxes = 0;
    bool startEnabled = true;
    Driver driver([&] {
        QWidget* form = modal("TFormTour");
        if (!form) return false;
        form->findChild<QLineEdit*>("EditCount")->setText("2");
        QMetaObject::invokeMethod(form->findChild<QPushButton*>("ButtonDecide"), "click");
        boxes = plat::notify::recorded().size();
        startEnabled = form->findChild<QPushButton*>("ButtonStart")->isEnabled();
        clickLater(form, "ButtonCancel");
        return true;
    });
    EXPECT_EQ(start(), 2);
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(boxes, 1u);
    EXPECT_FALSE(startEnabled);
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("トーナメントでは参加機体数を３機以上に設定して下さい"));
    EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
    EXPECT_FALSE(std::filesystem::exists(path("result/Tournament.txt")));
}

TEST_F(TourGameStart, CancellingWhileAMatchIsInProgress) {
    // Seeds 1 ak01 (bye), 3 ak04, 2 ak03: the first match is ak04 against
    // ak03. The game processor's report as that match is set up is held
    // until the test has pressed "終了", so the run is surely still going.
    holdTheFirstMatch();
    HeldCancel run = cancelWhileHeld(
        "TFormTour",
        [](QWidget* form) {
            QMetaObject::invokeMethod(form->findChild<QPushButton*>("ButtonDecide"), "click");
        },
        [this] { return start(); });
    EXPECT_EQ(run.result, 2);
    EXPECT_TRUE(run.done);
    EXPECT_TRUE(run.closedAtOnce);
    // The result file was emptied when the progress window opened and never
    // written; the thread stopped after the walkover in progress: no final.
    EXPECT_EQ(testsupport::readFile(path("result/Tournament.txt")), "");
    EXPECT_FALSE(std::filesystem::exists(path("result/tm_04_002.txt")));
}

// The first match's log cannot be made (a folder has its name): its one
// report stops the run, and the table that was there stays as it was
// (a cancel leaves it empty, above).
TEST_F(TourGameStart, AFaultStopKeepsTheTableThatWasThere) {
    testsupport::writeFile(path("result/Tournament.txt"), "old table\r\n");
    std::filesystem::create_directory(path("result/tm_01_001.txt"));
    HeldCancel run = cancelWhileHeld(
        "TFormTour",
        [](QWidget* form) {
            QMetaObject::invokeMethod(form->findChild<QPushButton*>("ButtonDecide"), "click");
        },
        [this] { return start(); }, {}, std::chrono::milliseconds(0), false);
    EXPECT_TRUE(run.done);
    ASSERT_EQ(run.reports.size(), 1u);
    EXPECT_EQ(run.reports[0], plat::msg::format(41020, {resultFolder() + "\\tm_01_001.txt"}));
    EXPECT_EQ(testsupport::readFile(path("result/Tournament.txt")), "old table\r\n");
}

TEST_F(TourGameStart, TheWindowClosesWhenTheSystemCannotStart) {
    expectTheWindowClosesWhenTheSystemCannotStart();
}

TEST_F(TourGameStart, MissingRecordsAreRefused) {
    expectMissingRecordsAreRefused();
}

} // namespace
