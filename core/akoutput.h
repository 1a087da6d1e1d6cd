// The output AK data files: after a match (or when a match is put on hold)
// each side's AK is written to a new file in the AK output folder, named
// after its input file with the extension ".da1" to ".da98". A file holds,
// in this order: a header line (option 8), the result history copied from
// the input file and the new result record (option 45), the 67 AK data
// lines, and the two drain lines that let a later match continue the state
// (option 11).
//
// A file is a player's data: it is written whole to a temporary name and
// renamed into place, so a failure leaves what was there before; and an
// input file that can no longer be read as an AK is never written over.
// Each file put in place is one of the match's files (matchfiles.h), and a
// file it replaced is kept aside until the match is over: a match that
// stops the event takes its output files back and the older files return.
// After a failed file the match writes no output file.
// A file that replaces the entrant's own input file (option 44 with the
// output folder the input's) is synced to the disk before it is renamed;
// the others wait for the event's one durability point
// (plat::syncDeferredWrites, at the end of the event).
#pragma once

#include "base/akrecord.h"
#include "core/combatant.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace plat {
class AtomicFile;
enum class Durability;
}

namespace cv {

// The marker that begins every result record.
inline constexpr std::string_view ResultMarker = "--- CVVELL Game Result ---";

// The output file for the input file `akFile`: the output folder (a
// separator added when missing) + its name + ".da1" for a ".dat" input (any
// letter case) or with option 44; otherwise the first of ".da1" to ".da98"
// that does not exist, or ".da98" when all do.
std::string GetReturnFileName(std::string_view akOutDir, std::string_view akFile);

// One side's output file: the path that was meant, and whether the file is
// now in place (a failure is the match's failed file, outputfault.h:
// message 41021 with the path when it is the first; it takes back the
// other side's file too).
struct ReturnAkFile {
    std::string Path;
    bool Written = false;
};

// Writes both sides' files (nothing without option 23); `minutes` is the
// match length for the result record. BindDistance of both states becomes
// 0. A match put on hold gets its record too: its narrative tells the
// forced end (the caller sets ImmobileDraw first).
std::array<ReturnAkFile, 2> WriteReturnAkFiles(std::string_view akOutDir, int32_t minutes);

// Starts the output file at `path`: nullptr, reported as the match's
// failed file, when it cannot be created.
std::unique_ptr<plat::AtomicFile> OpenReturnAkFile(std::string_view path, plat::Durability durability);

// The header line and its empty line (option 8): system template line 6
// (variant 0) or 7 (variant 1) with the pilot's name, expanded also when
// narration is off. Empty without the option.
std::string ReturnFileHeader(uint16_t variant, std::string_view pilotName);

// Appends the result records of the input file at `inputPath` (the block of
// consecutive records in front of its AK data) to `out`, each line ended by
// CR LF. False when the file cannot be read or holds no record.
bool CopyResultHistory(std::string& out, std::string_view inputPath);
// The same on the file's bytes.
bool CopyResultHistoryFrom(std::string& out, std::string_view bytes);

// Appends the result record of side `state` and its empty line: the marker
// with the local date and time, the result mark and the opponent, and the
// narrative of how the match ended.
// The narrative names the winner's finishing weapon and turbo, read from
// the match's records.
void WriteResultRecord(std::string& out, const CombatantState& state, const CombatantState& opponent,
                       int32_t minutes, std::string_view opponentOwner);

// Appends the 67 AK data lines and, with option 11, the two drain lines.
void WriteAkDataText(std::string& out, const TArmoredKnight& ak, const CombatantState& state);

// Deletes the output files of every listed input path: each file in the
// output folder named like the input with an extension ".da1" to ".da98"
// (letter case ignored), except a file that is itself a listed input.
void DeleteOutputAkFile(const std::string_view* paths, size_t count, std::string_view akOutDir);

} // namespace cv
