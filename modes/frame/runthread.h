// The run thread of the threaded modes (tournament, battle royal, team
// battle, one-vs-many, league): one worker thread per event that drives the
// game processor and the AK data library while the progress window waits.
//
// The thread never touches a window. Everything it has to show goes through
// its RunHost: post() hands a call to the window thread (calls run there in
// the order they were posted), postGameDone() tells the progress window
// that the event reached its end (WM_GAMEDONE), and finished() follows the
// mode's body when the thread is about to end (the thread's Destroy: the
// window clears its running flag). The host's window must outlive the
// thread: the progress window is released only after finished() arrived.
//
// Cancelling is cooperative: terminate() sets a flag that the mode's body
// tests where its mode says (at least before every match).
//
// A fault stops the run the same way, once it has been reported: a file of
// the event that could not be written (the game processor's logs, digest
// and output AK files, the mode's own files), or a second entrant's AK
// file that could not be read (one is left out of its matches, as the
// modes say). stopOnFault() tells the thread to terminate and the window
// to close as its cancel closes it; no WM_GAMEDONE follows, so no table is
// published for matches that were not played, and every match still in
// progress (the battle royal's open fights) takes back the files it wrote.
//
// Usage, in the mode's progress window:
//     thread_ = std::make_unique<RunThread>(host);
//     thread_->start([run](RunThread& t) { run->Execute(t); });
#pragma once

#include "base/confrecords.h"

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace modes {

class RunHost {
public:
    virtual ~RunHost() = default;
    // Runs `call` later on the window thread, in posting order.
    virtual void post(std::function<void()> call) = 0;
    // WM_GAMEDONE to the progress window.
    virtual void postGameDone() = 0;
    // How the clean-up at the start of the run goes (outputs.h): `status`
    // for the status bar, `done` of `total` files gone through (0 of 0
    // while the folders are read). An empty status: it is over, the window
    // shows again what it showed before.
    virtual void showCleanup(std::string_view status, int done, int total) {
        (void)status;
        (void)done;
        (void)total;
    }
    // The run stopped on a fault that has been reported: the progress
    // window closes with the cancel result.
    virtual void stoppedOnFault() {}
    // The last thing the thread does.
    virtual void finished() = 0;
};

class RunThread {
public:
    using Body = std::function<void(RunThread&)>;

    explicit RunThread(RunHost& host) : host_(host) {}
    // Joins the thread when it still runs (after telling it to stop): a
    // last resort, the owner normally waits for finished() first.
    ~RunThread();
    RunThread(const RunThread&) = delete;
    RunThread& operator=(const RunThread&) = delete;

    // Starts the thread at normal priority. The body's exceptions end the
    // run quietly; finished() always follows.
    void start(Body body);
    bool started() const { return thread_.joinable(); }

    void terminate() { terminated_.store(true); }
    bool terminated() const { return terminated_.load(); }
    const std::atomic<bool>& terminateFlag() const { return terminated_; }

    // The run on the calling thread (inside the body), else null: the
    // frame's match and file helpers stop the run they serve.
    static RunThread* current();
    // After a fault was reported: terminate, and the window closes as on
    // cancel (once).
    void stopOnFault();
    bool faulted() const { return faulted_.load(); }
    // An entrant's AK file could not be read (reported already): the
    // second such file of the run stops it.
    void unreadableAkFile(std::string_view path);

    RunHost& host() { return host_; }
    void post(std::function<void()> call) { host_.post(std::move(call)); }
    // WM_GAMEDONE; nothing after a fault.
    void postGameDone();

    // Waits for the thread; immediate once finished() was delivered.
    void join();

private:
    RunHost& host_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> faulted_{false};
    std::string unreadable_; // the first entrant's AK file that could not be read
    std::thread thread_;
};

// A file of the event that the mode writes itself could not be created or
// written: message `message` naming it, unless the run on this thread has
// already met a fault (one report per event); the run stops.
void reportRunFile(int message, std::string_view path);

// The run settings every run thread applies before its first match: both
// GameSettings.Words := the set-up window's words; with option 20 (log
// output) option 37 := 0, else option 37 := 1 and MessagePercent := 0;
// option 36 := 1 for the one-vs-one mode, 0 for the others.
void applyRunSettings(GameSettings& settings, const MsgWords& words, bool versus = false);

} // namespace modes
