// The run thread of the threaded modes.
#include "modes/frame/runthread.h"

namespace modes {

RunThread::~RunThread() {
    if (thread_.joinable()) {
        terminate();
        thread_.join();
    }
}

void RunThread::start(Body body) {
    if (thread_.joinable()) return;
    thread_ = std::thread([this, body = std::move(body)] {
        try {
            body(*this);
        } catch (...) {
            // A failure inside the run ends it; the window is told below.
        }
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
