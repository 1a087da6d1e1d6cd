// Fuzz target for the import of the older program's message settings: the
// input is the ini file. Whatever it holds, every table stays within its
// limit, no entry gets a name or a path longer than its field, and the fixed
// tables filled from the lists keep every text terminated.
#include "config/msgedit.h"
#include "platform/ini.h"
#include "platform/notify.h"

#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz/fuzzcheck.h"

namespace {

bool terminated(const char* field, size_t size) {
    return std::memchr(field, 0, size) != nullptr;
}

void checkList(const cnf::MessageTables& t, cnf::MsgKind kind) {
    FUZZ_CHECK(t.count(kind) <= cnf::maxEntries(kind));
    for (const cnf::MsgEntryTexts& e : t.entries(kind)) {
        FUZZ_CHECK(!e.id.empty() && e.id.size() <= cnf::IdBytes);
        FUZZ_CHECK(e.triggers[0].size() <= cnf::IdBytes);
        FUZZ_CHECK(e.path.size() <= cnf::PathBytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = (plat::notify::setHeadlessEcho(false), true);
    (void)quiet;
    // One set of tables for the whole run, its lists emptied after each input
    // (within it, so that libFuzzer sees no memory outlive the input): the
    // import starts from empty lists, and the fixed tables must be refilled
    // whatever a longer import before left in them.
    static cnf::MessageTables t;
    t.importIni(plat::IniFile::fromText(std::string_view(reinterpret_cast<const char*>(data), size)));
    checkList(t, cnf::MsgKind::Pilot);
    checkList(t, cnf::MsgKind::Computer);
    checkList(t, cnf::MsgKind::Announcer);
    t.fillTables();
    for (const MsgEntry& e : t.pilotTable())
        FUZZ_CHECK(terminated(e.Id, sizeof e.Id) && terminated(e.Path, sizeof e.Path) &&
                   terminated(e.Trigger[0], sizeof e.Trigger[0]));
    for (const AnnouncerEntry& a : t.announcerTable())
        FUZZ_CHECK(terminated(a.Id, sizeof a.Id) && terminated(a.Name, sizeof a.Name) &&
                   terminated(a.Path, sizeof a.Path));
    for (cnf::MsgKind kind : {cnf::MsgKind::Pilot, cnf::MsgKind::Computer, cnf::MsgKind::Announcer})
        while (t.count(kind) > 0) t.remove(kind, static_cast<size_t>(t.count(kind) - 1));
    plat::notify::clearRecorded();
    return 0;
}
