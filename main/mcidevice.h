// A small media player in the shape the program's windows use: open a file as
// a device kind (9 a MIDI sequence, 12 a wave sound), play it, close it.
// Errors are kept as the last error and never shown.
#pragma once

#include "platform/desktop.h"

#include <memory>
#include <string_view>

namespace vell {

class mciDevice {
public:
    mciDevice() = default;
    ~mciDevice();
    mciDevice(const mciDevice&) = delete;
    mciDevice& operator=(const mciDevice&) = delete;

    // Closes first when open; 0 on success, else the error (also kept).
    int open(int kind, std::string_view file);
    void play();
    void close();

    bool opened() const { return opened_; }
    int lastError() const { return lastError_; }
    bool shareable = false;

private:
    std::unique_ptr<plat::desktop::MediaPlayback> playback_;
    bool opened_ = false;
    int lastError_ = 0;
};

} // namespace vell
