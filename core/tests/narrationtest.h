// Shared pieces of the narration tests: a fight fixture whose module has
// its eight template tables and decodes archive lines through the
// message-archive library itself (loaded by name from the program folder),
// a message table pointing at the sample sets of data/Message, and hand-made
// archive images for the reader's hostile cases.
#pragma once

#include "base/confrecords.h"
#include "fighttest.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace narrtest {

using namespace fighttest;

// The sample data folder ("<source>/data/") and a path under it.
std::string sample(std::string_view relative);

// An archive image: the header, the directory and each entry's length table
// and stored lines (stored as given: 0x09 and the text is a literal line).
struct ArchiveEntry {
    std::string Name;
    std::vector<std::string> Stored;
};
std::string ArchiveImage(const std::vector<ArchiveEntry>& entries);
// A stored line that decodes to exactly `text`.
std::string Literal(std::string_view text);

class NarrationTest : public FightTest {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The message table: announcer entry 0 names the base set `base`.
    void baseSet(std::string_view base);
    AnnouncerEntry& announcer(int k, const char* id, const char* name, std::string_view path);
    MsgEntry& computer(int k, const char* id, std::string_view path,
                       std::initializer_list<const char*> triggers,
                       std::initializer_list<const char*> words = {});
    MsgEntry& pilot(int k, const char* id, std::string_view path, std::initializer_list<const char*> triggers,
                    std::initializer_list<const char*> words = {});
    // Line n of template table t as UTF-8.
    std::string tableLine(int t, int n) const;
    // Every queued line, one per line, as UTF-8.
    std::string all() const { return lines(); }

    AnnouncerEntry announcers[50]{};
    MsgEntry computers[100]{};
    MsgEntry pilots[200]{};
};

} // namespace narrtest
