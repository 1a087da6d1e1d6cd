// The AK sheets of the log: four blocks of fixed layout that show one AK.
// The profile block (owner, pilot, record, experience, machine, computer),
// the specification table (performance, modifiers, engine, frame, armour
// and durability per body part, punch and kick, devices), the armament list
// and the weapon data table. The match start shows all four per side; the
// status sheets every StatusInterval rounds and the sheets after the match
// show the first three, without the lines that only the match start has
// (owner id, age, history, mechanic and computer blocks). The one-vs-one AK
// view and the entry list use the same blocks.
//
// Every line is queued with indent 0 and kind 0, except the weapon data
// table's trace line of target distances (kind 6, check log only).
// Numbers are written in full-width digits, except in the weapon data
// table and the device notes.
#pragma once

#include "base/akrecord.h"
#include "core/combatant.h"
#include "core/queue.h"

#include <cstdint>
#include <string>

namespace cv {

// "（value）" in full width appended when `shown`.
void AppendBaseValue(std::string& text, int64_t value, bool shown);

void WriteAkProfile(GameMessageBuffer& buffer, const TArmoredKnight& ak, const CombatantState& s);
// Recomputes the derived values of the moment first, so `ak` and `s` change.
void WriteAkSpec(GameMessageBuffer& buffer, TArmoredKnight& ak, CombatantState& s);
void WriteArmamentList(GameMessageBuffer& buffer, const TArmoredKnight& ak);
void WriteWeaponTable(GameMessageBuffer& buffer, const TArmoredKnight& ak);

// The profile block, the specification table and the armament list: one
// side's status sheet, and the sheet after the match.
void WriteAkSheet(GameMessageBuffer& buffer, TArmoredKnight& ak, CombatantState& s);

} // namespace cv
