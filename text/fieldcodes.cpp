// Composition of one template line: field codes left to right into a
// bounded buffer, then the CR LF pieces written with the line's break text
// and, for folded lines, cut into lines of 76 bytes.
#include "text/fieldcodes.h"

#include "base/sjis.h"

namespace vtext {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void appendFolded(std::string& out, std::string_view piece) {
    while (piece.size() > FoldWidth) {
        size_t n = sjis::cutLength(piece, FoldWidth);
        if (n == 0) n = 1; // never stall on a malformed text
        appendTextLines(out, piece.substr(0, n));
        out += "\r\n";
        piece.remove_prefix(n);
    }
    appendTextLines(out, piece);
}

} // namespace

bool appendBounded(std::string& out, std::string_view piece) {
    size_t room = ComposedLimit - out.size();
    if (piece.size() <= room) {
        out.append(piece);
        return true;
    }
    out.append(piece.substr(0, sjis::cutLength(piece, room)));
    return false;
}

ValueList::ValueList(char** values) {
    if (!values) return;
    for (int i = 0; i < Capacity && values[i]; ++i) texts_.emplace_back(values[i]);
}

ValueList::ValueList(std::vector<std::string> values) : texts_(std::move(values)) {
    if (texts_.size() > static_cast<size_t>(Capacity)) texts_.resize(Capacity);
}

std::string_view ValueList::text(int n) const {
    if (n < 0 || n >= size()) return {};
    return texts_[static_cast<size_t>(n)];
}

ComposedLine composeLine(std::string_view line, const ValueList& values, CodeSet codes) {
    ComposedLine result;
    std::string& out = result.text;
    auto isCode = [&line](size_t at) {
        return line[at] == '%' && at + 2 < line.size() && isDigit(line[at + 1]) && isDigit(line[at + 2]);
    };
    size_t i = 0;
    while (i < line.size()) {
        if (isCode(i)) {
            int n = (line[i + 1] - '0') * 10 + (line[i + 2] - '0');
            i += 3;
            if (codes == CodeSet::WithMarks && i < line.size()) {
                if (line[i] == 'B') {
                    result.breakAsBr = true;
                    ++i;
                } else if (line[i] == 'F') {
                    result.fold = true;
                    ++i;
                }
            }
            if (!appendBounded(out, values.text(n))) break;
            continue;
        }
        // The text up to the next code goes in as one run, walked character
        // by character, so its cut at the limit falls where a copy of one
        // character at a time would stop.
        size_t end = i;
        do end += sjis::charLength(line, end);
        while (end < line.size() && !isCode(end));
        if (!appendBounded(out, line.substr(i, end - i))) break;
        i = end;
    }
    return result;
}

void appendTextLines(std::string& out, std::string_view text) {
    // Runs between bare LFs go in whole (table blocks run to thousands of
    // lines); a CR goes in front of each bare LF.
    size_t start = 0;
    for (size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', lf + 1)) {
        if (lf > 0 && text[lf - 1] == '\r') continue;
        out.append(text.substr(start, lf - start));
        out += '\r';
        start = lf;
    }
    out.append(text.substr(start));
}

void writeComposed(std::string& out, const ComposedLine& line, bool allowFold, bool lineEnd) {
    const bool fold = allowFold && line.fold;
    const std::string_view breakText = line.breakAsBr ? "<BR>" : "";
    std::string_view rest = line.text;
    for (;;) {
        size_t crlf = rest.find("\r\n");
        std::string_view piece = rest.substr(0, crlf);
        if (fold)
            appendFolded(out, piece);
        else
            appendTextLines(out, piece);
        if (crlf == std::string_view::npos) break;
        out += breakText;
        if (fold) out += "\r\n";
        rest.remove_prefix(crlf + 2);
    }
    if (lineEnd) out += "\r\n";
}

std::string replaceStringFormat(std::string_view in, const ValueList& values) {
    std::string text = composeLine(in, values, CodeSet::Plain).text;
    size_t eof = text.find('\x1A');
    if (eof != std::string::npos) text.resize(eof);
    return text;
}

} // namespace vtext
