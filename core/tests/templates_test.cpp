#include "core/combatant.h"
#include "core/templates.h"
#include "enginetest.h"

using namespace enginetest;
using testsupport::u8;

namespace {

class TemplatesTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        put(gs.StadiumName, "第一闘技場");
        ak[0] = SampleAk1();
        ak[1] = SampleAk2();
        cv::InitCombatant(st[0], ak[0], 0);
        cv::InitCombatant(st[1], ak[1], 1);
        TArmoredKnight* aks[2] = {&ak[0], &ak[1]};
        cv::CombatantState* states[2] = {&st[0], &st[1]};
        cv::SetupPlaceholderTables(aks, states, 2);
    }
    std::string expand(const char* utf8, uint32_t subject) {
        return u8(cv::ExpandPlaceholders(sj(utf8), subject));
    }

    TArmoredKnight ak[2];
    cv::CombatantState st[2];
};

} // namespace

TEST_F(TemplatesTest, SlotLetters) {
    EXPECT_EQ(u8(cv::ExpandMessageSlots(sj("AにBが当たる"), {sj("右腕"), sj("ライフル")})),
              "右腕にライフルが当たる");
    EXPECT_EQ(u8(cv::ExpandMessageSlots(sj("AにBが当たる"))), "AにBが当たる");
    // A placeholder keeps its letter; ア (83 41) hides no slot; inserted
    // texts are not scanned again.
    EXPECT_EQ(u8(cv::ExpandMessageSlots(sj("%A00のアがB"), {"CD", "E"})), "%A00のアがE");
    EXPECT_EQ(cv::ExpandMessageSlots("A", {"B", "X"}), "B");
    // Letters anywhere in a longer template, after runs of katakana whose
    // trail bytes are slot letters (イ 83 43) or lead bytes (ン 83 93).
    std::string x(17, 'x'), y(20, 'y');
    EXPECT_EQ(u8(cv::ExpandMessageSlots(x + "A" + sj("アイウエオンンンイ") + "B" + y + "%C" + "C",
                                        {"1", "2", "3"})),
              x + "1アイウエオンンンイ2" + y + "%C3");
    option(OptMessagesOff);
    EXPECT_EQ(cv::ExpandMessageSlots("A", {"B"}), "");
}

TEST_F(TemplatesTest, PlaceholdersBySubjectSide) {
    EXPECT_EQ(expand("%a00対%A00", 1), "ブラストハウンド対クリムゾン");
    EXPECT_EQ(expand("%a00対%A00", 3), "ブラストハウンド対クリムゾン");
    EXPECT_EQ(expand("%a00対%A00", 2), "クリムゾン対ブラストハウンド");
    EXPECT_EQ(expand("%a00対%A00", 4), "クリムゾン対ブラストハウンド");
    // 12 battles, 7 wins, 2 draws: 3 losses in full width.
    EXPECT_EQ(expand("%p10敗", 1), "３敗");
    EXPECT_EQ(expand("%p01/%p03/%P03", 1), "ケイ・アサギリ/女/熱血");
    EXPECT_EQ(expand("%c01|%C01|%t00|%T03", 2), "ご主人様||佐藤|");
    EXPECT_EQ(expand("%s00", 2), "第一闘技場");
    EXPECT_EQ(expand("[%W00%w00%A15%p19]", 1), "[]");
    EXPECT_EQ(expand("%S00 %p1 %pX1 100%", 1), "%S00 %p1 %pX1 100%");
    EXPECT_EQ(u8(sjis::readField(st[0].LossesText)), "３");
    EXPECT_EQ(u8(sjis::readField(st[1].AgeText)), "２４");

    // The tables point into the records: a later change shows.
    put(ak[0].AkName, "改");
    EXPECT_EQ(expand("%a00", 1), "改");
}

TEST_F(TemplatesTest, ExpandedLineIsCutOnACharacter) {
    put(ak[0].Pilot.History,
        "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン"
        "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン");
    std::string text = "xx";
    for (int i = 0; i < 9; ++i) text += "%p04";
    std::string out = cv::ExpandPlaceholders(text, 1);
    EXPECT_EQ(out.size(), 1022u); // "xx" + whole characters: byte 1023 would split one
    EXPECT_TRUE(sjis::isBoundary(out, out.size()));
}

TEST_F(TemplatesTest, WordTable) {
    put(gs.Words[0].MySelf[0], "俺");
    put(gs.Words[0].MySelf[2], "わたし");
    std::string text = sj("俺はわたしだ、俺");
    cv::ApplyWordTable(0, text, sj("俺様"));
    EXPECT_EQ(u8(text), "俺様は俺様だ、俺様");

    std::string plain = sj("こんにちは");
    cv::ApplyWordTable(0, plain, sj("俺様"));
    EXPECT_EQ(u8(plain), "こんにちは");

    // The text stays within 255 bytes, cut on a character.
    std::string many;
    for (int i = 0; i < 120; ++i) many += sj("俺");
    cv::ApplyWordTable(0, many, sj("拙者様"));
    EXPECT_EQ(many.size(), 254u);
    EXPECT_EQ(many.find(sj("俺")), std::string::npos);
    EXPECT_EQ(many.substr(0, 6), sj("拙者様"));

    // A later word is looked for in the text the earlier ones left: 様
    // comes in with the first replacement. ア (83 41) holds no A.
    put(gs.Words[0].MySelf[5], "様");
    put(gs.Words[0].MySelf[6], "A");
    std::string chained = sj("俺だ、ア");
    cv::ApplyWordTable(0, chained, sj("俺様"));
    EXPECT_EQ(u8(chained), "俺俺様だ、ア");
}

TEST_F(TemplatesTest, BlanksToTabs) {
    EXPECT_EQ(cv::ReplaceBlanksWithTabs("ab      c"), "ab\tc");
    EXPECT_EQ(cv::ReplaceBlanksWithTabs("abcdefg h"), "abcdefg\th");
    EXPECT_EQ(cv::ReplaceBlanksWithTabs("a  b    "), "a  b\t");
    EXPECT_EQ(cv::ReplaceBlanksWithTabs("abcdefgh  "), "abcdefgh  ");
}

TEST_F(TemplatesTest, FitNameToWidth) {
    EXPECT_EQ(u8(cv::FitNameToWidth(sj("ケイ"), 4)), "ケイ");
    EXPECT_EQ(u8(cv::FitNameToWidth(sj("ケイ・アサギリ"), 8)), "ｹｲ･ｱｻｷﾞﾘ");
    option(OptNoFullToHalf);
    // Not converted: the name cut at its separator.
    EXPECT_EQ(u8(cv::FitNameToWidth(sj("ケイ・アサギリ"), 8)), "ケイ");
    // Nothing fits: cut, backing off from a character's second byte.
    EXPECT_EQ(u8(cv::FitNameToWidth(sj("アサギリケイ"), 5)), "アサ");
    option(OptNoFullToHalf, false);
    option(OptHtmlLog);
    EXPECT_EQ(u8(cv::FitNameToWidth(sj("アサギリケイ"), 5)), "アサ");
}

TEST_F(TemplatesTest, CutStringKeepsCharactersWhole) {
    EXPECT_EQ(u8(cv::CutString(sj("アイウエオ"), 5, true)), "アイ");
    EXPECT_EQ(u8(cv::CutString(sj("アイウエオ"), 5, false)), "ｱｲｳｴｵ");
    char dst[8];
    EXPECT_EQ(cv::CutString(sj("アイウエオ").c_str(), dst, 5, 1), 4);
}
