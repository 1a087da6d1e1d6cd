// Building blocks of the text sheets and the check report: printf-style
// formatting into a string (widths count bytes, as the system's sheets
// always did), full-width numbers, labelled wrapping at 76 bytes, and the
// copy of a finished text into a caller's fixed buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace akdata {

// The buffer the sheet and check exports write into, NUL included.
inline constexpr size_t SheetBufferSize = 2048;
inline constexpr size_t SheetLineWidth = 76;

std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A number in full-width digits ("－１２").
std::string zen(int32_t value);

// s padded with blanks to width bytes, on the right ("%-*s") or left ("%*s").
std::string padRight(std::string_view s, size_t width);
std::string padLeft(std::string_view s, size_t width);

// The text in lines of at most SheetLineWidth bytes (one fewer where the
// last byte would split a character): the first line starts with the label,
// the others with as many blanks; "\r\n" twice after the last piece.
std::string wrapLabelled(std::string_view label, std::string_view text);

// The length of the part of text that goes into a buffer of size bytes with
// its NUL: all of it when it fits, else up to the end of the last whole line
// ("\r\n") that fits, else a character-safe cut.
size_t fittingLength(std::string_view text, size_t size);

// Writes the fitting part of text and a NUL at out (nothing when out is null
// or size is 0).
void copyOut(char* out, std::string_view text, size_t size = SheetBufferSize);

// Appends to the NUL-terminated text at out, the whole staying within size
// bytes; nothing when out holds no NUL within size.
void appendOut(char* out, std::string_view text, size_t size = SheetBufferSize);

} // namespace akdata
