// The window driver and the watchdogs shared by the game-mode window tests:
// a driver steps until done, also inside modal loops but never inside one
// its own step opened; past its deadline it fails the test, lets go of a
// worker the test holds and closes the modal windows (a progress window
// through its "ButtonCancel", a dialog that refuses to close by hiding it)
// so that the call under test returns; a test program stuck where no timer
// runs is ended with a failure, by a scoped watchdog or by the one a program
// installs for every test.
#include "modes/frame/tests/guidriver.h"

#include <gtest/gtest-spi.h>

#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

using namespace modetest::gui;

TEST(WindowDriver, StepsUntilDoneButNotInsideAModalLoopOfItsOwnStep) {
    QDialog outer;
    outer.setObjectName("Outer");
    QDialog inner;
    int steps = 0, stepsInInner = 0;
    bool innerOpened = false;
    QTimer closeInner;
    QObject::connect(&closeInner, &QTimer::timeout, [&] {
        if (inner.isVisible()) inner.reject();
    });
    Driver driver([&] {
        ++steps;
        if (inner.isVisible()) ++stepsInInner;
        if (!innerOpened) {
            innerOpened = true;
            closeInner.start(50); // the step itself blocks in this loop
            inner.exec();
            return false;
        }
        if (steps < 4 || !modal("Outer")) return false;
        QMetaObject::invokeMethod(&outer, "accept", Qt::QueuedConnection);
        return true;
    });
    EXPECT_EQ(outer.exec(), QDialog::Accepted);
    EXPECT_TRUE(driver.done());
    EXPECT_FALSE(driver.expired());
    EXPECT_EQ(stepsInInner, 0);
    EXPECT_EQ(steps, 4);
}

// Past the deadline (run under EXPECT_NONFATAL_FAILURE, which reaches what
// it checks only through statics).
struct Expiry {
    bool expired = false;
    int released = 0;
    bool workerBack = false;
    bool progressStopped = false;
    bool stubbornHidden = false;
    int result = -1;
    qint64 elapsed = 0;
};
Expiry expiry;

void runPastTheDeadline() {
    // A worker held until the test lets go of it.
    std::mutex m;
    std::condition_variable cv;
    bool let = false;
    std::thread worker([&] {
        std::unique_lock<std::mutex> lock(m);
        cv.wait(lock, [&] { return let; });
    });

    // The set-up window below a progress window whose "終了" stops the
    // run, and on top a dialog that refuses to close.
    class Stubborn : public QDialog {
    protected:
        void closeEvent(QCloseEvent* e) override { e->ignore(); }
        void reject() override {}
    };
    QDialog setup;
    QDialog progress;
    auto* stop = new QPushButton(&progress);
    stop->setObjectName("ButtonCancel");
    QObject::connect(stop, &QPushButton::clicked, [&] {
        expiry.progressStopped = true;
        progress.done(2);
    });
    Stubborn stubborn;
    bool opened = false;
    QElapsedTimer clock;
    clock.start();
    Driver driver(
        [&] {
            if (!opened) {
                opened = true;
                QTimer::singleShot(0, [&] { progress.exec(); });
                QTimer::singleShot(20, [&] { stubborn.exec(); });
            }
            return false;
        },
        300,
        [&] {
            ++expiry.released;
            std::lock_guard<std::mutex> lock(m);
            let = true;
            cv.notify_all();
        });
    expiry.result = setup.exec();
    expiry.elapsed = clock.elapsed();
    worker.join();
    expiry.workerBack = true;
    expiry.expired = driver.expired();
    expiry.stubbornHidden = !stubborn.isVisible();
}

TEST(WindowDriver, PastItsDeadlineFailsReleasesTheWorkerAndClosesEveryModalWindow) {
    expiry = {};
    EXPECT_NONFATAL_FAILURE(runPastTheDeadline(), "did not finish within 300 ms");
    EXPECT_TRUE(expiry.expired);
    EXPECT_EQ(expiry.released, 1);
    EXPECT_TRUE(expiry.workerBack);
    EXPECT_TRUE(expiry.progressStopped);
    EXPECT_TRUE(expiry.stubbornHidden);
    EXPECT_EQ(expiry.result, QDialog::Rejected);
    // The stubborn window takes its tries; all of it well within the grace.
    EXPECT_LT(expiry.elapsed, 10000);
}

// Stuck where no timer runs: the scoped watchdog and the one installed for
// every test of a program end it with exit code 1 and the culprit's name.
// A set-up window and its run as the mode frame has them: "試合開始" opens
// the progress window and minimises the set-up window; after the progress
// window has closed, the set-up window is the modal window again while the
// run thread is still ending (here a while in an event loop), and only then
// is the progress window destroyed and the set-up window restored.
TEST(WindowDriver, ARunToTheEndReadsTheSetUpWindowOnlyOnceTheRunIsOver) {
    QDialog setup;
    setup.setObjectName("TFormFake");
    auto* startButton = new QPushButton(&setup);
    startButton->setObjectName("ButtonStart");
    auto* cancelButton = new QPushButton(&setup);
    cancelButton->setObjectName("ButtonCancel");
    QObject::connect(cancelButton, &QPushButton::clicked, &setup, [&setup] { setup.done(2); });
    bool restored = false;
    QObject::connect(startButton, &QPushButton::clicked, &setup, [&] {
        auto progress = std::make_unique<QDialog>(&setup);
        progress->setObjectName("TFormProgress");
        auto* bar = new QStatusBar(progress.get());
        bar->setObjectName("StatusBar1");
        bar->addWidget(new QLabel("done", bar));
        auto* end = new QPushButton(progress.get());
        end->setObjectName("ButtonCancel");
        QObject::connect(end, &QPushButton::clicked, progress.get(), [p = progress.get()] { p->done(1); });
        setup.setWindowState(setup.windowState() | Qt::WindowMinimized);
        progress->exec();
        QEventLoop ending;
        QTimer::singleShot(300, &ending, &QEventLoop::quit);
        ending.exec();
        progress.reset();
        setup.setWindowState(setup.windowState() & ~Qt::WindowMinimized);
        restored = true;
    });
    bool backAfterTheRun = false;
    RunSteps steps;
    steps.back = [&](QWidget*) { backAfterTheRun = restored; };
    RunToTheEnd run = runToTheEnd("TFormFake", "done", steps, [&setup] { return setup.exec(); });
    EXPECT_EQ(run.result, 2);
    EXPECT_TRUE(run.done);
    EXPECT_TRUE(run.formMinimised);
    EXPECT_TRUE(run.formRestored);
    EXPECT_TRUE(backAfterTheRun);
}

TEST(WindowDriverDeathTest, AStuckTestProgramEndsWithAFailure) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            modetest::Watchdog watchdog(std::chrono::milliseconds(50), "stuck step");
            std::this_thread::sleep_for(std::chrono::seconds(30));
            std::exit(0);
        },
        ::testing::ExitedWithCode(1), "stuck step did not finish within 50 ms");
    EXPECT_EXIT(
        {
            modetest::TestWatchdog perTest(std::chrono::milliseconds(50));
            perTest.OnTestStart(*::testing::UnitTest::GetInstance()->current_test_info());
            std::this_thread::sleep_for(std::chrono::seconds(30));
            std::exit(0);
        },
        ::testing::ExitedWithCode(1),
        "WindowDriverDeathTest.AStuckTestProgramEndsWithAFailure did not finish");
}

} // namespace
