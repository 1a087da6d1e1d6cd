// The one-vs-one step machine and the match window's requests.
#include "modes/versus/stepper.h"

#include "base/sjis.h"
#include "modes/frame/imports.h"

#include <cstring>

namespace versus {

namespace {

class CvcoreCalls : public MatchCalls {
public:
    void startMatch(const char* logName, const char* title) override { StartMatch(logName, title); }
    uint8_t processMatch(const char* logName) override { return ProcessMatch(logName); }
    void endMatch1(const char* logName, const char* akOutputFolder) override {
        EndMatch1(logName, akOutputFolder);
    }
    void endMatch2(const char* logName) override { EndMatch2(logName); }
    uint8_t abortMatch(void* owner, const char* logName, const char* akOutputFolder,
                       uint8_t* akWritten) override {
        return AbortMatch(owner, logName, akOutputFolder, akWritten);
    }
    void akViewer(int32_t side, cv::GameMessageBuffer* buffer) override { AkViewer(side, buffer); }
    void keepOpenMatches() override { KeepOpenMatches(); }
    std::string returnFileName(const char* akOutputFolder, const char* akFile) override {
        char out[256] = {};
        _GetReturnFileName(akOutputFolder, akFile, out);
        return std::string(sjis::readField(out));
    }
};

// The hourglass for the life of the object.
class Hourglass {
public:
    explicit Hourglass(StepHost& host) : host_(host) { host_.setBusyCursor(true); }
    ~Hourglass() { host_.setBusyCursor(false); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

private:
    StepHost& host_;
};

} // namespace

MatchCalls& gameProcessor() {
    static CvcoreCalls calls;
    return calls;
}

int32_t nextAkViewSide(int32_t side, char key) {
    const bool right = key == '6';
    switch (side) {
    case 3:
        return right ? 0 : 1;
    case 0:
        return right ? 1 : 3;
    case 1:
        return right ? 3 : 0;
    default:
        return 3;
    }
}

MatchStepper::MatchStepper(GameSettings& settings, const ConfHeader& header,
                           const cv::GameMessageBuffer& messages, std::string logName,
                           const DispAttribute& display, std::string prompt, bool statusView,
                           MatchCalls& calls, StepHost& host)
    : settings_(settings), header_(header), messages_(messages), logName_(std::move(logName)),
      akOutputFolder_(sjis::readField(header.AkOutputFolder)), display_attr_(display), calls_(calls),
      host_(host), akViewBuffer_(std::make_unique<cv::GameMessageBuffer>()), statusView_(statusView) {
    options_.Colours = display_attr_.Color;
    options_.Prompt = std::move(prompt);
    tools_.StatusDown = statusView_;
}

MatchStepper::~MatchStepper() = default;

void MatchStepper::showMatchOutput() {
    Hourglass busy(host_);
    options_.OutputColumns = settings_.OutputColumns;
    versus::showMatchOutput(messages_, display_, options_, host_.logView());
}

void MatchStepper::open() {
    calls_.startMatch(logName_.c_str(), "");
    matchEndCode_ = 0;
    display_.StepState = StepOpening;
    showMatchOutput();
    display_.StepState = StepOpeningShown;
    busy_ = false;
    host_.toolsChanged();
}

void MatchStepper::postStep() {
    ++queued_;
    host_.postStep();
}

void MatchStepper::step() {
    if (queued_ > 0) --queued_;
    if (busy_ || closed_) return;
    uint8_t akWritten = 0;
    busy_ = true;
    switch (display_.StepState) {
    case StepOpeningShown:
        matchEndCode_ = 0;
        showMatchOutput();
        if (!display_.OutputPending) display_.StepState = StepRounds;
        tools_.Player1 = tools_.Player2 = tools_.Quit = true;
        break;
    case StepRounds:
        if (!display_.OutputPending) matchEndCode_ = calls_.processMatch(logName_.c_str());
        showMatchOutput();
        if (!display_.OutputPending && matchEndCode_ != 0) display_.StepState = StepDecided;
        break;
    case StepDecided:
        if (!display_.OutputPending) calls_.endMatch1(logName_.c_str(), akOutputFolder_.c_str());
        showMatchOutput();
        if (!display_.OutputPending) display_.StepState = StepClosing;
        break;
    case StepClosing:
        calls_.endMatch2(logName_.c_str());
        display_.StepState = StepDone;
        showMatchOutput();
        break;
    case StepAbort:
        if (display_.OutputPending) showMatchOutput();
        matchEndCode_ =
            calls_.abortMatch(host_.windowHandle(), logName_.c_str(), akOutputFolder_.c_str(), &akWritten);
        if (matchEndCode_ == 0) {
            display_.StepState = StepRounds;
            // Back in step mode: the buttons say so.
            tools_.Play = tools_.Fwd = true;
            tools_.Pause = false;
        } else if (matchEndCode_ == 4) {
            display_.StepState = StepDone;
            showMatchOutput();
        } else {
            display_.StepState = StepDecided;
            tools_.Play = tools_.Fwd = true;
            tools_.Pause = tools_.Quit = false;
            showMatchOutput();
        }
        display_.Paused = true;
        break;
    default:
        break;
    }
    busy_ = false;

    const int32_t state = display_.StepState;
    if (state == StepRounds || state == StepDecided) {
        host_.updateStatusWindows();
        tools_.End = false;
    } else {
        if (state == StepDone) {
            tools_.Play = tools_.Fwd = false;
            if (settings_.Options[OptAkOutput] || akWritten) {
                const std::string in1(sjis::readField(settings_.AkFile1));
                const std::string in2(sjis::readField(settings_.AkFile2));
                returnFile_[0] = calls_.returnFileName(akOutputFolder_.c_str(), in1.c_str());
                returnFile_[1] = calls_.returnFileName(akOutputFolder_.c_str(), in2.c_str());
                tools_.FileAfter[0] = tools_.FileAfter[1] = true;
            }
        }
        tools_.End = true;
        tools_.Quit = tools_.Pause = false;
    }
    host_.toolsChanged();

    host_.pumpMessages();
    if (closed_) return;
    // In run mode the next step follows, unless one is already waiting
    // (the steps stay one chain however the requests came).
    if (!busy_ && !display_.Paused && display_.StepState != StepDone && queued_ == 0) postStep();
}

void MatchStepper::showGamePage(bool logDown) {
    tools_.Shown = Page::Game;
    if (logDown) tools_.Down = DownButton::Log;
}

void MatchStepper::play() {
    if (busy_ || closed_) return;
    showGamePage(true);
    tools_.Play = false;
    host_.toolsChanged();
    postStep();
    tools_.Play = true;
    host_.toolsChanged();
}

void MatchStepper::forward() {
    if (busy_ || closed_) return;
    showGamePage(false);
    display_.Paused = false;
    tools_.Play = tools_.Fwd = false;
    tools_.Pause = true;
    host_.toolsChanged();
    postStep();
}

void MatchStepper::pause() {
    if (closed_) return;
    display_.Paused = true;
    if (display_.StepState <= StepRounds) tools_.Quit = true;
    tools_.Play = tools_.Fwd = true;
    tools_.Pause = false;
    host_.toolsChanged();
}

void MatchStepper::quit() {
    if (busy_ || closed_) return;
    showGamePage(false);
    display_.Paused = false;
    host_.toolsChanged();
    // After the match is decided there is nothing to stop; the request
    // still leaves step mode, so the next step runs the match to its end.
    if (display_.StepState > StepRounds) return;
    display_.StepState = StepAbort;
    postStep();
}

void MatchStepper::end() {
    if (closed_) return;
    windowClosed();
    host_.closeWindow(1);
}

void MatchStepper::windowClosed() {
    if (closed_) return;
    closed_ = true;
    // A match not played to its end is left as it is: its logs take their
    // names now, cut where it stopped.
    if (display_.StepState != StepDone) calls_.keepOpenMatches();
}

void MatchStepper::toggleStatus() {
    statusView_ = !statusView_;
    tools_.StatusDown = statusView_;
    host_.setStatusWindowsVisible(statusView_);
    host_.toolsChanged();
}

void MatchStepper::showAkViewOf(int side) {
    calls_.akViewer(side, akViewBuffer_.get());
    versus::showAkView(*akViewBuffer_, display_attr_.Color[0], host_.akView());
}

void MatchStepper::showPlayer(int side) {
    if (closed_) return;
    side &= 1;
    tools_.Shown = Page::AkView;
    tools_.Down = side == 0 ? DownButton::Player1 : DownButton::Player2;
    host_.toolsChanged();
    showAkViewOf(side);
}

void MatchStepper::showLog() {
    if (busy_ || closed_) return;
    showGamePage(true);
    host_.toolsChanged();
}

void MatchStepper::akViewKey(char key) {
    if (busy_ || closed_) return;
    akViewSide_ = nextAkViewSide(akViewSide_, key);
    if (akViewSide_ == 3) {
        showGamePage(true);
        host_.toolsChanged();
        return;
    }
    tools_.Shown = Page::AkView;
    tools_.Down = akViewSide_ == 0 ? DownButton::Player1 : DownButton::Player2;
    host_.toolsChanged();
    showAkViewOf(akViewSide_);
}

bool MatchStepper::keyPress(int key) {
    if (key == 27) {
        end();
        return true;
    }
    const bool done = display_.StepState == StepDone;
    switch (key) {
    case 13:
        if (!done) play();
        return true;
    case ' ':
        if (!done && !busy_) {
            if (display_.Paused)
                forward();
            else
                pause();
        }
        return true;
    case 'Q':
    case 'q':
        if (!done) quit();
        return true;
    case 'S':
    case 's':
        if (busy_) return true;
        toggleStatus();
        host_.refocus();
        return true;
    case '4':
    case '6':
        akViewKey(static_cast<char>(key));
        return true;
    default:
        return false;
    }
}

std::string MatchStepper::filePath(int tag) const {
    switch (tag) {
    case FileTagBefore1:
        return std::string(sjis::readField(settings_.AkFile1));
    case FileTagBefore2:
        return std::string(sjis::readField(settings_.AkFile2));
    case FileTagAfter1:
        return returnFile_[0];
    case FileTagAfter2:
        return returnFile_[1];
    default:
        return {};
    }
}

void MatchStepper::openFile(int tag) {
    std::string path = filePath(tag);
    if (!path.empty()) host_.openDocument(path);
}

} // namespace versus
