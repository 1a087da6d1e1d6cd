// The four append operations of the game message queue and the line
// helpers the match steps use.
#include "core/queue.h"

#include "base/sjis.h"
#include "core/module.h"
#include "core/templates.h"
#include "sjis/queue_text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace cv {

namespace {

constexpr size_t LabelWidth = 12;
constexpr size_t LabelIndent = 14;

// Where appends to a full queue go: a line nobody reads.
GameMessageLine& scratchLine() {
    static GameMessageLine line;
    line = GameMessageLine{};
    return line;
}

struct SpillTarget {
    GameMessageBuffer* Buffer = nullptr;
    QueueSpill Spill = nullptr;
} spillTarget;

void spillWhenFull(GameMessageBuffer& buffer) {
    if (buffer.Count < MessageLineCount || spillTarget.Buffer != &buffer || !spillTarget.Spill) return;
    spillTarget.Spill(buffer, MessageLineCount - 1);
    buffer.Lines[0] = buffer.Lines[MessageLineCount - 1];
    buffer.Count = 1;
}

GameMessageLine& takeLine(GameMessageBuffer& buffer, uint32_t kind, uint32_t indent) {
    spillWhenFull(buffer);
    GameMessageLine& line = buffer.Count < MessageLineCount ? buffer.Lines[buffer.Count++] : scratchLine();
    line = GameMessageLine{};
    line.Kind = kind;
    line.Indent = indent;
    return line;
}

void setText(GameMessageLine& line, std::string_view text) {
    sjis::writeField(line.Text, text);
}

struct Segment {
    size_t Begin;
    size_t End;
};

// Calls `f` with each backslash-separated segment of a text, found by
// walking characters.
template <class F> void forEachSegment(std::string_view text, F&& f) {
    size_t begin = 0;
    for (size_t p = 0, len; (len = sjis::charLength(text, p)) != 0; p += len) {
        if (len == 1 && text[p] == '\\') {
            f(Segment{begin, p});
            begin = p + 1;
        }
    }
    f(Segment{begin, text.size()});
}

// "%-*s": the text, then blanks up to `width` bytes (never cut).
void appendPadded(std::string& out, std::string_view text, size_t width) {
    out += text;
    if (text.size() < width) out.append(width - text.size(), ' ');
}

std::string padded(std::string_view text, size_t width) {
    std::string s;
    appendPadded(s, text, width);
    return s;
}

// Where TrimFullStop removes its character, npos when it removes none.
size_t fullStopAt(std::string_view text) {
    size_t previous = sjis::npos, last = sjis::npos;
    for (size_t p = 0, len; (len = sjis::charLength(text, p)) != 0; p += len) {
        previous = last;
        last = p;
    }
    if (previous == sjis::npos || sjis::charLength(text, previous) != 2 || sjis::charLength(text, last) != 2)
        return sjis::npos;
    std::string_view mark = text.substr(previous, 2);
    return mark == qut::FullStop || mark == qut::IdeographicSpace ? previous : sjis::npos;
}

} // namespace

std::string FormatText(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    // One pass for the usual short text; a longer one is formatted again
    // into a buffer of its size.
    char small[512];
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string out;
    if (n > 0 && static_cast<size_t>(n) < sizeof small) {
        out.assign(small, static_cast<size_t>(n));
    } else if (n > 0) {
        out.assign(static_cast<size_t>(n), '\0');
        std::vsnprintf(out.data(), out.size() + 1, format, again);
    }
    va_end(again);
    return out;
}

void EmptyQueue(GameMessageBuffer& buffer) {
    buffer.Count = 0;
}

void SetQueueSpill(GameMessageBuffer* buffer, QueueSpill spill) {
    spillTarget = buffer && spill ? SpillTarget{buffer, spill} : SpillTarget{};
}

GameMessageLine& QueueLine(GameMessageBuffer& buffer, uint32_t kind, uint32_t indent, std::string_view text) {
    GameMessageLine& line = takeLine(buffer, kind, indent);
    setText(line, text);
    return line;
}

void QueuePageBreak(GameMessageBuffer& buffer) {
    QueueLine(buffer, KindPageBreak, 0, "---");
}

GameMessageLine* LastLine(GameMessageBuffer& buffer) {
    uint32_t n = std::min<uint32_t>(buffer.Count, MessageLineCount);
    return n == 0 ? nullptr : &buffer.Lines[n - 1];
}

std::string TrimFullStop(std::string_view text) {
    std::string out(text);
    if (size_t at = fullStopAt(text); at != sjis::npos) out.erase(at, 2);
    return out;
}

void Narrate(GameMessageBuffer& buffer, std::string_view text, std::string_view speaker, uint32_t kind) {
    if (Option(OptMessagesOff)) return;
    const GameSettings& gs = Settings();
    // The call's own width: a speaker prefix longer than NameWidth widens it
    // for this and the later lines of the call only.
    int32_t nameWidth = gs.NameWidth;
    size_t w = static_cast<size_t>(std::clamp<int32_t>(nameWidth, 0, MessageTextSize - 1));

    std::string work = fullStopAt(text) == sjis::npos ? ExpandPlaceholders(text, kind)
                                                      : ExpandPlaceholders(TrimFullStop(text), kind);
    std::string_view t = work;
    if (!t.empty() && t.front() == '\\') t.remove_prefix(1);

    uint32_t lineKind = buffer.CurrentKind;
    std::string_view who = speaker;
    std::string out; // one line's text: its speaker column, then its segment
    forEachSegment(t, [&](const Segment& seg) {
        GameMessageLine& line = takeLine(buffer, lineKind, static_cast<uint32_t>(w + 2));
        // A segment starts on a character boundary: its own walk finds the
        // mark the walk from the start of the text finds.
        size_t mark = sjis::findFirstOf(t.substr(seg.Begin), qut::SpeechMarks);
        if (mark != sjis::npos) mark += seg.Begin;
        out.clear();
        size_t from = seg.Begin;
        if (mark == seg.Begin) {
            appendPadded(out, who, w);
        } else if (mark < seg.End) {
            std::string_view prefix = t.substr(seg.Begin, mark - seg.Begin);
            // An announcer line is told by the line's kind: the kind
            // argument of an announcer line names the side it is about.
            if (lineKind == KindAnnouncer) {
                bool replace = Option(OptAnnouncerNameReplace) && prefix == qut::AnnouncerPrefix;
                appendPadded(out, replace ? sjis::readField(gs.AnnouncerLabel) : prefix, w);
            } else {
                out += who;
                out += prefix;
                if (out.size() > w) {
                    w = out.size();
                    line.Indent = static_cast<uint32_t>(w + 2);
                }
                out.append(w - out.size(), ' ');
            }
            from = mark;
        } else {
            out.assign(w + 2, ' ');
        }
        out += t.substr(from, seg.End - from);
        setText(line, out);
        who = {};
    });
}

char* QueueTraceMessage(GameMessageBuffer& buffer, std::string_view text) {
    GameMessageLine& line = Option(OptInternalInfo) ? takeLine(buffer, KindTrace, 0) : scratchLine();
    setText(line, text);
    return line.Text;
}

void QueueLabelledText(GameMessageBuffer& buffer, std::string_view text, std::string_view head) {
    if (Option(OptMessagesOff)) return;
    std::string work = std::string(head) + TrimFullStop(text);
    std::string_view t = work;
    forEachSegment(t, [&](const Segment& seg) {
        GameMessageLine& line = takeLine(buffer, buffer.CurrentKind, LabelIndent);
        size_t mark = sjis::findFirstOf(t.substr(seg.Begin), qut::LabelMarks);
        if (mark != sjis::npos) mark += seg.Begin;
        size_t labelLength = mark == sjis::npos ? 0 : mark - seg.Begin;
        if (mark < seg.End && labelLength >= 1 && labelLength <= LabelWidth)
            setText(line, padded(t.substr(seg.Begin, labelLength), LabelWidth) +
                              std::string(t.substr(mark, seg.End - mark)));
        else
            setText(line,
                    std::string(LabelIndent, ' ') + std::string(t.substr(seg.Begin, seg.End - seg.Begin)));
    });
}

void QueueHangingText(GameMessageBuffer& buffer, std::string_view text, std::string_view head) {
    bool first = true;
    forEachSegment(text, [&](const Segment& seg) {
        GameMessageLine& line = takeLine(buffer, buffer.CurrentKind, static_cast<uint32_t>(head.size()));
        std::string lead = first ? std::string(head) : std::string(head.size(), ' ');
        setText(line, lead + std::string(text.substr(seg.Begin, seg.End - seg.Begin)));
        first = false;
    });
}

} // namespace cv
