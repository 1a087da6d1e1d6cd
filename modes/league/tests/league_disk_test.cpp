// A league between the sample AKs, fought by the real game processor, whose
// results folder fills up or turns read-only after the first match (a small
// tmpfs where the machine allows mounting one, else skipped), or whose
// writes fail on the platform's failing device. The second match's log is
// the one report (41020 naming it); the league stops after that match
// without a table, the match leaves no log and no digest record, the first
// match keeps both, the old result file stays; with the disk healed the
// next league runs to its end. An entry list that cannot be written keeps
// the league from starting.
#include "modes/frame/entrants.h"
#include "modes/frame/setup.h"
#include "modes/frame/standings.h"
#include "modes/frame/tables.h"
#include "modes/frame/tests/fulldisk.h"
#include "modes/frame/tests/modetest.h"
#include "modes/league/leaguelogic.h"
#include "platform/catalogue.h"
#include "platform/files.h"

namespace {

using namespace modetest;
using testsupport::sj;

class LeagueDiskTest : public ModeTest, public ::testing::WithParamInterface<Harm> {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2, 3, 4});
        makeConf(true);
        results_ = std::make_unique<HarmedFolder>(GetParam(), path("result"));
        if (!results_->ready()) GTEST_SKIP() << results_->why();
        sjis::writeField(header_.ResultFolder, results_->path().string());
        testsupport::writeFile(results() / "League.txt", "the last league");
        setup_ = std::make_unique<modes::ModeSetup>(modes::modeInfo(modes::ModeKind::League), settings_,
                                                    header_, sources_);
        ASSERT_TRUE(setup_->startSystem());
        for (int n : {1, 2, 3, 4}) entrants_.push_back(modes::makeEntrant(akFolder(), sampleFile(n)));
    }
    void TearDown() override {
        setup_.reset();
        results_.reset();
        ModeTest::TearDown();
    }

    std::filesystem::path results() const { return results_->path(); }

    std::unique_ptr<HarmedFolder> results_;
    std::unique_ptr<modes::ModeSetup> setup_;
    modes::EntrantList entrants_;
};

TEST_P(LeagueDiskTest, OneReportStopsTheLeagueAndTheNextRunCompletes) {
    const FolderBytes inputs = folderBytes(path("ak"));
    settings_.DigestMode = 2;
    std::string digest;
    auto run = [this](TestHost& host, Trigger* trigger) {
        league::LeagueRun league(entrants_, settings_, header_, setup_->tables().Words);
        league.onProgress = [](int, int) {};
        runWithTrigger(host, trigger, [&league](modes::RunThread& t) { league.Execute(t); });
    };
    Trigger trigger([this] { return std::filesystem::exists(results() / "lg_001_002.txt"); },
                    [this, &digest] {
                        digest = testsupport::readFile(results() / "digest.mom");
                        results_->strike();
                    });
    TestHost host;
    run(host, &trigger);

    ASSERT_TRUE(trigger.done());
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text,
              plat::msg::format(41020, {league::logName(results().string(), 1, 3)}));
    EXPECT_EQ(host.gameDone(), 0);
    EXPECT_EQ(host.faultStops(), 1);
    EXPECT_TRUE(std::filesystem::exists(results() / "lg_001_002.txt"));
    EXPECT_FALSE(std::filesystem::exists(results() / "lg_001_003.txt"));
    EXPECT_FALSE(std::filesystem::exists(results() / "lg_001_004.txt"));
    EXPECT_NE(digest, "");
    EXPECT_EQ(testsupport::readFile(results() / "digest.mom"), digest);
    EXPECT_EQ(testsupport::readFile(results() / "League.txt"), "the last league");
    EXPECT_EQ(folderBytes(path("ak")), inputs);
    expectNoTemporaryFile(results());

    results_->heal();
    plat::notify::clearRecorded();
    TestHost again;
    run(again, nullptr);
    EXPECT_EQ(again.gameDone(), 1);
    EXPECT_TRUE(plat::notify::recorded().empty());
    EXPECT_TRUE(std::filesystem::exists(results() / "lg_003_004.txt"));
    EXPECT_EQ(folderBytes(path("ak")), inputs);
}

// The entry list is the event's first file: when it cannot be written the
// league does not start, after one report naming it, and leaves no cut list.
TEST_P(LeagueDiskTest, AnEntryListNotWrittenIsOneReportAndNoStart) {
    const std::filesystem::path list = results() / "entrylist.txt";
    results_->strike();
    EXPECT_FALSE(setup_->writeEntryList(entrants_));
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text, plat::msg::format(41020, {list.string()}));
    EXPECT_FALSE(std::filesystem::exists(list));

    results_->heal();
    plat::notify::clearRecorded();
    EXPECT_TRUE(setup_->writeEntryList(entrants_));
    EXPECT_TRUE(plat::notify::recorded().empty());
    // Four entry sheets, numbered 1 to 4.
    const std::string sheets = testsupport::readFile(list);
    for (const char* head : {"【エントリー No.1", "【エントリー No.4"})
        EXPECT_NE(sheets.find(sj(head)), std::string::npos) << head;
}

INSTANTIATE_TEST_SUITE_P(Harms, LeagueDiskTest,
                         ::testing::Values(Harm::FullDisk, Harm::ReadOnlyDisk, Harm::FailingDevice), harmName);

} // namespace
