#include "core/formula.h"
#include "enginetest.h"

#include <cstring>

namespace {

std::string postfix(std::string_view infix) {
    return cv::ConvertInfix(infix).Text;
}

int32_t value(std::string_view infix, const TArmoredKnight& ak = TArmoredKnight{}) {
    return cv::CalcPostfix(postfix(infix), ak);
}

} // namespace

TEST(Formula, ConvertsAndEvaluates) {
    EXPECT_EQ(postfix("1+2*3"), "1 2 3 * + ");
    EXPECT_EQ(value("1+2*3"), 7);
    EXPECT_EQ(postfix("(1+2)*3"), "1 2 + 3 * ");
    EXPECT_EQ(value("(1+2)*3"), 9);
    EXPECT_EQ(postfix("2^3^2"), "2 3 ^ 2 ^ ");
    EXPECT_EQ(value("2^3^2"), 64);
    EXPECT_EQ(postfix("@(3-5)"), "3 5 - @ ");
    EXPECT_EQ(value("@(3-5)"), 0);
    EXPECT_EQ(value("7\\2"), 3);
    EXPECT_EQ(value("7|2"), 4);
    EXPECT_EQ(value("1+2>4"), 4); // minimum, maximum and mean bind loosest
    EXPECT_EQ(value("\t 10 -  4 - 3 "), 3);
}

TEST(Formula, OnlyTheFinalValueIsTruncated) {
    TArmoredKnight ak{};
    ak.MachineValue = 4;
    EXPECT_EQ(value("G/8+G/8", ak), 1);
    EXPECT_EQ(value("G\\8+G\\8", ak), 0);
    EXPECT_EQ(value("0-7/2"), -3);
}

TEST(Formula, DefaultFormulaOfANewConf) {
    const char* infix = "((G-2000)/8 > 0) + F*2 + W*2 + D*5 + K*10";
    EXPECT_EQ(postfix(infix), "G 2000 - 8 / 0 > F 2 * + W 2 * + D 5 * + K 10 * + ");
    TArmoredKnight ak{};
    ak.MachineValue = 3200;
    ak.Pilot.Battles = 100;
    ak.Pilot.Wins = 60;
    ak.Pilot.Destroyed = 5;
    ak.Pilot.Kills = 3;
    EXPECT_EQ(value(infix, ak), 525);
}

TEST(Formula, NamesReadTheirFirstLetter) {
    TArmoredKnight ak{};
    ak.TotalCr = 900;
    ak.Pilot.Age = 30;
    ak.Team.Mctl = -40;
    ak.TotalWeight = 7;
    EXPECT_EQ(value("Age", ak), 900); // A: total Cr, not the age
    EXPECT_EQ(value("O", ak), 30);
    EXPECT_EQ(value("M", ak), -40);
    EXPECT_EQ(value("w+W", ak), 7); // case matters
    EXPECT_EQ(value("Z1", ak), 0);
}

TEST(Formula, MalformedFormulas) {
    cv::PostfixText open = cv::ConvertInfix("(1+2");
    EXPECT_TRUE(open.Error);
    EXPECT_EQ(open.Text, "1 2 + ");
    EXPECT_EQ(postfix("A B"), "A ");   // trailing tokens are dropped
    EXPECT_EQ(postfix("1+"), "1  + "); // an empty operand at the end
    EXPECT_EQ(value("1+"), 0);
    EXPECT_EQ(value("-5"), 0); // no unary minus
    EXPECT_EQ(value(""), 0);
    EXPECT_EQ(cv::CalcPostfix("7 -3 % ", TArmoredKnight{}), 0);
    EXPECT_EQ(cv::CalcPostfix("7 0 % ", TArmoredKnight{}), 0);
    EXPECT_EQ(cv::CalcPostfix("1 2 ", TArmoredKnight{}), 2);
}

TEST(Formula, UndefinedConversionsFail) {
    TArmoredKnight ak{};
    EXPECT_EQ(value("1/0"), 0);
    EXPECT_EQ(value("1\\0"), 0);
    EXPECT_EQ(value("10^400<5"), 0); // an infinite value pushed, though "<" would drop it
    EXPECT_EQ(value("2^63"), 0);     // out of the 64-bit range
    EXPECT_EQ(value("2^32+5"), 5);   // low 32 bits
    EXPECT_EQ(value("0-2^31"), -2147483647 - 1);
    EXPECT_EQ(cv::CalcPostfix("0 1 - 1 2 / ^ 5 < ", ak), 0); // NaN, though "<" would drop it
    // "%" on 32-bit operands computed in 64 bits: INT_MIN % -1 does not trap.
    EXPECT_EQ(cv::CalcPostfix("2 31 ^ 0 1 - % 5 + ", ak), 5);
    EXPECT_EQ(cv::CalcPostfix("0 7 - 3 % ", ak), -1);
}

TEST(Formula, TokensAreCutAndNeverSplitACharacter) {
    std::string name = "A" + std::string(39, 'b');
    EXPECT_EQ(postfix(name + "+1"), "A" + std::string(30, 'b') + " 1 + ");
    std::string digits(40, '7');
    EXPECT_EQ(postfix(digits), std::string(31, '7') + " ");
    // ソ (83 5C) is one token whose trail byte is no "\" operator.
    std::string so = testsupport::sj("ソ");
    EXPECT_EQ(postfix(so + "+1"), so + " 1 + ");
    EXPECT_EQ(value(so + "+1"), 1);
    EXPECT_EQ(value(so + "\\2"), 0);
}

TEST(Formula, PostfixNeverOverrunsTheSettingsField) {
    std::string infix;
    for (int i = 0; i < 30; ++i) infix += "1+";
    infix += "1"; // 61 bytes of infix, 121 of postfix
    GameSettings gs{};
    sjis::writeField(gs.StadiumName, "Arena");
    EXPECT_EQ(cv::Infix2Postfix(infix, gs.BountyPostfix), cv::FormulaError);
    EXPECT_STREQ(gs.BountyPostfix, "");
    EXPECT_STREQ(gs.StadiumName, "Arena");
    EXPECT_EQ(cv::Infix2Postfix("F*2", gs.BountyPostfix), 0u);
    EXPECT_STREQ(gs.BountyPostfix, "F 2 * ");
}

TEST(Formula, DeepNestingIsRefused) {
    std::string deep =
        std::string(cv::MaxFormulaNesting + 1, '(') + "1" + std::string(cv::MaxFormulaNesting + 1, ')');
    cv::PostfixText p = cv::ConvertInfix(deep);
    EXPECT_TRUE(p.Error);
    EXPECT_EQ(p.Text, "");
    std::string fits = std::string(50, '(') + "1" + std::string(50, ')');
    EXPECT_EQ(postfix(fits), "1 ");
}
