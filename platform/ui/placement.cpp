#include "platform/ui/placement.h"

#include "platform/registry.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <string>

namespace plat::ui {

namespace {

constexpr const char* WindowKey = "Software\\Dunmoor\\CVVell\\Window";

int32_t readPart(std::string_view name, const char* part) {
    return reg::readInteger(WindowKey, std::string(name) + part, -1);
}

void writePart(std::string_view name, const char* part, int value) {
    reg::writeInteger(WindowKey, std::string(name) + part, value);
}

QRect availableArea(const QPoint& near) {
    QScreen* s = QGuiApplication::screenAt(near);
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

int titleBarHeight() {
    const QStyle* style = QApplication::style();
    return style ? style->pixelMetric(QStyle::PM_TitleBarHeight) : 20;
}

// The client area a window has now, or, minimised or maximised, the one it
// goes back to.
QRect normalArea(const QWidget* window) {
    if ((window->isMinimized() || window->isMaximized()) && window->normalGeometry().isValid())
        return window->normalGeometry();
    return window->geometry();
}

// Moves the window's client area to `p`, its size kept. A window's own
// geometry is its client area, before and after the window manager framed
// it, so the frame never enters the stored numbers.
void moveClientTo(QWidget* window, const QPoint& p) {
    // Placing a window does not count as sizing it: one that was never
    // sized still takes its layout's size when first shown.
    const bool sized = window->testAttribute(Qt::WA_Resized);
    window->setGeometry(QRect(p, window->size()));
    if (!sized) window->setAttribute(Qt::WA_Resized, false);
}

} // namespace

QMargins frameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    auto margins = [](const QRect& frame, const QRect& client) {
        return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                        frame.right() - client.right(), frame.bottom() - client.bottom());
    };
    if (frame != client) return margins(frame, client);
    // Not framed yet: the window manager frames it as it framed the others.
    for (const QWidget* other : QApplication::topLevelWidgets())
        if (other != window && other->isVisible() && other->frameGeometry() != other->geometry())
            return margins(other->frameGeometry(), other->geometry());
    return QMargins(1, titleBarHeight(), 1, 1);
}

QRect outerRect(const QWidget* window) {
    return window->geometry().marginsAdded(frameMargins(window));
}

QRect screenArea(const QWidget* window) {
    if (window && window->screen()) return window->screen()->availableGeometry();
    return availableArea(window ? window->geometry().center() : QPoint());
}

void centreOnScreen(QWidget* window) {
    QRect area = availableArea(window->geometry().center());
    const QSize outer = outerRect(window).size();
    moveOuterTo(window, area.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

bool LoadWindowPosition(std::string_view name, QWidget* window) {
    if (!window) return false;
    int top = readPart(name, "Top");
    int left = readPart(name, "Left");
    if (top == -1) {
        centreOnScreen(window);
        return false;
    }
    // A stored place off every screen would lose the window: bring it back
    // into the available area of the nearest screen, frame included.
    QPoint p(left, top);
    QRect area = availableArea(p).marginsRemoved(frameMargins(window));
    const QSize size = window->size();
    int x = std::clamp(p.x(), area.left(), std::max(area.left(), area.right() - size.width() + 1));
    int y = std::clamp(p.y(), area.top(), std::max(area.top(), area.bottom() - size.height() + 1));
    moveClientTo(window, QPoint(x, y));
    return true;
}

void SaveWindowPosition(std::string_view name, QWidget* window) {
    if (!window) return;
    const QRect at = normalArea(window);
    reg::Batch batch;
    writePart(name, "Top", at.top());
    writePart(name, "Left", at.left());
}

void LoadWindowSize(std::string_view name, QWidget* window) {
    if (!window) return;
    int height = readPart(name, "Height");
    int width = readPart(name, "Width");
    if (height == -1) return;
    if (height <= 0 || width <= 0) return; // a broken size keeps the designed one
    QRect area = availableArea(window->pos());
    QSize min = window->minimumSize();
    QSize max = window->maximumSize();
    width = std::clamp(width, std::max(1, min.width()),
                       std::min(max.width(), std::max(area.width(), min.width())));
    height = std::clamp(height, std::max(1, min.height()),
                        std::min(max.height(), std::max(area.height(), min.height())));
    window->resize(width, height);
}

void SaveWindowSize(std::string_view name, QWidget* window) {
    if (!window) return;
    // A minimised or maximised window saves its normal size.
    const QSize size = normalArea(window).size();
    reg::Batch batch;
    writePart(name, "Height", size.height());
    writePart(name, "Width", size.width());
}

std::optional<QPoint> besideOwner(const QRect& owner, const QSize& size, const QRect& area) {
    const int top =
        std::clamp(owner.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
    if (owner.right() + size.width() <= area.right()) return QPoint(owner.right() + 1, top);
    if (owner.left() - size.width() >= area.left()) return QPoint(owner.left() - size.width(), top);
    return std::nullopt;
}

QPoint besidePlace(const QRect& owner, const QSize& size, const QRect& area) {
    if (auto p = besideOwner(owner, size, area)) return *p;
    const int top =
        std::clamp(owner.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
    const int roomRight = area.right() - owner.right();
    const int roomLeft = owner.left() - area.left();
    const int left = roomRight >= roomLeft ? area.right() + 1 - size.width() : area.left();
    return QPoint(std::max(left, area.left()), top);
}

BesidePlaces besidePlaces(const QRect& owner, const QSize& size, const QRect& area, bool ownerMovable) {
    if (auto p = besideOwner(owner, size, area)) return {owner.topLeft(), *p};
    if (ownerMovable && owner.width() + size.width() <= area.width()) {
        // The window to the right: the owner goes left; to the left: right.
        const int toLeft = owner.left() - (area.right() + 1 - size.width() - owner.width());
        const int toRight = area.left() + size.width() - owner.left();
        QRect moved = owner;
        moved.moveLeft(toLeft <= toRight ? owner.left() - toLeft : owner.left() + toRight);
        if (auto p = besideOwner(moved, size, area)) return {moved.topLeft(), *p};
    }
    return {owner.topLeft(), besidePlace(owner, size, area)};
}

void moveOuterTo(QWidget* window, const QPoint& corner) {
    const QMargins m = frameMargins(window);
    moveClientTo(window, corner + QPoint(m.left(), m.top()));
}

void placeBeside(QWidget* window, QWidget* owner, bool ownerMovable) {
    if (!window || !owner) return;
    const QRect ownerOuter = outerRect(owner);
    const BesidePlaces places =
        besidePlaces(ownerOuter, outerRect(window).size(), screenArea(owner), ownerMovable);
    if (places.Owner != ownerOuter.topLeft()) moveOuterTo(owner, places.Owner);
    moveOuterTo(window, places.Window);
}

int captionWidth(const QString& caption) {
    QFont bold = QApplication::font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int bar = std::max(titleBarHeight(), metrics.height());
    return metrics.horizontalAdvance(caption) + 4 * bar + 2 * metrics.averageCharWidth();
}

int scrolledWidth(const QAbstractScrollArea* view, int content) {
    const int scrollBar = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    return content + 2 * view->frameWidth() + scrollBar;
}

int textBoxWidth(const QTextEdit* box, const QStringList& lines) {
    const QFontMetrics metrics(box->font());
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    const int margin = static_cast<int>(std::ceil(box->document()->documentMargin()));
    // One character's room for the caret and rounding.
    return scrolledWidth(box, widest + metrics.averageCharWidth() + 2 * margin);
}

} // namespace plat::ui
