// The entrant list of an event: the full path of each entrant's AK data
// file with its row. Every row is allocated as a zero-filled
// RoyalEntryRecord, whose first part is the EntryRecord the other modes use,
// so one list type serves all six modes; the list owns the rows. An entrant
// may have no row (the entry table then skips it).
#pragma once

#include "common/vellcmn.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace modes {

struct Entrant {
    std::string Path;
    std::unique_ptr<RoyalEntryRecord> Record;
    // Its AK file could no longer be read during the run (reported once):
    // its matches from then on are left out, and the result tables mark
    // its row.
    bool Absent = false;

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

// The part of an AK file's path that names its output AK files: the file
// name without folder and extension, its ASCII letters upper-cased
// (double-byte characters untouched). The game processor names a side's
// output AK file after it alone, so two entrants of one stem (ak01.dat and
// ak01.da1, or one name in two folders) would share output AK files.
std::string outputStem(std::string_view path);

// The first `n` of `files`, in order, whose output stems are distinct and
// not taken by an entrant of `taken` (one with a path): a later file with
// a stem already taken (such as an earlier event's output file of the same
// AK) is passed over. Their indices; `passedOver` receives the indices of
// the files passed over before the n-th was taken.
std::vector<size_t> distinctStemRows(const std::vector<std::string>& files, size_t n,
                                     const EntrantList& taken = {},
                                     std::vector<size_t>* passedOver = nullptr);

// True when an entrant of `list` (one with a path) other than list entry
// `except` has the output stem of `path`.
bool stemTaken(const EntrantList& list, std::string_view path, size_t except = SIZE_MAX);

// Says once that `files` were passed over or refused because their output
// stem was taken: message 41051 with the file names one to a line, the
// first MaxNamedFiles of them and then "…" when there are more, so that the
// box stays readable. Nothing when `files` is empty.
inline constexpr size_t MaxNamedFiles = 10;
void reportStemsTaken(const std::vector<std::string>& files, void* owner = nullptr);

// The AK data file of an entrant's next match: its input file before its
// first win; after `wins`, the output AK file the game processor wrote for
// the last one: the output folder + '\' + the input file's name with the
// extension ".da<wins>" (".da1" with option 44; the outputs of an earlier
// run are gone when a run starts).
std::string nextAkFile(std::string_view inputPath, int32_t wins, std::string_view akOutputFolder,
                       bool da1Only);

// The paths of the list as a null-terminated array for the calls that take
// one (OutputEntryList, DeleteOutputAkFile); valid while the list is
// unchanged.
std::vector<const char*> pathArray(const EntrantList& list);

} // namespace modes
