// Shift-JIS (code page 932) text helpers shared by every library: character
// walking, the one character-safe cut, bounded access to the fixed text
// arrays of records, search at character boundaries, the half-width /
// full-width conversions, the name shortening and the fixed-width field
// scanner of the catalog files.
//
// Texts are byte strings (std::string / std::string_view). A character is a
// lead byte (0x81-0x9F, 0xE0-0xFC) with the byte after it, or a single byte.
// Which bytes are lead bytes can only be told by walking from the start of a
// text: trail bytes may look like '\' (表 95 5C, ソ 83 5C), '[' (ー 81 5B),
// ']' (ゾ 83 5D), '_' (ダ 83 5F), '･' (挨 88 A5), or like lead bytes
// (メ 83 81). Every function here walks from the start.
//
// A lead byte followed by a NUL or by the end of the text is a character of
// its own; the byte after a lead byte is its trail byte whatever its value
// otherwise. No walker reads past a NUL (which is always a character of its
// own) or past the end of the text or field.
#pragma once

#include "base/textscan.h"
#include "platform/sjischar.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace sjis {

inline constexpr size_t npos = std::string_view::npos;

// The lead-byte predicate: 0x81-0x9F and 0xE0-0xFC (the system's one
// definition lives in the platform layer, which cannot depend on this one).
constexpr bool isLead(unsigned char c) {
    return plat::isSjisLead(c);
}

// Byte length of the character that starts at pos (pos must be a character
// boundary): 2 for a lead byte with a trail byte, else 1; 0 at or past the end.
constexpr size_t charLength(std::string_view s, size_t pos) {
    return pos < s.size() ? plat::sjisCharLen(s.data(), pos, s.size()) : 0;
}

// True when pos (0..size) starts a character, walking from the start.
bool isBoundary(std::string_view s, size_t pos);

// ---- The one cut rule ----------------------------------------------------

// Length of the longest prefix of at most n bytes that ends on a character
// boundary (a double-byte character that would straddle byte n is dropped).
size_t cutLength(std::string_view s, size_t n);
std::string cut(std::string_view s, size_t n);

// ---- Fixed text arrays of records ---------------------------------------

// The text of a fixed array: up to its first NUL, or the whole array when a
// raw image carries none. Never strlen a record text.
std::string_view readField(const char* field, size_t size);
template <size_t N> std::string_view readField(const char (&field)[N]) {
    return readField(field, N);
}

// Writes text into a fixed array: text (up to its first NUL) cut on a
// character boundary to size - 1 bytes, a NUL, then zeros to the end.
// Returns the number of text bytes written. size 0 writes nothing.
size_t writeField(char* field, size_t size, std::string_view text);
template <size_t N> size_t writeField(char (&field)[N], std::string_view text) {
    return writeField(field, N, text);
}

// ---- Search at character boundaries ---------------------------------------

// First position >= from (walking from the start of hay) where needle starts
// on a character boundary and ends on one; npos when absent or when needle is
// empty. The needle is a whole Shift-JIS text (e.g. 推 or "／ＭＣ").
// Inline: the rules search short fields thousands of times a match.
inline size_t find(std::string_view hay, std::string_view needle, size_t from = 0) {
    return FindAtBoundary(hay, needle, from);
}
// Last such position; npos when absent or needle is empty.
size_t rfind(std::string_view hay, std::string_view needle);
inline bool contains(std::string_view hay, std::string_view needle) {
    return find(hay, needle) != npos;
}
// First character of hay at or after from that is one of the characters of
// the Shift-JIS text chars; npos when none.
size_t findFirstOf(std::string_view hay, std::string_view chars, size_t from = 0);
// Every match of needle (left to right, not overlapping) replaced by repl.
// An empty needle changes nothing.
std::string replaceAll(std::string_view hay, std::string_view needle, std::string_view repl);

// ---- Width conversions and name helpers -----------------------------------

// Half width to full width: each single-byte character with a full-width form
// (printable ASCII, half-width katakana and marks) is replaced by it; the
// half-width voiced marks become separate full-width marks, never composed
// with the kana before them. Everything else is copied. At most twice the
// input length.
std::string han2Zen(std::string_view src);

// Full width to half width: full-width ASCII, full-width katakana and
// hiragana and the full-width marks are replaced by their half-width form;
// voiced and semi-voiced kana get ﾞ (0xDE) or ﾟ (0xDF) after the base.
// Everything else is copied. Never longer than the input.
std::string zen2Han(std::string_view src);

// The text up to (not including) its first separator character (middle dots,
// equals, ampersands, blanks, colons, semicolons, underscores, plus, minus,
// asterisks, half and full width); the whole text without one.
std::string cutNameAtSeparator(std::string_view src);

// Makes a name fit n bytes, first of: the name itself, its zen2Han form, its
// cutNameAtSeparator form (of the name), the zen2Han form cut to n bytes on a
// character boundary. The result is never longer than n.
std::string cnvNameStr(std::string_view src, size_t n);

// Cuts text to n bytes: unchanged when it fits; else (converted to half width
// unless keepWidth) cut to n bytes on a character boundary.
std::string cutString(std::string_view src, size_t n, bool keepWidth);

// Trailing then leading ASCII blanks (0x20 only; not TAB, not 81 40) removed.
std::string_view trimField(std::string_view text);

// ---- Fixed-width field scanner --------------------------------------------

enum class ScanKind : int {
    TrimmedText = 1, // text, trailing blanks removed
    Text = 2,        // text as it is
    Integer = 3,     // decimal number, see fixedInt
};

// One field of a fixed-width record: its kind, its width in bytes and its
// target. A field whose target is null is skipped.
struct ScanField {
    ScanKind kind;
    size_t width;
    char* text;      // kinds 1 and 2
    size_t textSize; // bytes at text, the NUL included
    int32_t* number; // kind 3
};

inline ScanField scanTrimmed(size_t width, char* dst, size_t dstSize) {
    return {ScanKind::TrimmedText, width, dst, dstSize, nullptr};
}
template <size_t N> ScanField scanTrimmed(size_t width, char (&dst)[N]) {
    return scanTrimmed(width, dst, N);
}
inline ScanField scanText(size_t width, char* dst, size_t dstSize) {
    return {ScanKind::Text, width, dst, dstSize, nullptr};
}
template <size_t N> ScanField scanText(size_t width, char (&dst)[N]) {
    return scanText(width, dst, N);
}
inline ScanField scanInt(size_t width, int32_t& dst) {
    return {ScanKind::Integer, width, nullptr, 0, &dst};
}
inline ScanField scanSkip(size_t width) {
    return {ScanKind::Text, width, nullptr, 0, nullptr};
}

// The value of a fixed-width number field: blanks, Ctrl-Z (0x1A) and '-' are
// skipped, every other byte b adds (b - '0') on the unsigned byte to ten
// times the running value, a '-' anywhere negates. Accumulated in 64 bits
// and clamped to the int32_t range.
int32_t fixedInt(std::string_view field);

// Reads the fields one after the other from record, width bytes each. Text
// targets get the field bytes (trailing blanks removed for TrimmedText), cut
// on a character boundary to fit, and a NUL. Bytes missing from a short
// record count as absent (a text gets fewer bytes, a number fewer digits).
// Returns the number of record bytes consumed.
size_t vsscanfix(std::string_view record, std::span<const ScanField> fields);
inline size_t vsscanfix(std::string_view record, std::initializer_list<ScanField> fields) {
    return vsscanfix(record, std::span<const ScanField>(fields.begin(), fields.size()));
}

// ---- C-signature forms ----------------------------------------------------
// For the deliverables that export these routines under their own names.
// A null src counts as an empty text; a null dst writes nothing and returns 0.
// dst may be the same buffer as src. The caller sizes dst:
//   han2ZenC            2 * strlen(src) + 1 bytes
//   zen2HanC            strlen(src) + 1
//   cnvNameStrC         n + 1
//   cutStringC          n + 1 (or strlen(src) + 1 when that is smaller)
//   cutNameAtSeparatorC strlen(src) + 1
// A negative n counts as 0.

int han2ZenC(const char* src, char* dst);                         // returns strlen(dst)
int zen2HanC(const char* src, char* dst);                         // returns strlen(dst)
int cnvNameStrC(const char* src, int n, char* dst);               // returns 0
int cutStringC(const char* src, char* dst, int n, int keepWidth); // returns strlen(dst)
void cutNameAtSeparatorC(const char* src, char* dst);
void trimFieldC(char* text); // in place; the rest moves to the start

} // namespace sjis
