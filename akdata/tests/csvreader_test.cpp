// The record tokenizer and the head scan: the system's own rules, not those
// of a general CSV reader.
#include "akdata/csvreader.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using akdata::CsvRecord;
using akdata::LineSource;
using akdata::scanHead;

TEST(CsvReader, LinesSplitAtLfWithOneCrDropped) {
    LineSource in("a\r\nb\nc\r\r\n\nlast");
    std::string_view l;
    std::vector<std::string> got;
    while (in.next(l)) got.emplace_back(l);
    EXPECT_EQ(got, (std::vector<std::string>{"a", "b", "c\r", "", "last"}));
}

TEST(CsvReader, NumbersFollowTheSystemTokenizer) {
    // '+' is no sign, "-" alone is 0, "1.5" is two numbers, the byte after a
    // number is skipped (so "5x7" is 5 and 7), blanks pass.
    LineSource in("+3, -,1.5, 5x7,-12\n");
    CsvRecord r(in, "nnnnnnn");
    EXPECT_EQ(r.count(), 7);
    EXPECT_EQ(r.num(0), 3);
    EXPECT_EQ(r.num(1), 0);
    EXPECT_EQ(r.num(2), 1);
    EXPECT_EQ(r.num(3), 5);
    EXPECT_EQ(r.num(4), 5);
    EXPECT_EQ(r.num(5), 7);
    EXPECT_EQ(r.num(6), -12);
}

TEST(CsvReader, NumbersSaturateAtTheI32Range) {
    LineSource in("999999999999,-999999999999,2147483647,-2147483648\n");
    CsvRecord r(in, "nnnn");
    EXPECT_EQ(r.num(0), INT_MAX);
    EXPECT_EQ(r.num(1), INT_MIN);
    EXPECT_EQ(r.num(2), INT_MAX);
    EXPECT_EQ(r.num(3), INT_MIN);
}

TEST(CsvReader, KindsThatDoNotMeetAreNeitherStoredNorCounted) {
    // A text meets a number target, a number meets a text target; each takes
    // its target without storing, and the next field takes the next one.
    LineSource in("\"$DRAINDATA02$\",1,2\n7,\"x\"\n");
    CsvRecord drain(in, "nnn");
    EXPECT_EQ(drain.count(), 2);
    EXPECT_EQ(drain.num(0), 0);
    EXPECT_EQ(drain.num(1), 1);
    EXPECT_EQ(drain.num(2), 2);
    CsvRecord mixed(in, "qq");
    EXPECT_EQ(mixed.count(), 1);
    EXPECT_EQ(mixed.text(0), "");
    EXPECT_EQ(mixed.text(1), "x");
}

TEST(CsvReader, QuotedTextsJoinLinesAndEndTheRecordWithoutTargets) {
    LineSource in("\"first\r\nsecond\",5\n\"a\",\"b\",9\nnext\n");
    CsvRecord joined(in, "qn");
    EXPECT_EQ(joined.text(0), "firstsecond");
    EXPECT_EQ(joined.num(1), 5);
    CsvRecord shortList(in, "q"); // the second text finds no target
    EXPECT_EQ(shortList.count(), 1);
    std::string_view l;
    ASSERT_TRUE(in.next(l));
    EXPECT_EQ(l, "next");
}

TEST(CsvReader, EndOfFileInsideQuotesOrBeforeALine) {
    LineSource open("\"never closed\nmore");
    CsvRecord r(open, "q");
    EXPECT_EQ(r.count(), -1);
    CsvRecord after(open, "n");
    EXPECT_EQ(after.count(), -1);
}

TEST(CsvReader, LongTextsAreCutOnACharacterBoundary) {
    // 600 bytes of double-byte characters: a cut at 511 keeps 255 of them.
    std::string line = "\"" + std::string(600, '\x82') + "\"\n";
    LineSource in(line);
    CsvRecord r(in, "q");
    EXPECT_EQ(r.text(0).size(), 510u);
}

TEST(CsvReader, HeadScanIsScanfOfTwoLongs) {
    int32_t a = 0, b = 0;
    EXPECT_EQ(scanHead("1500,300", a, b), 2);
    EXPECT_EQ(a, 1500);
    EXPECT_EQ(b, 300);
    EXPECT_EQ(scanHead("  +7,\t-8 rest", a, b), 2);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, -8);
    EXPECT_EQ(scanHead("5 ,3", a, b), 1);
    EXPECT_EQ(scanHead("1500", a, b), 1);
    EXPECT_EQ(scanHead("1\x8d\x86\x8b\x40", a, b), 1); // "1号機" ends the load as a bad head
    EXPECT_EQ(scanHead("--- CVVELL Game Result ---", a, b), 0);
    EXPECT_EQ(scanHead("   \t", a, b), -1);
    EXPECT_EQ(scanHead("99999999999,1", a, b), 2);
    EXPECT_EQ(a, INT_MAX);
}
