// Naming, composing, writing and deleting the output AK data files.
#include "enginetest.h"

#include "akdata/akfile.h"
#include "core/akoutput.h"
#include "core/module.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/notify.h"

#include <filesystem>

namespace {

using namespace enginetest;
using testsupport::readFile;
using testsupport::writeFile;

class AkOutputTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ak[0] = SampleAk1();
        ak[1] = SampleAk2();
        for (int i = 0; i < 2; ++i) {
            cv::InitCombatant(st[i], ak[i], i);
            cv::Module().Ak[i] = &ak[i];
            cv::Module().State[i] = &st[i];
        }
        plat::notify::setHeadlessEcho(false);
        plat::notify::clearRecorded();
        plat::clock::LocalTime t;
        t.year = 2026, t.month = 3, t.day = 7, t.hour = 9, t.minute = 5, t.second = 1;
        plat::clock::setFixedLocalTime(t);
    }
    void TearDown() override {
        plat::clock::setFixedLocalTime(std::nullopt);
        for (int i = 0; i < 2; ++i) cv::Module().Ak[i] = nullptr, cv::Module().State[i] = nullptr;
        EngineTest::TearDown();
    }
    std::string path(const char* name) const { return dir.folder() + name; }
    void touch(const char* name) const { writeFile(dir.path() / name, "x"); }

    testsupport::TempDir dir;
    TArmoredKnight ak[2];
    cv::CombatantState st[2]{};
};

TEST_F(AkOutputTest, ReturnFileNames) {
    std::string out = dir.folder();
    touch("a.da1");
    EXPECT_EQ(cv::GetReturnFileName(out, "/in/A.DAT"), out + "A.da1"); // .dat: .da1 even when it exists
    EXPECT_EQ(cv::GetReturnFileName(out, "/in/a.dat"), out + "a.da1");
    touch("a.da2");
    EXPECT_EQ(cv::GetReturnFileName(out, "/in/a.da1"), out + "a.da3");
    option(OptDa1Only);
    EXPECT_EQ(cv::GetReturnFileName(out, "/in/a.da1"), out + "a.da1");
    option(OptDa1Only, false);
    // A folder without its separator gets one.
    std::string bare = out.substr(0, out.size() - 1);
    EXPECT_EQ(cv::GetReturnFileName(bare, "x.da5"), bare + "\\x.da1");
    for (int n = 1; n <= 98; ++n) writeFile(dir.path() / ("b.da" + std::to_string(n)), "");
    EXPECT_EQ(cv::GetReturnFileName(out, "b.da1"), out + "b.da98");
}

TEST_F(AkOutputTest, HistoryCopiesConsecutiveRecordsOnly) {
    std::string first = std::string(cv::ResultMarker) + " 2026/01/01 10:00:00";
    std::string second = std::string(cv::ResultMarker) + " 2026/02/01 10:00:00";
    std::string file = "header\r\n\r\n" + first + "\r\nL2a\r\nL3a\r\n" + second + "\nL2b\r\nL3b\r\n\r\n" +
                       std::string(cv::ResultMarker) + " stray\r\nx\r\ny\r\n1000,200\r\n";
    std::string out;
    ASSERT_TRUE(cv::CopyResultHistoryFrom(out, file));
    EXPECT_EQ(out, first + "\r\nL2a\r\nL3a\r\n" + second + "\r\nL2b\r\nL3b\r\n");

    // A broken record never takes the AK's first line with it.
    out.clear();
    ASSERT_TRUE(cv::CopyResultHistoryFrom(out, first + "\r\n1000,200\r\n\"owner\"\r\n"));
    EXPECT_EQ(out, first + "\r\n");
    // No record in front of the AK data: nothing, also when one comes later.
    out.clear();
    EXPECT_FALSE(cv::CopyResultHistoryFrom(out, "1000,200\r\n" + first + "\r\n"));
    EXPECT_FALSE(cv::CopyResultHistory(out, path("missing.dat")));
    EXPECT_EQ(out, "");
}

TEST_F(AkOutputTest, ResultRecordNarratives) {
    auto record = [&](int side) {
        std::string out;
        cv::WriteResultRecord(out, st[side], st[1 - side], 12, "Owner");
        return testsupport::u8(out);
    };
    std::string opponent = testsupport::u8(sjis::readField(st[1].PilotNameFull));
    gs.Result = 2;
    gs.ImmobileDraw = 1;
    EXPECT_EQ(record(0), "--- CVVELL Game Result --- 2026/03/07 09:05:01\r\n　結果：△、対戦相手：" +
                             opponent +
                             "／Owner\r\n　１２分。コルヴェインによる強制中断。しかも引き分け。\r\n\r\n");
    gs.ImmobileDraw = 0;
    gs.TimeUpDecision = 1;
    gs.Result = 1;
    EXPECT_NE(record(0).find("　結果：×"), std::string::npos);
    EXPECT_NE(record(1).find("　結果：○"), std::string::npos);
    EXPECT_NE(record(1).find("分。時間切れ判定。\r\n"), std::string::npos);

    // Side 1 won with its turbo running: weapon, piercing hit, body, the
    // loser's pilot died after the escape and the transfer failed.
    gs.TimeUpDecision = 0;
    gs.Result = 0;
    gs.EscapeRate = 30;
    gs.FinishPart = 5;
    put(gs.FinishPierceWeapon, "ライフル");
    put(ak[0].Turbo.Name, "ブースター");
    st[0].ReactionBoost = 5;
    put(st[0].CurrentAttack.Name, "ライフル");
    st[1].AkDestroyed = 1;
    st[1].PilotKilled = 1;
    EXPECT_NE(
        record(0).find(
            "　１２分。ターボ中、ライフルによるライフル貫通。胴体破壊。誘爆。脱出失敗。強制転送失敗。死亡。"
            "\r\n"),
        std::string::npos);
    // A self-destruction says nothing of the pilot; an anti-beam field is no turbo.
    gs.SelfDestruct = 1;
    put(ak[0].Turbo.Name, "対ビーム磁場発生器");
    EXPECT_NE(record(0).find("　１２分。ライフルによるライフル貫通。胴体破壊。自爆。\r\n"),
              std::string::npos);
}

TEST_F(AkOutputTest, DrainLinesCarryTheStateWithZeroedResumeFields) {
    option(OptDrainContinues);
    st[0].AttackDown = -12.9;
    st[0].ComputerDown = 2.5;
    st[0].ReactionBoost = -3;
    st[0].BoostMinutesLeft = -1;
    st[0].BerserkAnnounced = 1;
    for (int i = 0; i < 6; ++i) st[0].DrainInts[i] = i * 10;
    gs.RoundCounter = 7;
    gs.DistanceBand = 4;
    std::string out;
    cv::WriteAkDataText(out, ak[0], st[0]);
    std::string expected = "\"$DRAINDATA02$\",-12,0,0,2,1,-3,-1,0,0,7,4," + std::to_string(st[0].TotalCr) +
                           "," + std::to_string(st[0].MachineValue) + ",0,1\r\n0,10,20,30,40,50\r\n";
    ASSERT_GE(out.size(), expected.size());
    EXPECT_EQ(out.substr(out.size() - expected.size()), expected);
    // Read back, the lines give the same values.
    cv::CombatantState back{};
    std::FILE* f = std::tmpfile();
    std::fwrite(out.data(), 1, out.size(), f);
    std::rewind(f);
    ASSERT_TRUE(cv::ParseDrainData(back, f));
    std::fclose(f);
    EXPECT_EQ(+back.AttackDown, -12.0);
    EXPECT_EQ(+back.ResumeRound, 7);
    EXPECT_EQ(+back.DrainInts[5], 50);
}

TEST_F(AkOutputTest, WrittenFilesInTheirOrderAndFailures) {
    for (int flag : {OptAkOutput, OptAddHeader, OptBattleInfoInAk, OptDrainContinues}) option(flag);
    gs.Result = 0;
    std::string in1 = path("one.da1"), in2 = path("two.dat");
    // Side 1's input carries an earlier record in front of its AK data.
    std::string earlier = std::string(cv::ResultMarker) + " 2025/12/31 23:59:59\r\nA\r\nB\r\n";
    writeFile(dir.path() / "one.da1",
              earlier + "\r\n" + akdata::formatAkData(ak[0], akdata::AkFileStyle::GameProcessor));
    ak[0].hasMatchData = 1;
    sjis::writeField(gs.AkFile1, in1);
    sjis::writeField(gs.AkFile2, in2);
    std::filesystem::create_directories(dir.path() / "out");
    st[0].BindDistance = 3;

    std::array<cv::ReturnAkFile, 2> files = cv::WriteReturnAkFiles(dir.folder() + "out", 9);
    EXPECT_EQ(files[0].Path, dir.folder() + "out\\one.da1");
    EXPECT_EQ(files[1].Path, dir.folder() + "out\\two.da1");
    EXPECT_TRUE(files[0].Written && files[1].Written);
    std::string text = readFile(dir.path() / "out" / "one.da1");
    // Header line (the empty template line here), history, new record, data.
    size_t record =
        text.find("\r\n\r\n" + earlier + std::string(cv::ResultMarker) + " 2026/03/07 09:05:01\r\n");
    EXPECT_EQ(record, 0u);
    size_t data = text.find("\r\n\r\n" + std::to_string(ak[0].MachineValue) + "," +
                            std::to_string(ak[0].Cash) + "\r\n");
    EXPECT_NE(data, std::string::npos);
    EXPECT_NE(text.find("\r\n\"$DRAINDATA02$\",0,0,0,1,1,0,0,0,0,"), std::string::npos);
    EXPECT_EQ(+st[0].BindDistance, 0);
    EXPECT_NE(+st[0].TotalCr, 0); // put back after the write
    TArmoredKnight back{};
    EXPECT_EQ(akdata::parseAkData(back, text), akdata::LoadOk);
    EXPECT_EQ(+back.hasMatchData, 1);

    // Side 2's file cannot be put in place (a folder has its name): 41021
    // with its path, and side 1's file is taken back (the event stops after
    // the match, which leaves no output file).
    plat::notify::clearRecorded();
    std::filesystem::remove(dir.path() / "out" / "one.da1");
    std::filesystem::remove(dir.path() / "out" / "two.da1");
    std::filesystem::create_directories(dir.path() / "out" / "two.da1");
    files = cv::WriteReturnAkFiles(dir.folder() + "out", 9);
    EXPECT_FALSE(files[0].Written);
    EXPECT_FALSE(files[1].Written);
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_NE(plat::notify::recorded()[0].text.find("two.da1"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "out" / "one.da1"));
}

TEST_F(AkOutputTest, AnUnreadableInputIsNeverOverwritten) {
    option(OptAkOutput);
    option(OptDa1Only);
    writeFile(dir.path() / "p.da1", "no AK data here\r\n");
    sjis::writeField(gs.AkFile1, path("p.da1"));
    sjis::writeField(gs.AkFile2, path("q.dat"));
    cv::WriteReturnAkFiles(dir.folder(), 3);
    EXPECT_EQ(readFile(dir.path() / "p.da1"), "no AK data here\r\n");
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    // The match writes no other file after it.
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "q.da1"));
}

TEST_F(AkOutputTest, OnlyAFileReplacingItsInputIsSyncedAtOnce) {
    option(OptAkOutput);
    writeFile(dir.path() / "p.da1", akdata::formatAkData(ak[0], akdata::AkFileStyle::GameProcessor));
    sjis::writeField(gs.AkFile1, path("p.da1"));
    sjis::writeField(gs.AkFile2, path("q.dat"));
    std::filesystem::create_directories(dir.path() / "out");
    plat::syncDeferredWrites();
    // Into another folder: both wait for the event's durability point.
    cv::WriteReturnAkFiles(dir.folder() + "out", 3);
    EXPECT_TRUE(plat::deferredWritesPending());
    EXPECT_TRUE(plat::syncDeferredWrites());
    // Option 44 in the inputs' own folder: p.da1 and r.da1 replace the
    // inputs and are synced at once, nothing waits.
    option(OptDa1Only);
    writeFile(dir.path() / "r.da1", akdata::formatAkData(ak[1], akdata::AkFileStyle::GameProcessor));
    sjis::writeField(gs.AkFile2, path("r.da1"));
    cv::WriteReturnAkFiles(dir.folder(), 3);
    EXPECT_FALSE(plat::deferredWritesPending());
    EXPECT_TRUE(plat::notify::recorded().empty());
    TArmoredKnight back{};
    EXPECT_EQ(akdata::parseAkData(back, readFile(dir.path() / "p.da1")), akdata::LoadOk);
}

TEST_F(AkOutputTest, DeletingOutputFiles) {
    // Outputs are <stem>.da1 to <stem>.da98 of a listed stem (any case);
    // "c.da3" is itself a listed entrant (fed from the output folder) and
    // stays while its "c.da1" goes.
    const char* gone[] = {"a.da1", "A.DA2", "a.da98", "c.da1"};
    const char* kept[] = {"a.dat", "a.DAT", "a.da99", "a.dab", "a.da",   "a.da0",
                          "a.da01", "a.da1.bak", "ab.da1", "b.da1", "c.da3"};
    for (const char* name : gone) touch(name);
    for (const char* name : kept) touch(name);
    std::string own = path("c.da3");
    std::string_view list[] = {"/in/a.dat", "", "/in/folder/", own};
    cv::DeleteOutputAkFile(list, 4, dir.folder().substr(0, dir.folder().size() - 1));
    for (const char* name : kept) EXPECT_TRUE(std::filesystem::exists(dir.path() / name)) << name;
    for (const char* name : gone) EXPECT_FALSE(std::filesystem::exists(dir.path() / name)) << name;
}

} // namespace
