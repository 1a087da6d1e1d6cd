// The battle royal's map picture.
#include "modes/brawlall/brmapview.h"

#include "platform/ui/qtsjis.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QScreen>
#include <QToolTip>

#include <algorithm>

namespace brawl::ui {

using plat::ui::colorFromRef;
using plat::ui::fromSjis;

int scrollBoxHeight(int stored) {
    int screen = 4096;
    if (QScreen* s = QGuiApplication::primaryScreen()) screen = std::max(s->size().height(), 0);
    return std::clamp(stored, 0, screen);
}

MapView::MapView(QWidget* parent) : QWidget(parent) {
    setObjectName("ImageBr");
    setMouseTracking(true);
    setAcceptDrops(true);
    font_ = font();
    font_.setPixelSize(15);
}

MapView::Cell* MapView::cellAt(int x, int y) {
    if (x < 0 || y < 0 || x >= columns_ || y >= rows_) return nullptr;
    return &cells_[static_cast<size_t>(y) * static_cast<size_t>(columns_) + static_cast<size_t>(x)];
}

const MapView::Cell* MapView::cellAt(int x, int y) const {
    return const_cast<MapView*>(this)->cellAt(x, y);
}

void MapView::Draw(const BrMap& map, const modes::EntrantList& entrants, const DispAttribute& display) {
    columns_ = map.columns();
    rows_ = map.rows();
    uint32_t back = display.Color[7], text = display.Color[0];
    background_ = colorFromRef(back);
    QColor textColour = colorFromRef(text);
    cells_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), Cell{});
    for (size_t i = 0; i < entrants.size(); ++i) {
        const RoyalEntryRecord* row = entrants[i].royal();
        if (!row) continue;
        int32_t x = row->X, y = row->Y;
        if (map.cell(x, y) != static_cast<int32_t>(i) + 1) continue; // not placed
        if (Cell* c = cellAt(x, y))
            *c = Cell{true, fromSjis(markLabel(*row, static_cast<int>(i))), textColour};
    }
    setFixedSize(map.pictureWidth(), map.pictureHeight());
    // The scroll box around the picture takes the background colour too.
    if (QWidget* around = parentWidget()) {
        QPalette palette = around->palette();
        palette.setColor(QPalette::Window, background_);
        around->setPalette(palette);
        around->setAutoFillBackground(true);
    }
    update();
}

void MapView::DrawCell(const CellPaint& paint) {
    Cell* c = cellAt(paint.X, paint.Y);
    if (!c) return;
    if (paint.Empty)
        *c = Cell{};
    else
        *c = Cell{true, fromSjis(paint.Label), colorFromRef(paint.Colour)};
    update(BrMap::cellOrigin(paint.X), BrMap::cellOrigin(paint.Y), CellPixels, CellPixels);
}

void MapView::clear() {
    columns_ = rows_ = 0;
    cells_.clear();
    update();
}

QString MapView::labelAt(int x, int y) const {
    const Cell* c = cellAt(x, y);
    return c && c->Used ? c->Label : QString();
}

QColor MapView::colourAt(int x, int y) const {
    const Cell* c = cellAt(x, y);
    return c && c->Used ? c->Colour : QColor();
}

QImage MapView::picture() {
    return grab().toImage();
}

void MapView::paintEvent(QPaintEvent*) {
    if (!hasPicture()) return;
    QPainter p(this);
    p.fillRect(rect(), background_);
    QPen pen(colorFromRef(colour::Grid));
    pen.setWidth(2);
    p.setPen(pen);
    const int right = columns_ * CellPixels + GridOrigin, bottom = rows_ * CellPixels + GridOrigin;
    for (int i = 0; i <= rows_; ++i)
        p.drawLine(GridOrigin, BrMap::cellOrigin(i), right, BrMap::cellOrigin(i));
    for (int i = 0; i <= columns_; ++i)
        p.drawLine(BrMap::cellOrigin(i), GridOrigin, BrMap::cellOrigin(i), bottom);
    p.setFont(font_);
    p.setBackgroundMode(Qt::TransparentMode);
    for (int y = 0; y < rows_; ++y) {
        for (int x = 0; x < columns_; ++x) {
            const Cell* c = cellAt(x, y);
            if (!c->Used) continue;
            p.setPen(c->Colour);
            p.drawText(QRect(BrMap::labelX(x), BrMap::labelY(y), CellPixels - 3, CellPixels - 4),
                       Qt::AlignLeft | Qt::AlignTop, c->Label);
        }
    }
}

void MapView::mouseMoveEvent(QMouseEvent* event) {
    QString hint = hasPicture() && hintAt ? hintAt(event->position().toPoint()) : QString();
    setToolTip(hint);
    if (hint.isEmpty()) QToolTip::hideText();
    QWidget::mouseMoveEvent(event);
}

void MapView::mousePressEvent(QMouseEvent* event) {
    if (mousePressed) mousePressed(event->button(), event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void MapView::dragEnterEvent(QDragEnterEvent* event) {
    if (dragOver && dragOver(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MapView::dragMoveEvent(QDragMoveEvent* event) {
    if (dragOver && dragOver(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MapView::dropEvent(QDropEvent* event) {
    if (dragOver && dragOver(event) && dropped) {
        dropped(event);
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

} // namespace brawl::ui
