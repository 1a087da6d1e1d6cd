#include "core/getmsg.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "narrationtest.h"
#include "platform/random.h"

#include <set>

using namespace narrtest;

namespace {

class GetMsgTest : public NarrationTest {
protected:
    std::string get(int slot, const char* id) {
        std::string out;
        result = cv::GetMsg(slot, id, out);
        return testsupport::u8(out);
    }
    std::string getLine(int slot, const char* id, int32_t line) {
        std::string out;
        result = cv::GetMsgLine(slot, id, out, line);
        return testsupport::u8(out);
    }
    std::string age(int32_t years, bool female = false) {
        ak[0].Pilot.Age = years;
        st[0].MessageVariant = female ? 1 : 0;
        std::string out;
        result = cv::GetMsgAge(out, ak[0], st[0]);
        return testsupport::u8(out);
    }
    uint32_t result = 0;
};

} // namespace

// A folder set and an archive set answer alike: every variant is drawn in
// time, by the general random numbers only.
TEST_F(GetMsgTest, RandomVariantsFromFolderAndArchive) {
    for (std::string base : {sample("Message/Basic/"), sample("Message/Basic.kwp")}) {
        cv::ClearKwpTable();
        if (base.back() == '/')
            cv::SetFolderSlot(cv::SlotBasic, base);
        else
            ASSERT_EQ(cv::LoadMsgArchive(cv::SlotBasic, base), cv::MsgOk);
        std::set<std::string> seen;
        cv::DiceJournal journal;
        for (int i = 0; i < 40; ++i) seen.insert(get(cv::SlotPilot1, "M31A0"));
        EXPECT_EQ(seen, (std::set<std::string>{"「ちっ、外したか！」", "「かわされた！」"})) << base;
        EXPECT_TRUE(journal.Draws().empty());
        EXPECT_EQ(result, cv::MsgOk);
    }
}

// The side's own set first, the base set for what it lacks, the not-found
// text (never expanded) when neither has it.
TEST_F(GetMsgTest, FallbackAndNotFound) {
    cv::SetFolderSlot(cv::SlotBasic, sample("Message/Basic/"));
    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotPilot1, sample("Message/Pil01.kwp")), cv::MsgOk);
    EXPECT_EQ(get(cv::SlotPilot1, "M29A0"), "「拙者の勝ちでござる。」");
    EXPECT_EQ(get(cv::SlotPilot1, "M05A0"), "「盾で受け止めたぜ！」");
    EXPECT_EQ(get(cv::SlotPilot1, "M77Z0"), "【Not Found:M77Z0 / kwp:613 GetMsg()】");
    EXPECT_EQ(result, cv::MsgFailed);
    EXPECT_EQ(getLine(cv::SlotPilot1, "M77Z0", 1), "【Not Found:M77Z0 / kwp:836 GetMsg()】");
    std::string out;
    EXPECT_EQ(cv::GetMsgAge(out, ak[0], st[0]), cv::MsgOk); // the base set has M92A0

    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotBasic, sample("Message/Com01.kwp")), cv::MsgOk);
    EXPECT_EQ(get(cv::SlotAnnouncer, "M77A"), "【Not Found:M77A / kwp:601 GetMsg()】");
    EXPECT_EQ(getLine(cv::SlotAnnouncer, "M93A", 1), "【Not Found:M93A / kwp:825 GetMsg()】");
    EXPECT_EQ(age(30), "【Not Found:M92A0 / kwp:747 GetMsgAge()】");
    EXPECT_EQ(result, cv::MsgFailed);

    narration(false);
    EXPECT_EQ(get(cv::SlotAnnouncer, "M77A"), "");
    EXPECT_EQ(result, cv::MsgOk);
}

// A numbered line: the set's own, else the base set's; a blank or missing
// record is a miss in either form of set.
TEST_F(GetMsgTest, NumberedLines) {
    for (bool archives : {false, true}) {
        cv::ClearKwpTable();
        if (archives) {
            ASSERT_EQ(cv::LoadMsgArchive(cv::SlotBasic, sample("Message/Basic.kwp")), cv::MsgOk);
            ASSERT_EQ(cv::LoadMsgArchive(cv::SlotPilot1, sample("Message/Pil01.kwp")), cv::MsgOk);
        } else {
            cv::SetFolderSlot(cv::SlotBasic, sample("Message/Basic/"));
            cv::SetFolderSlot(cv::SlotPilot1, sample("Message/Pil01/"));
        }
        EXPECT_EQ(getLine(cv::SlotPilot1, "M99A0", 4), "「拙者の剣、受けてみよ！」");
        EXPECT_EQ(getLine(cv::SlotPilot1, "M99A0", 2), "「ミサイル、全弾発射！」");
        EXPECT_EQ(result, cv::MsgOk);
        for (int32_t line : {7, 9, 500, -1}) {
            getLine(cv::SlotPilot1, "M99A0", line);
            EXPECT_EQ(result, cv::MsgFailed) << line << " archives " << archives;
        }
    }
}

TEST(AgeRange, Forms) {
    auto range = [](const char* text) {
        auto r = cv::ParseAgeRange(text);
        return r ? std::to_string(r->Low) + ".." + std::to_string(r->High) : std::string("none");
    };
    EXPECT_EQ(range("20+5:x"), "20..25");
    EXPECT_EQ(range("30-5:x"), "25..30");
    EXPECT_EQ(range("40:x"), "35..45");
    EXPECT_EQ(range("7:x"), "7..7");
    EXPECT_EQ(range("18*:x"), "18..18");
    EXPECT_EQ(range("18*"), "none");
    EXPECT_EQ(range("abc:x"), "none");
    EXPECT_EQ(range("99999999999999999999999+1:x"), "9999999999999..10000000000000");
}

// The age lines of the announcer's set, else the base set's; a line whose
// range holds the age; nothing (and no failure) for an age no line holds.
TEST_F(GetMsgTest, AgeMessages) {
    cv::SetFolderSlot(cv::SlotBasic, sample("Message/Basic/"));
    EXPECT_EQ(age(22), "気合十分の受け答えです。");
    EXPECT_EQ(age(22, true), "凛とした受け答えです。");
    EXPECT_EQ(age(5), "");
    EXPECT_EQ(result, cv::MsgOk);
    ASSERT_EQ(cv::LoadMsgArchive(cv::SlotAnnouncer, sample("Message/Ana01.kwp")), cv::MsgOk);
    EXPECT_EQ(age(70), "いぶし銀の大ベテランだーっ！");
}

// Message files are fixed records of 82 bytes; a record holding a line end
// or running short is cut there, a file of no whole record is an empty
// message.
TEST_F(GetMsgTest, RecordFiles) {
    testsupport::TempDir dir;
    std::string record = "abc\r\ndef";
    record.resize(82, ' ');
    testsupport::writeFile(dir.path() / "M42A.msg", record);
    testsupport::writeFile(dir.path() / "M43A.msg", "short");
    cv::SetFolderSlot(cv::SlotBasic, dir.folder());
    EXPECT_EQ(get(cv::SlotComputer1, "M42A"), "abc");
    EXPECT_EQ(get(cv::SlotComputer1, "M43A"), "");
    EXPECT_EQ(result, cv::MsgOk);
    EXPECT_EQ(getLine(cv::SlotComputer1, "M43A", 0), "【Not Found:M43A / kwp:836 GetMsg()】");
}
