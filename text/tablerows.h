// The table lines of message-table templates: "!A", "!C" and "!P" followed by
// a layout (rows per block, block head, row format, block foot, column
// numbers) expand to blocks of rows over the announcers, the computer entries
// or the pilot entries. Slot 0 of a table (the built-in entry) is
// never listed; rows are numbered from 1. A block that runs out of records is
// filled up with empty rows.
//
// A row format is a text with up to 20 "%s" (also with a '-' flag, a width
// and a precision, counted in bytes); "%%" writes '%', any other conversion is
// written as it stands. Heads, formats, feet and rows hold at most 2047 bytes.
#pragma once

#include "base/confrecords.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vtext {

enum class TableKind { Announcers, Computers, Pilots };

// The caller's tables: slot 0 and the user entries 1 to count.
struct MessageTables {
    const AnnouncerEntry* announcers = nullptr;
    int announcerCount = 0;
    const MsgEntry* pilots = nullptr;
    int pilotCount = 0;
    const MsgEntry* computers = nullptr;
    int computerCount = 0;
};

// The most user entries the configuration manager's tables hold; a larger
// count is taken as this.
inline constexpr int MaxAnnouncers = 49;
inline constexpr int MaxPilots = 199;
inline constexpr int MaxComputers = 99;

// More rows per block than this are written as this many.
inline constexpr int MaxRowsPerBlock = 999;
inline constexpr int MaxColumns = 20;

struct TableLayout {
    int32_t rows = 0;
    std::string head;
    std::string format;
    std::string foot;
    std::vector<int32_t> columns; // at most MaxColumns
};

TableLayout readTableLayout(std::string_view layout);

// The row format with its "%s" filled from args in order (missing ones empty).
std::string formatRow(std::string_view format, const std::vector<std::string>& args);

// The kind of a table line ("!A", "!C", "!P"), or false for any other line.
bool tableLineKind(std::string_view line, TableKind& kind);

// Writes the blocks of one table line's layout. Rows per block below
// 1 put every record into one block.
void WriteTableRows(std::string& out, std::string_view layout, TableKind kind, const MessageTables& tables);

} // namespace vtext
