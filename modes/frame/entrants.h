// The entrant list of an event: the full path of each entrant's AK data
// file with its row. Every row is allocated as a zero-filled
// RoyalEntryRecord, whose first part is the EntryRecord the other modes use,
// so one list type serves all six modes; the list owns the rows. An entrant
// may have no row (the entry table then skips it).
#pragma once

#include "common/vellcmn.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace modes {

struct Entrant {
    std::string Path;
    std::unique_ptr<RoyalEntryRecord> Record;

    EntryRecord* row() const { return Record ? &Record->Entry : nullptr; }
    RoyalEntryRecord* royal() const { return Record.get(); }
};

using EntrantList = std::vector<Entrant>;

// A zero-filled row.
std::unique_ptr<RoyalEntryRecord> newRow();

// The entrant of `file` in `folder`: path = folder + '\' + file, its row
// filled from the file's head by cmnMakeDigest2 (left as read when that
// fails, as the row was zero-filled).
Entrant makeEntrant(std::string_view folder, std::string_view file);

// The battle royal's entrant: the row filled by cmnMakeDigest3 (the whole
// AK loaded); `loaded` tells whether that succeeded.
Entrant makeRoyalEntrant(std::string_view folder, std::string_view file, bool* loaded = nullptr);

// The paths of the list as a null-terminated array for the calls that take
// one (OutputEntryList, DeleteOutputAkFile); valid while the list is
// unchanged.
std::vector<const char*> pathArray(const EntrantList& list);

} // namespace modes
