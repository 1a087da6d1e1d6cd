// Targeting and movement of one battle royal turn.
#include "modes/brawlall/brturn.h"

#include "base/sjis.h"

#include <algorithm>
#include <cstdlib>

namespace brawl {

namespace {

int sign(int v) {
    return (v > 0) - (v < 0);
}

} // namespace

RoyalEntryRecord* RoyalBoard::row(int i) const {
    if (i < 0 || i >= size()) return nullptr;
    return entrants_[static_cast<size_t>(i)].royal();
}

bool RoyalBoard::inGame(int i) const {
    const RoyalEntryRecord* r = row(i);
    return r && r->OutStatus == -1;
}

bool RoyalBoard::fighting(int i) const {
    const RoyalEntryRecord* r = row(i);
    return r && r->FightTurn > 0;
}

std::vector<int> RoyalBoard::turnOrder() const {
    std::vector<int> order;
    for (int i = 0; i < size(); ++i)
        if (row(i)) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        int32_t ra = row(a)->Reaction, rb = row(b)->Reaction;
        return ra > rb;
    });
    return order;
}

bool RoyalBoard::matchesAnyKnown(const RoyalEntryRecord& s, const RoyalEntryRecord& c) const {
    // Each list is matched on its own, so an odd-length list never pairs
    // its last byte with the first byte of the next one.
    std::string_view mark = sjis::readField(c.Mark);
    return markListMatches(sjis::readField(s.EnemyList), mark) ||
           markListMatches(sjis::readField(s.FriendList), mark) ||
           markListMatches(sjis::readField(s.AllyList), mark);
}

Target RoyalBoard::FindNearestOpponent(int s, const std::vector<int>& order) const {
    const RoyalEntryRecord* self = row(s);
    if (!self) return {};
    const int32_t sx = self->X, sy = self->Y;
    enum Pass { Enemies, Neutrals, Allies };
    for (Pass pass : {Enemies, Neutrals, Allies}) {
        std::string_view list;
        if (pass == Enemies) list = sjis::readField(self->EnemyList);
        if (pass == Allies) list = sjis::readField(self->AllyList);
        Target freeBest, lastFighting;
        for (int c : order) {
            if (c == s || !inGame(c)) continue;
            const RoyalEntryRecord& other = *row(c);
            bool candidate = pass == Neutrals ? !matchesAnyKnown(*self, other)
                                              : markListMatches(list, sjis::readField(other.Mark));
            if (!candidate) continue;
            int32_t dx = other.X - sx, dy = other.Y - sy;
            int distance = dx * dx + dy * dy;
            if (fighting(c)) {
                lastFighting = {c, distance};
            } else if (freeBest.Index < 0 || distance <= freeBest.Distance) {
                freeBest = {c, distance};
            }
        }
        if (freeBest.Index >= 0) return freeBest;
        if (lastFighting.Index >= 0) return lastFighting;
    }
    return {};
}

std::pair<int, int> RoyalBoard::StepTowardTarget(int s, int target, const TurnListener& listener) {
    RoyalEntryRecord& self = *row(s);
    const RoyalEntryRecord& goal = *row(target);
    const int x = self.X, y = self.Y;
    map_.setCellValue(x, y, 0);
    const int dx = goal.X - x, dy = goal.Y - y;
    const int sx = sign(dx), sy = sign(dy);
    std::pair<int, int> tries[2];
    if (std::abs(dx) < std::abs(dy)) {
        tries[0] = {x, y + sy};
        tries[1] = {x + sx, y};
    } else {
        tries[0] = {x + sx, y};
        tries[1] = {x, y + sy};
    }
    int nx = x, ny = y;
    for (const auto& [tx, ty] : tries) {
        if (!map_.onMap(tx, ty)) continue;
        int32_t holder = map_.cell(tx, ty);
        if (holder == 0 || !inGame(holder - 1)) {
            nx = tx;
            ny = ty;
            break;
        }
    }
    self.X = nx;
    self.Y = ny;
    map_.setCellValue(nx, ny, s + 1);
    if ((nx != x || ny != y) && listener.paint) {
        listener.paint(paintOf(x, y));
        listener.paint(paintOf(nx, ny));
    }
    return {nx - x, ny - y};
}

bool RoyalBoard::formPair(int s, int target, int turn) {
    if (fighting(target)) return false;
    RoyalEntryRecord& a = *row(s);
    RoyalEntryRecord& b = *row(target);
    b.FightTurn = turn;
    b.Opponent = s;
    a.FightTurn = turn;
    a.Opponent = target;
    return true;
}

bool RoyalBoard::MoveRoyalEntrants(int turn, const TurnListener& listener, bool* changed) {
    bool result = false;
    bool change = false;
    const std::vector<int> order = turnOrder();
    for (int s : order) {
        if (fighting(s)) {
            result = true;
            continue;
        }
        if (!inGame(s)) continue;
        Target target = FindNearestOpponent(s, order);
        if (target.Index < 0) continue;
        result = true;
        if (target.Distance != 1) {
            auto [mx, my] = StepTowardTarget(s, target.Index, listener);
            if (listener.moved) listener.moved(s, mx, my);
            if (mx != 0 || my != 0) change = true;
            target = FindNearestOpponent(s, order);
        }
        if (target.Index >= 0 && target.Distance == 1 && formPair(s, target.Index, turn)) change = true;
    }
    if (changed) *changed = change;
    return result;
}

CellPaint RoyalBoard::paintOf(int x, int y) const {
    CellPaint paint;
    paint.X = x;
    paint.Y = y;
    int32_t holder = map_.cell(x, y);
    const RoyalEntryRecord* r = holder > 0 ? row(holder - 1) : nullptr;
    if (!r) return paint;
    paint.Empty = false;
    paint.Label = markLabel(*r, holder - 1);
    paint.Colour = MarkColour(*r);
    return paint;
}

} // namespace brawl
