// Logout, shutdown and a kill end the program as its close button does.
// SIGTERM, SIGHUP and SIGINT, and the desktop session's end, close the main
// window as "終了する" does, so a dirty conf tree and the windows' placement
// are saved and the program ends with 0. What runs is cancelled first: the
// topmost modal window (an event's progress or set-up window, a dialog, a
// box) is closed as its own close would, again until none is left, and then
// the main window.
//
// The signals are caught from the first moment of a start on: one that comes
// before the main window exists ends the start cleanly (the lock and the
// socket removed, exit 0) at its next step.
//
// The signal handler only notes the request and writes the signal's number
// to a pipe; the window thread reads it through a socket notifier and does
// the rest, so no Qt call is made from the handler.
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
    // Installs the handlers, unless they are in already; safe before the
    // application object exists (a signal is then only noted).
    static void catchSignals();
    // True once a close was asked for (a signal, the session's end).
    static bool asked();

    // Installs the handlers (one object at a time) and reads what they
    // note once the window loop runs; the destructor puts the former
    // handlers back. `mainWindow` may come later (setWindow).
    explicit CloseRequests(QWidget* mainWindow = nullptr);
    ~CloseRequests() override;
    // A close asked for before the window came is carried out once the
    // window loop runs.
    void setWindow(QWidget* mainWindow);

    // A close asked for: what the signals and the session's end do.
    void request();

private:
    void step();

    QPointer<QWidget> window_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer retry_;
};

} // namespace vell
