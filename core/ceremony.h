// The narration around the fight: the announcer's entrance line of each
// side at the start of a match (with the crowd's cheers for a pilot with a
// record of kills), and the after-match lines of the winner and the loser
// that follow the end narration. Each draws only with narration on: the
// entrance one d100 per side, the loser's lines one d100 when its pilot was
// killed.
#pragma once

#include "core/queue.h"

namespace cv {

// The entrance of side 0 or 1: announcer line 17 with the AK's name, then
// either the announcer's "M75A" or, for an AK whose pilot has destroyed and
// killed enough (four times the sum against max(d100, 10)), announcer line
// 20 and one crowd line "M01B" of the base set per halving of that score.
void EmitOpening(GameMessageBuffer& buffer, int side);

// The winner's words, then the announcer's and the loser's (or its
// owner's, when the pilot was killed). After a draw both sides speak the
// draw lines, `winner` first.
void EmitAfterMatchLines(GameMessageBuffer& buffer, int winner, int loser);

} // namespace cv
