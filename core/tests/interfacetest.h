// Shared pieces of the match interface's tests: the game processor loaded
// by name from the program folder with all nineteen exports, a scratch
// program folder (base folder with the message-archive library, results
// folder, AK output folder, settings store), settings for whole matches
// and the sample AK data files.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "core/combatant.h"
#include "core/queue.h"
#include "core/system.h"
#include "platform/loader.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace interfacetest {

using testsupport::sj;

// libcvcore.so with every export bound.
struct Cvcore {
    plat::Library Lib;
    uint32_t (*Infix2Postfix)(const char*, char*) = nullptr;
    int32_t (*CalcPostfix)(const char*, const TArmoredKnight*) = nullptr;
    uint32_t (*StartSystem)(const cv::SystemInit*, cv::GameMessageBuffer**) = nullptr;
    int32_t (*EndSystem)() = nullptr;
    int32_t (*SetAkData)(TArmoredKnight*, TArmoredKnight*, cv::CombatantState*,
                         cv::CombatantState*) = nullptr;
    int32_t (*RandomizeSystem)() = nullptr;
    int32_t (*SetEnvironment)(GameSettings*) = nullptr;
    int32_t (*StartMatch)(const char*, const char*) = nullptr;
    uint8_t (*ProcessMatch)(const char*) = nullptr;
    int32_t (*EndMatch1)(const char*, const char*) = nullptr;
    int32_t (*EndMatch2)(const char*) = nullptr;
    uint8_t (*AbortMatch)(void*, const char*, const char*, uint8_t*) = nullptr;
    int32_t (*AkViewer)(int32_t, cv::GameMessageBuffer*) = nullptr;
    int32_t (*DeleteOutputAkFile)(const char* const*, const char*) = nullptr;
    void (*SaveGameContext)(TAkWeapon*, TAkWeapon*, TAkComment*, TAkComment*) = nullptr;
    int32_t (*DisposeGameMessage)() = nullptr;
    void (*RestoreGameContext)(GameSettings*, TArmoredKnight*, TArmoredKnight*, cv::CombatantState*,
                               cv::CombatantState*, const TAkWeapon*, const TAkWeapon*, const TAkComment*,
                               const TAkComment*, const char*) = nullptr;
    int32_t (*AkViewer2)(GameSettings*, const char*, TArmoredKnight*, cv::GameMessageBuffer*,
                         int32_t) = nullptr;
    void (*GetReturnFileName)(const char*, const char*, char*) = nullptr;
    int32_t (*GetOutputFault)(char*, int32_t) = nullptr;
    void (*TakeBackOpenMatches)() = nullptr;
    void (*KeepOpenMatches)() = nullptr;

    // Loads "cvcore.dll" from the program folder; false with a test failure.
    bool load();
};

// The program folder of a test: base folder (with or without the
// message-archive library), results and AK output folders, and a settings
// store of its own. Paths are Shift-JIS and end in '/'.
class Scratch {
public:
    explicit Scratch(bool withArchiveLibrary = true);
    ~Scratch();
    std::string Base;
    std::string Results; // Base + "results/"
    std::string AkOut;   // Base + "akout/"
    cv::SystemInit Init{};

private:
    testsupport::TempDir dir_;
    AnnouncerEntry announcers_[50]{};
    MsgEntry computers_[100]{};
    MsgEntry pilots_[200]{};
    std::string messageFiles_[8];
};

// Settings of a logged battle match of at most 30 rounds whose AKs go to
// output files with header, history and drain lines; narration on, result
// prompts answered by the resupply flags.
GameSettings MatchSettings();

// data/AkData/ak0n.dat.
std::string SamplePath(int n);
TArmoredKnight LoadAk(const std::string& path);

// One side's records and the buffers of its game context.
struct Side {
    TArmoredKnight Ak{};
    cv::CombatantState State{};
    TAkWeapon Weapons[WeaponSlotCount]{};
    TAkComment Comments[WeaponSlotCount]{};
};

// The whole file as bytes; empty when missing.
std::string Read(const std::string& path);

} // namespace interfacetest
