// Standings order and progress text.
#include "modes/frame/standings.h"

#include "modes/frame/textfmt.h"

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

void sortStandings(std::vector<EntryRecord*>& rows) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const EntryRecord* a, const EntryRecord* b) { return CompareStandings(*a, *b) < 0; });
}

std::string progressText(int done, int total) {
    return format("%d/%d", done, total);
}

} // namespace modes
