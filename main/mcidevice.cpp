#include "main/mcidevice.h"

namespace vell {

mciDevice::~mciDevice() {
    close();
}

int mciDevice::open(int kind, std::string_view file) {
    if (opened_) close();
    int error = 0;
    playback_ = plat::desktop::openMedia(kind, file, error);
    lastError_ = error;
    opened_ = playback_ != nullptr && error == 0;
    if (!opened_) playback_.reset();
    return lastError_;
}

void mciDevice::play() {
    if (opened_ && playback_) playback_->play();
}

void mciDevice::close() {
    playback_.reset();
    opened_ = false;
}

} // namespace vell
