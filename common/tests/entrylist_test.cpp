// The entry list through the real game processor: the sheets as golden text
// (with the gap of an AK that does not load), the list emptied for every
// event, another extension, and a file that cannot be created.
#include "cmntest.h"

#include "common/coreimports.h"
#include "common/entrylist.h"
#include "core/queue.h"
#include "platform/files.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

using cmntest::CmnTest;
using testsupport::sj;

void ExpectGolden(const std::string& name, const std::string& cp932) {
    std::filesystem::path p = std::filesystem::path(VELL_GOLDEN_DIR) / name;
    const char* update = std::getenv("VELL_UPDATE_GOLDEN");
    if (update && std::string_view(update) == "1") {
        testsupport::writeFile(p, cp932);
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(p)) << p << " is missing (VELL_UPDATE_GOLDEN=1 writes it)";
    EXPECT_EQ(testsupport::u8(cp932), testsupport::u8(testsupport::readFile(p)))
        << "golden file " << name << " differs (VELL_UPDATE_GOLDEN=1 rewrites it after review)";
}

class EntryList : public CmnTest {
protected:
    void SetUp() override {
        CmnTest::SetUp();
        settings_.OutputColumns = 76;
        settings_.MatchType = 2;
        settings_.MatchMinutes = 30;
        ASSERT_EQ(SetEnvironment(&settings_), 0);
    }
    bool write(const std::vector<std::string>& files, const std::string& out) {
        return cmn::outputEntryList(settings_, files, out, *buffer_);
    }

    GameSettings settings_{};
    std::unique_ptr<cv::GameMessageBuffer> buffer_ = std::make_unique<cv::GameMessageBuffer>();
};

TEST_F(EntryList, SheetsNumberedByListPlaceWithAGap) {
    const std::string out = scratch() + "entrylist.txt";
    const std::string missing = scratch() + "gone.dat";
    ASSERT_TRUE(write({cmntest::samplePath(1), missing, cmntest::samplePath(3)}, out));
    const std::string text = testsupport::readFile(out);
    EXPECT_NE(text.find(sj("【エントリー No.1  アレックス・ロウ】")), std::string::npos);
    EXPECT_EQ(text.find(sj("【エントリー No.2")), std::string::npos);
    EXPECT_NE(text.find(sj("【エントリー No.3  ")), std::string::npos);
    EXPECT_EQ(reportsAbout(missing), 1);
    ExpectGolden("entrylist.txt", text);

    // The next event's list replaces the last one.
    ASSERT_TRUE(write({cmntest::samplePath(1), missing, cmntest::samplePath(3)}, out));
    EXPECT_EQ(testsupport::readFile(out), text);
    ASSERT_TRUE(write({}, out));
    EXPECT_EQ(testsupport::readFile(out), "");
}

TEST_F(EntryList, OtherExtensionAndUncreatableFile) {
    // The sheets go to the ".txt" form of the name; both files start empty.
    testsupport::writeFile(scratch() + "list.txt", "old list\r\n");
    ASSERT_TRUE(write({cmntest::samplePath(2)}, scratch() + "list.lst"));
    EXPECT_EQ(testsupport::readFile(scratch() + "list.lst"), "");
    const std::string sheets = testsupport::readFile(scratch() + "list.txt");
    EXPECT_EQ(sheets.rfind(sj("【エントリー No.1  "), 0), 0u);
    EXPECT_EQ(sheets.find("old list"), std::string::npos);

    const std::string nowhere = scratch() + "no/such/folder/entrylist.txt";
    EXPECT_FALSE(write({cmntest::samplePath(1)}, nowhere));
    EXPECT_FALSE(plat::fileExists(nowhere));

    EXPECT_EQ(cmn::sheetFileName("x.lst"), "x.txt");
    EXPECT_EQ(cmn::sheetFileName("results\\entrylist"), "results\\entrylist.txt");
    EXPECT_EQ(cmn::sheetFileName("a.b/entrylist"), "a.b/entrylist.txt");
    EXPECT_EQ(cmn::sheetFileName("a/b.c.dat"), "a/b.c.txt");
}

} // namespace
