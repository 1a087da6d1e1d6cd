// The round sequence: one round of the current match (one minute of match
// time) with the round-start steps of both sides, the initiative and
// movement phase, the escape from binding, the attack order and the two
// half-rounds, the end-of-half check by match type and the judgement at the
// round limit.
//
// A match ends: when a half decides it, when both sides are found immobile
// and out of reach, at the round limit of the timed match types, and in any
// case after 1000 rounds played (a draw), so that two AKs that never hurt
// each other cannot keep a match going for ever.
#pragma once

#include "core/queue.h"

#include <cstdint>

namespace cv {

// Results of ProcessMatch, CheckMatchEnd and JudgeRound.
enum RoundResult : uint8_t {
    RoundGoesOn = 0,
    RoundDecided = 1,
    RoundBothImmobile = 2, // option 16 off: the caller decides; Result is not set
    RoundLimit = 3,        // judged at the round limit
};

// Rounds played after which a match is drawn whatever its type.
inline constexpr int32_t MaxRoundsPlayed = 1000;

// One round of the match kept by the module: the round's lines are queued
// in `buffer` (emptied first). The log channels are the caller's.
uint8_t ProcessMatch(GameMessageBuffer& buffer);

// The initiative modifier m of side 1 over side 2, truncated once.
int32_t InitiativeModifier();

// The initiative roll and both sides' movement.
void RollInitiative(GameMessageBuffer& buffer, int32_t modifier);

// The escape attempts of bound AKs and the pull of the distance.
void EscapeBinding(GameMessageBuffer& buffer);

// Whether attacker a makes its attack in this half.
bool MayAct(GameMessageBuffer& buffer, int a, int d);

// One half-round with attacker a; returns the side that made its last
// attack (the reflecting side after a reflection).
int PlayHalf(GameMessageBuffer& buffer, int a, int d);

// The end-of-half check after the last attack a made against d.
uint8_t CheckMatchEnd(GameMessageBuffer& buffer, int a, int d);

// The judgement at the round limit, or the round line.
uint8_t JudgeRound(GameMessageBuffer& buffer, int a, int d);

// The line between the two half-rounds.
void WriteRoundMiddleLine(GameMessageBuffer& buffer);

} // namespace cv
