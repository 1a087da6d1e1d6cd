// Character positions in Shift-JIS texts found without walking the text
// from its start. A byte that is no lead byte always ends a character: it is
// a single-byte character or the second byte of a pair. So the boundaries
// just before a position follow from the run of lead bytes in front of it,
// and a search can look for its bytes (memchr) and test each hit instead of
// stepping through every character. The answers are those of the walk
// (sjis::charLength, sjis::isBoundary): a lead byte pairs with the next byte
// unless that is the end of the text or a NUL.
#pragma once

#include "platform/sjischar.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace sjis {

// True when `pos` (0..size) starts a character, given a position `known`
// <= pos that does: the look back stops there. A scan that tests its
// candidates in order passes the last one it tested (a candidate that is
// no boundary is the second byte of a pair, so the byte after it is one).
inline bool AtBoundaryFrom(std::string_view s, size_t pos, size_t known) {
    if (pos >= s.size()) return pos == s.size();
    size_t k = pos;
    while (k > known && plat::isSjisLead(static_cast<unsigned char>(s[k - 1]))) --k;
    // k starts a character; from there the lead bytes pair up, except a
    // last one before a NUL.
    return (pos - k) % 2 == 0 || s[pos] == '\0';
}

// True when `pos` (0..size) starts a character.
inline bool AtBoundary(std::string_view s, size_t pos) {
    return AtBoundaryFrom(s, pos, 0);
}

// The start of the character that ends at boundary `pos` (0 < pos <= size).
inline size_t CharStartBefore(std::string_view s, size_t pos) {
    if (pos >= 2 && plat::isSjisLead(static_cast<unsigned char>(s[pos - 2])) && s[pos - 1] != '\0' &&
        AtBoundary(s, pos - 2))
        return pos - 2;
    return pos - 1;
}

// Whether a byte match of `m` bytes at `c` starts and ends on character
// boundaries, for candidates tested in increasing order: `known` is a
// boundary at or before `c` and is carried on, so that no look back goes
// further than the last candidate (a search through a long run of lead
// bytes stays linear).
inline bool TestCandidate(std::string_view s, size_t c, size_t m, size_t& known) {
    if (!AtBoundaryFrom(s, c, known)) {
        known = c + 1; // c is the second byte of a pair
        return false;
    }
    known = c;
    return AtBoundaryFrom(s, c + m, c);
}

// Whether any of the sixteen positions at `d` holds `first` (and, when
// `pair`, `second` in the byte after it): d[0..16] are read. Sixteen bytes
// are compared at a time (GCC vector extensions: SSE2 or NEON).
inline bool PairInSixteen(const char* d, char first, char second, bool pair) {
    using Bytes = unsigned char __attribute__((vector_size(16)));
    Bytes at, next;
    std::memcpy(&at, d, sizeof at);
    std::memcpy(&next, d + 1, sizeof next);
    Bytes hit = at == static_cast<unsigned char>(first);
    if (pair) hit &= next == static_cast<unsigned char>(second);
    uint64_t halves[2];
    std::memcpy(halves, &hit, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// The first position >= from where `needle` starts and ends on a character
// boundary; npos when there is none or needle is empty. sjis::find is this
// search.
inline size_t FindAtBoundary(std::string_view s, std::string_view needle, size_t from = 0) {
    const size_t n = s.size(), m = needle.size();
    if (m == 0 || m > n) return std::string_view::npos;
    // The first two bytes are compared in place: the first byte of a
    // Japanese word (a lead byte such as 82 or 83) is in nearly every
    // character of a Japanese text, so a search by the first byte alone
    // (memchr, as string_view::find does) stops at one character after the
    // other. Sixteen positions without them are passed at once.
    const char* d = s.data();
    const char first = needle[0], second = m > 1 ? needle[1] : '\0';
    size_t known = 0; // a boundary at or before every candidate still to test
    for (size_t c = from; c + m <= n;) {
        if (c + 17 <= n && !PairInSixteen(d + c, first, second, m > 1)) {
            c += 16;
            continue;
        }
        for (size_t end = std::min(c + 16, n - m + 1); c < end; ++c) {
            if (d[c] != first || (m > 1 && d[c + 1] != second)) continue;
            if (m > 2 && std::memcmp(d + c + 2, needle.data() + 2, m - 2) != 0) continue;
            if (TestCandidate(s, c, m, known)) return c;
        }
    }
    return std::string_view::npos;
}

// The same search for a needle whose first byte is rare in the text (a
// backslash, a punctuation mark): memchr finds the candidates.
inline size_t FindRareAtBoundary(std::string_view s, std::string_view needle, size_t from = 0) {
    if (needle.empty()) return std::string_view::npos;
    size_t known = 0;
    for (size_t c = s.find(needle, from); c != std::string_view::npos; c = s.find(needle, c + 1))
        if (TestCandidate(s, c, needle.size(), known)) return c;
    return std::string_view::npos;
}

} // namespace sjis
