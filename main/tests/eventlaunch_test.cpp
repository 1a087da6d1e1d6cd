#include "base/sjis.h"
#include "main/eventlaunch.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

using testsupport::sj;
using testsupport::TempDir;

namespace {

class EventLaunch : public ::testing::Test {
protected:
    void SetUp() override {
        plat::setProgramFolder(dir.folder());
        plat::setLibraryFolder(dir.folder()); // and its libraries: only those a test puts there
        plat::reg::setStorePath(dir.path().string() + "/registry.reg");
        plat::notify::setHeadlessEcho(false);
        plat::notify::clearRecorded();
        std::filesystem::create_directories(dir.path() / "Config");
    }
    void TearDown() override { plat::notify::clearRecorded(); }

    // Writes a conf file and returns its stored path.
    std::string writeConf(const std::string& name, int gameForm, const std::string& akIn) {
        ConfFile conf{};
        conf.Settings.OutputColumns = 76;
        sjis::writeField(conf.Header.ConfName, name);
        sjis::writeField(conf.Header.AkInputFolder, akIn);
        sjis::writeField(conf.Header.AkOutputFolder, "AkOut\\");
        sjis::writeField(conf.Header.ResultFolder, "C:\\Result");
        conf.Header.GameForm = static_cast<uint8_t>(gameForm);
        std::string file = "VLCNF" + std::to_string(++count) + "AAAAA";
        testsupport::writeFile(dir.path() / "Config" / file,
                               std::string(reinterpret_cast<const char*>(&conf), sizeof conf));
        return "Config\\" + file;
    }
    TempDir dir;
    int count = 0;
};

} // namespace

TEST(MakeAbsolute, StoredFoldersBecomeAbsolute) {
    char path[256] = "AkData\\";
    vell::MakeAbsolutePath("/prog/", path);
    EXPECT_STREQ(path, "/prog/AkData\\");
    char drive[256] = "C:\\x";
    vell::MakeAbsolutePath("/prog/", drive);
    EXPECT_STREQ(drive, "C:\\x");
    char colon[256] = "ab:c";
    vell::MakeAbsolutePath("/prog/", colon);
    EXPECT_STREQ(colon, "ab:c");
    char back[256] = "\\share";
    vell::MakeAbsolutePath("/prog/", back);
    EXPECT_STREQ(back, "\\share");
    char empty[256] = "";
    vell::MakeAbsolutePath("/prog/", empty);
    EXPECT_STREQ(empty, "/prog/");
    // The field holds 255 bytes and its NUL: "/pp/" and 251 bytes fit, one
    // byte more is refused and leaves the field as stored.
    char fits[256] = {};
    std::memset(fits, 'x', 251);
    std::string full;
    EXPECT_TRUE(vell::MakeAbsolutePath("/pp/", fits, &full));
    EXPECT_EQ(std::strlen(fits), 255u);
    char tooLong[256] = {};
    std::memset(tooLong, 'x', 252);
    EXPECT_FALSE(vell::MakeAbsolutePath("/pp/", tooLong, &full));
    EXPECT_EQ(std::string(tooLong), std::string(252, 'x'));
    EXPECT_EQ(full, "/pp/" + std::string(252, 'x'));
}

TEST_F(EventLaunch, SourceListTakesRegistryPairsThenConfs) {
    plat::reg::writeValue("Software\\Dunmoor\\SablewrightIntegrated\\Team\\0000", "Comment", "Team A");
    plat::reg::writeValue("Software\\Corvane\\AK", "0000", "D:\\a");
    plat::reg::writeValue("Software\\Dunmoor\\SablewrightIntegrated\\Team\\0001", "Comment", "No folder");
    plat::reg::writeValue("Software\\Dunmoor\\SablewrightIntegrated\\Team\\0003", "Comment", "Team C");
    plat::reg::writeValue("Software\\Corvane\\AK", "0003", "D:\\c");
    std::string conf = writeConf(sj("春の大会"), 0, "AkData\\");
    AkSourceList list{};
    // A conf slot is named after its node, not after the conf's own name.
    vell::BuildAkSourceList(dir.folder(), {{sj("春"), conf}, {"Gone", "Config\\VLCNFMISSING"}}, list);
    EXPECT_EQ(list.Count, 4);
    EXPECT_STREQ(list.Names[1], "Team A");
    EXPECT_STREQ(list.Paths[2], "D:\\c");
    EXPECT_EQ(std::string(list.Names[3]), sj("春"));
    EXPECT_STREQ(list.Paths[3], "AkData\\");
    EXPECT_EQ(plat::notify::recorded().size(), 1u); // the missing conf file
}

TEST_F(EventLaunch, TwentyRegistryPairsFillTheList) {
    for (int i = 0; i < 20; ++i) {
        char k[16];
        std::snprintf(k, sizeof k, "%4.4d", i);
        plat::reg::writeValue(std::string("Software\\Dunmoor\\SablewrightIntegrated\\Team\\") + k, "Comment",
                              "T");
        plat::reg::writeValue("Software\\Corvane\\AK", k, "F");
    }
    AkSourceList list{};
    vell::BuildAkSourceList(dir.folder(), {{"Gone", "Config\\VLCNFMISSING"}}, list);
    EXPECT_EQ(list.Count, 20);
    EXPECT_TRUE(plat::notify::recorded().empty()); // no conf was read
}

TEST_F(EventLaunch, MissingModeLibraryIsReported) {
    std::string conf = writeConf("League", 3, "AkData\\");
    EXPECT_FALSE(vell::StartEvent(dir.folder(), conf, {{"League", conf}}, {}));
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("試合用の DLL(LEAGUE.DLL) がロードできません。\nファイルを確認してください"));
    plat::notify::clearRecorded();
    std::string bad = writeConf("Bad", 9, "");
    EXPECT_FALSE(vell::StartEvent(dir.folder(), bad, {}, {}));
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text,
              sj("試合用の DLL() がロードできません。\nファイルを確認してください"));
}

// One byte short of both records: named as no conf, with '/' throughout.
TEST_F(EventLaunch, ConfTooShortIsNamedAsNoConf) {
    std::string conf = writeConf("League", 3, "AkData\\");
    std::filesystem::resize_file(dir.path() / "Config" / conf.substr(7), 6160);
    EXPECT_FALSE(vell::StartEvent(dir.folder(), conf, {}, {}));
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text,
              sj("試合設定ファイル(") + dir.folder() + "Config/" + conf.substr(7) + sj(")の形式が不正です"));
}

TEST_F(EventLaunch, GameStartGetsAbsoluteFoldersAndTheList) {
    std::filesystem::copy_file(FAKEMODE_PATH, dir.path() / "libleague.so");
    std::string conf = writeConf("League", 3, "AkData\\");
    std::string order;
    vell::LaunchHooks hooks;
    hooks.busy = [&] { order += "busy "; };
    hooks.beforeGameStart = [&] { order += "before "; };
    hooks.afterGameStart = [&] { order += "after"; };
    ASSERT_TRUE(vell::StartEvent(dir.folder(), conf, {{"League node", conf}}, hooks));
    EXPECT_EQ(order, "busy before after");
    std::string got = testsupport::readFile(dir.path() / "gamestart.txt");
    std::string pf = dir.folder();
    EXPECT_EQ(got, "76\nLeague\n" + pf + "AkData\\\n" + pf + "AkOut\\\nC:\\Result\n" + pf +
                       "\n2\nLeague node=AkData\\\n");
}

TEST_F(EventLaunch, FolderTooLongToMakeAbsoluteStopsTheEvent) {
    std::filesystem::copy_file(FAKEMODE_PATH, dir.path() / "libleague.so");
    // 255 bytes stored fit the field, but not behind the program folder.
    std::string longFolder(255, 'a');
    std::string conf = writeConf("League", 3, longFolder);
    bool started = false;
    vell::LaunchHooks hooks;
    hooks.beforeGameStart = [&] { started = true; };
    EXPECT_FALSE(vell::StartEvent(dir.folder(), conf, {}, hooks));
    EXPECT_FALSE(started);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "gamestart.txt"));
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("フォルダのパス(") + dir.folder() + longFolder + sj(")が長すぎます"));
}
