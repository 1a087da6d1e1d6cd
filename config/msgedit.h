// The message table as the environment dialog edits it, free of widgets.
//
// The dialog keeps the user entries of each table (pilots, computers,
// announcers) as lists of texts; the built-in entry of slot 0 is not listed.
// New, changed and removed entries, dropped message archives and the import
// of the older program's ini file all work on these lists. Applying writes
// the lists into the fixed tables (slot k+1 for list item k, the count the
// list's length, the slots above it zeroed) and the tables into the settings
// store.
//
// A text that does not fit its field is cut on a character boundary, except
// a message path: a cut path would name another file, so an entry whose path
// does not fit is never made (drops and imports skip it; the entry dialog
// refuses the longer path).
#pragma once

#include "base/confrecords.h"
#include "config/msgtable.h"
#include "platform/ini.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace cnf {

// The tabs of the message page, which are also the modes of the entry dialog.
enum class MsgKind { Pilot = 0, Computer = 1, Announcer = 2 };

inline constexpr size_t IdBytes = sizeof(MsgEntry::Id) - 1;     // 31
inline constexpr size_t PathBytes = sizeof(MsgEntry::Path) - 1; // 79
inline constexpr size_t WordBytes = sizeof(MsgEntry::Words[0]) - 1;
inline constexpr int EmblemBytes = 2;

// One entry as ten texts (Shift-JIS). For an announcer, triggers[0] holds its
// Name and the other texts are unused.
struct MsgEntryTexts {
    std::string id;
    std::array<std::string, 4> triggers;
    std::string path;
    std::array<std::string, 4> words;
    bool operator==(const MsgEntryTexts&) const = default;
};

// The message-path rule: a path whose extension is ".MSG" (any case) stands
// for its folder (drive and folder, ending in a separator); any other path
// is kept.
std::string messagePath(std::string_view path);

// The user-entry limit of a table: 199 pilots, 99 computers, 49 announcers.
int maxEntries(MsgKind kind);

class MessageTables {
public:
    MessageTables();

    // Loads the table from the settings store (40005 when the base message
    // path is empty).
    void load();

    const std::vector<MsgEntryTexts>& entries(MsgKind kind) const { return lists_[index(kind)]; }
    bool full(MsgKind kind) const;
    // Appends an entry; false (nothing added) when the table is full.
    bool add(MsgKind kind, MsgEntryTexts entry);
    void replace(MsgKind kind, size_t row, MsgEntryTexts entry);
    void remove(MsgKind kind, size_t row);

    // Dropped files: every ".KWP" file becomes an entry named after its base
    // name (also its first trigger, or an announcer's name) unless an entry
    // of that name, or of that path ignoring case, is there. A full table
    // stops with 41002. Returns the number of entries added.
    int dropFiles(MsgKind kind, const std::vector<std::string>& paths);

    enum class Import { Done, Full };
    // The older program's message settings (an ini file): pilots, computers,
    // then announcers. A full table stops the import at once with 41002 (the
    // entries taken so far stay); otherwise 40013 is shown at the end.
    Import importIni(std::string_view iniPath);
    Import importIni(const plat::IniFile& ini);

    std::string basePath;
    MsgWords words{};

    // The fixed tables as they stand in the lists (slot 0 as loaded).
    void fillTables();
    std::vector<AnnouncerEntry>& announcerTable() { return announcers_; }
    std::vector<MsgEntry>& pilotTable() { return pilots_; }
    std::vector<MsgEntry>& computerTable() { return computers_; }
    int count(MsgKind kind) const { return static_cast<int>(entries(kind).size()); }

    // Fills the tables and writes everything to the settings store; the base
    // path goes through the message-path rule first. False when the store
    // could not be saved.
    bool save();

private:
    static size_t index(MsgKind kind) { return static_cast<size_t>(kind); }
    bool contains(MsgKind kind, std::string_view id, std::string_view path) const;

    std::array<std::vector<MsgEntryTexts>, 3> lists_;
    std::vector<AnnouncerEntry> announcers_;
    std::vector<MsgEntry> pilots_;
    std::vector<MsgEntry> computers_;
};

} // namespace cnf
