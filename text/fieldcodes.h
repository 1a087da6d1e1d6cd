// Field codes of the text templates: "%NN" is replaced by value text NN of
// the caller's list, "%NNB" also writes every CR LF of the line's composed
// text as "<BR>", "%NNF" writes the line folded at 76 bytes. A composed line
// holds at most 2047 bytes; what does not fit is cut on a character boundary.
//
// Output is built in memory the way the system's text files are written:
// every line end is CR LF, so a lone LF inside a value text also becomes one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vtext {

// The caller's value texts. At most Capacity texts are taken; a null entry
// of a C list ends it early. Any number past the end is an empty text.
class ValueList {
public:
    static constexpr int Capacity = 30;

    ValueList() = default;
    // A C list (may be null).
    explicit ValueList(char** values);
    // For callers inside the library and tests; only the first Capacity
    // texts count.
    explicit ValueList(std::vector<std::string> values);

    std::string_view text(int n) const;
    int size() const { return static_cast<int>(texts_.size()); }

private:
    std::vector<std::string> texts_;
};

// The bytes a composed line holds at most (its buffer less the NUL).
inline constexpr size_t ComposedLimit = 2047;
// Width of a folded line.
inline constexpr size_t FoldWidth = 76;

// Appends as much of piece as fits in out under ComposedLimit, cut on a
// character boundary. False once out is full.
bool appendBounded(std::string& out, std::string_view piece);

// Which codes a text knows: template lines know the B and F marks; a single
// string ("%NN" only) leaves a letter after the digits as text.
enum class CodeSet { WithMarks, Plain };

struct ComposedLine {
    std::string text;       // at most ComposedLimit bytes
    bool breakAsBr = false; // a B mark was seen
    bool fold = false;      // an F mark was seen
};

ComposedLine composeLine(std::string_view line, const ValueList& values, CodeSet codes = CodeSet::WithMarks);

// Appends text with each LF written as CR LF (a CR LF stays one line end).
void appendTextLines(std::string& out, std::string_view text);

// Writes a composed line: its CR LF pieces joined by the break text ("" or
// "<BR>"); with folding (when allowed), every piece longer than FoldWidth is
// written FoldWidth bytes at a time (one less where a double-byte character
// would straddle the edge), each followed by a line end, and a line end
// follows each piece that ended at a CR LF. lineEnd adds the template
// line's own line end.
void writeComposed(std::string& out, const ComposedLine& line, bool allowFold, bool lineEnd);

// One string with its "%NN" codes replaced, cut at its first Ctrl-Z.
std::string replaceStringFormat(std::string_view in, const ValueList& values);

} // namespace vtext
