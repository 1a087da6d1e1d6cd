#include "base/sjis.h"
#include "config/conffile.h"
#include "config/conftree.h"
#include "main/backup.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "testsupport/testsupport.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

using testsupport::sj;
using testsupport::TempDir;

namespace {

class Backup : public ::testing::Test {
protected:
    void SetUp() override {
        plat::setProgramFolder(dir.folder());
        plat::setLibraryFolder(dir.folder()); // and its libraries: only those a test puts there
        plat::reg::setStorePath(dir.path().string() + "/registry.reg");
        plat::notify::setHeadlessEcho(false);
        plat::notify::clearRecorded();
        plat::notify::setHeadlessAnswer(0);
        std::filesystem::create_directories(dir.path() / "Config");
    }
    void TearDown() override {
        plat::setAtomicWriteFault(-1);
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

TEST_F(Backup, EveryByteComesBackInValuesNamesAndKeyNames) {
    // For each byte b of 1..255 a key "k" b "k" of its own (a lone '\' only
    // separates names, so 5C is tried as the trail byte of ソ, 83 5C), with
    // the value "n" b "n" = "v" b "v". CR and LF are bytes 13 and 10.
    auto keyOf = [](int b) {
        char parent[32];
        std::snprintf(parent, sizeof parent, "Software\\Corvane\\B%03d\\", b);
        return parent + (b == '\\' ? sj("ソ") : "k" + std::string(1, char(b)) + "k");
    };
    auto with = [](char edge, int b) { return std::string(1, edge) + char(b) + edge; };
    {
        plat::reg::Batch batch;
        for (int b = 1; b <= 255; ++b) plat::reg::writeValue(keyOf(b), with('n', b), with('v', b));
    }
    std::string text = vell::settingsFileText();
    EXPECT_NE(text.find("\"n\\x0dn\"=\"v\\x0dv\"\r\n"), std::string::npos); // CR, 0D
    vell::resetSettings();
    vell::ImportRegFile(text);
    for (int b = 1; b <= 255; ++b) {
        std::string key = keyOf(b);
        std::string parent = key.substr(0, 21); // "Software\Corvane\B%03d"
        EXPECT_EQ(plat::reg::subKeyNames(parent), std::vector<std::string>{key.substr(22)}) << b;
        EXPECT_EQ(plat::reg::valueNames(key), std::vector<std::string>{with('n', b)}) << b;
        EXPECT_EQ(plat::reg::readString(key, with('n', b), ""), with('v', b)) << b;
    }
}

TEST_F(Backup, RestoreTakesAnyRootAndIgnoresStrayLines) {
    vell::ImportRegFile("REGEDIT4\r\n\"Early\"=\"ignored\"\r\n[HKEY_LOCAL_MACHINE\\Software\\Corvane\\AK]\r\n"
                        "\"0000\"=\"D:\\\\AK\"\r\n\"q\"=\"a\"b\"\r\n; comment\r\n"
                        "\"old\"=\"C:\\Vell\"\r\n");
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\AK", "0000", ""), "D:\\AK");
    // A backslash that starts no escape stays (older files did not double
    // theirs); the settings store's own file drops it.
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\AK", "old", ""), "C:\\Vell");
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

    // A file that is not a conf adds no node, and the box says so of it.
    testsupport::writeFile(exported, "short");
    plat::notify::clearRecorded();
    dialog.ButtonRestoreGameClick();
    EXPECT_EQ(tree.roots().size(), 4u);
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text, sj("試合設定ファイル(") + exported + sj(")の形式が不正です"));
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

TEST_F(Backup, ExportOffersAFileNameAndReportsFailedWrites) {
    cnf::ConfTree tree(dir.folder());
    ConfNodeRec rec{};
    rec.Kind = 1;
    ASSERT_TRUE(cnf::createConfFile(dir.folder(), rec));
    ConfFile conf = *cnf::readConf(dir.folder(), sjis::readField(rec.ConfPath));
    // ソ and 表 end in 5C and stay; each reserved byte, DEL and the lone lead
    // byte at the end become '_'.
    sjis::writeField(conf.Header.ConfName, sj("ソ表") + "a/b\\c:d*e?f\"g<h>i|j\x01\x7f\x81");
    ASSERT_TRUE(cnf::writeConf(dir.folder(), sjis::readField(rec.ConfPath), conf));
    cnf::ConfNode* node = tree.append(nullptr, rec, "conf");

    vell::TFormBackup dialog(nullptr, tree, node, true, dir.folder());
    dialog.show();
    std::string offered, chosen;
    dialog.askSavePath = [&](const std::string&, const std::string& def, const std::string&,
                             const std::string&) {
        offered = def;
        return chosen.empty() ? def : chosen;
    };
    dialog.ButtonSaveGameClick();
    std::string expected = dir.folder() + "Config\\" + sj("ソ表") + "a_b_c_d_e_f_g_h_i_j___.vell";
    EXPECT_EQ(offered, expected);
    auto os = plat::toOsPath(expected);
    ASSERT_TRUE(os);
    EXPECT_TRUE(testsupport::readFile(*os) == cnf::confToBytes(conf));
    EXPECT_TRUE(plat::notify::recorded().empty());

    // A failing device: the box names the file, nothing is left behind and
    // the dialog stays open.
    chosen = dir.folder() + "full.vell";
    plat::setAtomicWriteFault(100);
    dialog.ButtonSaveGameClick();
    plat::setAtomicWriteFault(-1);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "full.vell"));
    // The settings export into a folder that does not exist.
    chosen = dir.folder() + "missing\\env.reg";
    dialog.ButtonSaveClick();
    auto rec2 = plat::notify::recorded();
    ASSERT_EQ(rec2.size(), 2u);
    EXPECT_EQ(rec2[0].text, sj("試合設定をファイル(") + dir.folder() + sj("full.vell)に保存できません"));
    // The path as the file system spells it, and no 40008.
    EXPECT_EQ(rec2[1].text,
              sj("環境情報をファイル(") + dir.folder() + sj("missing/env.reg)に保存できません"));
    EXPECT_TRUE(dialog.isVisible());
}

// The caption "環境などの保存と復元" fits the title bar, in a bold font.
TEST_F(Backup, WideEnoughForItsCaption) {
    cnf::ConfTree tree(dir.folder());
    vell::TFormBackup dialog(nullptr, tree, nullptr, false, dir.folder());
    dialog.show();
    QFont bold = QApplication::font();
    bold.setBold(true);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("環境などの保存と復元"));
    EXPECT_GT(dialog.width(), QFontMetrics(bold).horizontalAdvance(dialog.windowTitle()) + 60);
}
