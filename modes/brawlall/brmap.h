// The battle royal's grid map without its picture: X columns by Y rows of
// cells, each 0 (empty) or the EntrantNo + 1 of the entrant standing there,
// the placement of the entrants at the start, the pixel geometry of the
// picture (25-pixel cells, the grid 10 pixels in from the left and top),
// the entrants' map labels and state colours, and the matching of an
// entrant's mark against a mark list (enemies, allies, friends, team).
//
// The set-up window owns one map; the run thread works on its own copy and
// hands every cell it changes to the window thread as a CellPaint.
#pragma once

#include "common/vellcmn.h"
#include "modes/frame/entrants.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brawl {

inline constexpr int CellPixels = 25;
inline constexpr int GridOrigin = 10;
inline constexpr int MinMapSize = 10;
inline constexpr int MaxMapSize = 40;

// A map size typed by the game master, clamped to 10..40.
int clampMapSize(int value);

// COLORREF values (0x00BBGGRR) of the marks.
namespace colour {
inline constexpr uint32_t Red = 0x0000FF;
inline constexpr uint32_t Blue = 0xFF0000;
inline constexpr uint32_t Magenta = 0xFF00FF;
inline constexpr uint32_t Lime = 0x00FF00;
inline constexpr uint32_t Cyan = 0xFFFF00;
inline constexpr uint32_t Yellow = 0x00FFFF;
inline constexpr uint32_t White = 0xFFFFFF;
inline constexpr uint32_t Grid = 0x808080;
} // namespace colour

// What one cell of the picture shows: nothing, or a label in a colour.
struct CellPaint {
    int X = 0;
    int Y = 0;
    bool Empty = true;
    std::string Label;
    uint32_t Colour = 0;
};

class BrMap {
public:
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    int entrantCount() const { return count_; }
    void setEntrantCount(int count) { count_ = count; }
    bool hasCells() const { return !cells_.empty(); }

    // Clears the map to cols × rows empty cells (each clamped to 10..40)
    // and places the entrants in list order: a preset start cell is clamped
    // onto the map and, while taken, walks one random cell at a time; an
    // entrant without one draws random cells until it finds an empty one.
    // Each entrant's row gets its cell (X, Y). `random` gives 0..32767.
    // Entrants beyond the number of cells are not placed.
    void Place(int cols, int rows, modes::EntrantList& entrants, const std::function<int()>& random);

    // The cell of column x, row y; 0 outside the map.
    int32_t cell(int x, int y) const;
    void setCellValue(int x, int y, int32_t value);
    bool onMap(int x, int y) const { return x >= 0 && y >= 0 && x < columns_ && y < rows_; }

    // The cell of a pixel of the picture; false outside the grid.
    bool cellOfPixel(int px, int py, int& x, int& y) const;
    // The entrant number on a pixel's cell; -1 outside the grid, on an
    // empty cell, or before the map has cells.
    int EntrantAt(int px, int py) const;
    // The pixel's cell := entrant number + 1 (-1 empties it); pixels
    // outside the grid are ignored.
    void SetCell(int px, int py, int entrantNo);
    // The press and drop test of the picture: 10 <= px <= X·25+10 and
    // 10 <= py <= Y·25+10.
    bool insideGrid(int px, int py) const;

    int pictureWidth() const { return columns_ * CellPixels + 2 * GridOrigin; }
    int pictureHeight() const { return rows_ * CellPixels + 2 * GridOrigin; }
    // Top-left pixel of a cell, and where its label is written.
    static int cellOrigin(int index) { return index * CellPixels + GridOrigin; }
    static int labelX(int x) { return x * CellPixels + 13; }
    static int labelY(int y) { return y * CellPixels + 14; }

private:
    int columns_ = 0;
    int rows_ = 0;
    int count_ = 0;
    std::vector<int32_t> cells_;
};

// The map label of an entrant: the first two bytes of its mark when it
// has one (one byte when the second would split a double-byte character),
// otherwise its number in lower-case hex, at least two digits (a map of
// 40 × 40 cells holds entrants beyond 0xff).
std::string markLabel(const RoyalEntryRecord& row, int entrantNo);

// The colour of an entrant's mark by its state: out of the game red when
// its end state has the self-destruct or exploded flag, blue otherwise;
// in the game by the durability left: up to 50% magenta, 70% lime, 85%
// cyan, 95% yellow, above that white.
uint32_t MarkColour(const RoyalEntryRecord& row);

// Whether `mark` matches a mark list, read in two-byte units: "**" any
// single-byte mark, "*x" or "x*" one byte fixed, "＊" any double-byte mark,
// else both bytes equal. An empty list matches nothing; an odd last byte is
// ignored.
bool markListMatches(std::string_view list, std::string_view mark);

} // namespace brawl
