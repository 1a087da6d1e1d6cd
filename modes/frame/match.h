// One match through the game processor, the sequence every mode plays:
// LoadAkData for both sides (GameSettings.AkFile1/2 := the paths),
// SetEnvironment, SetAkData, StartMatch, ProcessMatch until it ends,
// EndMatch1 (the AK output folder) and EndMatch2; then the outcome read
// from GameSettings.Result and both combatant states.
//
// The records the game processor keeps by pointer live in MatchSides, which
// the caller keeps alive and unmoved for the whole match (allocate it once
// per run with makeMatchSides).
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "core/combatant.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace modes {

struct Entrant;

// A plug-in's combatant state buffer: 1929 bytes, of which the game
// processor's record takes the first part.
#pragma pack(push, 1)
struct CombatantSlot {
    cv::CombatantState State;
    uint8_t Spare[1929 - sizeof(cv::CombatantState)];
};
#pragma pack(pop)
static_assert(sizeof(CombatantSlot) == 1929);

struct MatchSides {
    TArmoredKnight Ak[2];
    CombatantSlot State[2];
};

// Zero-filled sides.
std::unique_ptr<MatchSides> makeMatchSides();

// No result: the match was not played, or it ended without one.
inline constexpr int32_t NoResult = -1;

struct MatchOutcome {
    bool Played = false;       // both AKs loaded and the match fought
    uint8_t EndCode = 0;       // ProcessMatch's last result (0 when stopped between rounds)
    int32_t Result = NoResult; // 0 side 1 won, 1 side 2 won, 2 draw; else nothing to count
    bool AkDestroyed[2] = {false, false};
    bool PilotKilled[2] = {false, false};
    // The output AK file EndMatch1 wrote for each side (returnFileNames).
    std::string AkOutput[2];
};

// The output AK files EndMatch1 is about to write for sides 1 and 2 of the
// match whose files `settings` names (AkFile1, AkFile2), asked of the game
// processor (_GetReturnFileName) just before it writes them, with the
// output folder as it is then; empty without option 23. Side 2's file is
// named after side 1's was written: when both have one stem (which no mode
// that carries an AK on from match to match allows) its name is not known
// here and stays empty.
std::array<std::string, 2> returnFileNames(const GameSettings& settings, std::string_view akOutputFolder);

// True when the path fits GameSettings.AkFile1/AkFile2 whole (79 bytes).
// The game processor knows each side's file only by those fields: it reads
// the AK's earlier results and drain data from there and names the output
// AK file after it, so a path cut to fit would name some other file.
bool fitsAkFileField(std::string_view path);

// fitsAkFileField, or message 41022 ("機体データをファイル(%s)から読みこめ
// ません") naming the path and false.
bool acceptAkPath(std::string_view path);

// Reads an entrant's AK data file into `ak` (zero-filled first). False, and
// the reason reported once, when the AK cannot take part: a path that does
// not fit the AK file fields (acceptAkPath; not read), a file LoadAkData
// cannot open (it shows 41022 itself), a file that holds no AK data
// (41022 shown here; the AK data library says nothing of it). Inside a
// run, a second file that cannot be read stops the run
// (RunThread::unreadableAkFile).
bool readAkFile(TArmoredKnight& ak, std::string_view path);

// readAkFile into `ak`, and GameSettings.AkFile1 (side 0) or AkFile2
// (side 1) := path when the path fits.
bool loadAkFile(GameSettings& settings, TArmoredKnight& ak, int side, std::string_view path);

// loadAkFile into side 0 or 1 of `sides`.
bool loadSide(GameSettings& settings, MatchSides& sides, int side, std::string_view path);

// After an entrant's AK file failed to load for its next match (reported
// already): when it is the output AK file this run wrote for the entrant,
// the run stops as on a fault, and true. The match must start from that
// file; one started from an older file would give back a file that misses
// matches.
bool stopOnLostAkOutput(const Entrant& entrant);

// After the game processor's steps of a match: when a file of the match
// could not be created or written (the game processor has reported it,
// GetOutputFault), the run on this thread stops (RunThread::stopOnFault).
// True then.
bool stopOnOutputFault();

// Fights the AKs already in `sides`. `stop`, when given, is tested between
// rounds: a set flag ends the rounds and the match is closed normally.
// GameSettings.Result is set to NoResult before the match, so a match that
// ends without a decision never counts the previous match's result. A file
// of the match that could not be written stops the run when the match is
// over (stopOnOutputFault). The outcome names the output AK files written.
MatchOutcome fightMatch(GameSettings& settings, MatchSides& sides, std::string_view logName,
                        std::string_view title, std::string_view akOutputFolder,
                        const std::atomic<bool>* stop = nullptr);

// Loads both sides, then fights. An AK that cannot be loaded leaves the
// match unplayed (Played false, no log written): a record the AK data
// library could not read is no fighter.
MatchOutcome playMatch(GameSettings& settings, MatchSides& sides, std::string_view path1,
                       std::string_view path2, std::string_view logName, std::string_view title,
                       std::string_view akOutputFolder, const std::atomic<bool>* stop = nullptr);

} // namespace modes
