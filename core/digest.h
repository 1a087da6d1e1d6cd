// The match digest: the short result record of a match (the result lines,
// how it ended, the record table and the money lines) that the text
// processor reads back. GameSettings.DigestMode decides where it goes:
//   0 (and any unknown value) the end of the match's own log only;
//   1 a separate <base>.mom, made anew for every match;
//   2 one "digest.mom" in the log's folder, a block appended per match;
//   3 both the end of the log and <base>.mom.
// EndMatch1 opens the digest file and starts the digest with its head;
// EndMatch2 adds the end-of-match output and appends the whole digest to
// the file in one piece. A <base>.mom is written under a temporary name
// and takes its name with the match's logs, when the match is kept
// (matchfiles.h). A match that stops between the two steps leaves the file
// as it was; an append that fails is cut back to the length the file had
// before it (a file made anew for the match is removed) and
// reported with message 41020 as the match's failed file (outputfault.h),
// which takes back the match's other files too. A digest file that cannot
// be opened is reported the same way. A match that failed to write another
// of its files before the digest makes no digest file; one whose log fails
// after the digest was appended (EndMatch2 writes its logs after the
// digest) has the record taken back out of the file: the committed append
// is one of the match's files (matchfiles.h).
#pragma once

#include "core/queue.h"

#include <string>
#include <string_view>

namespace cv {

// System template lines 8, then 10 in a bounty match or 9, then 11.
std::string DigestHeadText();

// Opens the digest channel as the mode asks and writes the head part; sets
// GameSettings.DigestInLog and DigestFileOpen. The file names come from the
// text log channel's name (SetTextLogName). A digest still open from an
// unfinished match is dropped first.
void WriteDigest(std::string_view head);

// Every queued line through the text writer into the digest channel.
void FlushDigest(const GameMessageBuffer& buffer);
// Appends the digest to its file and closes the channel; false (reported
// as the match's failed file) when the append failed and was cut back.
bool CloseDigest();

// EndMatch1's digest step: both bytes cleared, WriteDigest with the head
// text; when the digest stays in the log, the head line is queued (kind 0)
// after two more blank lines on the last line (when two or more lines are
// queued), with one blank line after it.
void DigestAtEndMatch1(GameMessageBuffer& buffer);

// EndMatch2's output before the logs are flushed: the queue emptied, the
// end-of-match output queued, written to the digest file and the file
// closed (when one is open), the queue emptied again when the digest does
// not stay in the log, and the signature queued.
void EndOfMatchOutput(GameMessageBuffer& buffer);

} // namespace cv
