// What the dialog entries do around their windows: which nodes they take,
// which files they read before the window opens and what they write after
// it closes. The window itself is a callback, so the same flow serves the
// exports, the environment dialog's property button and callers without a
// window system (whose callback answers "cancelled").
#pragma once

#include "base/confrecords.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace cnf {

// Dialog results.
inline constexpr int DialogOk = 1;
inline constexpr int DialogCancel = 2;

// Runs the game settings dialog on a conf; returns DialogOk or DialogCancel.
using GameDialog = std::function<int(ConfFile& conf)>;

// A conf node's settings: reads its conf with the node's name as ConfName
// (41042 and 0 when it cannot be read), runs the dialog and, on OK, rewrites
// the conf and copies its name and memo into the node. 0 for a node that is
// not a conf, and when the accepted conf could not be written (41042; the
// node is left as it was); else the dialog's result.
int configureGame(std::string_view programFolder, ConfNodeRec* node, const GameDialog& dialog);

// The folder dialog's four texts, in header order.
using FolderTexts = std::array<std::string, 4>;
// Runs the folder dialog; the texts start as "変更無し" and come back as the
// user left them.
using FolderDialog = std::function<int(FolderTexts& texts)>;

// A net's folders: 0 without a window for any node that is not a net (Kind
// 0) and for a missing buffer; else the dialog's result, and on OK the four
// texts copied into the buffer's folder fields (each cut to 255 bytes on a
// character boundary; the rest of the buffer untouched).
int configureFolder(ConfNodeRec* node, ConfHeader* folders, const FolderDialog& dialog);

} // namespace cnf
