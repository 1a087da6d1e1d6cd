// Booking a match's result on the AK records, and the end state of a side.
#include "core/result.h"

#include "base/akparams.h"
#include "base/sjis.h"
#include "core/module.h"
#include "core/templates.h"
#include "sjis/interface_text.h"

#include <string>

namespace cv {

namespace {

int32_t saturated(int64_t v) {
    return ak::saturate32(static_cast<double>(v));
}

// TotalCr and Cash move together.
void addMoney(TArmoredKnight& ak, int64_t amount) {
    int64_t total = ak.TotalCr, cash = ak.Cash;
    ak.TotalCr = saturated(total + amount);
    ak.Cash = saturated(cash + amount);
}

void addCount(int32_t& count, int64_t amount) {
    count = saturated(int64_t{count} + amount);
}

} // namespace

void UpdateAkRecords() {
    ModuleState& m = Module();
    if (!m.Ak[0] || !m.Ak[1] || !m.State[0] || !m.State[1]) return;
    const GameSettings& gs = Settings();
    const bool simulation = Option(OptSimulationMode);
    const int32_t result = gs.Result;
    const int32_t winnerCr = gs.WinnerCr, loserCr = gs.LoserCr;

    if (!simulation) {
        for (TArmoredKnight* ak : m.Ak) {
            int32_t battles = ak->Pilot.Battles;
            addCount(battles, 1);
            ak->Pilot.Battles = battles;
        }
    }

    if (result == 0 || result == 1) {
        TArmoredKnight& w = *m.Ak[result];
        TArmoredKnight& l = *m.Ak[1 - result];
        const CombatantState& ws = *m.State[result];
        const CombatantState& ls = *m.State[1 - result];
        int64_t bounty = Option(OptBountyMatch) ? int64_t{ls.Bounty} : 0;
        addMoney(w, int64_t{winnerCr} + bounty);
        addMoney(l, loserCr);
        if (!simulation) {
            int64_t d = int64_t{ls.MachineValue} - ws.MachineValue;
            if (d > 0) {
                int32_t wm = w.Team.Mctl, lm = l.Team.Mctl;
                w.Team.Mctl = saturated(wm + d);
                l.Team.Mctl = saturated(lm - d);
            }
            int32_t wins = w.Pilot.Wins;
            addCount(wins, 1);
            w.Pilot.Wins = wins;
            if (ls.AkDestroyed) {
                int32_t destroyed = w.Pilot.Destroyed;
                addCount(destroyed, 1);
                w.Pilot.Destroyed = destroyed;
            }
            if (ls.PilotKilled) {
                l.Pilot.Battles = 0;
                int32_t kills = w.Pilot.Kills;
                addCount(kills, 1);
                w.Pilot.Kills = kills;
            }
        }
    } else {
        for (TArmoredKnight* ak : m.Ak) {
            addMoney(*ak, loserCr);
            if (!simulation) {
                int32_t draws = ak->Pilot.Draws;
                addCount(draws, 1);
                ak->Pilot.Draws = draws;
            }
        }
    }

    SetupPlaceholderTables(m.Ak, m.State, 2);
    for (TArmoredKnight* ak : m.Ak) RefreshExperienceModifiers(*ak);
}

void RefreshExperienceModifiers(TArmoredKnight& ak) {
    std::string_view type = sjis::readField(ak.Sensor.Type);
    int64_t sensorBonus = type == "WC" || type == "LC" ? 10 : 0;
    int32_t reaction = ak.Reaction, level = ak.Computer.Level;
    int64_t common = int64_t{reaction / 4} + 3 * int64_t{level};
    int64_t attack = int64_t{ak.Sensor.Attack} + sensorBonus + ak.Computer.MdAttack + ak.Mover.Attack +
                     common + ak.Pilot.ExpAttack;
    int64_t defence = int64_t{ak.Frame.Evasion} + ak.Computer.MdDefence + ak.Sensor.Defence +
                      ak.Mover.Defence + common + ak.Pilot.ExpDefence;
    int64_t escape = int64_t{ak.Escape.EscapeBonus} + ak.Pilot.ExpEscape;
    ak.AttackMod = ak::wrap32(attack);
    ak.DefenceMod = ak::wrap32(defence);
    ak.EscapeMod = ak::wrap32(escape);
}

void ComputeEndState(CombatantState& s) {
    int32_t flags = 0;
    if (s.PilotKilled) {
        flags += EndDead;
    } else {
        if (s.Escaped) flags += EndEscaped;
        if (s.EscapeFailed) flags += EndTransferred;
    }
    if (s.SelfDestructed) flags += EndSelfDestruct;
    if (s.AkDestroyed) flags += EndExploded;
    s.EndStateFlags = flags;
}

void FormatEndStateText(CombatantState& s) {
    int32_t flags = s.EndStateFlags;
    std::string text;
    if (flags == -1) {
        text = ift::EndJudged;
    } else {
        if (flags & EndExploded)
            text += ift::EndExploded;
        else if (flags & EndSelfDestruct)
            text += ift::EndSelfDestruct;
        if (flags & EndDead)
            text += ift::EndDead;
        else if (flags & EndEscaped)
            text += ift::EndEscaped;
        else if (flags & EndTransferred)
            text += ift::EndTransferred;
    }
    sjis::writeField(s.EndStateText, text);
}

void SettleLoserEndState() {
    ModuleState& m = Module();
    int32_t result = Settings().Result;
    if (result != 0 && result != 1) return;
    CombatantState* loser = m.State[1 - result];
    if (!loser) return;
    ComputeEndState(*loser);
    FormatEndStateText(*loser);
}

} // namespace cv
