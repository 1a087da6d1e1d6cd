// GameStart of libgauntlet.so loaded by name ("GAUNTLET.DLL") from the
// program folder, offscreen, with the set-up window answered as a game
// master would: the own AK by a double click, "一覧に追加", a count of 3,
// start, let the progress window finish, "終了", "キャンセル". Also a run
// cancelled while it is in progress, a set-up window that closes by itself
// when the game processor's system cannot start, missing records, and a
// driver that never reaches its last step failing at its deadline (every
// driver has one, so no test here can hang).
#include "modes/frame/tests/modetest.h"
#include "modes/gauntlet/tests/modaldeadline.h"
#include "platform/loader.h"

#include <gtest/gtest-spi.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {

using namespace modetest;
using testsupport::sj;

using GameStartFn = int (*)(const char*, GameSettings*, ConfHeader*, AkSourceList*, void*);

// How long a driver may take to reach its last step (a whole simulation
// of a few matches takes a second or two; a sanitised build some more).
constexpr std::chrono::milliseconds DriverLimit(90000);

// Calls `step` every few milliseconds on the window thread while GameStart
// runs; a step returns true when it has nothing more to do. A driver that
// has not got there by its deadline fails the test, lets go of what the
// test holds (`release`) and closes the modal windows, so GameStart
// returns instead of waiting for ever.
class Driver {
public:
    explicit Driver(std::function<bool()> step, std::function<void()> release = {},
                    std::chrono::milliseconds limit = DriverLimit)
        : step_(std::move(step)),
          unwinder_(limit, "the driver never reached its last step", std::move(release)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (done_ || unwinder_.expired()) return;
            done_ = step_();
        });
        timer_.start(5);
    }
    bool done() const { return done_; }
    bool expired() const { return unwinder_.expired(); }

private:
    std::function<bool()> step_;
    QTimer timer_;
    gauntlettest::ModalUnwinder unwinder_;
    bool done_ = false;
};

// Presses a button once the driver's step has returned: a modal window it
// opens runs its own loop, inside which the driver must go on stepping.
void clickLater(QWidget* window, const char* button) {
    QMetaObject::invokeMethod(window->findChild<QPushButton*>(button), "click", Qt::QueuedConnection);
}

QWidget* modal(const char* objectName) {
    QWidget* w = QApplication::activeModalWidget();
    return w && w->objectName() == objectName ? w : nullptr;
}

QString statusText(QWidget* progress, int panel) {
    QStatusBar* bar = progress->findChild<QStatusBar*>("StatusBar1");
    if (!bar) return {};
    QList<QLabel*> labels = bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    return panel < labels.size() ? labels[panel]->text() : QString();
}

// The set-up as a game master does it: the own AK by a double click on
// row `own`, every other AK of the list as an enemy, the count.
void prepare(QWidget* form, int own, const char* count) {
    auto* list = form->findChild<QTreeWidget*>("ListViewAk");
    QTreeWidgetItem* item = list->topLevelItem(own);
    list->setCurrentItem(item);
    emit list->itemDoubleClicked(item, 0);
    form->findChild<QPushButton*>("ButtonDecide")->click();
    form->findChild<QLineEdit*>("EditCount")->setText(count);
}

// Holds every message box that the run thread asks for until released;
// boxes asked for on the window thread are answered at once.
class HeldReports {
public:
    HeldReports() : window_(std::this_thread::get_id()) {
        plat::notify::setHandler([this](const plat::notify::Request&) {
            if (std::this_thread::get_id() == window_) return plat::notify::IdOk;
            std::unique_lock<std::mutex> lock(m_);
            waiting_ = true;
            cv_.wait(lock, [this] { return released_; });
            return plat::notify::IdOk;
        });
    }
    ~HeldReports() {
        release();
        plat::notify::setHandler({});
    }
    void release() {
        std::lock_guard<std::mutex> lock(m_);
        released_ = true;
        cv_.notify_all();
    }
    bool waiting() {
        std::lock_guard<std::mutex> lock(m_);
        return waiting_;
    }

private:
    const std::thread::id window_;
    std::mutex m_;
    std::condition_variable cv_;
    bool waiting_ = false;
    bool released_ = false;
};

class GauntletGameStart : public ModeTest {
public:
    using ModeTest::path;

    void SetUp() override {
        ModeTest::SetUp();
        ASSERT_TRUE(library_.load(programDir(), "GAUNTLET.DLL", {"GameStart"})) << library_.error();
        gameStart_ = library_.function<GameStartFn>("GameStart");
        copySamples({1, 2, 3});
        makeConf(true); // the conf logs; the simulation does not
        sjis::writeField(header_.ConfName, sj("シミュレーション試験"));
        header_.GameForm = 5;
        settings_.Options[OptAkOutput] = 1;
    }
    void TearDown() override {
        plat::notify::setHandler({});
        ModeTest::TearDown();
    }
    int start() { return gameStart_(programDir().c_str(), &settings_, &header_, &sources_, qApp); }

    // Whatever happens inside GameStart, the test program does not hang.
    gauntlettest::HardDeadline hard_{std::chrono::seconds(300), "a GameStart test"};
    plat::Library library_;
    GameStartFn gameStart_ = nullptr;
};

TEST_F(GauntletGameStart, AGameMasterRunsASimulation) {
    const QString done = QString::fromUtf8("お待たせしました。シミュレーション戦の処理を終わりました");
    int stage = 0;
    int progressMax = -1, progressValue = -1;
    QString caption, firstStatus;
    bool formMinimised = false, formRestored = false;
    QWidget* form = nullptr;
    Driver driver([&] {
        switch (stage) {
        case 0:
            if ((form = modal("TFormGauntlet"))) {
                prepare(form, 0, "3");
                clickLater(form, "ButtonStart");
                stage = 1;
            }
            return false;
        case 1:
            if (QWidget* progress = modal("TFormProgress")) {
                formMinimised = formMinimised || form->isMinimized();
                if (caption.isEmpty()) {
                    caption = progress->windowTitle();
                    firstStatus = statusText(progress, 0);
                }
                if (statusText(progress, 0) != done) return false;
                auto* bar = progress->findChild<QProgressBar*>("ProgressBarGauntlet");
                progressMax = bar->maximum();
                progressValue = bar->value();
                clickLater(progress, "ButtonCancel");
                stage = 2;
            }
            return false;
        default:
            if (modal("TFormGauntlet")) {
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
    EXPECT_EQ(caption, QString::fromUtf8("Corvane Vell シミュレーション"));
    EXPECT_TRUE(firstStatus.isEmpty() ||
                firstStatus ==
                    QString::fromUtf8("１対多数シミュレーション戦を実行中です。ちょっと待ってね。"));
    // A count of 3 runs 5 matches against each of the two enemies.
    EXPECT_EQ(progressMax, 10);
    EXPECT_EQ(progressValue, 10);
    EXPECT_TRUE(formMinimised);
    EXPECT_TRUE(formRestored);

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
    // The first enemy's file disappears after it was added: the run thread's
    // LoadAkData reports it, and the report is held until the test has
    // pressed "終了", so the run is surely still going.
    std::filesystem::copy_file(path("ak/ak03.dat"), path("ak/aa_first.dat"));
    HeldReports held;
    auto release = [&held] { held.release(); };
    auto waiting = [&held] { return held.waiting(); };

    int stage = 0;
    bool closedAtOnce = false;
    QPointer<QWidget> shown;
    Driver driver(
        [&] {
            switch (stage) {
            case 0:
                if (QWidget* form = modal("TFormGauntlet")) {
                    prepare(form, 1, "100"); // ak01 against aa_first, ak02, ak03
                    std::filesystem::remove(path("ak/aa_first.dat"));
                    clickLater(form, "ButtonStart");
                    stage = 1;
                }
                return false;
            case 1:
                if (QWidget* progress = modal("TFormProgress"); progress && waiting()) {
                    clickLater(progress, "ButtonCancel");
                    shown = progress;
                    stage = 2;
                }
                return false;
            case 2:
                // Closed while the run thread still waits; the set-up window
                // waits for the thread before it is back.
                closedAtOnce = shown && !shown->isVisible();
                release();
                stage = 3;
                return false;
            default:
                if (QWidget* form = modal("TFormGauntlet")) {
                    clickLater(form, "ButtonCancel");
                    return true;
                }
                return false;
            }
        },
        release);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(start(), 2);
    release();
    EXPECT_TRUE(driver.done());
    EXPECT_TRUE(closedAtOnce);
    // The thread returned without WM_GAMEDONE: the result file was only
    // tested (created empty) and never written.
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(testsupport::readFile(path("result/Simulation.txt")), "");
}

TEST_F(GauntletGameStart, TheWindowClosesWhenTheSystemCannotStart) {
    // A program folder without the message-archive library.
    plat::setProgramFolder(scratch());
    Driver driver([] { return false; }, {}, std::chrono::milliseconds(10000));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(start(), 2);
    EXPECT_FALSE(driver.expired());
    EXPECT_LT(clock.elapsed(), 5000);
    auto rec = plat::notify::recorded();
    ASSERT_FALSE(rec.empty());
    EXPECT_EQ(rec.back().text, sj("KWPH.DLL が読みこめません。ファイルを確認してください。"));
}

// The deadline itself: a driver that never gets to its last step fails the
// test instead of hanging it, and GameStart still returns, also when the
// run thread is held inside a match by a message box nobody answers. (The
// calls under EXPECT_NONFATAL_FAILURE reach the fixture through a static.)
GauntletGameStart* stuckTest = nullptr;
int stuckResult = 0;

int stuckSetUpWindow() {
    Driver driver([] { return false; }, {}, std::chrono::milliseconds(1500));
    return stuckTest->start();
}

int stuckRun() {
    HeldReports held;
    int stage = 0;
    Driver driver(
        [&] {
            if (stage == 0)
                if (QWidget* form = modal("TFormGauntlet")) {
                    prepare(form, 1, "100"); // ak01 against aa_first, ak02, ak03
                    std::filesystem::remove(stuckTest->path("ak/aa_first.dat"));
                    clickLater(form, "ButtonStart");
                    stage = 1;
                }
            return false;
        },
        [&held] { held.release(); }, std::chrono::milliseconds(3000));
    int result = stuckTest->start();
    EXPECT_TRUE(held.waiting());
    return result;
}

TEST_F(GauntletGameStart, AStuckDriverFailsWithinItsDeadline) {
    stuckTest = this;
    QElapsedTimer clock;
    clock.start();
    EXPECT_NONFATAL_FAILURE(stuckResult = stuckSetUpWindow(), "deadline passed");
    EXPECT_EQ(stuckResult, 2);
    EXPECT_LT(clock.elapsed(), 15000);

    std::filesystem::copy_file(path("ak/ak03.dat"), path("ak/aa_first.dat"));
    clock.restart();
    EXPECT_NONFATAL_FAILURE(stuckResult = stuckRun(), "deadline passed");
    EXPECT_EQ(stuckResult, 2);
    EXPECT_LT(clock.elapsed(), 20000);
    // The run was stopped: no result table.
    EXPECT_EQ(testsupport::readFile(path("result/Simulation.txt")), "");
    stuckTest = nullptr;
}

TEST_F(GauntletGameStart, MissingRecordsAreRefused) {
    EXPECT_EQ(gameStart_(programDir().c_str(), nullptr, &header_, &sources_, qApp), 2);
    EXPECT_EQ(gameStart_(programDir().c_str(), &settings_, nullptr, &sources_, qApp), 2);
    EXPECT_EQ(gameStart_(programDir().c_str(), &settings_, &header_, nullptr, qApp), 2);
}

} // namespace
