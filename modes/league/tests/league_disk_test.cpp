// A league between the sample AKs, fought by the real game processor, whose
// results folder fills up or turns read-only after the first match's log
// (a small tmpfs where the machine allows mounting one, else skipped), or
// whose whole-file writes fail on the platform's failing device. Logs that
// cannot be written are not reported and the league plays every pairing;
// the result file that cannot be saved is reported by message 41020 naming
// it, and its old content stays whole.
#include "modes/frame/entrants.h"
#include "modes/frame/setup.h"
#include "modes/frame/standings.h"
#include "modes/frame/tables.h"
#include "modes/frame/tests/fulldisk.h"
#include "modes/frame/tests/modetest.h"
#include "modes/league/leaguelogic.h"
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

TEST_P(LeagueDiskTest, PlaysEveryPairingAndKeepsTheOldResultFile) {
    const FolderBytes inputs = folderBytes(path("ak"));
    league::LeagueRun league(entrants_, settings_, header_, setup_->tables().Words);
    int progress = 0;
    league.onProgress = [&progress](int, int) { ++progress; };
    Trigger trigger([this] { return std::filesystem::exists(results() / "lg_001_002.txt"); },
                    [this] { results_->strike(); });
    TestHost host;
    host.setOnPost([&trigger] { trigger(); });
    modes::RunThread thread(host);
    seedEverything();
    thread.start([&league](modes::RunThread& t) { league.Execute(t); });
    ASSERT_TRUE(host.waitFinished());
    thread.join();
    host.runPosted();

    ASSERT_TRUE(trigger.done());
    EXPECT_EQ(host.gameDone(), 1);
    EXPECT_EQ(progress, 6);
    int wins = 0, draws = 0;
    for (const modes::Entrant& e : entrants_) {
        wins += e.row()->Wins;
        draws += e.row()->Draws;
    }
    EXPECT_EQ(wins + draws / 2, 6); // every match counted once
    EXPECT_TRUE(plat::notify::recorded().empty());
    EXPECT_EQ(folderBytes(path("ak")), inputs);

    const std::string text = modes::memoText(league::resultTable(settings_, modes::standings(entrants_)));
    EXPECT_FALSE(modes::saveResultFile(results().string() + "/League.txt", text));
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text, sj("試合の出力結果をファイル(League.txt)に作成できません"));
    EXPECT_EQ(testsupport::readFile(results() / "League.txt"), "the last league");
    expectNoTemporaryFile(results());
}

INSTANTIATE_TEST_SUITE_P(Harms, LeagueDiskTest,
                         ::testing::Values(Harm::FullDisk, Harm::ReadOnlyDisk, Harm::FailingDevice), harmName);

} // namespace
