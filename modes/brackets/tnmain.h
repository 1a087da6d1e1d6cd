// The tournament's set-up window (TFormTour): the frame's mode form with
// the entrant count, the way seeds are assigned (list order, random, or by
// hand), and the bracket picture (ImageTour) on which AKs of the list are
// put into seed slots by dropping, double-clicking or Enter, or through the
// picture's pop-up menu, which also copies the picture to the clipboard.
// "決定" builds the bracket; "試合開始" runs it; after a finished run the
// picture shows the winners' paths.
#pragma once

#include "modes/brackets/bracket.h"
#include "modes/frame/ui/modeform.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QWidget>

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QScrollArea;

namespace brackets {

class TFormTour;

// The bracket picture: paints the part of the bracket in view (a bracket of
// thousands of entrants is far too high for one bitmap) and takes drops
// from the AK list and right-clicks.
class TourImage : public QWidget {
    Q_OBJECT
public:
    explicit TourImage(TFormTour& form);
    // The picture to show, its names in `font`, in the display colours.
    void setPicture(Picture picture, const QFont& font, const DispAttribute& display);
    const Picture& picture() const { return picture_; }
    // The whole picture as one bitmap of one byte a pixel (ground, lines
    // and names, winners' lines), painted strip by strip; null when empty.
    QImage wholeImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    TFormTour& form_;
    Picture picture_;
    QFont font_;
    QColor colours_[3]; // ground (colour 7), lines and names (0), winners (1)
};

class TFormTour : public modes::ui::TFormMode {
    Q_OBJECT
public:
    // Assign values (the combo's items).
    enum Assign { AssignListOrder = 0, AssignRandom = 1, AssignByHand = 2 };

    // Forces options 16 and 17 on and option 23 (output AK files) on for
    // the run, keeping the conf's own value of 23.
    TFormTour(GameSettings& settings, ConfHeader& header, AkSourceList& sources);
    ~TFormTour() override;

    QLineEdit* EditCount = nullptr;
    QComboBox* ComboBoxAssign = nullptr;
    QScrollArea* ScrollBoxTour = nullptr;
    TourImage* ImageTour = nullptr;
    QMenu* PopupMenuTour = nullptr;
    QAction* JoinSlot1 = nullptr;  // "ドーラーを参加させる"
    QAction* ClearSlot1 = nullptr; // "（不在）に戻す"
    QAction* Copy1 = nullptr;      // the picture to the clipboard

    void ButtonDecideClick() override;
    void ButtonStartClick() override;
    void Copy1Click();
    void JoinSlot1Click();
    void ClearSlot1Click();
    // The selected AK list row into the slot under the cursor, which then
    // advances (double-click and Enter in the list).
    void ListViewAkDblClick();
    // A row of the AK list dropped on the picture at `point`.
    void ImageTourDragDrop(QPoint point);
    // The last right-click on the picture (the pop-up commands' slot).
    void ImageTourMouseDown(QPoint point);
    // Draws the picture (result mode once the bracket shows results), its
    // columns wide enough for the names in the display font.
    void DrawBracket();

    Bracket& bracket() { return bracket_; }
    int slotCursor() const { return cursor_; }
    bool seedEditing() const { return editing_; }
    int scrollHeight() const { return scrollHeight_; }

protected:
    void readModeValues() override;
    void writeModeValues() override;
    void akListFilled(int rows) override;
    void formClosing() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void assignRow(int slot, int row);
    void setEditing(bool on);

    Bracket bracket_;
    int cursor_ = 0;
    bool editing_ = false;
    QPoint lastRightClick_{-1, -1};
    int scrollHeight_ = 150;
};

} // namespace brackets
