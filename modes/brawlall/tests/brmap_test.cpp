// The battle royal's map without a picture: placement with and without a
// preset start cell, the pixel geometry at the grid's edges, the labels and
// state colours of the marks, and the matching of marks against mark lists.
#include "base/sjis.h"
#include "modes/brawlall/brmap.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

using brawl::BrMap;
using testsupport::sj;

modes::Entrant entrant(int x = 0, int y = 0, bool preset = false) {
    modes::Entrant e;
    e.Path = "ak.dat";
    e.Record = modes::newRow();
    e.Record->X = x;
    e.Record->Y = y;
    e.Record->PresetPosition = preset ? 1 : 0;
    e.Record->OutStatus = -1;
    return e;
}

// Hands out the given numbers; a draw past the end fails the test.
struct Script {
    std::deque<int> values;
    int operator()() {
        if (values.empty()) {
            ADD_FAILURE() << "one random number more than scripted";
            return 0;
        }
        int v = values.front();
        values.pop_front();
        return v;
    }
};

TEST(BrMapPlace, PresetCellsAreClampedAndATakenOneWalksAtRandom) {
    modes::EntrantList list;
    list.push_back(entrant(99, 3, true)); // beyond the last column
    list.push_back(entrant(12, -5, true));
    list.push_back(entrant(11, 0, true)); // taken: walks
    Script script{{
        // Third entrant: (11, 0) taken. r1 mod 100 = 51 → X axis, r2 = 51 → +1: (12, 0), taken again.
        151,
        51,
        // r1 mod 100 = 50 → Y axis, r2 = 50 → −1: (12, −1) clamped to (12, 0), still taken.
        50,
        50,
        // Y axis, +1: (12, 1), free.
        0,
        99,
    }};
    BrMap map;
    map.Place(12, 15, list, std::ref(script));
    EXPECT_TRUE(script.values.empty());
    EXPECT_EQ(map.columns(), 12);
    EXPECT_EQ(map.rows(), 15);
    EXPECT_EQ(map.entrantCount(), 3);
    EXPECT_EQ(+list[0].Record->X, 11);
    EXPECT_EQ(+list[0].Record->Y, 3);
    EXPECT_EQ(map.cell(11, 3), 1);
    EXPECT_EQ(+list[1].Record->X, 11);
    EXPECT_EQ(+list[1].Record->Y, 0);
    EXPECT_EQ(map.cell(11, 0), 2);
    EXPECT_EQ(+list[2].Record->X, 11);
    EXPECT_EQ(+list[2].Record->Y, 1);
    EXPECT_EQ(map.cell(11, 1), 3);
}

TEST(BrMapPlace, RandomCellsAreDrawnUntilOneIsEmpty) {
    modes::EntrantList list;
    list.push_back(entrant());
    list.push_back(entrant());
    // 10 × 40 after clamping: first (3, 4); then (13 mod 10, 44 mod 40) = (3, 4) taken, then (0, 9).
    Script script{{3, 4, 13, 44, 10, 9}};
    BrMap map;
    map.Place(5, 50, list, std::ref(script));
    EXPECT_EQ(map.columns(), 10);
    EXPECT_EQ(map.rows(), 40);
    EXPECT_TRUE(script.values.empty());
    EXPECT_EQ(map.cell(3, 4), 1);
    EXPECT_EQ(map.cell(0, 9), 2);
}

TEST(BrMapPlace, NoMoreEntrantsThanCells) {
    modes::EntrantList list;
    for (int i = 0; i < 101; ++i) list.push_back(entrant());
    // Draw pair m is the cell (m mod 10, m / 10 mod 10): every cell in turn.
    int k = 0;
    auto walk = [&k] {
        int m = k / 2, v = k % 2 == 0 ? m % 10 : (m / 10) % 10;
        ++k;
        return v;
    };
    BrMap map;
    map.Place(10, 10, list, walk);
    EXPECT_EQ(map.entrantCount(), 100);
    int used = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) used += map.cell(x, y) != 0;
    EXPECT_EQ(used, 100);
}

TEST(BrMapGeometry, PixelsOfTheGridAndItsEdges) {
    modes::EntrantList list;
    list.push_back(entrant(0, 0, true));
    list.push_back(entrant(9, 11, true));
    BrMap map;
    EXPECT_EQ(map.EntrantAt(20, 20), -1); // no cells yet
    map.Place(10, 12, list, [] { return 0; });
    EXPECT_EQ(map.pictureWidth(), 270);
    EXPECT_EQ(map.pictureHeight(), 320);
    EXPECT_EQ(map.EntrantAt(10, 10), 0);
    EXPECT_EQ(map.EntrantAt(34, 34), 0);
    EXPECT_EQ(map.EntrantAt(35, 10), -1); // the next cell is empty
    // Left of and above the grid: no cell, although (px − 10) / 25 is 0 there.
    EXPECT_EQ(map.EntrantAt(5, 20), -1);
    EXPECT_EQ(map.EntrantAt(20, 9), -1);
    EXPECT_EQ(map.EntrantAt(259, 309), 1);
    EXPECT_EQ(map.EntrantAt(260, 309), -1); // the grid's right edge
    EXPECT_TRUE(map.insideGrid(260, 310));
    EXPECT_FALSE(map.insideGrid(261, 310));
    EXPECT_FALSE(map.insideGrid(9, 100));

    map.SetCell(40, 40, 1); // column 1, row 1
    EXPECT_EQ(map.cell(1, 1), 2);
    map.SetCell(40, 40, -1);
    EXPECT_EQ(map.cell(1, 1), 0);
    map.SetCell(2, 2, 1);     // outside: ignored
    map.SetCell(1000, 40, 1); // outside: ignored
    EXPECT_EQ(map.cell(0, 0), 1);
    EXPECT_EQ(map.cell(99, 99), 0);
    EXPECT_EQ(BrMap::labelX(2), 63);
    EXPECT_EQ(BrMap::labelY(3), 89);
    EXPECT_EQ(brawl::clampMapSize(9), 10);
    EXPECT_EQ(brawl::clampMapSize(41), 40);
    EXPECT_EQ(brawl::clampMapSize(25), 25);
}

TEST(BrMapMarks, LabelsAndColours) {
    modes::Entrant e = entrant();
    RoyalEntryRecord& r = *e.Record;
    EXPECT_EQ(brawl::markLabel(r, 10), "0a");   // no emblem: the number in hex
    EXPECT_EQ(brawl::markLabel(r, 256), "100"); // 40 × 40 cells hold more than 0xff
    r.HasMark = 1;
    sjis::writeField(r.Mark, "ABCD");
    EXPECT_EQ(brawl::markLabel(r, 10), "AB");
    sjis::writeField(r.Mark, sj("★騎士"));
    EXPECT_EQ(brawl::markLabel(r, 10), sj("★"));
    sjis::writeField(r.Mark, sj("A★"));
    EXPECT_EQ(brawl::markLabel(r, 10), "A"); // never half a character

    const std::pair<int, uint32_t> inGame[] = {{0, brawl::colour::Magenta}, {50, brawl::colour::Magenta},
                                               {51, brawl::colour::Lime},   {70, brawl::colour::Lime},
                                               {71, brawl::colour::Cyan},   {85, brawl::colour::Cyan},
                                               {86, brawl::colour::Yellow}, {95, brawl::colour::Yellow},
                                               {96, brawl::colour::White},  {100, brawl::colour::White}};
    for (auto [pct, colour] : inGame) {
        r.HitPointPct = pct;
        EXPECT_EQ(brawl::MarkColour(r), colour) << pct;
    }
    r.HitPointPct = 100;
    const std::pair<int, uint32_t> out[] = {
        {0, brawl::colour::Blue}, {1, brawl::colour::Blue}, {2, brawl::colour::Blue}, {8, brawl::colour::Red},
        {16, brawl::colour::Red}, {17, brawl::colour::Red}, {5, brawl::colour::Blue}};
    for (auto [status, colour] : out) {
        r.OutStatus = status;
        EXPECT_EQ(brawl::MarkColour(r), colour) << status;
    }
}

TEST(BrMapMarks, MarkLists) {
    using brawl::markListMatches;
    EXPECT_TRUE(markListMatches("**", "AB"));
    EXPECT_TRUE(markListMatches("**", "0a"));
    EXPECT_FALSE(markListMatches("**", sj("★")));
    EXPECT_TRUE(markListMatches("*B", "AB"));
    EXPECT_FALSE(markListMatches("*B", "AC"));
    EXPECT_FALSE(markListMatches("*B", sj("★")));
    EXPECT_TRUE(markListMatches("A*", "A")); // a one-byte mark: its second byte is 0
    EXPECT_TRUE(markListMatches("A*", "AZ"));
    EXPECT_FALSE(markListMatches("A*", "BZ"));
    EXPECT_TRUE(markListMatches(sj("＊"), sj("★")));
    EXPECT_TRUE(markListMatches(sj("＊"), sj("騎士")));
    EXPECT_FALSE(markListMatches(sj("＊"), "AB"));
    EXPECT_TRUE(markListMatches(sj("☆★"), sj("★団")));
    EXPECT_FALSE(markListMatches(sj("☆★"), sj("◇")));
    EXPECT_TRUE(markListMatches("XYAB", "ABC")); // the first two bytes of the mark count
    EXPECT_FALSE(markListMatches("XAB", "AB"));  // units start at the list's start
    EXPECT_FALSE(markListMatches("ABC", "C"));   // an odd last byte is ignored
    EXPECT_FALSE(markListMatches("", "AB"));
    EXPECT_FALSE(markListMatches("", ""));
}

} // namespace
