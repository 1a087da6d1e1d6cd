// The announcer's end narration of a match: how long it lasted and how it
// was decided, who beat whom, each side's prize with the compensation for
// damage (and the head bounty), each side's repair bill and cash, and a
// last word on the winner. Every text is a fixed line of the announcer
// table with its slots filled; numbers are written in full-width digits.
// Each paragraph is one narration, split into lines at the backslashes of
// its template lines.
#pragma once

#include "core/queue.h"

#include <cstdint>
#include <string>

namespace cv {

// Winner and loser are sides 0 or 1 (after a draw, in the caller's order);
// `minutes` is the match time. Needs the match's AK records and states.
void EndNarration(GameMessageBuffer& buffer, int32_t minutes, int winner, int loser);

// The repair and resupply line of `side`: the repair cost, the machine
// value, the minimum compensation, the shortfall and the cash, as the case
// needs.
std::string MoneyLine(int side);

} // namespace cv
