// Trigger word lists: three files of "key value" lines that the game
// processor matches message triggers against. One block holds the three
// lists; the library keeps one block at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace akdata {

inline constexpr int TriggerListCapacity = 256;

struct TriggerEntry {
    char Key[32];
    char Value[16];
};

struct TriggerBlock {
    TriggerEntry List[3][TriggerListCapacity];
    int32_t Count[3];
};

// The entries of one list file: lines beginning with '#' or '/' and lines
// without two blank-separated words are skipped; the key is cut to 31 and the
// value to 15 bytes on a character boundary; at most TriggerListCapacity.
std::vector<std::pair<std::string, std::string>> parseTriggerList(std::string_view bytes);

// Replaces the library's block with one read from the three files (a null or
// missing file gives an empty list) and hands it out through block. 0, or 1
// when memory is short.
int loadTrigger(const char* file1, const char* file2, const char* file3, void** block);
// Frees the library's block.
void unloadTrigger();

} // namespace akdata
