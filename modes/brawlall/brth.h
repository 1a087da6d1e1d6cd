// The battle royal's run thread (TBRoyal): turn after turn the entrants
// move on the map and pair off, and every running fight plays one round
// on the one game processor, made current with its game context
// (RestoreGameContext … ProcessMatch … DisposeGameMessage). A fight keeps
// its own copy of the settings, both AKs, both combatant states and the
// game processor's weapon and comment snapshots. The winner of a fight
// stays on the map and carries its drain data and the output AK file the
// game processor wrote for it (modes::Entrant::nextAkFile) into its next
// fight; the loser and both sides of a draw leave the game.
//
// The thread writes the viewer script and changes the entrants' rows; what
// the progress window shows (status panels, memo lines, the list of fights,
// the map cells) is handed to the window thread through RunThread::post and
// arrives at the RoyalView there. Stopping leaves the running fights
// unfinished, and their cut logs take their names as the run ends
// (KeepOpenMatches); the script's end line and WM_GAMEDONE follow in every
// case but a stop on a fault (a file of the event not written, a second
// entrant's AK file not read: reported once, no table; the open fights
// leave no logs). A viewer script the disk did not take whole is such a
// fault: it is removed.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "modes/brawlall/brmap.h"
#include "modes/brawlall/viewer.h"
#include "modes/frame/entrants.h"
#include "modes/frame/match.h"
#include "modes/frame/runthread.h"
#include "modes/frame/tables.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brawl {

// What the run shows; every call arrives on the window thread.
struct RoyalView {
    std::function<void(int panel, const std::string& text)> status;
    std::function<void(const modes::Lines& lines)> memo;
    std::function<void()> scrollMemo;
    std::function<void(int fightNo, const std::string& caption, const std::string& text)> addFight;
    std::function<void(int fightNo)> removeFight;
    std::function<void(const CellPaint& paint)> paint;
    std::function<void()> refreshMap;
};

// One running fight: what the game processor keeps by pointer while the
// fight is current, and its snapshots between its rounds. Allocated at its
// start and never moved until it ends.
struct RoyalFight {
    int Number = 0;          // from 0
    uint8_t LastResult = 0;  // ProcessMatch's last result
    GameSettings Settings{}; // the fight's own environment
    std::string Log;         // ResultFolder\bt_nnn.txt
    TArmoredKnight Ak[2]{};
    modes::CombatantSlot State[2]{};
    TAkWeapon Weapons[2][WeaponSlotCount]{};
    TAkComment Comments[2][WeaponSlotCount]{};
    int Entrant[2] = {0, 0}; // EntrantNo of side 1 and side 2
};

class TBRoyal {
public:
    // `map` is the set-up window's map as placed; the run works on a copy.
    TBRoyal(modes::EntrantList& entrants, const BrMap& map, GameSettings& settings, const ConfHeader& header,
            const MsgWords& words);
    ~TBRoyal();
    TBRoyal(const TBRoyal&) = delete;
    TBRoyal& operator=(const TBRoyal&) = delete;

    RoyalView& view() { return *view_; }

    // TBRoyal.Execute: the run settings, the memo's blank lines, the old
    // outputs deleted, the viewer script's header, the turns until nothing
    // goes on or the thread is told to stop, the fights left open kept as
    // they are, then "End:" and WM_GAMEDONE.
    // A thread told to stop while the old outputs are deleted returns at
    // once: nothing of the run was written, no table follows.
    void Execute(modes::RunThread& thread);

    // What the run got to (read after it ended).
    int turnsPlayed() const { return turn_ - 1; }
    int fightsStarted() const { return nextFight_; }
    int fightsFinished() const { return finished_; }
    int fightsRunning() const;
    const BrMap& map() const { return map_; }

private:
    bool prepare();
    void run();
    void StepRoyalFights();
    void StartRoyalFight(int a, int b);
    void stepFight(RoyalFight& fight);
    void EndRoyalFight(RoyalFight& fight);
    void leaveUnloaded(int a, int b, const bool loaded[2]);
    void checkScript();
    void paintEntrant(int entrantNo);
    RoyalEntryRecord& row(int entrantNo) const;
    void post(std::function<void(RoyalView&)> call);
    bool stopped() const;

    modes::EntrantList& entrants_;
    BrMap map_;
    GameSettings& settings_;
    const ConfHeader& header_;
    const MsgWords& words_;
    std::shared_ptr<RoyalView> view_;
    modes::RunThread* thread_ = nullptr;
    ViewerScript script_;
    std::vector<std::unique_ptr<RoyalFight>> fights_; // by the lower EntrantNo of the pair
    int turn_ = 1;
    int nextFight_ = 0;
    int finished_ = 0;
    bool fightStepped_ = false;
};

} // namespace brawl
