// The dialogs' logic without windows: the game settings values and their way
// back into a conf, the announcer list, the regulation texts, the folder
// histories, the formula check against the real game processor, the text
// processor calls, the message table edits (drops, the ini import) and the
// flows of the game and folder entries.
#include "base/sjis.h"
#include "config/conffile.h"
#include "config/entries.h"
#include "config/folderhistory.h"
#include "config/gameedit.h"
#include "config/msgedit.h"
#include "config/processors.h"
#include "config/treefolders.h"

#include "testenv.h"

#include <cstring>

using testsupport::readFile;
using testsupport::sj;
using testsupport::writeFile;

namespace {

constexpr char MessageKey[] = "Software\\Corvane\\Message";

std::string bytesOf(const ConfFile& c) {
    return std::string(reinterpret_cast<const char*>(&c), sizeof c);
}

// A conf whose every byte outside the edited fields is set, so that a store
// that touches anything else shows.
ConfFile busyConf() {
    ConfFile c = cnf::newConf();
    char* p = reinterpret_cast<char*>(&c.Settings);
    for (size_t off : {offsetof(GameSettings, AkFile1), offsetof(GameSettings, ModeVersionText),
                       offsetof(GameSettings, AnnouncerLabel), offsetof(GameSettings, FinishPierceWeapon),
                       offsetof(GameSettings, MatchTitle)})
        std::memset(p + off, 'x', 20);
    std::memset(p + offsetof(GameSettings, Reserved4637), 0x5A, sizeof c.Settings.Reserved4637);
    std::memset(p + offsetof(GameSettings, ChosenAnnouncer), 0x11, 144 + 4 * 368);
    c.Settings.RoundCounter = 77;
    c.Settings.Options[70] = 1; // a flag no control edits
    c.Settings.Options[10] = 1;
    std::memset(c.Header.ConfName + 10, 'y', 20); // bytes after the NUL
    return c;
}

cnf::MsgEntryTexts named(const std::string& id) {
    cnf::MsgEntryTexts e;
    e.id = id;
    return e;
}

class DialogsLogicTest : public cnftest::ConfigTest {
protected:
    void copyFakeText() { std::filesystem::copy_file(FAKE_VELLTEXT, program_ / "libvelltext.so"); }
};

// ---- The game settings values -------------------------------------------

TEST_F(DialogsLogicTest, UntouchedValuesStoreBackByteForByte) {
    ConfFile c = busyConf();
    std::string before = bytesOf(c);
    cnf::GameValues v = cnf::loadGameValues(c, 0);
    cnf::storeGameValues(v, c);
    EXPECT_EQ(bytesOf(c), before);

    // Values outside their lists show no item and stay as they were.
    c.Settings.AnnouncerIndex = 7;
    c.Header.GameForm = 9;
    c.Settings.MatchType = 8;
    c.Settings.DigestMode = -1;
    before = bytesOf(c);
    v = cnf::loadGameValues(c, 2);
    EXPECT_EQ(v.announcerItem, -1);
    EXPECT_EQ(v.gameForm, -1);
    EXPECT_EQ(v.matchType, -1);
    EXPECT_EQ(v.digestMode, -1);
    cnf::storeGameValues(v, c);
    EXPECT_EQ(bytesOf(c), before);
}

TEST_F(DialogsLogicTest, ValuesFollowTheControlsRulesBothWays) {
    ConfFile c = cnf::newConf();
    cnf::GameValues v = cnf::loadGameValues(c, 0);
    EXPECT_EQ(v.announcerItem, 0); // random
    EXPECT_EQ(v.name, sj("大会名"));
    EXPECT_TRUE(v.statusOn);
    EXPECT_EQ(v.statusMinutes, 10);
    // Output list items 0, 2, 3, 4 (flags 25, 2, 23, 20), detail items 1 and
    // 3 (flags 9, 12), the first CV46 item (flag 27).
    EXPECT_EQ(v.outputOptions, (std::array<bool, 12>{1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(v.detailOptions, (std::array<bool, 7>{0, 1, 0, 1, 0, 0, 0}));
    EXPECT_EQ(v.cv46Options, (std::array<bool, 7>{1, 0, 0, 0, 0, 0, 0}));

    // Status 0: unchecked, showing 10, stored back as 0. Spin values outside
    // their ranges come back inside them.
    c.Settings.StatusInterval = 0;
    c.Settings.OutputColumns = 0;
    c.Settings.BerserkAttack = -128;
    c.Settings.AnnouncerIndex = 0;
    v = cnf::loadGameValues(c, 0);
    EXPECT_FALSE(v.statusOn);
    EXPECT_EQ(v.statusMinutes, 10);
    EXPECT_EQ(v.columns, 70);
    EXPECT_EQ(v.berserkAttack, -100);
    EXPECT_EQ(v.announcerItem, 1); // the built-in announcer
    cnf::storeGameValues(v, c);
    EXPECT_EQ(c.Settings.StatusInterval, 0);
    EXPECT_EQ(c.Settings.OutputColumns, 70);
    EXPECT_EQ(c.Settings.BerserkAttack, -100);
    EXPECT_EQ(c.Settings.AnnouncerIndex, 0);

    // Every list item lands on its own flag, and only there.
    for (size_t i = 0; i < 12; ++i) {
        ConfFile d{};
        cnf::GameValues w = cnf::loadGameValues(d, 0);
        w.outputOptions[i] = true;
        cnf::storeGameValues(w, d);
        for (int n = 0; n < 80; ++n) EXPECT_EQ(d.Settings.Options[n], n == cnf::OutputOptionFlags[i]) << i;
    }
    ConfFile d{};
    cnf::GameValues w = cnf::loadGameValues(d, 0);
    w.detailOptions[6] = true;
    w.cv46Options[6] = true;
    w.announcerItem = 0;
    w.reversePolish = true;
    w.formula = "F 2 *";
    w.statusOn = true;
    w.statusMinutes = 500;
    w.stadium = sj("ａ") + std::string(29, 'b') + sj("い"); // 33 bytes: cut before the last character
    cnf::storeGameValues(w, d);
    EXPECT_EQ(d.Settings.Options[43], 1);
    EXPECT_EQ(d.Settings.Options[48], 1);
    EXPECT_EQ(d.Settings.Options[42], 1);
    EXPECT_EQ(d.Settings.AnnouncerIndex, INT32_MIN);
    EXPECT_STREQ(d.Settings.BountyFormula, "F 2 *");
    EXPECT_STREQ(d.Settings.BountyPostfix, "F 2 *");
    EXPECT_EQ(d.Settings.StatusInterval, 100);
    EXPECT_EQ(sjis::readField(d.Settings.StadiumName), sj("ａ") + std::string(29, 'b'));
}

TEST_F(DialogsLogicTest, AnnouncerListComesFromTheSettingsStore) {
    auto items = cnf::announcerItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], sj("ランダム"));
    EXPECT_EQ(items[1], sj("基本アナウンサー"));

    std::string key = MessageKey;
    plat::reg::writeInteger(key + "\\Announcer", "Count", 2);
    plat::reg::writeValue(key + "\\Announcer\\Id", "0000", "Ana");
    plat::reg::writeValue(key + "\\Announcer\\Name", "0000", sj("花子"));
    plat::reg::writeValue(key + "\\Announcer\\Id", "0001", "Bob");
    items = cnf::announcerItems();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[2], "Ana" + sj("／花子"));
    EXPECT_EQ(items[3], "Bob" + sj("／名前無し"));
    EXPECT_EQ(cnf::announcerItemOf(INT32_MIN, 4), 0);
    EXPECT_EQ(cnf::announcerItemOf(1, 4), 2);
    EXPECT_EQ(cnf::announcerItemOf(3, 4), -1);
    EXPECT_EQ(cnf::announcerIndexOf(3), 2);

    // A count beyond the table is not believed.
    plat::reg::writeInteger(key + "\\Announcer", "Count", 5000);
    EXPECT_EQ(cnf::announcerItems().size(), 51u);
}

TEST_F(DialogsLogicTest, RegulationTextsUseFullWidthNumbersAndNone) {
    ConfFile c = cnf::newConf();
    std::strcpy(c.Settings.StadiumName, "Dome");
    cnf::GameValues v = cnf::loadGameValues(c, 0);
    v.stadium = "Changed"; // items 0 to 3 as the dialog shows them
    v.organiser = "Org";
    v.memo = "Memo";
    v.matchType = 3;
    v.escapeRate = 0;
    v.compensationRate = 15;
    v.winnerCr = 300;
    auto t = cnf::regulationTexts(v);
    EXPECT_EQ(t[0], "Changed");
    EXPECT_EQ(t[1], "Org");
    EXPECT_EQ(t[2], sj("大会名")); // the conf's name, not edited
    EXPECT_EQ(t[3], "Memo");
    EXPECT_EQ(t[10], sj("デスマッチ"));
    EXPECT_EQ(t[11], sj("なし"));
    EXPECT_EQ(t[12], sj("なし"));
    EXPECT_EQ(t[13], sj("３００"));
    EXPECT_EQ(t[16], sj("１５％"));
    EXPECT_TRUE(t[4].empty() && t[29].empty());
    v.matchType = 1;
    v.minutes = 30;
    EXPECT_EQ(cnf::regulationTexts(v)[11], sj("３０分"));
    v.matchType = 5;
    EXPECT_EQ(cnf::regulationTexts(v)[11], sj("なし"));
}

// ---- Folder histories ---------------------------------------------------

TEST_F(DialogsLogicTest, FolderHistoriesAndTheRecentResultFolders) {
    plat::reg::writeValue("Software\\Corvane\\AK", "0001", "AkData\\");
    plat::reg::writeValue("Software\\Corvane\\Text", "0000", "Out\\");
    plat::reg::writeValue("Software\\Corvane\\Text", "0005", "Old\\");
    auto h = cnf::loadFolderHistories(folder());
    EXPECT_EQ(h.ak, (std::vector<std::string>{folder(), "AkData\\"}));
    EXPECT_EQ(h.weapon, (std::vector<std::string>{folder()}));
    EXPECT_EQ(h.result, (std::vector<std::string>{"Out\\", "Old\\"}));

    std::vector<std::string> list;
    for (int i = 0; i < 20; ++i) list.push_back("F" + std::to_string(i));
    cnf::pushRecentFolder(list, "F7"); // known: moves to the top
    EXPECT_EQ(list.size(), 20u);
    EXPECT_EQ(list[0], "F7");
    EXPECT_EQ(list[7], "F6");
    EXPECT_EQ(list[8], "F8");
    cnf::pushRecentFolder(list, "New"); // a 21st: the oldest goes
    EXPECT_EQ(list.size(), 20u);
    EXPECT_EQ(list[0], "New");
    EXPECT_EQ(list[19], "F18");

    ASSERT_TRUE(cnf::saveResultHistory({"A\\", "B\\"}));
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\Text", "0001", "?"), "B\\");
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\Text", "0005", "?"), "");
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\Text", "0019", "?"), "");
}

// ---- The game processor and the text processor --------------------------

TEST_F(DialogsLogicTest, FormulaCheckAgainstTheGameProcessor) {
    ConfFile c = cnf::newConf();
    GameSettings& s = c.Settings;
    // Without the library: 41003, and the typed values are in the settings.
    EXPECT_EQ(cnf::checkBountyFormula(folder(), s, true, false, "F*2"), cnf::FormulaCheck::NoLibrary);
    EXPECT_EQ(shown(41003), 1);
    EXPECT_EQ(s.Options[OptBountyMatch], 1);
    EXPECT_STREQ(s.BountyFormula, "F*2");

    // The build's program folder has the game processor (and what it needs).
    const std::string withCore = VELL_PROGRAM_DIR;
    plat::notify::clearRecorded();
    EXPECT_EQ(cnf::checkBountyFormula(withCore, s, true, false, "((G-2000)/8 > 0) + F*2 + W*2 + D*5 + K*10"),
              cnf::FormulaCheck::Passed);
    EXPECT_EQ(shown(40003), 1);
    EXPECT_GT(std::strlen(s.BountyPostfix), 0u);
    std::string postfix = s.BountyPostfix;

    // A missing ")" fails, as does a formula worth 0 for the sample AK.
    plat::notify::clearRecorded();
    EXPECT_EQ(cnf::checkBountyFormula(withCore, s, true, false, "(F*2"), cnf::FormulaCheck::Failed);
    EXPECT_EQ(shown(40002), 1);
    EXPECT_EQ(cnf::checkBountyFormula(withCore, s, true, false, "T-2"), cnf::FormulaCheck::Failed);
    // Each sample value counts: the mechanic level and the age among them.
    EXPECT_EQ(cnf::checkBountyFormula(withCore, s, true, false, "M-200"), cnf::FormulaCheck::Failed);
    EXPECT_EQ(cnf::checkBountyFormula(withCore, s, true, false, "O-26+w-300+A-3500"),
              cnf::FormulaCheck::Failed);

    // Reverse Polish: the text is the postfix and is only evaluated.
    EXPECT_EQ(cnf::checkBountyFormula(withCore, s, true, true, postfix), cnf::FormulaCheck::Passed);
    EXPECT_EQ(std::string(s.BountyPostfix), postfix);
    EXPECT_EQ(cnf::checkBountyFormula(withCore, s, true, true, "F*2"), cnf::FormulaCheck::Failed);
    EXPECT_STREQ(s.BountyPostfix, "F*2");

    // Without a bounty match nothing is checked.
    plat::notify::clearRecorded();
    EXPECT_EQ(cnf::checkBountyFormula(folder(), s, false, false, "x"), cnf::FormulaCheck::Off);
    EXPECT_EQ(boxes(), 0);
    EXPECT_EQ(s.Options[OptBountyMatch], 0);
}

TEST_F(DialogsLogicTest, TextProcessorCallsAndItsAbsence) {
    std::array<std::string, 30> values;
    values[11] = sj("なし");
    EXPECT_FALSE(cnf::writeRegulation(folder(), values));
    EXPECT_EQ(shown(41005), 1);
    std::vector<AnnouncerEntry> ann(50);
    std::vector<MsgEntry> pilots(200), computers(100);
    EXPECT_FALSE(cnf::writeMessageTable(folder(), ann.data(), 0, pilots.data(), 0, computers.data(), 0));
    EXPECT_EQ(shown(41005), 2);

    copyFakeText();
    EXPECT_TRUE(cnf::writeRegulation(folder(), values));
    std::string got = readFile(program_ / "regulation.txt");
    EXPECT_NE(got.find("11=" + sj("なし") + "\n"), std::string::npos);
    EXPECT_NE(got.find("29=\n"), std::string::npos);
    std::strcpy(pilots[1].Id, "P1");
    std::strcpy(computers[1].Id, "C1");
    std::strcpy(computers[2].Id, "C2");
    EXPECT_TRUE(cnf::writeMessageTable(folder(), ann.data(), 0, pilots.data(), 1, computers.data(), 2));
    EXPECT_EQ(readFile(program_ / "msgtable.txt"), "A0 P1 C2 P1 C2\n");
}

// ---- The message table --------------------------------------------------

TEST_F(DialogsLogicTest, MessagePathRule) {
    EXPECT_EQ(cnf::messagePath("C:\\Msg\\pilot.msg"), "C:\\Msg\\");
    EXPECT_EQ(cnf::messagePath("/home/gm/msg/Basic.MSG"), "/home/gm/msg/");
    EXPECT_EQ(cnf::messagePath(sj("メッセージ\\ソ.Msg")), sj("メッセージ\\"));
    EXPECT_EQ(cnf::messagePath("/home/gm/msg/basic.kwp"), "/home/gm/msg/basic.kwp");
    EXPECT_EQ(cnf::messagePath("/home/gm/msg/"), "/home/gm/msg/");
}

TEST_F(DialogsLogicTest, TablesListNamedEntriesAndSaveThemCompacted) {
    std::string key = MessageKey;
    plat::reg::writeValue(key + "\\Standard", "Path", "Msg\\");
    plat::reg::writeInteger(key + "\\Pilot", "Count", 3);
    plat::reg::writeValue(key + "\\Pilot\\Id", "0000", "Ace");
    plat::reg::writeValue(key + "\\Pilot\\Trigger\\0001", "0000", "ace");
    plat::reg::writeValue(key + "\\Pilot\\Id", "0002", "Third"); // 0001 has no name
    plat::reg::writeValue(key + "\\Pilot\\Path", "0002", "third.kwp");
    cnf::MessageTables t;
    t.load();
    EXPECT_EQ(boxes(), 0);
    EXPECT_EQ(t.basePath, "Msg\\");
    ASSERT_EQ(t.count(cnf::MsgKind::Pilot), 2);
    EXPECT_EQ(t.entries(cnf::MsgKind::Pilot)[1].path, "third.kwp");

    cnf::MsgEntryTexts e;
    e.id = "Comp";
    e.words[3] = sj("ご主人様");
    EXPECT_TRUE(t.add(cnf::MsgKind::Computer, e));
    t.remove(cnf::MsgKind::Pilot, 0);
    t.basePath = "Base\\basic.msg";
    ASSERT_TRUE(t.save());
    EXPECT_EQ(t.basePath, "Base\\");
    EXPECT_EQ(plat::reg::readString(key + "\\Standard", "Path", ""), "Base\\");
    EXPECT_EQ(plat::reg::readInteger(key + "\\Pilot", "Count", -1), 1);
    EXPECT_EQ(plat::reg::readString(key + "\\Pilot\\Id", "0000", ""), "Third");
    EXPECT_EQ(plat::reg::readInteger(key + "\\Computer", "Count", -1), 1);
    EXPECT_EQ(plat::reg::readString(key + "\\Computer\\Master\\0004", "0000", ""), sj("ご主人様"));
    EXPECT_STREQ(t.pilotTable()[2].Id, ""); // slots above the count are cleared

    // The tables hold what they can: 49 announcers.
    for (int i = 0; i < 49; ++i) {
        cnf::MsgEntryTexts a;
        a.id = "A" + std::to_string(i);
        ASSERT_TRUE(t.add(cnf::MsgKind::Announcer, a));
    }
    EXPECT_TRUE(t.full(cnf::MsgKind::Announcer));
    EXPECT_FALSE(t.add(cnf::MsgKind::Announcer, e));
}

TEST_F(DialogsLogicTest, DroppedArchivesBecomeEntriesOnce) {
    cnf::MessageTables t;
    t.load();
    plat::notify::clearRecorded();
    std::string longPath = "/" + std::string(80, 'd') + "/x.kwp";
    int added = t.dropFiles(cnf::MsgKind::Pilot, {"/m/Ace.kwp", "/m/notes.msg", "/m/ACE.KWP", "/n/ace.KWP",
                                                  longPath, "/m/" + sj("疾風") + ".Kwp"});
    EXPECT_EQ(added, 3);
    const auto& p = t.entries(cnf::MsgKind::Pilot);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].id, "Ace");
    EXPECT_EQ(p[0].triggers[0], "Ace");
    EXPECT_EQ(p[0].path, "/m/Ace.kwp");
    EXPECT_EQ(p[1].id, "ace"); // another name and another path
    EXPECT_EQ(p[2].id, sj("疾風"));
    // The same path in another case is the same file; another name elsewhere
    // is another entry.
    EXPECT_EQ(t.dropFiles(cnf::MsgKind::Pilot, {"/M/ACE.KWP"}), 0);
    EXPECT_EQ(t.dropFiles(cnf::MsgKind::Pilot, {"/q/ACE.KWP"}), 1);

    // An announcer is named after the file as well; a full table stops.
    std::vector<std::string> many;
    for (int i = 0; i < 60; ++i) many.push_back("/a/ann" + std::to_string(i) + ".kwp");
    EXPECT_EQ(t.dropFiles(cnf::MsgKind::Announcer, many), 49);
    EXPECT_EQ(shown(41002), 1);
    EXPECT_EQ(t.entries(cnf::MsgKind::Announcer)[0].triggers[0], "ann0");
}

TEST_F(DialogsLogicTest, ImportOfTheOlderProgramsIni) {
    std::string ini = "[DIR]\r\nMSGROOT=C:\\CVH\\MSG\\\r\n"
                      "[DOLLERTRIGER]\r\n0=" +
                      sj("太郎") +
                      "\r\n1=Jiro\r\n5=Goro\r\n7=Nana\r\n198=Last\r\n199=Never\r\n"
                      "[DOLLERDIR]\r\n0=taro\\\r\n1=D:\\jiro.kwp\r\n5=x\r\n7=\\nana\\\r\n198=last\\\r\n"
                      "199=never\\\r\n"
                      "[COMPUTERTRIGER]\r\n0=Jiro\r\n1=Robo\r\n"
                      "[COMPUTERDIR]\r\n0=jiro\\\r\n1=taro\\\r\n"
                      "[ANATRIGER]\r\n3=Mike\r\n"
                      "[ANADIR]\r\n3=ana\\\r\n"
                      "[ANANAME]\r\n3=" +
                      sj("実況") + "\r\n";
    writeFile(program_ / "cvh.ini", ini);
    cnf::MessageTables t;
    t.load();
    // Already in the table: a pilot of the same name.
    ASSERT_TRUE(t.add(cnf::MsgKind::Pilot, named("Jiro")));
    plat::notify::clearRecorded();
    EXPECT_EQ(t.importIni((program_ / "cvh.ini").string()), cnf::MessageTables::Import::Done);
    EXPECT_EQ(shown(40013), 1);

    const auto& p = t.entries(cnf::MsgKind::Pilot);
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[1].id, sj("太郎"));
    EXPECT_EQ(p[1].triggers[0], sj("太郎"));
    EXPECT_EQ(p[1].path, "C:\\CVH\\MSG\\taro\\");
    EXPECT_EQ(p[2].id, "Goro");
    EXPECT_EQ(p[2].path, ""); // a one-byte value names no place
    // Only a drive makes a folder stand alone; a leading '\' goes under the root.
    EXPECT_EQ(p[3].path, "C:\\CVH\\MSG\\\\nana\\");
    EXPECT_EQ(p[4].id, "Last"); // value 198 is read, 199 is not
    const auto& c = t.entries(cnf::MsgKind::Computer);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].id, "Jiro"); // another table: not a duplicate
    EXPECT_EQ(c[1].id, "Robo");
    const auto& a = t.entries(cnf::MsgKind::Announcer);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].id, "Mike");
    EXPECT_EQ(a[0].triggers[0], sj("実況"));
    EXPECT_EQ(a[0].path, "C:\\CVH\\MSG\\ana\\");

    // A second import finds everything in place; a full table stops at once.
    plat::notify::clearRecorded();
    EXPECT_EQ(t.importIni((program_ / "cvh.ini").string()), cnf::MessageTables::Import::Done);
    EXPECT_EQ(t.count(cnf::MsgKind::Pilot), 5);
    // Room for one more computer: Jiro comes in, Robo finds the table full
    // and the announcers are never reached.
    t.remove(cnf::MsgKind::Computer, 1);
    t.remove(cnf::MsgKind::Computer, 0);
    t.remove(cnf::MsgKind::Announcer, 0);
    while (t.count(cnf::MsgKind::Computer) < 98)
        t.add(cnf::MsgKind::Computer, named("c" + std::to_string(t.count(cnf::MsgKind::Computer))));
    plat::notify::clearRecorded();
    EXPECT_EQ(t.importIni((program_ / "cvh.ini").string()), cnf::MessageTables::Import::Full);
    EXPECT_EQ(shown(41002), 1);
    EXPECT_EQ(shown(40013), 0);
    EXPECT_EQ(t.count(cnf::MsgKind::Computer), 99);
    EXPECT_EQ(t.entries(cnf::MsgKind::Computer).back().id, "Jiro");
    EXPECT_EQ(t.count(cnf::MsgKind::Announcer), 0);
}

// Slot keys are numbers as the older program wrote them, taken in number
// order; a path already taken ignoring case keeps the later slot out.
TEST_F(DialogsLogicTest, ImportTakesSlotsInNumberOrder) {
    writeFile(program_ / "cvh.ini", "[DIR]\r\nMSGROOT=C:\\R\\\r\n"
                                    "[DOLLERTRIGER]\r\n10=Ten\r\n2=Two\r\n01=Zero\r\n"
                                    "[DOLLERDIR]\r\n10=A\\\r\n2=a\\\r\n01=z\\\r\n");
    cnf::MessageTables t;
    EXPECT_EQ(t.importIni((program_ / "cvh.ini").string()), cnf::MessageTables::Import::Done);
    const auto& p = t.entries(cnf::MsgKind::Pilot);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].id, "Two");
    EXPECT_EQ(p[0].path, "C:\\R\\a\\");
}

// ---- The entries' flows ---------------------------------------------------

TEST_F(DialogsLogicTest, GameEntryReadsRunsAndWrites) {
    int runs = 0;
    auto answer = [&runs](int result, const char* name) {
        return [&runs, result, name](ConfFile& c) {
            ++runs;
            EXPECT_EQ(sjis::readField(c.Header.ConfName), "Node"); // the node's name, not the file's
            std::strcpy(c.Header.ConfName, name);
            std::strcpy(c.Header.ConfMemo, "memo");
            return result;
        };
    };
    ConfNodeRec net{};
    EXPECT_EQ(cnf::configureGame(folder(), &net, answer(1, "x")), 0);
    EXPECT_EQ(cnf::configureGame(folder(), nullptr, answer(1, "x")), 0);
    ConfNodeRec rec{};
    rec.Kind = 1;
    std::strcpy(rec.NodeName, "Node");
    std::strcpy(rec.ConfPath, "Config\\VLCNFMISSIN");
    EXPECT_EQ(cnf::configureGame(folder(), &rec, answer(1, "x")), 0);
    EXPECT_EQ(shown(41042), 1);
    EXPECT_EQ(runs, 0);

    ASSERT_TRUE(cnf::createConfFile(folder(), rec));
    std::string before = readFile(file(rec.ConfPath));
    EXPECT_EQ(cnf::configureGame(folder(), &rec, answer(2, "Cancelled")), 2);
    EXPECT_EQ(readFile(file(rec.ConfPath)), before);
    EXPECT_STREQ(rec.NodeName, "Node");

    // A conf that cannot be written leaves the node as it was.
    plat::setAtomicWriteFault(0);
    plat::notify::clearRecorded();
    EXPECT_EQ(cnf::configureGame(folder(), &rec, answer(1, "Failed")), 0);
    EXPECT_EQ(shown(sj("試合設定をファイル(") + file(rec.ConfPath).string() + sj(")に保存できません")), 1);
    EXPECT_STREQ(rec.NodeName, "Node");
    EXPECT_EQ(readFile(file(rec.ConfPath)), before);
    plat::setAtomicWriteFault(-1);

    EXPECT_EQ(cnf::configureGame(folder(), &rec, answer(1, "Saved")), 1);
    EXPECT_STREQ(rec.NodeName, "Saved");
    EXPECT_STREQ(rec.NodeMemo, "memo");
    std::string after = readFile(file(rec.ConfPath));
    ASSERT_EQ(after.size(), 6161u);
    EXPECT_EQ(after.substr(4795, 6), std::string("Saved\0", 6));
    EXPECT_EQ(after.substr(0, 4795), before.substr(0, 4795));
}

TEST_F(DialogsLogicTest, FolderEntryFillsOnlyTheFourFolders) {
    ConfNodeRec conf{};
    conf.Kind = 1;
    ConfHeader folders{};
    EXPECT_EQ(cnf::configureFolder(&conf, &folders, [](cnf::FolderTexts&) { return 1; }), 0);

    ConfNodeRec net{};
    std::memset(&folders, 0x33, sizeof folders);
    std::string before(reinterpret_cast<const char*>(&folders), sizeof folders);
    EXPECT_EQ(cnf::configureFolder(&net, &folders,
                                   [](cnf::FolderTexts& t) {
                                       EXPECT_EQ(t[2], sj("変更無し"));
                                       t[0] = "x";
                                       return 2;
                                   }),
              2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&folders), sizeof folders), before);

    // Accepted as preset, the folders change nothing below the node.
    EXPECT_EQ(cnf::configureFolder(&net, &folders, [](cnf::FolderTexts&) { return 1; }), 1);
    EXPECT_EQ(sjis::readField(folders.ResultFolder), sj("変更無し"));
    EXPECT_EQ(folders.ConfName[0], 0x33);
    EXPECT_EQ(folders.CheckWeaponData, 0x33);
    cnf::ConfTree tree(folder());
    ConfNodeRec c{};
    c.Kind = 1;
    ASSERT_TRUE(cnf::createConfFile(folder(), c));
    auto* n = tree.append(nullptr, net, "net");
    auto* leaf = tree.append(n, c, "conf");
    std::string confBefore = readFile(file(leaf->rec.ConfPath));
    cnf::changeTreeNodeConf(*n, folder(), folders);
    EXPECT_EQ(readFile(file(leaf->rec.ConfPath)), confBefore);

    // A folder longer than its field is cut on a character boundary.
    EXPECT_EQ(cnf::configureFolder(&net, &folders,
                                   [](cnf::FolderTexts& t) {
                                       t[3] = "a";
                                       for (int i = 0; i < 130; ++i) t[3] += sj("あ");
                                       return 1;
                                   }),
              1);
    EXPECT_EQ(sjis::readField(folders.WeaponDataFolder).size(), 255u);
}

} // namespace
