// The mode frame without windows: the mode table and stored values, the
// result-file history, the AK list rows and their order, the set-up logic
// (folder slots, result file test, weapon-data check, digest reset, entry
// list, StartSystem and EndSystem), one match through the game processor,
// the clean-up of an earlier run, the run thread, the run settings, the
// standings order and the entry table.
#include "modes/frame/akrows.h"
#include "modes/frame/entrants.h"
#include "modes/frame/history.h"
#include "modes/frame/match.h"
#include "modes/frame/modeinfo.h"
#include "modes/frame/outputs.h"
#include "modes/frame/runthread.h"
#include "modes/frame/setup.h"
#include "modes/frame/standings.h"
#include "modes/frame/tables.h"
#include "modes/frame/tests/modetest.h"
#include "modes/frame/textfmt.h"
#include "platform/files.h"

#include <array>
#include <atomic>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <thread>

namespace {

using namespace modetest;
using testsupport::sj;

// ---- Mode table and stored values -------------------------------------------

class FrameStore : public ModeTest {};

TEST_F(FrameStore, ModeTableAndStoredValues) {
    const modes::ModeInfo& league = modes::modeInfo(modes::ModeKind::League);
    EXPECT_STREQ(league.DllName, "LEAGUE.DLL");
    EXPECT_EQ(modes::modeKeyPath(league), "Software\\Dunmoor\\CVVell\\DLL\\League");
    EXPECT_STREQ(modes::modeInfo(modes::ModeKind::Gauntlet).DefaultResultFile, "Simulation.txt");
    EXPECT_STREQ(modes::modeInfo(modes::ModeKind::Versus).ExtraWindow, "Game_VsStatus%d");
    EXPECT_EQ(modes::modeInfo(modes::ModeKind::TeamBattle).HelpContext, 2505);

    const modes::ModeInfo& royal = modes::modeInfo(modes::ModeKind::BrawlAll);
    EXPECT_EQ(modes::readModeValue(royal, "MapSizeX"), 20);
    EXPECT_EQ(modes::readModeValue(royal, "ScrollHeightProg"), 150);
    EXPECT_EQ(modes::readModeValue(royal, "Unknown"), 0);
    EXPECT_EQ(modes::readModeValue(league, "RandomSort"), 1);
    ASSERT_TRUE(modes::writeModeValue(league, "RandomSort", 0));
    EXPECT_EQ(plat::reg::readString("Software\\Dunmoor\\CVVell\\DLL\\League", "RandomSort", "?"), "0");
    EXPECT_EQ(modes::readModeValue(league, "RandomSort"), 0);
}

TEST_F(FrameStore, VersionTextFromTheModesFile) {
    modes::ModeInfo info = modes::modeInfo(modes::ModeKind::League);
    info.DllName = "CVCORE.DLL"; // a file of the program folder with a version
    EXPECT_EQ(modes::versionText(info), "LEAGUE Ver.1.0.0.0 ");
    info.DllName = "MISSING.DLL";
    EXPECT_EQ(modes::versionText(info), "LEAGUE Ver. ");
    info.VersionFormat = "A VERY LONG MODE NAME THAT GOES ON Ver.%s ";
    EXPECT_EQ(modes::versionText(info).size(), 31u); // GameSettings.ModeVersionText holds 31 and NUL
}

TEST_F(FrameStore, ResultFileHistory) {
    const modes::ModeInfo& info = modes::modeInfo(modes::ModeKind::League);
    modes::ResultHistory h;
    h.load(info);
    EXPECT_TRUE(h.items().empty());
    EXPECT_EQ(h.text(), "League.txt");

    // A name typed again moves to the front without a duplicate.
    for (const char* name : {"a.txt", "b.txt", "a.txt"}) {
        h.setText(name);
        h.promote();
    }
    EXPECT_EQ(h.items(), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(h.text(), "a.txt");
    ASSERT_TRUE(h.save(info));
    std::string key = "Software\\Dunmoor\\CVVell\\DLL\\League\\File";
    EXPECT_EQ(plat::reg::readString(key, "0000", "?"), "a.txt");
    EXPECT_EQ(plat::reg::readString(key, "0001", "?"), "b.txt");
    EXPECT_EQ(plat::reg::readString(key, "0019", "?"), "");

    // More than twenty: the oldest falls off on the next save.
    for (int i = 0; i < 25; ++i) {
        h.setText(modes::format("r%02d.txt", i));
        h.promote();
    }
    ASSERT_TRUE(h.save(info));
    modes::ResultHistory again;
    again.load(info);
    ASSERT_EQ(again.items().size(), 20u);
    EXPECT_EQ(again.items().front(), "r24.txt");
    EXPECT_EQ(again.items().back(), "r05.txt");

    // An empty newest entry gives the default text; the other entries stay items.
    plat::reg::writeValue(key, "0000", "");
    again.load(info);
    EXPECT_EQ(again.text(), "League.txt");
    EXPECT_EQ(again.items().front(), "r23.txt");
}

// ---- AK list ----------------------------------------------------------------

TEST_F(FrameStore, AkListRowsAndTheirOrder) {
    copySamples({1, 2, 3});
    testsupport::writeFile(path("ak/broken.dat"), "no head here\r\n");
    testsupport::writeFile(path("ak/ak01.da1"), testsupport::readFile(path("ak/ak01.dat")));
    std::filesystem::create_directories(path("ak/folder.dat"));
    std::vector<modes::AkRow> rows = modes::listAkRows(akFolder(), "*.dat");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].File, "ak01.dat");
    EXPECT_EQ(rows[3].File, "broken.dat");
    EXPECT_EQ(rows[3].Value, "0");
    EXPECT_TRUE(rows[3].Pilot.empty());
    EXPECT_EQ(rows[1].Value, "7800");
    EXPECT_EQ(rows[1].Pilot, sj("ミカ・ホクト"));
    EXPECT_EQ(modes::listAkRows(akFolder(), "*.da?").size(), 5u);
    EXPECT_EQ(modes::listAkRows(akFolder(), "*.da1").size(), 1u);

    // Column 2 sorts by number, the others by unsigned bytes.
    std::vector<modes::AkRow> list(3);
    list[0].Value = "10000";
    list[1].Value = "900";
    list[2].Value = "-5";
    list[0].Owner = sj("佐藤");
    list[1].Owner = "Zed";
    list[2].Owner = "Adam";
    modes::AkListSort sort;
    sort.click(modes::ColValue);
    sort.apply(list);
    EXPECT_EQ(list[0].Value, "-5");
    EXPECT_EQ(list[1].Value, "900");
    EXPECT_EQ(list[2].Value, "10000");
    sort.click(modes::ColValue); // same column again: descending
    EXPECT_TRUE(sort.descending());
    sort.apply(list);
    EXPECT_EQ(list[0].Value, "10000");
    sort.click(modes::ColOwner); // another column: ascending
    EXPECT_FALSE(sort.descending());
    sort.apply(list);
    EXPECT_EQ(list[0].Owner, "Adam");
    EXPECT_EQ(list[2].Owner, sj("佐藤")); // lead byte 0x8D after ASCII
    modes::AkRow prefix, longer;
    prefix.File = "ak";
    longer.File = "ak1";
    EXPECT_LT(modes::compareAkRows(prefix, longer, modes::ColFile), 0);
}

// ---- Set-up logic --------------------------------------------------------------

class FrameSetup : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2});
        makeConf();
    }
    std::unique_ptr<modes::ModeSetup> makeSetup(modes::ModeKind kind = modes::ModeKind::League) {
        return std::make_unique<modes::ModeSetup>(modes::modeInfo(kind), settings_, header_, sources_);
    }
};

TEST_F(FrameSetup, ConstructionFillsVersionAndFolder) {
    auto setup = makeSetup();
    EXPECT_EQ(setup->programFolder(), programDir());
    EXPECT_EQ(sjis::readField(settings_.ModeVersionText).substr(0, 11), "LEAGUE Ver.");
    EXPECT_EQ(setup->akFolder(), akFolder());
    setup->fillAkList("*.dat");
    ASSERT_EQ(setup->rows().size(), 2u);
    EXPECT_EQ(setup->rowPath(1), akFolder() + "\\ak02.dat");
    EXPECT_EQ(setup->rowPath(2), "");
}

TEST_F(FrameSetup, FolderSlots) {
    sources_.Count = 4;
    sjis::writeField(sources_.Names[1], "Team");
    sjis::writeField(sources_.Paths[1], "AkData\\");
    sjis::writeField(sources_.Names[2], "NoFolder");
    sjis::writeField(sources_.Paths[3], "NoName\\");
    auto setup = makeSetup();
    setup->fillSlotZero();
    EXPECT_EQ(sjis::readField(sources_.Names[0]), "Current");
    EXPECT_EQ(sjis::readField(sources_.Paths[0]), akFolder());
    std::vector<std::string> choices = setup->folderChoices();
    ASSERT_EQ(choices.size(), 4u);
    EXPECT_EQ(choices[0], sj("試合設定のパス"));
    EXPECT_EQ(choices[1], "Team");
    // A slot with an empty name or folder is ignored when chosen.
    EXPECT_FALSE(setup->chooseFolderSlot(2));
    EXPECT_FALSE(setup->chooseFolderSlot(3));
    EXPECT_FALSE(setup->chooseFolderSlot(25));
    EXPECT_EQ(setup->akFolder(), akFolder());
    ASSERT_TRUE(setup->chooseFolderSlot(1));
    EXPECT_EQ(setup->akFolder(), "AkData\\");
    setup->fillAkList("*.dat");
    EXPECT_EQ(setup->rows().size(), 8u); // the program folder's samples
    ASSERT_TRUE(setup->chooseFolderSlot(0));
    EXPECT_EQ(setup->akFolder(), akFolder());
    // A count beyond the list is clamped.
    sources_.Count = 5000;
    EXPECT_EQ(setup->folderChoices().size(), 20u);
    sources_.Count = -3;
    EXPECT_EQ(setup->folderChoices().size(), 1u);
}

TEST_F(FrameSetup, ResultFileTest) {
    auto setup = makeSetup();
    setup->history().setText("League.txt");
    EXPECT_EQ(setup->resultFilePath(), resultFolder() + "\\League.txt");
    // The test leaves no file behind: a start that goes no further must not
    // leave an empty table under the real name.
    auto names = [this] {
        std::set<std::string> found;
        for (const auto& e : std::filesystem::directory_iterator(path("result")))
            found.insert(e.path().filename().string());
        return found;
    };
    const std::set<std::string> before = names();
    ASSERT_TRUE(setup->testResultFile());
    EXPECT_EQ(names(), before);
    testsupport::writeFile(path("result/League.txt"), "old");
    ASSERT_TRUE(setup->testResultFile());
    EXPECT_EQ(testsupport::readFile(path("result/League.txt")), "old");
    EXPECT_TRUE(plat::notify::recorded().empty());

    setup->history().setText("missing\\x.txt");
    EXPECT_FALSE(setup->testResultFile());
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("試合の出力結果をファイル(missing\\x.txt)に作成できません"));
    EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
}

TEST_F(FrameSetup, WeaponDataCheck) {
    auto setup = makeSetup();
    modes::EntrantList list;
    list.push_back(modes::makeEntrant(akFolder(), "ak01.dat"));
    list.push_back(modes::makeEntrant(akFolder(), "ak02.dat"));
    // Without the check nothing is loaded, whatever the folder.
    header_.CheckWeaponData = 0;
    sjis::writeField(header_.WeaponDataFolder, scratch() + "nowhere");
    EXPECT_TRUE(setup->checkEntrants(list));
    EXPECT_TRUE(plat::notify::recorded().empty());
    // With the check, a catalog that cannot be loaded ends the start.
    header_.CheckWeaponData = 1;
    EXPECT_FALSE(setup->checkEntrants(list));
    plat::notify::clearRecorded();
    // With the program folder's catalog the sample AKs pass.
    sjis::writeField(header_.WeaponDataFolder, programDir() + "WpData");
    EXPECT_TRUE(setup->checkEntrants(list));
    // Nothing to check passes (the league ends its start itself for fewer
    // than two entrants).
    EXPECT_TRUE(setup->checkEntrants({}));
}

TEST_F(FrameSetup, EntryCheckRefusesPathsThatWouldBeCutAndFilesThatCannotBeRead) {
    auto setup = makeSetup(modes::ModeKind::TeamBattle);
    auto cannotRead = [](const std::string& path) {
        return sj("機体データをファイル(") + path + sj(")から読みこめません");
    };
    // A folder whose "\ak01.dat" (9 bytes) ends at byte 80: one byte too
    // many for the 79 of GameSettings.AkFile1/AkFile2.
    ASSERT_LT(scratch().size(), 60u);
    const std::string deep = scratch() + std::string(80 - 9 - scratch().size(), 'd');
    std::filesystem::create_directories(deep);
    std::filesystem::copy_file(path("ak/ak01.dat"), deep + "/ak01.dat");
    modes::EntrantList list;
    list.push_back(modes::makeEntrant(akFolder(), "ak02.dat"));
    list.push_back(modes::makeEntrant(deep, "ak01.dat"));
    list.push_back(modes::makeEntrant(deep, "ak01.dat"));
    ASSERT_EQ(list[1].Path.size(), 80u);
    // Refused before anything is read: the catalog folder is not even tried.
    header_.CheckWeaponData = 1;
    sjis::writeField(header_.WeaponDataFolder, scratch() + "nowhere");
    EXPECT_FALSE(setup->checkEntrants(list));
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u); // the first path that does not fit, once
    EXPECT_EQ(rec[0].text, cannotRead(deep + "/ak01.dat"));
    EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
    plat::notify::clearRecorded();
    header_.CheckWeaponData = 0;

    // A mode that carries an entrant's output AK file on: with two entrants
    // an entrant fights at most once, writing "<stem>.da1" in the AK output
    // folder, whose path must fit too. 71 + "\ak02.da1" = 80 bytes.
    list.resize(1);
    sjis::writeField(header_.AkOutputFolder, deep);
    list.push_back(modes::makeEntrant(akFolder(), "ak01.dat"));
    EXPECT_TRUE(setup->checkEntrants(list)); // no output carried: only the inputs
    setup->forceAkOutput();
    EXPECT_FALSE(setup->checkEntrants(list));
    rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, cannotRead(deep + "/ak02.da1"));
    plat::notify::clearRecorded();
    sjis::writeField(header_.AkOutputFolder, scratch() + "out");

    // Unreadable files: a missing one (the AK data library says so) and
    // one without AK data (said here); the start ends at the first.
    testsupport::writeFile(path("ak/broken.dat"), "no AK data\r\n");
    for (const char* file : {"gone.dat", "broken.dat"}) {
        list.resize(1);
        list.push_back(modes::makeEntrant(akFolder(), file));
        plat::notify::clearRecorded();
        EXPECT_FALSE(setup->checkEntrants(list)) << file;
        rec = plat::notify::recorded();
        ASSERT_EQ(rec.size(), 1u) << file;
        EXPECT_NE(rec[0].text.find(file), std::string::npos) << testsupport::u8(rec[0].text);
    }
    EXPECT_EQ(rec[0].text, cannotRead(akFolder() + "/broken.dat"));
}

// The modes that carry an AK from match to match never write over an
// entrant's own file: where its outputs would, the start is refused with
// one box naming the AK output folder.
TEST_F(FrameSetup, AnEntrantsOwnFileInTheWayOfItsOutputsRefusesTheStart) {
    auto setup = makeSetup(modes::ModeKind::BrawlAll);
    sjis::writeField(header_.AkOutputFolder, akFolder()); // the input folder too
    std::filesystem::copy_file(path("ak/ak01.dat"), path("ak/ak01.da1"));
    std::filesystem::copy_file(path("ak/ak02.dat"), path("ak/AK02.DA98"));
    const std::string own1 = akFolder() + "\\ak01.da1", own2 = akFolder() + "\\AK02.DA98";
    modes::EntrantList list;
    list.push_back(modes::makeEntrant(akFolder(), "ak01.da1"));
    list.push_back(modes::makeEntrant(akFolder(), "AK02.DA98"));
    const std::string refused =
        sj("機体データの出力先フォルダ(") + akFolder() +
        sj(")にある参加機体のファイルが試合結果で上書きされるため、試合を開始できません");
    // The outputs take the free names, passing over the own file: ak01's
    // three matches write .da2 to .da4 (elsewhere .da1 to .da3).
    EXPECT_EQ(modes::lastOutputAkFile(own1, 3, akFolder(), false), akFolder() + "\\ak01.da4");
    EXPECT_EQ(modes::lastOutputAkFile(own1, 3, scratch() + "out", false), scratch() + "out\\ak01.da3");
    EXPECT_FALSE(modes::outputOverwritesInput(own2, 97, akFolder(), false));
    setup->forceAkOutput();
    EXPECT_TRUE(setup->checkEntrants(list));

    // Option 44: ak01's first output is "ak01.da1", its own file. In another
    // output folder, or in a mode whose entrants always start from their own
    // files (the league), it is out of the way.
    settings_.Options[OptDa1Only] = 1;
    EXPECT_FALSE(setup->checkEntrants(list));
    sjis::writeField(header_.AkOutputFolder, scratch() + "out");
    EXPECT_TRUE(setup->checkEntrants(list));
    sjis::writeField(header_.AkOutputFolder, akFolder());
    EXPECT_TRUE(makeSetup(modes::ModeKind::League)->checkEntrants(list));

    // Without it the names run out at ".da98", which the 98th match of an
    // entrant writes again: 99 entrants (one more than ".da98"'s number)
    // would take AK02.DA98.
    settings_.Options[OptDa1Only] = 0;
    list.resize(99);
    EXPECT_FALSE(setup->checkEntrants(list));
    const auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 2u);
    for (const auto& r : rec) EXPECT_EQ(r.text, refused) << testsupport::u8(r.text);
}

TEST_F(FrameSetup, SystemDigestAndEntryList) {
    auto setup = makeSetup();
    ASSERT_TRUE(setup->startSystem());
    ASSERT_NE(setup->buffer(), nullptr);
    const cv::SystemInit& init = setup->systemInit();
    EXPECT_EQ(std::string(init.MessageFile[0]), programDir() + "sysmsg\\play_sys.msg");
    EXPECT_EQ(std::string(init.MessageFile[3]), programDir() + "sysmsg\\play_com.msg");
    EXPECT_EQ(std::string(init.MessageFile[7]), programDir() + "sysmsg\\pil_fem.msg");
    EXPECT_EQ(std::string(init.BaseFolder), programDir());
    EXPECT_EQ(init.Announcers, setup->tables().Announcers.get());

    testsupport::writeFile(path("result/digest.mom"), "old digest");
    setup->resetDigest();
    EXPECT_TRUE(std::filesystem::exists(path("result/digest.mom")));
    settings_.Options[OptResetDigest] = 1;
    setup->resetDigest();
    EXPECT_FALSE(std::filesystem::exists(path("result/digest.mom")));

    modes::EntrantList list;
    list.push_back(modes::makeEntrant(akFolder(), "ak01.dat"));
    list.push_back(modes::makeEntrant(akFolder(), "ak02.dat"));
    setup->writeEntryList(list);
    std::string entries = testsupport::readFile(path("result/entrylist.txt"));
    EXPECT_NE(entries.find(sj("【エントリー No.1")), std::string::npos);
    EXPECT_NE(entries.find(sj("【エントリー No.2")), std::string::npos);
    setup->endSystem();
    EXPECT_EQ(setup->buffer(), nullptr);
    setup->endSystem(); // once only
}

TEST_F(FrameSetup, StartSystemWithoutTheArchiveLibraryStillHandsBackTheBuffer) {
    // A library folder without libkwph.so.
    plat::setProgramFolder(scratch());
    plat::setLibraryFolder(scratch());
    auto setup = makeSetup();
    EXPECT_FALSE(setup->startSystem());
    EXPECT_NE(setup->buffer(), nullptr); // so EndSystem still runs
    EXPECT_FALSE(plat::notify::recorded().empty());
    setup->endSystem();
    EXPECT_EQ(setup->buffer(), nullptr);
}

TEST_F(FrameSetup, ForcedAkOutputIsDeletedWhenTheConfHadItOff) {
    auto setup = makeSetup(modes::ModeKind::Tournament);
    settings_.Options[OptAkOutput] = 0;
    setup->forceAkOutput();
    EXPECT_EQ(settings_.Options[OptAkOutput], 1);
    EXPECT_EQ(setup->savedAkOutput(), 0);
    testsupport::writeFile(path("out/ak01.da1"), "x");
    modes::EntrantList list;
    list.push_back(modes::makeEntrant(akFolder(), "ak01.dat"));
    list[0].wrote(scratch() + "out\\ak01.da1");
    setup->deleteForcedOutput(list);
    EXPECT_FALSE(std::filesystem::exists(path("out/ak01.da1")));

    // Exactly what the run wrote goes, in the folder that is both the input
    // and the output folder too: not another file of the entrant's name,
    // never an entrant's own file (the other team's either).
    for (const char* f : {"ak/ak01.da1", "ak/ak01.da2", "ak/ak01.da3", "ak/ak02.da1", "ak/ak02.da2"})
        testsupport::writeFile(path(f), "x");
    std::array<modes::EntrantList, 2> teams;
    teams[0].push_back(modes::makeEntrant(akFolder(), "ak01.da1"));
    teams[1].push_back(modes::makeEntrant(akFolder(), "ak02.da1"));
    teams[0][0].wrote(akFolder() + "\\ak01.da2");
    teams[0][0].wrote(akFolder() + "\\ak02.da1"); // as if the run had written the other's own file
    teams[1][0].wrote(akFolder() + "\\ak02.da2");
    setup->deleteForcedOutput(teams);
    for (const char* gone : {"ak/ak01.da2", "ak/ak02.da2"}) EXPECT_FALSE(std::filesystem::exists(path(gone)));
    for (const char* kept : {"ak/ak01.da1", "ak/ak01.da3", "ak/ak02.da1"})
        EXPECT_TRUE(std::filesystem::exists(path(kept))) << kept;

    // The conf's own option on: the files stay.
    makeConf();
    settings_.Options[OptAkOutput] = 1;
    auto kept = makeSetup(modes::ModeKind::Tournament);
    kept->forceAkOutput();
    testsupport::writeFile(path("out/ak01.da1"), "x");
    kept->deleteForcedOutput(list);
    EXPECT_TRUE(std::filesystem::exists(path("out/ak01.da1")));
}

// ---- One match -------------------------------------------------------------------

TEST_F(FrameSetup, OneMatchThroughTheGameProcessor) {
    makeConf(true);
    auto setup = makeSetup();
    ASSERT_TRUE(setup->startSystem());
    modes::applyRunSettings(settings_, setup->tables().Words);
    auto sides = modes::makeMatchSides();
    seedEverything();
    std::string log = resultFolder() + "\\m_001.txt";
    modes::MatchOutcome o = modes::playMatch(settings_, *sides, akFolder() + "\\ak01.dat",
                                             akFolder() + "\\ak02.dat", log, "", scratch() + "out");
    EXPECT_TRUE(o.Played);
    EXPECT_NE(o.EndCode, 0);
    EXPECT_GE(o.Result, 0);
    EXPECT_LE(o.Result, 2);
    EXPECT_EQ(sjis::readField(settings_.AkFile1), akFolder() + "\\ak01.dat");
    EXPECT_EQ(sjis::readField(settings_.AkFile2), akFolder() + "\\ak02.dat");
    EXPECT_TRUE(std::filesystem::exists(path("result/m_001.txt")));

    // A stop between rounds ends the rounds; the match is still closed.
    std::atomic<bool> stop{true};
    modes::MatchOutcome stopped =
        modes::playMatch(settings_, *sides, akFolder() + "\\ak01.dat", akFolder() + "\\ak02.dat",
                         resultFolder() + "\\m_002.txt", "", scratch() + "out", &stop);
    EXPECT_TRUE(stopped.Played);
    EXPECT_TRUE(std::filesystem::exists(path("result/m_002.txt")));

    // An AK that cannot be loaded: no match, no log, no result.
    modes::MatchOutcome none =
        modes::playMatch(settings_, *sides, akFolder() + "\\ak01.dat", akFolder() + "\\gone.dat",
                         resultFolder() + "\\m_003.txt", "", scratch() + "out");
    EXPECT_FALSE(none.Played);
    EXPECT_EQ(none.Result, modes::NoResult);
    EXPECT_FALSE(std::filesystem::exists(path("result/m_003.txt")));
    EXPECT_EQ(sjis::readField(settings_.AkFile2), akFolder() + "\\gone.dat");
}

// ---- Clean-up of an earlier run ---------------------------------------------------

class FrameCleanup : public ModeTest {};

// What a crash left in the folders an event writes goes with the old
// outputs, even where no output of the mode is deleted; a user's file of a
// like name, a folder of such a name and the other folders stay.
TEST_F(FrameCleanup, LeftoversOfACrashGoInTheFoldersTheEventWrites) {
    for (const char* folder : {"out", "result", "ak"}) plantLeftovers(folder);
    for (const char* f : {"out/vell-tmp-Kx93bQ", "out/.vell-tmp-Kx93b", "out/a.da1", "result/lg_001_002.txt"})
        testsupport::writeFile(path(f), "x");
    std::filesystem::create_directory(path("out/.vell-tmp-Folder"));
    modes::OldOutputs what;
    what.AkOutputFolder = scratch() + "out";
    what.ResultFolder = resultFolder();
    EXPECT_TRUE(modes::deleteOldOutputs(what));
    expectLeftoversGone("out");
    expectLeftoversGone("result");
    for (const char* kept : {"out/vell-tmp-Kx93bQ", "out/.vell-tmp-Kx93b", "out/a.da1",
                             "out/.vell-tmp-Folder", "result/lg_001_002.txt", "ak/.vell-tmp-Kx93bQ"})
        EXPECT_TRUE(std::filesystem::exists(path(kept))) << kept;
}

// The clean-up as a run's first step: the window is told its status text
// before the folders are read, then the files gone through in hundredths,
// then that it is over. A cancel in the middle stops it before the next
// file; the window is still told that it is over.
TEST_F(FrameCleanup, TheWindowShowsTheStepAndACancelStopsIt) {
    auto plantLogs = [this] {
        for (int i = 0; i < 250; ++i)
            testsupport::writeFile(path("result/lg_" + std::to_string(i) + ".txt"), "x");
    };
    auto logsLeft = [this] { return std::distance(std::filesystem::directory_iterator(path("result")), {}); };
    modes::OldOutputs what;
    what.ResultFolder = resultFolder();
    what.LogPattern = "lg_*.*";
    auto clean = [&what](const modes::CleanupStep& step) { return modes::deleteOldOutputs(what, step); };
    const std::string status = sj("前回の出力を削除しています。ちょっと待ってね。");

    plantLogs();
    TestHost host;
    modes::RunThread thread(host);
    EXPECT_TRUE(modes::cleanUpAtRunStart(thread, clean));
    EXPECT_EQ(logsLeft(), 0);
    std::vector<TestHost::CleanupShown> shown = host.cleanups();
    ASSERT_EQ(shown.size(), 102u); // the start, one per hundredth, the end
    EXPECT_EQ(shown[0].status, status);
    EXPECT_EQ(shown[0].total, 0);
    for (size_t i = 1; i <= 100; ++i) {
        EXPECT_EQ(shown[i].status, status);
        EXPECT_EQ(shown[i].total, 250);
        EXPECT_EQ(shown[i].done, static_cast<int>((i - 1) * 250 + 99) / 100) << i; // the first file of each
    }
    EXPECT_EQ(shown.back().status, "");

    plantLogs();
    TestHost cancelled;
    modes::RunThread run(cancelled);
    cancelled.setOnCleanup([&run](const TestHost::CleanupShown& shown) {
        if (shown.done == 100) run.terminate(); // "終了" while the 101st file is next
    });
    EXPECT_FALSE(modes::cleanUpAtRunStart(run, clean));
    EXPECT_EQ(logsLeft(), 150);
    EXPECT_EQ(cancelled.cleanups().back().status, "");
    EXPECT_TRUE(cancelled.events().empty()); // nothing else reached the window

    // Told to stop before anything was to be deleted: still a stop.
    TestHost early;
    modes::RunThread stopped(early);
    stopped.terminate();
    what.LogPattern.clear();
    EXPECT_FALSE(modes::cleanUpAtRunStart(stopped, clean));
    EXPECT_EQ(logsLeft(), 150);
}

// ---- Run thread and run settings ------------------------------------------------------

TEST(FrameRun, RunThreadPostsInOrderAndFinishesLast) {
    TestHost host;
    std::vector<int> seen;
    {
        modes::RunThread thread(host);
        thread.start([&seen](modes::RunThread& t) {
            for (int i = 0; i < 3; ++i) t.post([&seen, i] { seen.push_back(i); });
            t.postGameDone();
        });
        ASSERT_TRUE(host.waitFinished());
        thread.join();
    }
    host.runPosted();
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(host.events(), (std::vector<std::string>{"post", "post", "post", "gamedone", "finished"}));
}

TEST(FrameRun, FailureInTheBodyStillFinishes) {
    TestHost host;
    modes::RunThread thread(host);
    thread.start([](modes::RunThread&) { throw std::runtime_error("boom"); });
    ASSERT_TRUE(host.waitFinished());
    thread.join();
    EXPECT_EQ(host.events(), std::vector<std::string>{"finished"});
}

TEST(FrameRun, TerminateIsCooperativeAndTheDestructorJoins) {
    TestHost host;
    std::atomic<int> rounds{0};
    {
        modes::RunThread thread(host);
        thread.start([&rounds](modes::RunThread& t) {
            while (!t.terminated()) {
                ++rounds;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        while (rounds.load() == 0) std::this_thread::yield();
        EXPECT_FALSE(thread.terminated());
    } // the destructor tells it to stop and waits
    EXPECT_EQ(host.events(), std::vector<std::string>{"finished"});
}

// A second entrant's file that cannot be read, or a file of the run that
// cannot be written, stops the run once: terminated, the window told, no
// WM_GAMEDONE, and a later fault of the run is not reported again.
TEST(FrameRun, AFaultStopsTheRunOnceWithoutGameDone) {
    plat::notify::setHeadlessEcho(false);
    plat::notify::clearRecorded();
    TestHost host;
    modes::RunThread thread(host);
    thread.start([](modes::RunThread& t) {
        EXPECT_EQ(modes::RunThread::current(), &t);
        t.unreadableAkFile("a.dat");
        t.unreadableAkFile("a.dat"); // the same entrant met again
        EXPECT_FALSE(t.terminated());
        t.unreadableAkFile("b.dat");
        EXPECT_TRUE(t.terminated());
        modes::reportRunFile(41020, "bt_view.vellScript");
        t.postGameDone();
    });
    ASSERT_TRUE(host.waitFinished());
    thread.join();
    EXPECT_EQ(modes::RunThread::current(), nullptr);
    EXPECT_EQ(host.events(), (std::vector<std::string>{"fault", "finished"}));
    EXPECT_TRUE(plat::notify::recorded().empty());

    TestHost other;
    modes::RunThread second(other);
    second.start([](modes::RunThread& t) {
        modes::reportRunFile(41020, "bt_view.vellScript");
        t.postGameDone();
    });
    ASSERT_TRUE(other.waitFinished());
    second.join();
    EXPECT_EQ(other.events(), (std::vector<std::string>{"fault", "finished"}));
    plat::notify::setHeadlessEcho(true);
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text,
              sj("試合の出力結果をファイル(bt_view.vellScript)に作成できません"));
}

TEST(FrameRun, RunSettings) {
    GameSettings gs{};
    MsgWords words{};
    sjis::writeField(words.Emblem1, "E");
    gs.MessagePercent = 80;
    gs.Options[OptLogOutput] = 1;
    gs.Options[OptMessagesOff] = 1;
    gs.Options[Opt36] = 1;
    modes::applyRunSettings(gs, words);
    EXPECT_EQ(sjis::readField(gs.Words[0].Emblem1), "E");
    EXPECT_EQ(sjis::readField(gs.Words[1].Emblem1), "E");
    EXPECT_EQ(gs.Options[OptMessagesOff], 0);
    EXPECT_EQ(gs.Options[Opt36], 0);
    EXPECT_EQ(+gs.MessagePercent, 80);
    gs.Options[OptLogOutput] = 0;
    modes::applyRunSettings(gs, words, true);
    EXPECT_EQ(gs.Options[OptMessagesOff], 1);
    EXPECT_EQ(+gs.MessagePercent, 0);
    EXPECT_EQ(gs.Options[Opt36], 1);
}

// ---- Standings and tables ---------------------------------------------------------------

EntryRecord standing(int32_t wins, int32_t losses, int32_t destroyed, int32_t kills, int32_t ownAk,
                     int32_t ownPilot) {
    EntryRecord r{};
    r.Wins = wins;
    r.Losses = losses;
    r.Destroyed = destroyed;
    r.Kills = kills;
    r.OwnAkDestroyed = ownAk;
    r.OwnPilotKilled = ownPilot;
    return r;
}

TEST(FrameTables, StandingsOrder) {
    EntryRecord base = standing(2, 1, 1, 1, 1, 1);
    EXPECT_EQ(modes::CompareStandings(base, base), 0);
    EXPECT_LT(modes::CompareStandings(standing(3, 9, 0, 0, 9, 9), base), 0); // more wins
    EXPECT_LT(modes::CompareStandings(standing(2, 0, 0, 0, 9, 9), base), 0); // fewer losses
    EXPECT_LT(modes::CompareStandings(standing(2, 1, 2, 0, 9, 9), base), 0); // more destroyed
    EXPECT_LT(modes::CompareStandings(standing(2, 1, 1, 2, 9, 9), base), 0); // more kills
    EXPECT_LT(modes::CompareStandings(standing(2, 1, 1, 1, 0, 9), base), 0); // fewer own AKs lost
    EXPECT_LT(modes::CompareStandings(standing(2, 1, 1, 1, 1, 0), base), 0); // fewer own pilots lost
    EXPECT_GT(modes::CompareStandings(base, standing(2, 1, 1, 1, 1, 0)), 0);
    EXPECT_EQ(modes::progressText(3, 28), "3/28");
}

TEST(FrameTables, TextHelpers) {
    EXPECT_EQ(modes::joinFolder("C:\\R", "x.txt"), "C:\\R\\x.txt");
    EXPECT_EQ(modes::joinFolder("C:\\R\\", "x.txt"), "C:\\R\\x.txt");
    EXPECT_EQ(modes::joinFolder("/r/", "x.txt"), "/r/x.txt");
    EXPECT_EQ(modes::joinFolder("", "x.txt"), "\\x.txt");
    // A folder ending in a character whose trail byte is '\' gets its separator.
    EXPECT_EQ(modes::joinFolder(sj("表"), "x"), sj("表") + "\\x");
    EXPECT_EQ(modes::ruleLine(), std::string(78, '-'));
    EXPECT_EQ(modes::timeStamp(fixedTime()), "(2026/4/5 13:7:9)");
    EXPECT_EQ(modes::format("%-5s|%3d", "ab", 7), "ab   |  7");
    EXPECT_EQ(modes::format("%s", std::string(5000, 'x').c_str()).size(), 5000u);
    EXPECT_EQ(modes::memoText({"a", "b\r\n"}), "a\r\nb\r\n\r\n");
    // The viewer script's paths: every separator a '\'; a trail byte 5C stays what it is.
    EXPECT_EQ(modes::systemPath("/opt/vell/AkData\\ak01.dat"), "\\opt\\vell\\AkData\\ak01.dat");
    EXPECT_EQ(modes::systemPath(sj("表/x")), sj("表") + "\\x");
}

// Files of an output stem already taken are passed over (those after the
// n-th taken are not looked at), and one box names them, ten at most.
TEST(FrameEntrants, StemsTakenArePassedOverAndNamedOnce) {
    const std::vector<std::string> files{"ak01.dat", "AK01.da1", "ak02.dat",
                                         "ak01.da2", "ak03.dat", "ak04.dat"};
    modes::EntrantList taken(1);
    taken[0].Path = "x\\ak03.dat";
    std::vector<size_t> passed;
    EXPECT_EQ(modes::distinctStemRows(files, 3, taken, &passed), (std::vector<size_t>{0, 2, 5}));
    EXPECT_EQ(passed, (std::vector<size_t>{1, 3, 4}));
    passed.clear();
    EXPECT_EQ(modes::distinctStemRows(files, 2, taken, &passed), (std::vector<size_t>{0, 2}));
    EXPECT_EQ(passed, (std::vector<size_t>{1}));

    plat::notify::setHeadlessEcho(false);
    plat::notify::clearRecorded();
    modes::reportStemsTaken({});
    EXPECT_TRUE(plat::notify::recorded().empty());
    const std::string head = sj("すでに登録されている機体と出力する機体データのファイル名が重なるため、"
                                "次のファイルは登録しませんでした\n");
    modes::reportStemsTaken({"AK01.da1", "ak01.da2"});
    std::vector<std::string> twelve;
    for (int i = 1; i <= 12; ++i) twelve.push_back(modes::format("n%02d.dat", i));
    modes::reportStemsTaken(twelve);
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 2u);
    EXPECT_EQ(rec[0].text, head + "AK01.da1\nak01.da2");
    EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
    const std::string firstTen = "n01.dat\nn02.dat\nn03.dat\nn04.dat\nn05.dat\nn06.dat\nn07.dat\nn08.dat\n"
                                 "n09.dat\nn10.dat\n";
    EXPECT_EQ(rec[1].text, head + firstTen + sj("…"));
    plat::notify::clearRecorded();
}

class FrameEntryTable : public ModeTest {};

TEST_F(FrameEntryTable, MissingRowsSkippedCountersReset) {
    makeConf();
    modes::EntrantList list;
    for (int i = 0; i < 3; ++i) {
        modes::Entrant e;
        e.Path = "p" + std::to_string(i);
        if (i != 1) {
            e.Record = modes::newRow();
            EntryRecord& r = e.Record->Entry;
            sjis::writeField(r.OwnerName, sj(i == 0 ? "オーナー" : "Owner"));
            sjis::writeField(r.PilotName, sj("パイロット"));
            sjis::writeField(r.Sex, sj("男"));
            r.Age = 20;
            r.Battles = 5;
            r.Wins = 3;
            r.Destroyed = 2;
            r.Stage = 4;
            r.OwnAkDestroyed = 1;
            r.MachineValue = 3000;
            sjis::writeField(r.StatusText, "X");
        }
        list.push_back(std::move(e));
    }
    modes::Lines lines = modes::entryTable(header_, settings_, list, fixedTime(), true);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3], sj("    オーナー         パイロット            性別       年齢  試合  勝利    機体"));
    EXPECT_EQ(lines[5], sj("  1:オーナー         パイロット            男        :  20 :   5 :   3 :  3000"));
    EXPECT_EQ(lines[6], sj("  2:Owner            パイロット            男        :  20 :   5 :   3 :  3000"));
    EXPECT_EQ(lines[7], std::string(78, '-'));
    const EntryRecord& r = list[2].Record->Entry;
    EXPECT_EQ(+r.Wins, 0);
    EXPECT_EQ(+r.Stage, 0);
    EXPECT_EQ(+r.OwnAkDestroyed, 0);
    EXPECT_EQ(+r.Destroyed, 2); // career counts go on
    EXPECT_EQ(+r.Battles, 5);
    EXPECT_EQ(sjis::readField(r.StatusText), "");
}

TEST_F(FrameEntryTable, ResultFileIsReplacedWholeOrReported) {
    std::string file = resultFolder() + "/R.txt";
    testsupport::writeFile(path("result/R.txt"), "old content that is longer");
    ASSERT_TRUE(modes::saveResultFile(file, "new"));
    EXPECT_EQ(testsupport::readFile(path("result/R.txt")), "new");
    plat::setAtomicWriteFault(1);
    EXPECT_FALSE(modes::saveResultFile(file, "newer"));
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(testsupport::readFile(path("result/R.txt")), "new");
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("試合の出力結果をファイル(R.txt)に作成できません"));
}

// The event's output AK files reach the disk before its result tables: a
// disk that fails to write them back is reported, naming their folder, and
// the tables are written all the same.
TEST_F(FrameEntryTable, AFailedWriteBackOfTheOutputsIsReported) {
    plat::syncDeferredWrites();
    {
        plat::AtomicFile f(scratch() + "out/a.da1", plat::AtomicFile::SystemPath, plat::Durability::Deferred);
        ASSERT_TRUE(f.write("AK") && f.commit());
    }
    plat::setSyncFault(true);
    EXPECT_TRUE(modes::saveResultFile(resultFolder() + "/R.txt", "table"));
    plat::setSyncFault(false);
    EXPECT_EQ(testsupport::readFile(path("result/R.txt")), "table");
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("機体データをファイル(") + scratch() + sj("out)に作成できません"));
}

} // namespace
