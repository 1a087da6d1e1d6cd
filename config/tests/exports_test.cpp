// libvellcnf.so as the main program and the plug-ins meet it: loaded by its
// Windows name from the program folder, every entry bound by name and called
// through its C signature.
#include "config/conftree.h"
#include "config/vellcnf.h"
#include "platform/loader.h"

#include "testenv.h"

#include <cstring>
#include <vector>

namespace {

using LoadMsgTableFn = void (*)(const char*, char*, AnnouncerEntry*, int*, MsgEntry*, int*, MsgEntry*, int*,
                                MsgWords*);
// The same nine arguments as LoadMsgTable: the counts by pointer.
using SaveMsgTableFn = void (*)(const char*, const char*, const AnnouncerEntry*, int*, const MsgEntry*, int*,
                                const MsgEntry*, int*, const MsgWords*);
using LoadDispFn = void (*)(const char*, DispAttribute*);
using SaveDispFn = void (*)(const char*, const DispAttribute*);
using ChangeFn = int (*)(void*, const char*, ConfHeader*);
using EnvFn = int (*)(int);
using GameFn = int (*)(const char*, ConfNodeRec*);
using FolderFn = int (*)(const char*, ConfNodeRec*, ConfHeader*);

class ExportsTest : public cnftest::ConfigTest {
protected:
    void SetUp() override {
        ConfigTest::SetUp();
        ASSERT_TRUE(lib.load(VELL_PROGRAM_DIR, "vellcnf.dll",
                             {"LoadMsgTable", "SaveMsgTable", "LoadDispAttribute", "SaveDispAttribute",
                              "ChangeTreeNodeConf", "ConfigureEnv", "ConfigureGame", "ConfigureFolder"}))
            << lib.error();
    }
    plat::Library lib;
};

TEST_F(ExportsTest, MessageTableAndDisplayAttributesThroughTheLibrary) {
    auto load = lib.function<LoadMsgTableFn>("LoadMsgTable");
    auto save = lib.function<SaveMsgTableFn>("SaveMsgTable");
    char base[256];
    std::vector<AnnouncerEntry> ann(50);
    std::vector<MsgEntry> pilots(200), computers(100);
    MsgWords words;
    int na = -1, np = -1, nc = -1;
    load(VELL_PROGRAM_DIR, base, ann.data(), &na, pilots.data(), &np, computers.data(), &nc, &words);
    EXPECT_EQ(na, 0);
    EXPECT_EQ(std::string(pilots[0].Id), testsupport::sj("基本"));
    EXPECT_EQ(shown(40005), 1);

    // Pilots come before computers in the argument list.
    std::strcpy(base, "Msg\\");
    std::strcpy(pilots[1].Id, "Pilot");
    std::strcpy(computers[1].Id, "Computer");
    std::strcpy(computers[2].Id, "Second");
    std::strcpy(ann[1].Id, "Ann");
    np = 1;
    nc = 2;
    na = 1;
    save(VELL_PROGRAM_DIR, base, ann.data(), &na, pilots.data(), &np, computers.data(), &nc, &words);
    const std::string key = "Software\\Corvane\\Message\\";
    EXPECT_EQ(plat::reg::readString(key + "Pilot\\Id", "0000", ""), "Pilot");
    EXPECT_EQ(plat::reg::readString(key + "Computer\\Id", "0001", ""), "Second");
    EXPECT_EQ(plat::reg::readString(key + "Pilot", "Count", ""), "1");
    EXPECT_EQ(plat::reg::readString(key + "Computer", "Count", ""), "2");
    EXPECT_EQ(plat::reg::readString(key + "Announcer", "Count", ""), "1");
    load(VELL_PROGRAM_DIR, base, ann.data(), &na, pilots.data(), &np, computers.data(), &nc, &words);
    EXPECT_EQ(np, 1);
    EXPECT_EQ(nc, 2);
    EXPECT_EQ(na, 1);
    EXPECT_STREQ(computers[0].Path, "Msg\\");

    // A null count saves no user entries for its list; the others stay.
    save(VELL_PROGRAM_DIR, base, ann.data(), nullptr, pilots.data(), &np, computers.data(), &nc, &words);
    EXPECT_EQ(plat::reg::readString(key + "Announcer", "Count", ""), "0");
    EXPECT_EQ(plat::reg::readString(key + "Computer", "Count", ""), "2");

    DispAttribute attr{};
    lib.function<LoadDispFn>("LoadDispAttribute")(VELL_PROGRAM_DIR, &attr);
    EXPECT_EQ(attr.FontSize, 9);
    attr.Color[8] = 0x80000005u;
    lib.function<SaveDispFn>("SaveDispAttribute")(VELL_PROGRAM_DIR, &attr);
    EXPECT_EQ(plat::reg::readString("Software\\Dunmoor\\CVVell\\Display", "Color08", ""), "0x80000005");
}

TEST_F(ExportsTest, ChangeTreeNodeConfTakesTheSharedTreeNode) {
    std::filesystem::create_directories(program_ / "AkOut");
    cnf::ConfTree tree(folder());
    auto* net = tree.addNew(nullptr, cnf::ConfTree::NewKind::Net);
    auto* conf = tree.addNew(net, cnf::ConfTree::NewKind::Conf);
    ASSERT_NE(conf, nullptr);
    ConfHeader folders{};
    std::strcpy(folders.AkOutputFolder, "AkOut\\");
    std::strcpy(folders.ResultFolder, "Missing\\");
    EXPECT_EQ(lib.function<ChangeFn>("ChangeTreeNodeConf")(net, folder().c_str(), &folders), 0);
    EXPECT_STREQ(folders.ResultFolder, "");
    std::string bytes = testsupport::readFile(file(conf->rec.ConfPath));
    EXPECT_EQ(bytes.substr(5387, 7), std::string("AkOut\\\0", 7));
    EXPECT_EQ(lib.function<ChangeFn>("ChangeTreeNodeConf")(nullptr, nullptr, nullptr), 0);
}

// This program has no QApplication: the dialogs answer as cancelled ones
// would, without a window, and write no file. The node checks and the
// missing conf file still come first.
TEST_F(ExportsTest, DialogEntriesAnswerWithoutAWindow) {
    ConfNodeRec net{};
    ConfNodeRec conf{};
    conf.Kind = 1;
    std::strcpy(conf.ConfPath, "Config\\VLCNFAAAAAA");
    ConfNodeRec odd{};
    odd.Kind = 2;
    ConfHeader folders{};
    std::memset(&folders, 0x44, sizeof folders);
    EXPECT_EQ(lib.function<EnvFn>("ConfigureEnv")(0), 2);
    EXPECT_EQ(lib.function<GameFn>("ConfigureGame")(folder().c_str(), &net), 0);
    EXPECT_EQ(lib.function<GameFn>("ConfigureGame")(folder().c_str(), nullptr), 0);
    EXPECT_EQ(boxes(), 0);
    EXPECT_EQ(lib.function<GameFn>("ConfigureGame")(folder().c_str(), &conf), 0);
    EXPECT_EQ(shown(41042), 1);
    testsupport::writeFile(file(conf.ConfPath), std::string(6161, '\0'));
    EXPECT_EQ(lib.function<GameFn>("ConfigureGame")(folder().c_str(), &conf), 2);
    EXPECT_EQ(testsupport::readFile(file(conf.ConfPath)), std::string(6161, '\0'));

    // Only a net (Kind 0) and only with a buffer.
    EXPECT_EQ(lib.function<FolderFn>("ConfigureFolder")(folder().c_str(), &conf, &folders), 0);
    EXPECT_EQ(lib.function<FolderFn>("ConfigureFolder")(folder().c_str(), &odd, &folders), 0);
    EXPECT_EQ(lib.function<FolderFn>("ConfigureFolder")(folder().c_str(), &net, nullptr), 0);
    EXPECT_EQ(lib.function<FolderFn>("ConfigureFolder")(folder().c_str(), &net, &folders), 2);
    EXPECT_EQ(folders.AkInputFolder[0], 0x44);
    EXPECT_EQ(boxes(), 1);
}

} // namespace
