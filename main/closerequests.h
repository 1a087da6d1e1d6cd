// Logout, shutdown and a kill end the program as its close button does.
// SIGTERM, SIGHUP and SIGINT, and the desktop session's end, close the main
// window as "終了する" does, so a dirty conf tree and the windows' placement
// are saved and the program ends with 0. What runs is cancelled first: the
// topmost modal window (an event's progress or set-up window, a dialog, a
// box) is closed as its own close would, again until none is left, and then
// the main window.
//
// The signal handler only writes the signal's number to a pipe; the window
// thread reads it through a socket notifier and does the rest, so no Qt
// call is made from the handler.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <csignal>

class QSocketNotifier;

namespace vell {

class CloseRequests : public QObject {
public:
    // Installs the handlers (one object at a time); the destructor puts the
    // former handlers back.
    explicit CloseRequests(QWidget* mainWindow);
    ~CloseRequests() override;

    // A close asked for: what the signals and the session's end do.
    void request();

private:
    void step();

    QPointer<QWidget> window_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer retry_;
    struct sigaction former_[3] = {};
};

} // namespace vell
