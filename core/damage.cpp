// Location, armour and damage rolls, body hits and destroyed parts.
#include "core/damage.h"

#include "base/sjis.h"
#include "core/arith.h"
#include "core/attack.h"
#include "core/combatant.h"
#include "core/dice.h"
#include "core/emit.h"
#include "core/gauges.h"
#include "core/letters.h"
#include "core/module.h"
#include "core/rules.h"
#include "sjis/damage_text.h"

#include <cstring>
#include <string>

namespace cv {

namespace {

TArmoredKnight& akOf(int side) {
    return *Module().Ak[side == 1 ? 1 : 0];
}

CombatantState& stateOf(int side) {
    return *Module().State[side == 1 ? 1 : 0];
}

double shieldAbsorb() {
    double g;
    std::memcpy(&g, reinterpret_cast<const char*>(&Settings()) + offsetof(GameSettings, ShieldAbsorb),
                sizeof g);
    return g;
}

void appendField(char (&field)[32], std::string_view more) {
    sjis::writeField(field, std::string(sjis::readField(field)) + std::string(more));
}

// The explosion rate of a destroyed part with overkill o (trunc(o / 10 +
// boost + the attacker's destroyed count - level / divisor)) plus `extra`.
int32_t explosionRate(int a, int d, int64_t overkill, int32_t extra) {
    const CombatantState& sd = stateOf(d);
    int32_t boost = sd.ReactionBoost, destroyed = akOf(a).Pilot.Destroyed, level = akOf(d).Computer.Level;
    double computer = Divisor(sd.ComputerDown);
    double e =
        static_cast<double>(overkill) / 10.0 + boost + destroyed - static_cast<double>(level) / computer;
    return Sat32(int64_t{Trunc32(e)} + extra);
}

// The induced explosion of a destroyed part, and the escape it forces.
bool explode(GameMessageBuffer& buffer, int d, int32_t rate) {
    Settings().LastExplosionRate = rate;
    CombatantState& sd = stateOf(d);
    int32_t defence = akOf(d).Pilot.ExpDefence;
    bool exploded = RollInducedExplosion(buffer, defence, rate);
    sd.AkDestroyed = exploded ? 1 : 0;
    return exploded;
}

bool escape(GameMessageBuffer& buffer, int a, int d, int32_t bonus, int32_t fumble, int32_t gain) {
    CombatantState& sd = stateOf(d);
    uint8_t killed = sd.PilotKilled;
    std::string trace;
    bool escaped = PilotEscape(akOf(d), killed, bonus, fumble, gain,
                               sjis::readField(akOf(a).Computer.MissionDisk), trace);
    sd.PilotKilled = killed;
    QueueTraceMessage(buffer, trace);
    return escaped;
}

// Head, arms and legs: the pilot escapes only from an explosion.
bool limbOrHeadDestroyed(GameMessageBuffer& buffer, int a, int d, int64_t overkill, int32_t extra) {
    if (!explode(buffer, d, explosionRate(a, d, overkill, extra))) return true;
    return escape(buffer, a, d, 0, 10, 2);
}

bool armDestroyed(GameMessageBuffer& buffer, int a, int d, Arm arm, int64_t overkill) {
    TArmoredKnight& D = akOf(d);
    LoseArmWeapons(D, stateOf(d), arm);
    TAkStrike& punch = D.Frame.Strikes[arm == Arm::Right ? StrikeRightPunch : StrikeLeftPunch];
    punch = TAkStrike{};
    return limbOrHeadDestroyed(buffer, a, d, overkill, 0);
}

// The body: the induced explosion, then the self-destruct device or the
// pilot's escape. `selfDestructed` ends the hit.
bool bodyDestroyed(GameMessageBuffer& buffer, int a, int d, int64_t overkill, bool& selfDestructed) {
    GameSettings& gs = Settings();
    TArmoredKnight& A = akOf(a);
    TArmoredKnight& D = akOf(d);
    CombatantState& sa = stateOf(a);
    CombatantState& sd = stateOf(d);
    bool exploded = explode(buffer, d, explosionRate(a, d, overkill, 25));
    if (Has(sjis::readField(D.Escape.Name), ltr::SelfDestruct)) {
        appendField(sa.HitStatusText, dmg::SelfDestructed);
        std::string_view comment = sjis::readField(D.Comments[CommentEscape].Text);
        if (!comment.empty())
            PilotSpeaks(buffer, d, Quoted(comment));
        else
            PilotLine(buffer, d, 3);
        AnnouncerSaysAs(buffer, d, dmg::SoundEffect, "M98A");
        int32_t band = CurrentBand();
        if (band < 4) {
            ComputerLine(buffer, a, 64);
            int32_t power = sd.EffectivePower;
            SelfDestructDamage(buffer, A, Sat32(int64_t{4 - band} * power / 15));
            SettleParts(A, sa);
        }
        sd.PilotKilled = 1;
        sd.AkDestroyed = 1;
        sd.SelfDestructed = 1;
        gs.SelfDestruct = 1;
        selfDestructed = true;
        return false;
    }
    if (exploded) return escape(buffer, a, d, 0, 10, 2);
    return escape(buffer, a, d, 20, 5, 1);
}

} // namespace

int FinishPart() {
    GameSettings& gs = Settings();
    int32_t p = gs.FinishPart;
    if (p < 0 || p >= BodyPartCount) gs.FinishPart = p = PartBody;
    return p;
}

int32_t ArmorCheck(GameMessageBuffer& buffer, int32_t& v, int32_t power, int32_t destructive, int32_t& weight,
                   int32_t factor) {
    if (power == 0 || destructive == 0) return 0;
    int64_t diff = int64_t{v} - power;
    int r = RollD100("armour");
    int64_t loss;
    if (diff >= 0) {
        int64_t m = std::min<int64_t>(5 * diff, 70);
        loss = std::max<int64_t>(r - m, 1) * 4 / 100;
        Trace(buffer, dmg::TraceArmourHeld, v, power, Sat32((1 - m) * 4 / 100), Sat32((100 - m) * 4 / 100),
              Sat32(loss));
    } else {
        int64_t over = int64_t{power} - v;
        loss = std::max<int64_t>(((r + 50) * over + 50) / 100, 1);
        Trace(buffer, dmg::TraceArmourPierced, v, power, Sat32(std::max<int64_t>((50 + 51 * over) / 100, 1)),
              Sat32((50 + 150 * over) / 100), Sat32(loss));
    }
    int64_t left = int64_t{v} - loss;
    if (left < 0) {
        loss = v;
        left = 0;
    }
    v = Sat32(left);
    weight = Sat32(int64_t{weight} - int64_t{factor} * loss);
    return Sat32(loss);
}

int32_t DamageRoll(GameMessageBuffer& buffer, int32_t v, int32_t& durability, int32_t power,
                   int32_t destructive) {
    if (power == 0 || destructive == 0) return 0;
    int64_t diff = int64_t{v} - power;
    int r = RollD100("damage");
    int64_t five = 5 * int64_t{power};
    int64_t amount;
    if (diff >= 0) {
        int64_t m = 5 * diff;
        int64_t base = 10 * int64_t{destructive};
        double f = static_cast<double>(base + r - m) * 0.01;
        if (f <= 0) f = 0.01;
        amount = Trunc32(static_cast<double>(five) * f);
        Trace(buffer, dmg::TraceDamageHeld, v, power, Sat32(Mul64(base + 1 - m, five) / 100),
              Sat32(Mul64(base + 100 - m, five) / 100), Sat32(amount));
    } else {
        int64_t q = Mul64((int64_t{power} - v) * 10, destructive);
        int64_t tenV = 10 * int64_t{v};
        amount = Sat32(Mul64(tenV + r, q) / 100);
        Trace(buffer, dmg::TraceDamagePierced, v, power, Sat32(Mul64(tenV + 1, q) / 100),
              Sat32(Mul64(tenV + 100, q) / 100), Sat32(amount));
    }
    durability = Sat32(std::max<int64_t>(int64_t{durability} - amount, 0));
    return Sat32(amount);
}

bool RollInducedExplosion(GameMessageBuffer& buffer, int32_t defence, int32_t rate) {
    int r = RollD100("explosion");
    Trace(buffer, dmg::TraceExplosion, rate, defence, r);
    return int64_t{rate} - defence >= r;
}

void HitLocationWeights(int32_t (&w)[6], const TArmoredKnight& attacker) {
    // body, right leg, left leg, right arm, left arm, head
    int64_t v[6] = {45, 15, 15, 10, 10, 5};
    if (Settings().MatchType == 5) {
        int64_t head[6] = {10, 10, 10, 10, 10, 50};
        std::copy(head, head + 6, v);
    }
    int64_t k = attacker.Computer.MdAttack;
    std::string_view disk = sjis::readField(attacker.Computer.MissionDisk);
    if (Has(disk, ltr::DiskBody)) v[0] -= 4 * k;
    if (Has(disk, ltr::DiskLeg)) v[0] += 4 * k, v[1] -= 2 * k, v[2] -= 2 * k;
    if (Has(disk, ltr::DiskArm)) v[0] += 4 * k, v[3] -= 2 * k, v[4] -= 2 * k;
    if (Has(disk, ltr::DiskHead)) v[0] += 4 * k, v[5] -= 4 * k;
    for (int i = 0; i < 6; ++i) w[i] = v[i] < 0 ? 0 : Sat32(v[i]);
}

int RollLocation(GameMessageBuffer& buffer, const int32_t (&w)[6], std::string_view label) {
    int r = RollD100("location");
    int64_t c[6];
    int64_t sum = 0;
    for (int i = 0; i < 6; ++i) c[i] = sum += w[i];
    int j = 0;
    for (int i = 0; i < 6 && j == 0; ++i)
        if (r <= c[i] && c[i] > 0) j = i + 1;
    if (TraceOn()) {
        std::string text(label);
        Trace(buffer, dmg::TraceWeights, text.c_str(), Sat32(c[0]), Sat32(c[1]), Sat32(c[2]), Sat32(c[3]),
              Sat32(c[4]), Sat32(c[5]));
        Trace(buffer, dmg::TraceLocationRoll, r, j);
    }
    return j;
}

void ChooseBodyPart(GameMessageBuffer& buffer, int a) {
    int32_t w[6];
    HitLocationWeights(w, akOf(a));
    int j = RollLocation(buffer, w, dmg::LabelBody);
    if (j >= 1 && j <= 6) Settings().FinishPart = 6 - j;
    if (TraceOn()) {
        int32_t part = Settings().FinishPart;
        Trace(buffer, dmg::TraceBodyPart, std::string(PartName(part)).c_str());
    }
}

bool HeadHitEffect(GameMessageBuffer& buffer, int d, std::string_view attributes, int32_t damage) {
    TArmoredKnight& D = akOf(d);
    std::string_view type = sjis::readField(D.Sensor.Type);
    if (Has(attributes, ltr::Paint) && (type == "LC" || type == "WC" || type == "TS")) {
        ComputerLine(buffer, d, 44);
        stateOf(d).SensorDown = 10000.0;
    }
    int r = RollD100("head-effect");
    int32_t head = D.Frame.Durability[PartHead];
    bool hasSensor = !sjis::readField(D.Sensor.Name).empty();
    if (head == 0 || (head > 0 && r < damage / 2 && hasSensor)) {
        RemoveSensor(D);
        return true;
    }
    return false;
}

void SelfDestructDamage(GameMessageBuffer& buffer, TArmoredKnight& ak, int32_t limit) {
    static constexpr int order[6] = {PartHead,     PartRightArm, PartLeftArm,
                                     PartRightLeg, PartLeftLeg,  PartBody};
    for (int part : order) {
        int r = RollD100("self-destruct");
        int32_t amount = Sat32((int64_t{r} * limit + 50) / 100);
        if (TraceOn())
            Trace(buffer, dmg::TraceSelfDestruct, std::string(PartName(part)).c_str(), limit, amount);
        int32_t now = ak.Frame.Durability[part];
        ak.Frame.Durability[part] = Sat32(int64_t{now} - amount);
    }
}

void BodyDamage(GameMessageBuffer& buffer, int a, int d) {
    GameSettings& gs = Settings();
    TArmoredKnight& D = akOf(d);
    CombatantState& sa = stateOf(a);
    CombatantState& sd = stateOf(d);
    TAkWeapon& attack = sa.CurrentAttack;
    std::string attributes(sjis::readField(attack.Attributes));
    int32_t power = gs.AttackPower;
    int p = FinishPart();
    bool narrateDefenderPilot = sd.OutOfAction == 0;

    // 1-2. Binding and weight.
    size_t bind = sjis::find(attributes, ltr::Bind);
    if (bind != sjis::npos) {
        sd.BindDistance = static_cast<int32_t>(bind / 2 + 1);
        ComputerLine(buffer, d, 68);
    }
    if (Has(attributes, ltr::Heavy)) {
        int32_t weight = D.Frame.Weight;
        D.Frame.Weight = Sat32(int64_t{weight} + 100);
        if (narrateDefenderPilot) PilotLine(buffer, d, 10, {dmg::Frame});
    }
    // 3. A part already gone passes the hit to the body.
    if (D.Frame.Durability[p] == 0) {
        Trace(buffer, dmg::TracePartGone);
        p = PartBody;
        gs.FinishPart = PartBody;
    }
    // 4-7. Armour and the share of the down values.
    sd.AkDestroyed = 0;
    int32_t v = D.Armor.Value[p];
    sjis::writeField(sa.StatusText, PartName(p));
    double share = 1.0;
    std::string_view armourName = sjis::readField(D.Armor.Name);
    if (Has(armourName, ltr::ResistElectric) && Has(attributes, ltr::Electric) && v > 0 &&
        sd.OutOfAction == 0) {
        PilotLine(buffer, d, 6);
        share = 0.0;
    }
    if (Has(armourName, ltr::BeamCoat) && Has(attributes, ltr::LetterB) && v > 0) {
        int32_t absorbed = sd.DrainInts[p];
        Trace(buffer, dmg::TraceBeamCoatArmour, v, absorbed);
        if (absorbed < v) {
            power = std::max<int32_t>(power / 5, 1);
            sd.DrainInts[p] = absorbed + 1;
            if (narrateDefenderPilot) PilotLine(buffer, d, 7);
        }
    }
    double absorb = shieldAbsorb();
    if (absorb > 0) share = std::max(share - absorb, 0.0);
    // 8. Down values.
    int32_t moves = sd.Movement;
    double movementDown = sd.MovementDown;
    bool wasImmobile = moves < movementDown;
    ApplyDownValues(sd, attack, share);
    // 9. Recoil, damage and armour: the damage roll sees the armour before
    // the hit, the armour check then lowers it.
    int32_t old = D.Frame.Durability[p];
    StrikeRecoil(buffer, a, v);
    int32_t destructive = attack.Destructive;
    int32_t durability = D.Frame.Durability[p];
    int32_t damage = DamageRoll(buffer, v, durability, power, destructive);
    D.Frame.Durability[p] = durability;
    int32_t weight = D.TotalWeight, factor = D.Armor.WeightFactor;
    ArmorCheck(buffer, v, power, destructive, weight, factor);
    D.Armor.Value[p] = v;
    D.TotalWeight = weight;
    // 10. Head effect.
    int code = 0;
    if (p == PartHead && HeadHitEffect(buffer, d, attributes, damage)) code = 11;
    // 11. A destroyed part.
    if (D.Frame.Durability[p] == 0) {
        code = p + 1;
        sjis::writeField(sa.HitStatusText, dmg::PartDestroyed);
        int64_t overkill = int64_t{damage} - old;
        bool selfDestructed = false;
        bool escaped = true;
        switch (p) {
        case PartLeftArm:
            escaped = armDestroyed(buffer, a, d, Arm::Left, overkill);
            break;
        case PartRightArm:
            escaped = armDestroyed(buffer, a, d, Arm::Right, overkill);
            break;
        case PartLeftLeg:
        case PartRightLeg:
            escaped = limbOrHeadDestroyed(buffer, a, d, overkill, 5);
            break;
        case PartBody:
            escaped = bodyDestroyed(buffer, a, d, overkill, selfDestructed);
            break;
        default:
            escaped = limbOrHeadDestroyed(buffer, a, d, overkill, 0);
            break;
        }
        if (selfDestructed) return; // the device has told its end
        if (p == PartBody || sd.AkDestroyed != 0) {
            sd.Escaped = escaped ? 1 : 0;
            if (!escaped) sd.EscapeFailed = 1;
        } else {
            sd.Escaped = 0;
        }
    }
    // 12. The finishing blow and the status text.
    gs.LastBodyDamage = damage;
    if (sd.AkDestroyed != 0) appendField(sa.HitStatusText, dmg::Induced);
    if (sjis::readField(sa.HitStatusText).empty()) sjis::writeField(sa.HitStatusText, FullWidth(damage));
    // 13. Damage lowers the defender's gauges.
    double gauge = sd.MovementDown;
    sd.MovementDown = gauge + static_cast<double>(damage / 15);
    gauge = sd.AttackDown;
    sd.AttackDown = gauge + static_cast<double>(damage / 2);
    gauge = sd.EvasionDown;
    sd.EvasionDown = gauge + static_cast<double>(damage / 2);
    // 14. The AK can no longer move: the announcer says so (unless a leg
    // is gone and it could move before), and its pilot when it already
    // could not.
    if (NarrationOn()) {
        moves = sd.Movement;
        movementDown = sd.MovementDown;
        int32_t leftLeg = D.Frame.Durability[PartLeftLeg], rightLeg = D.Frame.Durability[PartRightLeg];
        if (moves < movementDown && (wasImmobile || (leftLeg > 0 && rightLeg > 0))) {
            AnnouncerLine(buffer, d, 53, {sjis::readField(D.AkName)});
            if (wasImmobile) PilotSays(buffer, d, "M16B");
        }
    }
    // 15-16. Narration and the status line.
    EmitBodyHit(buffer, a, d, {p, code, damage});
    if (sd.AkDestroyed == 0 || !NarrationOn()) {
        if (!AnyPartAtZero(D)) StatusLine(buffer, d);
    } else {
        AnnouncerSaysAs(buffer, d, dmg::SoundEffect, "M98A");
    }
}

} // namespace cv
