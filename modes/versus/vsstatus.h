// A status window of the one-vs-one match window (TFormStatus): one side's
// six part durabilities as bars and its bought weapons with their
// ammunition and armour, redrawn after every round. Two of them float
// beside the match window; the user cannot close them (the match window
// shows, hides and destroys them).
#pragma once

#include "base/akrecord.h"

#include <QPixmap>
#include <QWidget>

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
    uint32_t barColour() const { return barColour_; }
    const QPixmap& bars() const { return bars_; }

    // Caption, full bars in `colour` and the weapon list.
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
    void savePlacement();

    int side_;
    uint32_t barColour_ = 0;
    QPixmap bars_;
    std::string placement_;
    bool saved_ = false;
};

} // namespace versus::ui
