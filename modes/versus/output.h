// How the match window shows the game processor's narration: the lines a
// match step queued in the message buffer go into the log view, each in the
// display colour of its kind, the speaker column kept and long lines folded
// at the conf's output width; in step mode the display of a step stops at a
// page-break line and the next step shows the rest before the game
// processor is called again. The AK view shows an AK's sheets as they stand.
//
// The views are reached through LogSink, so the rules run and are tested
// without a display; the match window gives a sink over its text views.
#pragma once

#include "core/queue.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace versus {

// A text view as a list of lines.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual int lineCount() const = 0;
    virtual void removeLastLine() = 0;
    virtual void removeFirstLine() = 0;
    virtual void clear() = 0;
    // Appends one line in a colour (COLORREF); false when the view refuses
    // it (it is full).
    virtual bool addLine(std::string_view text, uint32_t colour) = 0;
    // The update bracket around a batch of changes.
    virtual void beginUpdate() {}
    virtual void endUpdate() {}
};

// A view full enough to refuse lines loses its 100 oldest ones.
inline constexpr int DroppedLines = 100;
void dropOldestLines(LogSink& sink);

// Adds a line; when the view refuses it, the oldest lines go and the line
// is lost. False when it was lost.
bool addOrDrop(LogSink& sink, std::string_view text, uint32_t colour);

// The widest speaker column kept.
inline constexpr uint32_t MaxIndent = 64;

// True when the double-byte character at `pos` of `s` is one a folded line
// never starts with.
bool isNoBreakBefore(std::string_view s, size_t pos);

// The display lines of one message line: `indent` bytes of speaker column
// (already cut to MaxIndent), the rest folded at `columns` bytes, every
// continuation indented by blanks. A cut never splits a double-byte
// character, and up to two characters that may not start a line stay on
// the line before (which may so run up to 4 bytes past the width). Every
// piece takes at least one character, whatever the width. A text that is
// the speaker column alone gives no line (nothing follows the speaker); one
// shorter than its column is one line as it stands.
std::vector<std::string> foldLine(std::string_view text, uint32_t indent, int32_t columns);

// The display state the match window keeps between steps.
struct DisplayState {
    bool OutputPending = true; // the rest of the last step's lines waits to be shown
    int32_t ResumeLine = 0;    // where that rest starts
    bool Paused = true;        // step mode: a page break ends a step's display
    int32_t StepState = 0;     // the match window's step (5: done, no prompt)
};

struct DisplayOptions {
    int32_t OutputColumns = 78;
    const uint32_t* Colours = nullptr; // the twenty display colours
    std::string Prompt;                // added as the last line, unless done
};

// Moves the buffer's lines from where the display stands into the view:
// the previous prompt makes way for an empty line, lines of kinds 0 to 6
// are shown in their colour, folded; a page break in step mode stops the
// display and remembers where to go on; other kinds are not shown; then the
// prompt, unless the match is done.
void showMatchOutput(const cv::GameMessageBuffer& buffer, DisplayState& state, const DisplayOptions& options,
                     LogSink& sink);

// The AK view: cleared, one empty line, then every line's text as it stands
// and its blank lines, in `colour`.
void showAkView(const cv::GameMessageBuffer& buffer, uint32_t colour, LogSink& sink);

// The number of lines a buffer really holds (its count, at most its size).
uint32_t queuedLines(const cv::GameMessageBuffer& buffer);

} // namespace versus
