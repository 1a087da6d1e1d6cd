// Fuzz target: arbitrary bytes through every Shift-JIS helper. Besides the
// sanitizers' checks it asserts the helpers' promises: results stay within
// their bounds, cuts end on a character boundary, fixed fields are always
// terminated and never written past, and printable ASCII survives a round
// trip through full width.
//
// Input: byte 0 is the width n, byte 1 where the needle starts, the rest is
// the text.
#include "base/sjis.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzzcheck.h"

namespace {

void checkWalk(std::string_view s) {
    size_t p = 0;
    while (p < s.size()) {
        size_t len = sjis::charLength(s, p);
        FUZZ_CHECK(len == 1 || len == 2);
        if (len == 2) FUZZ_CHECK(sjis::isLead(s[p]) && s[p + 1] != '\0');
        p += len;
    }
    FUZZ_CHECK(p == s.size());
}

void checkCut(std::string_view s, size_t n) {
    size_t c = sjis::cutLength(s, n);
    FUZZ_CHECK(c <= n && c <= s.size());
    FUZZ_CHECK(sjis::isBoundary(s, c));
    FUZZ_CHECK(c == s.size() || c + sjis::charLength(s, c) > n); // longest such prefix
    FUZZ_CHECK(sjis::cut(s, n) == s.substr(0, c));
}

void checkFields(std::string_view s) {
    // A raw image without NUL, read bounded by its array.
    char raw[16];
    std::memset(raw, 'R', sizeof raw);
    std::memcpy(raw, s.data(), std::min(s.size(), sizeof raw));
    FUZZ_CHECK(sjis::readField(raw).size() <= sizeof raw);

    struct {
        char field[8];
        char guard[4];
    } w;
    std::memset(&w, 'G', sizeof w);
    size_t len = sjis::writeField(w.field, s);
    FUZZ_CHECK(len <= sizeof w.field - 1);
    for (size_t i = len; i < sizeof w.field; ++i) FUZZ_CHECK(w.field[i] == '\0');
    FUZZ_CHECK(std::memcmp(w.guard, "GGGG", 4) == 0);
    std::string_view text = s.substr(0, s.find('\0'));
    FUZZ_CHECK(text.substr(0, len) == std::string_view(w.field, len));
    FUZZ_CHECK(sjis::isBoundary(text, len));
}

void checkSearch(std::string_view hay, std::string_view needle) {
    size_t f = sjis::find(hay, needle);
    size_t r = sjis::rfind(hay, needle);
    FUZZ_CHECK((f == sjis::npos) == (r == sjis::npos));
    FUZZ_CHECK(sjis::contains(hay, needle) == (f != sjis::npos));
    for (size_t p : {f, r}) {
        if (p == sjis::npos) continue;
        FUZZ_CHECK(hay.substr(p, needle.size()) == needle);
        FUZZ_CHECK(sjis::isBoundary(hay, p) && sjis::isBoundary(hay, p + needle.size()));
    }
    if (f != sjis::npos) {
        FUZZ_CHECK(f <= r);
        FUZZ_CHECK((sjis::find(hay, needle, f + 1) == sjis::npos) == (f == r));
    }
    size_t a = sjis::findFirstOf(hay, needle);
    if (a != sjis::npos) FUZZ_CHECK(sjis::isBoundary(hay, a));
    FUZZ_CHECK(sjis::replaceAll(hay, needle, "").size() <= hay.size());
}

void checkWidth(std::string_view s, size_t n) {
    std::string zen = sjis::han2Zen(s);
    std::string han = sjis::zen2Han(s);
    FUZZ_CHECK(zen.size() <= 2 * s.size());
    FUZZ_CHECK(han.size() <= s.size());
    FUZZ_CHECK(sjis::han2Zen(zen) == zen); // nothing left to widen
    checkWalk(zen);
    checkWalk(han);

    // Printable ASCII round-trips through full width.
    std::string ascii;
    for (unsigned char c : s) ascii += static_cast<char>(0x20 + c % 0x5F);
    FUZZ_CHECK(sjis::zen2Han(sjis::han2Zen(ascii)) == ascii);

    std::string sep = sjis::cutNameAtSeparator(s);
    FUZZ_CHECK(s.substr(0, sep.size()) == sep && sjis::isBoundary(s, sep.size()));
    FUZZ_CHECK(sjis::cnvNameStr(s, n).size() <= n);
    std::string cs = sjis::cutString(s, n, false);
    std::string ck = sjis::cutString(s, n, true);
    if (s.size() <= n) {
        FUZZ_CHECK(cs == s && ck == s);
    } else {
        FUZZ_CHECK(cs.size() <= n && ck.size() <= n);
        FUZZ_CHECK(s.substr(0, ck.size()) == ck && sjis::isBoundary(s, ck.size()));
    }
    std::string_view t = sjis::trimField(s);
    FUZZ_CHECK(t.empty() || (t.front() != ' ' && t.back() != ' '));
}

// Reference for the number fields, in 128 bits.
int32_t referenceInt(std::string_view f) {
    __int128 v = 0;
    const __int128 cap = static_cast<__int128>(1) << 100;
    bool neg = false;
    for (unsigned char b : f) {
        if (b == ' ' || b == 0x1A) continue;
        if (b == '-') {
            neg = true;
            continue;
        }
        v = v * 10 + (static_cast<int>(b) - '0');
        if (v > cap) v = cap;
        if (v < -cap) v = -cap;
    }
    if (neg) v = -v;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

void checkScan(std::string_view s, uint8_t w) {
    FUZZ_CHECK(sjis::fixedInt(s.substr(0, 40)) == referenceInt(s.substr(0, 40)));

    struct {
        char g0[4];
        char a[6];
        char g1[4];
        char b[3];
        char g2[4];
    } t;
    std::memset(&t, 'G', sizeof t);
    int32_t x = 0;
    size_t wa = w % 11, wb = (w >> 4) % 7, wx = w % 13;
    size_t used = sjis::vsscanfix(
        s, {sjis::scanTrimmed(wa, t.a), sjis::scanText(wb, t.b), sjis::scanInt(wx, x), sjis::scanSkip(w)});
    FUZZ_CHECK(used == std::min(s.size(), wa + wb + wx + w));
    FUZZ_CHECK(std::memcmp(t.g0, "GGGG", 4) == 0 && std::memcmp(t.g1, "GGGG", 4) == 0 &&
               std::memcmp(t.g2, "GGGG", 4) == 0);
    FUZZ_CHECK(std::memchr(t.a, 0, sizeof t.a) && std::memchr(t.b, 0, sizeof t.b));
    FUZZ_CHECK(x == referenceInt(s.substr(std::min(s.size(), wa + wb), wx)));
}

// The C forms with buffers of exactly the documented sizes.
void checkC(const std::string& text, int n) {
    const char* src = text.c_str();
    size_t len = std::strlen(src);
    std::vector<char> zen(2 * len + 1);
    FUZZ_CHECK(sjis::han2ZenC(src, zen.data()) == static_cast<int>(std::strlen(zen.data())));
    std::vector<char> han(len + 1);
    FUZZ_CHECK(sjis::zen2HanC(src, han.data()) == static_cast<int>(std::strlen(han.data())));
    std::vector<char> name(static_cast<size_t>(n) + 1);
    FUZZ_CHECK(sjis::cnvNameStrC(src, n, name.data()) == 0);
    std::vector<char> cut(static_cast<size_t>(n) + 1);
    FUZZ_CHECK(sjis::cutStringC(src, cut.data(), n, n & 1) <= n);
    std::vector<char> sep(len + 1);
    sjis::cutNameAtSeparatorC(src, sep.data());
    std::vector<char> trim(src, src + len + 1);
    sjis::trimFieldC(trim.data());
    // In place.
    std::vector<char> inplace(src, src + len + 1);
    sjis::zen2HanC(inplace.data(), inplace.data());
    FUZZ_CHECK(std::string(inplace.data()) == std::string(han.data()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t n = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::string_view needle =
        text.substr(std::min<size_t>(data[1] % 64, text.size()), data[1] / 64 + 1);

    checkWalk(text);
    checkCut(text, n);
    checkCut(text, n % 8);
    checkFields(text);
    checkSearch(text, needle);
    checkWidth(text, n);
    checkScan(text, data[0]);
    checkC(std::string(text), static_cast<int>(n % 32));
    return 0;
}
