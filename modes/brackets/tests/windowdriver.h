// Drives the tournament's modal windows in tests so that a run that never
// ends fails instead of hanging: a timer on the window thread calls the
// test's step until it reports that it is done; past the deadline the
// driver fails the test, runs the test's own release (a worker the test
// holds) and then closes every modal window it meets ("終了" of a progress
// window, reject() of anything else) until the modal call under test
// returns. A window thread blocked where no timer reaches it is left to
// TestDeadline (testdeadline.h).
#pragma once

#include "modes/brackets/tests/testdeadline.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace tourtest {

class WindowDriver {
public:
    static constexpr int DefaultDeadlineMs = 60000;

    // `step` runs every few milliseconds until it returns true (nothing
    // more to do). `release` runs once when the deadline has passed.
    explicit WindowDriver(std::function<bool()> step, int deadlineMs = DefaultDeadlineMs,
                          std::function<void()> release = {})
        : step_(std::move(step)), release_(std::move(release)), deadlineMs_(deadlineMs) {
        clock_.start();
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start(5);
    }
    WindowDriver(const WindowDriver&) = delete;
    WindowDriver& operator=(const WindowDriver&) = delete;

    bool done() const { return done_; }
    bool timedOut() const { return timedOut_; }

private:
    void tick() {
        if (!timedOut_ && clock_.elapsed() > deadlineMs_) {
            timedOut_ = true;
            ADD_FAILURE() << "the windows were not finished within " << deadlineMs_ << " ms";
            if (release_) release_();
        }
        if (timedOut_) {
            closeModal();
            return;
        }
        if (!done_) done_ = step_();
    }

    // One modal window per tick: the next tick meets the one below it.
    static void closeModal() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        if (w->objectName() == "TFormProgress") {
            if (auto* b = w->findChild<QAbstractButton*>("ButtonCancel")) {
                QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
                return;
            }
        }
        if (auto* dialog = qobject_cast<QDialog*>(w))
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        else
            w->close();
    }

    std::function<bool()> step_;
    std::function<void()> release_;
    int deadlineMs_;
    QElapsedTimer clock_;
    QTimer timer_;
    bool done_ = false;
    bool timedOut_ = false;
};

} // namespace tourtest
