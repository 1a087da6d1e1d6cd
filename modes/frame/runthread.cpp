// The run thread of the threaded modes.
#include "modes/frame/runthread.h"

#include "modes/frame/imports.h"
#include "platform/catalogue.h"

namespace modes {

namespace {
thread_local RunThread* currentRun = nullptr;
} // namespace

RunThread* RunThread::current() {
    return currentRun;
}

void RunThread::stopOnFault() {
    // A match still in progress (the battle royal's open fights) leaves no
    // cut log behind.
    TakeBackOpenMatches();
    terminate();
    if (!faulted_.exchange(true)) host_.stoppedOnFault();
}

void RunThread::unreadableAkFile(std::string_view path) {
    if (unreadable_.empty())
        unreadable_.assign(path);
    else if (path != unreadable_)
        stopOnFault();
}

void RunThread::postGameDone() {
    if (!faulted()) host_.postGameDone();
}

void reportRunFile(int message, std::string_view path) {
    RunThread* run = RunThread::current();
    if (run && run->faulted()) return;
    plat::msg::showError(message, {path});
    if (run) run->stopOnFault();
}

RunThread::~RunThread() {
    if (thread_.joinable()) {
        terminate();
        thread_.join();
    }
}

void RunThread::start(Body body) {
    if (thread_.joinable()) return;
    thread_ = std::thread([this, body = std::move(body)] {
        currentRun = this;
        try {
            body(*this);
        } catch (...) {
            // A failure inside the run ends it; the window is told below.
        }
        currentRun = nullptr;
        host_.finished();
    });
}

void RunThread::join() {
    if (thread_.joinable()) thread_.join();
}

void applyRunSettings(GameSettings& settings, const MsgWords& words, bool versus) {
    settings.Words[0] = words;
    settings.Words[1] = words;
    if (settings.Options[OptLogOutput]) {
        settings.Options[OptMessagesOff] = 0;
    } else {
        settings.Options[OptMessagesOff] = 1;
        settings.MessagePercent = 0;
    }
    settings.Options[Opt36] = versus ? 1 : 0;
}

} // namespace modes
