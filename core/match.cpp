// Setting up, starting and playing a match.
#include "core/match.h"

#include "base/sjis.h"
#include "core/dice.h"
#include "core/module.h"
#include "core/round.h"
#include "core/rules.h"
#include "core/templates.h"

#include <algorithm>

namespace cv {

void SetAkData(TArmoredKnight& ak1, TArmoredKnight& ak2, CombatantState& s1, CombatantState& s2) {
    ModuleState& m = Module();
    GameSettings& gs = Settings();
    m.Ak[0] = &ak1;
    m.Ak[1] = &ak2;
    m.State[0] = &s1;
    m.State[1] = &s2;
    for (int side = 0; side < 2; ++side) {
        TArmoredKnight& ak = *m.Ak[side];
        CombatantState& s = *m.State[side];
        InitCombatant(s, ak, side);
        int32_t matchData = ak.hasMatchData;
        if (matchData == 1) {
            if (ParseDrainData(s)) {
                gs.ResumeRound = s.ResumeRound;
                gs.DistanceBand = s.ResumeDistanceBand;
            }
        } else {
            for (TAkWeapon& w : ak.Weapon) w.ArmorLeft = w.ArmorValue;
        }
        RoundDerivedValues(ak, s);
    }
    size_t width = 4;
    for (int side = 0; side < 2; ++side)
        width = std::max(width, sjis::readField(m.State[side]->PilotLabel).size());
    gs.NameWidth = static_cast<int32_t>(width);
    SetupPlaceholderTables(m.Ak, m.State, 2);
    if (Option(OptRebuy) || !Option(OptAutoProcess)) {
        for (int side = 0; side < 2; ++side) {
            for (int k = 0; k < WeaponSlotCount; ++k) {
                m.Snapshot[side].Weapon[k] = m.Ak[side]->Weapon[k];
                m.Snapshot[side].Comment[k] = m.Ak[side]->Comments[k];
            }
        }
    }
}

void StartMatch(GameMessageBuffer& buffer, std::string_view title) {
    ResetMatchCounters(buffer);
    StartFirstRound(title);
}

void ResetMatchCounters(GameMessageBuffer& buffer) {
    GameSettings& gs = Settings();
    EmptyQueue(buffer);
    // A match that ends without a decision (both immobile, a hold) books a
    // draw, never the result the record still holds from the match before.
    gs.Result = 2;
    if (!Option(OptAppendLog)) {
        gs.RoundCounter = 0;
        gs.ImmobileDraw = 0;
        gs.TimeUpDecision = 0;
    }
}

void StartFirstRound(std::string_view title) {
    GameSettings& gs = Settings();
    sjis::writeField(gs.MatchTitle, title);
    if (!Option(OptAppendLog)) {
        gs.ResumeRound = 0;
        gs.DistanceBand = 0;
    }
    int32_t resume = gs.ResumeRound, mark = gs.RoundMark;
    gs.RoundCounter = resume >= 1 ? resume : mark != 0 ? mark : 1;
    Module().RoundsThisMatch = 0;
    if (Option(Opt10) && Option(Opt24) && !Option(OptImmobileDraw))
        gs.DistanceBand = gs.StartDistanceBand;
    else
        gs.DistanceBand = GeneralRandom() % 9 + 1;
}

MatchEnd PlayMatch(GameMessageBuffer& buffer, int32_t maxRounds,
                   const std::function<void(const GameMessageBuffer&)>& afterRound) {
    MatchEnd end;
    while (end.Rounds < maxRounds) {
        end.Code = ProcessMatch(buffer);
        ++end.Rounds;
        if (afterRound) afterRound(buffer);
        if (end.Code != RoundGoesOn) return end;
    }
    end.Code = RoundGoesOn;
    return end;
}

} // namespace cv
