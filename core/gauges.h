// A side's gauges around its attacks: the reaction amplifier (turbo) or the
// anti-beam field that starts and ends at round start, the down values a
// hit adds with a share, their recovery after the side's own attack, and the
// status line after a hit (the derived values recomputed, with the
// computer's power report when the engine lost power).
#pragma once

#include "base/akrecord.h"
#include "core/combatant.h"
#include "core/queue.h"

namespace cv {

// The device in the AK's Turbo slot, at the start of a round: it starts
// (turbo length: one d100; a field's line choice: one d100 with narration
// on) or runs out.
void RoundStartDevice(GameMessageBuffer& buffer, int side);

// The recovery of the five down values after the side's attack, with the
// computer's and pilot's lines when they are all back and the lines of an
// AK that can move again (their order: one d100 with narration on).
void RecoverDownValues(GameMessageBuffer& buffer, int side);

// The status line of a side after a hit: its derived values recomputed, and
// computer line 16 when the effective engine power fell. Draws no dice.
void StatusLine(GameMessageBuffer& buffer, int side);

// The down values of `attack` applied to the defender's gauges with share g.
void ApplyDownValues(CombatantState& defender, const TAkWeapon& attack, double share);

} // namespace cv
