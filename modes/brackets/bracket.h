// The tournament bracket without a display: the single-elimination tree of
// n entrants over R = ceil(log2 n) rounds, built so that the strongest seeds
// meet last and missing seeds give byes; the seed slots the set-up window
// edits; the text bracket of the progress memo and the result file; and the
// geometry of the bracket picture, which the set-up window only paints.
//
// Tree: depth 1 is the final, depth R the first round, depth R + 1 the seed
// slots. A node at depth d with seed a meets seed b = 2^d - a + 1; a child
// exists only when its seed is at most n. A node with two children is a
// match (numbered round by round from the first round, top to bottom; the
// final is match n - 1); a node with one child is a bye that carries that
// child's entrant. Seeds from top to bottom for R = 3: 1 8 5 4 3 6 7 2.
//
// An entrant is its place in the entrant list: index = list position + 1
// (the seed, until the slots are edited), -1 for nobody. The bracket owns
// the entrant list; node rows point into it or at the bracket's own absent
// row ("（不在）"), or are null where a side has no row at all.
#pragma once

#include "common/vellcmn.h"
#include "modes/frame/entrants.h"
#include "modes/frame/tables.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brackets {

inline constexpr int NoEntrant = -1;

// A match's result: the side that won, or nobody (a draw, or no side).
enum MatchResult : int { UpperWon = 0, LowerWon = 1, NoWinner = 2 };

struct BracketNode {
    EntryRecord* Row = nullptr;            // entrant row, the bracket's absent row, or null
    int Index = NoEntrant;                 // entrant index (list position + 1), or -1
    std::unique_ptr<BracketNode> Child[2]; // upper, lower; either may be missing
    BracketNode* Parent = nullptr;
    int Side = 0;    // 0 upper, 1 lower side of its parent (the root: 0)
    int Seed = 0;    // the seed this node was built for
    int Depth = 0;   // 1 the final .. R the first round, R + 1 a seed slot
    int MatchNo = 0; // 0 when the node is no match
    int Round = 0;   // R - depth + 1
    int Result = NoWinner;
    std::vector<int> Path; // sides from the root down to this node

    bool isMatch() const { return MatchNo > 0; }
    bool isSlot() const { return !Child[0] && !Child[1]; }
};

using modes::outputStem;

// R: the number of binary digits of n - 1 (3 -> 2, 4 -> 2, 5 -> 3, 9 -> 4).
int roundCount(int n);

// The bracket picture as lines and texts in pixels; the window paints it
// on a ground of display colour 7, texts in colour 0, lines in colour 0
// width 2, winners' lines (result mode) in colour 1 width 4. A bracket of
// thousands of entrants is tens of thousands of pixels high: the window
// paints only the strip in view, and copies the whole strip by strip.
struct PictureText {
    int X = 0;
    int Top = 0; // top of the 24-pixel row
    std::string Text;
};
struct PictureLine {
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool Winner = false;
};
struct Picture {
    int Width = 0;
    int Height = 0;
    std::vector<PictureText> Texts; // in row order, top to bottom
    std::vector<PictureLine> Lines;

    // What shows between y = top and y = bottom (exclusive): the texts of
    // the rows that reach into the strip and the lines that do, a line's
    // half width included.
    Picture strip(int top, int bottom) const;
};

class Bracket {
public:
    // The largest bracket: as many entrants as the count box takes.
    static constexpr int MaxEntrants = 9999;
    // Picture layout. The pilot and the line columns are the least places:
    // fitColumns moves them right when the names need more room.
    static constexpr int OwnerColumn = 10;
    static constexpr int PilotColumn = 100;
    static constexpr int RowTop = 10;
    static constexpr int RowHeight = 24;
    static constexpr int NameColumn = 220;
    static constexpr int DepthStep = 32;
    static constexpr int SeedColumn = 39;
    // Room kept after the longest owner and pilot name.
    static constexpr int NameGap = 8;

    Bracket();
    Bracket(const Bracket&) = delete;
    Bracket& operator=(const Bracket&) = delete;

    // BuildBracket: the tree for n entrants (clamped to 2..MaxEntrants)
    // over `entrants`, which the bracket takes over. Seed a holds list entry
    // a when there is one, else the absent row. `keepWidth` (option 39)
    // keeps names full width when they are cut.
    void build(int n, modes::EntrantList entrants, bool keepWidth);
    // Frees the tree and the entrant list.
    void clear();

    bool built() const { return root_ != nullptr; }
    int entrantCount() const { return n_; }
    int rounds() const { return rounds_; }
    modes::EntrantList& entrants() { return entrants_; }
    const modes::EntrantList& entrants() const { return entrants_; }
    BracketNode* root() const { return root_.get(); }
    int matchCount() const { return static_cast<int>(matches_.size()); }
    // Match `number` (1-based); null outside the table.
    BracketNode* match(int number) const;
    // The seed slots in picture row order.
    int slotCount() const { return static_cast<int>(slots_.size()); }
    BracketNode* slot(int row) const;
    const EntryRecord& absentRow() const { return absent_; }
    bool keepWidth() const { return keepWidth_; }

    // 0 while setting up and playing, 1 once the results are drawn.
    bool resultMode() const { return resultMode_; }
    void setResultMode(bool on) { resultMode_ = on; }

    // The entrant of list entry `index` (1-based); null outside the list.
    modes::Entrant* entrantOf(int index);
    // The row of entrant `index` when the index names a list entry with a
    // path and a row; null otherwise (nobody).
    EntryRecord* rowOf(int index) const;

    // Seed editing. assign: an empty slot appends the entrant to the list
    // (its index = the new count); an occupied slot keeps its list position
    // and takes the entrant's path and row contents. A bye above the slot
    // follows it. False for a slot outside the bracket, and for a file whose
    // name another entrant already has (outputStem): the game processor
    // names output AK files by that name alone, so two such entrants would
    // overwrite each other's output and fight with the wrong AK.
    bool assign(int slot, modes::Entrant entrant);
    // The slot's entrant leaves: its row is freed, its list entry becomes an
    // empty path without a row, the slot (and a bye above it) shows the
    // absent row with index -1.
    bool clearSlot(int slot);

    // The text bracket: one line per text (trailing blanks removed); in
    // result mode the winners' paths are drawn with '*'.
    modes::Lines text(bool resultMode) const;

    // The picture in pixels, and the slot under a point: row (y - 10) div
    // 24 below y = 10 and within the n rows; with `nameColumnOnly` also only
    // left of the line column (x = 220 at least). -1 for none.
    Picture picture(bool resultMode) const;
    int slotAt(int x, int y, bool nameColumnOnly) const;

    // The picture's columns for names that are `ownerWidth` and
    // `pilotWidth` pixels wide at most in the display font: the pilots
    // start NameGap after the longest owner, the lines NameGap after the
    // longest pilot, never left of 100 and 220; the picture grows by as
    // much as the lines move.
    void fitColumns(int ownerWidth, int pilotWidth);
    int pilotColumn() const { return pilotColumn_; }
    int nameColumn() const { return nameColumn_; }

private:
    void buildNode(BracketNode& node, int depth, int seed, std::vector<int>& counters);
    void textLines(const BracketNode& node, modes::Lines& out, bool result) const;
    std::string seedText(const EntryRecord* row) const;
    std::string tail(const BracketNode& node, bool result) const;
    std::string name(const char* field, size_t fieldSize, size_t width) const;

    int n_ = 0;
    int rounds_ = 0;
    int pilotColumn_ = PilotColumn;
    int nameColumn_ = NameColumn;
    bool keepWidth_ = false;
    bool resultMode_ = false;
    EntryRecord absent_{};
    modes::EntrantList entrants_;
    std::unique_ptr<BracketNode> root_;
    std::vector<BracketNode*> matches_;
    std::vector<BracketNode*> slots_;
};

} // namespace brackets
