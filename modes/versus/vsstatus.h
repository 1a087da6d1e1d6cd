// A status window of the one-vs-one match window (TFormStatus): one side's
// six part durabilities as bars and its bought weapons with their
// ammunition and armour, redrawn after every round. Two of them float
// beside the match window; their border has a caption and no icons, and the
// user cannot close them (the match window shows, hides and destroys them).
#pragma once

#include "base/akrecord.h"

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

class QLabel;
class QTreeWidget;

namespace versus::ui {

class TFormStatus : public QWidget {
    Q_OBJECT
public:
    // Side 0 is player 1, side 1 player 2. Restores the placement
    // "Game_VsStatus<side>".
    explicit TFormStatus(int side);
    ~TFormStatus() override;

    int side() const { return side_; }
    // Whether the window came up at a place it had stored.
    bool placeRestored() const { return placeRestored_; }
    uint32_t barColour() const { return barColour_; }
    const QPixmap& bars() const { return bars_; }

    // Caption, full bars in `colour` and the weapon list, its columns
    // widened where their headings or the AK's weapons need more room than
    // the designed widths; the window grows to show them all and its whole
    // caption, and keeps that size (a single border: not resizable).
    void InitStatusWindow(const TArmoredKnight& ak, uint32_t colour);
    // Bars as the AK stands and the weapon list.
    void UpdateStatusWindow(const TArmoredKnight& ak);
    void FillWeaponList(const TArmoredKnight& ak);

    QLabel* ImageP1 = nullptr;
    QTreeWidget* ListView1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void drawBar(class QPainter& painter, int row, int width, const std::string& text);
    void fitColumns();
    void savePlacement();

    int side_;
    uint32_t barColour_ = 0;
    QPixmap bars_;
    std::string placement_;
    bool saved_ = false;
    bool placeRestored_ = false;
};

// Where the match window and the two status windows go when the status
// windows have no stored place (outer frames, frames included).
struct StatusPlaces {
    QPoint Match;                 // the match window's corner, moved only to make room
    std::array<QPoint, 2> Status; // player 1's, player 2's
};
// Beside the match window, inside the area, never over each other while
// the area has room: side by side (player 1's on the left) to the right of
// the match window, else to its left; else one above the other, to its right
// or left; else, when the match window may move (it has no stored place of
// its own) and the area is wide enough for it and one status window, the
// match window moves sideways the shorter way until the column stands beside
// it; else the column at the side with more room, over the match window's
// edge.
StatusPlaces statusWindowPlaces(const QRect& matchFrame, const QSize& statusFrame, const QRect& area,
                                bool matchMovable);

} // namespace versus::ui
