// The line codec and the width conversions: the pinned encodings, the
// control-byte rules, the tables' corner characters, lone lead bytes and the
// stored forms Pack falls back on.
#include "kwph/codec.h"
#include "kwph/pack.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <random>

using testsupport::hex;
using testsupport::sj;

namespace {

std::string bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b) s += static_cast<char>(c);
    return s;
}

} // namespace

TEST(LineCodec, PinnedEncodings) {
    const std::string go = sj("「ＧＯ！」とアーマーが叫んだ。");
    EXPECT_EQ(hex(kwp::encodeLine(go)), "A2 47 4F 21 A3 C4 07 B1 B0 CF B0 82 AA 8B A9 07 DD 82 BE A1");
    EXPECT_EQ(kwp::decodeLine(kwp::encodeLine(go)), go);
    const std::string mixed = sj("Aあア漢GH、ｶ");
    EXPECT_EQ(hex(kwp::encodeLine(mixed)), "01 B1 07 B1 8A BF 09 47 48 09 A4 08 B6");
    EXPECT_EQ(kwp::decodeLine(kwp::encodeLine(mixed)), mixed);
    EXPECT_EQ(hex(kwp::encodeLine(sj("ｶｷ"))), "08 B6 08 B7");
}

TEST(LineCodec, LettersLiteralRunsAndSingles) {
    EXPECT_EQ(hex(kwp::encodeLine("ABC")), "01 02 03");
    EXPECT_EQ(kwp::decodeLine("\x01\x02\x03", kwp::DecodeMode::Letters), "ABC");
    EXPECT_EQ(kwp::decodeLine("\x01\x02\x03", kwp::DecodeMode::Raw), "ABC");
    EXPECT_EQ(kwp::encodeLine("GHI"), "\tGHI");
    EXPECT_EQ(kwp::encodeLine("G"), "\bG");
    // The byte after the one that opens a run is stored raw even when it is
    // 'A'-'F', and letters inside a run stay raw.
    EXPECT_EQ(kwp::encodeLine("GA"), "\tGA");
    EXPECT_EQ(kwp::encodeLine("xyB"), "\txyB");
    EXPECT_EQ(kwp::decodeLine("\txyB"), "xyB");
    // Mode 0 keeps 01-06 as bytes inside runs and after 08; mode 1 never does.
    EXPECT_EQ(kwp::decodeLine("\t\x01", kwp::DecodeMode::Raw), "\x01");
    EXPECT_EQ(kwp::decodeLine("\b\x02", kwp::DecodeMode::Raw), "\x02");
    EXPECT_EQ(kwp::decodeLine("\t\x01", kwp::DecodeMode::Letters), "A");
    // Full-width Ａ-Ｆ narrow to 41-46 and widen back.
    EXPECT_EQ(hex(kwp::encodeLine(sj("ＡＦａ"))), "41 46 61");
    EXPECT_EQ(kwp::decodeLine("AFa"), sj("ＡＦａ"));
}

TEST(LineCodec, KanaStateAndTableCharacters) {
    EXPECT_EQ(hex(kwp::encodeLine(sj("あア"))), "B1 07 B1");
    EXPECT_EQ(kwp::decodeLine(kwp::encodeLine(sj("あア"))), sj("あア"));
    // ー ゛ ゜ come back as themselves whatever the kana state.
    EXPECT_EQ(kwp::decodeLine(kwp::encodeLine(sj("あー゛゜アー"))), sj("あー゛゜アー"));
    // Symbols without a half-width form stay two bytes and close a run.
    EXPECT_EQ(kwp::encodeLine(sj("ab’＾‘￣")), "\tab\t" + sj("’＾‘￣"));
    // Kanji and voiced kana keep both states, also inside a run.
    EXPECT_EQ(kwp::encodeLine("xy" + sj("漢が") + "z"), "\txy" + sj("漢が") + "z");
    const std::string all = sj(
        "をぁぃぅぇぉゃゅょっあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらり"
        "るれろわん"
        "ヲァィゥェォャュョッアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリ"
        "ルレロワン"
        "ー゛゜　！”＃＄％＆’（）＊＋，－．／：；＜＝＞？＠［￥］＾＿‘｛｜｝￣。「」、・０１２３４５６７８９"
        "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘ"
        "ｙｚ");
    EXPECT_EQ(kwp::decodeLine(kwp::encodeLine(all)), all);
    // A table character is matched only whole: 82 A0 (あ) must not be found
    // at the odd offset inside ぁ (82 9F) + あ.
    EXPECT_EQ(kwp::decodeLine(kwp::encodeLine(sj("漢あ"))), sj("漢あ"));
}

TEST(LineCodec, DecoderWidening) {
    EXPECT_EQ(kwp::decodeLine("`~\\"), sj("＆‘￥"));
    EXPECT_EQ(kwp::decodeLine("\x7F"), "ff");
    EXPECT_EQ(kwp::decodeLine(bytes({0xFF, 0x41})), bytes({0xFF}) + sj("Ａ"));
    EXPECT_EQ(kwp::decodeLine(bytes({0xB1, 0x07, 0xB1})), sj("あア"));
    EXPECT_EQ(kwp::decodeLine(bytes({0xB0})), sj("ー"));
    // A stored 0x00 ends the line.
    EXPECT_EQ(kwp::decodeLine(std::string("\x01\0\x02", 3)), "A");
}

TEST(LineCodec, LoneLeadBytesAndControlBytes) {
    EXPECT_EQ(kwp::encodeLine("x\x81"), "\bx");
    EXPECT_EQ(kwp::encodeLine(std::string("x\x81\0\x41", 4)), "\bx");
    EXPECT_EQ(kwp::decodeLine("\t\x80"), "");
    EXPECT_EQ(kwp::exdbl("A\xFF"), sj("Ａ"));
    EXPECT_EQ(kwp::exsng("a\x82"), "a");
    EXPECT_EQ(kwp::exsingle("\xE0"), "");
    EXPECT_EQ(kwp::plainText("a\tb\x81"), "ab");
    // Control bytes are dropped, a trail byte below 0x20 stays with its lead.
    EXPECT_EQ(kwp::encodeLine("a\tb"), "\ba\bb");
    EXPECT_EQ(kwp::encodeLine("ab\tc"), "\tabc");
    EXPECT_EQ(kwp::decodeLine(kwp::encodeLine("\x81\x0A!")), "\x81\x0A!");
}

TEST(LineCodec, RoundTripOfRandomBytes) {
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int n = 0; n < 3000; ++n) {
        std::string in(static_cast<size_t>(n % 40), '\0');
        for (char& c : in) c = static_cast<char>(byte(gen));
        const std::string enc = kwp::encodeLine(in);
        ASSERT_LE(enc.size(), 2 * in.size());
        ASSERT_EQ(kwp::decodeLine(enc), kwp::plainText(in)) << hex(in);
    }
}

TEST(WidthConversion, Exdbl) {
    EXPECT_EQ(kwp::exdbl("ABC"), sj("ＡＢＣ"));
    EXPECT_EQ(kwp::exdbl(sj("ｱｲｳﾞ")), sj("アイウ゛"));
    EXPECT_EQ(kwp::exdbl(bytes({0x7F, 0xA0})), "ffff");
    EXPECT_EQ(kwp::exdbl("\t`"), "\t" + sj("＆"));
    EXPECT_EQ(kwp::exdbl(bytes({0xFF, 0x41})), bytes({0xFF, 0x41}));
}

TEST(WidthConversion, ExsngAndExsingle) {
    EXPECT_EQ(kwp::exsng(sj("がヴぱ漢ヮヰヱヵヶ")), sj("ｶｳﾊ漢ヮヰヱヵヶ"));
    EXPECT_EQ(kwp::exsingle(sj("がヴぱ")), sj("ｶﾞｳﾞﾊﾟ"));
    EXPECT_EQ(kwp::exsng(sj("　、。，．・：；？！゛゜¨＿ー＠／｜”（）［］｛｝「」＋－＝＜＞′￥＄％＃＆＊～")),
              " \xA4\xA1,.\xA5:;?!\xDE\xDF`_\xB0@/|\"()[]{}\xA2\xA3+-=<>'\\$%#&*~");
    EXPECT_EQ(kwp::exsng(sj("ＺｚＸ９をン")), "ZzX9" + sj("ｦﾝ"));
    EXPECT_EQ(kwp::exsng(sj("’＾‘￣")), sj("’＾‘￣"));
}

TEST(StoredForm, FallsBackInsteadOfDropping) {
    // 128 half-width kana encode to 256 bytes; stored behind one 0x09 they fit.
    const std::string kana(128, '\xB6');
    ASSERT_EQ(kwp::encodeLine(kana).size(), 256u);
    auto stored = kwp::storedForm(kana, true);
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, "\t" + kana);
    EXPECT_EQ(kwp::decodeLine(*stored), kwp::decodeLine(kwp::encodeLine(kana)));
    // Without the codec a long line loses only its control bytes.
    stored = kwp::storedForm(std::string(250, 'x') + "\t\t\t\t\t\t", false);
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, "\t" + std::string(250, 'x'));
    EXPECT_FALSE(kwp::storedForm(std::string(255, '\xB6'), true));
    EXPECT_EQ(kwp::storedForm(std::string(254, 'x'), false)->size(), 255u);
}

TEST(StoredForm, LinePreparationByType) {
    EXPECT_EQ(kwp::prepareLine("ab  \t ", 0), "ab  \t ");
    EXPECT_EQ(kwp::prepareLine("ab  \t ", 1), "ab");
    EXPECT_EQ(kwp::prepareLine(" ab \x1A", 2), " ab");
}
