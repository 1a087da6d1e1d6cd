// Drives the team battle's modal windows offscreen without ever hanging.
//
// A Driver calls its step every few milliseconds on the window thread while
// a modal loop runs (QDialog::exec of the set-up or the progress window, or
// the loop that waits for the run thread). A step returns true when it has
// nothing more to do. When the steps have not finished by the deadline, the
// test fails, `release` runs (a test that holds the run thread, for example
// in a message box, lets it go there) and every modal window met from then
// on is closed as its user would close it: the progress window with "終了"
// (which stops the run), the set-up window with "キャンセル", any other
// dialog by rejecting it. Should the window thread still be blocked a grace
// period later (stuck outside any event loop, where no timer fires), a
// watchdog thread ends the process with a message, so ctest reports a
// failure instead of waiting for ever.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

namespace teamtest {

class Driver {
public:
    static constexpr std::chrono::milliseconds DefaultLimit{60000};
    static constexpr std::chrono::milliseconds Grace{30000};

    explicit Driver(std::function<bool()> step, std::chrono::milliseconds limit = DefaultLimit,
                    std::function<void()> release = {})
        : step_(std::move(step)), release_(std::move(release)), limit_(limit) {
        clock_.start();
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start(5);
        watchdog_ = std::thread([this] { watch(); });
    }
    ~Driver() {
        timer_.stop();
        {
            std::lock_guard<std::mutex> lock(m_);
            disarmed_ = true;
        }
        cv_.notify_all();
        watchdog_.join();
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    bool done() const { return done_; }
    bool expired() const { return expired_; }

private:
    void tick() {
        if (done_) return;
        if (!expired_ && clock_.elapsed() <= limit_.count()) {
            done_ = step_();
            return;
        }
        if (!expired_) {
            expired_ = true;
            ADD_FAILURE() << "the window driver did not finish within " << limit_.count()
                          << " ms; closing the modal windows";
            if (release_) release_();
        }
        closeActiveModal();
    }

    static void closeActiveModal() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        if (w->objectName() == "TFormProgress" || w->objectName() == "TFormTeam") {
            if (auto* button = w->findChild<QPushButton*>("ButtonCancel"); button && button->isEnabled()) {
                button->click();
                return;
            }
        }
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
        else
            w->close();
    }

    void watch() {
        std::unique_lock<std::mutex> lock(m_);
        if (cv_.wait_for(lock, limit_ + Grace, [this] { return disarmed_; })) return;
        std::fprintf(stderr, "window test still blocked %lld ms after its deadline: aborting\n",
                     static_cast<long long>(Grace.count()));
        std::fflush(stderr);
        std::abort();
    }

    std::function<bool()> step_;
    std::function<void()> release_;
    std::chrono::milliseconds limit_;
    QElapsedTimer clock_;
    QTimer timer_;
    bool done_ = false;
    bool expired_ = false;
    std::mutex m_;
    std::condition_variable cv_;
    bool disarmed_ = false;
    std::thread watchdog_;
};

// Presses a button once the current step has returned: a modal window it
// opens runs its own loop, inside which the driver must go on stepping.
inline void clickLater(QWidget* window, const char* button) {
    QPushButton* b = window ? window->findChild<QPushButton*>(button) : nullptr;
    if (!b) {
        ADD_FAILURE() << "no button " << button;
        return;
    }
    QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
}

// The active modal window when its object name is `objectName`.
inline QWidget* modal(const char* objectName) {
    QWidget* w = QApplication::activeModalWidget();
    return w && w->objectName() == objectName ? w : nullptr;
}

// The text of status panel `panel` of a progress window.
inline QString statusText(QWidget* progress, int panel) {
    QStatusBar* bar = progress ? progress->findChild<QStatusBar*>("StatusBar1") : nullptr;
    if (!bar) return {};
    QList<QLabel*> labels = bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    return panel < labels.size() ? labels[panel]->text() : QString();
}

} // namespace teamtest
