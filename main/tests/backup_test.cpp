#include "base/sjis.h"
#include "config/conffile.h"
#include "config/conftree.h"
#include "main/backup.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "testsupport/testsupport.h"

#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>

using testsupport::sj;
using testsupport::TempDir;

namespace {

class Backup : public ::testing::Test {
protected:
    void SetUp() override {
        plat::setProgramFolder(dir.folder());
        plat::reg::setStorePath(dir.path().string() + "/registry.reg");
        plat::notify::setHeadlessEcho(false);
        plat::notify::clearRecorded();
        plat::notify::setHeadlessAnswer(0);
        std::filesystem::create_directories(dir.path() / "Config");
    }
    void TearDown() override {
        plat::notify::clearRecorded();
        plat::notify::setHeadlessAnswer(0);
    }
    TempDir dir;
};

} // namespace

TEST_F(Backup, SettingsSurviveSaveAndRestore) {
    plat::reg::writeValue("Software\\Corvane\\Message\\Standard", "Path", "C:\\Vell\\Msg\\");
    plat::reg::writeValue("Software\\Corvane\\Default", "Emblem1", sj("★"));
    plat::reg::writeValue("Software\\Dunmoor\\CVVell\\Window", "MainTop", "10");
    plat::reg::writeValue("Software\\Other", "Keep", "x");
    std::string text = vell::settingsFileText();
    EXPECT_EQ(text.substr(0, 12), "REGEDIT4\r\n\r\n");
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Corvane\\Message\\Standard]\r\n"
                        "\"Path\"=\"C:\\\\Vell\\\\Msg\\\\\"\r\n\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("Other"), std::string::npos);
    // Keys come before their subkeys, subkeys in the store's order.
    EXPECT_LT(text.find("[HKEY_CURRENT_USER\\Software\\Corvane]"), text.find("Corvane\\Default]"));
    EXPECT_LT(text.find("Corvane\\Default]"), text.find("Corvane\\Message]"));

    vell::resetSettings();
    EXPECT_FALSE(plat::reg::keyExists("Software\\Corvane"));
    EXPECT_TRUE(plat::reg::keyExists("Software\\Other"));
    vell::ImportRegFile(text);
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\Message\\Standard", "Path", ""), "C:\\Vell\\Msg\\");
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\Default", "Emblem1", ""), sj("★"));
    EXPECT_EQ(plat::reg::readInteger("Software\\Dunmoor\\CVVell\\Window", "MainTop", -1), 10);
}

TEST_F(Backup, RestoreTakesAnyRootAndIgnoresStrayLines) {
    vell::ImportRegFile("REGEDIT4\r\n\"Early\"=\"ignored\"\r\n[HKEY_LOCAL_MACHINE\\Software\\Corvane\\AK]\r\n"
                        "\"0000\"=\"D:\\\\AK\"\r\n\"q\"=\"a\"b\"\r\n; comment\r\n");
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\AK", "0000", ""), "D:\\AK");
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\AK", "q", ""), "a\"b");
    EXPECT_FALSE(plat::reg::valueExists("", "Early"));
}

TEST_F(Backup, ConfExportAndDoubleImport) {
    cnf::ConfTree tree(dir.folder());
    ConfNodeRec rec{};
    rec.Kind = 1;
    ASSERT_TRUE(cnf::createConfFile(dir.folder(), rec));
    ConfFile conf = *cnf::readConf(dir.folder(), sjis::readField(rec.ConfPath));
    sjis::writeField(conf.Header.ConfName, sj("秋の大会"));
    sjis::writeField(conf.Header.ConfMemo, "memo");
    ASSERT_TRUE(cnf::writeConf(dir.folder(), sjis::readField(rec.ConfPath), conf));
    sjis::writeField(rec.NodeName, sj("秋の大会"));
    cnf::ConfNode* node = tree.append(nullptr, rec, sj("秋の大会"));

    vell::TFormBackup dialog(nullptr, tree, node, true, dir.folder());
    EXPECT_TRUE(dialog.button("ButtonSaveGame")->isEnabled());
    std::string offered;
    std::string exported = dir.folder() + "export.vell";
    dialog.askSavePath = [&](const std::string&, const std::string& def, const std::string&,
                             const std::string&) {
        offered = def;
        return exported;
    };
    dialog.ButtonSaveGameClick();
    EXPECT_EQ(offered, dir.folder() + "Config\\" + sj("秋の大会") + ".vell");
    EXPECT_EQ(testsupport::readFile(exported), cnf::confToBytes(conf));

    dialog.askOpenPath = [&](const std::string&, const std::string&, const std::string&, const std::string&) {
        return exported;
    };
    dialog.ButtonRestoreGameClick();
    dialog.ButtonRestoreGameClick();
    ASSERT_EQ(tree.roots().size(), 3u);
    std::string p1(sjis::readField(tree.roots()[1]->rec.ConfPath));
    std::string p2(sjis::readField(tree.roots()[2]->rec.ConfPath));
    EXPECT_NE(p1, p2);
    EXPECT_EQ(tree.roots()[1]->caption, sj("秋の大会"));
    EXPECT_EQ(tree.roots()[2]->rec.Kind, 1);
    EXPECT_EQ(cnf::confToBytes(*cnf::readConf(dir.folder(), p2)), cnf::confToBytes(conf));
    // The new record carries kind, name and path only.
    EXPECT_EQ(sjis::readField(tree.roots()[2]->rec.NodeMemo), "");

    // With a net selected the conf becomes its last child.
    ConfNodeRec netRec{};
    cnf::ConfNode* net = tree.append(nullptr, netRec, "net");
    vell::TFormBackup netDialog(nullptr, tree, net, false, dir.folder());
    netDialog.askOpenPath = dialog.askOpenPath;
    netDialog.ButtonRestoreGameClick();
    ASSERT_EQ(net->children.size(), 1u);
    EXPECT_EQ(net->children[0]->caption, sj("秋の大会"));
    EXPECT_EQ(tree.roots().size(), 4u);

    // A file that is not a conf adds no node.
    testsupport::writeFile(exported, "short");
    dialog.ButtonRestoreGameClick();
    EXPECT_EQ(tree.roots().size(), 4u);
}

TEST_F(Backup, SaveAsksBeforeReplacingAndResetAsksFirst) {
    plat::reg::writeValue("Software\\Corvane", "x", "1");
    cnf::ConfTree tree(dir.folder());
    vell::TFormBackup dialog(nullptr, tree, nullptr, false, dir.folder());
    EXPECT_FALSE(dialog.button("ButtonSaveGame")->isEnabled());
    std::string file = dir.folder() + "env.reg";
    testsupport::writeFile(file, "old");
    dialog.askSavePath = [&](const std::string&, const std::string&, const std::string&, const std::string&) {
        return file;
    };
    plat::notify::setHeadlessAnswer(plat::notify::IdCancel);
    dialog.ButtonSaveClick();
    EXPECT_EQ(testsupport::readFile(file), "old");
    dialog.ButtonInitializeClick();
    EXPECT_TRUE(plat::reg::keyExists("Software\\Corvane"));
    plat::notify::setHeadlessAnswer(0);
    dialog.ButtonSaveClick();
    EXPECT_EQ(testsupport::readFile(file), vell::settingsFileText());
    dialog.ButtonInitializeClick();
    EXPECT_FALSE(plat::reg::keyExists("Software\\Corvane"));
    auto rec = plat::notify::recorded();
    ASSERT_GE(rec.size(), 2u);
    EXPECT_EQ(rec[1].caption, sj("この操作はできません")); // the reset asks under the error caption
}
