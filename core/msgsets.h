// Choosing and loading the message sets of a match. The message table that
// the plug-in hands over at StartSystem names the base set (announcer entry
// 0), the announcers, and the computer and pilot sets with the trigger words
// that tie a set to an AK. Once per match (SetAkData, and every restored
// step of a battle-royal fight) the base set is loaded, the announcer is
// chosen (the settings' index, or at random), and each side gets the first
// computer and pilot set whose trigger its AK's profile key contains. A set
// is a message archive or a folder of message files; its PLAY_ANA, PLAY_COM
// or PLAY_PIL file replaces the fixed lines of the announcer, computer or
// pilot template tables that SetEnvironment loaded from the system's default
// files.
//
// A matched set's words stand in for the side's first-person words or forms
// of address for the match; they are kept with the sets, not written into
// the settings, so they never pass from one AK to the next AK of an event.
//
// The table's counts are trusted no further than its arrays reach (50
// announcers, 100 computers, 200 pilots, entry 0 included), and an
// announcer index outside the table selects the base announcer.
#pragma once

#include <cstdint>
#include <string_view>

namespace cv {

// The largest counts of the message-table arrays (entries 1..count follow
// entry 0).
inline constexpr int32_t MaxAnnouncerCount = 49;
inline constexpr int32_t MaxComputerCount = 99;
inline constexpr int32_t MaxPilotCount = 199;

// A system message file (text lines without a header) into template table
// `table`, lines 1 to 79: empty lines and lines starting with '#', '/' or
// ';' are skipped; a line is cut to 511 bytes. A missing file leaves the
// table as it is.
void LoadTemplateFile(std::string_view path, int table);

// SetEnvironment's load: the eight default files of StartSystem into the
// eight tables.
void LoadSystemTemplates();

// A set file (three header lines, then as LoadTemplateFile) into `table`.
void LoadSetFile(std::string_view path, int table);

// A pilot set file into side's male and female tables: after the three
// header lines, message lines alternate male, female (lines starting with
// '#', '/' or ';' are skipped, empty lines kept as empty messages).
void LoadPilotSetFile(std::string_view path, int side);

// The same three loads from a file's bytes held in memory.
void LoadTemplateText(std::string_view bytes, int table);
void LoadSetText(std::string_view bytes, int table);
void LoadPilotSetText(std::string_view bytes, int side);

// The archive entry `entry` of `slot` (three header lines skipped) into
// `table`, at most 77 lines; a line stored empty leaves its table line. False
// when the archive has no such entry.
bool LoadArchiveTemplate(std::string_view entry, int slot, int table);
// The PLAY_PIL entry of `slot` into side's male and female tables.
bool LoadArchivePilotTemplates(int slot, int side);

// SetAkData's and RestoreGameContext's load: the table of loaded sets
// emptied, the base set loaded, then the announcer, the computer sets and
// the pilot sets chosen and loaded. 0, or the archive error when the base
// set cannot be loaded (message 41009 is shown and no set is chosen).
uint32_t LoadPlayMessages();

// The words of side 0 or 1 for this match: its pilot set's first-person
// words and its computer set's forms of address when the set gives them,
// else the settings' lists.
using WordList = char[10][32];
const WordList& FirstPersonWords(int side);
const WordList& FormsOfAddress(int side);

void ChooseAnnouncer();
void ChooseComputerMsg();
void ChoosePilotMsg();

} // namespace cv
