// The match's output channels and the writers that put queued lines into
// them. A match leaves up to five files: the narrated text log <base>.txt,
// the check log <base>.chk (every trace line too), the coloured HTML log
// <base>.htm, an empty <base>.3ds, and the match digest. Every step of a
// match opens the channels the settings ask for (a channel the step before
// left open on the same file is used as it is), writes the step's queued
// lines and hands them to the file before it returns, so the files are
// complete between steps (under their temporary names until the match is
// kept, matchfiles.h). The logs stay open from step to step of one
// match and are closed at its end (EndMatch2, AbortMatch), when the next
// match starts and when a step names other files; the files' bytes are
// those of a close and an append-mode reopen at every step, without their
// system calls, as long as nobody else renames or replaces a log during its
// match (the later steps then write into the file that was opened). The
// digest is held from EndMatch1 to EndMatch2.
//
// Folding: a line with a speaker column (Indent > 0) is folded at
// GameSettings.OutputColumns bytes; a cut never splits a double-byte
// character and pulls up to two characters that may not begin a line
// ("。", "」" ...) onto the line before. Continuation lines are indented by
// the speaker column. Lines without a speaker column are written whole.
//
// Every line end is CR LF. Texts are written as bytes, never through a
// printf format, so a "%" in a name is harmless. The HTML writer escapes
// "&", "<" and ">" of the texts: names and comments come from the
// entrants' AK files and must not become markup.
#pragma once

#include "core/queue.h"
#include "platform/files.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cv {

// One output file. A log channel stays open between the steps of a match
// (see above); the digest's lines are held from EndMatch1 and appended to
// its file in one piece when the digest is complete, at EndMatch2.
struct OutputChannel {
    OutputChannel();
    ~OutputChannel();
    OutputChannel(const OutputChannel&) = delete;
    OutputChannel& operator=(const OutputChannel&) = delete;

    uint8_t Opened = 0;      // 1 while the file is open
    uint8_t NoColourYet = 0; // HTML: no colour tag written since the head
    // A log that could not be created or written: reported, its cut file
    // removed, and not opened again for this match.
    uint8_t Failed = 0;
    std::string FileName;    // Shift-JIS path, at most MaxLogPath bytes
    // The digest: the temporary file it is written to when it is made anew
    // for the match (it takes FileName when the match is kept); none when
    // it is appended to FileName itself.
    plat::TempFile Temp;
    std::FILE* Stream = nullptr;
    // What a step wrote, handed to the file in one write at the step's end
    // (EndLogStep) or when the channel is closed.
    std::string Pending;
    std::unique_ptr<plat::AppendFile> Append; // the digest's held append
};

inline constexpr size_t MaxLogPath = 259;
// The widest speaker column the folding honours.
inline constexpr uint32_t MaxSpeakerColumn = 43;
// Empty lines written after one line at most (BlankLinesAfter of a buffer
// that a caller filled may be anything).
inline constexpr uint32_t MaxBlankLinesAfter = 100;

// The module-wide log state: the five channels and the HTML colour state.
struct LogChannels {
    OutputChannel Text;  // <base>.txt
    OutputChannel Check; // <base>.chk
    OutputChannel Html;  // <base>.htm
    OutputChannel Scene; // <base>.3ds, opened and closed, never written
    OutputChannel Digest;
    uint32_t LastHtmlColour = 0; // 0xRRGGBB of the last colour tag
    // The colour tags written so far, by colour: a log has a few colours.
    std::vector<std::pair<uint32_t, std::string>> ColourTags;
    // The writers' line texts, kept from line to line (no allocation per
    // line): a folded line, its HTML form, the bytes of one queued line as
    // the text and check logs take them.
    std::string FoldScratch;
    std::string HtmlScratch;
    std::string PlainScratch;
    // The engine's version for the log banner; read from the library's
    // version sidecar the first time it is needed unless set before.
    bool VersionRead = false;
    std::string VersionText;
};

// ---- Channels ----------------------------------------------------------------

// FileName := base with its extension replaced by `extension` (".txt"): a
// dot in the file name part starts the extension; a dot in a folder name
// does not. False (name left empty) when the result is longer than
// MaxLogPath: a cut path would name some other file.
bool SetChannelName(OutputChannel& channel, std::string_view base, std::string_view extension);
// The same name whatever its length: how a log is named to the game master.
std::string ChannelFileName(std::string_view base, std::string_view extension);

// Opens FileName with "w" (create) or "a" (append) when the channel is not
// open; a file that cannot be opened leaves the channel closed.
void OpenChannel(OutputChannel& channel, bool create);
// Closes an open channel; a digest append not committed is dropped, with
// its temporary file.
void CloseChannel(OutputChannel& channel);

// Writes bytes (a write to a closed channel does nothing).
void ChannelWrite(OutputChannel& channel, std::string_view bytes);
// Hands what the channel holds to its file (a log channel's step); false
// when the file did not take all of it.
bool ChannelFlush(OutputChannel& channel);
// `text` and a line end.
void ChannelPutLine(OutputChannel& channel, std::string_view text);

// Closes the five channels, an uncommitted digest dropped: a new match, or
// the end of the system.
void CloseEveryChannel();
// A match that stops the event: the four log channels closed without
// writing what they hold and kept closed for the rest of the match, an
// uncommitted digest dropped.
void AbandonLogChannels();

// How an export opens the logs.
enum class LogOpen {
    Start,   // StartMatch: create (append with option 19), HTML head
    Step,    // ProcessMatch, EndMatch1, EndMatch2, AbortMatch: append
    Restore, // RestoreGameContext: append, HTML head
};

// Opens the channels the settings ask for, with option 20 (LogOutput):
// text always, check with option 5, HTML with 28, .3ds with 29. Start
// without option 20 clears options 28 and 29 of the settings. A channel
// still open on another file (a step that did not finish) is closed
// first; Start closes every channel, the digest of a match that never got
// its EndMatch2 included, so a new match never writes into old files.
// Each log the match opens is one of its files (matchfiles.h). Its first
// open in the match makes it under a temporary name that takes the log's
// name when the match is kept; a log there already is written in place
// when the match appends to it (option 19, and a first open by a later
// step), and rewritten (Start without option 19) only when the match is
// kept. Later opens in the match go on where the first one wrote. A log
// that cannot be opened is the match's failed file (outputfault.h); once a
// file of the match has failed no log is opened for the rest of the match:
// a later step must not make a file of the match's end alone.
void OpenLogs(std::string_view logBase, LogOpen how);
// The end of a step that goes on: what the step wrote to text, check, HTML
// and .3ds is handed to the files, which stay open for the next step. A
// log the disk did not take whole is the match's failed file: it is taken
// back with the match's other files (a cut log must not pass for the whole
// match) and stays closed for the rest of the match.
void EndLogStep();
// Closes text, check, HTML (after its foot when `htmlFooter`) and .3ds.
void CloseLogs(bool htmlFooter);
// The text channel's name from the log base, also when no log is written:
// the digest's file names come from it.
void SetTextLogName(std::string_view logBase);

// ---- Writers -----------------------------------------------------------------

// The output lines of one queued text (without line ends), for a speaker
// column of `indent` bytes and a width of `width` bytes. A speaker column
// of 0, wider than MaxSpeakerColumn or leaving less than 2 bytes of the
// width gives the text whole as one line.
std::vector<std::string> FoldLine(std::string_view text, uint32_t indent, int32_t width);

// The blank rule of the HTML log (two half-width blanks become one
// full-width blank) and the escaping of "&", "<" and ">".
std::string HtmlLineText(std::string_view line);

// One queued line to the text log or the digest (kinds 0-5), to the check
// log (kinds 0-6), to the HTML log (kinds 0-5, with its colour tag).
void WriteWrappedLine(OutputChannel& channel, const GameMessageLine& line);
void WriteCheckLine(OutputChannel& channel, const GameMessageLine& line);
void WriteHtmlLine(OutputChannel& channel, const GameMessageLine& line);

// The head of the HTML log in the display font size (rounded down to a
// multiple of 3), and its foot.
void WriteHtmlHeader(OutputChannel& channel, int32_t fontSize);
void WriteHtmlFooter(OutputChannel& channel);

// ---- Flushes -----------------------------------------------------------------

// The buffer to the text log, then (option 5) the check log, then (option
// 28) the HTML log. The buffer is not emptied.
void FlushGameMessages(const GameMessageBuffer& buffer);
// The same for EndMatch2, the text pass bound to option 20 as well.
void FlushEndMessages(const GameMessageBuffer& buffer);

// For the length of a step whose queue FlushGameMessages writes (with
// option 20): a full queue is written to the open channels the same way and
// the step goes on queuing, so a long step (the opening of two AKs with
// long profiles) loses no line. The files come out as one flush at the end
// would write them.
class SpillQueueToLogs {
public:
    explicit SpillQueueToLogs(GameMessageBuffer& buffer);
    ~SpillQueueToLogs() { end(); }
    void end();
    SpillQueueToLogs(const SpillQueueToLogs&) = delete;
    SpillQueueToLogs& operator=(const SpillQueueToLogs&) = delete;

private:
    bool on_ = false;
};
// Every line of the buffer through WriteWrappedLine to one channel.
void FlushToChannel(const GameMessageBuffer& buffer, OutputChannel& channel);
// AkViewer2's write: the buffer appended to `outFile` with its extension
// replaced by ".txt", under the text log's rules. False, the file reported
// as the failed file (outputfault.h), when it could not be opened or written.
bool AppendBufferToTextFile(const GameMessageBuffer& buffer, std::string_view outFile);

} // namespace cv
