// Pieces of the result tables that the threaded modes write into their
// progress window's memo and result file. The memo is a list of lines: each
// text added becomes the text plus CR LF, so a text that itself ends in
// "\r\n" leaves an empty line after it, as the tables always looked.
#pragma once

#include "base/confrecords.h"
#include "modes/frame/entrants.h"
#include "platform/clock.h"

#include <string>
#include <vector>

namespace modes {

using Lines = std::vector<std::string>;

// The whole text of a memo of these lines.
std::string memoText(const Lines& lines);

// "<conf name>／<conf memo>\r\n\t\t\t\t\t\t\t(<time>)\r\n": the first text of
// every entry table.
std::string eventHeading(const ConfHeader& header, const plat::clock::LocalTime& now);

// A name cut to `width` bytes as the tables cut it (half width unless
// option 39 keeps full width).
std::string tableName(const GameSettings& settings, std::string_view name, size_t width);

// The entry table of the battle royal and the tournament: the heading,
// "【エントリー】", the rule, the header, the rule, one row per entrant with
// a row (numbered from 1 without gaps), the rule. After its row each
// entrant's event counters are reset: Wins, Stage, OwnAkDestroyed,
// OwnPilotKilled := 0 and, with `clearStatus` (the tournament), StatusText.
Lines entryTable(const ConfHeader& header, const GameSettings& settings, EntrantList& entrants,
                 const plat::clock::LocalTime& now, bool clearStatus);

// Writes `text` as the result file, replacing it whole (a temporary file
// renamed into place), after the event's output files that wait for their
// durability point are synced. False, with message 41020 naming the file,
// when it cannot be written.
bool saveResultFile(std::string_view path, std::string_view text);

} // namespace modes
