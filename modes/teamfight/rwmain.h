// The team battle's set-up window: the frame's mode form with the team
// size, the winner-stays check box, the board of both teams (drawn by
// ImageTeam in ScrollBoxTeam), "左に全登録" / "右に全登録", the pop-up menu
// of the AK list and the board, and registration by double click, Enter,
// drag and drop and the menu. After a run that ended normally the board
// shows who beat whom.
#pragma once

#include "modes/frame/ui/modeform.h"
#include "modes/teamfight/teamlogic.h"

#include <QPoint>

#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPainter;
class QPixmap;
class QPushButton;
class QScrollArea;
class QWidget;

namespace teamfight {

class TFormTeam : public modes::ui::TFormMode {
    Q_OBJECT
public:
    // Forces option 16 (immobile means a draw) and 17 on, and option 23
    // (output AK files) on for the run: a winner's next bout reads the file
    // its last won bout left.
    TFormTeam(GameSettings& settings, ConfHeader& header, AkSourceList& sources);
    ~TFormTeam() override;

    QLabel* LabelCount = nullptr;
    QLineEdit* EditCount = nullptr;
    QCheckBox* CheckBoxContinue = nullptr;
    QLabel* LabelType = nullptr;
    QPushButton* ButtonRegAll1 = nullptr;
    QPushButton* ButtonRegAll2 = nullptr;
    QScrollArea* ScrollBoxTeam = nullptr;
    QWidget* ImageTeam = nullptr;
    QLabel* LabelCaption = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* MenuEntry = nullptr;
    QAction* SetUndo = nullptr;
    QAction* Copy1 = nullptr;

    void ButtonDecideClick() override;
    // `tag` 0 the left team, 1 the right.
    void ButtonRegAll1Click(int tag);
    void ListViewAkDblClick();
    // Enter acts as the double click.
    void ListViewAkKeyPress(int key);
    // Whether a drag from the AK list may drop at `pos` of the board.
    bool ImageTeamDragOver(const QPoint& pos) const;
    void ImageTeamDragDrop(const QPoint& pos);
    // The right button remembers where it was released.
    void ImageTeamMouseUp(Qt::MouseButton button, const QPoint& pos);
    void MenuEntryClick();
    void SetUndoClick();
    void Copy1Click();
    void ButtonStartClick() override;

    Teams& teams() { return teams_; }
    Registration& registration() { return registration_; }
    // The bout lines the board shows (empty before a run ended normally).
    const std::vector<BoutLine>& drawnLines() const { return lines_; }
    // The board as it is drawn now.
    QPixmap boardPicture() const;
    // Paints the board (ImageTeam's paint event).
    void paintBoard(QPainter& painter) const;
    // Opens the pop-up menu; `boardPoint` is where the right click was on
    // the board (none when the menu comes from the AK list or the keyboard).
    void popupMenu(const QPoint& globalPos, std::optional<QPoint> boardPoint);

protected:
    void readModeValues() override;
    void writeModeValues() override;
    void akListFilled(int rows) override;
    void formClosing() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void drawBoard();
    void putSelected(std::optional<SlotRef> slot);
    void setRegistrationControls(bool enabled);

    const GameSettings& settings_;
    const DispAttribute* display_ = nullptr;
    Teams teams_;
    Registration registration_{teams_};
    std::vector<BoutLine> lines_;
    std::optional<QPoint> lastRightClick_;
};

} // namespace teamfight
