// The one-vs-many simulation without its windows: one own AK fights every
// enemy AK of a list a fixed number of times, and the result table gives,
// per enemy, the own AK's wins, losses and draws, its win rate and a verdict
// line per band of win rates. Here: the own AK's acceptance and its summary
// lines, the enemy list (no path twice, never the own AK, its sort order),
// the simulation count, the counting of a match, the win-rate bands and
// their verdict lines, the entry and result tables, and the run thread's
// loop (TGauntlet's Execute).
//
// Nothing of a simulation is kept: the set-up window switches log output
// and output AK files off, every match starts from the same two records and
// all matches share one log name in the results folder.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "modes/frame/akrows.h"
#include "modes/frame/entrants.h"
#include "modes/frame/match.h"
#include "modes/frame/runthread.h"
#include "modes/frame/standings.h"
#include "modes/frame/tables.h"
#include "platform/clock.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gauntlet {

// ---- Simulation count ------------------------------------------------------

inline constexpr int MinSimCount = 5;
inline constexpr int MaxSimCount = 100;

// The edit's text as atol reads it (leading blanks, a sign, digits; 0 when
// there is no number), saturated to the 32-bit range: what the window
// stores when it closes.
int32_t readCount(std::string_view text);
// The matches per enemy of a run: readCount clamped to 5..100.
int simulationCount(std::string_view text);

// ---- Own AK ------------------------------------------------------------------

// An AK fit to fight: a pilot name and a machine value above 0. Otherwise
// the AK is destroyed or its pilot dead (message 41010).
bool fitToFight(const TArmoredKnight& ak);

// The summary lines of the own AK's memo: the name, the record and reaction,
// the value, cash and movement, an empty line, the six weapon slots, an
// empty line, and the file.
modes::Lines akSummary(const TArmoredKnight& ak, std::string_view path);

// The start button's rule: the own AK is set, (a result file is named or
// log output is off) and there is an enemy.
bool startAllowed(bool ownSet, std::string_view resultText, const GameSettings& settings, size_t enemies);

// Two paths equal without regard to the case of their ASCII letters (the
// second byte of a double-byte character is never folded).
bool samePath(std::string_view a, std::string_view b);

// ---- Enemy list --------------------------------------------------------------

// What the enemy list view shows of an enemy: the pilot name and the value
// of the AK list row it was taken from.
struct EnemyShown {
    std::string Pilot;
    std::string Value;
};

enum EnemyColumn : int { EnemyColPilot = 0, EnemyColValue = 1, EnemyColumnCount = 2 };

// The enemies: the entrant list the run works on (paths with their rows)
// and, in step with it, what the list view shows.
class EnemyList {
public:
    modes::EntrantList& entrants() { return entrants_; }
    const modes::EntrantList& entrants() const { return entrants_; }
    const std::vector<EnemyShown>& shown() const { return shown_; }
    size_t size() const { return entrants_.size(); }
    bool empty() const { return entrants_.empty(); }

    // True when `path` is an enemy already.
    bool contains(std::string_view path) const;

    // The AK list row `row` of `folder` becomes an enemy unless its path is
    // an enemy already or is the own AK's path; its row is zero-filled and
    // filled from the file's head (cmnMakeDigest2). True when added.
    bool add(std::string_view folder, const modes::AkRow& row, std::string_view ownPath);

    // Discards every enemy.
    void clear();

    // Removes the enemies at the given indices (any order, out-of-range and
    // repeated ones ignored), as if one after the other from the top.
    // Returns the index to select afterwards: the index the last one had
    // when it was removed (so the row that followed it), moved back onto
    // the last row when nothing followed; -1 when nothing was removed or
    // the list is empty.
    int remove(std::vector<int> indices);

    // A click on a column: the list is sorted by it ascending, or in the
    // reverse direction when it was the column sorted last. Pilot names
    // compare as unsigned bytes, values as numbers (atol); equal rows keep
    // their order.
    void sortBy(int column);

    // The start's clean-up: an enemy whose path is the own AK's is removed,
    // and every other row is zero-filled and filled again from the head of
    // its own file (the folder it was added from, which need not be the
    // current AK folder any more).
    void prepareForStart(std::string_view ownPath);

private:
    modes::EntrantList entrants_;
    std::vector<EnemyShown> shown_;
    int sortColumn_ = -1;
    bool descending_ = false;
};

// ---- Counting and bands ------------------------------------------------------

// Counts one match of the own AK (side 1) against an enemy (side 2) into
// the enemy's row, seen from the own AK: a win with the enemy's AK
// destroyed and pilot killed, a loss with the own AK destroyed and pilot
// killed, or a draw. A match without a result counts nothing.
void countMatch(EntryRecord& enemy, const modes::MatchOutcome& outcome);

// Stage := the win rate over the matches fought against the enemy
// (modes::computeWinRates). When all were fought that is Wins·100 /
// simulation count.
using modes::computeWinRates;

// The band of a win percentage: min(percent / 20, 4), 0 below 0.
int band(int32_t winPercent);

// The verdict line of a band: "-- ↑ <mark> ", dashes, the verdict; 78 bytes.
std::string verdictLine(int band);

// ---- Tables --------------------------------------------------------------------

// The entry table of the progress window: the event heading, the own AK's
// pilot and owner, and one row per enemy with its career figures.
modes::Lines entryTable(const ConfHeader& header, const GameSettings& settings, const TArmoredKnight& own,
                        const modes::EntrantList& enemies, const plat::clock::LocalTime& now);

// The result table that follows the entry table: two empty lines,
// "【結果】", the rows in `standings` order (modes::standings) grouped by
// band with each band's verdict line below its rows, the rule and the
// organiser and stadium line. No enemy: no row and no verdict line. An
// enemy whose AK file went missing during the run has no band: its row,
// marked, follows the last verdict line.
modes::Lines resultTable(const GameSettings& settings, const std::vector<const modes::Entrant*>& standings);

// ---- Run ---------------------------------------------------------------------------

// The run thread's work for one simulation.
class GauntletRun {
public:
    // The own AK is copied: the run never reads the set-up window's record.
    GauntletRun(modes::EntrantList& enemies, const TArmoredKnight& own, std::string ownPath,
                int simulationCount, GameSettings& settings, const ConfHeader& header, const MsgWords& words);

    // Called on the window thread after each match (SyncProgress).
    std::function<void(int done, int total)> onProgress;

    int total() const;

    // Applies the run settings and, for the length of the run, digest mode
    // 0 (the digest only at the end of the log, which is not written),
    // removes the temporary files a crash left in the results folder (told
    // to stop meanwhile, it returns without a match), then
    // for each enemy in list order loads its
    // AK, clears its counters and fights the simulation count of matches,
    // each from fresh copies of the two records, under one log name
    // (ResultFolder\dummy.txt). A match is fought to its end; after each, a
    // thread told to terminate returns at once without WM_GAMEDONE. After
    // the last one WM_GAMEDONE is posted. Battles counts the matches fought
    // against each enemy. An enemy whose AK file cannot be read any more
    // fights nothing and is marked absent (reported once): its matches
    // count as done, none as played.
    void Execute(modes::RunThread& thread);

private:
    modes::EntrantList& enemies_;
    std::unique_ptr<TArmoredKnight> own_;
    std::string ownPath_;
    int count_;
    GameSettings& settings_;
    const ConfHeader& header_;
    const MsgWords& words_;
};

} // namespace gauntlet
