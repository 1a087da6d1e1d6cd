#include "core/abortmatch.h"
#include "core/endnarration.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "core/msgsets.h"
#include "narrationtest.h"
#include "platform/notify.h"
#include "platform/random.h"

#include <chrono>
#include <filesystem>
#include <set>

using namespace narrtest;

namespace {

class MsgSetsTest : public NarrationTest {
protected:
    void SetUp() override {
        NarrationTest::SetUp();
        plat::notify::clearRecorded();
        for (int t = 0; t < cv::TemplateTableCount; ++t) {
            std::string file = t == 0   ? "sysmsg/play_sys.msg"
                               : t == 1 ? "sysmsg/play_ana.msg"
                               : t < 4  ? "sysmsg/play_com.msg"
                               : t % 2  ? "sysmsg/pil_fem.msg"
                                        : "sysmsg/pil_man.msg";
            sjis::writeField(cv::Module().TemplatePath[t], sample(file));
        }
        cv::LoadSystemTemplates();
        baseSet(sample("Message/Basic.kwp"));
        gs.AnnouncerIndex = 0;
    }
    uint32_t load() {
        setUpMatch();
        return cv::LoadPlayMessages();
    }
    std::string id(const char (&field)[32]) { return testsupport::u8(sjis::readField(field)); }
};

} // namespace

TEST_F(MsgSetsTest, SystemFiles) {
    EXPECT_EQ(tableLine(0, 5), "◆――――――――――――――――　A分経過　――――――――――――――――◆");
    EXPECT_EQ(tableLine(1, 51), "試合打ち切りにより");
    EXPECT_EQ(tableLine(3, 71), "「ミッションディスクA、バーサークモード起動。」");
    EXPECT_EQ(tableLine(4, 11), "「禁止武装だと！？　汚ねえぞ！」");
    EXPECT_EQ(tableLine(7, 11), "「禁止武装なんて卑怯よ！」");

    // Comment and empty lines are skipped, long lines cut on a character,
    // and a missing file leaves the table.
    testsupport::TempDir dir;
    testsupport::writeFile(dir.path() / "t.msg", "# c\r\n\r\n;x\r\n/y\r\none\r\n" + sj("あ") +
                                                     std::string(510, 'z') + sj("い") + "\r\n");
    cv::LoadTemplateFile(dir.folder() + "t.msg", 0);
    EXPECT_EQ(tableLine(0, 1), "one");
    EXPECT_EQ(cv::TemplateLine(0, 2).size(), 2u + 509u);
    EXPECT_EQ(tableLine(0, 3), "　　　　　　　　　　　　　　＜＜　試合開始　＞＞");
    cv::LoadTemplateFile(dir.folder() + "none.msg", 0);
    EXPECT_EQ(tableLine(0, 1), "one");
}

// Line 24 ends a match that cannot go on and one the game master stops,
// whatever result he chose: it names none, and the closing narration says
// the result (a winner, or a draw without calling the sides immobile).
TEST_F(MsgSetsTest, StoppedMatchIsNotCalledADraw) {
    const char* stopped = "「試合はここまで！　この一戦、ここで打ち切りとなります！」";
    EXPECT_EQ(tableLine(1, 24), stopped);
    ASSERT_EQ(load(), cv::MsgOk); // the base set's lines over the system's
    EXPECT_EQ(tableLine(1, 24), stopped);
    narration(true);
    cv::Module().Buffer = std::move(owned); // the queue of the match steps, still `buf`
    // Side 1 made the winner, then a forced draw.
    for (int chosen : {2, 1}) {
        buf = cv::GameMessageBuffer{};
        uint8_t written = 0;
        ASSERT_EQ(cv::AbortMatch(cv::QuitChoice{true, 0, chosen}, "", "", written), cv::AbortEnded);
        const bool draw = chosen == 1;
        ASSERT_EQ(+gs.Result, draw ? 2 : 0);
        cv::EndNarration(buf, 12, 0, 1);
        const std::string said = all();
        EXPECT_EQ(said.find("引き分け") != std::string::npos, draw) << said;
        EXPECT_EQ(said.find("勝者は") != std::string::npos, !draw) << said;
        EXPECT_EQ(said.find("行動不能"), std::string::npos) << said;
    }
    owned = std::move(cv::Module().Buffer);
}

// The files are read once per event and written into the tables at every
// match, over what the match before left there; an edited file is read
// again, also when its size stays.
TEST_F(MsgSetsTest, SystemFilesKeptUntilTheyChange) {
    testsupport::TempDir dir;
    std::filesystem::path file = dir.path() / "t.msg";
    testsupport::writeFile(file, "one\r\ntwo\r\n");
    cv::LoadTemplateFile(dir.folder() + "t.msg", 0);
    cv::LoadArchiveTemplate("PLAY_ANA", cv::SlotBasic, 0); // a match's set over line 1 and more
    cv::LoadTemplateFile(dir.folder() + "t.msg", 0);
    EXPECT_EQ(tableLine(0, 1), "one");
    EXPECT_EQ(tableLine(0, 2), "two");
    testsupport::writeFile(file, "ONE\r\ntwo\r\n");
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) + std::chrono::seconds(1));
    cv::LoadTemplateFile(dir.folder() + "t.msg", 0);
    EXPECT_EQ(tableLine(0, 1), "ONE");
    testsupport::writeFile(file, "1\r\n");
    cv::LoadTemplateFile(dir.folder() + "t.msg", 0);
    EXPECT_EQ(tableLine(0, 1), "1");
    EXPECT_EQ(tableLine(0, 2), "two"); // a shorter file leaves the lines after its own
}

// The loads of a match wait until a table is read and are written only when
// they differ from the loads that wrote the table last; what a reader sees
// is what writing every load in turn gives.
TEST_F(MsgSetsTest, LoadsRepeatedFromMatchToMatchGiveTheSameLines) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.path() / "d.msg", "d1\r\nd2\r\n");
    testsupport::writeFile(dir.path() / "s.msg", "h\r\nh\r\nh\r\ns1\r\n\r\ns3\r\ns4\r\n");
    auto match = [&] {
        cv::LoadTemplateFile(dir.folder() + "d.msg", 0);
        cv::LoadSetFile(dir.folder() + "s.msg", 0);
    };
    match();
    // The set's empty line is skipped: s1 s3 s4 over d1 d2.
    EXPECT_EQ(tableLine(0, 1) + tableLine(0, 2) + tableLine(0, 3), "s1s3s4");
    match();
    EXPECT_EQ(tableLine(0, 1) + tableLine(0, 2) + tableLine(0, 3), "s1s3s4");
    // Defaults alone: lines 1 and 2 back, line 3 keeps the set's.
    cv::LoadTemplateFile(dir.folder() + "d.msg", 0);
    EXPECT_EQ(tableLine(0, 1) + tableLine(0, 2) + tableLine(0, 3), "d1d2s4");
    // A line written by other means is written over by the next loads,
    // also when they repeat the last ones.
    cv::LoadTemplateFile(dir.folder() + "d.msg", 0);
    sjis::writeField(cv::EditTemplateTable(0)->Lines[1], "x");
    cv::LoadTemplateFile(dir.folder() + "d.msg", 0);
    EXPECT_EQ(tableLine(0, 1), "d1");
}

// The base set, a chosen announcer with its label, and its lines over the
// system's defaults, from a folder set and from an archive.
TEST_F(MsgSetsTest, AnnouncerChosenByIndex) {
    for (std::string path : {sample("Message/Ana01/"), sample("Message/Ana01.kwp")}) {
        announcer(1, "熱血", "実況ジョー", path);
        gs.AnnouncerIndex = 1;
        option(OptAnnouncerNameReplace);
        cv::LoadSystemTemplates();
        ASSERT_EQ(load(), cv::MsgOk);
        EXPECT_EQ(id(gs.ChosenAnnouncer.Id), "熱血");
        EXPECT_EQ(testsupport::u8(sjis::readField(gs.AnnouncerLabel)), "実況ジョー");
        EXPECT_EQ(+gs.NameWidth, 10);
        EXPECT_EQ(tableLine(1, 2), "AとBの大激突だーっ！」");
        EXPECT_EQ(tableLine(1, 4), "試合はA分間のインニングマッチで行われます。");
        EXPECT_EQ(cv::MessageSlotAt(cv::SlotAnnouncer).Loaded, path.back() != '/');
    }
    option(OptAnnouncerNameReplace, false);
    gs.AnnouncerIndex = 7; // beyond the table: the base announcer
    ASSERT_EQ(load(), cv::MsgOk);
    EXPECT_EQ(id(gs.ChosenAnnouncer.Id), "基本アナウンサー");
    EXPECT_EQ(testsupport::u8(sjis::readField(gs.AnnouncerLabel)), "アナ");
    EXPECT_TRUE(cv::MessageSlotAt(cv::SlotAnnouncer).Shared); // the base set's archive
}

// A random announcer is one of the entries with a path, drawn anew for
// every match.
TEST_F(MsgSetsTest, RandomAnnouncer) {
    announcer(1, "一", "", sample("Message/Ana01/"));
    announcer(2, "二", "", "");
    announcer(3, "三", "", sample("Message/Ana01.kwp"));
    std::set<std::string> chosen;
    for (uint32_t seed = 0; seed < 60; ++seed) {
        gs.AnnouncerIndex = INT32_MIN;
        plat::random::seed(seed);
        ASSERT_EQ(load(), cv::MsgOk);
        chosen.insert(id(gs.ChosenAnnouncer.Id));
        EXPECT_EQ(+gs.AnnouncerIndex, INT32_MIN);
    }
    EXPECT_EQ(chosen, (std::set<std::string>{"基本アナウンサー", "一", "三"}));
}

// Counts beyond the plug-ins' arrays are not followed.
TEST_F(MsgSetsTest, CountsBoundedByTheArrays) {
    auto heap = std::make_unique<AnnouncerEntry[]>(50);
    heap[0] = announcers[0];
    cv::Module().Announcers = heap.get();
    cv::Module().AnnouncerCount = 100000;
    cv::Module().ComputerCount = 100000;
    cv::Module().PilotCount = 100000;
    gs.AnnouncerIndex = 49;
    EXPECT_EQ(load(), cv::MsgOk); // the sanitizers watch the arrays' ends
    gs.AnnouncerIndex = INT32_MIN;
    EXPECT_EQ(load(), cv::MsgOk);
}

// The lowest entry whose trigger the computer's profile key holds; its
// forms of address replace the side's; a side without a key keeps the base.
TEST_F(MsgSetsTest, ComputerSetsByTrigger) {
    computer(1, "執事", sample("Message/Com01/"), {"執事"}, {"旦那様", "坊ちゃま"});
    computer(2, "万能", sample("Message/Com01.kwp"), {"型"});
    put(ak[0].Computer.ProfileSub, "執事型ＡＩ");
    put(ak[1].Computer.ProfileSub, "戦闘型");
    ASSERT_EQ(load(), cv::MsgOk);
    EXPECT_EQ(id(gs.ComputerMsg[0].Id), "執事");
    EXPECT_EQ(id(gs.ComputerMsg[1].Id), "万能");
    EXPECT_EQ(id(cv::FormsOfAddress(0)[1]), "坊ちゃま");
    EXPECT_EQ(id(cv::FormsOfAddress(0)[4]), "");
    EXPECT_EQ(id(gs.Words[0].Master[1]), ""); // the settings keep the plug-in's
    EXPECT_EQ(tableLine(2, 1), "「システム、万事整っております。」");
    EXPECT_EQ(tableLine(2, 7), "「警告。」");
    EXPECT_EQ(tableLine(3, 5), "「被弾いたしました！」");

    put(ak[1].Computer.ProfileSub, "");
    ASSERT_EQ(load(), cv::MsgOk);
    EXPECT_EQ(id(gs.ComputerMsg[1].Id), "基本ＣＯＭ");
    narration(false); // no set is matched with narration off
    ASSERT_EQ(load(), cv::MsgOk);
    EXPECT_EQ(id(gs.ComputerMsg[0].Id), "基本ＣＯＭ");
}

// A set's words hold for its own match only: the settings keep the
// plug-in's, which the next AK without such a set uses.
TEST_F(MsgSetsTest, SetWordsLastOneMatch) {
    computer(1, "執事", sample("Message/Com01/"), {"執事"}, {"旦那様"});
    sjis::writeField(gs.Words[0].Master[0], sj("マスター"));
    put(ak[0].Computer.ProfileSub, "執事");
    ASSERT_EQ(load(), cv::MsgOk);
    EXPECT_EQ(id(cv::FormsOfAddress(0)[0]), "旦那様");
    EXPECT_EQ(id(cv::FormsOfAddress(1)[0]), "");
    put(ak[0].Computer.ProfileSub, "戦闘用");
    ASSERT_EQ(load(), cv::MsgOk);
    EXPECT_EQ(id(cv::FormsOfAddress(0)[0]), "マスター");
}

// The pilot's sex by the female words, the set by its trigger, its first-
// person words; a set that cannot be read leaves the side to the base set.
TEST_F(MsgSetsTest, PilotSets) {
    pilot(1, "侍", sample("Message/Pil01.kwp"), {"侍"}, {"拙者"});
    pilot(2, "壊れた", sample("Message/missing.kwp"), {"騎士"});
    sjis::writeField(gs.Words[0].Female[0], sj("女"));
    sjis::writeField(gs.Words[1].Female[0], sj("女"));
    put(ak[0].Pilot.Sex, "男");
    put(ak[0].Pilot.ProfileSub, "流浪の侍");
    put(ak[1].Pilot.Sex, "女（騎士）");
    ASSERT_EQ(load(), cv::MsgOk);
    EXPECT_EQ(+st[0].MessageVariant, 0);
    EXPECT_EQ(+st[1].MessageVariant, 1);
    EXPECT_EQ(id(gs.PilotMsg[0].Id), "侍");
    EXPECT_EQ(id(cv::FirstPersonWords(0)[0]), "拙者");
    EXPECT_EQ(id(gs.PilotMsg[1].Id), "基本女パイロット");
    EXPECT_EQ(tableLine(4, 1), "「むう、狙いが定まらぬ！」");
    EXPECT_EQ(tableLine(5, 3), "「……さらばじゃ！」");
    EXPECT_EQ(tableLine(4, 4), "「その盾、叩き割ってやる！」");
    EXPECT_EQ(tableLine(7, 1), "「狙いがぶれるわ！」");
    EXPECT_FALSE(cv::MessageSlotAt(cv::SlotPilot1 + 1).Loaded);

    // Side 2's word list decides nothing without side 1's.
    sjis::writeField(gs.Words[0].Female[0], "");
    ASSERT_EQ(load(), cv::MsgOk);
    EXPECT_EQ(+st[1].MessageVariant, 0);
    EXPECT_EQ(id(gs.PilotMsg[1].Id), "基本男パイロット");
}

// A pilot set file alternates male and female lines; comment lines are
// skipped and empty lines are messages.
TEST_F(MsgSetsTest, PilotSetFile) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.path() / "PLAY_PIL.MSG", "h1\r\nh2\r\nh3\r\nm1\r\n#c\r\nf1\r\n\r\nf2\r\n");
    cv::LoadPilotSetFile(dir.folder() + "PLAY_PIL.MSG", 1);
    EXPECT_EQ(tableLine(6, 1), "m1");
    EXPECT_EQ(tableLine(7, 1), "f1");
    EXPECT_EQ(tableLine(6, 2), "");
    EXPECT_EQ(tableLine(7, 2), "f2");
    EXPECT_EQ(tableLine(6, 3), "「……あばよ！」"); // stays
}

TEST_F(MsgSetsTest, BaseSetMissing) {
    baseSet(sample("Message/missing.kwp"));
    EXPECT_EQ(load(), cv::MsgFailed);
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(id(gs.ChosenAnnouncer.Id), "");
    baseSet(sample("Message/Basic/"));
    EXPECT_EQ(load(), cv::MsgOk);
    EXPECT_EQ(cv::MessageSlotAt(cv::SlotBasic).Name, sample("Message/Basic/"));
}
