// The one-vs-one match window (TFormVsLog): plays one match on the window
// thread and shows it. Every step is a WM_STEPMATCH the window posts
// itself (a queued event of that type), answered by the step machine of
// stepper.h; the tool bar and the keys drive it: Enter one step (one page),
// Space run or pause, Q the abort dialog, Esc end, S the status windows,
// '4' and '6' the AK sheets of both sides. The log view shows the narration
// coloured by kind; the AK view an AK's sheets; the file menu opens the AK
// data files before and after the match with the desktop's default
// application.
//
// The window is a top-level application-modal window (the set-up window
// is minimised while it is active and would hide a window it owned).
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "core/queue.h"
#include "modes/versus/output.h"
#include "modes/versus/stepper.h"

#include <QDialog>

#include <memory>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QStackedWidget;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace versus::ui {

class TFormStatus;

inline constexpr int WM_STEPMATCH = 0x8190;

// A plain-text view as a line list for the display rules; it refuses lines
// beyond its capacity, as a full text control would.
class TextViewSink : public LogSink {
public:
    TextViewSink(QPlainTextEdit* view, bool followEnd);
    int lineCount() const override { return lines_; }
    void removeLastLine() override;
    void removeFirstLine() override;
    void clear() override;
    bool addLine(std::string_view text, uint32_t colour) override;
    void beginUpdate() override;
    void endUpdate() override;

    // Lines a view takes (tests make it small).
    static void setCapacity(int lines);
    static int capacity();

private:
    QPlainTextEdit* view_;
    bool followEnd_;
    int lines_ = 0;
};

class TFormVsLog : public QDialog, private StepHost {
    Q_OBJECT
public:
    // `owner` is the set-up window (minimised while this one is active).
    // The records are the set-up window's and outlive this window.
    TFormVsLog(QWidget* owner, std::string title, const cv::GameMessageBuffer& messages, std::string logName,
               TArmoredKnight& ak1, TArmoredKnight& ak2, const ConfHeader& header, GameSettings& settings,
               std::string programFolder, MatchCalls& calls = gameProcessor());
    ~TFormVsLog() override;

    // StatusView, placement "Game_VsLog", display attributes, the views, the
    // prompt and the step machine.
    void FormCreate();

    MatchStepper& stepper() { return *stepper_; }
    TFormStatus* statusWindow(int side) const { return status_[side & 1].get(); }
    const DispAttribute& display() const { return display_; }

    // Controls.
    QToolBar* ToolBar = nullptr;
    QToolButton* ToolButtonPlay = nullptr;
    QToolButton* ToolButtonFwd = nullptr;
    QToolButton* ToolButtonPause = nullptr;
    QToolButton* ToolButtonLog = nullptr;
    QToolButton* ToolButtonP1 = nullptr;
    QToolButton* ToolButtonP2 = nullptr;
    QToolButton* ToolButtonStatus = nullptr;
    QToolButton* ToolButtonFile = nullptr;
    QToolButton* ToolButtonQuit = nullptr;
    QToolButton* ToolButtonEnd = nullptr;
    QMenu* PopupMenuFile = nullptr;
    QAction* MenuPlayer1FileB = nullptr;
    QAction* MenuPlayer2FileB = nullptr;
    QAction* MenuPlayer1FileA = nullptr;
    QAction* MenuPlayer2FileA = nullptr;
    QStackedWidget* PageControlLog = nullptr;
    QWidget* TabSheetGame = nullptr;
    QWidget* TabSheetAkView = nullptr;
    QPlainTextEdit* RichEditLog = nullptr;
    QPlainTextEdit* RichEditAkView = nullptr;
    QStatusBar* StatusBarLog = nullptr;
    QLabel* statusPanel(int index) const { return panels_[index & 1]; }

    // The log view's text as lines (display text).
    QStringList logLines() const;

    void MenuPlayerFileClick(int tag);
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    // StepHost.
    void postStep() override;
    void pumpMessages() override;
    void* windowHandle() override { return static_cast<QWidget*>(this); }
    LogSink& logView() override { return *logSink_; }
    LogSink& akView() override { return *akSink_; }
    void setBusyCursor(bool busy) override;
    void toolsChanged() override;
    void updateStatusWindows() override;
    void setStatusWindowsVisible(bool visible) override;
    void closeWindow(int result) override;
    void openDocument(const std::string& path) override;
    void refocus() override;

    void FormShow();
    void FormClose();
    QToolButton* addTool(const char* name, const char* caption, const char* hint);
    bool handleKey(QKeyEvent* event);

    QWidget* owner_;
    std::string title_;
    const cv::GameMessageBuffer& messages_;
    std::string logName_;
    TArmoredKnight* ak_[2];
    const ConfHeader& header_;
    GameSettings& settings_;
    std::string programFolder_;
    MatchCalls& calls_;
    DispAttribute display_{};
    std::string prompt_;
    std::unique_ptr<TextViewSink> logSink_;
    std::unique_ptr<TextViewSink> akSink_;
    std::unique_ptr<MatchStepper> stepper_;
    std::unique_ptr<TFormStatus> status_[2];
    QLabel* panels_[2] = {nullptr, nullptr};
    bool created_ = false;
    bool shown_ = false;
    bool placeRestored_ = false; // the window came up at a place it had stored
    bool closed_ = false;
};

} // namespace versus::ui
