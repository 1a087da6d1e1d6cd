#include "core/module.h"
#include "core/queue.h"
#include "enginetest.h"

#include <cstring>
#include <string>
#include <vector>

using namespace enginetest;

namespace {

class QueueTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        gs.NameWidth = 4;
        buf.CurrentKind = cv::KindPilot1;
    }
    void narrate(const char* utf8, const char* speaker, uint32_t kind = 1) {
        cv::Narrate(buf, sj(utf8), sj(speaker), kind);
    }
};

} // namespace

TEST_F(QueueTest, SpeakerColumn) {
    narrate("「行くぞ」\\「覚悟しろ」", "ケイ");
    ASSERT_EQ(+buf.Count, 2u);
    EXPECT_EQ(line(0), "ケイ「行くぞ」");
    EXPECT_EQ(line(1), "    「覚悟しろ」"); // the speaker only heads the first line
    EXPECT_EQ(+buf.Lines[1].Indent, 6u);
    EXPECT_EQ(+buf.Lines[1].Kind, 1u);

    // No mark: w + 2 blanks. A mark found only in a later segment does not
    // make this segment a speech.
    narrate("静かだ\\「来る」", "ケイ");
    EXPECT_EQ(line(2), "      静かだ");
    EXPECT_EQ(line(3), "    「来る」");
}

TEST_F(QueueTest, PrefixWidensTheColumnForThisCallOnly) {
    narrate("ケイ様「よし」\\「次」", "ミカ");
    EXPECT_EQ(line(0), "ミカケイ様「よし」");
    EXPECT_EQ(line(1), "          「次」");
    EXPECT_EQ(+buf.Lines[1].Indent, 12u);
    EXPECT_EQ(+gs.NameWidth, 4);
    narrate("「また」", "ミカ");
    EXPECT_EQ(+buf.Lines[2].Indent, 6u);
}

TEST_F(QueueTest, AnnouncerPrefixStandsAlone) {
    put(gs.AnnouncerLabel, "実況");
    buf.CurrentKind = cv::KindAnnouncer;
    narrate("アナ「開始です」", "実況", 2);
    EXPECT_EQ(line(0), "アナ「開始です」");
    option(OptAnnouncerNameReplace);
    narrate("アナ「開始です」", "実況", 2);
    EXPECT_EQ(line(1), "実況「開始です」");
    narrate("解説「ほう」", "実況", 2);
    EXPECT_EQ(line(2), "解説「ほう」");
}

TEST_F(QueueTest, BackslashIsFoundByCharacter) {
    // ソ is 83 5C and 表 is 95 5C: neither splits the line.
    narrate("「ソ表」", "ケイ");
    ASSERT_EQ(+buf.Count, 1u);
    EXPECT_EQ(line(0), "ケイ「ソ表」");
    narrate("\\「次」", "ケイ"); // a leading separator is dropped
    ASSERT_EQ(+buf.Count, 2u);
    narrate("", "ケイ"); // an empty message still yields its column
    EXPECT_EQ(line(2), "      ");
}

TEST_F(QueueTest, FullStopTrim) {
    EXPECT_EQ(cv::TrimFullStop(sj("待て　」")), sj("待て」"));
    EXPECT_EQ(cv::TrimFullStop(sj("終わり。")), sj("終わり。"));
    EXPECT_EQ(cv::TrimFullStop(sj("。a")), sj("。a")); // both must be double-byte
    narrate("「了解。」", "ケイ");
    EXPECT_EQ(line(0), "ケイ「了解」");
}

TEST_F(QueueTest, NarrationOffAndCheckLog) {
    option(OptMessagesOff);
    narrate("「黙れ」", "ケイ");
    cv::QueueLabelledText(buf, sj("名前：ケイ"), "");
    EXPECT_EQ(+buf.Count, 0u);
    cv::QueueHangingText(buf, sj("剣"), sj("武装："));
    EXPECT_EQ(+buf.Count, 1u);

    char* t = cv::QueueTraceMessage(buf, sj("－－ 乱数:5"));
    EXPECT_NE(t, nullptr);
    EXPECT_EQ(+buf.Count, 1u); // the check log is off
    option(OptInternalInfo);
    t = cv::QueueTraceMessage(buf, sj("－－ 乱数:5"));
    ASSERT_EQ(+buf.Count, 2u);
    EXPECT_EQ(t, buf.Lines[1].Text);
    EXPECT_EQ(+buf.Lines[1].Kind, cv::KindTrace);
    EXPECT_EQ(+buf.Lines[1].Indent, 0u);
}

TEST_F(QueueTest, CapacityIsNeverOverrun) {
    option(OptInternalInfo);
    std::string wide;
    for (int i = 0; i < 250; ++i) wide += sj("ア"); // 500 bytes
    for (int i = 0; i < 160; ++i) {
        char* t = cv::QueueTraceMessage(buf, i == 149 ? std::string_view(wide) : std::string_view("t"));
        ASSERT_NE(t, nullptr);
        std::strcpy(t, "ok"); // a caller may write into the returned line
    }
    EXPECT_EQ(+buf.Count, cv::MessageLineCount);
    EXPECT_STREQ(buf.Lines[149].Text, "ok");
    EXPECT_EQ(cv::LastLine(buf), &buf.Lines[149]);

    cv::EmptyQueue(buf);
    EXPECT_EQ(cv::LastLine(buf), nullptr);
    narrate("", "");
    std::string speech = sj("「") + wide + sj("」");
    cv::Narrate(buf, speech, "", 1);
    std::string_view cut = sjis::readField(buf.Lines[1].Text);
    EXPECT_EQ(cut.size(), 398u); // 4 blanks + 394 bytes of whole characters
    EXPECT_TRUE(sjis::isBoundary(cut, cut.size()));
}

TEST_F(QueueTest, AFullQueueSpillsAllButItsLastLine) {
    static std::vector<std::string> spilled;
    spilled.clear();
    cv::SetQueueSpill(&buf, [](const cv::GameMessageBuffer& b, uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) spilled.emplace_back(b.Lines[i].Text);
    });
    for (int i = 0; i < 200; ++i) cv::QueueLine(buf, cv::KindSystem, 0, "L" + std::to_string(i));
    cv::SetQueueSpill(nullptr, nullptr);
    // The 151st line finds 150 queued: L0..L148 go out, L149 becomes line
    // 0 and L150..L199 follow it: 1 + 50 lines.
    ASSERT_EQ(spilled.size(), 149u);
    EXPECT_EQ(spilled.front(), "L0");
    EXPECT_EQ(spilled.back(), "L148");
    ASSERT_EQ(+buf.Count, 51u);
    EXPECT_STREQ(buf.Lines[0].Text, "L149");
    EXPECT_STREQ(buf.Lines[50].Text, "L199");
}

TEST_F(QueueTest, LabelledAndHangingText) {
    buf.CurrentKind = cv::KindPilot2;
    cv::QueueLabelledText(buf, sj("ケイ・アサギリ\\ただの文。」"), sj("名前："));
    ASSERT_EQ(+buf.Count, 2u);
    EXPECT_EQ(line(0), "名前        ：ケイ・アサギリ");
    EXPECT_EQ(+buf.Lines[0].Indent, 14u);
    EXPECT_EQ(+buf.Lines[0].Kind, 2u);
    EXPECT_EQ(line(1), "              ただの文」");
    // A label longer than 12 bytes gets no label column.
    cv::QueueLabelledText(buf, sj("とても長い見出しです：値"), "");
    EXPECT_EQ(line(2), "              とても長い見出しです：値");

    cv::QueueHangingText(buf, sj("剣\\盾"), sj("武装："));
    EXPECT_EQ(line(3), "武装：剣");
    EXPECT_EQ(line(4), "      盾");
    EXPECT_EQ(+buf.Lines[4].Indent, 6u);
    cv::QueuePageBreak(buf);
    EXPECT_EQ(line(5), "---");
    EXPECT_EQ(+buf.Lines[5].Kind, cv::KindPageBreak);
}
