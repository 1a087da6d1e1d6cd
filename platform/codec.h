// Code page 932 conversion. Text stays Shift-JIS bytes everywhere inside the
// system; it is converted to UTF-8 only where it meets the operating system
// (file names) or Qt (display). Conversion goes through glibc iconv "CP932"
// (never "SHIFT_JIS", which maps several characters differently).
#pragma once

#include "platform/export.h"

#include <optional>
#include <string>
#include <string_view>

namespace plat {

// Shift-JIS bytes to UTF-8; nullopt when the bytes are not valid CP932.
PLAT_API std::optional<std::string> cp932ToUtf8(std::string_view cp932);

// UTF-8 to Shift-JIS bytes; nullopt when a character has no CP932 form
// (never replaced by '?').
PLAT_API std::optional<std::string> utf8ToCp932(std::string_view utf8);

// UTF-8 to Shift-JIS for showing only, where a name that has no CP932 form
// must still be named (a box about that very name): each character without
// one, and each byte that is no UTF-8, becomes '?'.
PLAT_API std::string utf8ToCp932Shown(std::string_view utf8);

} // namespace plat
