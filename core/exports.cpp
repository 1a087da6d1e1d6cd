// The exports of the game processor (libcvcore.so): the nineteen calls the
// game-mode plug-ins and the configuration manager make by name, and the
// seeding of the dice when the library is loaded.
//
// The calls keep the caller's records by pointer (GameSettings, both AKs,
// both combatant states); the caller keeps them alive and unmoved from
// SetEnvironment and SetAkData to EndMatch2. A null record or text is
// refused (nothing done, the call's plain result), and no exception crosses
// an export: a failure inside a step ends that step with its plain result.
//
// Windows booleans are uint8_t, window handles void* (a QWidget*).
// DeleteOutputAkFile takes its list of AK file paths as a null-terminated
// array of texts.
#include "base/akrecord.h"
#include "base/confrecords.h"
#include "base/sjis.h"
#include "core/abortmatch.h"
#include "core/akoutput.h"
#include "core/combatant.h"
#include "core/cvexports.h"
#include "core/cvquit.h"
#include "core/dice.h"
#include "core/formula.h"
#include "core/gamecontext.h"
#include "core/matchapi.h"
#include "core/matchfiles.h"
#include "core/outputfault.h"
#include "core/queue.h"
#include "core/round.h"
#include "core/system.h"
#include "platform/export.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The library's start-up code: before any export is called, the dice start
// from the calendar time. Matches never reseed them.
struct LoadSeeding {
    LoadSeeding() { cv::SeedDiceAtLoad(); }
} loadSeeding;

// The size of _GetReturnFileName's output buffer.
constexpr size_t ReturnNameSize = 256;

std::string_view text(const char* s) {
    return s ? std::string_view(s) : std::string_view();
}

// Runs `step`; an exception ends it with `failed`.
template <class R, class F> R guarded(R failed, F&& step) {
    try {
        return step();
    } catch (...) {
        return failed;
    }
}

} // namespace

// Writes the postfix form of `infix` into `postfix` (80 bytes, the size of
// GameSettings.BountyPostfix); 0, or 0x80000003 for a missing ")" or a
// postfix that does not fit (then written empty).
VELL_EXPORT uint32_t Infix2Postfix(const char* infix, char* postfix) {
    if (!postfix) return cv::FormulaError;
    try {
        return cv::Infix2Postfix(text(infix), postfix);
    } catch (...) {
        std::memset(postfix, 0, cv::PostfixBufferSize);
        return cv::FormulaError;
    }
}

// The value of a postfix formula for one AK; 0 when it cannot be evaluated.
VELL_EXPORT int32_t CalcPostfix(const char* postfix, const TArmoredKnight* ak) {
    if (!postfix || !ak) return 0;
    return guarded<int32_t>(0, [&] { return cv::CalcPostfix(postfix, *ak); });
}

// Starts the system: 0, 0x80000002 without the message-archive library
// (the buffer is handed back all the same), 0x80004005 when the temporary
// folder cannot be made.
VELL_EXPORT uint32_t StartSystem(const cv::SystemInit* init, cv::GameMessageBuffer** bufferOut) {
    if (!init) return cv::SystemNoArchiveLibrary;
    cv::BusyCursor busy;
    return guarded<uint32_t>(cv::SystemNoArchiveLibrary, [&] {
        cv::GameMessageBuffer* buffer = nullptr;
        uint32_t result = cv::StartSystem(*init, buffer);
        if (bufferOut) *bufferOut = buffer;
        return result;
    });
}

VELL_EXPORT int32_t EndSystem() {
    return guarded<int32_t>(0, [] {
        cv::EndSystem();
        return 0;
    });
}

// Reseeds the dice from the local time of day; returns the new seed.
VELL_EXPORT int32_t RandomizeSystem() {
    return cv::RandomizeSystem();
}

VELL_EXPORT int32_t SetEnvironment(GameSettings* settings) {
    if (!settings) return 0;
    return guarded<int32_t>(0, [&] {
        cv::SetEnvironment(*settings);
        return 0;
    });
}

VELL_EXPORT int32_t SetAkData(TArmoredKnight* ak1, TArmoredKnight* ak2, cv::CombatantState* state1,
                              cv::CombatantState* state2) {
    if (!ak1 || !ak2 || !state1 || !state2) return 0;
    return guarded<int32_t>(0, [&] {
        cv::api::SetAkData(*ak1, *ak2, *state1, *state2);
        return 0;
    });
}

VELL_EXPORT int32_t StartMatch(const char* logBase, const char* title) {
    return guarded<int32_t>(0, [&] {
        cv::api::StartMatch(text(logBase), text(title));
        return 0;
    });
}

// One round: 0 go on, 1 decided, 2 both immobile, 3 judged at the limit.
// A failure ends the match as 2 (Result not set).
VELL_EXPORT uint8_t ProcessMatch(const char* logBase) {
    return guarded<uint8_t>(cv::RoundBothImmobile, [&] { return cv::api::ProcessMatch(text(logBase)); });
}

VELL_EXPORT int32_t EndMatch1(const char* logBase, const char* akOutDir) {
    return guarded<int32_t>(0, [&] {
        cv::api::EndMatch1(text(logBase), text(akOutDir));
        return 0;
    });
}

VELL_EXPORT int32_t EndMatch2(const char* logBase) {
    return guarded<int32_t>(0, [&] {
        cv::api::EndMatch2(text(logBase));
        return 0;
    });
}

// The abort dialog over `owner`, then the chosen end: 0 go on, 1 ended, 4
// held. Without a window system the dialog answers "go on".
VELL_EXPORT uint8_t AbortMatch(void* owner, const char* logBase, const char* akOutDir, uint8_t* akWritten) {
    uint8_t written = 0;
    uint8_t result = guarded<uint8_t>(cv::AbortCancelled, [&] {
        cv::QuitChoice choice = cv::AskQuitChoice(owner);
        return cv::AbortMatch(choice, text(logBase), text(akOutDir), written);
    });
    if (akWritten) *akWritten = written;
    return result;
}

VELL_EXPORT int32_t AkViewer(int32_t side, cv::GameMessageBuffer* buffer) {
    if (!buffer) return 0;
    return guarded<int32_t>(0, [&] {
        cv::api::AkViewer(side, *buffer);
        return 0;
    });
}

// Deletes the output AK files of every path of `paths` (ended by a null
// entry) from the output folder.
VELL_EXPORT int32_t DeleteOutputAkFile(const char* const* paths, const char* akOutDir) {
    if (!paths) return 0;
    return guarded<int32_t>(0, [&] {
        std::vector<std::string_view> list;
        for (const char* const* p = paths; *p; ++p) list.emplace_back(*p);
        cv::DeleteOutputAkFile(list.data(), list.size(), text(akOutDir));
        return 0;
    });
}

// weapons: six 240-byte slots; comments: six 258-byte entries.
VELL_EXPORT void SaveGameContext(TAkWeapon* weapons1, TAkWeapon* weapons2, TAkComment* comments1,
                                 TAkComment* comments2) {
    cv::SaveGameContext(weapons1, weapons2, comments1, comments2);
}

VELL_EXPORT int32_t DisposeGameMessage() {
    return guarded<int32_t>(0, [] {
        cv::DisposeGameMessage();
        return 0;
    });
}

VELL_EXPORT void RestoreGameContext(GameSettings* settings, TArmoredKnight* ak1, TArmoredKnight* ak2,
                                    cv::CombatantState* state1, cv::CombatantState* state2,
                                    const TAkWeapon* weapons1, const TAkWeapon* weapons2,
                                    const TAkComment* comments1, const TAkComment* comments2,
                                    const char* logBase) {
    if (!settings || !ak1 || !ak2 || !state1 || !state2) return;
    guarded<int>(0, [&] {
        cv::RestoreGameContext(*settings, *ak1, *ak2, *state1, *state2, weapons1, weapons2, comments1,
                               comments2, text(logBase));
        return 0;
    });
}

VELL_EXPORT int32_t AkViewer2(GameSettings* settings, const char* outFile, TArmoredKnight* ak,
                              cv::GameMessageBuffer* buffer, int32_t entryNo) {
    if (!settings || !ak || !buffer) return 0;
    return guarded<int32_t>(0, [&] {
        cv::api::AkViewer2(*settings, text(outFile), *ak, *buffer, entryNo);
        return 0;
    });
}

// The output AK file for `akFile` into `out` (256 bytes); the empty text
// when the path would not fit (a cut path names some other file).
VELL_EXPORT void _GetReturnFileName(const char* akOutDir, const char* akFile, char* out) {
    if (!out) return;
    out[0] = '\0';
    guarded<int>(0, [&] {
        std::string path = cv::GetReturnFileName(text(akOutDir), text(akFile));
        if (path.size() < ReturnNameSize) std::memcpy(out, path.c_str(), path.size() + 1);
        return 0;
    });
}

VELL_EXPORT void TakeBackOpenMatches() {
    guarded<int>(0, [] {
        cv::TakeBackMatchFiles();
        return 0;
    });
}

VELL_EXPORT void KeepOpenMatches() {
    guarded<int>(0, [] {
        cv::KeepOpenMatchFiles();
        return 0;
    });
}

VELL_EXPORT int32_t GetOutputFault(char* path, int32_t size) {
    const cv::OutputFault& fault = cv::FailedFile();
    if (path && size > 0) {
        path[0] = '\0';
        if (fault.Path.size() < static_cast<size_t>(size))
            std::memcpy(path, fault.Path.c_str(), fault.Path.size() + 1);
    }
    return fault.Message;
}
