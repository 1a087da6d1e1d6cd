// Reading match digests back: the game processor writes, per match, two
// result lines (mark, padded pilot name, "／", owner) one after the other
// and, two lines on, the minutes line ("　１２分。..."). Each such pair becomes
// a DigestEntry. Entries live in one fixed block of 359 entries (the 242,704
// bytes the system sets aside for them) that only unloadMomoFile empties;
// entries past its end are dropped.
#pragma once

#include "text/velltext.h"

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace vtext {

inline constexpr size_t DigestPoolBytes = 242704;
inline constexpr size_t DigestCapacity = DigestPoolBytes / sizeof(DigestEntry);

// Result marks: 0 "○" win, 1 "×" loss, 2 "△" draw.
int parseResultLine(std::string_view line, std::string& name, std::string& text);

// True when the first blank-delimited word of the line begins with a result
// mark and the line holds "／" after it.
bool isSideLine(std::string_view line);

// Views into the digest bytes.
struct DigestMatch {
    std::string_view line1; // the two result lines
    std::string_view line2;
    std::string_view minutes; // empty when none was found
};

// The matches of digest bytes, at most max of them.
std::vector<DigestMatch> parseDigest(std::string_view bytes, size_t max);

// Appends the matches of digest bytes to the block: time stamps from mtime
// (the n-th entry of the call gets second n), path cut to 79 bytes; *head is
// set only when null. Returns the number of entries made.
size_t addDigestEntries(std::string_view bytes, std::string_view path, std::time_t mtime, DigestEntry** head);

// LoadMomoFile: 0 read; 1 the file cannot be read (or head is null).
int loadMomoFile(std::string_view path, DigestEntry** head);
// Releases every entry.
void unloadMomoFile();
// Entries in use (tests).
size_t digestEntriesInUse();

} // namespace vtext
