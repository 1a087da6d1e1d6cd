// The steps of a match as the plug-ins call them: SetAkData, StartMatch,
// ProcessMatch, EndMatch1 and EndMatch2, and the two AK views. Each step
// wraps the engine's rules with what surrounds them: the message sets of
// the match, the log files (opened for the step and closed before it
// returns, except the digest between EndMatch1 and EndMatch2), the opening
// and closing narration, the booking of the result, the post-match prompts
// and the output AK data files.
//
// A step called before its match is set up (no settings, AKs or states
// kept) does nothing: a caller that breaks the calling order gets no crash.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "core/combatant.h"
#include "core/queue.h"

#include <cstdint>
#include <string_view>

namespace cv::api {

// Both AKs and states are kept: the match can be played.
bool MatchReady();

// The engine's set-up of both sides, then a fresh table of message sets
// chosen for this match and the placeholder tables.
void SetAkData(TArmoredKnight& ak1, TArmoredKnight& ak2, CombatantState& s1, CombatantState& s2);

// The logs created under temporary names (or appended to with option 19),
// the counters reset, the opening narration queued and written, the first
// round and distance set. No file of the new match has failed yet
// (outputfault.h); a match before it left unfinished keeps its files.
void StartMatch(std::string_view logBase, std::string_view title);

// One round; 0 go on, 1 decided, 2 both immobile (Result not set), 3 judged
// at the round limit. Not set up: 2.
uint8_t ProcessMatch(std::string_view logBase);

// The result booked, the AKs after the match shown, repaired and re-armed,
// the loser's end state, the digest opened, the output AK files written.
void EndMatch1(std::string_view logBase, std::string_view akOutDir);

// The end-of-match output and signature, the digest and logs closed and
// given their names (matchfiles.h), the message sets released.
void EndMatch2(std::string_view logBase);

// The profile, specification and armament of side 0 or 1 of the current
// match, queued in the caller's buffer (emptied first).
void AkViewer(int side, GameMessageBuffer& buffer);

// One entrant's sheet of the entry list, appended to `outFile` with its
// extension replaced by ".txt". Formats with the settings last given to
// SetEnvironment (with `settings` when none was given). `ak` changes as a
// match set-up changes it (program commands taken, armour restored).
void AkViewer2(GameSettings& settings, std::string_view outFile, TArmoredKnight& ak,
               GameMessageBuffer& buffer, int32_t entryNo);

} // namespace cv::api
