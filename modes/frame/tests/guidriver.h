// Offscreen window tests of the game-mode plug-ins: a driver that answers
// the modal windows a mode opens while GameStart (or exec) runs, and small
// helpers to find and press their controls.
//
// A driver has a deadline. When its step has not finished by then, the test
// fails and the driver closes every modal window it meets (reject, which is
// "キャンセル" or "終了" in the mode windows) until the call under test
// returns; should that still not happen within a grace period, the process
// aborts with a message. A failing window test therefore fails; it never
// hangs in QDialog::exec.
//
// Names live in modetest::gui so that tests which bring in `modetest` and
// keep helpers of their own are not disturbed.
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

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace modetest::gui {

class Driver {
public:
    static constexpr int DefaultLimitMs = 30000;
    static constexpr int GraceMs = 30000;

    // Calls `step` every few milliseconds on the window thread; a step
    // returns true when it has nothing more to do.
    explicit Driver(std::function<bool()> step, int limitMs = DefaultLimitMs)
        : step_(std::move(step)), limitMs_(limitMs) {
        clock_.start();
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start(5);
    }
    ~Driver() { timer_.stop(); }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    bool done() const { return done_; }
    bool expired() const { return expired_; }

private:
    void tick() {
        if (done_) return;
        if (!expired_ && clock_.elapsed() <= limitMs_) {
            done_ = step_();
            return;
        }
        if (!expired_) {
            expired_ = true;
            ADD_FAILURE() << "the window driver did not finish within " << limitMs_
                          << " ms; closing the modal windows";
        }
        if (clock_.elapsed() > static_cast<qint64>(limitMs_) + GraceMs) {
            std::fprintf(stderr, "window test still blocked %d ms after its deadline: aborting\n", GraceMs);
            std::fflush(stderr);
            std::abort();
        }
        if (QWidget* w = QApplication::activeModalWidget()) {
            if (auto* dialog = qobject_cast<QDialog*>(w))
                dialog->reject();
            else
                w->close();
        }
    }

    std::function<bool()> step_;
    int limitMs_;
    QElapsedTimer clock_;
    QTimer timer_;
    bool done_ = false;
    bool expired_ = false;
};

// Presses a button once the driver's step has returned: a modal window it
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

} // namespace modetest::gui
