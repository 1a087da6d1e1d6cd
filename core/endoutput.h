// The end-of-match output that EndMatch2 queues: the two result lines with
// their marks, one narration line that tells how the match ended, the
// record table (its frame and heading are kind 10, shown by no log file)
// and the money lines; then the organiser and stadium signature, which goes
// to the logs only. The same lines, without the signature, form the body of
// the match digest.
#pragma once

#include "core/queue.h"

#include <string>

namespace cv {

// How the match ended: "　" + the minutes in full width + "分。" and the
// case that applies (a stop, a time-up decision, a draw, or the winner's
// weapon, the finishing cause, the part and the loser's fate).
std::string MatchEndText();

// Appends the end-of-match output (kind 0, indent 0; kind 10 for the record
// table's frame and heading).
void WriteEndNarration(GameMessageBuffer& buffer);

// The last line gets two more blank lines (when two or more are queued);
// then, unless both are empty, five TABs, the organiser, "／" and the
// stadium.
void WriteSignature(GameMessageBuffer& buffer);

} // namespace cv
