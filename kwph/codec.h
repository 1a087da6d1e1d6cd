// The per-line codec of message archives and the width conversions it rests
// on. A stored line is a compact form of one Shift-JIS message line: full-
// width symbols, letters and kana are narrowed to one byte, and control bytes
// say how to widen them again (0x01-0x06 'A'-'F', 0x07 katakana on/off, 0x08
// next byte literal, 0x09 literal run on/off).
//
// The codec keeps its own lead-byte ranges, wider than code page 932's:
// 0x80-0x9F and 0xE0-0xFE, and for the half-to-full-width conversion
// 0x80-0x9F and 0xE0-0xFF. Archives were always written and read with these,
// so they must not be swapped for the general test.
//
// Every routine here takes bytes and a length and returns a std::string; none
// reads past its input. A NUL ends the input, and a lead byte that is the last
// byte (by length or before the NUL) is dropped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kwp {

constexpr bool isCodecLead(unsigned char c) {
    return (c >= 0x80 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFE);
}
constexpr bool isWideningLead(unsigned char c) {
    return (c >= 0x80 && c <= 0x9F) || c >= 0xE0;
}

// The longest stored line an archive can hold, and the longest text it can
// decode to (every byte widened).
constexpr size_t kMaxStoredLine = 255;
constexpr size_t kMaxDecodedLine = 2 * kMaxStoredLine;

// Text line to stored form. Control bytes (below 0x20) are dropped. The
// result is at most twice the input and may exceed kMaxStoredLine.
std::string encodeLine(std::string_view text);

// Stored form to text. Mode 1 always turns 0x01-0x06 into 'A'-'F'; mode 0
// (the "H" variant) keeps them as bytes inside literal runs and after 0x08.
enum class DecodeMode { Raw = 0, Letters = 1 };
std::string decodeLine(std::string_view stored, DecodeMode mode = DecodeMode::Letters);

// What decoding the encoded line gives back: the text up to its first NUL
// without its single control bytes and without a final lone lead byte.
// Stored behind one 0x09 it decodes to itself.
std::string plainText(std::string_view text);

// Half width to full width: bytes 0x20-0x7E and 0xA1-0xDF become their
// full-width character, 0x7F and 0xA0 become "ff", bytes below 0x20 and
// double-byte characters are copied.
std::string exdbl(std::string_view text);

// Full width to half width: table characters, digits, letters, kana and the
// listed symbols narrow to one byte; voiced kana lose their mark (exsng) or
// keep it as a separate 0xDE / 0xDF byte (exsingle). Everything else is copied.
std::string exsng(std::string_view text);
std::string exsingle(std::string_view text);

// The longest prefix of at most n bytes that ends on a character boundary,
// walking with the given lead test.
size_t cutOnCharacter(std::string_view text, size_t n, bool (*isLead)(unsigned char));

} // namespace kwp
