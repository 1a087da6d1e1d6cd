#include "core/gauges.h"
#include "core/module.h"
#include "core/round.h"
#include "fighttest.h"

using namespace fighttest;

namespace {

class RoundTest : public FightTest {
protected:
    // The movers' distances after an initiative total of `total` (m = 0).
    std::pair<int32_t, int32_t> moves(int total) {
        Rolls r{total, 40, 40};
        cv::RollInitiative(buf, 0);
        int32_t first = st[0].MoveDistance, second = st[1].MoveDistance;
        return {first, second};
    }
};

} // namespace

TEST_F(RoundTest, InitiativeModifierIsOneDoubleExpression) {
    setUpMatch();
    ak[0].Reaction = 100;
    ak[0].Computer.Level = 3;
    st[0].MovementDown = 0.5;
    st[0].ComputerDown = 2.0;
    gs.InitiativeMod1 = 3;
    ak[1].Reaction = 90;
    ak[1].Computer.Level = 1;
    st[1].ComputerDown = 0.0;               // counts as 1
    EXPECT_EQ(cv::InitiativeModifier(), 9); // (100 - 5 + 4.5 + 3) - (90 + 3) = 9.5
    st[1].MovementDown = 1e300;             // a gauge from a file: saturates
    EXPECT_EQ(cv::InitiativeModifier(), INT32_MAX);
}

TEST_F(RoundTest, InitiativeAndMovement) {
    setUpMatch();                               // movement 6 each
    EXPECT_EQ(moves(50), std::make_pair(6, 5)); // 50: side 2 holds it, side 1 moves first
    EXPECT_EQ(+gs.Side2HasInitiative, 1);
    EXPECT_EQ(moves(51), std::make_pair(5, 6));
    EXPECT_EQ(+gs.Side2HasInitiative, 0);
    st[0].MovementDown = 5.0; // a second mover with one point keeps it
    EXPECT_EQ(moves(51), std::make_pair(1, 6));

    // A defensive move without movement gets no bonus: immobile, the
    // distance holds.
    ak[0].DefensiveMovePct = 100;
    st[0].MovementDown = 0;
    st[0].Movement = 0;
    gs.DistanceBand = 4;
    ak[1].ExtraValues[0] = 4;
    ak[1].Weapon[0] = Weapon("射", 5, 5, 1);
    st[1].WeaponPresent[0] = 1;
    moves(50);
    EXPECT_EQ(+st[0].ActionMode, -1);
    EXPECT_EQ(+st[0].Immobile, 1);
    EXPECT_EQ(+gs.DistanceBand, 4);

    // A sought distance from the record is held to 1..9.
    ak[1].ExtraValues[0] = 12;
    moves(50);
    EXPECT_EQ(+gs.DistanceBand, 9);
    ak[1].ExtraValues[0] = 0;
    moves(50);
    EXPECT_EQ(+gs.DistanceBand, 4);
}

TEST_F(RoundTest, EscapeFromBinding) {
    ak[0].Weapon[2] = Weapon("白剣", 5, 5, 1);
    setUpMatch();
    st[0].BindDistance = 3;
    st[0].MoveDistance = 2;
    gs.DistanceBand = 5;
    {
        Rolls r{31}; // 10 for the sword + 20 for the move: 30
        cv::EscapeBinding(buf);
    }
    EXPECT_EQ(+st[0].BindDistance, 3);
    EXPECT_EQ(+gs.DistanceBand, 3); // pulled in
    {
        Rolls r{30};
        cv::EscapeBinding(buf);
    }
    EXPECT_EQ(+st[0].BindDistance, 0);
}

TEST_F(RoundTest, MayAct) {
    setUpMatch();
    EXPECT_TRUE(cv::MayAct(buf, 0, 1));
    EXPECT_EQ(st[0].RoundFlags & cv::RoundActed, cv::RoundActed);
    st[0].ActionMode = -1;
    EXPECT_FALSE(cv::MayAct(buf, 0, 1));
    st[0].ActionMode = 0;
    st[0].EvasionDown = st[0].AttackDown = 201;
    st[0].MovementDown = 6;
    EXPECT_FALSE(cv::MayAct(buf, 0, 1));
    EXPECT_EQ(+st[0].OutOfAction, 1);
    EXPECT_EQ(st[0].RoundFlags & cv::RoundOutOfAction, cv::RoundOutOfAction);
}

TEST_F(RoundTest, MatchEndByType) {
    setUpMatch();
    struct Case {
        int type;
        int part0, part1; // the part of side 1 and side 2 set to 0 (-1 none)
        int attacker;
        uint8_t end;
        int32_t result;
    };
    const Case cases[] = {
        {0, PartLeftLeg, -1, 0, 1, 1}, {1, -1, PartHead, 0, 1, 0},    {2, PartHead, PartHead, 1, 1, 0},
        {3, PartHead, -1, 0, 0, 9},    {3, -1, PartBody, 1, 1, 0},    {4, PartBody, PartBody, 0, 1, 1},
        {5, -1, PartHead, 0, 1, 0},    {5, PartLeftArm, -1, 1, 0, 9},
    };
    for (const Case& c : cases) {
        ak[0] = PlainAk();
        ak[1] = PlainAk();
        if (c.part0 >= 0) ak[0].Frame.Durability[c.part0] = 0;
        if (c.part1 >= 0) ak[1].Frame.Durability[c.part1] = 0;
        gs.MatchType = static_cast<uint8_t>(c.type);
        gs.Result = 9;
        EXPECT_EQ(cv::CheckMatchEnd(buf, c.attacker, 1 - c.attacker), c.end) << c.type;
        EXPECT_EQ(+gs.Result, c.result) << c.type;
    }
    st[1].AkDestroyed = 1;
    st[1].PilotKilled = 1;
    EXPECT_EQ(cv::CheckMatchEnd(buf, 0, 1), 1);
    EXPECT_EQ(+gs.Result, 0);
    EXPECT_TRUE(sjis::readField(ak[1].Pilot.Name).empty());
}

TEST_F(RoundTest, BothImmobile) {
    setUpMatch();
    gs.MatchType = 2;
    gs.DistanceBand = 5;
    st[0].Movement = st[1].Movement = 0;
    st[0].MovementDown = 2;
    EXPECT_EQ(cv::CheckMatchEnd(buf, 0, 1), 0); // only after side 2's attack
    gs.Result = 9;
    EXPECT_EQ(cv::CheckMatchEnd(buf, 1, 0), 2);
    EXPECT_EQ(+gs.Result, 9);
    option(OptImmobileDraw);
    EXPECT_EQ(cv::CheckMatchEnd(buf, 1, 0), 1);
    EXPECT_EQ(+gs.Result, 2);
    EXPECT_EQ(+gs.ImmobileDraw, 1);
}

TEST_F(RoundTest, JudgementAtTheLimit) {
    setUpMatch();
    st[1].DurabilityTotal -= 5;
    gs.RoundMark = 5; // the limit counts from round 4
    gs.RoundCounter = 23;
    EXPECT_EQ(cv::JudgeRound(buf, 0, 1), 0);
    gs.RoundCounter = 24;
    EXPECT_EQ(cv::JudgeRound(buf, 0, 1), 3);
    EXPECT_EQ(+gs.Result, 0); // side 2 took more
    EXPECT_EQ(+gs.TimeUpDecision, 1);
    st[0].DurabilityTotal -= 5;
    EXPECT_EQ(cv::JudgeRound(buf, 0, 1), 3);
    EXPECT_EQ(+gs.Result, 2);
    gs.MatchType = 1;
    EXPECT_EQ(cv::JudgeRound(buf, 0, 1), 3);
    EXPECT_EQ(+gs.Result, 2);

    // No limit for battle, death and head-death matches, but 1000 rounds.
    gs.MatchType = 3;
    gs.Result = 9;
    gs.RoundCounter = 1003;
    EXPECT_EQ(cv::JudgeRound(buf, 0, 1), 0);
    gs.RoundCounter = 1004;
    EXPECT_EQ(cv::JudgeRound(buf, 0, 1), 3);
    EXPECT_EQ(+gs.Result, 2);
    EXPECT_EQ(+gs.ImmobileDraw, 1);
}

TEST_F(RoundTest, ReflectionsStopAfterAHundred) {
    // Two reflecting beam shields that bind and so always hit (melee, with
    // 50 or more left: they never malfunction): the beam would go back and
    // forth for ever.
    option(OptInstantBeamReflection);
    for (TArmoredKnight& a : ak) {
        a.Weapon[0] = Weapon("盾反Ｂ縛電白", 1, 1, 0, 60);
        a.Weapon[0].HitTaken = 100;
        a.Weapon[0].ArmorValue = 10;
    }
    setUpMatch();
    st[0].BindDistance = st[1].BindDistance = 1;
    cv::SetDiceSeed(7);
    cv::DiceJournal journal;
    EXPECT_EQ(cv::PlayHalf(buf, 0, 1), 0);
    std::vector<std::string> tags = journal.Tags();
    EXPECT_EQ(std::count(tags.begin(), tags.end(), "hit"), 101);
    EXPECT_EQ(tags.size(), 202u); // the hit and the shield roll of each attack
}

TEST_F(RoundTest, ReactionAmplifierAndField) {
    put(ak[0].Turbo.Name, "ターボ");
    ak[0].Turbo.AmplifyPct = 20;
    ak[0].Turbo.StartMinute = 3;
    ak[0].Team.Mctl = 50000; // 2 more minutes: 3 to 5
    put(ak[1].Turbo.Name, "対ビーム磁場");
    ak[1].Turbo.AmplifyPct = 10;
    ak[1].Turbo.StartMinute = 0;
    setUpMatch();
    gs.RoundCounter = 2;
    cv::RoundStartDevice(buf, 0);
    EXPECT_EQ(+st[0].ReactionBoost, 0);
    gs.RoundCounter = 3;
    {
        Rolls r{4}; // 4 % 5 + 1 + 2 = 7, at most 5
        cv::RoundStartDevice(buf, 0);
    }
    EXPECT_EQ(+st[0].ReactionBoost, 20);
    EXPECT_EQ(+st[0].BoostMinutes, 5);
    cv::RoundStartDevice(buf, 1); // a field: (1000 × 3 + 100) / 200 minutes, no roll
    EXPECT_EQ(+st[1].ReactionBoost, -10);
    EXPECT_EQ(+st[1].BoostMinutesLeft, 15);
    EXPECT_EQ(+st[1].AntiBeamField, 1);

    st[0].BoostMinutesLeft = 0;
    st[1].BoostMinutesLeft = 0;
    gs.RoundCounter = 10;
    cv::RoundStartDevice(buf, 0);
    cv::RoundStartDevice(buf, 1);
    EXPECT_EQ(+st[0].ReactionBoost, -10); // spent: half of it the other way
    EXPECT_EQ(+st[0].BoostMinutesLeft, -1);
    EXPECT_EQ(+st[1].ReactionBoost, 0);
    EXPECT_EQ(+st[1].AntiBeamField, 0);
}

TEST_F(RoundTest, RecoveryOfTheDownValues) {
    ak[0].Pilot.ExpAttack = 4;
    ak[0].Pilot.ExpDefence = -4; // counts as 0
    setUpMatch();
    st[0].AttackDown = 40.7;
    st[0].EvasionDown = 40;
    st[0].MovementDown = -2.5;
    st[0].SensorDown = 1.5;
    st[0].ComputerDown = 3;
    cv::RecoverDownValues(buf, 0);
    EXPECT_EQ(+st[0].AttackDown, 11.0); // 40 - 25 - 2 × 2
    EXPECT_EQ(+st[0].EvasionDown, 15.0); // 40 - 25 - 2 × √0: a negative experience never helps
    EXPECT_EQ(+st[0].MovementDown, 0.0);
    EXPECT_EQ(+st[0].SensorDown, 0.5);
    EXPECT_EQ(+st[0].ComputerDown, 2.0);
}
