// The entrant rows of the game modes: EntryRecord from the head of an AK data
// file (the quick form used for long folder lists) and RoyalEntryRecord from
// a whole loaded AK (the battle royal, which also reads its entrants' tag
// lists and start cells out of the AK's free texts).
#pragma once

#include "base/akrecord.h"
#include "common/vellcmn.h"

#include <string>
#include <string_view>

namespace cmn {

// folder + "\" + file, the way the modes name an AK of their current folder.
std::string akPath(std::string_view folder, std::string_view file);

// The row from the bytes of an AK data file's head. Lines before the first
// line that starts with a number are skipped; that line must give two
// numbers (machine value, cash), then the owner, owner ID, weight and pilot
// records follow. False when the head line is missing or bad; the row may
// then hold MachineValue only.
// `used`, when given, gets how many bytes the scan took.
bool entryRowFromBytes(std::string_view bytes, EntryRecord& row, size_t* used = nullptr);

// The same from folder + "\" + file; false also when the file cannot be read.
// Rows are made for long folder lists: the file is read a piece at a time
// and only as far as its head and the four records after it.
bool makeEntryRow(std::string_view folder, std::string_view file, EntryRecord& row);

// The text between the first startTag (found at a character boundary) and the
// next endTag after it; empty when either is missing.
std::string extractBetween(std::string_view source, std::string_view startTag, std::string_view endTag);

// The battle royal's row from a loaded AK: texts, career counts, tag lists,
// start cell, reaction, turbo, durabilities. EntrantNo, Opponent and
// CarriedDrain are left as they are.
void fillRoyalRow(const TArmoredKnight& ak, RoyalEntryRecord& row);

// Loads folder + "\" + file through the AK data library and fills the row.
// False when the AK does not load; only PresetPosition is cleared then.
bool makeRoyalRow(std::string_view folder, std::string_view file, RoyalEntryRecord& row);

} // namespace cmn
