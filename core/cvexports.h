// The game processor's exports (libcvcore.so) under their exported names and
// C signatures, in one place for the library that defines them and for every
// deliverable that calls them (the plug-in common library, the game-mode
// plug-ins).
//
// Records cross as pointers to caller-owned memory; the game processor keeps
// GameSettings, both AKs and both combatant states by pointer from
// SetEnvironment/SetAkData to EndMatch2. Windows booleans are uint8_t, window
// handles void* (a QWidget*).
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "platform/export.h"

#include <cstdint>

namespace cv {
struct SystemInit;
struct GameMessageBuffer;
struct CombatantState;
} // namespace cv

// Writes the postfix form of `infix` into `postfix` (80 bytes); 0, or
// 0x80000003 when it does not convert.
VELL_EXPORT uint32_t Infix2Postfix(const char* infix, char* postfix);
// The value of a postfix formula for `ak`.
VELL_EXPORT int32_t CalcPostfix(const char* postfix, const TArmoredKnight* ak);

// 0, 0x80000002 without the message-archive library, 0x80004005 without a
// temporary folder; the buffer is handed back before anything can fail.
VELL_EXPORT uint32_t StartSystem(const cv::SystemInit* init, cv::GameMessageBuffer** bufferOut);
VELL_EXPORT int32_t EndSystem();
// Reseeds the dice from the local time of day; returns the seed.
VELL_EXPORT int32_t RandomizeSystem();
// Keeps the settings by pointer for the steps and the formatting that follow.
VELL_EXPORT int32_t SetEnvironment(GameSettings* settings);
VELL_EXPORT int32_t SetAkData(TArmoredKnight* ak1, TArmoredKnight* ak2, cv::CombatantState* state1,
                              cv::CombatantState* state2);
VELL_EXPORT int32_t StartMatch(const char* logBase, const char* title);
// 0 go on, 1 decided, 2 both immobile (Result not set), 3 judged at the limit.
VELL_EXPORT uint8_t ProcessMatch(const char* logBase);
VELL_EXPORT int32_t EndMatch1(const char* logBase, const char* akOutDir);
VELL_EXPORT int32_t EndMatch2(const char* logBase);
VELL_EXPORT uint8_t AbortMatch(void* owner, const char* logBase, const char* akOutDir, uint8_t* akWritten);
VELL_EXPORT int32_t AkViewer(int32_t side, cv::GameMessageBuffer* buffer);
// `paths` ends with a null entry.
VELL_EXPORT int32_t DeleteOutputAkFile(const char* const* paths, const char* akOutDir);
VELL_EXPORT void SaveGameContext(TAkWeapon* weapons1, TAkWeapon* weapons2, TAkComment* comments1,
                                 TAkComment* comments2);
VELL_EXPORT int32_t DisposeGameMessage();
VELL_EXPORT void RestoreGameContext(GameSettings* settings, TArmoredKnight* ak1, TArmoredKnight* ak2,
                                    cv::CombatantState* state1, cv::CombatantState* state2,
                                    const TAkWeapon* weapons1, const TAkWeapon* weapons2,
                                    const TAkComment* comments1, const TAkComment* comments2,
                                    const char* logBase);
// One entrant's sheet, headed "【エントリー No.n  name】", appended to outFile
// with its extension replaced by ".txt". Changes the AK as a match set-up
// does and empties the buffer first.
VELL_EXPORT int32_t AkViewer2(GameSettings* settings, const char* outFile, TArmoredKnight* ak,
                              cv::GameMessageBuffer* buffer, int32_t entryNo);
// `out` holds 256 bytes.
VELL_EXPORT void _GetReturnFileName(const char* akOutDir, const char* akFile, char* out);
// The first file of the current match (since its StartMatch) that could not
// be created or written, which the game processor has reported: 41020 for a
// log or the digest, 41021 for an output AK file; 0 when none failed. Its
// path goes into `path` (`size` bytes; empty when it does not fit).
VELL_EXPORT int32_t GetOutputFault(char* path, int32_t size);
// An event that stops on a fault: every match still in progress (the
// battle royal's open fights) takes back the files it wrote, so that no cut
// log stays under a real name. A match whose own file failed has done so
// already.
VELL_EXPORT void TakeBackOpenMatches();
// An event that the game master stopped (or a match window closed) with
// matches still in progress (the battle royal's open fights): they are
// left as they are, and their logs, cut where they stopped, take their
// names. A log that cannot take its name is reported (41020) as the
// current match's failed file (GetOutputFault), and every match still in
// progress is taken back.
VELL_EXPORT void KeepOpenMatches();
