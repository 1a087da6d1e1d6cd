// Deadlines for the simulation's window tests, so that none of them can
// hang. They answer modal windows from a timer while a modal loop runs;
// when a step they wait for never comes, the loop would run for ever.
// ModalUnwinder fails the test at its deadline and then closes whatever
// modal window is active, over and over, until the loops have returned: a
// progress window through its "終了" (which stops a run), a set-up window
// through its "キャンセル", any other dialog by rejecting it. A test that
// holds a worker (a message box it answers late) releases it in the
// unwinder's callback.
#pragma once

#include "modes/gauntlet/tests/deadline.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <string>

namespace gauntlettest {

// Closes the active modal window, if any, the way its user would.
inline void closeActiveModal() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) return;
    if (w->objectName() == "TFormProgress" || w->objectName() == "TFormGauntlet") {
        if (auto* button = w->findChild<QPushButton*>("ButtonCancel")) {
            button->click();
            return;
        }
    }
    if (auto* dialog = qobject_cast<QDialog*>(w))
        dialog->reject();
    else
        w->close();
}

class ModalUnwinder {
public:
    // Armed at once; the timer fires only inside an event loop, which is
    // where a window test can hang.
    ModalUnwinder(std::chrono::milliseconds limit, std::string what, std::function<void()> release = {})
        : what_(std::move(what)), release_(std::move(release)) {
        deadline_.setSingleShot(true);
        QObject::connect(&deadline_, &QTimer::timeout, [this] { expire(); });
        QObject::connect(&closer_, &QTimer::timeout, [] { closeActiveModal(); });
        deadline_.start(limit);
    }
    ~ModalUnwinder() { disarm(); }
    ModalUnwinder(const ModalUnwinder&) = delete;
    ModalUnwinder& operator=(const ModalUnwinder&) = delete;

    bool expired() const { return expired_; }
    void disarm() {
        deadline_.stop();
        closer_.stop();
    }
    // Fails the test and starts closing modal windows now.
    void expire() {
        if (expired_) return;
        expired_ = true;
        ADD_FAILURE() << "deadline passed: " << what_;
        if (release_) release_();
        closer_.start(20);
    }

private:
    std::string what_;
    std::function<void()> release_;
    QTimer deadline_;
    QTimer closer_;
    bool expired_ = false;
};

} // namespace gauntlettest
