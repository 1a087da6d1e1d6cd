// The end narration (see endnarration.h).
#include "core/endnarration.h"

#include "base/sjis.h"
#include "core/emit.h"
#include "core/module.h"
#include "core/templates.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>

namespace cv {

namespace {

constexpr int AnnouncerTable = 1;

// Announcer lines by what they say.
enum EndLine : int {
    DrawLine = 25,
    TimeUpText = 26,
    MinutesUnder15 = 27,
    MinutesUnder4 = 28,
    MinutesUnder9 = 29,
    MinutesUnder21 = 30,
    MinutesUnder31 = 31,
    MinutesLonger = 32,
    WinnerAndLoser = 33,
    LoserKilled = 34,
    WinnerPrize = 35,
    FullCompensation = 36,
    RateCompensation = 37,
    BountyLine = 39,
    RepairShortfallCash = 40,
    RepairCash = 41,
    ShortfallCash = 42,
    CashOnly = 43,
    LoserPrize = 44,
    ClosingLine = 46,
    ImmobileText = 51,
};

std::string line(int n, std::initializer_list<std::string_view> slots = {}) {
    return ExpandMessageSlots(TemplateLine(AnnouncerTable, n), slots);
}

const TArmoredKnight& akOf(int side) {
    return *Module().Ak[side];
}

const CombatantState& stateOf(int side) {
    return *Module().State[side];
}

std::string owner(int side) {
    return std::string(sjis::readField(akOf(side).Owner.Name));
}

std::string fullName(int side) {
    return std::string(sjis::readField(stateOf(side).PilotNameFull));
}

int minutesLine(int32_t minutes) {
    return minutes < 4    ? MinutesUnder4
           : minutes < 9  ? MinutesUnder9
           : minutes < 15 ? MinutesUnder15
           : minutes < 21 ? MinutesUnder21
           : minutes < 31 ? MinutesUnder31
                          : MinutesLonger;
}

// The compensation of a side's damage: the loss of machine value and the
// repair cost, in full or at the rate; nothing without a rate or a loss.
std::string compensation(int side) {
    const CombatantState& s = stateOf(side);
    int32_t rate = Settings().CompensationRate;
    int32_t value = s.MachineValue, current = s.CurrentMachineValue, repair = s.RepairCost;
    int64_t damage = int64_t{value} - current + repair;
    if (rate <= 0 || damage <= 0) return {};
    if (rate < 100) return line(RateCompensation, {FullWidth(rate), FullWidth(damage * rate / 100)});
    return line(FullCompensation, {FullWidth(damage)});
}

void speak(GameMessageBuffer& buffer, const std::string& text, std::string_view speaker, int about) {
    Narrate(buffer, text, speaker, static_cast<uint32_t>(about + 1));
}

} // namespace

std::string MoneyLine(int side) {
    side = side == 1 ? 1 : 0;
    const GameSettings& gs = Settings();
    const CombatantState& s = stateOf(side);
    int32_t minimum = gs.MinCompensationCr, shortfall = s.RepairShortfall, cash = akOf(side).Cash;
    int32_t repair = s.RepairCost, value = s.CurrentMachineValue;
    if (repair < 1 && shortfall < 1) return line(CashOnly, {FullWidth(cash)});
    if (repair < 1) return line(ShortfallCash, {FullWidth(minimum), FullWidth(shortfall), FullWidth(cash)});
    if (shortfall < 1) return line(RepairCash, {FullWidth(repair), FullWidth(cash)});
    return line(RepairShortfallCash, {FullWidth(repair), FullWidth(value), FullWidth(minimum),
                                      FullWidth(shortfall), FullWidth(cash)});
}

void EndNarration(GameMessageBuffer& buffer, int32_t minutes, int winner, int loser) {
    const ModuleState& m = Module();
    if (!m.Ak[0] || !m.Ak[1] || !m.State[0] || !m.State[1]) return;
    winner = winner == 1 ? 1 : 0;
    loser = loser == 1 ? 1 : 0;
    GameSettings& gs = Settings();
    buffer.CurrentKind = KindAnnouncer;
    size_t width = 4;
    for (int side = 0; side < 2; ++side)
        width = std::max(width, sjis::readField(stateOf(side).PilotLabel).size());
    gs.NameWidth = static_cast<int32_t>(width);
    std::string announcer(sjis::readField(gs.AnnouncerLabel));
    int32_t result = gs.Result;
    bool draw = result == 2;
    int32_t rate = gs.CompensationRate;

    // How the match went.
    std::string text;
    if (draw) {
        std::string how = gs.TimeUpDecision != 0 ? line(TimeUpText)
                          : gs.ImmobileDraw != 0 ? line(ImmobileText)
                                                 : std::string();
        text = line(DrawLine, {FullWidth(minutes), how});
    } else {
        text = line(minutesLine(minutes), {FullWidth(minutes)});
        text += line(WinnerAndLoser, {owner(winner), fullName(winner), owner(loser), fullName(loser)});
        if (stateOf(loser).PilotKilled != 0) text += line(LoserKilled, {fullName(loser)});
    }
    speak(buffer, text, announcer, winner);

    // The winner's money.
    int32_t prize = draw ? gs.LoserCr : gs.WinnerCr;
    text = line(WinnerPrize, {fullName(winner), owner(winner), FullWidth(prize)});
    text += compensation(winner);
    if (Option(OptBountyMatch) && !draw) {
        int32_t bounty = stateOf(loser).Bounty;
        text += line(BountyLine, {FullWidth(bounty)});
    }
    if (rate < 100) text += MoneyLine(winner);
    speak(buffer, text, {}, winner);

    // The loser's money.
    int32_t loserPrize = gs.LoserCr;
    text = line(LoserPrize, {fullName(loser), owner(loser), FullWidth(loserPrize)});
    text += compensation(loser);
    if (rate < 100) text += MoneyLine(loser);
    speak(buffer, text, {}, loser);

    if (!draw) speak(buffer, line(ClosingLine, {fullName(winner)}), announcer, winner);
}

} // namespace cv
