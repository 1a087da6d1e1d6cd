// Window tests in another system font: the application font takes a pixel
// size while the object lives and gets its own back afterwards, so that a
// test sees how a window lays out texts that need more (or less) room.
#pragma once

#include <QApplication>
#include <QFont>

namespace testsupport {

class SystemFontPixels {
public:
    explicit SystemFontPixels(int pixels) : saved_(QApplication::font()) {
        QFont font = saved_;
        font.setPixelSize(pixels);
        QApplication::setFont(font);
    }
    ~SystemFontPixels() { QApplication::setFont(saved_); }
    SystemFontPixels(const SystemFontPixels&) = delete;
    SystemFontPixels& operator=(const SystemFontPixels&) = delete;

private:
    QFont saved_;
};

} // namespace testsupport
