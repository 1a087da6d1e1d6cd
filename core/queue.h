// The game message queue: every line a match step produces, narration and
// check-log trace alike, is appended to one GameMessageBuffer, which the log
// writers and the one-vs-one view then read from index 0 to Count. The
// buffer is a fixed record without pointers that the plug-ins read between
// calls, so its layout is pinned.
//
// Capacity: 150 lines of at most 399 bytes of text; texts are cut on a
// character boundary. While a step writes its queue to the logs, a full
// queue is written out and appending goes on (SetQueueSpill); otherwise
// lines past the 150th are dropped: an append to a full queue writes into
// a scratch line, so the queue is never overrun.
//
// Lines of one message are separated by a backslash, looked up character by
// character (the trail byte 0x5C of ソ or 表 is no separator).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace cv {

// The kind of a line: the index of its display colour and, for 1 to 5, the
// message-set slot its text came from.
enum MessageKind : uint32_t {
    KindSystem = 0,
    KindPilot1 = 1,
    KindPilot2 = 2,
    KindComputer1 = 3,
    KindComputer2 = 4,
    KindAnnouncer = 5,
    KindTrace = 6,        // check log only
    KindRecordFrame = 10, // frame of the end-of-match record table; no log file
    KindPageBreak = 11,   // "---": ends a page of the one-vs-one view; no log file
};

inline constexpr size_t MessageLineCount = 150;
inline constexpr size_t MessageTextSize = 400;

#pragma pack(push, 1)

struct GameMessageLine {
    uint32_t Kind;
    uint32_t Indent; // columns of the speaker column; continuation lines indent by as much
    uint32_t BlankLinesAfter;
    char Text[MessageTextSize];
};

struct GameMessageBuffer {
    GameMessageLine Lines[MessageLineCount];
    uint32_t Count;       // lines queued since the buffer was last emptied
    uint32_t CurrentKind; // the kind Narrate and the labelled appends give their lines
};

#pragma pack(pop)

static_assert(std::is_trivially_copyable_v<GameMessageBuffer>);
static_assert(sizeof(GameMessageLine) == 412);
static_assert(sizeof(GameMessageBuffer) == 412 * 150 + 8);

// printf into a std::string, for the trace lines (Shift-JIS formats are
// safe: no trail byte is '%').
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Count := 0 (CurrentKind stays).
void EmptyQueue(GameMessageBuffer& buffer);

// Where a full `buffer` goes instead of dropping lines: `spill` gets every
// line but the last (the first `count` lines), the last becomes line 0 (a
// caller may still add blank lines to it) and appending goes on. A null
// buffer or spill ends it.
using QueueSpill = void (*)(const GameMessageBuffer& buffer, uint32_t count);
void SetQueueSpill(GameMessageBuffer* buffer, QueueSpill spill);

// Appends one line as given (text cut to 399 bytes) and returns it, or a
// scratch line when the queue is full.
GameMessageLine& QueueLine(GameMessageBuffer& buffer, uint32_t kind, uint32_t indent, std::string_view text);
// The "---" line of kind PageBreak, indent 0.
void QueuePageBreak(GameMessageBuffer& buffer);
// The last queued line, or null when the queue is empty.
GameMessageLine* LastLine(GameMessageBuffer& buffer);

// One spoken message. `text` is a template already filled by its slots;
// `speaker` the speaker label or empty; `kind` the side the line is about
// for the placeholders (the line's kind for pilot and computer lines, the
// side number + 1 for announcer and system lines). Nothing with option 37.
void Narrate(GameMessageBuffer& buffer, std::string_view text, std::string_view speaker, uint32_t kind);

// One check-log line (kind 6, indent 0), only with option 5. Returns the
// queued text, or a scratch text when nothing was queued: never null.
char* QueueTraceMessage(GameMessageBuffer& buffer, std::string_view text);

// `head` + `text` with a 12-column label column (AK profile block). Nothing
// with option 37.
void QueueLabelledText(GameMessageBuffer& buffer, std::string_view text, std::string_view head);

// `text` with `head` before its first line and the length of `head` in
// blanks before the others (AK profile block). Always queued.
void QueueHangingText(GameMessageBuffer& buffer, std::string_view text, std::string_view head);

// The full stop trim of Narrate and QueueLabelledText: when the last two
// characters are both double-byte and the first of them is "。" or "　", it
// is removed ("…。」" becomes "…」").
std::string TrimFullStop(std::string_view text);

} // namespace cv
