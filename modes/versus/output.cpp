// The match window's narration display, free of widgets.
#include "modes/versus/output.h"

#include "base/sjis.h"
#include "sjis/versus_text.h"

#include <algorithm>

namespace versus {

void dropOldestLines(LogSink& sink) {
    for (int i = 0; i < DroppedLines && sink.lineCount() > 0; ++i) sink.removeFirstLine();
}

bool addOrDrop(LogSink& sink, std::string_view text, uint32_t colour) {
    if (sink.addLine(text, colour)) return true;
    dropOldestLines(sink);
    return false;
}

bool isNoBreakBefore(std::string_view s, size_t pos) {
    if (pos + 1 >= s.size() || !sjis::isLead(static_cast<unsigned char>(s[pos]))) return false;
    std::string_view set(text::NoBreakBefore);
    for (size_t i = 0; i + 1 < set.size(); i += 2)
        if (set[i] == s[pos] && set[i + 1] == s[pos + 1]) return true;
    return false;
}

std::vector<std::string> foldLine(std::string_view text, uint32_t indent, int32_t columns) {
    const size_t w = std::min(indent, MaxIndent);
    if (w == 0 || text.size() < w) return {std::string(text)};
    std::vector<std::string> lines;
    std::string head(text.substr(0, w));
    std::string_view rest = text.substr(w);
    const int64_t width = columns;
    while (!rest.empty()) {
        const size_t n = rest.size();
        size_t piece = n;
        if (static_cast<int64_t>(w + n) > width) {
            int64_t c = width - static_cast<int64_t>(w);
            if (c > 0 && !sjis::isBoundary(rest, static_cast<size_t>(c))) --c;
            if (c <= 0) {
                // No room beside the speaker column: one character a line,
                // so the display always moves on.
                piece = std::max<size_t>(1, sjis::charLength(rest, 0));
            } else {
                piece = static_cast<size_t>(c);
                if (isNoBreakBefore(rest, piece)) {
                    piece += 2;
                    if (isNoBreakBefore(rest, piece)) piece += 2;
                }
            }
        }
        piece = std::min(piece, n);
        lines.push_back(head + std::string(rest.substr(0, piece)));
        head.assign(w, ' ');
        rest.remove_prefix(piece);
    }
    return lines;
}

uint32_t queuedLines(const cv::GameMessageBuffer& buffer) {
    return std::min<uint32_t>(buffer.Count, static_cast<uint32_t>(cv::MessageLineCount));
}

namespace {

uint32_t colourOf(const DisplayOptions& options, uint32_t index) {
    return options.Colours && index < 20 ? options.Colours[index] : 0;
}

} // namespace

void showMatchOutput(const cv::GameMessageBuffer& buffer, DisplayState& state, const DisplayOptions& options,
                     LogSink& sink) {
    sink.beginUpdate();
    int32_t from = 0;
    if (state.OutputPending) {
        state.OutputPending = false;
        from = std::max(0, state.ResumeLine);
    } else {
        state.ResumeLine = 0;
    }
    if (sink.lineCount() > 1) sink.removeLastLine();
    addOrDrop(sink, "", colourOf(options, 0));

    const uint32_t count = queuedLines(buffer);
    for (uint32_t i = static_cast<uint32_t>(from); i < count; ++i) {
        const cv::GameMessageLine& line = buffer.Lines[i];
        const uint32_t kind = line.Kind;
        if (kind <= cv::KindTrace) {
            const uint32_t colour = colourOf(options, kind);
            std::string_view text = sjis::readField(line.Text);
            for (const std::string& piece : foldLine(text, line.Indent, options.OutputColumns))
                addOrDrop(sink, piece, colour);
            const uint32_t blanks = std::min<uint32_t>(line.BlankLinesAfter, cv::MessageLineCount);
            for (uint32_t b = 0; b < blanks; ++b) addOrDrop(sink, "", colour);
        } else if (kind == cv::KindPageBreak && state.Paused) {
            state.ResumeLine = static_cast<int32_t>(i + 1);
            state.OutputPending = true;
            break;
        }
    }
    if (state.StepState != 5) addOrDrop(sink, options.Prompt, colourOf(options, 0));
    sink.endUpdate();
}

void showAkView(const cv::GameMessageBuffer& buffer, uint32_t colour, LogSink& sink) {
    sink.clear();
    sink.beginUpdate();
    addOrDrop(sink, "", colour);
    const uint32_t count = queuedLines(buffer);
    for (uint32_t i = 0; i < count; ++i) {
        const cv::GameMessageLine& line = buffer.Lines[i];
        addOrDrop(sink, sjis::readField(line.Text), colour);
        const uint32_t blanks = std::min<uint32_t>(line.BlankLinesAfter, cv::MessageLineCount);
        for (uint32_t b = 0; b < blanks; ++b) addOrDrop(sink, "", colour);
    }
    sink.endUpdate();
}

} // namespace versus
