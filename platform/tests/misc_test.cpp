#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/exedir.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/syscolour.h"
#include "platform/version.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

using testsupport::sj;
using testsupport::TempDir;

// The top bit makes a system colour, its index is the low byte.
TEST(SystemColours, OneRuleOneScheme) {
    EXPECT_EQ(plat::rgbOfColour(0x00123456u), 0x123456u);
    EXPECT_EQ(plat::rgbOfColour(0x01123456u), 0x123456u); // a palette index is no system colour
    EXPECT_EQ(plat::rgbOfColour(0x80000008u), 0x000000u); // window text
    EXPECT_EQ(plat::rgbOfColour(0x80000005u), 0xFFFFFFu); // window
    EXPECT_EQ(plat::rgbOfColour(0xFF000018u), 0xE1FFFFu); // tooltip background
    EXPECT_EQ(plat::rgbOfColour(0x80000105u), 0xFFFFFFu); // index 0x105 & 0xFF = 5
    EXPECT_EQ(plat::rgbOfColour(0x80000019u), 0u);        // beyond the scheme: black
}

TEST(Random, ClassicSequenceFromASeed) {
    plat::random::seed(1);
    EXPECT_EQ(plat::random::next(), 346);
    EXPECT_EQ(plat::random::next(), 130);
    EXPECT_EQ(plat::random::next(), 10982);
    plat::random::seed(1);
    EXPECT_EQ(plat::random::next(), 346);
    for (int i = 0; i < 1000; ++i) {
        int v = plat::random::next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, plat::random::Max);
    }
}

TEST(Clock, AsctimeLayoutAndFixedTime) {
    plat::clock::LocalTime t;
    t.year = 2026;
    t.month = 1;
    t.day = 5;
    t.dayOfWeek = 1;
    t.hour = 9;
    t.minute = 4;
    t.second = 1;
    EXPECT_EQ(plat::clock::asctimeText(t), "Mon Jan  5 09:04:01 2026\n");
    plat::clock::setFixedLocalTime(t);
    EXPECT_EQ(plat::clock::localNow().minute, 4);
    plat::clock::setFixedLocalTime(std::nullopt);
    plat::clock::setFixedEpochSeconds(123);
    EXPECT_EQ(plat::clock::epochSeconds(), 123);
    plat::clock::setFixedEpochSeconds(std::nullopt);
}

TEST(Version, ReadsTheSidecarAsShiftJis) {
    TempDir dir;
    plat::setLibraryFolder(dir.folder());
    testsupport::writeFile(dir.path() / "libvell_ak.so.ver",
                           "FileVersion=1.0.0.0\nCompanyName=Dunmoor\nFileDescription=ＡＫデータ\n");
    plat::RcVersion v("VELL_AK.DLL");
    const char* text = "unchanged";
    ASSERT_TRUE(v.FileVersion(&text));
    EXPECT_STREQ(text, "1.0.0.0");
    ASSERT_TRUE(v.FileDescription(&text));
    EXPECT_EQ(std::string(text), sj("ＡＫデータ"));
    const char* keep = "unchanged";
    EXPECT_FALSE(v.LegalCopyright(&keep));
    EXPECT_STREQ(keep, "unchanged");

    plat::RcVersion none("Vell.exe");
    EXPECT_FALSE(none.hasBlock());
    EXPECT_FALSE(none.FileVersion(&keep));
    EXPECT_STREQ(keep, "unchanged");
}

TEST(ExeDirFile, OpensUnderTheProgramFolderOrComplains) {
    TempDir dir;
    plat::setProgramFolder(dir.folder());
    plat::notify::setHeadlessEcho(false);
    plat::notify::clearRecorded();
    std::filesystem::create_directory(dir.path() / "Config");
    testsupport::writeFile(dir.path() / "Config" / "a.dat", "x");
    std::FILE* f = plat::OpenExeDirFile(plat::programFolder(), "Config\\a.dat", "rb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_TRUE(plat::notify::recorded().empty());
    // A long folder is no problem.
    std::string deep = std::string(120, 'd');
    std::filesystem::create_directory(dir.path() / deep);
    f = plat::OpenExeDirFile(plat::programFolder(), deep + "\\new.txt", "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    // Windows absolute forms and missing files give message 41042.
    EXPECT_EQ(plat::OpenExeDirFile(plat::programFolder(), "C:\\x.dat", "rb"), nullptr);
    EXPECT_EQ(plat::OpenExeDirFile(plat::programFolder(), "missing.dat", "rb"), nullptr);
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 2u);
    EXPECT_EQ(rec[0].text, sj("環境ファイルが Config ディレクトリにありません"));
    EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
    // An absolute Linux path is used as it stands.
    f = plat::OpenExeDirFile("ignored/", (dir.path() / "Config" / "a.dat").string(), "rb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    plat::notify::clearRecorded();
}

TEST(Desktop, MediaWithoutBackendFailsQuietly) {
    int error = 0;
    EXPECT_EQ(plat::desktop::openMedia(plat::desktop::MediaSequencer, "/nonexistent.mid", error), nullptr);
    EXPECT_NE(error, 0);
    std::string opened;
    plat::desktop::setDocumentOpener([&](const std::string& p) {
        opened = p;
        return true;
    });
    EXPECT_TRUE(plat::desktop::openDocument("/tmp/Doc\\Support.htm"));
    EXPECT_EQ(opened, "/tmp/Doc/Support.htm");
    plat::desktop::setDocumentOpener(nullptr);
}
