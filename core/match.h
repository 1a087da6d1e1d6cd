// A whole match through the engine's internal interface: the set-up of
// both sides from their AK records (the rules of SetAkData), the start of
// the match (the round counter and the starting distance of StartMatch) and
// the rounds until the match ends. The exported calls wrap these with the
// message sets and the log files; tests and the benchmark call them
// directly, after pointing the module at their GameSettings.
#pragma once

#include "base/akrecord.h"
#include "core/combatant.h"
#include "core/queue.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace cv {

// Keeps the four records (the caller keeps them alive and unmoved for the
// match) and builds both sides: InitCombatant, the drain data of an AK that
// carries match data (else every weapon's armour restored), the derived
// values, NameWidth, the placeholder tables and the weapon snapshots.
void SetAkData(TArmoredKnight& ak1, TArmoredKnight& ak2, CombatantState& s1, CombatantState& s2);

// The start of a match without its opening narration and logs: the queue
// emptied, the result a draw until the match decides it, the counters, the title, the first round and the starting
// distance (the preset with options 10 and 24 and without 16, else a band
// from the general random numbers). The two halves that StartMatch runs
// one after the other; the opening narration goes between them, while the
// round counter is still 0.
void StartMatch(GameMessageBuffer& buffer, std::string_view title);
void ResetMatchCounters(GameMessageBuffer& buffer);
void StartFirstRound(std::string_view title);

struct MatchEnd {
    uint8_t Code = 0;   // the last ProcessMatch result; 0 when maxRounds ran out
    int32_t Rounds = 0; // rounds played by this call
};

// ProcessMatch until it returns non-zero, at most maxRounds times;
// `afterRound` (if any) sees the buffer after every round.
MatchEnd PlayMatch(GameMessageBuffer& buffer, int32_t maxRounds = 100000,
                   const std::function<void(const GameMessageBuffer&)>& afterRound = {});

} // namespace cv
