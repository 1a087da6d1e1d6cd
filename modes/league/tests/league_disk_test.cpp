// A league between the sample AKs, fought by the real game processor, whose
// results folder fills up or turns read-only after the first match's log
// (a small tmpfs where the machine allows mounting one, else skipped), or
// whose whole-file writes fail on the platform's failing device. Logs that
// cannot be written are not reported and the league plays every pairing;
// the result file that cannot be saved is reported by message 41020 naming
// it, and its old content stays whole.
#include "modes/frame/entrants.h"
#include "modes/frame/setup.h"
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
        results_ = path("result");
        if (GetParam() != Harm::FailingDevice) {
            disk_ = std::make_unique<testsupport::SmallDisk>(512);
            if (!disk_->mounted()) GTEST_SKIP() << disk_->why();
            results_ = disk_->path();
            sjis::writeField(header_.ResultFolder, disk_->path().string());
        }
        testsupport::writeFile(results_ / "League.txt", "the last league");
        setup_ = std::make_unique<modes::ModeSetup>(modes::modeInfo(modes::ModeKind::League), settings_,
                                                    header_, sources_);
        ASSERT_TRUE(setup_->startSystem());
        for (int n : {1, 2, 3, 4}) entrants_.push_back(modes::makeEntrant(akFolder(), sampleFile(n)));
    }
    void TearDown() override {
        plat::setAtomicWriteFault(-1);
        setup_.reset();
        ModeTest::TearDown();
    }

    void harm() {
        switch (GetParam()) {
        case Harm::FullDisk:
            ASSERT_TRUE(disk_->fill());
            break;
        case Harm::ReadOnlyDisk:
            ASSERT_TRUE(disk_->makeReadOnly());
            break;
        case Harm::FailingDevice:
            plat::setAtomicWriteFault(0);
            break;
        }
    }

    std::filesystem::path results_;
    std::unique_ptr<testsupport::SmallDisk> disk_;
    std::unique_ptr<modes::ModeSetup> setup_;
    modes::EntrantList entrants_;
};

TEST_P(LeagueDiskTest, PlaysEveryPairingAndKeepsTheOldResultFile) {
    const FolderBytes inputs = folderBytes(path("ak"));
    league::LeagueRun league(entrants_, settings_, header_, setup_->tables().Words);
    int progress = 0;
    league.onProgress = [&progress](int, int) { ++progress; };
    Trigger trigger([this] { return std::filesystem::exists(results_ / "lg_001_002.txt"); },
                    [this] { harm(); });
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

    const std::string text = modes::memoText(league::resultTable(settings_, league::standings(entrants_)));
    EXPECT_FALSE(modes::saveResultFile(results_.string() + "/League.txt", text));
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text, sj("試合の出力結果をファイル(League.txt)に作成できません"));
    EXPECT_EQ(testsupport::readFile(results_ / "League.txt"), "the last league");
    expectNoTemporaryFile(results_);
}

INSTANTIATE_TEST_SUITE_P(Harms, LeagueDiskTest,
                         ::testing::Values(Harm::FullDisk, Harm::ReadOnlyDisk, Harm::FailingDevice), harmName);

} // namespace
