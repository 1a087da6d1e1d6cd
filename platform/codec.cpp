#include "platform/codec.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace plat {

namespace {

std::optional<std::string> convert(std::string_view in, const char* to, const char* from) {
    // Both code pages agree with ASCII on bytes 00-7F; most paths are ASCII
    // and need no converter (opening one costs more than a file look-up).
    if (std::all_of(in.begin(), in.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(in);
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string src(in);
    std::string out;
    out.resize(src.size() * 2 + 16);
    char* ip = src.data();
    size_t il = src.size();
    size_t used = 0;
    for (;;) {
        char* op = out.data() + used;
        size_t ol = out.size() - used;
        size_t r = iconv(cd, &ip, &il, &op, &ol);
        used = out.size() - ol;
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        iconv_close(cd);
        return std::nullopt;
    }
    iconv_close(cd);
    out.resize(used);
    return out;
}

} // namespace

std::optional<std::string> cp932ToUtf8(std::string_view cp932) { return convert(cp932, "UTF-8", "CP932"); }

std::optional<std::string> utf8ToCp932(std::string_view utf8) { return convert(utf8, "CP932", "UTF-8"); }

std::string utf8ToCp932Shown(std::string_view utf8) {
    if (auto whole = utf8ToCp932(utf8)) return *whole;
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        // The length of the UTF-8 sequence its lead byte announces; a
        // sequence cut short or a stray byte is tried as one byte.
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (i + len > utf8.size()) len = 1;
        auto one = utf8ToCp932(utf8.substr(i, len));
        out += one ? *one : std::string("?");
        i += len;
    }
    return out;
}

} // namespace plat
