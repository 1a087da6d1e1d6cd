// The rows of a set-up window's AK list: one per AK data file of the
// current folder that matches the file mask, with what the AK data
// library's file-head summary gives (pilot, machine value, owner, owner ID),
// and the list's sort order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace modes {

// The file masks of the mask combo box, in its order.
inline constexpr const char* FileMasks[] = {"*.dat", "*.da?", "*.da1", "*.da2", "*.da3"};

// Columns of the AK list.
enum AkColumn : int {
    ColFile = 0,
    ColPilot = 1,
    ColValue = 2,
    ColOwner = 3,
    ColOwnerId = 4,
    AkColumnCount = 5
};

struct AkRow {
    std::string File;  // file name without folder
    std::string Pilot; // the summary's texts (empty when the head is unreadable)
    std::string Value; // machine value as "%d"
    std::string Owner;
    std::string OwnerId;

    const std::string& column(int c) const;
};

// Every file (not folder) of `folder` matching `mask`, in name order. A file
// whose head cannot be read still gets its row, with empty texts and "0".
std::vector<AkRow> listAkRows(std::string_view folder, std::string_view mask);

// Ascending order of one column: the value column by number (the leading
// decimal number of the text, as atol reads it), the others by bytes
// compared unsigned (a prefix first). <0, 0, >0.
int compareAkRows(const AkRow& a, const AkRow& b, int column);

// The sort state of the list: a click on the column sorted last flips the
// direction, a click on another column sorts it ascending.
class AkListSort {
public:
    void click(int column);
    void apply(std::vector<AkRow>& rows) const;
    int column() const { return column_; }
    bool descending() const { return descending_; }

private:
    int column_ = -1;
    bool descending_ = false;
};

} // namespace modes
