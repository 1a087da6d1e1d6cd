// The post-match settling of an AK before its output file is written: a
// destroyed AK is scrapped; any AK may be repaired and resupplied at its
// owner's cost, with the organiser's compensation and a guaranteed minimum
// worth; weapons lost in the match may be bought again from the slots kept
// when the match was set up. The conf decides whether this happens without
// asking (option 33, by the resupply flags of winner and loser) or whether
// the game master is asked in a message box.
#pragma once

#include "base/akrecord.h"
#include "core/combatant.h"

namespace cv {

// Answers of the prompts.
inline constexpr int AnswerYes = 6;
inline constexpr int AnswerNo = 7;

// Repair, cost and compensation of one side; RepairCost and
// RepairShortfall are left in the state.
void AskRepair(TArmoredKnight& ak, CombatantState& s);
int RepairPrompt(const TArmoredKnight& ak, const CombatantState& s);

// Every part record emptied, every weapon removed, the AK's name, value,
// weight, reaction, movement and action plan 0. Pilot, owner, team and
// money stay.
void ScrapAk(TArmoredKnight& ak);

// The re-buy of the weapons the AK lost in the match; a weapon dearer than
// the AK's TotalCr is skipped unless option 35 allows debt.
void AskRebuyWeapons(TArmoredKnight& ak, CombatantState& s);
int RebuyPrompt(const TArmoredKnight& ak, const CombatantState& s);
void RebuyWeapon(TArmoredKnight& ak, int k, const TAkWeapon& w, const TAkComment& c);

// The repair of side 1 then side 2, and the re-buy of side 1 then side 2,
// of the match kept by the module.
void AskRepairs();
void AskRebuys();

} // namespace cv
