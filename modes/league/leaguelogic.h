// The league (round robin) without its windows: the shuffle of the entrant
// list, the pairing and the match logs, the counting of a match's outcome,
// the win rates and standings, the entry table and the result table of the
// result file, and the run thread's event loop (TLeague's Execute).
//
// Every entrant meets every later one once: entrant i (side 1, its file as
// it was at the start of its row) against i+1 .. n-1 in list order, the log
// "lg_<i+1>_<j+1>.txt" (three digits each) in the results folder.
#pragma once

#include "base/confrecords.h"
#include "modes/frame/entrants.h"
#include "modes/frame/match.h"
#include "modes/frame/outputs.h"
#include "modes/frame/runthread.h"
#include "modes/frame/standings.h"
#include "modes/frame/tables.h"
#include "platform/clock.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace league {

// n·(n−1)/2; 0 for fewer than two entrants.
int matchCount(int entrants);

// The pairs (i, j), i < j, in playing order (0-based).
std::vector<std::pair<int, int>> pairings(int entrants);

// resultFolder + '\' + "lg_%03d_%03d.txt" of the 1-based positions.
std::string logName(std::string_view resultFolder, int first, int second);

// The set-up window's shuffle: n times an index b := random() mod (entries
// left in the old list) is drawn, and entry b moves to the end of the new
// list. `random` gives the runtime's general random numbers (0..32767).
void shuffleEntrants(modes::EntrantList& list, const std::function<int()>& random);

// Counts a match between `first` (side 1) and `second` (side 2): the win
// and loss, the opponents' AK destroyed and pilot killed to the winner and
// as own losses to the loser; a draw to both; nothing for no result.
void countResult(EntryRecord& first, EntryRecord& second, const modes::MatchOutcome& outcome);

// Deletes every "lg_*.*" file of the results folder and the temporary
// files a crash left there (a league writes no output AK files). False
// when `step` stopped it.
bool deleteLeagueLogs(std::string_view resultFolder, const modes::CleanupStep& step = {});

// The entry table of the progress window (no counter is reset here).
modes::Lines entryTable(const ConfHeader& header, const GameSettings& settings,
                        const modes::EntrantList& entrants, const plat::clock::LocalTime& now);

// Stage := the win rate over the matches the entrant played
// (modes::computeWinRates). When every match was played that is
// Wins·100/(n−1).
using modes::computeWinRates;

// The result table that follows the entry table: two empty lines,
// "【結果】", the rows in `standings` order (modes::standings: an entrant
// whose AK file went missing during the run comes last, marked), the rule
// and the organiser and stadium line.
modes::Lines resultTable(const GameSettings& settings, const std::vector<const modes::Entrant*>& standings);

// The run thread's work for one league.
class LeagueRun {
public:
    LeagueRun(modes::EntrantList& entrants, GameSettings& settings, const ConfHeader& header,
              const MsgWords& words);

    // Called on the window thread after each match (SyncProgress).
    std::function<void(int done, int total)> onProgress;

    // Resets the career counters shown in the entry table (Battles, Wins,
    // Destroyed), applies the run settings, deletes the old league logs and
    // plays every pairing; Battles then counts each entrant's matches
    // played. An entrant whose AK file cannot be read any more is reported
    // once and marked absent: its matches from then on are not played and
    // count for nobody (they still count as done for the progress). A
    // thread told to terminate returns without WM_GAMEDONE: while the old
    // logs are deleted, before any match; else after the match in progress,
    // which is played to its end and counted. After the last match
    // WM_GAMEDONE is posted.
    void Execute(modes::RunThread& thread);

private:
    modes::EntrantList& entrants_;
    GameSettings& settings_;
    const ConfHeader& header_;
    const MsgWords& words_;
};

} // namespace league
