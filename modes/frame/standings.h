// The standings order of the league and the one-vs-many tables, and the
// text of the progress hand-off (SyncProgress) after each match.
#pragma once

#include "common/vellcmn.h"

#include <string>
#include <vector>

namespace modes {

// <0 when `a` ranks before `b`, >0 after, 0 equal: more wins first; then
// fewer losses; more opponents' AKs destroyed; more opponents' pilots
// killed; fewer own AKs destroyed; fewer own pilots killed.
int CompareStandings(const EntryRecord& a, const EntryRecord& b);

// Sorts rows by CompareStandings; rows that compare equal keep their order.
void sortStandings(std::vector<EntryRecord*>& rows);

// Status panel 1 after a match: "done/total".
std::string progressText(int done, int total);

} // namespace modes
