// The map picture of the battle royal (ImageBr): the grid in grey on the
// background colour of the display attributes and each entrant's label in
// its cell. A full drawing writes every label in the text colour; the run
// then repaints single cells in the colour of the entrant's state. The set-up
// window also takes the mouse and drops on it (the hooks below).
#pragma once

#include "base/confrecords.h"
#include "modes/brawlall/brmap.h"
#include "modes/frame/entrants.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace brawl::ui {

// A stored scroll-box height as the windows use it: 0 up to the screen's
// height (a damaged value must not make a picture area of any size).
int scrollBoxHeight(int stored);

class MapView : public QWidget {
    Q_OBJECT
public:
    explicit MapView(QWidget* parent = nullptr);

    // The whole picture: background, grid, every placed entrant's label in
    // display colour 0; the widget around it (the scroll box) gets the
    // background colour.
    void Draw(const BrMap& map, const modes::EntrantList& entrants, const DispAttribute& display);
    // One cell: emptied (background) or its label in the given colour.
    void DrawCell(const CellPaint& paint);
    // Forgets the picture (nothing is drawn until the next Draw).
    void clear();

    bool hasPicture() const { return columns_ > 0; }
    // What a cell shows (empty label for an empty cell).
    QString labelAt(int x, int y) const;
    QColor colourAt(int x, int y) const;
    // The picture as an image.
    QImage picture();

    // Hooks of the set-up window; pixel positions are the picture's.
    std::function<QString(QPoint)> hintAt;
    std::function<void(Qt::MouseButton, QPoint)> mousePressed;
    std::function<bool(QDropEvent*)> dragOver;
    std::function<void(QDropEvent*)> dropped;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Cell {
        bool Used = false;
        QString Label;
        QColor Colour;
    };
    Cell* cellAt(int x, int y);
    const Cell* cellAt(int x, int y) const;

    int columns_ = 0;
    int rows_ = 0;
    QColor background_;
    QFont font_;
    std::vector<Cell> cells_;
};

} // namespace brawl::ui
