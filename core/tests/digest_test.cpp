#include "core/digest.h"
#include "core/endoutput.h"
#include "core/logwriter.h"
#include "core/matchfiles.h"
#include "core/module.h"
#include "core/outputfault.h"
#include "logtest.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "platform/notify.h"

#include <filesystem>
#include <functional>

using namespace logtest;

namespace {

// EndMatch1 and EndMatch2 around the digest, with the logs written: the
// queue of EndMatch1 holds one line before the digest step.
class DigestTest : public LogTest {
protected:
    void SetUp() override {
        LogTest::SetUp();
        ak[0] = SampleAk1();
        ak[1] = SampleAk2();
        setUpMatch();
        option(OptLogOutput);
        gs.RoundCounter = 7;
        gs.Result = 2;
    }
    // `aroundDigest` runs before and after EndMatch2 writes the digest
    // (with true, then false).
    void endMatch(std::string_view name = "match", const std::function<void(bool)>& aroundDigest = {}) {
        cv::SetTextLogName(base(name));
        cv::OpenLogs(base(name), cv::LogOpen::Step);
        cv::EmptyQueue(buf);
        add(cv::KindSystem, 0, "（試合後）");
        add(cv::KindSystem, 0, "（修理）");
        cv::DigestAtEndMatch1(buf);
        cv::FlushGameMessages(buf);
        cv::CloseLogs(false);

        cv::OpenLogs(base(name), cv::LogOpen::Step);
        if (aroundDigest) aroundDigest(true);
        cv::EndOfMatchOutput(buf);
        if (aroundDigest) aroundDigest(false);
        cv::FlushEndMessages(buf);
        cv::CloseLogs(true);
        cv::SettleMatchFiles();
    }
};

// The digest body of the fixture's match (a draw after 7 minutes).
const char* const Body = "\r\n"
                         "        △ケイ・アサギリ／山田太郎\r\n"
                         "        △ゴウ          ／佐藤\r\n"
                         "\r\n"
                         "　７分。引き分け。\r\n"
                         "\r\n"
                         "【対戦成績】\r\n"
                         "|   |山田太郎      |ケイ・アサギリ  |ブラストハウンド| 12  7 3 4| 5000|    |\r\n"
                         "|   |佐藤          |ゴウ            |クリムゾン      |  5  1 0 0| 1800|    |\r\n"
                         "\r\n"
                         "【収支】\r\n"
                         "-|ケイ・アサギリ    |機体: 3200|Cr. 5000-> 5000|MCTL: +1000(+3)-> +1000(+3)|\r\n"
                         "-|ゴウ              |機体: 1500|Cr. 1800-> 1800|MCTL:    +0(+0)->    +0(+0)|\r\n";

const std::string Head = "◆公式戦 結果";

} // namespace

TEST_F(DigestTest, HeadText) {
    EXPECT_EQ(testsupport::u8(cv::DigestHeadText()), Head);
    option(OptBountyMatch);
    EXPECT_EQ(testsupport::u8(cv::DigestHeadText()), "◆賞金首戦 結果");
}

TEST_F(DigestTest, ModeZeroOnlyInTheLog) {
    gs.DigestMode = 0;
    endMatch();
    EXPECT_EQ(+gs.DigestInLog, 1);
    EXPECT_EQ(+gs.DigestFileOpen, 0);
    EXPECT_EQ(file("match.txt"),
              "（試合後）\r\n（修理）\r\n\r\n\r\n" + Head + "\r\n\r\n" + Body + "\r\n\r\n");
    EXPECT_FALSE(exists("match.mom"));
    EXPECT_FALSE(exists("digest.mom"));
}

TEST_F(DigestTest, TheHeadLineEndsItsParagraphAlsoAlone) {
    // Narration off: EndMatch1 queued nothing before the head line, which
    // still gets its one blank line (and the queue no +2 for a line before).
    gs.DigestMode = 0;
    cv::EmptyQueue(buf);
    cv::DigestAtEndMatch1(buf);
    ASSERT_EQ(+buf.Count, 1u);
    EXPECT_EQ(+buf.Lines[0].BlankLinesAfter, 1u);
}

TEST_F(DigestTest, ModeOneOnlyInItsOwnFile) {
    gs.DigestMode = 1;
    put(gs.OrganiserName, "主催");
    endMatch();
    EXPECT_EQ(+gs.DigestInLog, 0);
    EXPECT_EQ(+gs.DigestFileOpen, 1);
    EXPECT_EQ(file("match.txt"), "（試合後）\r\n（修理）\r\n\t\t\t\t\t主催\r\n");
    EXPECT_EQ(file("match.mom"), Head + "\r\n\r\n" + Body);
}

TEST_F(DigestTest, ModeThreeInBoth) {
    gs.DigestMode = 3;
    endMatch();
    EXPECT_EQ(file("match.mom"), Head + "\r\n\r\n" + Body);
    std::string log = file("match.txt");
    EXPECT_NE(log.find(Body), std::string::npos);
    // A second match under the same name makes the file anew.
    gs.Result = 0;
    endMatch();
    std::string again = file("match.mom");
    EXPECT_EQ(again.find(Body), std::string::npos);
    EXPECT_NE(again.find("○ケイ"), std::string::npos);
    EXPECT_EQ(again.find(Head), again.rfind(Head));
}

TEST_F(DigestTest, ModeTwoAppendsBlocksWithOneHead) {
    gs.DigestMode = 2;
    option(OptAddHeader);
    option(Opt17);
    put(gs.MatchTitle, "決勝 100%");
    endMatch("bt_001");
    endMatch("bt_002");
    std::string block = "\r\n＝＝＝ 試合 ＝＝＝\r\n決勝 100%\r\n\r\n" + std::string(Body);
    EXPECT_EQ(file("digest.mom"), Head + "\r\n" + block + block);
    EXPECT_FALSE(exists("bt_001.mom"));
    EXPECT_EQ(file("bt_002.txt"), "（試合後）\r\n（修理）\r\n");
}

TEST_F(DigestTest, ModeTwoWithoutHeaderOrTitle) {
    gs.DigestMode = 2;
    put(gs.MatchTitle, "決勝");
    endMatch();
    EXPECT_EQ(file("digest.mom"), "\r\n＝＝＝ 試合 ＝＝＝\r\n\r\n" + std::string(Body));
}

TEST_F(DigestTest, UnknownModesActAsModeZero) {
    for (int32_t mode : {-1, 4, 99}) {
        gs.DigestMode = mode;
        endMatch();
        EXPECT_EQ(+gs.DigestInLog, 1);
        EXPECT_FALSE(exists("match.mom"));
    }
}

TEST_F(DigestTest, TheDigestIsNamedAfterTheLogAlsoWithoutLogOutput) {
    option(OptLogOutput, false);
    gs.DigestMode = 1;
    endMatch();
    EXPECT_FALSE(exists("match.txt"));
    EXPECT_EQ(file("match.mom"), Head + "\r\n\r\n" + Body);
}

TEST_F(DigestTest, AnUnfinishedDigestNeverReachesAFile) {
    gs.DigestMode = 1;
    endMatch();
    std::string previous = rawFile("match.mom");
    // EndMatch1 without EndMatch2 (a window closed between the steps): the
    // file stays as it was, and the next match's digest goes to its own
    // file only, with one head.
    cv::SetTextLogName(base());
    cv::DigestAtEndMatch1(buf);
    EXPECT_EQ(rawFile("match.mom"), previous);
    endMatch("next");
    EXPECT_EQ(rawFile("match.mom"), previous);
    EXPECT_EQ(file("next.mom"), Head + "\r\n\r\n" + Body);
}

TEST_F(DigestTest, AFailedAppendIsCutBackReportedAndTakesTheLogWithIt) {
    plat::notify::setHeadlessEcho(false);
    gs.DigestMode = 2;
    endMatch("bt_001");
    std::string previous = rawFile("digest.mom");
    // The disk fills after 10 bytes of the second block: the file goes back
    // to the first block and 41020 names it.
    plat::notify::clearRecorded();
    cv::ClearFailedFile();
    endMatch("bt_002", [](bool before) { plat::setAtomicWriteFault(before ? 10 : -1); });
    EXPECT_EQ(rawFile("digest.mom"), previous);
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text, plat::msg::format(41020, {base("digest.mom")}));
    EXPECT_EQ(cv::FailedFile().Path, base("digest.mom"));
    // The event stops after the match: its log goes too, the first
    // match's stays.
    EXPECT_FALSE(exists("bt_002.txt"));
    EXPECT_TRUE(exists("bt_001.txt"));

    // Mode 1 makes its file anew: a failed one is not left half written.
    // The log fails with it: the match's one report names the log, and
    // neither file is left.
    plat::notify::clearRecorded();
    cv::ClearFailedFile();
    gs.DigestMode = 1;
    endMatch("match", [](bool before) { plat::setAtomicWriteFault(before ? 10 : 0); });
    plat::setAtomicWriteFault(-1);
    EXPECT_FALSE(exists("match.mom"));
    EXPECT_FALSE(exists("match.txt"));
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text, plat::msg::format(41020, {base("match.mom")}));
    plat::notify::setHeadlessEcho(true);
}

TEST_F(DigestTest, ALogThatFailsAfterTheDigestTakesTheRecordBackOut) {
    // The signature is the one line EndMatch2 writes to the log; the disk
    // is full from just after the digest's append.
    plat::notify::setHeadlessEcho(false);
    put(gs.OrganiserName, "主催");
    auto fullAfterDigest = [](bool before) { plat::setAtomicWriteFault(before ? -1 : 0); };
    gs.DigestMode = 2;
    endMatch("bt_001");
    plat::notify::clearRecorded();
    cv::ClearFailedFile();
    endMatch("bt_002", fullAfterDigest);
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(file("digest.mom"), "\r\n＝＝＝ 試合 ＝＝＝\r\n\r\n" + std::string(Body));
    EXPECT_FALSE(exists("bt_002.txt"));
    // Mode 1: the match's own file is removed.
    cv::ClearFailedFile();
    gs.DigestMode = 1;
    endMatch("match", fullAfterDigest);
    plat::setAtomicWriteFault(-1);
    EXPECT_FALSE(exists("match.mom"));
    EXPECT_FALSE(exists("match.txt"));
    plat::notify::setHeadlessEcho(true);
    ASSERT_EQ(plat::notify::recorded().size(), 2u);
    EXPECT_EQ(plat::notify::recorded()[0].text, plat::msg::format(41020, {base("bt_002.txt")}));
    EXPECT_EQ(plat::notify::recorded()[1].text, plat::msg::format(41020, {base("match.txt")}));
}

TEST_F(DigestTest, ADigestFileThatCannotBeOpenedIsReportedAndTakesTheLogWithIt) {
    // A folder named digest.mom: the lines stay in the queue as in mode 0,
    // but the event stops after the match, so its log is taken back.
    plat::notify::setHeadlessEcho(false);
    plat::notify::clearRecorded();
    gs.DigestMode = 2;
    std::filesystem::create_directory(dir.path() / "digest.mom");
    endMatch();
    EXPECT_EQ(+gs.DigestInLog, 1);
    EXPECT_EQ(+gs.DigestFileOpen, 0);
    EXPECT_FALSE(exists("match.txt"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "digest.mom"));
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text, plat::msg::format(41020, {base("digest.mom")}));
    // Also without a log, in the next match.
    cv::ClearFailedFile();
    option(OptLogOutput, false);
    gs.DigestMode = 1;
    std::filesystem::create_directory(dir.path() / "match.mom");
    endMatch();
    plat::notify::setHeadlessEcho(true);
    ASSERT_EQ(plat::notify::recorded().size(), 2u);
    EXPECT_EQ(plat::notify::recorded()[1].text, plat::msg::format(41020, {base("match.mom")}));
}
