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
    // The output AK files the game processor wrote for it in this run,
    // oldest first (a run starts with none). Its next match starts from the
    // last one, so the file it gets back carries every match it fought;
    // and a run whose conf keeps no output AK files deletes these, and
    // nothing else, afterwards.
    std::vector<std::string> Written{};

    EntryRecord* row() const { return Record ? &Record->Entry : nullptr; }
    RoyalEntryRecord* royal() const { return Record.get(); }
    // The AK data file of its next match: its own file before its first
    // match of the run, then the output AK file its last match wrote.
    const std::string& nextAkFile() const { return Written.empty() ? Path : Written.back(); }
    // Notes the output AK file a match wrote for it (nothing for none).
    void wrote(std::string path) {
        if (!path.empty()) Written.push_back(std::move(path));
    }
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

// Where an entrant's own AK file is in the way of its output AK files. The
// game processor names each output after the input file's stem: ".da1"
// for a ".dat" input and with option 44, else the first free name of
// ".da1" to ".da98", and ".da98" again once all are taken. The clean-up
// at the start of a run leaves of the entrant's stem only its own file,
// which lies in the output folder when the two folders are one.
//
// The last output AK file `matches` matches may write for it (the longest
// path of the run's outputs).
std::string lastOutputAkFile(std::string_view inputPath, int32_t matches, std::string_view akOutputFolder,
                             bool da1Only);
// True when one of those `matches` outputs would be written over the
// entrant's own file: with option 44 when that file is the ".da1" of the
// output folder; otherwise when it is the ".da98" there and the names run
// out (98 matches or more). The chain of files holds in every other case.
bool outputOverwritesInput(std::string_view inputPath, int32_t matches, std::string_view akOutputFolder,
                           bool da1Only);

// The paths of the list as a null-terminated array for the calls that take
// one (OutputEntryList); valid while the list is unchanged.
std::vector<const char*> pathArray(const EntrantList& list);

} // namespace modes
