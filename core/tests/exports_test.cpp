// The deliverable itself, loaded by name as the configuration manager loads
// it: the three exports under their plain names, with C arguments.
#include "enginetest.h"
#include "platform/clock.h"
#include "platform/loader.h"

#include <cstring>

TEST(Exports, FormulaCheckAndReseeding) {
    plat::Library lib;
    ASSERT_TRUE(lib.load(VELL_PROGRAM_DIR, "CVCORE.DLL", {"Infix2Postfix", "CalcPostfix", "RandomizeSystem"}))
        << lib.error();
    auto infix2Postfix = lib.function<uint32_t (*)(const char*, char*)>("Infix2Postfix");
    auto calcPostfix = lib.function<int32_t (*)(const char*, const TArmoredKnight*)>("CalcPostfix");
    auto randomizeSystem = lib.function<int32_t (*)()>("RandomizeSystem");

    char postfix[100];
    std::memset(postfix, 'Z', sizeof postfix);
    EXPECT_EQ(infix2Postfix("((G-2000)/8 > 0) + F*2 + W*2 + D*5 + K*10", postfix), 0u);
    EXPECT_STREQ(postfix, "G 2000 - 8 / 0 > F 2 * + W 2 * + D 5 * + K 10 * + ");
    TArmoredKnight ak = enginetest::SampleAk1();
    EXPECT_EQ(calcPostfix(postfix, &ak), 213);
    EXPECT_EQ(infix2Postfix("(1+2", postfix), 0x80000003u);
    EXPECT_STREQ(postfix, "1 2 + ");
    // Too long for the settings field: empty, and nothing past 80 bytes.
    EXPECT_EQ(infix2Postfix("1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1", postfix), 0x80000003u);
    EXPECT_EQ(postfix[0], '\0');
    EXPECT_EQ(postfix[80], 'Z');
    EXPECT_EQ(infix2Postfix("1", nullptr), 0x80000003u);
    EXPECT_EQ(calcPostfix(nullptr, &ak), 0);
    EXPECT_EQ(calcPostfix("5 ", nullptr), 0);

    plat::clock::LocalTime t;
    t.minute = 1;
    t.centisecond = 7;
    plat::clock::setFixedLocalTime(t);
    EXPECT_EQ(randomizeSystem(), 1007);
    plat::clock::setFixedLocalTime(std::nullopt);
}
