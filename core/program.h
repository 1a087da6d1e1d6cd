// The program of an AK's on-board computer: a text of two-byte commands
// (letter, argument digit) in CombatantState::ProgramText that chooses the
// distance the AK seeks in the movement phase and the weapon of an attack.
// A used-up command is deleted from the text, so the program shrinks during
// a match.
//
// Movement commands (letter upper-cased, level = Computer.Level needed):
//   "@" any  level 1  a band 1..9 from the general random numbers
//   "G" n    level 1  ExtraValues of weapon slot n (outside 1..6: 1) while
//                     that slot is present with ammunition; else void and
//                     deleted
//   "L" n    level 1  band n (outside 1..9: 1); never used up
//   "N" n    level 2  band n (outside 1..9: 1) once no slot has ammunition
//   d n      level 2  band d, n times (outside 1..9: 1): the count digit is
//                     lowered in place and the last use deletes the command
// Bands from "G" and digit commands are held to 1..9.
// Weapon commands, level 3, not in a defensive move: "W1".."W6" a weapon
// slot that is present, has ammunition and hits at the current distance;
// "W8" left punch, "W7" right punch, "W0" left kick, "W9" right kick, at
// distance 1 with that limb intact (ChosenSlot = strike code 1..4 + 10).
#pragma once

#include "base/akrecord.h"
#include "core/combatant.h"
#include "core/queue.h"

#include <cstdint>

namespace cv {

// Walks the program from the front and returns the distance the first
// applicable movement command seeks (0: none applies). Commands of a higher
// level than the computer's, and other letters, are skipped and stay. When
// a distance is found the computer narrates line 70 of its template table
// with the command in full width, and the distance is traced.
int32_t ProgramMoveCommand(TArmoredKnight& ak, GameMessageBuffer& buffer, CombatantState& s);

// WeaponChosen := 0; then the first usable weapon command sets WeaponChosen
// and ChosenSlot, is narrated (computer line 70) and deleted, and the rest
// of the program is traced. Unusable weapon commands stay.
void ProgramWeaponCommand(TArmoredKnight& ak, GameMessageBuffer& buffer, CombatantState& s);

} // namespace cv
