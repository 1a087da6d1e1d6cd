// The battle royal's set-up window (TFormRoyal): the frame's mode form with
// the entrant count, the map size (columns × rows, 10..40 each) and the map
// picture in its scroll box. "決定" picks the entrants from the top of the
// AK list, shuffles them and places them on the map; until the start the
// game master may move them, or bring in more AKs from the list, by drag
// and drop on the picture. "試合開始" gives the entrants their marks and
// team lists and runs the event in the progress window.
#pragma once

#include "modes/brawlall/brmap.h"
#include "modes/frame/entrants.h"
#include "modes/frame/ui/modeform.h"

#include <QPoint>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;

namespace brawl::ui {

class MapView;

class TFormRoyal : public modes::ui::TFormMode {
    Q_OBJECT
public:
    // Forces options 16 and 17 on and option 23 (output AK files) on for
    // the run, remembering the conf's own option 23.
    TFormRoyal(GameSettings& settings, ConfHeader& header, AkSourceList& sources);
    ~TFormRoyal() override;

    QLineEdit* EditCount = nullptr;
    QLineEdit* EditMapX = nullptr;
    QLineEdit* EditMapY = nullptr;
    QLabel* LabelType = nullptr; // shown while there is no picture
    QScrollArea* ScrollBoxBr = nullptr;
    MapView* ImageBr = nullptr;
    QMenu* PopupMenuBr = nullptr;
    QAction* CopyMap1 = nullptr;
    QAction* JoinDoller1 = nullptr;
    QAction* Absent1 = nullptr;

    void ButtonDecideClick() override;
    void ButtonStartClick() override;

    // Where a drag comes from.
    enum class DragSource { AkList, Picture, Other };
    // The hint of the picture at a pixel: pilot "／" owner of the entrant
    // there; empty for none.
    QString ImageBrHint(QPoint pixel) const;
    void ImageBrMouseDown(Qt::MouseButton button, QPoint pixel);
    bool ImageBrDragOver(DragSource source, QPoint pixel) const;
    void ImageBrDragDrop(DragSource source, QPoint pixel);

    modes::EntrantList& entrants() { return entrants_; }
    const BrMap& map() const { return map_; }
    bool placementEditing() const { return placementEditing_; }
    int scrollHeight() const { return scrollHeight_; }

protected:
    void readModeValues() override;
    void writeModeValues() override;
    void akListFilled(int rows) override;
    void formClosing() override;

private:
    void showPicture(bool shown);
    void enableMapCommands(bool enabled);
    DragSource sourceOf(const QDropEvent* event) const;
    static int numberOf(const QLineEdit* edit);

    modes::EntrantList entrants_;
    BrMap map_;
    bool placementEditing_ = false;
    bool draggingPlaced_ = false;
    QPoint pressPoint_;
    int scrollHeight_ = 150;
};

} // namespace brawl::ui
