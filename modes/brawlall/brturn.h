// One turn of the battle royal on the map, without the game processor:
// every free entrant, in order of its AK's reaction, looks for the nearest
// opponent by the marks of its lists (enemies, else the unaligned, else its
// allies; never its friends), steps one cell towards it and pairs with it
// when they stand orthogonally next to each other.
//
// The board works on the entrants' rows (indexed by EntrantNo = place in
// the list) and on the run's copy of the map; what it changes on the map
// and the steps it takes are told to a listener.
#pragma once

#include "modes/brawlall/brmap.h"
#include "modes/frame/entrants.h"

#include <functional>
#include <utility>
#include <vector>

namespace brawl {

struct TurnListener {
    // A step was tried: the change of X and Y (0, 0 when blocked).
    std::function<void(int entrantNo, int dx, int dy)> moved;
    // A cell of the map changed.
    std::function<void(const CellPaint&)> paint;
};

struct Target {
    int Index = -1;   // EntrantNo of the target; -1 none
    int Distance = 0; // dx² + dy² in cells
};

class RoyalBoard {
public:
    RoyalBoard(modes::EntrantList& entrants, BrMap& map) : entrants_(entrants), map_(map) {}

    int size() const { return static_cast<int>(entrants_.size()); }
    RoyalEntryRecord* row(int i) const;
    bool inGame(int i) const;
    bool fighting(int i) const;

    // EntrantNos by Reaction, highest first; equal reactions in list order.
    std::vector<int> turnOrder() const;

    // The target of entrant s in up to three passes over the other
    // entrants in the game, in `order`: those matching s's EnemyList; else
    // the unaligned (matching none of its enemy, friend and ally lists);
    // else those matching its AllyList. Within a pass the nearest free one
    // wins (a later one on a tie); when all are fighting, the last of them.
    Target FindNearestOpponent(int s, const std::vector<int>& order) const;

    // One cell towards the target along the longer axis first (X on a
    // tie), else along the other; a cell is free when empty or held by an
    // entrant out of the game. Returns the change of X and Y.
    std::pair<int, int> StepTowardTarget(int s, int target, const TurnListener& listener);

    // Pairs s with the target unless the target is already fighting.
    bool formPair(int s, int target, int turn);

    // One turn; true while anything is still going on (someone fights or a
    // free entrant has a target). `changed` tells whether a step moved
    // someone or a pair was formed.
    bool MoveRoyalEntrants(int turn, const TurnListener& listener, bool* changed = nullptr);

    // The paint of a cell as it stands (label and colour of its entrant).
    CellPaint paintOf(int x, int y) const;

private:
    bool matchesAnyKnown(const RoyalEntryRecord& s, const RoyalEntryRecord& c) const;

    modes::EntrantList& entrants_;
    BrMap& map_;
};

} // namespace brawl
