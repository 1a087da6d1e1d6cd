// The set-up window every game-mode plug-in shows from GameStart (the mode
// form): the AK folder (the folder slots of the AkSourceList and the folder
// picker), the file mask, the AK list with its sortable columns, the AK
// detail window, the result-file combo with its history, and the buttons
// "決定" (modes with an entrant count), "試合開始" and "キャンセル". A mode
// derives from TFormMode, adds its own controls to modeArea(), forces its
// option flags in its constructor and writes ButtonStartClick with the
// steps of ModeSetup (modes/frame/setup.h) and runProgress.
//
// Life of a mode form (RunModeForm in gamestart.h does this):
//     Form form(settings, header, sources);   // the mode's constructor
//     form.FormCreate();                      // placement, history, folders, StartSystem
//     int result = form.exec();               // modal; FormClose runs when it closes
//
// The window is a top-level application-modal window: the main window is
// minimised while an event runs, and a window owned by a minimised window
// would be hidden with it by some window managers.
//
// The private window messages arrive as QEvents of these types: the AK
// detail window's WM_CLOSEAKDETAIL (answered with SpeedButtonDetailClick)
// and, in the progress window, the run thread's WM_GAMEDONE.
#pragma once

#include "base/akrecord.h"
#include "base/aksourcelist.h"
#include "base/confrecords.h"
#include "modes/frame/modeinfo.h"
#include "modes/frame/setup.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;
class QDropEvent;
class QLabel;
class QPushButton;
class QTextEdit;
class QToolButton;
class QTreeWidget;
class QVBoxLayout;

namespace modes::ui {

inline constexpr int WM_STEPMATCH = 0x8190;
inline constexpr int WM_CLOSEAKDETAIL = 0x8191;
inline constexpr int WM_GAMEDONE = 0x8192;

class TFormProgress;

class TFormMode : public QDialog {
    Q_OBJECT
public:
    struct Features {
        bool DecideButton = false; // "決定" fixes the entrants; "試合開始" waits for it
    };

    TFormMode(ModeKind kind, GameSettings& settings, ConfHeader& header, AkSourceList& sources,
              Features features);
    ~TFormMode() override;

    ModeSetup& setup() { return *setup_; }
    const ModeInfo& info() const { return setup_->info(); }

    // The controls, named as the system names them (also their objectName).
    QComboBox* ComboBoxDir = nullptr;
    QToolButton* SpeedButtonFolder = nullptr;
    QToolButton* SpeedButtonDetail = nullptr;
    QComboBox* ComboBoxMask = nullptr;
    QTreeWidget* ListViewAk = nullptr;
    QComboBox* ComboBoxText = nullptr;
    QPushButton* ButtonDecide = nullptr; // null without Features::DecideButton
    QPushButton* ButtonStart = nullptr;
    QPushButton* ButtonCancel = nullptr;

    // Where a mode puts its own controls (between the AK list and the
    // result-file row).
    QVBoxLayout* modeArea() const { return modeArea_; }

    // Restores the placement, reads the history and the mode's values,
    // fills the AK list and the folder combo and starts the game
    // processor's system; when that fails the window closes as soon as it
    // is shown.
    void FormCreate();

    // Handlers.
    void FillAkList();
    void ComboBoxMaskChange();
    void ComboBoxDirChange(int index);
    void SpeedButtonFolderClick();
    void SpeedButtonDetailClick();
    void ListViewAkColumnClick(int column);
    void ListViewAkChange();
    virtual void ButtonDecideClick() {}
    virtual void ButtonStartClick() = 0;

    // The selected row of the AK list (-1 for none) and its file name.
    int selectedRow() const { return selectedRow_; }
    const std::string& selectedFile() const { return selectedFile_; }
    bool detailOpen() const { return detail_ != nullptr; }
    // Closing runs FormClose first; refused while runProgress runs.
    void done(int result) override;

    // True when a drag comes from the AK list (the drop targets of the
    // one-vs-many and one-vs-one modes accept only those).
    bool isAkListDrag(const QDropEvent* event) const;

    // The result-file combo: its text into the history, the history into
    // the combo.
    void takeResultText();
    void showHistory();

    // Start sequence steps 4 to 6 for `entrants`: the result text moves to
    // the front of the history, the digest reset (option 38), SetEnvironment
    // and the entry list. False when the entry list could not be written
    // (reported once): the event does not start.
    bool prepareRun(const EntrantList& entrants);

    // Start sequence step 7: shows the progress window modally (its
    // FormCreate first), waits through the event loop until its run thread
    // has ended, destroys it and brings this window back to normal. Returns
    // the progress window's modal result (1 done, 2 cancelled). Until then
    // this window neither closes nor starts another run.
    int runProgress(std::unique_ptr<TFormProgress> progress);

    // The folder chooser (the platform's folder picker unless replaced).
    using FolderChooser = std::function<std::optional<std::string>(QWidget* owner, std::string_view title,
                                                                   std::string_view start)>;
    static void setFolderChooser(FolderChooser chooser);

protected:
    // The mode's stored values: read in FormCreate, written in FormClose.
    virtual void readModeValues() {}
    virtual void writeModeValues() {}
    // After every fill of the AK list (modes with an entrant-count edit).
    virtual void akListFilled(int rows) { (void)rows; }
    // The mode's own part of FormClose (free its picture and entrant list).
    virtual void formClosing() {}

    // Size limits of the frame: minimum 488 × 446, or wider where the shown
    // layout needs more room for its texts; maximum height the screen's;
    // fixedWidth also pins the width at the minimum.
    void applySizeLimits(bool fixedWidth);
    // Makes the memo of an AK summary wide enough for the summary's lines of
    // an AK with record and money figures as long as they come.
    static void fitSummaryMemo(QTextEdit* memo,
                               const std::function<std::vector<std::string>(const TArmoredKnight&)>& summary);

    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Escape and the close box answer like "キャンセル" (modal result 2).
    void reject() override { done(2); }

private:
    void FormClose();
    void showFolderHints();
    void fillListWidget();

    std::unique_ptr<ModeSetup> setup_;
    QVBoxLayout* modeArea_ = nullptr;
    QLabel* LabelFolder_ = nullptr;
    void* detail_ = nullptr;
    int selectedRow_ = -1;
    std::string selectedFile_;
    bool created_ = false;
    bool fixedWidth_ = false;  // the width is pinned at the least (applySizeLimits)
    bool limitsShown_ = false; // the limits were applied again at the first showing
    bool closed_ = false;
    bool runActive_ = false;         // inside runProgress
    std::optional<int> pendingDone_; // a close asked for while a run was ending
};

} // namespace modes::ui
