// The one-vs-many simulation's set-up window: the frame's mode form with the
// panel of the own AK ("Player", a memo that takes a drop from the AK list
// or a double click on a row) and of the enemies ("Enemies", a list that
// "一覧に追加" fills with every AK of the AK list and that takes drops of
// the selected rows), the simulation count, "一覧をリセット", the enemy
// list's pop-up menu and the status bar with the number of enemies.
#pragma once

#include "modes/frame/ui/modeform.h"
#include "modes/gauntlet/gauntletlogic.h"

#include <memory>
#include <string>

class QAction;
class QFrame;
class QLabel;
class QSpinBox;
class QMenu;
class QStatusBar;
class QTextEdit;
class QTreeWidget;

namespace gauntlet {

class TFormGauntlet : public modes::ui::TFormMode {
    Q_OBJECT
public:
    // Forces option 16 (immobile means a draw) on and options 23 (output AK
    // files) and 20 (log output) off: nothing of a simulation is kept.
    TFormGauntlet(GameSettings& settings, ConfHeader& header, AkSourceList& sources);

    // Controls beyond the frame's, named as the system names them.
    QLabel* LabelType = nullptr;
    QFrame* PanelVs = nullptr;
    QLabel* PanelLHead = nullptr;
    QTextEdit* MemoLeft = nullptr;
    QLabel* PanelMiddle = nullptr;
    QLabel* PanelRHead = nullptr;
    QTreeWidget* ListViewEnemies = nullptr;
    QSpinBox* EditCount = nullptr;
    QPushButton* ButtonReset = nullptr;
    QMenu* PopupMenuEnemies = nullptr;
    QAction* SetUndo = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    // Loads `path` as the own AK. A file the AK data library rejects
    // changes nothing; an AK destroyed or with a dead pilot gets message
    // 41010 and the own AK stays as it was.
    void MakeAkSummary(const std::string& path);
    // The own AK from the AK list's current row (a drop on the memo, a
    // double click).
    void MemoLeftDragDrop();
    void ListViewAkDblClick();
    // Every row of the AK list becomes an enemy (no path twice, never the
    // own AK).
    void ButtonDecideClick() override;
    // The rows selected in the AK list become enemies; as after
    // "一覧に追加", that button waits for the next own AK or reset.
    void ListViewEnemiesDragDrop();
    void ButtonResetClick();
    // The selected enemies leave the list.
    void SetUndoClick();
    void ListViewEnemiesColumnClick(int column);
    void ButtonStartClick() override;

    bool ownSet() const { return ownSet_; }
    const std::string& ownPath() const { return ownPath_; }
    const TArmoredKnight& ownAk() const { return *own_; }
    EnemyList& enemies() { return enemies_; }

protected:
    void readModeValues() override;
    void writeModeValues() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMemoLines(const modes::Lines& lines, bool centred);
    void fillEnemyView(int select = -1);
    void showEnemyCount();
    void applyStartRule();
    void addEnemies(const std::vector<int>& rows);
    std::vector<int> selectedAkRows() const;

    std::unique_ptr<TArmoredKnight> own_;
    std::string ownPath_;
    bool ownSet_ = false;
    EnemyList enemies_;
};

} // namespace gauntlet
