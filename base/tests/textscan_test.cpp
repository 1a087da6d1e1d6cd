#include "base/sjis.h"
#include "base/textscan.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

namespace {

using testsupport::hex;

// Every text of up to six bytes over bytes that matter to the walk: lead
// bytes of both ranges, trail bytes that look like '\', 'A' or '%', a byte
// that is never a lead, and NUL.
template <class F> void forEveryShortText(F&& f) {
    const char alphabet[] = {'\x81', '\xE0', '\\', 'A', '%', '\xA0', '\0'};
    const size_t n = sizeof alphabet;
    std::string s;
    for (size_t len = 0; len <= 6; ++len) {
        size_t count = 1;
        for (size_t i = 0; i < len; ++i) count *= n;
        for (size_t k = 0; k < count; ++k) {
            s.clear();
            for (size_t i = 0, v = k; i < len; ++i, v /= n) s += alphabet[v % n];
            f(s);
        }
    }
}

// The searches as the walk from the start defines them.
size_t walkFind(std::string_view s, std::string_view needle, size_t from) {
    if (needle.empty()) return sjis::npos;
    for (size_t c = from; c + needle.size() <= s.size(); ++c)
        if (s.substr(c, needle.size()) == needle && sjis::isBoundary(s, c) &&
            sjis::isBoundary(s, c + needle.size()))
            return c;
    return sjis::npos;
}

size_t walkFindFirstOf(std::string_view s, std::string_view chars, size_t from) {
    for (size_t p = 0, len; (len = sjis::charLength(s, p)) != 0; p += len) {
        if (p < from) continue;
        for (size_t q = 0, clen; (clen = sjis::charLength(chars, q)) != 0; q += clen)
            if (chars.substr(q, clen) == s.substr(p, len)) return p;
    }
    return sjis::npos;
}

} // namespace

// The boundaries found from the lead bytes before a position, and the
// searches built on them, are the walk's.
TEST(TextScan, BoundariesAndSearchesAreTheWalks) {
    forEveryShortText([](const std::string& s) {
        for (size_t pos = 0; pos <= s.size() + 1; ++pos) {
            ASSERT_EQ(sjis::AtBoundary(s, pos), sjis::isBoundary(s, pos)) << hex(s) << " at " << pos;
            // From any boundary before it.
            for (size_t known = 0; known <= pos && known <= s.size(); ++known) {
                if (!sjis::isBoundary(s, known)) continue;
                ASSERT_EQ(sjis::AtBoundaryFrom(s, pos, known), sjis::isBoundary(s, pos)) << hex(s);
            }
        }
        size_t previous = 0;
        for (size_t p = 0, len; (len = sjis::charLength(s, p)) != 0; p += len) {
            if (p > 0) {
                ASSERT_EQ(sjis::CharStartBefore(s, p), previous) << hex(s) << " at " << p;
            }
            previous = p;
        }
        if (!s.empty()) {
            ASSERT_EQ(sjis::CharStartBefore(s, s.size()), previous) << hex(s);
        }
        for (std::string_view needle : {"\\", "A", "\x81\\", "\x81\x41", "\x81"})
            for (size_t from = 0; from <= s.size() + 1; ++from) {
                size_t expected = walkFind(s, needle, from);
                ASSERT_EQ(sjis::FindAtBoundary(s, needle, from), expected) << hex(s);
                ASSERT_EQ(sjis::FindRareAtBoundary(s, needle, from), expected) << hex(s);
                ASSERT_EQ(sjis::find(s, needle, from), expected) << hex(s);
            }
        // Sets of one-byte characters, pairs, and a lone lead byte at the end.
        for (std::string_view chars : {"\\", "A%", "\x81\\", "\xE0\x81\x81\x41", "A\x81"})
            for (size_t from = 0; from <= s.size() + 1; ++from)
                ASSERT_EQ(sjis::findFirstOf(s, chars, from), walkFindFirstOf(s, chars, from))
                    << hex(s) << " of " << hex(chars) << " from " << from;
    });
    // By hand: ソ (83 5C) holds no backslash; a lead byte before NUL stands alone.
    EXPECT_EQ(sjis::FindAtBoundary("\x83\\\\", "\\"), 2u);
    EXPECT_EQ(sjis::findFirstOf("\x83\\\\", "\\"), 2u);
    EXPECT_TRUE(sjis::AtBoundary(std::string_view("\x83\0A", 3), 1));
    EXPECT_FALSE(sjis::AtBoundary("\x83"
                                  "AB",
                                  1));
    EXPECT_EQ(sjis::CharStartBefore("a\x83"
                                    "A",
                                    3),
              1u);
}

// Longer texts, where the search passes sixteen positions at a time: random
// mixes of the same bytes, the needles anywhere in them.
TEST(TextScan, LongSearchesAreTheWalks) {
    const char alphabet[] = {'\x81', '\xE0', '\\', 'A', '%', '\xA0', '\0', '\x82', '\xA0'};
    const std::string_view needles[] = {"\\", "A", "\x81\\", "\x81\x41", "\x81", "\x82\xA0\x81\\", "%A%"};
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        std::string s(random() % 70, ' ');
        for (char& c : s) c = alphabet[random() % sizeof alphabet];
        std::string_view needle = needles[random() % std::size(needles)];
        size_t from = random() % (s.size() + 2);
        ASSERT_EQ(sjis::FindAtBoundary(s, needle, from), walkFind(s, needle, from))
            << hex(s) << " " << hex(needle) << " from " << from;
    }
}
