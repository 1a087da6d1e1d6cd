// Fuzz target for the message table and display attributes read from the
// settings store: the input becomes the values of a scratch store (counts,
// texts of any length, colours), and the loaders must keep every field
// terminated inside its bounds, every count inside its table and every slot
// above a count zero.
//
// Input: a run of records "<selector byte><length byte><bytes>"; the selector
// picks the value written, the bytes are its text. The store stays in
// memory.
#include "config/dispattr.h"
#include "config/msgtable.h"
#include "platform/notify.h"
#include "platform/registry.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzzcheck.h"

namespace {

struct Slot {
    const char* key;
    const char* name;
};

const Slot Slots[] = {
    {"Software\\Corvane\\Message\\Announcer", "Count"},
    {"Software\\Corvane\\Message\\Pilot", "Count"},
    {"Software\\Corvane\\Message\\Computer", "Count"},
    {"Software\\Corvane\\Message\\Standard", "Path"},
    {"Software\\Dunmoor\\CVVell", "InstPath"},
    {"Software\\Dunmoor\\CVVell", "BasicMsg"},
    {"Software\\Corvane\\Default", "Emblem1"},
    {"Software\\Corvane\\Message\\Standard\\Female", "0003"},
    {"Software\\Corvane\\Message\\Announcer\\Path", "0000"},
    {"Software\\Corvane\\Message\\Announcer\\Name", "0001"},
    {"Software\\Corvane\\Message\\Pilot\\Id", "0000"},
    {"Software\\Corvane\\Message\\Pilot\\Trigger\\0004", "0000"},
    {"Software\\Corvane\\Message\\Computer\\Master\\0001", "0098"},
    {"Software\\Corvane\\Message\\Computer\\Path", "0098"},
    {"Software\\Dunmoor\\CVVell\\Display", "FontName"},
    {"Software\\Dunmoor\\CVVell\\Display", "FontSize"},
    {"Software\\Dunmoor\\CVVell\\Display", "Color07"},
    {"Software\\Dunmoor\\CVVell", "ThemeFile"},
    {"Software\\Dunmoor\\CVVell\\Display", "DispSplash"},
};

bool terminated(const char* field, size_t size) {
    return std::memchr(field, 0, size) != nullptr;
}

template <class T> bool allZero(const T& rec) {
    static const T zero{};
    return std::memcmp(&rec, &zero, sizeof(T)) == 0;
}

void checkEntries(const std::vector<MsgEntry>& entries, int count, int slots) {
    FUZZ_CHECK(count >= 0 && count < slots);
    for (int i = 0; i < slots; ++i) {
        const MsgEntry& e = entries[static_cast<size_t>(i)];
        if (i > count) FUZZ_CHECK(allZero(e));
        FUZZ_CHECK(terminated(e.Id, sizeof e.Id) && terminated(e.Path, sizeof e.Path));
        for (int n = 0; n < 4; ++n)
            FUZZ_CHECK(terminated(e.Trigger[n], sizeof e.Trigger[n]) &&
                       terminated(e.Words[n], sizeof e.Words[n]));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = (plat::notify::setHeadlessEcho(false), true);
    (void)quiet;
    plat::reg::setStoreText("");
    {
        plat::reg::Batch batch;
        size_t i = 0;
        while (i + 2 <= size) {
            const Slot& slot = Slots[data[i] % (sizeof Slots / sizeof Slots[0])];
            size_t len = std::min<size_t>(data[i + 1], size - i - 2);
            std::string text(reinterpret_cast<const char*>(data + i + 2), len);
            plat::reg::writeValue(slot.key, slot.name, text);
            i += 2 + len;
        }
    }

    char base[cnf::BasePathSize];
    // The tables are made once, and filled with junk before every input: the
    // loader must clear what it does not fill, as it must clear what a
    // longer table left in the program's own, and a finding replays on its
    // own.
    static std::vector<AnnouncerEntry> announcers(cnf::AnnouncerSlots);
    static std::vector<MsgEntry> pilots(cnf::PilotSlots), computers(cnf::ComputerSlots);
    std::memset(announcers.data(), 0x55, announcers.size() * sizeof(AnnouncerEntry));
    std::memset(pilots.data(), 0x55, pilots.size() * sizeof(MsgEntry));
    std::memset(computers.data(), 0x55, computers.size() * sizeof(MsgEntry));
    int na = -1, np = -1, nc = -1;
    MsgWords words;
    std::memset(base, 0x55, sizeof base);
    cnf::loadMsgTable({base, announcers.data(), &na, pilots.data(), &np, computers.data(), &nc, &words});
    FUZZ_CHECK(terminated(base, sizeof base));
    FUZZ_CHECK(na >= 0 && na < cnf::AnnouncerSlots);
    for (int k = 0; k < cnf::AnnouncerSlots; ++k) {
        const AnnouncerEntry& a = announcers[static_cast<size_t>(k)];
        if (k > na) FUZZ_CHECK(allZero(a));
        FUZZ_CHECK(terminated(a.Id, sizeof a.Id) && terminated(a.Name, sizeof a.Name) &&
                   terminated(a.Path, sizeof a.Path));
    }
    checkEntries(pilots, np, cnf::PilotSlots);
    checkEntries(computers, nc, cnf::ComputerSlots);
    FUZZ_CHECK(terminated(words.Emblem1, sizeof words.Emblem1) &&
               terminated(words.Emblem2, sizeof words.Emblem2));

    DispAttribute attr;
    cnf::loadDispAttribute(attr);
    FUZZ_CHECK(terminated(attr.FontName, sizeof attr.FontName) &&
               terminated(attr.ThemeFile, sizeof attr.ThemeFile));
    FUZZ_CHECK(attr.DispSplash == 0 || attr.DispSplash == 1);
    // The tree goes within the input that made it, so that libFuzzer sees no
    // memory kept from one input to the next (which it would run again to
    // look for a leak).
    plat::reg::setStoreText("");
    plat::notify::clearRecorded();
    return 0;
}
