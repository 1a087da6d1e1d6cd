// Table lines of message-table templates: the layout reader, the row
// formatter and the blocks of rows over the three tables.
#include "text/fieldcodes.h"
#include "text/scanparam.h"
#include "text/tablerows.h"
#include "text/textformat.h"

#include "base/sjis.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using testsupport::sj;

namespace {

std::vector<AnnouncerEntry> announcers(int userEntries) {
    std::vector<AnnouncerEntry> a(static_cast<size_t>(userEntries) + 1);
    sjis::writeField(a[0].Id, "builtin");
    for (int i = 1; i <= userEntries; ++i) {
        sjis::writeField(a[static_cast<size_t>(i)].Id, "id" + std::to_string(i));
        sjis::writeField(a[static_cast<size_t>(i)].Name, "name" + std::to_string(i));
        sjis::writeField(a[static_cast<size_t>(i)].Path, "path" + std::to_string(i));
    }
    return a;
}

std::vector<MsgEntry> messages(int userEntries, const std::string& prefix) {
    std::vector<MsgEntry> m(static_cast<size_t>(userEntries) + 1);
    for (int i = 0; i <= userEntries; ++i) {
        MsgEntry& e = m[static_cast<size_t>(i)];
        const std::string n = prefix + std::to_string(i);
        sjis::writeField(e.Id, n);
        sjis::writeField(e.Path, n + ".kwp");
        for (int k = 0; k < 4; ++k) {
            sjis::writeField(e.Trigger[k], "t" + std::to_string(k) + n);
            sjis::writeField(e.Words[k], "w" + std::to_string(k) + n);
        }
    }
    return m;
}

std::string rows(std::string_view layout, vtext::TableKind kind, const vtext::MessageTables& t) {
    std::string out;
    vtext::WriteTableRows(out, layout, kind, t);
    return out;
}

} // namespace

TEST(ScanParam, TextsAndNumbersFillTheirTargetsInOrder) {
    int32_t rows = 0, c1 = 0, c2 = 0, c3 = 0;
    std::string head, format, foot;
    std::vector<vtext::ScanTarget> t{vtext::scanNumberTarget(rows), vtext::scanTextTarget(head),
                                     vtext::scanTextTarget(format), vtext::scanTextTarget(foot),
                                     vtext::scanNumberTarget(c1),   vtext::scanNumberTarget(c2),
                                     vtext::scanNumberTarget(c3)};
    EXPECT_EQ(vtext::_vsscanparam(R"x( 10 "<t>" "<r>%s</r>" "</t>" %3 -2 ,7)x", t), 7);
    EXPECT_EQ(rows, 10);
    EXPECT_EQ(head, "<t>");
    EXPECT_EQ(format, "<r>%s</r>");
    EXPECT_EQ(foot, "</t>");
    EXPECT_EQ(c1, 3);
    EXPECT_EQ(c2, -2);
    EXPECT_EQ(c3, 7);
}

TEST(ScanParam, OddInputStaysInsideItsTargets) {
    int32_t n = 5, m = 5;
    std::string s = "old";
    std::vector<vtext::ScanTarget> t{vtext::scanTextTarget(s), vtext::scanNumberTarget(n),
                                     vtext::scanNumberTarget(m)};
    // An unclosed quote runs to the end.
    EXPECT_EQ(vtext::_vsscanparam(R"x( "open text)x", t), 1);
    EXPECT_EQ(s, "open text");
    // Numbers beyond 32 bits are clamped; the byte after the digits is eaten,
    // so "1x2" holds two numbers.
    EXPECT_EQ(vtext::_vsscanparam("99999999999 -99999999999", t), 2);
    EXPECT_EQ(n, INT32_MAX);
    EXPECT_EQ(m, INT32_MIN);
    EXPECT_EQ(vtext::_vsscanparam("1x2", t), 2);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(m, 2);
    // Double-byte characters are walked whole, outside a text and inside.
    const std::string kanji = sj("ア"); // 83 41
    EXPECT_EQ(vtext::_vsscanparam(kanji + "\"" + kanji + "\"", t), 1);
    EXPECT_EQ(s, kanji);
    EXPECT_EQ(vtext::_vsscanparam("", t), 0);
}

TEST(RowFormat, TextConversionsOnly) {
    std::vector<std::string> args{"ab", "cd", "efgh"};
    EXPECT_EQ(vtext::formatRow("[%s][%-4s][%4s]", args), "[ab][cd  ][efgh]");
    EXPECT_EQ(vtext::formatRow("[%.2s][%s][%s]%%", {"xyz"}), "[xy][][]%");
    // Any other conversion is written as it stands and takes no text.
    EXPECT_EQ(vtext::formatRow("%d %5x %s", {"t"}), "%d %5x t");
    // A precision never splits a double-byte character.
    const std::string kana = sj("アイ");
    EXPECT_EQ(vtext::formatRow("%.3s|", {kana}), sj("ア") + "|");
    // A '%' that is the second byte of a pair starts no conversion.
    EXPECT_EQ(vtext::formatRow("[\x81%s]%s", {"t"}), "[\x81%s]t");
    // A row is cut at 2047 bytes, however wide the format asks for.
    EXPECT_EQ(vtext::formatRow("%99999s", {"x"}).size(), 2047u);
    EXPECT_EQ(vtext::formatRow("%s%s", {std::string(2000, 'a'), std::string(2000, 'b')}).size(), 2047u);
}

TEST(TableRows, AnnouncerBlocksAreFilledUpWithNumberedRows) {
    std::vector<AnnouncerEntry> a = announcers(3);
    vtext::MessageTables t{a.data(), 3};
    // Three records, two rows per block: rows 1 and 2, then row 3 and one
    // filler row that still shows its number 4. Slot 0 is never listed.
    EXPECT_EQ(rows(R"x( 2 "<" "(%s:%s:%s:%s)" ">" 3 0 1 2)x", vtext::TableKind::Announcers, t),
              "<(1:id1:path1:name1)(2:id2:path2:name2)>\r\n"
              "<(3:id3:path3:name3)(4:::)>\r\n");
}

TEST(TableRows, MessageColumnsAndEmptyFillers) {
    std::vector<MsgEntry> p = messages(1, "p");
    std::vector<MsgEntry> c = messages(2, "c");
    vtext::MessageTables t{nullptr, 0, p.data(), 1, c.data(), 2};
    EXPECT_EQ(rows(R"x(2 "" "%s|%s|%s|%s|%s;" "" 12 0 1 2 3)x", vtext::TableKind::Pilots, t),
              "1|p1|p1.kwp|t0p1 t1p1 t2p1 t3p1|w0p1 w1p1 w2p1 w3p1;||||;\r\n");
    EXPECT_EQ(
        rows(R"x(1 "" "%s %s %s %s %s %s %s %s" "" 4 5 6 7 8 9 10 11)x", vtext::TableKind::Computers, t),
        "t0c1 t1c1 t2c1 t3c1 w0c1 w1c1 w2c1 w3c1\r\n"
        "t0c2 t1c2 t2c2 t3c2 w0c2 w1c2 w2c2 w3c2\r\n");
    // Column numbers outside the record's columns are empty texts.
    EXPECT_EQ(rows(R"x(5 "" "[%s%s]" "" 13 -1)x", vtext::TableKind::Computers, t), "[][][][][]\r\n");
    // Every filler row gets the CR in front of a bare LF of the format.
    EXPECT_EQ(rows("4 \"h\" \"<%s>\n\" \"f\" 0", vtext::TableKind::Pilots, t),
              "h<p1>\r\n<>\r\n<>\r\n<>\r\nf\r\n");
}

TEST(TableRows, LayoutsThatWriteNothingOrOneBlock) {
    std::vector<AnnouncerEntry> a = announcers(3);
    vtext::MessageTables t{a.data(), 3};
    EXPECT_EQ(rows(R"x(2 "h" "%s" "f")x", vtext::TableKind::Announcers, t), ""); // no column
    EXPECT_EQ(rows(R"x(2 "h" "%s" "f" 0)x", vtext::TableKind::Pilots, t), "");   // no records
    vtext::MessageTables none{a.data(), 0};
    EXPECT_EQ(rows(R"x(2 "h" "%s" "f" 0)x", vtext::TableKind::Announcers, none), "");
    // Rows per block below 1 would never finish a block: all rows in one.
    EXPECT_EQ(rows(R"x(0 "h" "%s," "f" 0)x", vtext::TableKind::Announcers, t), "hid1,id2,id3,f\r\n");
    EXPECT_EQ(rows(R"x(-3 "h" "%s," "f" 0)x", vtext::TableKind::Announcers, t), "hid1,id2,id3,f\r\n");
}

TEST(TableRows, CountsBeyondTheTablesAreCapped) {
    // The caller's arrays hold 50, 200 and 100 slots; a larger count must not
    // read past them (the sanitizer build watches these reads).
    std::vector<AnnouncerEntry> a = announcers(49);
    std::vector<MsgEntry> p = messages(199, "p");
    std::vector<MsgEntry> c = messages(99, "c");
    vtext::MessageTables t{a.data(), 100000, p.data(), 100000, c.data(), 100000};
    auto lineCount = [](const std::string& s) { return std::count(s.begin(), s.end(), '\n'); };
    EXPECT_EQ(lineCount(rows(R"x(1 "" "%s" "" 0)x", vtext::TableKind::Announcers, t)), 49);
    EXPECT_EQ(lineCount(rows(R"x(1 "" "%s" "" 0)x", vtext::TableKind::Pilots, t)), 199);
    EXPECT_EQ(lineCount(rows(R"x(1 "" "%s" "" 0)x", vtext::TableKind::Computers, t)), 99);
    // A huge rows-per-block writes a bounded block.
    std::string big = rows(R"x(2000000000 "" "%s;" "" 3)x", vtext::TableKind::Announcers, t);
    EXPECT_EQ(std::count(big.begin(), big.end(), ';'), vtext::MaxRowsPerBlock);
}

TEST(MessageTemplate, TableLinesExpandAndOtherLinesCompose) {
    std::vector<AnnouncerEntry> a = announcers(1);
    std::vector<MsgEntry> p = messages(1, "p");
    std::vector<MsgEntry> c = messages(1, "c");
    vtext::MessageTables t{a.data(), 1, p.data(), 1, c.data(), 1};
    vtext::ValueList v(std::vector<std::string>{"x\r\ny", std::string(100, 'l')});
    const std::string templ = "#Title\r\n"
                              "top %00B\r\n"
                              "!A 1 \"A:\" \"%s\" \".\" 0\r\n"
                              "!P 1 \"P:\" \"%s\" \".\" 0\r\n"
                              "!C 1 \"C:\" \"%s\" \".\" 0\r\n"
                              "!X not a table %01F\r\n";
    EXPECT_EQ(vtext::expandMessageTemplate(vtext::splitTemplate(templ), v, t),
              "top x<BR>y\r\nA:id1.\r\nP:p1.\r\nC:c1.\r\n!X not a table " + std::string(100, 'l') + "\r\n");
}
