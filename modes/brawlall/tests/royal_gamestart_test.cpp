// GameStart of libbrawlall.so loaded by name ("BRAWLALL.DLL") from the
// program folder, offscreen, with the windows answered as a game master
// would: "決定", "試合開始", let the progress window finish, "終了",
// "キャンセル". Also a run cancelled while its thread is busy, after which
// the battle royal still writes its result table.
#include "modes/frame/tests/modetest.h"
#include "platform/loader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {

using namespace modetest;
using testsupport::sj;

using GameStartFn = int (*)(const char*, GameSettings*, ConfHeader*, AkSourceList*, void*);

// Calls `step` every few milliseconds on the window thread while GameStart
// runs; a step returns true when it has nothing more to do.
class Driver {
public:
    explicit Driver(std::function<bool()> step) : step_(std::move(step)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (done_) return;
            done_ = step_();
        });
        timer_.start(5);
    }
    bool done() const { return done_; }

private:
    std::function<bool()> step_;
    QTimer timer_;
    bool done_ = false;
};

// Presses a button once the step has returned (a modal window it opens runs
// its own loop, inside which the driver goes on stepping).
void clickLater(QWidget* window, const char* button) {
    QMetaObject::invokeMethod(window->findChild<QPushButton*>(button), "click", Qt::QueuedConnection);
}

QWidget* modal(const char* objectName) {
    QWidget* w = QApplication::activeModalWidget();
    return w && w->objectName() == objectName ? w : nullptr;
}

// The set-up window is back from its run: "試合開始" has returned, after
// the progress window closed and the run thread ended ("試合開始" is then
// disabled). The set-up window is the modal window again as soon as the
// progress window closes, but until its run thread has ended it refuses to
// close: a "キャンセル" pressed then is lost and GameStart never returns.
bool backFromRun(QWidget* form) {
    return form && modal("TFormRoyal") == form && !form->findChild<QPushButton*>("ButtonStart")->isEnabled();
}

QString statusText(QWidget* progress, int panel) {
    QStatusBar* bar = progress->findChild<QStatusBar*>("StatusBar1");
    if (!bar) return {};
    QList<QLabel*> labels = bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    return panel < labels.size() ? labels[panel]->text() : QString();
}

const char* const Key = "Software\\Dunmoor\\CVVell\\DLL\\BrawlAll";

class RoyalGameStart : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        ASSERT_TRUE(library_.load(programDir(), "BRAWLALL.DLL", {"GameStart"})) << library_.error();
        gameStart_ = library_.function<GameStartFn>("GameStart");
        copySamples({1, 2, 3});
        makeConf(true);
        header_.GameForm = 2;
        plat::reg::writeInteger(Key, "MapSizeX", 10);
        plat::reg::writeInteger(Key, "MapSizeY", 10);
    }
    void TearDown() override {
        plat::notify::setHandler({});
        ModeTest::TearDown();
    }
    int start() { return gameStart_(programDir().c_str(), &settings_, &header_, &sources_, qApp); }

    plat::Library library_;
    GameStartFn gameStart_ = nullptr;
};

TEST_F(RoyalGameStart, AGameMasterRunsABattleRoyal) {
    const QString done = QString::fromUtf8("お待たせしました。バトルロイヤル戦の処理を終わりました");
    int stage = 0;
    QWidget* form = nullptr;
    bool formMinimised = false, formRestored = false;
    Driver driver([&] {
        switch (stage) {
        case 0:
            if ((form = modal("TFormRoyal"))) {
                clickLater(form, "ButtonDecide");
                stage = 1;
            }
            return false;
        case 1:
            if (form->findChild<QPushButton*>("ButtonStart")->isEnabled()) {
                clickLater(form, "ButtonStart");
                stage = 2;
            }
            return false;
        case 2:
            if (QWidget* progress = modal("TFormProgress")) {
                formMinimised = formMinimised || form->isMinimized();
                if (statusText(progress, 0) != done) return false;
                clickLater(progress, "ButtonCancel");
                stage = 3;
            }
            return false;
        default:
            if (backFromRun(form)) {
                formRestored = !form->isMinimized();
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
    EXPECT_TRUE(formMinimised);
    EXPECT_TRUE(formRestored);

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
    // The entrants' files disappear after "決定": the run thread's first
    // LoadAkData reports it, and the report is held until the test has
    // pressed "終了", so the run is surely still going. Its later reports
    // take a while, as on a busy machine: the set-up window is the modal
    // window again well before the run thread has ended.
    const std::thread::id windowThread = std::this_thread::get_id();
    std::mutex m;
    std::condition_variable cv;
    bool workerWaiting = false, released = false;
    plat::notify::setHandler([&](const plat::notify::Request&) {
        if (std::this_thread::get_id() == windowThread) return plat::notify::IdOk;
        std::unique_lock<std::mutex> lock(m);
        if (workerWaiting) {
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            return plat::notify::IdOk;
        }
        workerWaiting = true;
        cv.wait(lock, [&] { return released; });
        return plat::notify::IdOk;
    });
    auto release = [&] {
        std::lock_guard<std::mutex> lock(m);
        released = true;
        cv.notify_all();
    };
    auto waiting = [&] {
        std::lock_guard<std::mutex> lock(m);
        return workerWaiting;
    };

    int stage = 0;
    bool closedAtOnce = false;
    QPointer<QWidget> shown;
    QWidget* form = nullptr;
    Driver driver([&] {
        switch (stage) {
        case 0:
            if ((form = modal("TFormRoyal"))) {
                clickLater(form, "ButtonDecide");
                stage = 1;
            }
            return false;
        case 1:
            if (form->findChild<QPushButton*>("ButtonStart")->isEnabled()) {
                for (int n : {1, 2, 3}) std::filesystem::remove(path("ak/" + sampleFile(n)));
                clickLater(form, "ButtonStart");
                stage = 2;
            }
            return false;
        case 2:
            if (QWidget* progress = modal("TFormProgress"); progress && waiting()) {
                clickLater(progress, "ButtonCancel");
                shown = progress;
                stage = 3;
            }
            return false;
        case 3:
            closedAtOnce = shown && !shown->isVisible();
            release();
            stage = 4;
            return false;
        default:
            if (backFromRun(form)) {
                clickLater(form, "ButtonCancel");
                return true;
            }
            return false;
        }
    });
    EXPECT_EQ(start(), 2);
    release();
    EXPECT_TRUE(driver.done());
    EXPECT_TRUE(closedAtOnce);
    // WM_GAMEDONE came after the cancel: the result table is there.
    std::string result = testsupport::readFile(path("result/BattleRoyal.txt"));
    EXPECT_NE(result.find(sj("【エントリー】")), std::string::npos);
    EXPECT_NE(result.find(sj("【結果】")), std::string::npos);
    std::string script = testsupport::readFile(path("result/bt_view.vellScript"));
    EXPECT_EQ(script.substr(script.size() - 5), "End:\n");
    EXPECT_EQ(script.find("Fight:"), std::string::npos);
}

TEST_F(RoyalGameStart, MissingRecordsAreRefused) {
    EXPECT_EQ(gameStart_(programDir().c_str(), nullptr, &header_, &sources_, qApp), 2);
    EXPECT_EQ(gameStart_(programDir().c_str(), &settings_, nullptr, &sources_, qApp), 2);
    EXPECT_EQ(gameStart_(programDir().c_str(), &settings_, &header_, nullptr, qApp), 2);
}

} // namespace
