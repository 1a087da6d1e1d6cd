// The game contexts: how the battle royal runs several fights on the one
// game processor. The plug-in owns each fight's GameContext (its settings,
// both AKs, both combatant states, the log base name and each side's
// weapon and comment snapshot) and makes a fight current again before each
// of its rounds; between rounds the game processor holds no fight.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "core/combatant.h"

#include <string_view>

namespace cv {

// Copies the current match's weapon and comment snapshots of side 1 and 2
// into the caller's buffers (six slots or six entries each; a null buffer
// is skipped).
void SaveGameContext(TAkWeapon* weapons1, TAkWeapon* weapons2, TAkComment* comments1, TAkComment* comments2);

// Makes a fight current: its records kept by pointer, its logs opened for
// the round that follows (options 28 and 29 cleared in its settings when it
// writes no log), its message sets chosen anew, its snapshots copied in.
void RestoreGameContext(GameSettings& settings, TArmoredKnight& ak1, TArmoredKnight& ak2, CombatantState& s1,
                        CombatantState& s2, const TAkWeapon* weapons1, const TAkWeapon* weapons2,
                        const TAkComment* comments1, const TAkComment* comments2, std::string_view logBase);

// Releases the message sets loaded for the current fight.
void DisposeGameMessage();

} // namespace cv
