// The small rules the combat steps share on an AK record and its combatant
// state: the values derived at every round start, the melee rank, the tests
// of a destroyed part and of reach, taking weapons and the sensor off the
// AK, the settling of parts after self-destruct damage, the mission disk's
// level digit, the pilot's death and escape, and the count compression of
// the output AK files.
//
// Integer rules are 32-bit with division toward zero; products of values
// read from files are formed in 64 bits and saturated when stored. The AK
// data library's formula routines (namespace ak) are used as they are.
#pragma once

#include "base/akrecord.h"
#include "core/combatant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace cv {

// The AK's TotalWeight and Reaction and the state's DurabilityTotal,
// EffectivePower, Movement and CurrentMachineValue for the coming round:
// the rule of ak::UpdateAkParam with the engine power scaled by the
// durability left and the reaction boost in the movement. Without a usable
// divisor (no durability maximum, or an effective power of 0) the engine
// terms are skipped and Reaction and Movement keep their values from before
// them.
void RoundDerivedValues(TArmoredKnight& ak, CombatantState& s);

// reaction / 50 for a melee attack (白 with one of 切突剣叩打投, none of ＢＥＧ)
// with power 1 or more and reaction 50 or more; else 0.
int32_t MeleeRank(std::string_view attributes, int32_t reaction, int32_t power);

// One of the six current durabilities is exactly 0.
bool AnyPartAtZero(const TArmoredKnight& ak);

// Some present weapon with ammunition has a hit rate of 1 or more at band
// b; else, at band 1 only, an arm or a leg is left.
bool CanAttackAt(const TArmoredKnight& ak, const CombatantState& s, int32_t band);

// Takes weapon slot k off the AK: its weight, its mount's occupancy (both
// hands for a two-handed or unmounted slot), the slot (all zero, divisors 1)
// and its comment.
void RemoveWeapon(TArmoredKnight& ak, int k);

// The loss of an arm's weapons: a present weapon mounted on `side` ("右" or
// "左") is removed; a present two-handed ("両") weapon moves to the `other`
// hand on a d100 below 51 (occupancy of hand `hand` cleared, and its
// two-hand bonus, or when it had none its ammunition, lost), else it is
// removed. One d100 per two-handed slot, in slot order.
void LoseArmWeapons(TArmoredKnight& ak, CombatantState& s, std::string_view side, std::string_view other,
                    int hand);
enum class Arm { Right, Left };
// ("右", "左", 0) for the right arm, ("左", "右", 1) for the left.
void LoseArmWeapons(TArmoredKnight& ak, CombatantState& s, Arm arm);

// The sensor's name and type emptied, its weight, price, attack and defence 0.
void RemoveSensor(TArmoredKnight& ak);

// After self-destruct damage: the body keeps at least 1; a head below 1
// becomes 0 and loses the sensor; an arm below 1 loses its weapons and its
// punch row and becomes 0 (right arm first); legs below 1 become 0.
void SettleParts(TArmoredKnight& ak, CombatantState& s);

// The full-width digit 1..9 after the first "Ｌ" of the mission disk's name,
// else 0.
int MdLevelDigit(const TArmoredKnight& ak);

// The pilot's name and sex emptied, age, experience and record 0.
void ClearPilot(TArmoredKnight& ak);

// The pilot's escape from a destroyed AK. One d100 r; chance = escape device
// + bonus + the pilot's escape experience + 10 or 50 for an attacker's disk
// "良心回路" or "スーパー良心回路" + 20. Fails when r > 100 - fumble or
// r > chance. Escaped: killed := 0 and the pilot gains `gain` escape
// experience (not in simulation mode). Failed: a second d100 above
// GameSettings.EscapeRate kills the pilot, else the transfer saves it.
// `trace` gets the check-log line. Returns whether the pilot escaped.
bool PilotEscape(TArmoredKnight& ak, uint8_t& killed, int32_t bonus, int32_t fumble, int32_t gain,
                 std::string_view attackerDisk, std::string& trace);

// The two counts of an output AK file: a kept below 11, else a / 10 + 10;
// likewise b - a.
std::pair<int32_t, int32_t> CompressCount(int32_t a, int32_t b);

} // namespace cv
