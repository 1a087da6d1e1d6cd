// The round sequence and the end of a match.
#include "core/round.h"

#include "base/sjis.h"
#include "core/arith.h"
#include "core/attack.h"
#include "core/combatant.h"
#include "core/damage.h"
#include "core/defence.h"
#include "core/dice.h"
#include "core/emit.h"
#include "core/gauges.h"
#include "core/letters.h"
#include "core/module.h"
#include "core/program.h"
#include "core/rules.h"
#include "sjis/round_text.h"

#include <cstdlib>
#include <string>
#include <utility>

namespace cv {

namespace {

// At most this many reflections in one half: two reflecting shields with
// forced hits would otherwise throw a beam back and forth for ever.
constexpr int MaxReflections = 100;

TArmoredKnight& akOf(int side) {
    return *Module().Ak[side == 1 ? 1 : 0];
}

CombatantState& stateOf(int side) {
    return *Module().State[side == 1 ? 1 : 0];
}

void addBlankLines(GameMessageBuffer& buffer, uint32_t n) {
    if (buffer.Count > 1)
        if (GameMessageLine* last = LastLine(buffer)) last->BlankLinesAfter += n;
}

int64_t roundsPlayed() {
    const GameSettings& gs = Settings();
    int32_t round = gs.RoundCounter, mark = gs.RoundMark;
    return int64_t{round} - std::max<int64_t>(int64_t{mark} - 1, 0);
}

// (Reaction + ReactionBoost) - 10 × MovementDown + 3 × Level / ComputerDown
// + the side's initiative modifier, as one double expression.
double initiativeTerm(int side, int32_t modifier) {
    const TArmoredKnight& A = akOf(side);
    const CombatantState& s = stateOf(side);
    int32_t reaction = A.Reaction, boost = s.ReactionBoost, level = A.Computer.Level;
    double movementDown = s.MovementDown;
    double computer = Divisor(s.ComputerDown);
    return static_cast<double>(reaction) + static_cast<double>(boost) - 10.0 * movementDown +
           3.0 * static_cast<double>(level) / computer + static_cast<double>(modifier);
}

// The action plan, the move and the distance of one mover; k = 1 for the
// second mover.
void moveSide(GameMessageBuffer& buffer, int side, int k) {
    GameSettings& gs = Settings();
    TArmoredKnight& A = akOf(side);
    CombatantState& s = stateOf(side);

    int x = RollD100("action-plan");
    int32_t defensive = A.DefensiveMovePct, moving = A.MovingAttackPct, movement = s.Movement;
    int64_t base = movement, bonus = 0;
    if (x <= defensive) {
        s.ActionMode = -1;
        bonus = movement != 0 ? 1 : 0;
    } else if (x > int64_t{defensive} + moving) {
        s.ActionMode = 1;
        s.RoundFlags |= RoundStaticAttack;
        base = 0;
    } else {
        s.ActionMode = 0;
        s.RoundFlags |= RoundMovingAttack;
    }
    double movementDown = s.MovementDown;
    int32_t move = Trunc32(static_cast<double>(base) - movementDown + static_cast<double>(bonus));
    int32_t reported = move;
    if (k == 1 && move != 1) move = Sat32(int64_t{move} - 1);
    if (move < 0) move = 0;
    s.MoveDistance = move;

    int32_t band = ClampBand(gs.DistanceBand);
    int32_t sought = 0;
    int32_t mode = s.ActionMode;
    if (mode != 1 && move == 0) {
        s.Immobile = 1;
    } else {
        s.Immobile = 0;
        if (Option(OptProgramCommands)) sought = ProgramMoveCommand(A, buffer, s);
        s.RoundFlags |= RoundMoves;
    }
    bool outOfAction = s.OutOfAction != 0;
    if (s.Immobile != 0) {
        sought = band; // it does not move
    } else if (sought == 0) {
        if (outOfAction && NarrationOn()) {
            sought = band; // no weapon distance is looked up: it holds
        } else {
            sought = 1;
            for (int i = 0; i < WeaponSlotCount; ++i) {
                if (s.WeaponPresent[i] && A.Weapon[i].AmmoLeft >= 1) {
                    sought = A.ExtraValues[i];
                    break;
                }
            }
        }
    }
    sought = ClampBand(sought);
    int direction = sought < band ? 1 : sought > band ? -1 : 0;
    if (std::abs(band - sought) <= move)
        band = sought;
    else
        band += sought > band ? move : -move;
    gs.DistanceBand = band;

    if (NarrationOn()) {
        MoveReport report;
        report.Side = side;
        report.Direction = direction;
        report.Move = reported;
        report.MoveLoss = Trunc32(movementDown);
        report.HoldsInitiative = k == 1;
        EmitMovement(buffer, report);
    }
}

} // namespace

int32_t InitiativeModifier() {
    const GameSettings& gs = Settings();
    return Trunc32(initiativeTerm(0, gs.InitiativeMod1) - initiativeTerm(1, gs.InitiativeMod2));
}

void RollInitiative(GameMessageBuffer& buffer, int32_t m) {
    GameSettings& gs = Settings();
    int r = RollD100("initiative");
    int64_t t = int64_t{r} + m;
    if (NarrationOn()) Trace(buffer, rnd::TraceInitiative, r, m, Sat32(t));
    // The side that holds the initiative moves second.
    int first = t <= 50 ? 0 : 1;
    gs.Side2HasInitiative = t <= 50 ? 1 : 0;
    AnnouncerSays(buffer, 1 - first, "M12B", {FullWidth(Sat32(t))});
    moveSide(buffer, first, 0);
    moveSide(buffer, 1 - first, 1);
}

void EscapeBinding(GameMessageBuffer& buffer) {
    GameSettings& gs = Settings();
    for (int side = 0; side < 2; ++side) {
        TArmoredKnight& A = akOf(side);
        CombatantState& s = stateOf(side);
        int32_t bind = s.BindDistance;
        if (bind <= 0) continue;
        int64_t blades = 0;
        for (const TAkWeapon& w : A.Weapon)
            if (HasAny(sjis::readField(w.Attributes), {ltr::Sword, ltr::Cut})) ++blades;
        int32_t moved = s.MoveDistance;
        int64_t e = 10 * blades + 10 * int64_t{moved};
        int r = RollD100("escape-binding");
        Trace(buffer, rnd::TraceEscape, Sat32(e), r, 20);
        bool speaks = s.OutOfAction == 0;
        std::string_view own = sjis::readField(A.AkName);
        if (e >= r || r <= 20) {
            s.BindDistance = 0;
            if (speaks) PilotSays(buffer, side, "M10B");
            AnnouncerSays(buffer, side, "M11B", {own});
        } else {
            if (speaks) PilotSays(buffer, side, "M09B");
            AnnouncerSays(buffer, side, "M08B", {sjis::readField(akOf(1 - side).AkName), own});
        }
    }
    int32_t b1 = stateOf(0).BindDistance, b2 = stateOf(1).BindDistance;
    int32_t b = 0;
    if (b1 > 0) b = b1;
    if (b2 > 0 && (b == 0 || b2 < b)) b = b2;
    int32_t band = gs.DistanceBand;
    if (b > 0 && b < band) gs.DistanceBand = b;
}

bool MayAct(GameMessageBuffer& buffer, int a, int d) {
    CombatantState& sa = stateOf(a);
    double evasionDown = sa.EvasionDown, attackDown = sa.AttackDown, movementDown = sa.MovementDown;
    bool out = evasionDown > 200.0 && attackDown > 200.0 && movementDown > 5.0;
    sa.OutOfAction = out ? 1 : 0;
    if (out) {
        ComputerSays(buffer, d, "M07B");
        sa.RoundFlags |= RoundOutOfAction;
        return false;
    }
    if (stateOf(d).OutOfAction != 0) PilotSays(buffer, a, "M06B");
    if (sa.ActionMode == -1) {
        EmitDefensiveMove(buffer, a); // a defensive move makes no attack
        return false;
    }
    sa.RoundFlags |= RoundActed;
    return true;
}

int PlayHalf(GameMessageBuffer& buffer, int a, int d) {
    GameSettings& gs = Settings();
    bool reflection = false;
    int reflectingSlot = 0;
    int reflections = 0;
    for (;;) {
        gs.AttackerSide = a;
        gs.DefenderSide = d;
        if (!MayAct(buffer, a, d)) return a;
        TArmoredKnight& A = akOf(a);
        CombatantState& sa = stateOf(a);
        bool reflected = reflection;
        if (reflection) {
            ChooseReflectedWeapon(A, sa, reflectingSlot);
            reflection = false;
        } else {
            if (Option(OptProgramCommands))
                ProgramWeaponCommand(A, buffer, sa);
            else
                sa.WeaponChosen = 0;
            ChooseWeapon(A, sa);
        }
        gs.FinishPierceWeapon[0] = 0;
        gs.FinishEjectWeapon[0] = 0;
        gs.FinishInducedWeapon[0] = 0;
        gs.LastExplosionRate = 0;
        gs.LastBodyDamage = 0;
        if (NarrationOn()) EmitAttackAnnouncement(buffer, a, reflected);
        if (sa.CannotAttack != 0) return a;

        AnnounceWeaponCall(buffer, sa.CurrentAttack, a);
        if (CheckForbiddenWeapon(buffer, a, d)) return a;
        int32_t x = 0, y = 0;
        ApplySensorRules(buffer, a, d, x, y);
        if (!RollHit(buffer, a, d, x, y)) return a;
        ApplyHitSensorEffects(buffer, a, d);
        int32_t hits = CountHits(buffer, a, d);
        if (hits == 0) return a;

        int n = CheckShield(buffer, a, d);
        if (n < 1) {
            int k = ParryOrWeaponHit(buffer, a, d);
            if (k > 0 && WeaponHit(buffer, a, d, k)) return a;
            ChooseBodyPart(buffer, a);
            BodyDamage(buffer, a, d);
            return a;
        }
        int32_t pen = ShieldDamage(buffer, a, d, n, hits);
        int outcome = ResolveShieldHit(buffer, a, d, n, pen);
        if (outcome == 2 && reflections >= MaxReflections) outcome = 1;
        if (outcome == 0) {
            BodyDamage(buffer, a, d);
            return a;
        }
        if (outcome == 1) return a;
        // The beam goes back: the defender attacks with the shield.
        ++reflections;
        reflection = true;
        reflectingSlot = n - 1;
        std::swap(a, d);
    }
}

uint8_t CheckMatchEnd(GameMessageBuffer& buffer, int a, int d) {
    GameSettings& gs = Settings();
    TArmoredKnight& A = akOf(a);
    TArmoredKnight& D = akOf(d);
    CombatantState& sa = stateOf(a);
    CombatantState& sd = stateOf(d);

    if (Option(OptSimulationMode)) sd.PilotKilled = 0;
    if (sd.PilotKilled != 0) ClearPilot(D);
    if (sd.AkDestroyed != 0) {
        gs.Result = a;
        return RoundDecided;
    }
    auto decide = [&](bool attackerDown, bool defenderDown) -> uint8_t {
        if (attackerDown) {
            gs.Result = d;
            return RoundDecided;
        }
        if (defenderDown) {
            gs.Result = a;
            return RoundDecided;
        }
        return RoundGoesOn;
    };
    auto bodyGone = [](const TArmoredKnight& ak) { return ak.Frame.Durability[PartBody] <= 0; };
    auto headGone = [](const TArmoredKnight& ak) { return ak.Frame.Durability[PartHead] <= 0; };
    uint8_t type = gs.MatchType;
    uint8_t end = RoundGoesOn;
    if (type <= 2)
        end = decide(AnyPartAtZero(A), AnyPartAtZero(D));
    else if (type <= 4)
        end = decide(bodyGone(A), bodyGone(D));
    else if (type == 5)
        end = decide(bodyGone(A) || headGone(A), bodyGone(D) || headGone(D));
    if (end != RoundGoesOn) return end;

    if ((type == 2 || type == 3 || type == 5) && a == 1) {
        int32_t band = gs.DistanceBand;
        int32_t moveA = sa.Movement, moveD = sd.Movement;
        double downA = sa.MovementDown, downD = sd.MovementDown;
        bool stuck = moveA <= 0 && moveD <= 0 && downA <= 0 && downD != 0 && !CanAttackAt(A, sa, band) &&
                     !CanAttackAt(D, sd, band);
        if (stuck) {
            if (!Option(OptImmobileDraw)) return RoundBothImmobile;
            gs.Result = 2;
            gs.ImmobileDraw = 1;
            AnnouncerLine(buffer, 0, 24);
            return RoundDecided;
        }
    }
    return RoundGoesOn;
}

uint8_t JudgeRound(GameMessageBuffer& buffer, int a, int d) {
    GameSettings& gs = Settings();
    const CombatantState& sa = stateOf(a);
    const CombatantState& sd = stateOf(d);
    int64_t takenA = int64_t{sa.MaxDurabilityTotal} - sa.DurabilityTotal;
    int64_t takenD = int64_t{sd.MaxDurabilityTotal} - sd.DurabilityTotal;
    int64_t v = takenA - takenD;
    int64_t played = roundsPlayed();
    int32_t minutes = gs.MatchMinutes;
    uint8_t type = gs.MatchType;

    if ((type == 0 || type == 4) && played >= minutes) {
        gs.TimeUpDecision = 1;
        gs.Result = v > 0 ? d : v < 0 ? a : 2;
        return RoundLimit;
    }
    if (type == 1 && played >= minutes) {
        gs.Result = 2;
        return RoundLimit;
    }
    if (played >= MaxRoundsPlayed || Module().RoundsThisMatch + 1 >= MaxRoundsPlayed) {
        gs.Result = 2;
        gs.ImmobileDraw = 1;
        AnnouncerLine(buffer, 0, 24);
        return RoundLimit;
    }
    buffer.CurrentKind = KindSystem;
    addBlankLines(buffer, 1);
    int32_t round = gs.RoundCounter;
    QueueLine(buffer, KindSystem, 0, TemplateText(0, 5, {FullWidth(round)}));
    addBlankLines(buffer, 1);
    return RoundGoesOn;
}

void WriteRoundMiddleLine(GameMessageBuffer& buffer) {
    buffer.CurrentKind = KindSystem;
    if (GameMessageLine* last = LastLine(buffer)) last->BlankLinesAfter += 1;
    int32_t round = Settings().RoundCounter;
    std::string number = std::to_string(int64_t{round} - 1);
    GameMessageLine& line = QueueLine(buffer, KindSystem, 0, TemplateText(0, 4, {number}));
    line.BlankLinesAfter = 1;
}

uint8_t ProcessMatch(GameMessageBuffer& buffer) {
    GameSettings& gs = Settings();

    // 2. Widths, counters, the distance held to its range.
    int32_t width = gs.NameWidth;
    for (int side = 0; side < 2; ++side) {
        int32_t label = static_cast<int32_t>(sjis::readField(stateOf(side).ComputerLabel).size());
        width = std::max(width, label);
    }
    gs.NameWidth = width;
    EmptyQueue(buffer);
    gs.SelfDestruct = 0;
    if (gs.RoundCounter > 1) {
        gs.InitiativeMod1 = 0;
        gs.InitiativeMod2 = 0;
    }
    gs.DistanceBand = ClampBand(gs.DistanceBand);

    // 3. Round start of each side.
    for (int side = 0; side < 2; ++side) {
        ResetRoundState(stateOf(side));
        RoundStartDevice(buffer, side);
        RoundDerivedValues(akOf(side), stateOf(side));
    }
    // 4-5. Initiative, movement, binding, the distance.
    int32_t m = InitiativeModifier();
    RollInitiative(buffer, m);
    EscapeBinding(buffer);
    int32_t band = gs.DistanceBand;
    AnnouncerLine(buffer, 0, 21, {FullWidth(band)});
    // 6. Attack order.
    int r = RollD100("attack-order");
    int first = int64_t{r} + m > 50 ? 0 : 1;

    // 7. The two halves.
    int a = first, d = 1 - first;
    uint8_t end = RoundGoesOn;
    for (int half = 0; half < 2; ++half) {
        int attacker = half == 0 ? first : 1 - first;
        a = PlayHalf(buffer, attacker, 1 - attacker);
        d = 1 - a;
        end = CheckMatchEnd(buffer, a, d);
        if (end != RoundGoesOn) break;
        if (!NarrationOn()) {
            RecoverDownValues(buffer, a);
            continue;
        }
        StatusLine(buffer, d);
        RecoverDownValues(buffer, a);
        if (half == 0) {
            WriteRoundMiddleLine(buffer);
            QueuePageBreak(buffer);
        }
    }

    // 8. Decided by a half.
    if (end != RoundGoesOn) {
        gs.RoundCounter = Sat32(int64_t{gs.RoundCounter} + 1);
        ++Module().RoundsThisMatch;
        addBlankLines(buffer, 2);
        return end;
    }
    // 9. The judgement and the round's end.
    uint8_t judged = JudgeRound(buffer, a, d);
    if (judged == RoundLimit) {
        for (int side = 0; side < 2; ++side) {
            CombatantState& s = stateOf(side);
            sjis::writeField(s.StatusText, rnd::Judged);
            s.Escaped = 0;
            s.EscapeFailed = 0;
        }
    }
    if (judged != RoundGoesOn) addBlankLines(buffer, 2);
    gs.RoundCounter = Sat32(int64_t{gs.RoundCounter} + 1);
    ++Module().RoundsThisMatch;
    int32_t percent = gs.MessagePercent;
    if (int64_t{gs.RoundCounter} - gs.RoundMark > 20 && percent < 100)
        gs.MessagePercent = Sat32(std::max<int64_t>(int64_t{percent} - 3, 0));
    for (int side = 0; side < 2; ++side) {
        CombatantState& s = stateOf(side);
        int32_t left = s.BoostMinutesLeft;
        if (left > 0) s.BoostMinutesLeft = left - 1;
    }
    return judged;
}

} // namespace cv
