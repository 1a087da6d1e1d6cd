// Deadlines for the window tests, so that a test can fail but never hang.
//
// Driver calls a step function every few milliseconds while the windows
// under test run their modal loops. When it is not done by its limit it
// marks itself timed out and closes the topmost modal window, one per tick
// (hiding one that refuses to close), until none is left. Behind it a
// Watchdog thread ends the whole test program with a failure when even that
// did not bring the test back (a loop that never returns to the event loop,
// a window that keeps reopening).
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace vsguard {

class Watchdog {
public:
    Watchdog(std::chrono::milliseconds limit, std::string what) : what_(std::move(what)) {
        thread_ = std::thread([this, limit] {
            std::unique_lock<std::mutex> lock(m_);
            if (cv_.wait_for(lock, limit, [this] { return stopped_; })) return;
            std::fprintf(stderr, "FAILED: %s did not finish within %lld ms\n", what_.c_str(),
                         static_cast<long long>(limit.count()));
            std::fflush(stderr);
            std::_Exit(1);
        });
    }
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(m_);
            stopped_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::string what_;
    std::mutex m_;
    std::condition_variable cv_;
    bool stopped_ = false;
    std::thread thread_;
};

class Driver {
public:
    // `step` returns true when it has nothing more to do.
    explicit Driver(std::function<bool()> step, int limitMs = 60000, std::string what = "window driver")
        : step_(std::move(step)), watchdog_(std::chrono::milliseconds(limitMs + 30000), std::move(what)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start(5);
        QObject::connect(&limit_, &QTimer::timeout, [this] {
            if (!done_) timedOut_ = true;
        });
        limit_.setSingleShot(true);
        limit_.start(limitMs);
    }
    bool done() const { return done_; }
    bool timedOut() const { return timedOut_; }

private:
    void tick() {
        if (timedOut_) {
            closeTopModal();
            return;
        }
        if (!done_ && !inStep_) {
            // A step may open a modal loop of its own; the ticks inside it
            // must not run the step again.
            inStep_ = true;
            done_ = step_();
            inStep_ = false;
        }
    }
    void closeTopModal() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        if (w == last_ && ++tries_ > 3) {
            w->hide();
            tries_ = 0;
            return;
        }
        if (w != last_) tries_ = 0;
        last_ = w;
        if (auto* d = qobject_cast<QDialog*>(w))
            d->reject();
        else
            w->close();
    }

    std::function<bool()> step_;
    Watchdog watchdog_;
    QTimer timer_;
    QTimer limit_;
    QPointer<QWidget> last_;
    int tries_ = 0;
    bool done_ = false;
    bool timedOut_ = false;
    bool inStep_ = false;
};

} // namespace vsguard
