// Shift-JIS helpers on the characters that trip byte-wise code: trail bytes
// that look like ASCII ('\' '[' ']' '_') or like lead bytes (メ 83 81), lone
// lead bytes at the end, and unterminated record fields.
#include "base/sjis.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

using testsupport::hex;
using testsupport::sj;

namespace {

std::string rep(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

} // namespace

// ---- Walking and cutting ----------------------------------------------------

TEST(SjisWalk, BoundariesFollowTheWalkNotTheByte) {
    const std::string me2 = sj("メメ"); // 83 81 83 81: the trail byte is in the lead range
    EXPECT_TRUE(sjis::isBoundary(me2, 0));
    EXPECT_FALSE(sjis::isBoundary(me2, 1));
    EXPECT_TRUE(sjis::isBoundary(me2, 2));
    EXPECT_FALSE(sjis::isBoundary(me2, 3));
    EXPECT_TRUE(sjis::isBoundary(me2, 4));
    EXPECT_FALSE(sjis::isBoundary(me2, 5));

    // A lone lead byte before the end or a NUL is one character.
    const std::string lone("A\x83", 2);
    EXPECT_EQ(sjis::charLength(lone, 1), 1u);
    const std::string beforeNul("\x83\0B", 3);
    EXPECT_EQ(sjis::charLength(beforeNul, 0), 1u);
    EXPECT_EQ(sjis::charLength(beforeNul, 1), 1u);
    EXPECT_EQ(sjis::charLength(beforeNul, 3), 0u);
}

TEST(SjisCut, LongestPrefixOnABoundary) {
    EXPECT_EQ(sjis::cutLength(rep(sj("あ"), 42) + "B", 79), 78u);
    EXPECT_EQ(sjis::cutLength("A" + rep(sj("メ"), 42), 79), 79u);
    EXPECT_EQ(sjis::cutLength(rep(sj("ソ"), 42) + "B", 79), 78u);
    EXPECT_EQ(sjis::cut("A" + rep(sj("メ"), 42), 80), "A" + rep(sj("メ"), 39));

    EXPECT_EQ(sjis::cutLength(sj("あい"), 0), 0u);
    EXPECT_EQ(sjis::cutLength(sj("あい"), 1), 0u);
    EXPECT_EQ(sjis::cutLength(sj("あい"), 100), 4u);
    EXPECT_EQ(sjis::cutLength(std::string("AB\x83", 3), 3), 3u); // lone lead kept as one byte
    EXPECT_EQ(sjis::cut(sj("ｱﾞ表"), 3), sj("ｱﾞ"));
}

TEST(SjisCut, TrailBytesInTheLeadRangeAndLeadsBeforeNul) {
    // "A" and three characters 81 81: the trail bytes are lead values too,
    // so only the walk from "A" tells where the characters start (1, 3, 5).
    const std::string pairs = "A\x81\x81\x81\x81\x81\x81";
    EXPECT_EQ(sjis::cutLength(pairs, 4), 3u);
    EXPECT_EQ(sjis::cutLength(pairs, 5), 5u);
    EXPECT_EQ(sjis::cutLength(pairs, 6), 5u);
    // A lead byte before a NUL is one byte; the NUL starts the next
    // character, and 81 81 at 2 ends at 4.
    const std::string nul("\x81\0\x81\x81\x81", 5);
    EXPECT_EQ(sjis::cutLength(nul, 1), 1u);
    EXPECT_EQ(sjis::cutLength(nul, 3), 2u);
    EXPECT_EQ(sjis::cutLength(nul, 4), 4u);
}

// ---- Record fields ------------------------------------------------------------

TEST(SjisField, ReadStopsAtNulOrArrayEnd) {
    char full[4] = {'A', 'B', 'C', 'D'}; // a raw image field without NUL
    EXPECT_EQ(sjis::readField(full), "ABCD");
    char shortText[8] = {'h', 'i', 0, 'x', 'y', 0, 0, 0};
    EXPECT_EQ(sjis::readField(shortText), "hi");
    EXPECT_EQ(sjis::readField(nullptr, 5), "");
    // A field ending in a lone lead byte: walkers treat it as one byte.
    char loneLead[3] = {'A', 'B', '\x83'};
    EXPECT_EQ(sjis::cutLength(sjis::readField(loneLead), 3), 3u);
}

TEST(SjisField, WriteCutsOnABoundaryAndZeroFills) {
    char f[6];
    std::memset(f, 'x', sizeof f);
    EXPECT_EQ(sjis::writeField(f, sj("アイウ")), 4u); // 6 bytes do not fit in 5
    EXPECT_EQ(std::string(f, 6), sj("アイ") + std::string(2, '\0'));

    char h[5];
    std::memset(h, 'x', sizeof h);
    EXPECT_EQ(sjis::writeField(h, "A" + sj("メメ")), 3u); // the second メ (83 81) straddles byte 4
    EXPECT_EQ(std::string(h, 5), "A" + sj("メ") + std::string(2, '\0'));

    std::memset(f, 'x', sizeof f);
    EXPECT_EQ(sjis::writeField(f, std::string("ab\0cd", 5)), 2u);
    EXPECT_EQ(std::string(f, 6), std::string("ab\0\0\0\0", 6));

    std::memset(f, 'x', sizeof f);
    EXPECT_EQ(sjis::writeField(f, std::string_view()), 0u);
    EXPECT_EQ(std::string(f, 6), std::string(6, '\0'));

    char g[3] = {'q', 'q', 'q'};
    EXPECT_EQ(sjis::writeField(g, 0, "abc"), 0u);
    EXPECT_EQ(std::string(g, 3), "qqq");
}

// ---- Search ---------------------------------------------------------------------

TEST(SjisSearch, MatchesOnlyAtCharacterBoundaries) {
    EXPECT_EQ(sjis::find(sj("白推"), sj("推")), 2u);
    EXPECT_TRUE(sjis::contains(sj("ＳサイズＬ／ＭＣ"), sj("／ＭＣ")));
    // Trail bytes that look like ASCII are not found as ASCII.
    EXPECT_EQ(sjis::find(sj("表示ソ―"), "\\"), sjis::npos);
    EXPECT_EQ(sjis::find(sj("ー"), "["), sjis::npos);
    EXPECT_EQ(sjis::find(sj("ゾ"), "]"), sjis::npos);
    EXPECT_EQ(sjis::find(sj("ダ"), "_"), sjis::npos);
    EXPECT_EQ(sjis::find(sj("表\\"), "\\"), 2u);
    // メ＠ is 83 81 81 97; bytes 1-2 spell ＝ (81 81) but are not a character.
    EXPECT_EQ(sjis::find(sj("メ＠"), sj("＝")), sjis::npos);
    EXPECT_EQ(sjis::find(sj("メ＠＝"), sj("＝")), 4u);
    // A needle ending in a lone lead byte does not match half a character.
    EXPECT_EQ(sjis::find(sj("ア"), "\x83"), sjis::npos);
    EXPECT_EQ(sjis::find(std::string("A\x83", 2), "\x83"), 1u);
    EXPECT_EQ(sjis::find("abc", ""), sjis::npos);
}

TEST(SjisSearch, FromLastAnyOfAndReplace) {
    const std::string s = sj("推白推受");
    EXPECT_EQ(sjis::find(s, sj("推"), 1), 4u);
    EXPECT_EQ(sjis::find(s, sj("推"), 5), sjis::npos);
    EXPECT_EQ(sjis::rfind(s, sj("推")), 4u);
    EXPECT_EQ(sjis::rfind(s, sj("盾")), sjis::npos);
    EXPECT_FALSE(sjis::contains(s, sj("盾")));

    EXPECT_EQ(sjis::findFirstOf(sj("ソードＡ"), sj("ＡＢ\\")), 6u);
    EXPECT_EQ(sjis::findFirstOf(sj("ソード\\"), "\\"), 6u);
    EXPECT_EQ(sjis::findFirstOf(sj("ソＡ"), sj("Ａ"), 3), sjis::npos);
    // ア and ソ share their lead byte; a lone lead byte is not the character.
    EXPECT_EQ(sjis::findFirstOf(sj("アソ"), sj("ソ")), 2u);
    EXPECT_EQ(sjis::findFirstOf(sj("ア"), "\x83"), sjis::npos);

    EXPECT_EQ(sjis::replaceAll(sj("俺は俺だメ＠"), sj("俺"), sj("わたし")), sj("わたしはわたしだメ＠"));
    EXPECT_EQ(sjis::replaceAll(sj("メ＠"), sj("＝"), "X"), sj("メ＠"));
    EXPECT_EQ(sjis::replaceAll("aaa", "aa", "b"), "ba");
}

// ---- Width conversion -----------------------------------------------------------

TEST(SjisWidth, Han2ZenFormsAndMarks) {
    EXPECT_EQ(sjis::han2Zen("AB1\xB6"), sj("ＡＢ１カ"));
    EXPECT_EQ(sjis::han2Zen("AB1\xB6").size(), 8u);
    EXPECT_EQ(hex(sjis::han2Zen(" ")), "81 40");
    EXPECT_EQ(hex(sjis::han2Zen("-")), "81 7C");
    EXPECT_EQ(hex(sjis::han2Zen("`")), "81 4D");
    EXPECT_EQ(hex(sjis::han2Zen("~")), "81 60");
    EXPECT_EQ(hex(sjis::han2Zen("\"")), "81 68");
    EXPECT_EQ(hex(sjis::han2Zen("'")), "81 66");
    EXPECT_EQ(hex(sjis::han2Zen("\\")), "81 8F");
    EXPECT_EQ(sjis::han2Zen("\xA1\xA2\xA3\xA4\xA5\xB0"), sj("。「」、・ー"));
    // Voiced marks become separate marks, never composed with the kana.
    EXPECT_EQ(sjis::han2Zen("\xB6\xDE\xCA\xDF"), sj("カ゛ハ゜"));
    EXPECT_EQ(hex(sjis::han2Zen("\xDE\xDF")), "81 4A 81 4B");
    EXPECT_EQ(sjis::han2Zen("\xA6\xA7\xAF\xDD"), sj("ヲァッン"));
    // Double-byte characters (whatever their trail byte) and bytes without a
    // full-width form are copied.
    EXPECT_EQ(sjis::han2Zen(sj("表メ漢")), sj("表メ漢"));
    const std::string other("\t\x7F\x80\xA0\xFD\xFF", 6);
    EXPECT_EQ(sjis::han2Zen(other), other);
    EXPECT_EQ(sjis::han2Zen(std::string("A\x83", 2)), sj("Ａ") + "\x83");
}

TEST(SjisWidth, Zen2HanFormsAndMarks) {
    EXPECT_EQ(sjis::zen2Han(sj("ガ")), "\xB6\xDE");
    EXPECT_EQ(sjis::zen2Han(sj("パ")), "\xCA\xDF");
    EXPECT_EQ(sjis::zen2Han(sj("ヴ")), "\xB3\xDE");
    EXPECT_EQ(sjis::zen2Han(sj("がぱ")), "\xB6\xDE\xCA\xDF");
    EXPECT_EQ(sjis::zen2Han(sj("漢")), sj("漢"));
    EXPECT_EQ(sjis::zen2Han(sj("ＡＢ１カ")), "AB1\xB6");
    EXPECT_EQ(sjis::zen2Han(sj("あをん")), "\xB1\xA6\xDD");
    EXPECT_EQ(sjis::zen2Han(sj("ァィゥェォャュョッぁぃぅぇぉゃゅょっ")),
              "\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE\xAF\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE\xAF");
    EXPECT_EQ(sjis::zen2Han(sj("。「」、・ー゛゜")), "\xA1\xA2\xA3\xA4\xA5\xB0\xDE\xDF");
    EXPECT_EQ(sjis::zen2Han(sj("　－～")), " -~");
    // Every code page 932 code of the full-width quote and apostrophe, the
    // full-width backslash and the forms Han2Zen produces.
    EXPECT_EQ(sjis::zen2Han("\xFA\x57\xEE\xFC\xFA\x56\xEE\xFB"), "\"\"''");
    EXPECT_EQ(sjis::zen2Han(sj("＼￥”’")), "\\\\\"'");
    // Kana without a half-width form, and 5C-trail characters, are copied.
    EXPECT_EQ(sjis::zen2Han(sj("ヵヶゎヰ表ソ")), sj("ヵヶゎヰ表") + "\xBF");
    EXPECT_EQ(sjis::zen2Han(std::string("\xB6\x83", 2)), std::string("\xB6\x83", 2));
}

TEST(SjisWidth, PrintableAsciiRoundTrips) {
    std::string ascii;
    for (int c = 0x20; c < 0x7F; ++c) ascii += static_cast<char>(c);
    std::string zen = sjis::han2Zen(ascii);
    ASSERT_EQ(zen.size(), 2 * ascii.size());
    for (size_t i = 0; i < zen.size(); i += 2) EXPECT_TRUE(sjis::isLead(zen[i])) << i;
    EXPECT_EQ(sjis::zen2Han(zen), ascii);
    std::string kana;
    for (int c = 0xA1; c < 0xE0; ++c) kana += static_cast<char>(c);
    EXPECT_EQ(sjis::zen2Han(sjis::han2Zen(kana)), kana);
}

// ---- Names -----------------------------------------------------------------------

TEST(SjisName, CutAtTheTwentySeparators) {
    const char* seps[] = {"･", "・", "=", "＝", "&", "＆", " ", "　", ":", "：",
                          ";", "；", "_", "＿", "+", "＋", "-", "－", "*", "＊"};
    for (const char* s : seps) EXPECT_EQ(sjis::cutNameAtSeparator(sj("ボブ") + sj(s) + "X"), sj("ボブ")) << s;
    // Not separators: other marks, TAB, and trail bytes that look like one.
    for (const char* s : {"ー", "／", "\t", "。", "、"})
        EXPECT_EQ(sjis::cutNameAtSeparator(sj("ボブ") + sj(s) + "X"), sj("ボブ") + sj(s) + "X") << s;
    EXPECT_EQ(sjis::cutNameAtSeparator(sj("ダイダロス")), sj("ダイダロス")); // ダ is 83 5F
    EXPECT_EQ(sjis::cutNameAtSeparator(sj("挨拶")), sj("挨拶"));             // 挨 is 88 A5
    EXPECT_EQ(sjis::cutNameAtSeparator(sj("ソード_X")), sj("ソード"));
    EXPECT_EQ(sjis::cutNameAtSeparator(sj("ｱﾙﾌｧ･ﾍﾞｰﾀ")), sj("ｱﾙﾌｧ"));
    EXPECT_EQ(sjis::cutNameAtSeparator(" lead"), "");
}

TEST(SjisName, CnvNameStrSteps) {
    const std::string name = sj("ＡＢＣＤＥカキクケコ"); // 20 bytes, 10 half width
    EXPECT_EQ(sjis::cnvNameStr(name, 20), name);
    EXPECT_EQ(sjis::cnvNameStr(name, 12), "ABCDE\xB6\xB7\xB8\xB9\xBA");
    // Step 3: the separator cut of the name itself.
    EXPECT_EQ(sjis::cnvNameStr(sj("漢字・漢字漢字"), 6), sj("漢字"));
    // Step 4 keeps characters whole: a kanji straddling byte n is dropped.
    EXPECT_EQ(sjis::cnvNameStr(sj("漢字漢字漢字"), 5), sj("漢字"));
    EXPECT_EQ(sjis::cnvNameStr("A" + sj("漢字漢字漢字"), 6), "A" + sj("漢字"));
    EXPECT_EQ(sjis::cnvNameStr(sj("ガ漢字"), 3), "\xB6\xDE");
    EXPECT_EQ(sjis::cnvNameStr(sj("漢"), 0), "");
    // Names longer than the old 80-byte intermediates.
    const std::string longName = rep(sj("漢"), 150);
    EXPECT_EQ(sjis::cnvNameStr(longName, 79), rep(sj("漢"), 39));
}

TEST(SjisName, CutString) {
    EXPECT_EQ(sjis::cutString(sj("あいうえお"), 5, true), sj("あい"));
    EXPECT_EQ(sjis::cutString(sj("あいうえお"), 10, false), sj("あいうえお"));
    EXPECT_EQ(sjis::cutString(sj("アイウエオ"), 5, false), "\xB1\xB2\xB3\xB4\xB5");
    EXPECT_EQ(sjis::cutString(sj("ガギグ"), 5, false), "\xB6\xDE\xB7\xDE\xB8");
    EXPECT_EQ(sjis::cutString("A" + rep(sj("メ"), 42), 79, true).size(), 79u);
}

TEST(SjisName, TrimFieldOnlyAsciiBlanks) {
    EXPECT_EQ(sjis::trimField("  abc  "), "abc");
    EXPECT_EQ(sjis::trimField("   "), "");
    EXPECT_EQ(sjis::trimField("\tx\t"), "\tx\t");
    EXPECT_EQ(sjis::trimField(sj("　x　")), sj("　x　"));
    char buf[] = "  a b  ";
    sjis::trimFieldC(buf);
    EXPECT_STREQ(buf, "a b");
    sjis::trimFieldC(nullptr);
}

// ---- Fixed-width field scanner ----------------------------------------------------

TEST(SjisScan, IntegerFields) {
    EXPECT_EQ(sjis::fixedInt(" -12"), -12);
    EXPECT_EQ(sjis::fixedInt("1-2 "), -12);
    EXPECT_EQ(sjis::fixedInt("  42"), 42);
    EXPECT_EQ(sjis::fixedInt("4\x1A"
                             "2"),
              42);
    EXPECT_EQ(sjis::fixedInt("\xB6"), 134); // bytes are unsigned
    EXPECT_EQ(sjis::fixedInt("    "), 0);
    EXPECT_EQ(sjis::fixedInt(""), 0);
    EXPECT_EQ(sjis::fixedInt("2147483647"), INT32_MAX);
    EXPECT_EQ(sjis::fixedInt("2147483648"), INT32_MAX);
    EXPECT_EQ(sjis::fixedInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(sjis::fixedInt("99999999999999999999999999"), INT32_MAX);
    EXPECT_EQ(sjis::fixedInt("-99999999999999999999999999"), INT32_MIN);
    EXPECT_EQ(sjis::fixedInt("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF"), INT32_MAX);
}

TEST(SjisScan, RecordOfFields) {
    const std::string rec = sj("ガンダム") + "      " + " -12" + "1-2 " + sj("ＷＣ") + "XY";
    char name[20];
    char type[5];
    char raw[3];
    int32_t a = 0, b = 0;
    size_t used = sjis::vsscanfix(rec, {sjis::scanTrimmed(14, name), sjis::scanInt(4, a), sjis::scanInt(4, b),
                                        sjis::scanText(4, type), sjis::scanText(2, raw)});
    EXPECT_EQ(used, rec.size());
    EXPECT_EQ(std::string(name), sj("ガンダム"));
    EXPECT_EQ(a, -12);
    EXPECT_EQ(b, -12);
    EXPECT_EQ(std::string(type), sj("ＷＣ"));
    EXPECT_EQ(std::string(raw), "XY");
}

TEST(SjisScan, BlankTextsShortRecordsAndSmallTargets) {
    // A field of blanks only gives an empty text; nothing before the target
    // is touched.
    struct {
        char guard[4];
        char text[8];
    } t;
    std::memset(&t, 'g', sizeof t);
    sjis::vsscanfix("      ", {sjis::scanTrimmed(6, t.text)});
    EXPECT_EQ(std::string(t.guard, 4), "gggg");
    EXPECT_STREQ(t.text, "");

    // A short record: the missing bytes are absent.
    char name[10];
    int32_t n1 = 7, n2 = 7;
    EXPECT_EQ(
        sjis::vsscanfix("AB 1", {sjis::scanTrimmed(3, name), sjis::scanInt(4, n1), sjis::scanInt(4, n2)}),
        4u);
    EXPECT_STREQ(name, "AB");
    EXPECT_EQ(n1, 1);
    EXPECT_EQ(n2, 0);

    // A target smaller than the field: cut on a boundary, then trimmed.
    char small[4];
    sjis::vsscanfix("A" + sj("メメ"), {sjis::scanTrimmed(5, small)});
    EXPECT_EQ(std::string(small), "A" + sj("メ"));
    sjis::vsscanfix("AB CD", {sjis::scanTrimmed(5, small)});
    EXPECT_STREQ(small, "AB");

    // Skipped fields and null targets consume their width.
    int32_t v = 0;
    EXPECT_EQ(sjis::vsscanfix("xxx 9", {sjis::scanSkip(3), sjis::scanInt(2, v)}), 5u);
    EXPECT_EQ(v, 9);
}

// ---- C-signature forms --------------------------------------------------------------

TEST(SjisC, ExactBuffersNullsAndAliasing) {
    const std::string src = "AB1\xB6";
    std::vector<char> zen(2 * src.size() + 1);
    EXPECT_EQ(sjis::han2ZenC(src.c_str(), zen.data()), 8);
    EXPECT_EQ(std::string(zen.data()), sj("ＡＢ１カ"));

    const std::string full = sj("ガギ");
    std::vector<char> han(full.size() + 1);
    EXPECT_EQ(sjis::zen2HanC(full.c_str(), han.data()), 4);
    EXPECT_EQ(std::string(han.data()), "\xB6\xDE\xB7\xDE");

    std::vector<char> name(13);
    EXPECT_EQ(sjis::cnvNameStrC(sj("ＡＢＣＤＥカキクケコ").c_str(), 12, name.data()), 0);
    EXPECT_EQ(std::string(name.data()), "ABCDE\xB6\xB7\xB8\xB9\xBA");

    std::vector<char> cut(6);
    EXPECT_EQ(sjis::cutStringC(sj("あいうえお").c_str(), cut.data(), 5, 1), 4);
    EXPECT_EQ(std::string(cut.data()), sj("あい"));
    EXPECT_EQ(sjis::cutStringC("abc", cut.data(), -3, 1), 0);

    std::vector<char> sep(sj("ボブ・X").size() + 1);
    sjis::cutNameAtSeparatorC(sj("ボブ・X").c_str(), sep.data());
    EXPECT_EQ(std::string(sep.data()), sj("ボブ"));

    // In place.
    char buf[16];
    std::strcpy(buf, sj("ＡＢ").c_str());
    EXPECT_EQ(sjis::zen2HanC(buf, buf), 2);
    EXPECT_STREQ(buf, "AB");

    // Null pointers.
    char d[4] = "zz";
    EXPECT_EQ(sjis::han2ZenC(nullptr, d), 0);
    EXPECT_STREQ(d, "");
    EXPECT_EQ(sjis::han2ZenC("a", nullptr), 0);
    EXPECT_EQ(sjis::zen2HanC(nullptr, nullptr), 0);
    EXPECT_EQ(sjis::cnvNameStrC(nullptr, 5, nullptr), 0);
    EXPECT_EQ(sjis::cutStringC(nullptr, d, 5, 0), 0);
    sjis::cutNameAtSeparatorC(nullptr, nullptr);
}
