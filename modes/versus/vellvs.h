// The one-vs-one set-up window (TFormVersus): the frame's mode form with
// two slots above the AK list. A double click (or Enter, Space) puts the
// selected AK in the active slot and makes the other slot active; a drag
// from the list onto a slot's memo fills that slot; Left, Right, '4' and
// '6' switch the active slot. "試合開始" plays one match in the match window
// (vslog.h); the set-up window stays open for the next one.
#pragma once

#include "core/combatant.h"
#include "modes/frame/match.h"
#include "modes/frame/ui/modeform.h"
#include "modes/versus/slots.h"
#include "modes/versus/stepper.h"

#include <QTextEdit>

#include <functional>
#include <memory>

class QLabel;
class QSplitter;

namespace versus::ui {

class TFormVsLog;

// A slot's memo: read-only, and a drop target for drags from the AK list.
class AkMemo : public QTextEdit {
    Q_OBJECT
public:
    AkMemo(int tag, QWidget* parent);
    int tag() const { return tag_; }
    std::function<bool(const QDropEvent*)> accepts;
    std::function<void(int tag)> dropped;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int tag_;
};

class TFormVersus : public modes::ui::TFormMode {
    Q_OBJECT
public:
    TFormVersus(GameSettings& settings, ConfHeader& header, AkSourceList& sources);
    ~TFormVersus() override;

    QSplitter* SplitterVs = nullptr;
    QWidget* PanelVs = nullptr;
    QLabel* PanelLHead = nullptr;
    QLabel* PanelRHead = nullptr;
    QLabel* PanelMiddle = nullptr;
    AkMemo* MemoLeft = nullptr;
    AkMemo* MemoRight = nullptr;
    QLabel* LabelType = nullptr;

    void MakeAkSummary(int slot, const std::string& path);
    void ListViewAkDblClick();
    void MemoAkDragDrop(int tag);
    void ComboBoxTextChange();
    void ButtonStartClick() override;

    VersusSlots& akSlots() { return slots_; }
    // The match window while a match is shown (null otherwise).
    TFormVsLog* matchWindow() const { return match_; }
    // The game processor calls the match window makes (tests record them).
    static void setMatchCalls(MatchCalls* calls);

protected:
    void readModeValues() override;
    void writeModeValues() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void paintHeads();
    void switchActive();
    bool previewKey(QKeyEvent* event);

    VersusSlots slots_;
    struct States {
        modes::CombatantSlot Slot[2];
    };
    std::unique_ptr<States> states_;
    int32_t scrollHeight_ = 185;
    bool laidOut_ = false; // the slots' height was applied to a shown window
    TFormVsLog* match_ = nullptr;
};

} // namespace versus::ui
