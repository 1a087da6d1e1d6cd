// The battle royal's grid map, its labels, colours and mark matching.
#include "modes/brawlall/brmap.h"

#include "base/sjis.h"
#include "modes/frame/textfmt.h"
#include "sjis/brawlall_text.h"

#include <algorithm>

namespace brawl {

int clampMapSize(int value) {
    return std::clamp(value, MinMapSize, MaxMapSize);
}

void BrMap::Place(int cols, int rows, modes::EntrantList& entrants, const std::function<int()>& random) {
    columns_ = clampMapSize(cols);
    rows_ = clampMapSize(rows);
    cells_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), 0);
    const size_t room = cells_.size();
    count_ = static_cast<int>(std::min(entrants.size(), room));
    for (int i = 0; i < count_; ++i) {
        RoyalEntryRecord* row = entrants[static_cast<size_t>(i)].royal();
        if (!row) continue;
        int32_t x = row->X, y = row->Y;
        if (row->PresetPosition == 1) {
            x = std::clamp<int32_t>(x, 0, columns_ - 1);
            y = std::clamp<int32_t>(y, 0, rows_ - 1);
            while (cell(x, y) != 0) {
                int r1 = random();
                int r2 = random() % 100;
                int step = r2 <= 50 ? -1 : 1;
                if (r1 % 100 <= 50)
                    y += step;
                else
                    x += step;
                x = std::clamp<int32_t>(x, 0, columns_ - 1);
                y = std::clamp<int32_t>(y, 0, rows_ - 1);
            }
        } else {
            do {
                x = random() % columns_;
                y = random() % rows_;
            } while (cell(x, y) != 0);
        }
        row->X = x;
        row->Y = y;
        setCellValue(x, y, i + 1);
    }
}

int32_t BrMap::cell(int x, int y) const {
    if (!onMap(x, y) || cells_.empty()) return 0;
    return cells_[static_cast<size_t>(y) * static_cast<size_t>(columns_) + static_cast<size_t>(x)];
}

void BrMap::setCellValue(int x, int y, int32_t value) {
    if (!onMap(x, y) || cells_.empty()) return;
    cells_[static_cast<size_t>(y) * static_cast<size_t>(columns_) + static_cast<size_t>(x)] = value;
}

bool BrMap::cellOfPixel(int px, int py, int& x, int& y) const {
    // Pixels left of or above the grid would divide to column or row 0.
    if (px < GridOrigin || py < GridOrigin) return false;
    x = (px - GridOrigin) / CellPixels;
    y = (py - GridOrigin) / CellPixels;
    return onMap(x, y);
}

int BrMap::EntrantAt(int px, int py) const {
    int x = 0, y = 0;
    if (cells_.empty() || !cellOfPixel(px, py, x, y)) return -1;
    int32_t value = cell(x, y);
    return value > 0 ? value - 1 : -1;
}

void BrMap::SetCell(int px, int py, int entrantNo) {
    int x = 0, y = 0;
    if (!cellOfPixel(px, py, x, y)) return;
    setCellValue(x, y, entrantNo < 0 ? 0 : entrantNo + 1);
}

bool BrMap::insideGrid(int px, int py) const {
    return px >= GridOrigin && px <= columns_ * CellPixels + GridOrigin && py >= GridOrigin &&
           py <= rows_ * CellPixels + GridOrigin;
}

std::string markLabel(const RoyalEntryRecord& row, int entrantNo) {
    if (row.HasMark == 1) return sjis::cut(sjis::readField(row.Mark), 2);
    return modes::format("%02x", static_cast<unsigned>(entrantNo));
}

uint32_t MarkColour(const RoyalEntryRecord& row) {
    int32_t out = row.OutStatus;
    if (out >= 0) return (out & (8 | 16)) ? colour::Red : colour::Blue;
    int32_t pct = row.HitPointPct;
    if (pct <= 50) return colour::Magenta;
    if (pct <= 70) return colour::Lime;
    if (pct <= 85) return colour::Cyan;
    if (pct <= 95) return colour::Yellow;
    return colour::White;
}

bool markListMatches(std::string_view list, std::string_view mark) {
    const unsigned char m0 = mark.size() > 0 ? static_cast<unsigned char>(mark[0]) : 0;
    const unsigned char m1 = mark.size() > 1 ? static_cast<unsigned char>(mark[1]) : 0;
    const std::string_view anyWide(text::AnyWideMark);
    for (size_t i = 0; i + 1 < list.size(); i += 2) {
        const unsigned char c0 = static_cast<unsigned char>(list[i]);
        const unsigned char c1 = static_cast<unsigned char>(list[i + 1]);
        bool match;
        if (c0 == '*' && c1 == '*')
            match = m0 < 0x80 && m1 < 0x80;
        else if (c0 == '*')
            match = m0 < 0x80 && m1 == c1;
        else if (c1 == '*')
            match = m0 == c0 && m1 < 0x80;
        else if (list.substr(i, 2) == anyWide)
            match = m0 > 0x80;
        else
            match = m0 == c0 && m1 == c1;
        if (match) return true;
    }
    return false;
}

} // namespace brawl
