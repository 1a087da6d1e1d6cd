// The team battle without its windows: the two teams and their slots, the
// registration of AKs into slots (the cursor, "全登録" with its shuffle, the
// board's hit zones), the entry lists of both teams, the entry table and
// the result tables of the result file, the bout lines drawn on the board
// after a run, and the run thread's event loop (TTeam's Execute and
// RunTeamMatch).
//
// Two teams of n slots (n ≥ 3) meet bout by bout. One bout each: the next
// members of both teams meet, then both teams move on. Winner stays
// (option 43): after a bout with a winner only the loser's team moves on,
// and the winner fights its next bout with the output AK data file the
// game processor wrote for it in its last won bout.
#pragma once

#include "base/confrecords.h"
#include "core/queue.h"
#include "modes/frame/entrants.h"
#include "modes/frame/match.h"
#include "modes/frame/outputs.h"
#include "modes/frame/runthread.h"
#include "modes/frame/tables.h"
#include "platform/clock.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace teamfight {

inline constexpr int MinTeamSize = 3;
inline constexpr int NoSide = 2;

// One bout of a run as the run decided it: the slots of the two members,
// the side that won (NoSide for a draw or no winner) and whether it was won
// by walkover (the other side could not appear).
struct Bout {
    int Slot[2] = {0, 0};
    int Winner = NoSide;
    bool Walkover = false;
    bool operator==(const Bout&) const = default;
};

// The two teams. A slot is an entrant of the frame: the AK file's path and
// its zero-filled row, or an empty path without a row. Team 0 is drawn on
// the left, team 1 on the right.
struct Teams {
    std::array<modes::EntrantList, 2> Side;
    // The bouts of the last run, in order (written by the run thread, read
    // by the windows once it is over).
    std::vector<Bout> Bouts;

    int size() const { return static_cast<int>(Side[0].size()); }
    // Both teams become n empty slots (the old rows are freed), no bouts.
    void reset(int n);
    bool filled(int team, int slot) const;
    // The non-empty paths of a team in slot order.
    std::vector<std::string> paths(int team) const;
    // The entrants of both teams, team 0 first, empty slots left out, as
    // paths without rows (for the weapon-data check).
    modes::EntrantList checkList() const;
};

struct SlotRef {
    int Team = 0;
    int Slot = 0;
    bool operator==(const SlotRef&) const = default;
};

// ---- The board picture ---------------------------------------------------------

inline constexpr int BoardWidth = 460;
inline constexpr int BoardTop = 10;
inline constexpr int SlotHeight = 24;
// Team 0 is hit at x ≤ 187, team 1 at x ≥ 271; the band between is no team.
inline constexpr int Team0ZoneEnd = 187;
inline constexpr int Team1ZoneStart = 271;
// Where a slot's texts are drawn: the owner and the pilot of each team.
inline constexpr int OwnerX[2] = {4, 272};
inline constexpr int PilotX[2] = {90, 358};
inline constexpr int OwnerBytes = 14;
inline constexpr int PilotBytes = 20;
// The bout lines run from x 190 (team 0) to x 265 (team 1).
inline constexpr int LineX[2] = {190, 265};

int boardHeight(int n);
// The slot under a point of the board, or none (the band between the teams,
// above the first slot, below the last).
std::optional<SlotRef> slotAt(int n, int x, int y);
// The y of a slot's texts and of its bout-line end.
inline int slotTextY(int slot) {
    return BoardTop + SlotHeight * slot;
}
inline int slotLineY(int slot) {
    return SlotHeight * slot + 15;
}

// ---- Registration ---------------------------------------------------------------

// The registration cursor and what the set-up window does with the slots.
class Registration {
public:
    explicit Registration(Teams& teams) : teams_(teams) {}

    // "決定": both teams n empty slots, cursor on team 0 slot 0, open.
    void decide(int n);
    bool isOpen() const { return open_; }
    void setOpen(bool open) { open_ = open; }
    bool hasBoard() const { return teams_.size() > 0; }

    SlotRef cursor() const { return cursor_; }
    void setCursor(SlotRef slot) { cursor_ = slot; }

    // The AK folder + '\' + file into a slot (its row refilled from the
    // file's head); true when it went in. The game processor names a side's
    // output AK file after the input's file name without its extension, so
    // two slots of one such stem would overwrite each other's output: the
    // same file standing in another slot moves here (that slot becomes
    // empty), while another file of a stem that stands in another slot
    // (either team, any folder, ASCII case ignored) is refused, as "全登録"
    // and the other modes pass it over. False also for a slot not on the
    // board.
    bool put(SlotRef slot, std::string_view folder, std::string_view file);
    // Double click or Enter in the AK list: a cursor past the team's last
    // slot moves to slot 0 of the other team; the AK goes into the cursor
    // slot, and the cursor moves to the next slot (it stays when put
    // refused the AK).
    bool putAtCursor(std::string_view folder, std::string_view file);
    // "左に全登録" / "右に全登録": the team's rows are freed; files whose
    // stem stands in the other team, or repeats the stem of a file taken
    // before it, are passed over; the first min(n, files left) files
    // become rows, drawn in random order (each time an index random() mod
    // the rows left is taken out and appended) into the team's slots from
    // slot 0; the other slots stay empty. The files passed over before the
    // last one taken, in list order.
    std::vector<std::string> registerAll(int team, std::string_view folder,
                                         const std::vector<std::string>& files,
                                         const std::function<int()>& random);
    // "（不在）に戻す": the slot at `point` or, when the point lies on no
    // slot, the slot before the cursor (before slot 0 comes the other
    // team's last slot), where the cursor then stays. True when a slot with
    // an AK was emptied.
    bool undo(std::optional<SlotRef> point);

private:
    Teams& teams_;
    SlotRef cursor_;
    bool open_ = false;
};

// True when two AK files (paths or bare file names) have one stem, the
// file name without its extension, compared as the system compares file
// names (ASCII case ignored): their output AK files would share a name.
bool sameStem(std::string_view a, std::string_view b);

// ---- Start ------------------------------------------------------------------------

// Refills every row from its AK file's head, so that a second run starts
// from the files as they are now with fresh counters.
void refreshRows(Teams& teams);

// SetEnvironment and OutputEntryList for each team into the results
// folder's "teamentry1.txt" and "teamentry2.txt" (empty slots left out).
// False when a list could not be written (modes::writeEntryListFile): the
// battle does not start.
bool writeTeamEntryLists(GameSettings& settings, const ConfHeader& header, const Teams& teams,
                         cv::GameMessageBuffer* buffer);

// Deletes the output AK files of an earlier run (every ".da1" to ".da98"
// file of the AK output folder, ak::isOutputAkName), its bout logs
// (results folder "rw_*.*") and in both folders the temporary files a
// crash left. A file that is itself a member's AK file is never deleted.
// When the output folder is also a member's input folder, only output AK
// files named after a member are deleted there: the others are AK files of
// players outside the event. False when `step` stopped it.
bool clearOldOutputs(std::string_view akOutputFolder, std::string_view resultFolder, const Teams& teams,
                     const modes::CleanupStep& step = {});

// ---- Tables -----------------------------------------------------------------------

// A number in full-width digits.
std::string fullWidth(int value);

// The entry table of the progress window: the heading with the battle's
// style, then each team's members with a running number. After its row a
// member's Stage := 0 and Draws := 2 (has not fought).
modes::Lines entryTable(const ConfHeader& header, const GameSettings& settings, Teams& teams,
                        const plat::clock::LocalTime& now);

// Reads the AK file of every member that never fought again, for the
// machine value and the total credits of the result tables (a file that
// cannot be read leaves the row as it was).
void refreshNeverFought(Teams& teams);

// The result tables (winner stays with option 43, else one bout each),
// the closing line and the organiser and stadium line. `finalIndex` is
// where the run left each team's member index. One bout each: a member
// that won its bout by walkover (Teams::Bouts) is a win and a walkover win
// of its team, as a member left without an opponent is.
modes::Lines resultTables(const GameSettings& settings, const Teams& teams, std::array<int, 2> finalIndex);

// The bouts drawn on the board after a run, from the bouts the run
// recorded (a walkover winner, whose wins stay as they were, is still the
// winner): the slots of both ends and the display colour (1 team 0 won, 2
// team 1 won, 6 neither).
struct BoutLine {
    int Slot[2] = {0, 0};
    int Color = 6;
    bool operator==(const BoutLine&) const = default;
};
std::vector<BoutLine> boutLines(const Teams& teams);

// ---- Run -------------------------------------------------------------------------

// The 9-byte status text of a bout line: the end state cut to 9 bytes and
// filled with '-' (text first on the left team's side, dashes first on the
// right team's).
std::string statusText(std::string_view endState, bool textFirst);

// The run thread's work for one team battle.
class TeamRun {
public:
    TeamRun(Teams& teams, GameSettings& settings, const ConfHeader& header, const MsgWords& words);

    // Called on the window thread: memo lines, and the progress after a
    // bout (SyncProgress).
    std::function<void(const modes::Lines& lines)> onLines;
    std::function<void(int done, int total)> onProgress;

    // Applies the run settings, deletes the outputs of an earlier run and
    // plays the bouts while both teams have members left, recording each
    // in Teams::Bouts. A thread told to terminate returns without a bout
    // when that comes during the deleting, else after the bout in progress,
    // both without WM_GAMEDONE;
    // after the last bout WM_GAMEDONE is posted.
    void Execute(modes::RunThread& thread);

    // Where the run is: bouts played, each team's member index, the last
    // bout's winner and loser (NoSide for none). Read by the window thread
    // after WM_GAMEDONE.
    int boutNumber() const { return bout_; }
    std::array<int, 2> memberIndex() const { return index_; }
    int winner() const { return winner_; }

private:
    void RunTeamMatch(modes::RunThread& thread, modes::MatchSides& sides, const std::string& title);
    void show(modes::RunThread& thread, modes::Lines lines);
    EntryRecord& row(int team) { return *teams_.Side[team][index_[team]].row(); }

    Teams& teams_;
    GameSettings& settings_;
    const ConfHeader& header_;
    const MsgWords& words_;
    std::string akOutputFolder_;
    std::string resultFolder_;
    int bout_ = 0;
    std::array<int, 2> index_{0, 0};
    int winner_ = 0;
    int loser_ = 0;
};

} // namespace teamfight
