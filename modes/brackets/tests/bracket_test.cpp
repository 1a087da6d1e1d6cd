// The bracket without a display: rounds and seed order, match numbers and
// byes for every entrant count from 3 to 20 and for 600, the seed slots and
// their editing, the text bracket (its lines join up for every count, golden
// for small ones, winners' paths in result mode) and the picture geometry.
#include "modes/brackets/bracket.h"
#include "modes/frame/tests/modetest.h"

#include <algorithm>
#include <functional>
#include <set>

namespace {

using namespace modetest;
using brackets::Bracket;
using brackets::BracketNode;
using testsupport::sj;

modes::Entrant entrant(int i) {
    modes::Entrant e;
    e.Path = "ak\\e" + std::to_string(i) + ".dat";
    e.Record = modes::newRow();
    sjis::writeField(e.Record->Entry.OwnerName, "Owner" + std::to_string(i));
    sjis::writeField(e.Record->Entry.PilotName, "Pilot" + std::to_string(i));
    return e;
}

modes::EntrantList entrants(int count) {
    modes::EntrantList list;
    for (int i = 1; i <= count; ++i) list.push_back(entrant(i));
    return list;
}

std::vector<int> slotSeeds(const Bracket& b) {
    std::vector<int> seeds;
    for (int i = 0; i < b.slotCount(); ++i) seeds.push_back(b.slot(i)->Seed);
    return seeds;
}

// Every node of the tree, parents before children.
void forEachNode(BracketNode* node, const std::function<void(BracketNode&)>& f) {
    if (!node) return;
    f(*node);
    for (auto& c : node->Child) forEachNode(c.get(), f);
}

// A vertical run of '|' (or '*') in a column is closed by '+' (or '*') at
// both ends: every passing line belongs to a match.
void expectJoined(const modes::Lines& lines, const std::string& what) {
    auto at = [&lines](size_t row, size_t col) { return col < lines[row].size() ? lines[row][col] : ' '; };
    for (size_t r = 0; r < lines.size(); ++r) {
        for (size_t c = Bracket::SeedColumn; c < lines[r].size(); ++c) {
            char ch = at(r, c);
            if (ch != '|') continue;
            char up = r > 0 ? at(r - 1, c) : ' ';
            char down = r + 1 < lines.size() ? at(r + 1, c) : ' ';
            EXPECT_TRUE(up == '|' || up == '+' || up == '*') << what << " row " << r << " col " << c;
            EXPECT_TRUE(down == '|' || down == '+' || down == '*') << what << " row " << r << " col " << c;
        }
    }
}

TEST(Bracket, RoundsAreTheBinaryDigitsOfNMinusOne) {
    const std::pair<int, int> cases[] = {{2, 1},  {3, 2},  {4, 2},   {5, 3},    {8, 3},     {9, 4},
                                         {16, 4}, {17, 5}, {256, 8}, {600, 10}, {2000, 11}, {9999, 14}};
    for (auto [n, r] : cases) EXPECT_EQ(brackets::roundCount(n), r) << n;
}

TEST(Bracket, StrongestSeedsMeetLast) {
    Bracket b;
    b.build(8, entrants(8), false);
    EXPECT_EQ(slotSeeds(b), (std::vector<int>{1, 8, 5, 4, 3, 6, 7, 2}));
    b.build(16, entrants(16), false);
    EXPECT_EQ(slotSeeds(b), (std::vector<int>{1, 16, 9, 8, 5, 12, 13, 4, 3, 14, 11, 6, 7, 10, 15, 2}));
}

TEST(Bracket, ThreeAndFiveEntrants) {
    Bracket b;
    b.build(3, entrants(3), false);
    EXPECT_EQ(b.rounds(), 2);
    ASSERT_EQ(b.matchCount(), 2);
    // One first-round match, seeds 3 and 2; seed 1 reaches the final by a bye.
    const BracketNode* first = b.match(1);
    EXPECT_EQ(first->Round, 1);
    EXPECT_EQ(first->Child[0]->Seed, 3);
    EXPECT_EQ(first->Child[1]->Seed, 2);
    EXPECT_EQ(b.match(2), b.root());
    const BracketNode& bye = *b.root()->Child[0];
    EXPECT_FALSE(bye.isMatch());
    EXPECT_EQ(bye.Index, 1);
    EXPECT_EQ(bye.Row, b.entrants()[0].row());

    b.build(5, entrants(5), false);
    EXPECT_EQ(b.rounds(), 3);
    ASSERT_EQ(b.matchCount(), 4);
    EXPECT_EQ(b.match(1)->Round, 1);
    EXPECT_EQ(b.match(1)->Child[0]->Seed, 5);
    EXPECT_EQ(b.match(1)->Child[1]->Seed, 4);
    // Semifinals: seed 1 against the winner of match 1, seeds 3 and 2.
    EXPECT_EQ(b.match(2)->Round, 2);
    EXPECT_EQ(b.match(2)->Child[0]->Index, 1);
    EXPECT_EQ(b.match(2)->Child[1].get(), b.match(1));
    EXPECT_EQ(b.match(3)->Child[0]->Index, 3);
    EXPECT_EQ(b.match(3)->Child[1]->Index, 2);
    EXPECT_EQ(b.match(4), b.root());
}

TEST(Bracket, EveryCountFromThreeToTwenty) {
    for (int n = 3; n <= 20; ++n) {
        SCOPED_TRACE(n);
        Bracket b;
        b.build(n, entrants(n), false);
        const int r = b.rounds();
        ASSERT_EQ(b.slotCount(), n);
        std::vector<int> seeds = slotSeeds(b);
        std::sort(seeds.begin(), seeds.end());
        for (int i = 0; i < n; ++i) EXPECT_EQ(seeds[static_cast<size_t>(i)], i + 1);
        // n - 1 matches numbered round by round; the final is the last.
        ASSERT_EQ(b.matchCount(), n - 1);
        EXPECT_EQ(b.root()->MatchNo, n - 1);
        EXPECT_EQ(b.root()->Round, r);
        int firstRound = 0;
        for (int m = 1; m <= n - 1; ++m) {
            const BracketNode* node = b.match(m);
            ASSERT_NE(node, nullptr);
            EXPECT_EQ(node->MatchNo, m);
            if (m > 1) {
                EXPECT_GE(node->Round, b.match(m - 1)->Round);
            }
            if (node->Round == 1) ++firstRound;
            // The two sides' seeds add up to 2^depth + 1.
            EXPECT_EQ(node->Child[0]->Seed + node->Child[1]->Seed, (1 << node->Depth) + 1);
        }
        EXPECT_EQ(firstRound, n - (1 << (r - 1)));
        // Byes only in the first round, for the best seeds.
        int byes = 0;
        forEachNode(b.root(), [&](BracketNode& node) {
            if (node.isSlot() || node.isMatch()) return;
            EXPECT_EQ(node.Depth, r);
            EXPECT_LE(node.Seed, (1 << r) - n);
            EXPECT_EQ(node.Index, node.Seed);
            ++byes;
        });
        EXPECT_EQ(byes, (1 << r) - n);
        // One line per seed and one junction per match; every passing line
        // ends at a match.
        modes::Lines lines = b.text(false);
        EXPECT_EQ(lines.size(), static_cast<size_t>(2 * n - 1));
        expectJoined(lines, "plain");
        for (const std::string& line : lines) {
            EXPECT_EQ(line.find('*'), std::string::npos);
            EXPECT_NE(line.back(), ' ');
        }
    }
}

// 600 entrants, worked out by hand: R = 10; seeds 1 .. 424 (1024 - 600)
// have byes; the first round is 600 - 512 = 88 matches, each seed against
// 1025 - seed, the top one 513 against 512 (seed 1's quarter, 512 on a
// lower side so the other seed comes first), the bottom one 511 against 514
// (above seed 2's bye); the second round is matches 89 .. 344; the final 599.
TEST(Bracket, SixHundredEntrants) {
    Bracket b;
    b.build(600, entrants(600), false);
    EXPECT_EQ(b.rounds(), 10);
    ASSERT_EQ(b.matchCount(), 599);
    EXPECT_EQ(b.root()->MatchNo, 599);
    for (int m = 1; m <= 88; ++m) {
        const BracketNode& match = *b.match(m);
        EXPECT_EQ(match.Round, 1);
        EXPECT_EQ(match.Child[0]->Seed + match.Child[1]->Seed, 1025);
        EXPECT_GT(std::min(match.Child[0]->Seed, match.Child[1]->Seed), 424);
    }
    EXPECT_EQ(b.match(1)->Child[0]->Seed, 513);
    EXPECT_EQ(b.match(88)->Child[1]->Seed, 514);
    EXPECT_EQ(b.match(89)->Round, 2);
    EXPECT_EQ(b.match(344)->Round, 2);
    EXPECT_EQ(b.match(345)->Round, 3);
    int byes = 0;
    forEachNode(b.root(), [&](BracketNode& node) { byes += !node.isSlot() && !node.isMatch(); });
    EXPECT_EQ(byes, 424);
}

// Lets the upper side (or, with `lowerWins`, the lower side) win every match.
void decideAll(Bracket& b, bool lowerWins) {
    for (int m = 1; m <= b.matchCount(); ++m) {
        BracketNode* node = b.match(m);
        node->Result = lowerWins ? brackets::LowerWon : brackets::UpperWon;
        const BracketNode& w = *node->Child[node->Result];
        node->Index = w.Index;
        node->Row = w.Row;
    }
}

TEST(Bracket, ResultModeDrawsTheWinnersPaths) {
    for (int n = 3; n <= 20; ++n) {
        for (bool lower : {false, true}) {
            SCOPED_TRACE(std::to_string(n) + (lower ? " lower" : " upper"));
            Bracket b;
            b.build(n, entrants(n), false);
            decideAll(b, lower);
            modes::Lines lines = b.text(true);
            ASSERT_EQ(lines.size(), static_cast<size_t>(2 * n - 1));
            expectJoined(lines, "result");
            // The champion's seed line is starred to its end of the seed
            // block, the final's junction has its star.
            const int champion = b.root()->Index;
            size_t stars = 0;
            for (const std::string& line : lines) stars += std::count(line.begin(), line.end(), '*');
            EXPECT_GT(stars, 0u);
            bool found = false;
            for (const std::string& line : lines)
                if (line.substr(0, 39).find(" Pilot" + std::to_string(champion) + " ") != std::string::npos) {
                    found = true;
                    EXPECT_EQ(line[39], '*') << line;
                }
            EXPECT_TRUE(found);
        }
    }
}

TEST(Bracket, SmallBracketsGolden) {
    std::string all;
    for (int n : {3, 4, 5, 6, 8}) {
        Bracket b;
        b.build(n, entrants(n), false);
        all += "n=" + std::to_string(n) + "\r\n" + modes::memoText(b.text(false));
        decideAll(b, false);
        // A draw in the final's lower half: nobody comes out of that match.
        BracketNode* lowerSemi = b.root()->Child[1].get();
        lowerSemi->Result = brackets::NoWinner;
        lowerSemi->Index = brackets::NoEntrant;
        b.root()->Result = brackets::UpperWon;
        all += "result\r\n" + modes::memoText(b.text(true));
    }
    expectGolden(all, "bracket_small.txt");
}

TEST(Bracket, FewerEntrantsThanSeedsShowTheAbsentRow) {
    Bracket b;
    b.build(6, entrants(4), false);
    int absent = 0;
    for (int i = 0; i < b.slotCount(); ++i) {
        const BracketNode* s = b.slot(i);
        if (s->Seed > 4) {
            EXPECT_EQ(s->Index, brackets::NoEntrant);
            EXPECT_EQ(s->Row, &b.absentRow());
            ++absent;
        }
    }
    EXPECT_EQ(absent, 2);
    EXPECT_EQ(sjis::readField(b.absentRow().PilotName), sj("（不在）"));
    EXPECT_EQ(sjis::readField(b.absentRow().OwnerName), "");
    EXPECT_EQ(b.rowOf(5), nullptr);
    EXPECT_EQ(b.rowOf(0), nullptr);
    EXPECT_EQ(b.rowOf(4), b.entrants()[3].row());

    // By hand: every slot starts absent.
    b.build(5, {}, false);
    for (int i = 0; i < b.slotCount(); ++i) EXPECT_EQ(b.slot(i)->Row, &b.absentRow());
    for (const std::string& line : b.text(false))
        if (line.size() > 2 && line[1] != ' ') ADD_FAILURE() << "an owner in an empty bracket: " << line;
}

TEST(Bracket, SeedSlotEditing) {
    Bracket b;
    b.build(3, entrants(2), false); // slots: seed 1 (bye), 3 (absent), 2
    ASSERT_EQ(slotSeeds(b), (std::vector<int>{1, 3, 2}));
    // An empty slot appends a new entrant.
    ASSERT_TRUE(b.assign(1, entrant(7)));
    ASSERT_EQ(b.entrants().size(), 3u);
    EXPECT_EQ(b.slot(1)->Index, 3);
    EXPECT_EQ(sjis::readField(b.slot(1)->Row->PilotName), "Pilot7");
    // An occupied slot keeps its list place and row, with the new contents;
    // the bye above it follows.
    EntryRecord* kept = b.slot(0)->Row;
    ASSERT_TRUE(b.assign(0, entrant(9)));
    EXPECT_EQ(b.entrants().size(), 3u);
    EXPECT_EQ(b.slot(0)->Index, 1);
    EXPECT_EQ(b.slot(0)->Row, kept);
    EXPECT_EQ(b.entrants()[0].Path, "ak\\e9.dat");
    EXPECT_EQ(sjis::readField(kept->OwnerName), "Owner9");
    const BracketNode& bye = *b.root()->Child[0];
    EXPECT_EQ(bye.Row, kept);
    EXPECT_EQ(bye.Index, 1);
    // Back to absent: the row is freed, the list entry is an empty path, the
    // slot and the bye above it show the absent row.
    ASSERT_TRUE(b.clearSlot(0));
    EXPECT_EQ(b.entrants()[0].Path, "");
    EXPECT_EQ(b.entrants()[0].row(), nullptr);
    EXPECT_EQ(b.slot(0)->Row, &b.absentRow());
    EXPECT_EQ(bye.Row, &b.absentRow());
    EXPECT_EQ(bye.Index, brackets::NoEntrant);
    EXPECT_EQ(b.rowOf(1), nullptr);
    // The emptied slot takes the next entrant as a new one.
    ASSERT_TRUE(b.assign(0, entrant(4)));
    EXPECT_EQ(b.slot(0)->Index, 4);
    EXPECT_EQ(bye.Index, 4);
    // A file whose name another entrant has would share its output AK
    // files: refused, wherever it comes from.
    EXPECT_FALSE(b.assign(1, entrant(2)));
    modes::Entrant same = entrant(8);
    same.Path = "other\\E2.DA1";
    EXPECT_FALSE(b.assign(1, std::move(same)));
    EXPECT_EQ(b.slot(1)->Index, 3);
    EXPECT_TRUE(b.assign(1, entrant(7))); // its own file again
    EXPECT_EQ(brackets::outputStem("Ak\\ak01.Dat"), "AK01");
    // Outside the bracket nothing changes.
    EXPECT_FALSE(b.assign(3, entrant(5)));
    EXPECT_FALSE(b.assign(-1, entrant(5)));
    EXPECT_FALSE(b.clearSlot(3));
    EXPECT_EQ(b.entrants().size(), 4u);
}

TEST(Bracket, PictureGeometryAndSlotsUnderAPoint) {
    Bracket b;
    b.build(5, entrants(5), false);
    brackets::Picture p = b.picture(false);
    EXPECT_EQ(p.Width, 3 * 32 + 300);
    EXPECT_EQ(p.Height, 5 * 24 + 20);
    // Owner and pilot per row, in the slots' order.
    ASSERT_EQ(p.Texts.size(), 10u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(p.Texts[static_cast<size_t>(2 * i)].X, 10);
        EXPECT_EQ(p.Texts[static_cast<size_t>(2 * i)].Top, 10 + 24 * i);
        EXPECT_EQ(p.Texts[static_cast<size_t>(2 * i + 1)].X, 100);
        EXPECT_EQ(p.Texts[static_cast<size_t>(2 * i + 1)].Text, "Pilot" + std::to_string(b.slot(i)->Seed));
    }
    for (const brackets::PictureLine& l : p.Lines) {
        EXPECT_FALSE(l.Winner);
        EXPECT_GE(std::min(l.X1, l.X2), 220);
        EXPECT_LE(std::max(l.X1, l.X2), p.Width);
        EXPECT_TRUE(l.X1 == l.X2 || l.Y1 == l.Y2);
    }
    // Result mode: the champion's lines are the winners' ones.
    decideAll(b, true);
    p = b.picture(true);
    int winners = 0;
    for (const brackets::PictureLine& l : p.Lines) winners += l.Winner;
    EXPECT_GE(winners, b.rounds() + 1);

    // Rows from y = 10, 24 pixels each; the name column is 220 wide.
    EXPECT_EQ(b.slotAt(50, 9, false), -1);
    EXPECT_EQ(b.slotAt(50, 10, false), 0);
    EXPECT_EQ(b.slotAt(50, 33, false), 0);
    EXPECT_EQ(b.slotAt(50, 34, false), 1);
    EXPECT_EQ(b.slotAt(50, 10 + 24 * 5 - 1, false), 4);
    EXPECT_EQ(b.slotAt(50, 10 + 24 * 5, false), -1);
    EXPECT_EQ(b.slotAt(300, 40, false), 1);
    EXPECT_EQ(b.slotAt(300, 40, true), -1);
    EXPECT_EQ(b.slotAt(219, 40, true), 1);
    // Owners 150 pixels wide put the pilots at 10 + 150 + 8, pilots 200
    // wide the lines at 168 + 200 + 8 = 376, 156 further right.
    b.fitColumns(150, 200);
    p = b.picture(false);
    EXPECT_EQ(p.Width, 3 * 32 + 300 + 156);
    EXPECT_EQ(p.Texts[1].X, 168);
    EXPECT_EQ(b.slotAt(375, 40, true), 1);
    Bracket empty;
    EXPECT_EQ(empty.slotAt(50, 50, false), -1);
    EXPECT_EQ(empty.picture(false).Width, 0);
    EXPECT_TRUE(empty.text(false).empty());
}

TEST(Bracket, LongNamesAreCutAndUnsetSidesSaySo) {
    modes::EntrantList list;
    modes::Entrant e = entrant(1);
    sjis::writeField(e.Record->Entry.OwnerName, sj("ＡＢＣＤＥＦＧＨＩＪＫＬ"));
    sjis::writeField(e.Record->Entry.PilotName, sj("ぱいろっとのなまえがながい"));
    list.push_back(std::move(e));
    modes::Entrant bare;
    bare.Path = "ak\\bare.dat"; // a side with no row at all
    list.push_back(std::move(bare));
    list.push_back(entrant(3));
    Bracket b;
    b.build(3, std::move(list), false);
    modes::Lines lines = b.text(false);
    ASSERT_EQ(lines.size(), 5u);
    // Half width, cut to 16 and 20 bytes.
    EXPECT_EQ(lines[0].substr(0, 39), " ABCDEFGHIJKL     " + sj("ﾊﾟｲﾛｯﾄﾉﾅﾏｴｶﾞﾅｶﾞｲ") + "     ");
    EXPECT_EQ(lines[4].substr(0, 39), " " + sj("（未設定）") + std::string(27, ' ') + " ");
    // Option 39 keeps full width.
    Bracket wide;
    modes::EntrantList one;
    one.push_back(entrant(1));
    sjis::writeField(one[0].Record->Entry.OwnerName, sj("ＡＢＣＤＥＦＧＨＩＪＫＬ"));
    wide.build(3, std::move(one), true);
    EXPECT_EQ(wide.text(false)[0].substr(0, 17), " " + sj("ＡＢＣＤＥＦＧＨ"));
}

} // namespace
