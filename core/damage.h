// Damage: the weighted location rolls, the armour and damage rolls, the
// induced explosion, and the hit on the defender's frame with what follows
// it: destroyed parts, lost arm weapons and sensor, the pilot's escape and
// the self-destruct device. The numbers of the finishing blow are left in
// GameSettings for the end narration.
//
// The power of the attack is GameSettings.AttackPower; a and d are the side
// indexes of the attacker and the defender.
#pragma once

#include "base/akrecord.h"
#include "core/queue.h"

#include <cstdint>
#include <string_view>

namespace cv {

// GameSettings.FinishPart, set to 5 (body) first when it is no part index.
int FinishPart();

// Armour check of armour v against power P: the armour lost (one d100;
// nothing when P or destructive is 0). v and weight are lowered in place.
int32_t ArmorCheck(GameMessageBuffer& buffer, int32_t& v, int32_t power, int32_t destructive, int32_t& weight,
                   int32_t weightFactor);

// Damage roll of power P against armour v: the damage (one d100; nothing
// when P or destructive is 0), taken off durability (not below 0).
int32_t DamageRoll(GameMessageBuffer& buffer, int32_t v, int32_t& durability, int32_t power,
                   int32_t destructive);

// One d100 r; exploded when rate - defence >= r.
bool RollInducedExplosion(GameMessageBuffer& buffer, int32_t defence, int32_t rate);

// The weights of a body hit, body first: body, right leg, left leg, right
// arm, left arm, head; roll j hits part 6 - j.
void HitLocationWeights(int32_t (&w)[6], const TArmoredKnight& attacker);

// One d100 r against the running sums of w: the first j (1..6) with
// r <= sum and sum > 0, else 0. Drawn also when every weight is 0.
int RollLocation(GameMessageBuffer& buffer, const int32_t (&w)[6], std::string_view label);

// FinishPart := the part the body location roll hits (unchanged on 0).
void ChooseBodyPart(GameMessageBuffer& buffer, int a);

// The hit on part FinishPart of the defender's frame.
void BodyDamage(GameMessageBuffer& buffer, int a, int d);

// A head hit's effect on the sensor (paint, and one d100 for its loss):
// true when the sensor is lost or the head is gone.
bool HeadHitEffect(GameMessageBuffer& buffer, int d, std::string_view attributes, int32_t damage);

// Self-destruct damage on the six parts (head, right arm, left arm, right
// leg, left leg, body: one d100 each) with the given limit.
void SelfDestructDamage(GameMessageBuffer& buffer, TArmoredKnight& ak, int32_t limit);

} // namespace cv
