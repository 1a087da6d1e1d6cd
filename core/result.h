// The outcome of a finished match booked on both AK records in place (money,
// record counts, mechanic level), and how a side ended: killed, escaped,
// transferred, self-destroyed or exploded, or judged. The plug-ins read the
// booked records and the loser's end state after EndMatch1.
#pragma once

#include "base/akrecord.h"
#include "core/combatant.h"

namespace cv {

// Books GameSettings.Result on both AKs of the match: battles, wins, draws,
// kills and destroyed counts (not in simulation mode), the prize money and
// the bounty, the mechanic level won from a costlier opponent. Then the
// placeholder tables are refilled and the experience modifiers recomputed.
// Money saturates at the 32-bit limits instead of changing sign.
void UpdateAkRecords();

// EndStateFlags from the state's flags: 1 killed, else 2 escaped and 4
// transferred after a failed escape; + 8 self-destroyed, + 16 exploded.
void ComputeEndState(CombatantState& s);

// EndStateText: "判定" for a judged side (-1); else the explosion
// ("誘爆", else "自爆") followed by the pilot's fate ("死亡", else "脱出",
// else "転送").
void FormatEndStateText(CombatantState& s);

// Both of the above for the side that lost (side 2 when Result is 0, side 1
// when it is 1); nothing for a draw.
void SettleLoserEndState();

// The AK's attack, defence and escape modifiers, which carry the pilot's
// experience, from the record as it stands (its Reaction included).
void RefreshExperienceModifiers(TArmoredKnight& ak);

} // namespace cv
