// Attack resolution up to the number of hits: the attacker's weapon (a copy
// of a slot, or an unarmed strike) in CurrentAttack, forbidden weapons, the
// sensor rules, the hit roll against the defender's evasion with its
// malfunction zone, beam shielding, berserk, the sensor effects of a hit,
// interception and the number of hits of a multi-shot weapon; and the recoil
// a striking limb takes from armour harder than its own.
//
// a and d are the side indexes (0/1) of the attacker and the defender; b is
// the current distance band, held to 1..9, and its row index is b - 1.
#pragma once

#include "base/akrecord.h"
#include "core/combatant.h"
#include "core/queue.h"

#include <cstdint>

namespace cv {

// GameSettings.DistanceBand held to 1..9.
int32_t CurrentBand();

// Fills the attacker's CurrentAttack: the slot chosen by a program command
// (WeaponChosen set), else the first present slot with ammunition that hits
// at b; without one an unarmed strike at b = 1, else CannotAttack. Returns
// the strike code 1..4 of an unarmed strike (1 left punch, 2 right punch,
// 3 left kick, 4 right kick: the part index of the striking limb), else 0.
int32_t ChooseWeapon(TArmoredKnight& ak, CombatantState& s);

// The reflecting shield slot as the weapon of a reflected attack: hit rates
// as stored (not scaled by 10).
void ChooseReflectedWeapon(TArmoredKnight& ak, CombatantState& s, int slot);

// The strike code an unarmed strike carries in its Mount; 0 for a weapon.
int32_t StrikeCode(const TAkWeapon& attack);
// Attributes exactly "手叩".
bool IsUnarmedStrike(const TAkWeapon& attack);

// The "ゾ" call of a weapon, narrated by "ゾロメカ".
void AnnounceWeaponCall(GameMessageBuffer& buffer, const TAkWeapon& attack, int speaker);

// An "Ｆ" weapon against a "禁" slot of either side is taken off the
// attacker's AK; true ends the half.
bool CheckForbiddenWeapon(GameMessageBuffer& buffer, int a, int d);

// The sensor types' modifiers of the attack (x) and of the evasion (y).
void ApplySensorRules(GameMessageBuffer& buffer, int a, int d, int32_t& x, int32_t& y);

// The mission disk's attack modifier; true when a berserk program is
// active (its disk, option 27 and a damaged part below 11).
bool BerserkModifier(const TArmoredKnight& ak, int32_t& modifier);

// The failure shift of the mechanic level: from its decimal digit count,
// 1000..9999 give 1, 10000 and more 2; -100..-999 give -1, -1000..-9999 -2,
// -10000 and less -3; else 0.
int FailureShift(int32_t mctl);

// The hit roll. True on a hit; a miss is narrated here.
bool RollHit(GameMessageBuffer& buffer, int a, int d, int32_t x, int32_t y);

// The effects of a fire, smoke or light hit on the defender's sensor.
void ApplyHitSensorEffects(GameMessageBuffer& buffer, int a, int d);

// The number of hits (0: none, narrated as a miss); sets
// GameSettings.AttackPower.
int32_t CountHits(GameMessageBuffer& buffer, int a, int d);

// A "手" attack against armour v: one d100 for the recoil, which the
// striking limb of an unarmed strike takes (never below 1).
void StrikeRecoil(GameMessageBuffer& buffer, int a, int32_t v);

} // namespace cv
