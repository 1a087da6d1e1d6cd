// Text helpers of the mode frame.
#include "modes/frame/textfmt.h"

#include "platform/paths.h"
#include "sjis/frame_text.h"

#include <cstdarg>
#include <cstdio>

namespace modes {

std::string format(const char* fmt, ...) {
    std::va_list args;
    va_start(args, fmt);
    std::va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, again);
        out.resize(static_cast<size_t>(n));
    }
    va_end(again);
    return out;
}

std::string joinFolder(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || !plat::endsWithSeparator(path)) path += '\\';
    path += name;
    return path;
}

std::string systemPath(std::string_view path) {
    std::string shown(path);
    for (char& c : shown)
        if (c == '/') c = '\\';
    return shown;
}

std::string ruleLine() {
    return std::string(78, '-');
}

std::string timeStamp(const plat::clock::LocalTime& t) {
    return format(text::TimeFormat, t.year, t.month, t.day, t.hour, t.minute, t.second);
}

} // namespace modes
