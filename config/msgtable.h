// The message table in the settings store: which message files narrate the
// announcer, the AKs' computers and the pilots, the trigger words that pick
// them, the emblems and the word lists. Slot 0 of each table is the built-in
// entry on the base message path; user entry k (from 0) is stored under the
// value name "%4.4d" of k and lands in slot k+1.
//
// Everything read is bounded: counts are clamped to the tables (49 user
// announcers, 199 pilots, 99 computers) and the slots above a count are
// zeroed; a text longer than its field is cut on a character boundary,
// except a message path, which is left empty because a cut path would name
// another file.
#pragma once

#include "base/confrecords.h"

#include <string>
#include <string_view>

namespace cnf {

inline constexpr int AnnouncerSlots = 50;
inline constexpr int PilotSlots = 200;
inline constexpr int ComputerSlots = 100;
inline constexpr size_t BasePathSize = 256;

// The caller's buffers: basePath 256 bytes, announcers[50], pilots[200],
// computers[100]. The counts are the numbers of user entries (slot 0 not
// counted).
struct MsgTable {
    char* basePath;
    AnnouncerEntry* announcers;
    int* announcerCount;
    MsgEntry* pilots;
    int* pilotCount;
    MsgEntry* computers;
    int* computerCount;
    MsgWords* words;
};

// Fills every buffer. An empty base path (after the installation's default
// has been tried) is reported with message 40005. Null buffers are skipped.
void loadMsgTable(const MsgTable& table);

struct ConstMsgTable {
    const char* basePath;
    const AnnouncerEntry* announcers;
    int announcerCount;
    const MsgEntry* pilots;
    int pilotCount;
    const MsgEntry* computers;
    int computerCount;
    const MsgWords* words;
};

// Writes everything back; the counts are clamped as on load. False when the
// store could not be saved.
bool saveMsgTable(const ConstMsgTable& table);

// The base message path when the store names none: InstPath up to its last
// backslash, followed by BasicMsg; empty when InstPath has no backslash.
std::string defaultBasePath();

} // namespace cnf
