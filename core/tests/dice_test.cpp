#include "core/dice.h"
#include "enginetest.h"
#include "platform/clock.h"
#include "platform/random.h"

#include <vector>

namespace {

std::vector<int> rolls(int32_t seed, int n) {
    cv::SetDiceSeed(seed);
    std::vector<int> out;
    for (int i = 0; i < n; ++i) out.push_back(cv::RollD100("test"));
    return out;
}

} // namespace

TEST(Dice, ReferenceSequences) {
    EXPECT_EQ(rolls(1, 5), (std::vector<int>{8, 50, 74, 59, 31}));
    EXPECT_EQ(rolls(12345, 5), (std::vector<int>{16, 25, 17, 97, 32}));
    EXPECT_EQ(rolls(-5, 3), (std::vector<int>{13, 3, 24})); // lifted into range
    EXPECT_EQ(rolls(-2147483647 - 1, 1), (std::vector<int>{41}));
    // 0 and 2^31 - 1 lead to the fixed point 2^31 - 1.
    EXPECT_EQ(rolls(0, 3), (std::vector<int>{48, 48, 48}));
    EXPECT_EQ(cv::GetDiceSeed(), 2147483647);
}

TEST(Dice, SeedsFromTheClock) {
    plat::clock::LocalTime t;
    t.hour = 12;
    t.minute = 34;
    t.second = 56;
    t.centisecond = 78;
    plat::clock::setFixedLocalTime(t);
    EXPECT_EQ(cv::RandomizeSystem(), 594198);
    EXPECT_EQ(cv::GetDiceSeed(), 594198);
    plat::clock::setFixedLocalTime(plat::clock::LocalTime{});
    EXPECT_EQ(cv::RandomizeSystem(), 0);
    plat::clock::setFixedLocalTime(std::nullopt);

    // Load seeding: the low 32 bits of the epoch seconds, read as signed.
    plat::clock::setFixedEpochSeconds(int64_t{0x180000005});
    cv::SeedDiceAtLoad();
    EXPECT_EQ(cv::GetDiceSeed(), -2147483643);
    plat::clock::setFixedEpochSeconds(std::nullopt);
}

TEST(Dice, JournalAndScriptedRolls) {
    cv::SetDiceSeed(1);
    cv::DiceJournal journal;
    cv::RollD100("initiative");
    {
        enginetest::Rolls r{100, 42};
        cv::RollD100("hit");
        cv::RollD100("damage");
    }
    cv::RollD100("escape"); // the script left the seed where it was
    EXPECT_EQ(journal.Draws(),
              (std::vector<cv::DiceDraw>{{"initiative", 8}, {"hit", 100}, {"damage", 42}, {"escape", 50}}));

    std::vector<std::string> faults;
    auto record = [&](const std::string& m) { faults.push_back(m); };
    {
        cv::ScriptedDice dice({5}, record);
        cv::RollD100("first");
        EXPECT_THROW(cv::RollD100("second"), cv::DiceScriptExhausted);
    }
    {
        cv::ScriptedDice dice({5, 6, 7}, record);
        cv::RollD100("only");
    }
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_NE(faults[0].find("\"second\""), std::string::npos);
    EXPECT_NE(faults[1].find("left over: 6 7"), std::string::npos);
    EXPECT_THROW(cv::ScriptedDice({101}, record), std::invalid_argument);
}

TEST(Dice, GeneralNumbersAreASeparateSource) {
    plat::random::seed(1);
    int a = cv::GeneralRandom();
    int b = cv::GeneralRandom();
    plat::random::seed(1);
    cv::SetDiceSeed(1);
    EXPECT_EQ(cv::GeneralRandom(), a);
    cv::RollD100("between");
    EXPECT_EQ(cv::GeneralRandom(), b);   // the d100 does not disturb them
    EXPECT_EQ(cv::RollD100("next"), 50); // nor they the d100
}
