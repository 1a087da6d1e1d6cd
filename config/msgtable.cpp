// Loading and saving the message table through the settings store.
#include "config/msgtable.h"

#include "base/sjis.h"
#include "platform/catalogue.h"
#include "platform/registry.h"
#include "sjis/cnf_text.h"

#include <algorithm>
#include <cstdio>

namespace cnf {

namespace {

constexpr char DefaultKey[] = "Software\\Corvane\\Default";
constexpr char MessageKey[] = "Software\\Corvane\\Message";
constexpr char VellKey[] = "Software\\Dunmoor\\CVVell";

constexpr size_t EntryPathSize = sizeof(MsgEntry::Path);
static_assert(sizeof(AnnouncerEntry::Path) == EntryPathSize);

const char* const FemaleWords[10] = {
    text::Female0, text::Female1, text::Female2, text::Female3, text::Female4,
    text::Female5, text::Female6, text::Female7, text::Female8, ""};
const char* const MasterWords[10] = {text::Master0, text::Master1, "", "", "", "", "", "", "", ""};
const char* const MySelfWords[10] = {text::MySelf0, text::MySelf1, "", "", "", "", "", "", "", ""};

std::string section(std::string_view name) {
    std::string key(MessageKey);
    key += '\\';
    key += name;
    return key;
}

// "%4.4d" of n: the value name of user entry n and of word n.
std::string slotName(int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%4.4d", n);
    return buf;
}

// The section of trigger or word n (from 1) of an entry: "Pilot\Trigger\0001".
std::string numberedSection(std::string_view base, int n) {
    std::string s(base);
    s += '\\';
    s += slotName(n);
    return section(s);
}

// A text value into a field, cut on a character boundary to fit.
void readText(char* field, size_t size, const std::string& key, const std::string& name) {
    sjis::writeField(field, size, plat::reg::readString(key, name, ""));
}

// A path that does not fit its field is left empty rather than cut.
void readPath(char* field, size_t size, const std::string& key, const std::string& name) {
    std::string v = plat::reg::readString(key, name, "");
    if (v.size() >= size) v.clear();
    sjis::writeField(field, size, v);
}

// One key of a table's entries, asked once whether the store has it: a
// missing key leaves every slot's field empty (as the cleared slots are), so
// its slots are not read one by one.
struct SlotKey {
    std::string key;
    bool present;

    explicit SlotKey(std::string k) : key(std::move(k)), present(plat::reg::keyExists(key)) {}
    void text(char* field, size_t size, const std::string& name) const {
        if (present) readText(field, size, key, name);
    }
    void path(char* field, size_t size, const std::string& name) const {
        if (present) readPath(field, size, key, name);
    }
};

int readCount(std::string_view table, int slots) {
    return std::clamp(plat::reg::readInteger(section(table), "Count", 0), 0, slots - 1);
}

// Ten words; a list whose ten values are all empty gets the built-in words.
void loadWordList(char (&list)[10][32], std::string_view name, const char* const (&builtin)[10]) {
    std::string key = section(name);
    std::string values[10];
    bool any = false;
    for (int i = 0; i < 10; ++i) {
        values[i] = plat::reg::readString(key, slotName(i), "");
        any = any || !values[i].empty();
    }
    for (int i = 0; i < 10; ++i) sjis::writeField(list[i], any ? std::string_view(values[i]) : builtin[i]);
}

// A pilot or computer table: slot 0 built in, user entries from the store.
int loadEntries(MsgEntry* entries, int slots, std::string_view table, std::string_view builtinId,
                std::string_view slot0Path, std::string_view wordSection) {
    int count = readCount(table, slots);
    std::fill(entries, entries + slots, MsgEntry{});
    sjis::writeField(entries[0].Id, builtinId);
    sjis::writeField(entries[0].Path, slot0Path);
    if (count == 0) return 0;
    std::string t(table);
    const SlotKey pathKey(section(t + "\\Path")), idKey(section(t + "\\Id"));
    const SlotKey triggerKeys[4] = {
        SlotKey(numberedSection(t + "\\Trigger", 1)), SlotKey(numberedSection(t + "\\Trigger", 2)),
        SlotKey(numberedSection(t + "\\Trigger", 3)), SlotKey(numberedSection(t + "\\Trigger", 4))};
    const std::string words(wordSection);
    const SlotKey wordKeys[4] = {SlotKey(numberedSection(words, 1)), SlotKey(numberedSection(words, 2)),
                                 SlotKey(numberedSection(words, 3)), SlotKey(numberedSection(words, 4))};
    for (int k = 0; k < count; ++k) {
        MsgEntry& e = entries[k + 1];
        std::string name = slotName(k);
        pathKey.path(e.Path, sizeof e.Path, name);
        idKey.text(e.Id, sizeof e.Id, name);
        for (int n = 0; n < 4; ++n) {
            triggerKeys[n].text(e.Trigger[n], sizeof e.Trigger[n], name);
            wordKeys[n].text(e.Words[n], sizeof e.Words[n], name);
        }
    }
    return count;
}

void saveWordList(const char (&list)[10][32], std::string_view name) {
    std::string key = section(name);
    for (int i = 0; i < 10; ++i) plat::reg::writeValue(key, slotName(i), sjis::readField(list[i]));
}

void saveEntries(const MsgEntry* entries, int count, int slots, std::string_view table,
                 std::string_view wordSection) {
    count = std::clamp(count, 0, slots - 1);
    std::string t(table);
    plat::reg::writeInteger(section(t), "Count", count);
    std::string pathKey = section(t + "\\Path"), idKey = section(t + "\\Id");
    for (int k = 0; k < count; ++k) {
        const MsgEntry& e = entries[k + 1];
        std::string name = slotName(k);
        plat::reg::writeValue(pathKey, name, sjis::readField(e.Path));
        plat::reg::writeValue(idKey, name, sjis::readField(e.Id));
        for (int n = 0; n < 4; ++n) {
            plat::reg::writeValue(numberedSection(t + "\\Trigger", n + 1), name,
                                  sjis::readField(e.Trigger[n]));
            plat::reg::writeValue(numberedSection(std::string(wordSection), n + 1), name,
                                  sjis::readField(e.Words[n]));
        }
    }
}

} // namespace

std::string defaultBasePath() {
    std::string inst = plat::reg::readString(VellKey, "InstPath", "");
    size_t last = std::string::npos;
    for (size_t i = 0; i < inst.size(); i += sjis::charLength(inst, i))
        if (inst[i] == '\\') last = i;
    if (last == std::string::npos) return {};
    return inst.substr(0, last) + plat::reg::readString(VellKey, "BasicMsg", "");
}

void loadMsgTable(const MsgTable& t) {
    if (t.words) {
        MsgWords w{};
        sjis::writeField(w.Emblem1, plat::reg::readString(DefaultKey, "Emblem1", text::Emblem1));
        sjis::writeField(w.Emblem2, plat::reg::readString(DefaultKey, "Emblem2", text::Emblem2));
        loadWordList(w.Female, "Standard\\Female", FemaleWords);
        loadWordList(w.Master, "Standard\\Master", MasterWords);
        loadWordList(w.MySelf, "Standard\\MySelf", MySelfWords);
        *t.words = w;
    }

    std::string base = plat::reg::readString(section("Standard"), "Path", "");
    if (base.empty()) base = defaultBasePath();
    if (base.size() >= BasePathSize) base.clear(); // a cut path would name another place
    if (base.empty()) plat::msg::inform(40005);
    if (t.basePath) sjis::writeField(t.basePath, BasePathSize, base);
    // The built-in entries use the base path only when it fits their field.
    std::string_view slot0Path = base.size() < EntryPathSize ? std::string_view(base) : std::string_view();

    if (t.announcers) {
        int count = readCount("Announcer", AnnouncerSlots);
        AnnouncerEntry* a = t.announcers;
        std::fill(a, a + AnnouncerSlots, AnnouncerEntry{});
        sjis::writeField(a[0].Id, text::AnnouncerId);
        sjis::writeField(a[0].Name, text::AnnouncerName);
        sjis::writeField(a[0].Path, slot0Path);
        if (count > 0) {
            const SlotKey pathKey(section("Announcer\\Path")), idKey(section("Announcer\\Id")),
                nameKey(section("Announcer\\Name"));
            for (int k = 0; k < count; ++k) {
                std::string name = slotName(k);
                pathKey.path(a[k + 1].Path, sizeof a[k + 1].Path, name);
                idKey.text(a[k + 1].Id, sizeof a[k + 1].Id, name);
                nameKey.text(a[k + 1].Name, sizeof a[k + 1].Name, name);
            }
        }
        if (t.announcerCount) *t.announcerCount = count;
    }
    if (t.pilots) {
        int count = loadEntries(t.pilots, PilotSlots, "Pilot", text::PilotId, slot0Path, "Pilot\\MySelf");
        if (t.pilotCount) *t.pilotCount = count;
    }
    if (t.computers) {
        int count = loadEntries(t.computers, ComputerSlots, "Computer", text::ComputerId, slot0Path,
                                "Computer\\Master");
        if (t.computerCount) *t.computerCount = count;
    }
}

bool saveMsgTable(const ConstMsgTable& t) {
    {
        plat::reg::Batch batch;
        if (t.words) {
            plat::reg::writeValue(DefaultKey, "Emblem1", sjis::readField(t.words->Emblem1));
            plat::reg::writeValue(DefaultKey, "Emblem2", sjis::readField(t.words->Emblem2));
            saveWordList(t.words->Female, "Standard\\Female");
            saveWordList(t.words->Master, "Standard\\Master");
            saveWordList(t.words->MySelf, "Standard\\MySelf");
        }
        if (t.basePath)
            plat::reg::writeValue(section("Standard"), "Path", sjis::readField(t.basePath, BasePathSize));
        if (t.announcers) {
            int count = std::clamp(t.announcerCount, 0, AnnouncerSlots - 1);
            plat::reg::writeInteger(section("Announcer"), "Count", count);
            std::string pathKey = section("Announcer\\Path"), idKey = section("Announcer\\Id"),
                        nameKey = section("Announcer\\Name");
            for (int k = 0; k < count; ++k) {
                const AnnouncerEntry& a = t.announcers[k + 1];
                std::string name = slotName(k);
                plat::reg::writeValue(pathKey, name, sjis::readField(a.Path));
                plat::reg::writeValue(idKey, name, sjis::readField(a.Id));
                plat::reg::writeValue(nameKey, name, sjis::readField(a.Name));
            }
        }
        if (t.pilots) saveEntries(t.pilots, t.pilotCount, PilotSlots, "Pilot", "Pilot\\MySelf");
        if (t.computers)
            saveEntries(t.computers, t.computerCount, ComputerSlots, "Computer", "Computer\\Master");
    }
    // The batch saved the store once on leaving; a failed save is still dirty.
    return plat::reg::flush();
}

} // namespace cnf
