// The optional Qt Widgets windows of the archive operations, in their own
// library (libkwphui.so) so that the archive core stays free of Qt. The core
// loads this library by name the first time an engine with its user
// interface on has something to show, and falls back on recording when the
// library is missing or there is no window system to show on.
#pragma once

#include "platform/export.h"

namespace kwp {
class Ui;
}

// A new set of windows, or nullptr when there is no QApplication or the
// caller is not on its thread. The caller owns the result.
VELL_EXPORT kwp::Ui* kwphuiCreate();

// The primary screen's size; false without a window system.
VELL_EXPORT int kwphuiScreenSize(int* height, int* width);
