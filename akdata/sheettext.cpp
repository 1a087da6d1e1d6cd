// Formatting helpers of the sheets and the check report.
#include "akdata/sheettext.h"

#include "base/sjis.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace akdata {

std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, args);
        out.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

std::string zen(int32_t value) {
    return sjis::han2Zen(std::to_string(value));
}

std::string padRight(std::string_view s, size_t width) {
    std::string out(s);
    if (out.size() < width) out.append(width - out.size(), ' ');
    return out;
}

std::string padLeft(std::string_view s, size_t width) {
    std::string out;
    if (s.size() < width) out.assign(width - s.size(), ' ');
    out += s;
    return out;
}

std::string wrapLabelled(std::string_view label, std::string_view text) {
    // A label as wide as the line still leaves room for one character.
    const size_t room = label.size() + 2 <= SheetLineWidth ? SheetLineWidth - label.size() : 2;
    const std::string indent(label.size(), ' ');
    std::string out(label);
    bool first = true;
    do {
        size_t n = sjis::cutLength(text, room);
        if (n == 0) n = sjis::charLength(text, 0);
        if (!first) {
            out += "\r\n";
            out += indent;
        }
        out += text.substr(0, n);
        text.remove_prefix(n);
        first = false;
    } while (!text.empty());
    out += "\r\n\r\n";
    return out;
}

size_t fittingLength(std::string_view text, size_t size) {
    if (size == 0) return 0;
    if (text.size() < size) return text.size();
    std::string_view head = text.substr(0, size - 1);
    size_t end = head.rfind("\r\n");
    if (end != std::string_view::npos) return end + 2;
    return sjis::cutLength(text, size - 1);
}

void copyOut(char* out, std::string_view text, size_t size) {
    if (!out || size == 0) return;
    size_t n = fittingLength(text, size);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

void appendOut(char* out, std::string_view text, size_t size) {
    if (!out || size == 0) return;
    const void* nul = std::memchr(out, '\0', size);
    if (!nul) return;
    size_t used = static_cast<size_t>(static_cast<const char*>(nul) - out);
    copyOut(out + used, text, size - used);
}

} // namespace akdata
