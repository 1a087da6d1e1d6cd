// A tournament between the sample AKs, fought by the real game processor,
// whose AK output folder fills up or turns read-only after the first match
// (a small tmpfs where the machine allows mounting one, else skipped), or
// whose writes fail on the platform's failing device (the logs too). The
// second match's first file not written is the one report: its side 1's
// output AK file (41021), or on the failing device its log (41020). The
// tournament stops there without a table and the second match leaves no
// file; the first match's outputs stay whole; with the disk healed the
// next tournament plays all four matches.
#include "modes/brackets/tourlogic.h"
#include "modes/frame/setup.h"
#include "modes/frame/tests/fulldisk.h"
#include "modes/frame/tests/modetest.h"
#include "platform/catalogue.h"
#include "platform/files.h"

namespace {

using namespace modetest;
using testsupport::sj;

class TourDiskTest : public ModeTest, public ::testing::WithParamInterface<Harm> {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 3, 4, 5, 6});
        makeConf(true);
        settings_.Options[OptAkOutput] = 1;
        settings_.Options[Opt17] = 1;
        settings_.Options[OptBattleInfoInAk] = 1;
        out_ = std::make_unique<HarmedFolder>(GetParam(), path("out"));
        if (!out_->ready()) GTEST_SKIP() << out_->why();
        sjis::writeField(header_.AkOutputFolder, out_->path().string());
        setup_ = std::make_unique<modes::ModeSetup>(modes::modeInfo(modes::ModeKind::Tournament), settings_,
                                                    header_, sources_);
        ASSERT_TRUE(setup_->startSystem());
    }
    void TearDown() override {
        setup_.reset();
        out_.reset();
        ModeTest::TearDown();
    }

    std::unique_ptr<HarmedFolder> out_;
    std::unique_ptr<modes::ModeSetup> setup_;
};

TEST_P(TourDiskTest, OneReportStopsTheTournamentAndTheNextRunCompletes) {
    const FolderBytes inputs = folderBytes(path("ak"));
    const MsgWords words = setup_->tables().Words;
    // Five entrants in list order: match 1 is seed 4 (ak05) against seed 5
    // (ak06), match 2 seed 1 (ak01) against its winner.
    auto run = [&](TestHost& host, Trigger* trigger) {
        brackets::Bracket bracket;
        modes::EntrantList list;
        for (int n : {1, 3, 4, 5, 6}) list.push_back(modes::makeEntrant(akFolder(), sampleFile(n)));
        bracket.build(5, std::move(list), false);
        brackets::openingLines(header_, settings_, bracket, fixedTime());
        brackets::TourEngine real;
        brackets::TourRun tour(bracket, settings_, header_, words, &real);
        tour.onMemo = [](const modes::Lines&) {};
        tour.onProgress = [](int, int) {};
        runWithTrigger(host, trigger, [&tour](modes::RunThread& t) { tour.Execute(t); });
    };
    Trigger trigger([this] { return !std::filesystem::is_empty(out_->path()); }, [this] { out_->strike(); });
    TestHost host;
    run(host, &trigger);

    ASSERT_TRUE(trigger.done());
    const std::string failed = GetParam() == Harm::FailingDevice
                                   ? plat::msg::format(41020, {brackets::logName(resultFolder(), 2, 2)})
                                   : plat::msg::format(41021, {out_->path().string() + "\\ak01.da1"});
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text, failed);
    EXPECT_EQ(host.gameDone(), 0);
    EXPECT_EQ(host.faultStops(), 1);
    EXPECT_EQ(folderBytes(path("ak")), inputs);
    expectNoTemporaryFile(out_->path());
    EXPECT_EQ(expectWholeOutputs(out_->path()), 2);
    EXPECT_TRUE(std::filesystem::exists(path("result/tm_01_001.txt")));
    // The match that failed leaves no log, also where only its output
    // folder was harmed.
    EXPECT_FALSE(plat::fileExists(brackets::logName(resultFolder(), 2, 2)));
    EXPECT_FALSE(std::filesystem::exists(path("result/tm_02_003.txt")));

    out_->heal();
    plat::notify::clearRecorded();
    TestHost again;
    run(again, nullptr);
    EXPECT_EQ(again.gameDone(), 1);
    EXPECT_TRUE(plat::notify::recorded().empty());
    EXPECT_EQ(expectWholeOutputs(out_->path()), 8); // four matches, two files each
    EXPECT_EQ(folderBytes(path("ak")), inputs);
}

INSTANTIATE_TEST_SUITE_P(Harms, TourDiskTest,
                         ::testing::Values(Harm::FullDisk, Harm::ReadOnlyDisk, Harm::FailingDevice), harmName);

} // namespace
