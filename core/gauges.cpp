// Reaction amplifier and anti-beam field, down values and their recovery,
// and the status line.
#include "core/gauges.h"

#include "base/sjis.h"
#include "core/arith.h"
#include "core/dice.h"
#include "core/emit.h"
#include "core/letters.h"
#include "core/module.h"
#include "core/rules.h"
#include "sjis/emit_text.h"

#include <algorithm>
#include <cmath>

namespace cv {

namespace {

// Decimal digits of |v|.
int digitCount(int64_t v) {
    uint64_t a = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    int n = 1;
    while (a >= 10) a /= 10, ++n;
    return n;
}

// The whole part of (|whole part of gauge| - a - b), back with the old sign;
// 0 when less than 1 is left.
double recovered(double gauge, double a, double b) {
    int64_t whole = Trunc32(gauge);
    int64_t magnitude = whole < 0 ? -whole : whole;
    int32_t k = Trunc32(static_cast<double>(magnitude) - a - b);
    if (k < 1) return 0.0;
    return gauge < 0 ? -static_cast<double>(k) : static_cast<double>(k);
}

void startDevice(GameMessageBuffer& buffer, int side, TArmoredKnight& A, CombatantState& s) {
    std::string_view name = sjis::readField(A.Turbo.Name);
    int32_t amplify = A.Turbo.AmplifyPct;
    std::string_view master = sjis::readField(s.MasterCallName);
    if (Has(name, ltr::AntiBeamField)) {
        s.ReactionBoost = Sat32(-int64_t{amplify});
        int32_t power = s.EnginePower;
        int32_t minutes = Sat32((int64_t{power} * 3 + 100) / 200);
        s.BoostMinutesLeft = minutes;
        s.AntiBeamField = 1;
        if (NarrationOn()) {
            if (RollD100("field-line") >= 50)
                ComputerLine(buffer, side, 52, {master, FullWidth(minutes)});
            else
                ComputerLine(buffer, side, 51, {master});
        }
        s.RoundFlags |= RoundAmplifierEvent;
    } else if (!name.empty()) {
        s.ReactionBoost = amplify;
        int d = RollD100("turbo-length") % 5 + 1;
        int32_t mctl = A.Team.Mctl;
        int bonus = mctl >= 5000 ? digitCount(mctl / 5) - 3 : 0; // whole part of log10(Mctl / 5) - 2
        int minutes = std::min(d + bonus, 5);
        s.BoostMinutesLeft = minutes;
        Trace(buffer, emt::TraceTurbo, bonus + 1, 5, minutes);
        if (s.OutOfAction == 0) {
            std::string_view comment = sjis::readField(A.Comments[CommentTurbo].Text);
            if (!comment.empty())
                PilotSpeaks(buffer, side, Quoted(comment));
            else
                PilotSays(buffer, side, "M95A", {sjis::readField(s.ComputerName), name});
        }
        ComputerSays(buffer, side, "M94A", {FullWidth(minutes), name});
        int32_t reaction = A.Reaction;
        ComputerLine(buffer, side, 49, {FullWidth(int64_t{reaction} + amplify)});
        s.RoundFlags |= RoundAmplifierEvent;
    } else {
        return;
    }
    int32_t left = s.BoostMinutesLeft;
    if (left > 0) s.BoostMinutes = left;
}

void endDevice(GameMessageBuffer& buffer, int side, TArmoredKnight& A, CombatantState& s) {
    s.RoundFlags |= RoundAmplifierEvent;
    int32_t boost = s.ReactionBoost;
    std::string_view master = sjis::readField(s.MasterCallName);
    if (boost < 0) {
        s.ReactionBoost = 0;
        s.AntiBeamField = 0;
        ComputerLine(buffer, side, 53, {master});
    } else {
        int32_t after = -(boost / 2);
        s.ReactionBoost = after;
        std::string_view name = sjis::readField(A.Turbo.Name);
        int32_t minutes = s.BoostMinutes;
        ComputerSays(buffer, side, "M96A", {FullWidth(minutes), name});
        int32_t reaction = A.Reaction;
        ComputerLine(buffer, side, 50, {FullWidth(int64_t{reaction} + after)});
        if (s.OutOfAction == 0) PilotSays(buffer, side, "M97A");
    }
    s.BoostMinutesLeft = -1;
}

} // namespace

void RoundStartDevice(GameMessageBuffer& buffer, int side) {
    TArmoredKnight& A = *Module().Ak[side];
    CombatantState& s = *Module().State[side];
    int32_t round = Settings().RoundCounter;
    int32_t start = A.Turbo.StartMinute;
    int32_t boost = s.ReactionBoost, left = s.BoostMinutesLeft;
    if (round >= start && start >= 0 && boost == 0 && left >= 0) startDevice(buffer, side, A, s);
    boost = s.ReactionBoost;
    left = s.BoostMinutesLeft;
    if (boost != 0 && round > start && left == 0) endDevice(buffer, side, A, s);
}

void RecoverDownValues(GameMessageBuffer& buffer, int side) {
    TArmoredKnight& A = *Module().Ak[side];
    CombatantState& s = *Module().State[side];
    double sensor = s.SensorDown, computer = s.ComputerDown;
    double attack = s.AttackDown, evasion = s.EvasionDown, movement = s.MovementDown;
    bool impaired = sensor != 1.0 || computer != 1.0 || attack > 0 || evasion > 0 || movement > 0;

    if (sensor > 1.0) sensor -= 1.0;
    if (computer > 1.0) computer -= 1.0;
    // A negative experience (outside data) counts as none: its root would be
    // NaN, and a NaN step would wipe the whole loss.
    auto experience = [](int32_t e) { return 2.0 * std::sqrt(static_cast<double>(std::max(0, e))); };
    attack = recovered(attack, 25.0, experience(A.Pilot.ExpAttack));
    evasion = recovered(evasion, 25.0, experience(A.Pilot.ExpDefence));
    int32_t moves = s.Movement;
    bool wasImmobile = movement > moves;
    movement = recovered(movement, 2.0, 0.0);
    s.SensorDown = sensor;
    s.ComputerDown = computer;
    s.AttackDown = attack;
    s.EvasionDown = evasion;
    s.MovementDown = movement;

    if (!NarrationOn()) return;
    bool clear = sensor == 1.0 && computer == 1.0 && attack == 0 && evasion == 0 && movement == 0;
    if (impaired && clear) {
        ComputerSays(buffer, side, "M03B");
        PilotSays(buffer, side, "M02B");
    }
    int32_t leftLeg = A.Frame.Durability[PartLeftLeg], rightLeg = A.Frame.Durability[PartRightLeg];
    if (wasImmobile && movement <= moves && leftLeg > 0 && rightLeg > 0) {
        std::string_view name = sjis::readField(A.AkName);
        if (RollD100("mobile-again-order") < 51) {
            AnnouncerSays(buffer, side, "M18B", {name});
            PilotSays(buffer, side, "M17B", {name});
        } else {
            PilotSays(buffer, side, "M17B", {name});
            AnnouncerSays(buffer, side, "M18B", {name});
        }
    }
}

void StatusLine(GameMessageBuffer& buffer, int side) {
    TArmoredKnight& A = *Module().Ak[side];
    CombatantState& s = *Module().State[side];
    int32_t before = s.EffectivePower;
    RoundDerivedValues(A, s);
    int32_t power = s.EffectivePower, engine = s.EnginePower;
    if (power >= before) return;
    int64_t percent = engine != 0 ? int64_t{power} * 100 / engine : 0;
    int32_t reaction = A.Reaction, boost = s.ReactionBoost;
    ComputerLine(buffer, side, 16, {FullWidth(Sat32(percent)), FullWidth(int64_t{reaction} + boost)});
}

void ApplyDownValues(CombatantState& s, const TAkWeapon& attack, double g) {
    int32_t move = attack.MoveDown, hit = attack.AttackDown, evade = attack.EvasionDown;
    int32_t sensor = attack.SensorDown, computer = attack.ComputerDown;
    double v = s.MovementDown;
    s.MovementDown = v + static_cast<double>(move) * g;
    v = s.AttackDown;
    s.AttackDown = v + static_cast<double>(hit) * g;
    v = s.EvasionDown;
    s.EvasionDown = v + static_cast<double>(evade) * g;
    v = s.SensorDown;
    s.SensorDown = v + (static_cast<double>(sensor) - 1.0) * g;
    v = s.ComputerDown;
    s.ComputerDown = v + (static_cast<double>(computer) - 1.0) * g;
}

} // namespace cv
