// Whole small logs of a fixed seeded match between two sample AKs, played
// step by step the way the exports play it: every step opens the logs,
// queues its lines, writes them and closes the logs again.
#include "core/aksheet.h"
#include "core/dice.h"
#include "core/digest.h"
#include "core/logheader.h"
#include "core/logwriter.h"
#include "core/match.h"
#include "core/module.h"
#include "core/round.h"
#include "logtest.h"
#include "platform/random.h"

using namespace logtest;

namespace {

constexpr int32_t Seed = 4242;

class LogGoldenTest : public LogTest {
protected:
    void SetUp() override {
        LogTest::SetUp();
        ak[0] = SampleFile(1);
        ak[1] = SampleFile(2);
        put(gs.AkFile1, "AkData\\ak01.dat");
        put(gs.AkFile2, "AkData\\ak02.dat");
        put(gs.ModeVersionText, "VS 1.0");
        put(gs.AnnouncerLabel, "アナ");
        put(gs.ChosenAnnouncer.Id, "基本");
        put(gs.OrganiserName, "テスト主催");
        put(gs.StadiumName, "第一競技場");
        option(OptLogOutput);
        option(OptInternalInfo);
        option(OptHtmlLog);
        option(OptAddHeader);
        gs.DigestMode = 3;
        gs.MatchType = 0;
        gs.MatchMinutes = 4;
        gs.StatusInterval = 2;
        gs.MessagePercent = 100;
        gs.DistanceBand = 0;
        gs.RoundCounter = 0;
    }

    // StartMatch, ProcessMatch until the end, EndMatch1 and EndMatch2,
    // without the booking of the result and the post-match prompts.
    void playMatch() {
        std::string logBase = base();
        setUpMatch();
        cv::SetDiceSeed(Seed);
        plat::random::seed(Seed);

        cv::OpenLogs(logBase, cv::LogOpen::Start);
        cv::ResetMatchCounters(buf);
        cv::QueueMatchOpening(buf, "");
        cv::StartFirstRound("");
        cv::FlushGameMessages(buf);
        cv::CloseLogs(false);

        uint8_t result = cv::RoundGoesOn;
        for (int round = 0; round < 100 && result == cv::RoundGoesOn; ++round) {
            cv::OpenLogs(logBase, cv::LogOpen::Step);
            result = cv::ProcessMatch(buf);
            cv::WriteStatusSheetsAfterRound(buf, result);
            cv::FlushGameMessages(buf);
            cv::CloseLogs(false);
        }
        ASSERT_NE(result, cv::RoundGoesOn);

        cv::SetTextLogName(logBase);
        cv::OpenLogs(logBase, cv::LogOpen::Step);
        gs.RoundCounter -= 1;
        cv::EmptyQueue(buf);
        if (!Option(OptMessagesOff)) {
            for (int side = 0; side < 2; ++side) {
                cv::WriteAkSheet(buf, ak[side], st[side]);
                cv::LastLine(buf)->BlankLinesAfter += 1;
                cv::QueuePageBreak(buf);
            }
            cv::LastLine(buf)->BlankLinesAfter += 1;
            cv::WriteClosingNarration(buf);
        }
        cv::DigestAtEndMatch1(buf);
        cv::FlushGameMessages(buf);
        cv::CloseLogs(false);

        cv::OpenLogs(logBase, cv::LogOpen::Step);
        cv::EndOfMatchOutput(buf);
        cv::FlushEndMessages(buf);
        cv::CloseLogs(true);
    }

    static bool Option(int flag) { return cv::Option(flag); }
};

} // namespace

TEST_F(LogGoldenTest, NarratedMatch) {
    option(OptTabReplace); // the text and check logs; never the HTML log
    playMatch();
    ExpectGolden("match.txt", rawFile("match.txt"));
    ExpectGolden("match.chk", rawFile("match.chk"));
    ExpectGolden("match.htm", rawFile("match.htm"));
    ExpectGolden("match.mom", rawFile("match.mom"));
    EXPECT_FALSE(exists("match.3ds"));
}

TEST_F(LogGoldenTest, QuietMatch) {
    option(OptMessagesOff);
    option(OptHtmlLog, false);
    option(Opt29);
    gs.DigestMode = 0;
    gs.OutputColumns = 70;
    playMatch();
    ExpectGolden("quiet.txt", rawFile("match.txt"));
    ExpectGolden("quiet.chk", rawFile("match.chk"));
    EXPECT_EQ(rawFile("match.3ds"), "");
    EXPECT_FALSE(exists("match.mom"));
}
