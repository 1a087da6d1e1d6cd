// The AK data file: the text form of one TArmoredKnight. Reading skips any
// header or result-history block in front of the first record line, reads the
// 66 record lines and the optional remaining-values line, splits the
// composite texts and recomputes the derived values. Writing produces the 66
// lines in the editor's form (SaveAkData) or in the game processor's form
// (every slot's comment, no cut of the profiles, and the remaining-values
// line).
#pragma once

#include "base/akrecord.h"

#include <string>
#include <string_view>

namespace akdata {

// Results of the loaders.
inline constexpr int LoadOk = 0;
inline constexpr int LoadCannotOpen = 1;
inline constexpr int LoadBadHead = 2;

// Reads the bytes of an AK data file into ak (zero-filled first). Returns
// LoadOk, or LoadBadHead (record left zero) when no line before the records
// gives two numbers.
int parseAkData(TArmoredKnight& ak, std::string_view bytes);

// The values recomputed at every load: the DEX of the mechanic, the derived
// parameters (seeing TotalWeight as it stands), then TotalWeight and the
// mount flags.
void completeAkData(TArmoredKnight& ak);

// Reads the file at path (a system path, relative to the program folder).
// A file that cannot be read shows message 41022 and gives LoadCannotOpen
// with a zero record and its derived values.
int loadAkData(TArmoredKnight& ak, std::string_view path);

enum class AkFileStyle {
    Editor,        // SaveAkData: lines 1-66, bought slots' comments only
    GameProcessor, // lines 1-67 as the game processor writes them
};

// The record lines of ak, each ended by CR LF. A '"' inside a text is
// written as a blank. The editor style expects sanitised texts (see below).
std::string formatAkData(const TArmoredKnight& ak, AkFileStyle style);

// Every byte below 0x20 becomes a blank in the record's free texts (owner,
// pilot, computer nickname and profile, team, comments, AK name and profile
// text); part names, weapon texts and versions are left alone.
void sanitiseAkTexts(TArmoredKnight& ak);

// Writes a sanitised copy of ak in the editor style over path (replaced
// whole, or not at all). 0 written; 1 when it cannot be written (message
// 41021 shown).
int saveAkData(const TArmoredKnight& ak, std::string_view path);

} // namespace akdata
