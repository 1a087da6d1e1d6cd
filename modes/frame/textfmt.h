// Small text helpers of the mode frame. Formats and arguments are Shift-JIS
// bytes, and printf widths count bytes, as the result tables always did.
// Paths are joined with the system's '\' separator; the platform turns it
// into '/' where a path meets the file system.
#pragma once

#include "platform/clock.h"

#include <string>
#include <string_view>

namespace modes {

// printf into a string of any length.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// folder + '\' + name; no second separator when the folder ends in one. An
// empty folder gives "\" + name, as the system always formed it.
std::string joinFolder(std::string_view folder, std::string_view name);

// A path as the viewer script records it: the system's own form, every
// separator a '\'. Folders made absolute against this platform's program
// folder, which ends in '/', would otherwise hold both kinds in one path.
// '/' is never the trail byte of a double-byte character, so the text is
// not walked character by character. What a person reads is
// plat::shownPath.
std::string systemPath(std::string_view path);

// The rule line of the result tables: 78 '-'.
std::string ruleLine();

// "(year/month/day hour:minute:second)" without leading zeros.
std::string timeStamp(const plat::clock::LocalTime& t);

} // namespace modes
