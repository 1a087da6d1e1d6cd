// The standings order of the league and the one-vs-many tables, and the
// text of the progress hand-off (SyncProgress) after each match.
#pragma once

#include "base/confrecords.h"
#include "common/vellcmn.h"
#include "modes/frame/entrants.h"

#include <string>
#include <vector>

namespace modes {

// <0 when `a` ranks before `b`, >0 after, 0 equal: more wins first; then
// fewer losses; more opponents' AKs destroyed; more opponents' pilots
// killed; fewer own AKs destroyed; fewer own pilots killed.
int CompareStandings(const EntryRecord& a, const EntryRecord& b);

// Stage := the win rate over the matches the entrant played (Battles,
// counted by the run): Wins·100/Battles, 0 without a match. The league and
// the one-vs-many simulation rank and band by it.
void computeWinRates(EntrantList& entrants);

// The entrants with a row in standings order (CompareStandings; equal
// rows keep their order); those marked absent follow all others, in list
// order.
std::vector<const Entrant*> standings(const EntrantList& entrants);

// A row of the league and the one-vs-many result tables: the place (from
// 1; "－" for an entrant marked absent), owner and pilot names cut to 16
// bytes, the machine value, wins, losses, draws, the win rate (Stage), the
// opponents' AKs destroyed and pilots killed, its own AKs destroyed and
// pilots killed.
std::string standingRow(const GameSettings& settings, const Entrant& entrant, int place);

// Status panel 1 after a match: "done/total".
std::string progressText(int done, int total);

} // namespace modes
