// The four append operations of the game message queue and the line
// helpers the match steps use.
#include "core/queue.h"

#include "base/sjis.h"
#include "base/textscan.h"
#include "core/module.h"
#include "core/templates.h"
#include "sjis/queue_text.h"

#include <algorithm>
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

// The next line with its kind and indent; its text is left to setText,
// which writes the whole field (text, then zeros to the end).
GameMessageLine& takeLine(GameMessageBuffer& buffer, uint32_t kind, uint32_t indent) {
    spillWhenFull(buffer);
    GameMessageLine& line = buffer.Count < MessageLineCount ? buffer.Lines[buffer.Count++] : scratchLine();
    line.Kind = kind;
    line.Indent = indent;
    line.BlankLinesAfter = 0;
    return line;
}

void setText(GameMessageLine& line, std::string_view text) {
    sjis::writeField(line.Text, text);
}

struct Segment {
    size_t Begin;
    size_t End;
};

// Calls `f` with each backslash-separated segment of a text (a backslash
// that starts a character; the trail byte 5C of ソ is none).
template <class F> void forEachSegment(std::string_view text, F&& f) {
    for (size_t begin = 0;;) {
        size_t end = sjis::FindRareAtBoundary(text, "\\", begin);
        if (end == sjis::npos) end = text.size();
        f(Segment{begin, end});
        if (end == text.size()) return;
        begin = end + 1;
    }
}

// The first of the characters `marks` in segment `seg` of `text`; npos
// when the segment holds none. The segment ends at a backslash that starts
// a character (or at the text's end), so its characters are the text's.
size_t firstMark(std::string_view text, const Segment& seg, std::string_view marks) {
    size_t m = sjis::findFirstOf(text.substr(seg.Begin, seg.End - seg.Begin), marks);
    return m == sjis::npos ? m : seg.Begin + m;
}

// "%-*s": the text, then blanks up to `width` bytes (never cut).
void appendPadded(std::string& out, std::string_view text, size_t width) {
    out += text;
    if (text.size() < width) out.append(width - text.size(), ' ');
}

// Where TrimFullStop removes its character, npos when it removes none.
size_t fullStopAt(std::string_view text) {
    if (text.empty()) return sjis::npos;
    size_t last = sjis::CharStartBefore(text, text.size());
    if (last == 0) return sjis::npos;
    size_t previous = sjis::CharStartBefore(text, last);
    if (text.size() - last != 2 || last - previous != 2) return sjis::npos;
    std::string_view mark = text.substr(previous, 2);
    return mark == qut::FullStop || mark == qut::IdeographicSpace ? previous : sjis::npos;
}

// The text as TrimFullStop leaves it: `text` itself, or its trimmed copy
// held in `kept`.
std::string_view withoutFullStop(std::string_view text, std::string& kept) {
    size_t at = fullStopAt(text);
    if (at == sjis::npos) return text;
    kept.assign(text);
    kept.erase(at, 2);
    return kept;
}

} // namespace

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
    std::string kept;
    return std::string(withoutFullStop(text, kept));
}

void Narrate(GameMessageBuffer& buffer, std::string_view text, std::string_view speaker, uint32_t kind) {
    if (Option(OptMessagesOff)) return;
    const GameSettings& gs = Settings();
    // The call's own width: a speaker prefix longer than NameWidth widens it
    // for this and the later lines of the call only.
    int32_t nameWidth = gs.NameWidth;
    size_t w = static_cast<size_t>(std::clamp<int32_t>(nameWidth, 0, MessageTextSize - 1));

    ModuleState::NarrationTexts& texts = Module().Narration;
    std::string &work = texts.Expanded, &out = texts.Line;
    ExpandPlaceholdersInto(work, withoutFullStop(text, texts.Trimmed), kind);
    std::string_view t = work;
    if (!t.empty() && t.front() == '\\') t.remove_prefix(1);

    uint32_t lineKind = buffer.CurrentKind;
    std::string_view who = speaker;
    // One line per backslash-separated segment, each with the first speech
    // mark of the segment.
    forEachSegment(t, [&](const Segment& seg) {
        const size_t begin = seg.Begin, end = seg.End, mark = firstMark(t, seg, qut::SpeechMarks);
        GameMessageLine& line = takeLine(buffer, lineKind, static_cast<uint32_t>(w + 2));
        out.clear();
        size_t from = begin;
        if (mark == begin) {
            appendPadded(out, who, w);
        } else if (mark < end) {
            std::string_view prefix = t.substr(begin, mark - begin);
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
        out += t.substr(from, end - from);
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
    std::string& out = Module().Narration.Line;
    forEachSegment(t, [&](const Segment& seg) {
        GameMessageLine& line = takeLine(buffer, buffer.CurrentKind, LabelIndent);
        // A label of 1 to 12 bytes before the segment's first mark.
        size_t mark = firstMark(t, seg, qut::LabelMarks);
        size_t labelLength = mark == sjis::npos ? 0 : mark - seg.Begin;
        out.clear();
        if (mark != sjis::npos && labelLength >= 1 && labelLength <= LabelWidth) {
            appendPadded(out, t.substr(seg.Begin, labelLength), LabelWidth);
            out += t.substr(mark, seg.End - mark);
        } else {
            out.assign(LabelIndent, ' ');
            out += t.substr(seg.Begin, seg.End - seg.Begin);
        }
        setText(line, out);
    });
}

void QueueHangingText(GameMessageBuffer& buffer, std::string_view text, std::string_view head) {
    bool first = true;
    std::string& out = Module().Narration.Line;
    forEachSegment(text, [&](const Segment& seg) {
        GameMessageLine& line = takeLine(buffer, buffer.CurrentKind, static_cast<uint32_t>(head.size()));
        if (first)
            out.assign(head);
        else
            out.assign(head.size(), ' ');
        out += text.substr(seg.Begin, seg.End - seg.Begin);
        setText(line, out);
        first = false;
    });
}

} // namespace cv
