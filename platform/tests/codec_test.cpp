#include "platform/codec.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

using testsupport::sj;

TEST(Codec, RoundTripsJapanese) {
    auto s = plat::utf8ToCp932("表示ソ―");
    ASSERT_TRUE(s);
    EXPECT_EQ(*s, "\x95\x5C\x8E\xA6\x83\x5C\x81\x5C");
    EXPECT_EQ(plat::cp932ToUtf8(*s), std::optional<std::string>("表示ソ―"));
}

TEST(Codec, RefusesWhatHasNoForm) {
    EXPECT_FALSE(plat::utf8ToCp932("emoji 😀"));
    EXPECT_FALSE(plat::cp932ToUtf8("\x81"));
}

// Bytes 00-7F are the same characters in both code pages, the backslash
// (5C) and the tilde (7E) included.
TEST(Codec, AsciiPassesThrough) {
    std::string ascii;
    for (int c = 0; c < 0x80; ++c) ascii += static_cast<char>(c);
    EXPECT_EQ(plat::cp932ToUtf8(ascii), std::optional<std::string>(ascii));
    EXPECT_EQ(plat::utf8ToCp932(ascii), std::optional<std::string>(ascii));
}

// A name with characters Shift-JIS cannot hold is still shown, with '?'
// in their place; the rest keeps its characters.
TEST(Codec, ShownFormMarksWhatHasNoForm) {
    EXPECT_EQ(plat::utf8ToCp932Shown("/home/josé/表"), "/home/jos?/" + sj("表"));
    EXPECT_EQ(plat::utf8ToCp932Shown("a😀b\xff"), "a?b?");
    EXPECT_EQ(plat::utf8ToCp932Shown("ソ"), sj("ソ"));
}
