#include "core/match.h"
#include "core/module.h"
#include "core/round.h"
#include "fighttest.h"
#include "platform/random.h"

#include <cstdlib>

using namespace fighttest;

namespace {

class MatchTest : public FightTest {
protected:
    // Plays to the end from `seed`.
    cv::MatchEnd play(int32_t seed) {
        setUpMatch();
        cv::SetDiceSeed(seed);
        plat::random::seed(static_cast<uint32_t>(seed));
        cv::StartMatch(buf, "");
        return cv::PlayMatch(buf, 2000);
    }
};

std::string joined(const std::vector<std::string>& tags) {
    std::string out;
    for (const std::string& t : tags) out += (out.empty() ? "" : " ") + t;
    return out;
}

} // namespace

// The three ends that no roll can change.
TEST_F(MatchTest, InningMatchJudgedOnDamage) {
    for (int32_t seed : {1, 77, 123456}) {
        ak[0] = PlainAk();
        ak[1] = PlainAk();
        ak[0].DefensiveMovePct = ak[1].DefensiveMovePct = 100; // never attack
        ak[0].Frame.Durability[PartHead] = 40;
        gs.MatchType = 0;
        gs.MatchMinutes = 5;
        cv::MatchEnd end = play(seed);
        EXPECT_EQ(end.Code, cv::RoundLimit);
        EXPECT_EQ(end.Rounds, 5);
        EXPECT_EQ(+gs.RoundCounter, 6);
        EXPECT_EQ(+gs.Result, 1);
        EXPECT_EQ(+gs.TimeUpDecision, 1);
        EXPECT_EQ(sjis::readField(st[0].StatusText), sj("判定"));
    }
}

TEST_F(MatchTest, DeathMatchDrawnAfterAThousandRounds) {
    for (int32_t seed : {2, 99}) {
        ak[0].DefensiveMovePct = ak[1].DefensiveMovePct = 100;
        gs.MatchType = 3;
        gs.MessagePercent = 50;
        narration(seed == 99);
        cv::MatchEnd end = play(seed);
        EXPECT_EQ(end.Code, cv::RoundLimit);
        EXPECT_EQ(end.Rounds, 1000);
        EXPECT_EQ(+gs.RoundCounter, 1001);
        EXPECT_EQ(+gs.Result, 2);
        EXPECT_EQ(+gs.ImmobileDraw, 1);
        EXPECT_EQ(+gs.MessagePercent, 0); // -3 a round after round 20
    }
}

TEST_F(MatchTest, ResumedMatchFarBelowItsMarkStillEnds) {
    ak[0].DefensiveMovePct = ak[1].DefensiveMovePct = 100;
    gs.MatchType = 3;
    option(OptAppendLog);
    gs.ResumeRound = 1;
    gs.RoundMark = 5000; // rounds played start far below zero
    cv::MatchEnd end = play(5);
    EXPECT_EQ(end.Code, cv::RoundLimit);
    EXPECT_EQ(end.Rounds, 1000);
    EXPECT_EQ(+gs.ImmobileDraw, 1);
}

TEST_F(MatchTest, BattleBetweenImmobileAKs) {
    for (int32_t seed : {3, 4242}) {
        ak[0] = PlainAk();
        ak[1] = PlainAk();
        ak[0].Engine.Price = ak[1].Engine.Price = 0; // no movement
        gs.MatchType = 2;
        option(Opt10);
        option(Opt24);
        gs.StartDistanceBand = 5;
        gs.Result = 0; // the previous match's winner
        setUpMatch();
        cv::SetDiceSeed(seed);
        cv::StartMatch(buf, "");
        st[0].MovementDown = 3;
        cv::MatchEnd end = cv::PlayMatch(buf, 10);
        EXPECT_EQ(end.Code, cv::RoundBothImmobile);
        EXPECT_EQ(end.Rounds, 1);
        EXPECT_EQ(+gs.RoundCounter, 2);
        // Both immobile leaves Result as StartMatch set it: a draw, never
        // the winner of the match before.
        EXPECT_EQ(+gs.Result, 2);
    }
}

// The order of draws of one round, narration off and on: the round start
// (turbo length), initiative, each mover's plan (and with narration its
// order draw, the gates of its lines and the call names of the announcer's
// lines that pass), the escape of the bound side, the attack order, then
// each half: the announcement, multi-shot and hit rolls, interception,
// shield, weapon and body locations, damage and armour, and the narration
// orders with the gates of the lines they order.
TEST_F(MatchTest, OrderOfDraws) {
    // Side 1: a turbo and a two-shot missile launcher; side 2, bound, a
    // shield, an interceptor and a sword.
    put(ak[0].Turbo.Name, "ターボ");
    ak[0].Turbo.AmplifyPct = 10;
    ak[0].Weapon[0] = Weapon("Ｍ", 5, 8, 2);
    ak[0].Weapon[0].ShotsPerAttack = 2;
    ak[0].ExtraValues[0] = 3;
    ak[1].Weapon[0] = Weapon("白切", 5, 8, 2);
    ak[1].Weapon[1] = Weapon("盾", 0, 0, 0);
    ak[1].Weapon[1].HitTaken = 50;
    ak[1].Weapon[1].ArmorValue = 20;
    ak[1].Weapon[2] = Weapon("迎", 0, 0, 0, 5);
    ak[1].ExtraValues[0] = 1;
    gs.MessagePercent = 50;
    const char* expected[2] = {
        // Narration off: side 2 attacks first and hits the frame; side 1's
        // missiles meet the interceptor and the shield.
        "turbo-length initiative action-plan action-plan escape-binding attack-order "
        "hit location location location damage armour body-hit-order "
        "multi-shot hit interception location armour shield-order shield-order",
        // Narration on: the gates and call names move the dice, so side 1
        // attacks first.
        "turbo-length initiative "
        "action-plan move-order gate:M13A gate:M67A gate:M77A call-name gate:M27A gate:M82A gate:M30A "
        "action-plan move-order gate:M12A gate:M68A gate:M76A gate:M17A gate:M82A call-name call-name "
        "gate:M30A "
        "escape-binding attack-order "
        "call-name announce-computer announce-pilot gate:M03A multi-shot hit interception location armour "
        "shield-order shield-order gate:M74A gate:M05A gate:M64A gate:M07A "
        "call-name announce-computer announce-pilot gate:M03A hit location location location damage armour "
        "body-hit-order gate:M36A gate:M46A gate:M34A",
    };
    for (bool on : {false, true}) {
        narration(on);
        setUpMatch();
        st[1].BindDistance = 1;
        gs.DistanceBand = 2;
        cv::SetDiceSeed(20240601);
        cv::DiceJournal journal;
        cv::ProcessMatch(buf);
        EXPECT_EQ(joined(journal.Tags()), expected[on]) << "narration " << on;
    }
}

// Seeded matches between the sample AKs, every match type, narration off
// and on: a digest of every roll, the durabilities and armour after every
// round and the end. A change here is a change of the rules or of the order
// of draws.
TEST(GoldenMatches, SampleAKs) {
    const std::pair<int, int> pairs[] = {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {2, 7}, {6, 1}};
    // By match type: narration off, narration on. No message set is loaded,
    // so a pilot's catalog line of its weapon is never found and the
    // general attack line's gate is drawn in its place.
    const uint64_t expected[6][2] = {
        {0x79fc77ff64899eb3ull, 0xcfa2865e79d861f5ull}, {0x7233def8cb92a180ull, 0x22eda00949f06cbfull},
        {0x85f2417b214b6a93ull, 0xacf8603c7c536648ull}, {0x5cc33ddc535a29d5ull, 0x6f6d6e79285d7fa3ull},
        {0xc6eb54190efb336eull, 0xe693b8a25c33926full}, {0x3827ffba1446147bull, 0xf719de1ed7ad7f5aull},
    };
    auto buffer = std::make_unique<cv::GameMessageBuffer>();
    std::string table;
    for (int type = 0; type < 6; ++type) {
        for (int on = 0; on < 2; ++on) {
            uint64_t digest = 0;
            std::string rows;
            for (auto [i, j] : pairs) {
                GameSettings gs{};
                gs.MatchType = static_cast<uint8_t>(type);
                gs.MatchMinutes = 20;
                gs.MessagePercent = 70;
                gs.Options[OptMessagesOff] = on ? 0 : 1;
                gs.Options[OptParry] = 1;
                gs.Options[OptProgramCommands] = 1;
                gs.Options[OptBerserk] = 1;
                MatchRecord r =
                    PlaySeeded(gs, SampleFile(i), SampleFile(j), 1000 * i + j + 7 * type, *buffer);
                EXPECT_NE(r.Code, 0);
                digest = digest * 31 + r.Digest;
                rows += "  " + std::to_string(i) + "-" + std::to_string(j) + ": " + r.summary() + "\n";
            }
            char hex[24];
            std::snprintf(hex, sizeof hex, "0x%016llxull", static_cast<unsigned long long>(digest));
            table +=
                "type " + std::to_string(type) + " narration " + std::to_string(on) + " " + hex + "\n" + rows;
            EXPECT_EQ(digest, expected[type][on]) << "type " << type << " narration " << on;
        }
    }
    cv::Module().Settings = nullptr;
    if (::testing::Test::HasFailure()) std::printf("%s", table.c_str());
}

// The same seed, settings and AKs give the same match.
TEST(GoldenMatches, Reproducible) {
    auto buffer = std::make_unique<cv::GameMessageBuffer>();
    for (int type = 0; type < 6; ++type) {
        GameSettings gs{};
        gs.MatchType = static_cast<uint8_t>(type);
        gs.MatchMinutes = 20;
        gs.MessagePercent = 50;
        MatchRecord first = PlaySeeded(gs, SampleFile(4), SampleFile(5), 31337, *buffer);
        gs = GameSettings{};
        gs.MatchType = static_cast<uint8_t>(type);
        gs.MatchMinutes = 20;
        gs.MessagePercent = 50;
        MatchRecord second = PlaySeeded(gs, SampleFile(4), SampleFile(5), 31337, *buffer);
        EXPECT_EQ(first.summary(), second.summary()) << type;
        EXPECT_NE(first.Code, 0);
    }
    cv::Module().Settings = nullptr;
}
