// The one-vs-one match played on the window thread, one step per
// WM_STEPMATCH the match window posts itself: the opening, the rounds, the
// end of the match (EndMatch1, then EndMatch2) and the abort dialog. Each
// step calls at most one export of the game processor and then shows the
// lines it queued; in step mode (paused) a step shows one page and waits
// for the user, in run mode the steps chain through the message queue until
// the match is done or the user pauses.
//
// MatchStepper holds the step machine, the display state, the state of the
// tool buttons and what the user's requests and keys do, free of widgets:
// the match window (vslog.h) gives a StepHost (posting, the message pump,
// its views, status windows) and mirrors tools() in its controls.
#pragma once

#include "base/confrecords.h"
#include "core/queue.h"
#include "modes/versus/output.h"

#include <cstdint>
#include <memory>
#include <string>

namespace versus {

// The game processor's exports a match step calls.
class MatchCalls {
public:
    virtual ~MatchCalls() = default;
    virtual void startMatch(const char* logName, const char* title) = 0;
    virtual uint8_t processMatch(const char* logName) = 0;
    virtual void endMatch1(const char* logName, const char* akOutputFolder) = 0;
    virtual void endMatch2(const char* logName) = 0;
    // The abort dialog over `owner`: 0 go on, 4 put on hold, else ended.
    virtual uint8_t abortMatch(void* owner, const char* logName, const char* akOutputFolder,
                               uint8_t* akWritten) = 0;
    virtual void akViewer(int32_t side, cv::GameMessageBuffer* buffer) = 0;
    // The window closed on a match not played to its end: it is left as it
    // is, its logs under their names.
    virtual void keepOpenMatches() = 0;
    // The output AK file the match writes for `akFile`.
    virtual std::string returnFileName(const char* akOutputFolder, const char* akFile) = 0;
};

// The exports of libcvcore.so.
MatchCalls& gameProcessor();

// The match window as the steps see it.
class StepHost {
public:
    virtual ~StepHost() = default;
    // Queues one WM_STEPMATCH to the window itself; the window answers it
    // with MatchStepper::step().
    virtual void postStep() = 0;
    // Processes the pending window messages once.
    virtual void pumpMessages() = 0;
    // The owner of the abort dialog (the window).
    virtual void* windowHandle() = 0;
    virtual LogSink& logView() = 0;
    virtual LogSink& akView() = 0;
    virtual void setBusyCursor(bool busy) = 0;
    // tools() changed: the controls follow it.
    virtual void toolsChanged() = 0;
    virtual void updateStatusWindows() = 0;
    virtual void setStatusWindowsVisible(bool visible) = 0;
    virtual void closeWindow(int result) = 0;
    virtual void openDocument(const std::string& path) = 0;
    // The window takes the keyboard focus again (after 'S').
    virtual void refocus() {}
};

enum class Page { Game, AkView };
enum class DownButton { Log, Player1, Player2 };

// The tool buttons and file menu entries: enabled, and which of the check
// group is down; the page shown.
struct ToolState {
    bool Play = true;
    bool Fwd = true;
    bool Pause = false;
    bool Player1 = false;
    bool Player2 = false;
    bool Quit = false;
    bool End = true;
    bool FileAfter[2] = {false, false}; // the "after the match" file entries
    bool StatusDown = true;
    DownButton Down = DownButton::Log;
    Page Shown = Page::Game;
};

// Step states.
enum StepStateValue : int32_t {
    StepOpening = 0,
    StepOpeningShown = 1,
    StepRounds = 2,
    StepDecided = 3,
    StepClosing = 4,
    StepDone = 5,
    StepAbort = 6,
};

// Where '4' and '6' move the AK view from `side` (3 is the log).
int32_t nextAkViewSide(int32_t side, char key);

// Menu tags of the file menu.
inline constexpr int FileTagBefore1 = 0;
inline constexpr int FileTagBefore2 = 1;
inline constexpr int FileTagAfter1 = 10;
inline constexpr int FileTagAfter2 = 11;

class MatchStepper {
public:
    // The records stay the caller's and must outlive the stepper. `messages`
    // is the game processor's buffer (read only).
    MatchStepper(GameSettings& settings, const ConfHeader& header, const cv::GameMessageBuffer& messages,
                 std::string logName, const DispAttribute& display, std::string prompt, bool statusView,
                 MatchCalls& calls, StepHost& host);
    ~MatchStepper();
    MatchStepper(const MatchStepper&) = delete;
    MatchStepper& operator=(const MatchStepper&) = delete;

    // The window's FormShow: StartMatch with an empty title, the opening
    // shown, step state 1.
    void open();
    // One WM_STEPMATCH. A step that arrives while another runs (inside the
    // abort dialog) or after the window closed is dropped.
    void step();

    // Requests of the tool buttons and keys.
    void play();
    void forward();
    void pause();
    void quit();
    void end();
    // The window closed some other way: later steps and requests do
    // nothing. A match not played to its end is left as it is.
    void windowClosed();
    void toggleStatus();
    void showPlayer(int side);
    void showLog();
    void akViewKey(char key);
    // FormKeyPress with the character typed (13 Enter, 27 Esc, 32 Space,
    // 'Q', 'S', '4', '6', either case). True when the key was one of them.
    bool keyPress(int key);
    // The file of a file-menu entry (empty when it has none yet).
    std::string filePath(int tag) const;
    void openFile(int tag);

    int32_t stepState() const { return display_.StepState; }
    bool busy() const { return busy_; }
    bool paused() const { return display_.Paused; }
    bool outputPending() const { return display_.OutputPending; }
    int32_t resumeLine() const { return display_.ResumeLine; }
    int32_t akViewSide() const { return akViewSide_; }
    uint8_t matchEndCode() const { return matchEndCode_; }
    bool statusView() const { return statusView_; }
    bool closed() const { return closed_; }
    const ToolState& tools() const { return tools_; }
    const std::string& returnFileName(int side) const { return returnFile_[side & 1]; }
    const std::string& logName() const { return logName_; }
    const cv::GameMessageBuffer& akViewBuffer() const { return *akViewBuffer_; }

private:
    void showMatchOutput();
    void showAkViewOf(int side);
    // The log page; `logDown`: the log button of the check group too.
    void showGamePage(bool logDown);
    void postStep();

    GameSettings& settings_;
    const ConfHeader& header_;
    const cv::GameMessageBuffer& messages_;
    std::string logName_;
    std::string akOutputFolder_;
    DispAttribute display_attr_{};
    DisplayOptions options_;
    DisplayState display_;
    MatchCalls& calls_;
    StepHost& host_;
    std::unique_ptr<cv::GameMessageBuffer> akViewBuffer_;
    ToolState tools_;
    std::string returnFile_[2];
    bool busy_ = false;
    bool statusView_ = true;
    bool closed_ = false;
    int32_t akViewSide_ = 3;
    uint8_t matchEndCode_ = 0;
    int queued_ = 0; // steps posted and not yet run
};

} // namespace versus
