// Shared pieces of the fight's tests: a fixture whose module plays a match
// between two AKs the test builds (plain frames it arms as it needs), the
// sample AK data files, and a seeded match with a digest of everything it
// drew and did.
#pragma once

#include "core/combatant.h"
#include "core/dice.h"
#include "enginetest.h"

#include <cstdint>
#include <string>

namespace fighttest {

using namespace enginetest;

// A bought frame and engine, every durability `durability`, every armour
// value `armour`, no weapons and no computer; moving attack every round.
TArmoredKnight PlainAk(int32_t durability = 50, int32_t armour = 10);

// A weapon slot with the same hit rate and power at every distance.
TAkWeapon Weapon(const char* attributes, int32_t hitRate, int32_t power, int32_t destructive,
                 int32_t ammo = 10);

// Sample AK n (1..8) of data/AkData.
TArmoredKnight SampleFile(int n);

// The module plays between ak[0] and ak[1] with the fixture's settings:
// narration off, MessagePercent 100, distance 1, inning match of 20 rounds.
class FightTest : public EngineTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // SetAkData on the two AKs and states.
    void setUpMatch();
    void narration(bool on) { option(OptMessagesOff, !on); }
    // The queued lines as UTF-8, one per line.
    std::string lines() const;

    TArmoredKnight ak[2];
    cv::CombatantState st[2]{};
};

// A whole seeded match: its end, and a digest (FNV-1a) of every roll with
// its tag, both AKs' durabilities and armour after every round, and the end
// state of both sides.
struct MatchRecord {
    uint8_t Code = 0;
    int32_t Rounds = 0;
    int32_t Result = 0;
    uint64_t Digest = 0;
    size_t Draws = 0;
    std::string summary() const;
};
MatchRecord PlaySeeded(GameSettings& gs, TArmoredKnight a, TArmoredKnight b, int32_t seed,
                       cv::GameMessageBuffer& buffer);

} // namespace fighttest
