// The progress window of the threaded modes (TFormProgress): a memo for the
// entry table and the result tables, a progress bar with its label, a
// status bar of two panels and the button "終了". Showing the window starts
// the mode's run thread; the thread hands every change of the window to
// the window thread (RunThread::post) and tells the window with WM_GAMEDONE
// when the event is over; the window then runs the mode's result writer.
// "終了" closes with modal result 1 after the end, and with 2 at once while
// the run goes on (the thread is told to stop). A run that stops on a
// reported fault (runthread.h) closes the window the same way.
//
// A mode derives from TFormProgress and gives:
//   prepare()   FormCreate's own part: progress bar maximum, entry table;
//   createRun() the body the run thread executes (Qt-free, see runthread.h);
//   gameDone()  the result writer on WM_GAMEDONE (end text in panel 0,
//               tables into the memo, saveMemo()).
// The window stays alive until the thread has ended: the mode form's
// runProgress waits for that through the event loop before it destroys the
// window, so nothing the thread posts ever meets a destroyed window and
// nothing the thread uses (records, entrant rows) is freed under it. (Should
// a progress window be destroyed some other way while its run goes on, its
// destructor stops the run and waits the same way; a mode whose posted calls
// reach members of its own class then calls waitForRunEnd() in its own
// destructor.)
#pragma once

#include "modes/frame/entrants.h"
#include "modes/frame/runthread.h"
#include "modes/frame/tables.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QEventLoop;
class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QVBoxLayout;

namespace modes {
class ModeSetup;
}

namespace modes::ui {

class TFormMode;

class TFormProgress : public QDialog {
    Q_OBJECT
public:
    // `memoName` names the memo control ("MemoLeague", "MemoTour"...).
    TFormProgress(TFormMode& owner, EntrantList& entrants, std::string resultFile, std::string akFolder,
                  const char* memoName);
    ~TFormProgress() override;

    // What the run and the result writer work on (the mode form's records).
    TFormMode& owner() { return owner_; }
    ModeSetup& setup();
    GameSettings& settings();
    ConfHeader& header();
    const MsgWords& words();
    EntrantList& entrants() { return entrants_; }
    const std::string& resultFile() const { return resultFile_; }
    const std::string& akFolder() const { return akFolder_; }
    const DispAttribute& display() const { return display_; }

    // Controls.
    QTextEdit* Memo = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QLabel* LabelProgress = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QLabel* statusPanel(int index) const;
    void setStatusPanel(int index, std::string_view sjis);
    // Where the memo, progress row and status bar sit (a mode may rearrange).
    QVBoxLayout* body() const { return body_; }

    // The memo as a list of lines: each text added becomes the text and CR
    // LF. The Shift-JIS bytes are kept beside the display, so the result
    // file holds exactly the tables' bytes.
    void addLine(std::string_view sjis);
    void addLines(const Lines& lines);
    const std::string& memoBytes() const { return memoBytes_; }
    // Saves the memo's whole text as the result file (replacing it).
    bool saveMemo();

    // After each match: progress bar := done; status panel 1 := "done/total".
    void SyncProgress(int done, int total);
    // The clean-up at the start of the run (RunHost::showCleanup): its
    // status in panel 0, the files in the bar and panel 1, the busy cursor;
    // an empty status puts back what the window showed before.
    void showCleanup(const std::string& status, int done, int total);

    // Placement, display attributes, memo set-up, then prepare().
    void FormCreate();
    void ButtonCancelClick();
    // Closing saves the placement.
    void done(int result) override;

    // The battle royal, the tournament and the team battle empty the result
    // file as the run starts: a run the game master cancels leaves it empty.
    // A run that stops on a fault gives back the table that was there, or
    // leaves none where there was none.
    void emptyResultFile();

    // The run stopped on a fault: as "終了" while it runs.
    void stopAfterFault();

    bool running() const { return running_; }
    bool threadAlive() const { return threadAlive_; }
    bool cancelled() const { return cancelled_; }
    // Returns once the run thread has ended (at once when none was started).
    void waitForRunEnd();

protected:
    virtual void prepare() {}
    virtual RunThread::Body createRun() = 0;
    virtual void gameDone() = 0;
    // Whether a run cancelled by "終了" still writes its tables when
    // WM_GAMEDONE arrives (the battle royal's thread posts it after a cancel
    // too). The other modes publish nothing after a cancel, even when the run
    // ended just as "終了" was pressed and WM_GAMEDONE was already queued.
    virtual bool publishesAfterCancel() const { return false; }

    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void reject() override;

private:
    class Host;
    void FormShow();
    void runFinished();

    TFormMode& owner_;
    EntrantList& entrants_;
    std::string resultFile_;
    std::string akFolder_;
    DispAttribute display_{};
    QVBoxLayout* body_ = nullptr;
    QLabel* panels_[2] = {nullptr, nullptr};
    // What the clean-up covered while it was shown: the panels' texts, the
    // bar's maximum and value.
    bool cleanupShown_ = false;
    QString shownBefore_[2];
    int barBefore_[2] = {0, 0};
    std::string memoBytes_;
    // What emptyResultFile() replaced: the table's bytes, nothing where
    // there was none.
    bool tableEmptied_ = false;
    std::optional<std::string> tableBefore_;
    std::unique_ptr<Host> host_;
    std::unique_ptr<RunThread> thread_;
    QEventLoop* waitLoop_ = nullptr;
    bool created_ = false;
    bool shown_ = false;
    bool running_ = false;
    bool threadAlive_ = false;
    bool cancelled_ = false;
    bool placementSaved_ = false;
    bool destroying_ = false;
};

} // namespace modes::ui
