// The message catalogue: the numbered texts (Shift-JIS) that the system
// shows in message boxes, and the captions of those boxes: the system's 46
// and a few for causes those do not name. One table serves every library.
// Ids: 40000-40015 confirmations and notices, 41000-41052 errors, 42000 +
// item the must-item messages of the entry check, 43000 the match window's
// prompt.
#pragma once

#include "platform/export.h"
#include "platform/notify.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace plat::msg {

constexpr int CaptionConfirm = 40000; // "確認してください"
constexpr int CaptionError = 41000;   // "この操作はできません"
constexpr int MustItemBase = 42000;

// The text of a message id; empty for an id that is not in the table.
PLAT_API std::string_view text(int id);

// The text with each "%s" replaced, in order, by the arguments. The
// arguments are never read as a format, and the result grows as needed.
// Where a message names a file or folder, its argument is put in the form
// a person reads a path (plat::shownPath), so no box shows a mixed one.
PLAT_API std::string format(int id, std::initializer_list<std::string_view> args = {});

// How a box is raised. Libraries show errors topmost and in the foreground;
// the main program shows plain boxes owned by its window.
struct Style {
    bool topmost = true;
    void* owner = nullptr;
};

// Error box: the formatted message under caption 41000, warning icon, OK.
PLAT_API int showError(int id, std::initializer_list<std::string_view> args = {}, Style style = {});
// Error box of a message whose text has no place for a name (41042): the
// message, then the file or folder concerned, in its shown form, on a line
// of its own.
PLAT_API int showErrorNaming(int id, std::string_view name, Style style = {});
// Confirmation: caption 40000, question icon, OK and Cancel; IdOk or IdCancel.
PLAT_API int confirm(int id, std::initializer_list<std::string_view> args = {}, Style style = {});
// Notice: caption 40000, information icon, OK.
PLAT_API int inform(int id, std::initializer_list<std::string_view> args = {}, Style style = {});
// Any other combination.
PLAT_API int showBox(int id, std::initializer_list<std::string_view> args, int captionId, notify::Icon icon,
                     notify::Buttons buttons, Style style = {});

} // namespace plat::msg
