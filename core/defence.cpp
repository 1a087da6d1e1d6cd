// Shields, parries and weapon hits.
#include "core/defence.h"

#include "base/sjis.h"
#include "core/arith.h"
#include "core/attack.h"
#include "core/combatant.h"
#include "core/damage.h"
#include "core/dice.h"
#include "core/emit.h"
#include "core/gauges.h"
#include "core/letters.h"
#include "core/module.h"
#include "core/rules.h"
#include "sjis/defence_text.h"

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

int slotOf(int n) {
    return n >= 1 && n <= WeaponSlotCount ? n - 1 : 0;
}

void setShieldAbsorb(double g) {
    std::memcpy(reinterpret_cast<char*>(&Settings()) + offsetof(GameSettings, ShieldAbsorb), &g, sizeof g);
}

// P / q, at least 1.
int64_t divided(int64_t p, int64_t q) {
    return std::max<int64_t>(p / q, 1);
}

// trunc(Reaction / 4 + ReactionBoost + ExpDefence ...): the defender's
// quickness, shared by the jettison and the parry.
double quickness(const TArmoredKnight& D, const CombatantState& sd) {
    int32_t reaction = D.Reaction, boost = sd.ReactionBoost, experience = D.Pilot.ExpDefence;
    return static_cast<double>(reaction) / 4.0 + boost + experience;
}

// (3 × level + MdDefence) / ComputerDown.
double computerDefence(const TArmoredKnight& D, const CombatantState& sd) {
    int32_t level = D.Computer.Level, mdDefence = D.Computer.MdDefence;
    return static_cast<double>(3 * int64_t{level} + mdDefence) / Divisor(sd.ComputerDown);
}

} // namespace

int CheckShield(GameMessageBuffer& buffer, int a, int d) {
    const TArmoredKnight& D = akOf(d);
    std::string_view attributes = sjis::readField(stateOf(a).CurrentAttack.Attributes);
    bool evade = Has(attributes, ltr::Evade);
    bool pj = sjis::readField(akOf(a).Sensor.Type) == "PJ" || sjis::readField(D.Sensor.Type) == "PJ";
    int32_t w[6] = {};
    bool evaded = false, precise = false;
    for (int k = 0; k < WeaponSlotCount; ++k) {
        std::string_view t = sjis::readField(D.Weapon[k].Attributes);
        if (!Has(t, ltr::Shield)) continue;
        double factor = 1.0;
        if (evade) {
            factor = Has(t, ltr::Precise) ? 0.75 : 0.5;
            evaded = true;
        }
        if (Has(t, ltr::Precise) && pj) {
            factor *= 0.1;
            precise = true;
        }
        int32_t taken = D.Weapon[k].HitTaken;
        w[k] = Trunc32(static_cast<double>(taken) * factor);
    }
    if (evaded) PilotLine(buffer, d, 8);
    if (precise) PilotLine(buffer, d, 9);
    setShieldAbsorb(0.0);
    int n = RollLocation(buffer, w, dfn::LabelShield);
    if (n == 0) Trace(buffer, dfn::TraceShieldMissed);
    return n;
}

int32_t ShieldDamage(GameMessageBuffer& buffer, int a, int d, int n, int32_t hits) {
    GameSettings& gs = Settings();
    TArmoredKnight& D = akOf(d);
    CombatantState& sa = stateOf(a);
    CombatantState& sd = stateOf(d);
    const TAkWeapon& attack = sa.CurrentAttack;
    int k = slotOf(n);
    TAkWeapon& S = D.Weapon[k];
    std::string t(sjis::readField(S.Attributes));
    std::string A(sjis::readField(attack.Attributes));
    std::string name(sjis::readField(S.Name));
    int64_t p = gs.AttackPower;

    // 1. Weight.
    if (Has(A, ltr::Heavy)) {
        int32_t weight = S.Weight;
        S.Weight = Sat32(int64_t{weight} + 100);
        if (sd.OutOfAction == 0) PilotLine(buffer, d, 10, {name});
    }
    // 2. The shield's divisor.
    int32_t full = S.ArmorValue, left = S.ArmorLeft;
    int64_t q = full > 0 ? std::max<int64_t>(int64_t{left} * 5 / full, 2) : 2;
    // 3. Beam coating.
    int32_t antiBeam = S.AntiBeam;
    if (antiBeam > 0 && Has(A, ltr::LetterB)) {
        p = divided(p, q);
        ComputerLine(buffer, d, 26);
        Trace(buffer, dfn::TraceBeamCoat, Sat32(q));
    }
    // 4. Elements.
    int64_t extra = 0;
    bool weak = (Has(t, ltr::LetterA) && HasAny(A, {ltr::LetterB, ltr::Fire, ltr::Heat, ltr::Cold})) ||
                (Has(t, ltr::LetterH) && Has(A, ltr::Cold)) ||
                (Has(t, ltr::LetterC) && HasAny(A, {ltr::Fire, ltr::Heat}));
    if (weak) {
        extra = 2;
        Trace(buffer, dfn::TraceElement, Sat32(p / 4));
        p = p * 5 / 4;
        ComputerLine(buffer, d, 33);
    } else if (Has(t, ltr::LetterA)) {
        if (Has(A, ltr::Solid)) {
            p = divided(p, q);
            ComputerLine(buffer, d, 29);
        } else if (Has(A, ltr::Knock)) {
            p = std::max<int64_t>(p * 4 / 5, 1);
            ComputerLine(buffer, d, 30);
            Trace(buffer, dfn::TraceKnockA);
        }
    } else if (Has(t, ltr::LetterH) && HasAny(A, {ltr::Fire, ltr::Heat})) {
        p = divided(p, q);
        ComputerLine(buffer, d, 31);
        Trace(buffer, dfn::TraceFireH, Sat32(q));
    } else if (Has(t, ltr::LetterC) && Has(A, ltr::Cold)) {
        p = divided(p, q);
        ComputerLine(buffer, d, 32);
        Trace(buffer, dfn::TraceColdC, Sat32(q));
    }
    // 5. The share of the down values the shield lets through.
    double g = 0.25;
    if (Has(A, ltr::Knock)) g = Has(t, ltr::LetterA) ? 0.1 : 0.75;
    int32_t taken = S.HitTaken;
    if (HasAny(A, {ltr::Sticky, ltr::Cold}) && taken >= 30) {
        g = 0.1;
        ComputerLine(buffer, d, 25);
    }
    if (HasAny(t, {ltr::Resist, ltr::Precise}) && Has(A, ltr::Electric)) {
        g = 0.1;
        ComputerLine(buffer, d, 28);
    }
    setShieldAbsorb(g);
    ApplyDownValues(sd, attack, g);
    // 6. Thrusts and swords press on a shield.
    int64_t b = 0;
    if (HasAny(A, {ltr::Pierce, ltr::Sword})) {
        b = 1;
        Trace(buffer, dfn::TracePierce);
    }
    // 7-8. What was hit, the status line, the recoil.
    sjis::writeField(sa.ShieldHitName, name);
    Module().Attack.ShieldArmourBefore = left;
    int32_t power = Sat32(p + b);
    if (power <= left) StatusLine(buffer, d);
    StrikeRecoil(buffer, a, S.ArmorLeft);
    // 9. Without "中" an attack that destroys nothing only meets the shield.
    int32_t destructive = attack.Destructive;
    if (!Has(A, ltr::Through) && destructive == 0) {
        int32_t now = S.ArmorLeft;
        sjis::writeField(sa.ShieldStatusText, FormatText(dfn::ShieldHeld, now));
        return 0;
    }
    // 10. Delayed reflection, the armour check and the constant losses.
    bool reflects = Has(A, ltr::LetterB) && Has(t, ltr::Reflect);
    if (!Option(OptInstantBeamReflection) && reflects) {
        if (sd.WeaponBroken[k] == 0 || !Option(OptNoReflectBrokenArms)) {
            ComputerLine(buffer, d, 27);
            int32_t ammo = S.AmmoLeft;
            S.AmmoLeft = Sat32(int64_t{ammo} + 1);
        } else {
            Trace(buffer, dfn::TraceBrokenNoReflect);
        }
    }
    int32_t old = S.ArmorLeft;
    int32_t armour = old, noWeight = 0;
    ArmorCheck(buffer, armour, power, destructive, noWeight, 0);
    if (Has(t, ltr::LetterE)) {
        if (Has(A, ltr::Through)) {
            extra += 5 * int64_t{hits};
            ComputerLine(buffer, d, 34);
        } else {
            extra += 1;
        }
    }
    if (Has(t, ltr::Precise) && Has(A, ltr::Strike)) {
        extra += 2;
        PilotLine(buffer, a, 4);
        ComputerLine(buffer, d, 35, {name});
    }
    armour = Sat32(std::max<int64_t>(int64_t{armour} - extra, 0));
    S.ArmorLeft = armour;
    if (extra > 0) Trace(buffer, dfn::TraceArmourConstant, Sat32(extra));
    int32_t result = Sat32(int64_t{power} - old);
    EmitShieldDamage(buffer, a, d, k, result);
    return result;
}

int ResolveShieldHit(GameMessageBuffer& buffer, int a, int d, int n, int32_t& pen) {
    GameSettings& gs = Settings();
    TArmoredKnight& D = akOf(d);
    CombatantState& sa = stateOf(a);
    CombatantState& sd = stateOf(d);
    int k = slotOf(n);
    TAkWeapon& S = D.Weapon[k];
    std::string t(sjis::readField(S.Attributes));
    std::string mount(sjis::readField(S.Mount));
    std::string name(sjis::readField(S.Name));
    std::string_view A = sjis::readField(sa.CurrentAttack.Attributes);
    std::string before = FormatText(dfn::ShieldBefore, Module().Attack.ShieldArmourBefore);

    sjis::writeField(gs.FinishPierceWeapon, name);
    int32_t left = S.ArmorLeft;
    if (left < 1) {
        // Destroyed: a penetrating hit may still be stopped by throwing the
        // shield off in time.
        sjis::writeField(gs.FinishEjectWeapon, name);
        sjis::writeField(gs.FinishPierceWeapon, "");
        std::string status = FormatText(dfn::ShieldDestroyed, before.c_str());
        if (pen > 0) {
            double evasionDown = sd.EvasionDown;
            int64_t x = std::max<int32_t>(Trunc32(quickness(D, sd) - evasionDown), 0) + int64_t{20};
            if (Has(t, ltr::Precise)) x += 30;
            int64_t y = Trunc32(10.0 * MdLevelDigit(D) + computerDefence(D, sd));
            int r = RollD100("jettison");
            Trace(buffer, dfn::TraceJettison, Sat32(x + y), r, Sat32(-int64_t{Trunc32(evasionDown)}));
            if (r <= x) {
                PilotSays(buffer, d, "M13B", {name});
                pen = 0;
            } else if (r <= x + y) {
                ComputerSays(buffer, d, "M14B");
                pen = 0;
            }
            if (pen < 1)
                StatusLine(buffer, d);
            else
                status += dfn::JettisonFailed;
        }
        sjis::writeField(sa.ShieldStatusText, status);
        RemoveWeapon(D, k);
    } else {
        sjis::writeField(
            sa.ShieldStatusText,
            FormatText(dfn::ShieldSurvived, pen < 1 ? dfn::Guarded : dfn::Pierced, before.c_str(), left));
        if (Option(OptInstantBeamReflection) && Has(A, ltr::LetterB) && Has(t, ltr::Reflect)) {
            if (sd.WeaponBroken[k] == 0 || !Option(OptNoReflectBrokenArms)) {
                if (pen < 1) {
                    ComputerLine(buffer, d, 27);
                    int32_t ammo = S.AmmoLeft;
                    S.AmmoLeft = Sat32(int64_t{ammo} + 1);
                    return 2;
                }
                Trace(buffer, dfn::TracePiercedNoReflect);
            } else {
                Trace(buffer, dfn::TraceBrokenNoReflect);
            }
        }
    }
    if (pen < 1) return 1;
    // The rest hits the arm that holds the shield.
    if (mount == ltr::RightHand || mount == ltr::RightArm || mount == ltr::RightShoulder)
        gs.FinishPart = PartRightArm;
    else if (mount == ltr::LeftHand || mount == ltr::LeftArm || mount == ltr::LeftShoulder)
        gs.FinishPart = PartLeftArm;
    gs.AttackPower = pen;
    return 0;
}

int ParryOrWeaponHit(GameMessageBuffer& buffer, int a, int d) {
    GameSettings& gs = Settings();
    const TArmoredKnight& D = akOf(d);
    CombatantState& sa = stateOf(a);
    const CombatantState& sd = stateOf(d);
    auto& scratch = Module().Attack;
    std::string_view A = sjis::readField(sa.CurrentAttack.Attributes);
    scratch.Parry = 0;

    if (Option(OptParry) && sd.OutOfAction == 0 && Has(A, ltr::Bullet)) {
        int32_t w[6] = {};
        bool any = false;
        for (int k = 0; k < WeaponSlotCount; ++k) {
            if (!Has(sjis::readField(D.Weapon[k].Attributes), ltr::Deflect)) continue;
            w[k] = D.Weapon[k].HitTaken;
            any = any || w[k] != 0;
        }
        if (any) {
            int k = RollLocation(buffer, w, dfn::LabelParry);
            if (k > 0) {
                ComputerLine(buffer, d, 66, {sjis::readField(D.Weapon[k - 1].Name)});
                int r = RollD100("parry");
                int32_t p = Trunc32(quickness(D, sd) + 5 + computerDefence(D, sd));
                Trace(buffer, dfn::TraceParry, p, r);
                if (p >= r) {
                    gs.AttackPower = 0;
                    ComputerLine(buffer, d, 65);
                    sjis::writeField(sa.ParryText, dfn::ParrySuccess);
                    scratch.Parry = 1;
                } else {
                    gs.AttackPower = 1;
                    ComputerLine(buffer, d, 67);
                    sjis::writeField(sa.ParryText, dfn::ParryFailure);
                    scratch.Parry = 2;
                }
                return k;
            }
            Trace(buffer, dfn::TraceParryMissed);
        }
    }

    int32_t w[6] = {};
    for (int k = 0; k < WeaponSlotCount; ++k) {
        const TAkWeapon& W = D.Weapon[k];
        std::string_view t = sjis::readField(W.Attributes);
        int64_t weight = W.HitTaken;
        if (Has(t, ltr::Shield)) weight /= 2;
        if (Has(t, ltr::Receive) && Has(t, ltr::White)) {
            Trace(buffer, dfn::TraceReceive, k + 1, Sat32(weight));
            weight *= 2;
        }
        int32_t ammo = W.AmmoLeft;
        if (Has(t, ltr::White) && HasAny(t, {ltr::Throw, ltr::LetterG}) && ammo == 0) weight = 0;
        w[k] = Sat32(weight);
    }
    int k = RollLocation(buffer, w, dfn::LabelWeapon);
    if (k == 0) Trace(buffer, dfn::TraceNoWeaponHit);
    return k;
}

bool WeaponHit(GameMessageBuffer& buffer, int a, int d, int k) {
    GameSettings& gs = Settings();
    TArmoredKnight& A = akOf(a);
    TArmoredKnight& D = akOf(d);
    CombatantState& sa = stateOf(a);
    CombatantState& sd = stateOf(d);
    TAkWeapon& attack = sa.CurrentAttack;
    int slot = slotOf(k);
    TAkWeapon& W = D.Weapon[slot];
    std::string t(sjis::readField(W.Attributes));
    std::string attributes(sjis::readField(attack.Attributes));
    std::string name(sjis::readField(W.Name));
    int32_t power = gs.AttackPower;
    bool outOfAction = sd.OutOfAction != 0;

    // 1-2. Weight, the share of the down values, the status line.
    if (Has(attributes, ltr::Heavy)) {
        int32_t weight = W.Weight;
        W.Weight = Sat32(int64_t{weight} + 100);
        if (!outOfAction) PilotLine(buffer, d, 10, {name});
    }
    double g = 0.5;
    if (HasAny(t, {ltr::Resist, ltr::Electric}) && Has(attributes, ltr::Electric)) {
        g = 0.0;
        if (!outOfAction) PilotLine(buffer, d, 5);
    }
    ApplyDownValues(sd, attack, g);
    StatusLine(buffer, d);
    // 3. Nothing destructive: the attack ends.
    int32_t destructive = attack.Destructive;
    if (destructive == 0) return true;
    // 4. Recoil, then the weapon holds or breaks.
    StrikeRecoil(buffer, a, W.ArmorLeft);
    sd.Exploded = 0;
    int32_t left = W.ArmorLeft;
    int32_t rest = Sat32(int64_t{left} - power);
    WeaponHitReport report;
    report.Slot = slot;
    report.Parry = Module().Attack.Parry;
    if (power < left) {
        sjis::writeField(sa.HitStatusText, FormatText(dfn::WeaponDamaged, left, rest));
    } else {
        int32_t destroyed = A.Pilot.Destroyed, induced = W.InducedExplosion;
        int64_t e = int64_t{destroyed} + induced;
        if (HasAny(t, {ltr::LetterM, ltr::LetterR, ltr::LetterG})) {
            int32_t shots = W.ShotsPerAttack, ammo = W.AmmoLeft;
            e = Mul64(Mul64(e, shots), ammo);
        }
        int32_t defence = D.Pilot.ExpDefence;
        bool exploded = RollInducedExplosion(buffer, defence, Sat32(e));
        sd.Exploded = exploded ? 1 : 0;
        if (exploded) sjis::writeField(gs.FinishInducedWeapon, name);
        sjis::writeField(sa.HitStatusText, FormatText(dfn::WeaponDestroyed, left));
        report.Destroyed = true;
        report.Exploded = exploded;
    }
    sjis::writeField(sa.WeaponHitName, name);
    bool keepsDamage = HasAny(t, {ltr::Shield, ltr::Receive}) || Module().Attack.Parry == 2;
    report.Damaged = rest >= 1 && power >= 1 && keepsDamage;
    // 5. Narration.
    EmitWeaponHit(buffer, a, d, report);
    // 6. A broken weapon is lost; its explosion hits the frame.
    if (rest < 1) {
        RemoveWeapon(D, slot);
        if (!report.Exploded) return true;
        gs.AttackPower = Sat32(int64_t{destructive} + 1);
        attack.Destructive = 1;
        attack.ComputerDown = 1;
        attack.SensorDown = 1;
        attack.AttackDown = 0;
        attack.EvasionDown = 0;
        attack.MoveDown = 0;
        sjis::writeField(attack.Attributes, "");
        return false;
    }
    // 7. Shields, guards and failed parries keep the damage.
    if (power >= 1 && keepsDamage) {
        W.ArmorLeft = rest;
        ComputerLine(buffer, d, 20, {name, FullWidth(power), FullWidth(rest)});
    }
    return true;
}

} // namespace cv
