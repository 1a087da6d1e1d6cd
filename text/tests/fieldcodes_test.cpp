// Field codes of template lines: values, the B and F marks, the 2047-byte
// composed line, folding at 76 bytes on character boundaries, and the single
// string form with its Ctrl-Z cut.
#include "text/fieldcodes.h"
#include "text/textformat.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

using testsupport::sj;
using vtext::ValueList;

namespace {

// A template of the given lines (each ended by CR LF) expanded as a
// regulation text.
std::string expand(std::string_view templ, const ValueList& values) {
    return vtext::expandTextTemplate(vtext::splitTemplate(templ), values);
}

ValueList values(std::vector<std::string> v) {
    return ValueList(std::move(v));
}

} // namespace

TEST(FieldCodes, ValuesReplaceTwoDigitCodesLeftToRight) {
    ValueList v = values({"zero", "one", "two"});
    EXPECT_EQ(expand("a%00b%02c%01\r\n", v), "azerobtwocone\r\n");
    // Not a code: one digit and a letter, a lone '%', '%' at the end; "%%01"
    // is a plain '%' and then a code.
    EXPECT_EQ(expand("%1x %x 100% %%01 %\r\n", v), "%1x %x 100% %one %\r\n");
}

TEST(FieldCodes, NumbersPastTheListAreEmpty) {
    ValueList v = values({"a", "b"});
    EXPECT_EQ(expand("[%02][%29][%99]\r\n", v), "[][][]\r\n");
    // Only 30 texts count, whatever the caller holds.
    std::vector<std::string> many(40, "v");
    EXPECT_EQ(expand("[%29][%30]\r\n", values(many)), "[v][]\r\n");
    // A C list ends at its first null entry.
    char a[] = "A";
    char b[] = "B";
    char* list[] = {a, nullptr, b};
    EXPECT_EQ(expand("[%00][%01][%02]\r\n", ValueList(list)), "[A][][]\r\n");
    EXPECT_EQ(expand("[%00]\r\n", ValueList(static_cast<char**>(nullptr))), "[]\r\n");
}

TEST(FieldCodes, CrLfInsideAValueIsJoinedOrWrittenAsBr) {
    ValueList v = values({"", "", "", "first\r\nsecond"});
    EXPECT_EQ(expand("memo: %03\r\n", v), "memo: firstsecond\r\n");
    EXPECT_EQ(expand("memo: %03B\r\n", v), "memo: first<BR>second\r\n");
    // The B mark holds for the whole line, a code before it included, and
    // for that line only.
    EXPECT_EQ(expand("%03 %03B\r\n%03\r\n", v), "first<BR>second first<BR>second\r\nfirstsecond\r\n");
    // A lone LF of a value is still a line end on disk.
    EXPECT_EQ(expand("%00\r\n", values({"x\ny"})), "x\r\ny\r\n");
}

TEST(FieldCodes, FoldedLinesBreakEvery76BytesOnCharacterBoundaries) {
    const std::string longText(200, 'a');
    EXPECT_EQ(expand("%00F\r\n", values({longText})),
              std::string(76, 'a') + "\r\n" + std::string(76, 'a') + "\r\n" + std::string(48, 'a') + "\r\n");
    // Exactly 76 bytes is not folded.
    EXPECT_EQ(expand("%00F\r\n", values({std::string(76, 'b')})), std::string(76, 'b') + "\r\n");
    // A double-byte character starting at byte 76 moves to the next line.
    const std::string kanji = sj("漢");
    const std::string straddle = std::string(75, 'c') + kanji + "d";
    EXPECT_EQ(expand("%00F\r\n", values({straddle})), std::string(75, 'c') + "\r\n" + kanji + "d\r\n");
    // Each CR LF piece is folded on its own and ends its own line; with B the
    // break text stands before that line end.
    const std::string pieces = std::string(80, 'e') + "\r\nshort";
    EXPECT_EQ(expand("%00F\r\n", values({pieces})), std::string(76, 'e') + "\r\neeee\r\nshort\r\n");
    EXPECT_EQ(expand("%00F%00B\r\n", values({"x\r\ny"})), "x<BR>\r\nyx<BR>\r\ny\r\n");
}

TEST(FieldCodes, ComposedLineIsCutAt2047BytesOnACharacterBoundary) {
    ValueList v = values({std::string(3000, 'z')});
    vtext::ComposedLine c = vtext::composeLine("ab%00tail", v);
    EXPECT_EQ(c.text.size(), 2047u);
    EXPECT_EQ(c.text.substr(0, 3), "abz");
    // A double-byte character that would straddle the limit is dropped whole.
    const std::string kanji = sj("字");
    ValueList v2 = values({std::string(2046, 'y'), kanji + kanji});
    c = vtext::composeLine("%00%01", v2);
    EXPECT_EQ(c.text, std::string(2046, 'y'));
    // Literal text is cut the same way.
    std::string line(2046, 'q');
    line += kanji;
    EXPECT_EQ(vtext::composeLine(line, v).text, std::string(2046, 'q'));
}

TEST(FieldCodes, SingleStringsKnowNoMarksAndStopAtCtrlZ) {
    ValueList v = values({"x\r\ny", "V"});
    // The letter after the digits is text, and CR LF stays as it is.
    EXPECT_EQ(vtext::replaceStringFormat("%00B|%01F", v), "x\r\nyB|VF");
    EXPECT_EQ(vtext::replaceStringFormat("head%01\x1Atail", v), "headV");
    EXPECT_EQ(vtext::replaceStringFormat("%00", values({"in\x1Avalue"})), "in");
    EXPECT_EQ(vtext::replaceStringFormat("%00", values({std::string(5000, 'w')})).size(), 2047u);
}

TEST(TemplateLines, CommentsCtrlZAndTheLastLineEnd) {
    ValueList v = values({"V"});
    // "#" lines are never written, LF-only lines get CR LF, a last line
    // without a line end keeps none, and a Ctrl-Z ends the template.
    EXPECT_EQ(expand("#Title\r\nline %00\nmore\r\n# note\r\nlast", v), "line V\r\nmore\r\nlast");
    EXPECT_EQ(expand("a\r\nb\x1A\r\nnever\r\n", v), "a\r\nb");
    EXPECT_EQ(expand("\r\n\r\n", v), "\r\n\r\n");
    // A CR inside a line is kept; only the CR before the LF is the line end.
    EXPECT_EQ(expand("a\rb\r\n", v), "a\rb\r\n");
}
