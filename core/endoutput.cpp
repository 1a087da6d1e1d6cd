// The end-of-match output: result lines, end narration line, record table,
// money lines and signature.
#include "core/endoutput.h"

#include "base/akparams.h"
#include "base/sjis.h"
#include "core/emit.h"
#include "core/formula.h"
#include "core/module.h"
#include "core/templates.h"
#include "sjis/endoutput_text.h"

#include <algorithm>
#include <string>

namespace cv {

namespace {

void addBlankLine(GameMessageBuffer& buffer) {
    if (GameMessageLine* last = LastLine(buffer)) last->BlankLinesAfter += 1;
}

void queue(GameMessageBuffer& buffer, std::string_view text) {
    QueueLine(buffer, buffer.CurrentKind, 0, text);
}

std::string_view partName(int32_t part) {
    static const char* const names[BodyPartCount] = {eot::Head,    eot::LeftArm,  eot::RightArm,
                                                     eot::LeftLeg, eot::RightLeg, eot::Body};
    return part >= 0 && part < BodyPartCount ? names[part] : "";
}

// The winner's turbo at the end: running, not started yet or stopped. A
// beam field is no turbo.
std::string_view turboPhrase(const TArmoredKnight& ak, const CombatantState& s) {
    std::string_view turbo = sjis::readField(ak.Turbo.Name);
    if (turbo.empty() || sjis::contains(turbo, eot::AntiBeamField)) return {};
    int32_t boost = s.ReactionBoost;
    return boost > 0 ? eot::TurboRunning : boost == 0 ? eot::TurboNotYet : eot::TurboStopped;
}

} // namespace

std::string MatchEndText() {
    const GameSettings& gs = Settings();
    int32_t result = gs.Result;
    std::string n = FormatText(eot::Minutes, FullWidth(gs.RoundCounter).c_str());
    if (gs.ImmobileDraw) {
        n += eot::BothImmobile;
        if (result == 2) n += eot::DrawAppendix;
        return n;
    }
    if (gs.TimeUpDecision) {
        n += eot::TimeUp;
        if (result == 2) n += eot::DrawAppendix;
        return n;
    }
    if (result == 2) return n + eot::PlainDraw;

    ModuleState& m = Module();
    int w = result == 1 ? 1 : 0, l = 1 - w;
    if (!m.Ak[w] || !m.State[l] || !m.State[w]) return n;
    const TArmoredKnight& W = *m.Ak[w];
    const CombatantState& sw = *m.State[w];
    const CombatantState& sl = *m.State[l];
    n += turboPhrase(W, sw);
    n += sjis::readField(sw.CurrentAttack.Name);
    n += eot::By;
    std::string_view pierce = sjis::readField(gs.FinishPierceWeapon);
    std::string_view eject = sjis::readField(gs.FinishEjectWeapon);
    std::string_view induced = sjis::readField(gs.FinishInducedWeapon);
    if (!pierce.empty())
        n += std::string(pierce) + eot::Pierced;
    else if (!eject.empty())
        n += std::string(eject) + eot::EjectFailed;
    else if (!induced.empty())
        n += std::string(induced) + eot::Induced;
    int32_t part = gs.FinishPart;
    n += partName(part);
    n += eot::Destroyed;
    bool selfDestruct = gs.SelfDestruct != 0;
    if (selfDestruct)
        n += eot::SelfDestruct;
    else if (sl.AkDestroyed)
        n += eot::Induced;
    if (!selfDestruct && (part == PartBody || sl.AkDestroyed)) {
        if (sl.PilotKilled) {
            n += eot::EscapeFailed;
            if (gs.EscapeRate > 0) n += eot::TransferFailed;
            n += eot::Died;
        } else {
            n += sl.Escaped ? eot::Escaped : eot::Transferred;
        }
    }
    return n;
}

void WriteEndNarration(GameMessageBuffer& buffer) {
    const GameSettings& gs = Settings();
    ModuleState& m = Module();
    if (!m.Ak[0] || !m.Ak[1] || !m.State[0] || !m.State[1]) return;
    int32_t result = gs.Result;

    buffer.CurrentKind = KindSystem;
    queue(buffer, "");
    size_t w = std::max(sjis::readField(m.State[0]->PilotNameFull).size(),
                        sjis::readField(m.State[1]->PilotNameFull).size());
    for (int side = 0; side < 2; ++side) {
        const char* mark = result == 2 ? eot::MarkDraw : result == side ? eot::MarkWinner : eot::MarkLoser;
        std::string name(sjis::readField(m.State[side]->PilotNameFull));
        std::string owner(sjis::readField(m.Ak[side]->Owner.Name));
        queue(buffer, FormatText(eot::ResultLine, mark, static_cast<int>(w), name.c_str(), owner.c_str()));
    }
    addBlankLine(buffer);

    std::string n = MatchEndText();
    int32_t width = gs.OutputColumns;
    if (width >= 2 && n.size() > static_cast<size_t>(width)) {
        size_t k = sjis::cutLength(n, static_cast<size_t>(width));
        queue(buffer, n.substr(0, k));
        queue(buffer, n.substr(k));
    } else {
        queue(buffer, n);
    }
    int32_t damage = gs.LastBodyDamage;
    if (damage > 0) {
        int32_t rate = gs.LastExplosionRate;
        queue(buffer, FormatText(eot::Damage, FullWidth(damage).c_str(), FullWidth(rate).c_str()));
    }
    addBlankLine(buffer);
    queue(buffer, TemplateLine(0, 15));

    buffer.CurrentKind = KindRecordFrame;
    queue(buffer, eot::TableFrame);
    queue(buffer, eot::TableHeading);
    queue(buffer, eot::TableFrame);
    buffer.CurrentKind = KindSystem;

    bool dropDead = Option(OptDropDeadPilots);
    bool bounty = Option(OptBountyMatch);
    for (int side = 0; side < 2; ++side) {
        const TArmoredKnight& ak = *m.Ak[side];
        const CombatantState& s = *m.State[side];
        bool killed = s.PilotKilled != 0;
        std::string owner = FitNameToWidth(sjis::readField(ak.Owner.Name), 14);
        std::string pilot = dropDead && killed ? " " : FitNameToWidth(sjis::readField(s.PilotNameFull), 16);
        std::string akName = FitNameToWidth(sjis::readField(ak.AkName), 16);
        int battles = ak.Pilot.Battles, wins = ak.Pilot.Wins, destroyed = ak.Pilot.Destroyed;
        int escape = ak.Pilot.ExpEscape, totalCr = ak.TotalCr;
        std::string row =
            FormatText(eot::TableRow, !dropDead && killed ? eot::DeadCell : "   ", owner.c_str(),
                       pilot.c_str(), akName.c_str(), battles, wins, destroyed, escape, totalCr);
        if (bounty)
            row += FormatText(eot::BountyCell, CalcPostfix(sjis::readField(gs.BountyPostfix), ak));
        else
            row += eot::NoBountyCell;
        queue(buffer, row);
    }
    addBlankLine(buffer);
    queue(buffer, TemplateLine(0, 16));

    for (int side = 0; side < 2; ++side) {
        const TArmoredKnight& ak = *m.Ak[side];
        const CombatantState& s = *m.State[side];
        const char* mark = result == 2 ? eot::MoneyDraw : result == side ? eot::MoneyWinner : eot::MoneyLoser;
        std::string pilot = FitNameToWidth(sjis::readField(s.PilotNameFull), 18);
        int machine = s.MachineValue, crBefore = s.TotalCr, crAfter = ak.TotalCr;
        int mctlBefore = s.Mctl, mctlAfter = ak.Team.Mctl;
        queue(buffer, FormatText(eot::MoneyLine, mark, pilot.c_str(), machine, crBefore, crAfter, mctlBefore,
                                 ak::Mctl2DexCore(mctlBefore), mctlAfter, ak::Mctl2DexCore(mctlAfter)));
    }
}

void WriteSignature(GameMessageBuffer& buffer) {
    const GameSettings& gs = Settings();
    if (buffer.Count >= 2) LastLine(buffer)->BlankLinesAfter += 2;
    std::string_view organiser = sjis::readField(gs.OrganiserName);
    std::string_view stadium = sjis::readField(gs.StadiumName);
    if (organiser.empty() && stadium.empty()) return;
    std::string line = eot::SignatureLead;
    line += organiser;
    if (!organiser.empty() && !stadium.empty()) line += eot::Slash;
    line += stadium;
    queue(buffer, line);
}

} // namespace cv
