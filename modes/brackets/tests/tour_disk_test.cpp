// A tournament between the sample AKs, fought by the real game processor,
// whose AK output folder fills up or turns read-only after the first match
// (a small tmpfs where the machine allows mounting one, else skipped), or
// whose writes fail on the platform's failing device. Each output AK file
// that cannot be written is reported by message 41021 naming it, and the
// tournament goes on to its end: an entrant without its output file loses
// its next match by walkover.
#include "modes/brackets/tourlogic.h"
#include "modes/frame/setup.h"
#include "modes/frame/tests/fulldisk.h"
#include "modes/frame/tests/modetest.h"
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

TEST_P(TourDiskTest, GoesOnWithWholeOutputsAndReportsEachFileNotWritten) {
    const FolderBytes inputs = folderBytes(path("ak"));
    brackets::Bracket bracket;
    modes::EntrantList list;
    for (int n : {1, 3, 4, 5, 6}) list.push_back(modes::makeEntrant(akFolder(), sampleFile(n)));
    bracket.build(5, std::move(list), false);
    brackets::openingLines(header_, settings_, bracket, fixedTime());

    brackets::TourEngine real;
    const MsgWords words = setup_->tables().Words;
    brackets::TourRun tour(bracket, settings_, header_, words, &real);
    tour.onMemo = [](const modes::Lines&) {};
    tour.onProgress = [](int, int) {};
    Trigger trigger([this] { return !std::filesystem::is_empty(out_->path()); }, [this] { out_->strike(); });
    TestHost host;
    host.setOnPost([&trigger] { trigger(); });
    modes::RunThread thread(host);
    seedEverything();
    thread.start([&tour](modes::RunThread& t) { tour.Execute(t); });
    ASSERT_TRUE(host.waitFinished());
    thread.join();
    host.runPosted();

    ASSERT_TRUE(trigger.done());
    EXPECT_EQ(host.gameDone(), 1);
    EXPECT_EQ(folderBytes(path("ak")), inputs);
    expectNoTemporaryFile(out_->path());
    // The first match's two outputs were written before the harm; none after.
    EXPECT_EQ(expectWholeOutputs(out_->path()), 2);
    int notWritten = 0;
    for (const auto& r : plat::notify::recorded()) {
        if (r.text.find(sj("機体データをファイル(")) != 0) continue;
        ++notWritten;
        EXPECT_NE(r.text.find(out_->path().string()), std::string::npos) << testsupport::u8(r.text);
    }
    EXPECT_GE(notWritten, 2);
}

INSTANTIATE_TEST_SUITE_P(Harms, TourDiskTest,
                         ::testing::Values(Harm::FullDisk, Harm::ReadOnlyDisk, Harm::FailingDevice), harmName);

} // namespace
