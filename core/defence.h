// The defender's answers to a hit before it reaches the frame: a shield
// that blocks it (with the shield's elements, the armour it loses, its
// destruction and jettison, and beams it reflects), a weapon that parries
// it, and a weapon slot that is hit instead of the frame.
//
// The power of the attack is GameSettings.AttackPower; a and d are the side
// indexes of the attacker and the defender.
#pragma once

#include "core/queue.h"

#include <cstdint>

namespace cv {

// The shield location roll: 1..6 the slot n - 1 that blocks, 0 none.
int CheckShield(GameMessageBuffer& buffer, int a, int d);

// The hit on shield n with `hits` hits: the power beyond the shield's
// armour (0 or less: held).
int32_t ShieldDamage(GameMessageBuffer& buffer, int a, int d, int n, int32_t hits);

// Outcome of the shield hit with penetration `pen` (lowered to 0 by a
// jettison): 0 the rest hits the frame (FinishPart is the arm that holds the
// shield, the power is pen), 1 the attack ends, 2 the beam is reflected.
int ResolveShieldHit(GameMessageBuffer& buffer, int a, int d, int n, int32_t& pen);

// The parry roll (option 9), else the weapon-hit roll: 1..6 the slot k - 1
// that parries or is hit, 0 none.
int ParryOrWeaponHit(GameMessageBuffer& buffer, int a, int d);

// The hit on weapon slot k - 1; true when the attack ends, false when the
// weapon's explosion goes on to the frame.
bool WeaponHit(GameMessageBuffer& buffer, int a, int d, int k);

} // namespace cv
