// The environment dialog's message table: entry lists, drops, the ini
// import and the way back into the fixed tables and the settings store.
#include "config/msgedit.h"

#include "base/sjis.h"
#include "platform/catalogue.h"
#include "platform/ini.h"
#include "platform/paths.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace cnf {

namespace {

constexpr int Slots[3] = {PilotSlots, ComputerSlots, AnnouncerSlots};

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = plat::asciiUpper(c);
    return out;
}

MsgEntryTexts textsOf(const MsgEntry& e) {
    MsgEntryTexts t;
    t.id = sjis::readField(e.Id);
    for (int i = 0; i < 4; ++i) {
        t.triggers[i] = sjis::readField(e.Trigger[i]);
        t.words[i] = sjis::readField(e.Words[i]);
    }
    t.path = sjis::readField(e.Path);
    return t;
}

MsgEntryTexts textsOf(const AnnouncerEntry& a) {
    MsgEntryTexts t;
    t.id = sjis::readField(a.Id);
    t.triggers[0] = sjis::readField(a.Name);
    t.path = sjis::readField(a.Path);
    return t;
}

// A path is stored whole or not at all.
std::string_view storablePath(std::string_view path) {
    return path.size() <= PathBytes ? path : std::string_view();
}

void storeEntry(MsgEntry& e, const MsgEntryTexts& t) {
    e = MsgEntry{};
    sjis::writeField(e.Id, t.id);
    for (int i = 0; i < 4; ++i) {
        sjis::writeField(e.Trigger[i], t.triggers[i]);
        sjis::writeField(e.Words[i], t.words[i]);
    }
    sjis::writeField(e.Path, storablePath(t.path));
}

void storeEntry(AnnouncerEntry& a, const MsgEntryTexts& t) {
    a = AnnouncerEntry{};
    sjis::writeField(a.Id, t.id);
    sjis::writeField(a.Name, t.triggers[0]);
    sjis::writeField(a.Path, storablePath(t.path));
}

// An entry named after a message file: the name is also its first trigger
// (an announcer's name).
MsgEntryTexts namedEntry(std::string_view name, std::string path) {
    MsgEntryTexts t;
    t.id = sjis::cut(name, IdBytes);
    t.triggers[0] = t.id;
    t.path = std::move(path);
    return t;
}

// The value of a key in an ini section ("" when either is missing).
std::string_view valueOf(const plat::IniFile::Entries* section, const std::string& key) {
    if (!section) return {};
    auto it = section->find(key);
    return it == section->end() ? std::string_view() : std::string_view(it->second);
}

// The values of a section's slot keys below `slots`, in slot order: the keys
// "0", "1", ... as slot numbers are written (no sign, no leading zero).
std::vector<std::pair<int, std::string_view>> slotValues(const plat::IniFile::Entries& section, int slots) {
    std::vector<std::pair<int, std::string_view>> out;
    for (const auto& [key, value] : section) {
        if (key.empty() || key.size() > 9 || (key.size() > 1 && key[0] == '0')) continue;
        int n = 0;
        bool number = true;
        for (char c : key) {
            if (c < '0' || c > '9') {
                number = false;
                break;
            }
            n = n * 10 + (c - '0');
        }
        if (number && n < slots) out.emplace_back(n, value);
    }
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return out;
}

// The names and the paths (upper-cased) of a list, so that the import tests
// each new entry as contains() does without walking the whole list.
struct ListIndex {
    std::unordered_set<std::string> ids;
    std::unordered_set<std::string> paths;

    explicit ListIndex(const std::vector<MsgEntryTexts>& list) {
        for (const MsgEntryTexts& e : list) add(e);
    }
    void add(const MsgEntryTexts& e) {
        ids.insert(e.id);
        if (!e.path.empty()) paths.insert(plat::upperCaseKey(e.path));
    }
    bool contains(const MsgEntryTexts& e) const {
        return ids.count(e.id) != 0 || (!e.path.empty() && paths.count(plat::upperCaseKey(e.path)) != 0);
    }
};

} // namespace

std::string messagePath(std::string_view path) {
    plat::PathParts parts = plat::splitPath(path);
    if (upper(parts.extension) == ".MSG") return parts.drive + parts.dir;
    return std::string(path);
}

int maxEntries(MsgKind kind) {
    return Slots[static_cast<size_t>(kind)] - 1;
}

MessageTables::MessageTables()
    : announcers_(AnnouncerSlots), pilots_(PilotSlots), computers_(ComputerSlots) {}

void MessageTables::load() {
    char base[BasePathSize] = {};
    int na = 0, np = 0, nc = 0;
    loadMsgTable({base, announcers_.data(), &na, pilots_.data(), &np, computers_.data(), &nc, &words});
    basePath = sjis::readField(base);
    for (auto& l : lists_) l.clear();
    // Entries without a name are not listed (and so not kept).
    for (int k = 1; k <= np; ++k)
        if (pilots_[k].Id[0]) lists_[index(MsgKind::Pilot)].push_back(textsOf(pilots_[k]));
    for (int k = 1; k <= nc; ++k)
        if (computers_[k].Id[0]) lists_[index(MsgKind::Computer)].push_back(textsOf(computers_[k]));
    for (int k = 1; k <= na; ++k)
        if (announcers_[k].Id[0]) lists_[index(MsgKind::Announcer)].push_back(textsOf(announcers_[k]));
}

bool MessageTables::full(MsgKind kind) const {
    return count(kind) >= maxEntries(kind);
}

bool MessageTables::add(MsgKind kind, MsgEntryTexts entry) {
    if (full(kind)) return false;
    lists_[index(kind)].push_back(std::move(entry));
    return true;
}

void MessageTables::replace(MsgKind kind, size_t row, MsgEntryTexts entry) {
    auto& list = lists_[index(kind)];
    if (row < list.size()) list[row] = std::move(entry);
}

void MessageTables::remove(MsgKind kind, size_t row) {
    auto& list = lists_[index(kind)];
    if (row < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(row));
}

bool MessageTables::contains(MsgKind kind, std::string_view id, std::string_view path) const {
    const auto& list = entries(kind);
    return std::any_of(list.begin(), list.end(), [&](const MsgEntryTexts& e) {
        return e.id == id || (!path.empty() && plat::equalsIgnoreCase(e.path, path));
    });
}

int MessageTables::dropFiles(MsgKind kind, const std::vector<std::string>& paths) {
    int added = 0;
    for (const std::string& path : paths) {
        plat::PathParts parts = plat::splitPath(path);
        if (upper(parts.extension) != ".KWP" || parts.name.empty() || path.size() > PathBytes) continue;
        MsgEntryTexts entry = namedEntry(parts.name, path);
        if (contains(kind, entry.id, entry.path)) continue;
        if (full(kind)) {
            plat::msg::showError(41002);
            break;
        }
        lists_[index(kind)].push_back(std::move(entry));
        ++added;
    }
    return added;
}

MessageTables::Import MessageTables::importIni(std::string_view iniPath) {
    return importIni(plat::IniFile(iniPath));
}

MessageTables::Import MessageTables::importIni(const plat::IniFile& ini) {
    std::string root = ini.readString("DIR", "MSGROOT", "");
    struct Source {
        MsgKind kind;
        const char* dirSection;
        const char* triggerSection;
        const char* nameSection;
    };
    static constexpr Source sources[] = {
        {MsgKind::Pilot, "DOLLERDIR", "DOLLERTRIGER", nullptr},
        {MsgKind::Computer, "COMPUTERDIR", "COMPUTERTRIGER", nullptr},
        {MsgKind::Announcer, "ANADIR", "ANATRIGER", "ANANAME"},
    };
    for (const Source& src : sources) {
        // Each section is looked up once, and only the slots the triggers name
        // are visited.
        const plat::IniFile::Entries* triggers = ini.section(src.triggerSection);
        if (!triggers) continue;
        const plat::IniFile::Entries* dirs = ini.section(src.dirSection);
        const plat::IniFile::Entries* names = src.nameSection ? ini.section(src.nameSection) : nullptr;
        ListIndex known(entries(src.kind));
        for (auto [slot, trigger] : slotValues(*triggers, maxEntries(src.kind))) {
            if (trigger.empty()) continue;
            std::string key = std::to_string(slot);
            std::string_view dir = valueOf(dirs, key);
            std::string path;
            // A folder with a drive stands as it is; any other goes under the root.
            if (dir.size() > 1) path = dir[1] == ':' ? std::string(dir) : root + std::string(dir);
            if (path.size() > PathBytes) continue; // a cut path would name another file
            MsgEntryTexts entry = namedEntry(trigger, path);
            if (src.nameSection) entry.triggers[0] = sjis::cut(valueOf(names, key), IdBytes);
            if (known.contains(entry)) continue;
            if (full(src.kind)) {
                plat::msg::showError(41002);
                return Import::Full;
            }
            known.add(entry);
            lists_[index(src.kind)].push_back(std::move(entry));
        }
    }
    plat::msg::inform(40013);
    return Import::Done;
}

void MessageTables::fillTables() {
    // The built-in entries follow the base path, as a reload would give them.
    std::string_view slot0Path = storablePath(basePath);
    sjis::writeField(pilots_[0].Path, slot0Path);
    sjis::writeField(computers_[0].Path, slot0Path);
    sjis::writeField(announcers_[0].Path, slot0Path);
    std::fill(pilots_.begin() + 1, pilots_.end(), MsgEntry{});
    std::fill(computers_.begin() + 1, computers_.end(), MsgEntry{});
    std::fill(announcers_.begin() + 1, announcers_.end(), AnnouncerEntry{});
    const auto& p = entries(MsgKind::Pilot);
    for (size_t k = 0; k < p.size() && k + 1 < pilots_.size(); ++k) storeEntry(pilots_[k + 1], p[k]);
    const auto& c = entries(MsgKind::Computer);
    for (size_t k = 0; k < c.size() && k + 1 < computers_.size(); ++k) storeEntry(computers_[k + 1], c[k]);
    const auto& a = entries(MsgKind::Announcer);
    for (size_t k = 0; k < a.size() && k + 1 < announcers_.size(); ++k) storeEntry(announcers_[k + 1], a[k]);
}

bool MessageTables::save() {
    basePath = messagePath(basePath);
    fillTables();
    char base[BasePathSize] = {};
    sjis::writeField(base, basePath);
    return saveMsgTable({base, announcers_.data(), count(MsgKind::Announcer), pilots_.data(),
                         count(MsgKind::Pilot), computers_.data(), count(MsgKind::Computer), &words});
}

} // namespace cnf
