// What a match log says before the first round and around the rounds: the
// header line of the files, the banner with the versions and option
// letters, the player and start lines, the announcer's introductions with
// the pilots' titles, the match-start announcement, the periodic status
// sheets and the closing narration at EndMatch1. Everything but the header
// line is queued; the header line goes straight into the open text and
// check logs, so StartMatch opens the logs before it queues the opening.
#pragma once

#include "base/akrecord.h"
#include "core/queue.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace cv {

// "CV Ver.4.6 CVCORE Ver.<engine>/<mode>(<option letters>) Disp:... ExtEsc:
// ...% [Cr: ...%]".
std::string LogBanner();

// The header line (options 8 and 20) into the open text and check logs,
// then the banner, player, start, match and entry lines queued.
void WriteStartHeader(GameMessageBuffer& buffer, std::string_view title);

// A title for the pilot of `ak` ("不敗の魔術師、" ...); draws one d100 first.
std::string PilotTitle(const TArmoredKnight& ak);

// The announcer's introduction of the match and both pilots, with the
// pilots' greetings (an empty greeting becomes "……" in the AK record).
void WriteIntroductions(GameMessageBuffer& buffer);

// The announcement that the match begins.
void WriteMatchStart(GameMessageBuffer& buffer);

// The whole opening of StartMatch (nothing with option 37): header and
// introductions, per side its opening narration and all four AK sheets
// between page breaks, and the match-start announcement. Called with the
// logs open and the round counter still 0 (the sheets' match-start lines).
void QueueMatchOpening(GameMessageBuffer& buffer, std::string_view title);

// Whether round `round` ends with the status sheets: StatusInterval above
// 0 and the rounds played (counted from RoundMark) a multiple of it.
bool StatusSheetsDue(int32_t round);
// Both AKs' profile block, specification table and armament list.
void WriteStatusSheets(GameMessageBuffer& buffer);
// The status sheets after a round that went on (`roundResult` 0) when they
// are due; for a caller that queues them after ProcessMatch has counted
// the round.
void WriteStatusSheetsAfterRound(GameMessageBuffer& buffer, uint8_t roundResult);

// EndMatch1's closing narration: the announcer's end narration and both
// sides' after-match lines.
void WriteClosingNarration(GameMessageBuffer& buffer);

} // namespace cv
