// The one Shift-JIS lead-byte test of the system. Code page 932 lead bytes are
// 0x81-0x9F and 0xE0-0xFC; the byte after a lead byte is a trail byte and can
// look like anything ('\', '[', ']', '_' or another lead byte), so texts are
// classified only by walking them from their start.
#pragma once

namespace plat {

constexpr bool isSjisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Length of the character starting at s[i] within a text of n bytes: 2 for a
// lead byte followed by a non-NUL byte inside the text, else 1 (a lone lead
// byte before the end or before a NUL counts as a single byte).
constexpr unsigned sjisCharLen(const char* s, unsigned long i, unsigned long n) {
    return (isSjisLead(static_cast<unsigned char>(s[i])) && i + 1 < n && s[i + 1] != '\0') ? 2u : 1u;
}

} // namespace plat
