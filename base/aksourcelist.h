// The list of AK folders that the main program hands to a game-mode library
// with an event (the fourth argument of GameStart): slot 0 is the conf's own
// AK input folder, filled by the game mode; slots 1..19 come from the folder
// lists of the settings and from the other confs. Count includes slot 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#pragma pack(push, 1)
struct AkSourceList {
    int32_t Count;
    char Names[20][80];
    char Paths[20][256]; // as stored: relative to the program folder, or absolute
};
#pragma pack(pop)

static_assert(sizeof(AkSourceList) == 6724);
static_assert(offsetof(AkSourceList, Names) == 4 && offsetof(AkSourceList, Paths) == 1604);
static_assert(std::is_trivially_copyable_v<AkSourceList>);
