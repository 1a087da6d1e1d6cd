// Standings order and progress text.
#include "modes/frame/standings.h"

#include "base/sjis.h"
#include "modes/frame/tables.h"
#include "modes/frame/textfmt.h"
#include "sjis/frame_text.h"

#include <algorithm>

namespace modes {

namespace {

int order(int32_t x, int32_t y) {
    return x < y ? -1 : x > y ? 1 : 0;
}

} // namespace

int CompareStandings(const EntryRecord& a, const EntryRecord& b) {
    // Copies: the rows are packed.
    const int32_t keys[6][2] = {{b.Wins, a.Wins},
                                {a.Losses, b.Losses},
                                {b.Destroyed, a.Destroyed},
                                {b.Kills, a.Kills},
                                {a.OwnAkDestroyed, b.OwnAkDestroyed},
                                {a.OwnPilotKilled, b.OwnPilotKilled}};
    for (const auto& k : keys)
        if (int c = order(k[0], k[1])) return c;
    return 0;
}

void computeWinRates(EntrantList& entrants) {
    for (Entrant& e : entrants) {
        EntryRecord* row = e.row();
        if (!row) continue;
        int32_t wins = row->Wins, played = row->Battles;
        row->Stage = played > 0 ? wins * 100 / played : 0;
    }
}

std::vector<const Entrant*> standings(const EntrantList& entrants) {
    std::vector<const Entrant*> ranked, absent;
    for (const Entrant& e : entrants)
        if (e.row()) (e.Absent ? absent : ranked).push_back(&e);
    std::stable_sort(ranked.begin(), ranked.end(), [](const Entrant* a, const Entrant* b) {
        return CompareStandings(*a->row(), *b->row()) < 0;
    });
    ranked.insert(ranked.end(), absent.begin(), absent.end());
    return ranked;
}

std::string standingRow(const GameSettings& settings, const Entrant& entrant, int place) {
    const EntryRecord& row = *entrant.row();
    std::string placeText = entrant.Absent ? std::string(text::AbsentMark) : std::to_string(place);
    std::string owner = tableName(settings, sjis::readField(row.OwnerName), 16);
    std::string pilot = tableName(settings, sjis::readField(row.PilotName), 16);
    int32_t value = row.MachineValue, wins = row.Wins, losses = row.Losses, draws = row.Draws;
    int32_t rate = row.Stage, destroyed = row.Destroyed, kills = row.Kills;
    int32_t ownAk = row.OwnAkDestroyed, ownPilot = row.OwnPilotKilled;
    return format(text::StandingRow, placeText.c_str(), owner.c_str(), pilot.c_str(), value, wins, losses,
                  draws, rate, destroyed, kills, ownAk, ownPilot);
}

std::string progressText(int done, int total) {
    return format("%d/%d", done, total);
}

} // namespace modes
