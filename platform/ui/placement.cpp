#include "platform/ui/placement.h"

#include "platform/registry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
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

} // namespace

void centreOnScreen(QWidget* window) {
    QRect area = availableArea(window->geometry().center());
    QSize frame = window->frameGeometry().size();
    window->move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
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
    // into the available area of the nearest screen.
    QPoint p(left, top);
    QRect area = availableArea(p);
    QSize frame = window->frameGeometry().size();
    int x = std::clamp(p.x(), area.left(), std::max(area.left(), area.right() - frame.width() + 1));
    int y = std::clamp(p.y(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1));
    window->move(x, y);
    return true;
}

void SaveWindowPosition(std::string_view name, QWidget* window) {
    if (!window) return;
    reg::Batch batch;
    writePart(name, "Top", window->pos().y());
    writePart(name, "Left", window->pos().x());
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
    width = std::clamp(width, std::max(1, min.width()), std::min(max.width(), std::max(area.width(), min.width())));
    height = std::clamp(height, std::max(1, min.height()),
                        std::min(max.height(), std::max(area.height(), min.height())));
    window->resize(width, height);
}

void SaveWindowSize(std::string_view name, QWidget* window) {
    if (!window) return;
    // A minimised or maximised window saves its normal size.
    QSize size = (window->isMinimized() || window->isMaximized()) ? window->normalGeometry().size() : window->size();
    reg::Batch batch;
    writePart(name, "Height", size.height());
    writePart(name, "Width", size.width());
}

} // namespace plat::ui
