// Offscreen window tests of the game-mode plug-ins: a driver that answers
// the modal windows a mode opens while GameStart (or exec) runs, and small
// helpers to find and press their controls.
//
// A driver calls its step every few milliseconds on the window thread, also
// inside the modal loops of the windows under test, until the step reports
// that it has nothing more to do. It has a deadline, which holds for as long
// as the driver lives: once it has passed, the test fails, the driver runs
// the test's `onExpiry` once (a test that holds a worker thread, for example
// in a message box it answers late, lets it go there) and from then on
// closes every modal window it meets the way its user would: a window with
// an enabled "ButtonCancel" through that button ("終了" of a progress
// window, which stops the run, "キャンセル" of a set-up window), any other
// dialog by rejecting it, and one that still refuses after a while by hiding
// it. Behind it a watchdog thread ends the test program should the window
// thread still be blocked a grace period after the deadline (stuck outside
// any event loop, where no timer fires). A failing window test therefore
// fails; it never hangs in QDialog::exec.
//
// Also a run let go to its end and one cancelled while its thread is held
// inside a match, the way every mode's GameStart is tested for them.
//
// Names live in modetest::gui so that tests which bring in `modetest` and
// keep helpers of their own are not disturbed.
#pragma once

#include "modes/frame/tests/modetest.h"

#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <string>
#include <utility>

namespace modetest::gui {

class Driver {
public:
    static constexpr int DefaultLimitMs = 60000;
    // How long the window thread may stay blocked after the deadline before
    // the watchdog ends the program.
    static constexpr int GraceMs = 30000;
    static constexpr int StepMs = 5;
    // After the deadline: one closing attempt per period; a window still
    // active after MaxCloseTries attempts is hidden.
    static constexpr int CloseMs = 50;
    static constexpr int MaxCloseTries = 20;

    // `step` returns true when it has nothing more to do; it is not called
    // again from a modal loop that it opened itself. `onExpiry` runs once,
    // on the window thread, when the deadline has passed.
    explicit Driver(std::function<bool()> step, int limitMs = DefaultLimitMs,
                    std::function<void()> onExpiry = {})
        : step_(std::move(step)), onExpiry_(std::move(onExpiry)), limitMs_(limitMs),
          watchdog_(std::chrono::milliseconds(limitMs) + std::chrono::milliseconds(GraceMs),
                    currentTestName("a window test") + " (window driver, blocked after its deadline)") {
        clock_.start();
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start(StepMs);
    }
    ~Driver() { timer_.stop(); }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    bool done() const { return done_; }
    bool expired() const { return expired_; }

private:
    void tick() {
        if (!expired_ && clock_.elapsed() > limitMs_) expire();
        if (expired_) {
            closeActiveModal();
            return;
        }
        if (done_ || inStep_) return;
        inStep_ = true;
        done_ = step_();
        inStep_ = false;
    }

    void expire() {
        expired_ = true;
        ADD_FAILURE() << "the window driver did not finish within " << limitMs_
                      << " ms; closing the modal windows";
        timer_.setInterval(CloseMs);
        if (onExpiry_) onExpiry_();
    }

    // One attempt per tick, queued so that a window opened by the close
    // runs its loop with the driver still ticking.
    void closeActiveModal() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        if (w != lastClosed_) {
            lastClosed_ = w;
            tries_ = 0;
        } else if (++tries_ > MaxCloseTries) {
            w->hide();
            tries_ = 0;
            return;
        }
        QPushButton* cancel = w->findChild<QPushButton*>("ButtonCancel");
        if (cancel && cancel->window() == w && cancel->isEnabled())
            QMetaObject::invokeMethod(cancel, "click", Qt::QueuedConnection);
        else if (qobject_cast<QDialog*>(w))
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
        else
            QMetaObject::invokeMethod(w, "close", Qt::QueuedConnection);
    }

    std::function<bool()> step_;
    std::function<void()> onExpiry_;
    int limitMs_;
    Watchdog watchdog_;
    QElapsedTimer clock_;
    QTimer timer_;
    QPointer<QWidget> lastClosed_;
    int tries_ = 0;
    bool done_ = false;
    bool expired_ = false;
    bool inStep_ = false;
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

// Types `text` into an edit or a spin box as its user would: what it held
// is selected and replaced key by key (a spin box checks every key).
inline void typeText(QWidget* control, const QString& text) {
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(control))
        spin->selectAll();
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(control, &press);
    }
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

// The set-up window `setupName` once it is back from its run, else null:
// the modal window again, and `progress`, which was set to the run's
// progress window when it was seen, destroyed. The set-up window is the
// modal window again as soon as the progress window closes, while the run
// thread may still be ending; the progress window is destroyed once the
// thread has ended, and the set-up window is restored (no longer minimised)
// and the mode's own after-run steps are done before the window thread is
// back in its event loop, where a driver steps.
inline QWidget* backFromRun(const char* setupName, const QPointer<QWidget>& progress) {
    return progress ? nullptr : modal(setupName);
}

// A run let go to its end as a game master does it: the set-up window
// `setupName`, readied by `prepare` until it returns true, "試合開始"
// (ButtonStart); the progress window, seen by `watch` at each step while it
// is up, until its first status panel shows `done`, when `atEnd` reads it,
// then its "終了" (ButtonCancel); the set-up window once it is back from the
// run (backFromRun, and `ready` if given, a mode's own sign of it), read by
// `back`, then its "キャンセル". `start` is the call that opens the set-up
// window. Steps left empty do nothing.
struct RunSteps {
    std::function<bool(QWidget*)> prepare;
    std::function<void(QWidget*)> watch;
    std::function<void(QWidget*)> atEnd;
    std::function<bool(QWidget*)> ready;
    std::function<void(QWidget*)> back;
};

struct RunToTheEnd {
    int result = -1;            // what `start` returned
    bool done = false;          // the driver got to its last step in time
    qint64 elapsedMs = 0;       // how long `start` took
    bool formMinimised = false; // the set-up window was minimised while the progress window was up
    bool formRestored = false;  // ... and no longer once it was back from the run
};

inline RunToTheEnd runToTheEnd(const char* setupName, const QString& done, const RunSteps& steps,
                               const std::function<int()>& start) {
    RunToTheEnd run;
    int stage = 0;
    QPointer<QWidget> form, shown;
    Driver driver([&] {
        switch (stage) {
        case 0:
            if ((form = modal(setupName)) && (!steps.prepare || steps.prepare(form))) {
                clickLater(form, "ButtonStart");
                stage = 1;
            }
            return false;
        case 1:
            if (QWidget* progress = modal("TFormProgress")) {
                run.formMinimised = run.formMinimised || (form && form->isMinimized());
                if (steps.watch) steps.watch(progress);
                if (statusText(progress, 0) != done) return false;
                if (steps.atEnd) steps.atEnd(progress);
                clickLater(progress, "ButtonCancel");
                shown = progress;
                stage = 2;
            }
            return false;
        default:
            if (QWidget* back = backFromRun(setupName, shown); back && (!steps.ready || steps.ready(back))) {
                run.formRestored = !back->isMinimized();
                if (steps.back) steps.back(back);
                clickLater(back, "ButtonCancel");
                return true;
            }
            return false;
        }
    });
    QElapsedTimer clock;
    clock.start();
    run.result = start();
    run.elapsedMs = clock.elapsed();
    run.done = driver.done();
    return run;
}

// A run cancelled while its thread is held inside a match, as a game master
// would cancel it: `prepare` readies the set-up window `setupName` (and may
// take away a file the run will miss, whose report is then held), "試合開始"
// (ButtonStart); once the progress window is up and the run thread waits in
// the held report, "終了" (ButtonCancel) of the progress window; the report
// is let go and, when the set-up window is back from the run (backFromRun,
// and `ready` if given, a mode's own sign of it), its "キャンセル". The run
// thread's reports after the held one each take `laterReports`, as on a
// busy machine. `start` is the call that opens the set-up window. Without
// `pressCancel` the progress window is only seen before the report is let
// go: a run that stops by itself after it (a fault) must close it.
struct HeldCancel {
    int result = -1;           // what `start` returned
    bool done = false;         // the driver got to its last step in time
    bool closedAtOnce = false; // the progress window was gone before the thread was let go
    std::vector<std::string> reports; // the texts of the boxes asked for
};

inline HeldCancel cancelWhileHeld(const char* setupName, const std::function<void(QWidget*)>& prepare,
                                  const std::function<int()>& start,
                                  const std::function<bool(QWidget*)>& ready = {},
                                  std::chrono::milliseconds laterReports = std::chrono::milliseconds(0),
                                  bool pressCancel = true) {
    HeldReports held(laterReports);
    auto release = [&held] { held.release(); };
    int stage = 0;
    bool closedAtOnce = false;
    QPointer<QWidget> shown;
    Driver driver(
        [&] {
            switch (stage) {
            case 0:
                if (QWidget* form = modal(setupName)) {
                    prepare(form);
                    clickLater(form, "ButtonStart");
                    stage = 1;
                }
                return false;
            case 1:
                if (QWidget* progress = modal("TFormProgress"); progress && held.waiting()) {
                    if (pressCancel) clickLater(progress, "ButtonCancel");
                    shown = progress;
                    stage = 2;
                }
                return false;
            case 2:
                closedAtOnce = shown && !shown->isVisible();
                release();
                stage = 3;
                return false;
            default:
                if (QWidget* form = backFromRun(setupName, shown); form && (!ready || ready(form))) {
                    clickLater(form, "ButtonCancel");
                    return true;
                }
                return false;
            }
        },
        Driver::DefaultLimitMs, release);
    HeldCancel run;
    run.result = start();
    release();
    run.done = driver.done();
    run.closedAtOnce = closedAtOnce;
    run.reports = held.texts();
    return run;
}

} // namespace modetest::gui
