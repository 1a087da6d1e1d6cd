// The blank trimming that the plug-ins know as strTrimRight.
#pragma once

namespace cmn {

// The longest text strTrimRight leaves (what its work buffer held).
inline constexpr unsigned TrimmedTextMax = 79;

// Trailing blanks (0x20) cut, then leading blanks removed by moving the rest
// to the front; the result is cut on a character boundary to at most
// TrimmedTextMax bytes. A null text is left alone.
void trimBlanks(char* text);

} // namespace cmn
