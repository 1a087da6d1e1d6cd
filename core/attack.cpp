// Weapon choice, hit roll and number of hits.
#include "core/attack.h"

#include "base/sjis.h"
#include "core/arith.h"
#include "core/dice.h"
#include "core/emit.h"
#include "core/letters.h"
#include "core/module.h"
#include "core/rules.h"
#include "sjis/attack_text.h"

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

bool slotIndex(int32_t k) {
    return k >= 0 && k < WeaponSlotCount;
}

std::string_view sensorType(const TArmoredKnight& ak) {
    return sjis::readField(ak.Sensor.Type);
}

bool typeIs(std::string_view type, std::initializer_list<std::string_view> types) {
    for (std::string_view t : types)
        if (type == t) return true;
    return false;
}

// The copy of slot k as the attack, with the slot's comment when it has no
// mode letter, and the round's ammunition spent.
void takeSlot(TArmoredKnight& ak, CombatantState& s, int k, bool scaleHitRates) {
    TAkWeapon w = ak.Weapon[k];
    if (scaleHitRates)
        for (int i = 0; i < WeaponDistanceCount; ++i) w.HitRate[i] = Sat32(int64_t{w.HitRate[i]} * 10);
    w.CatalogNo = Sat32(int64_t{w.CatalogNo} - 1);
    if (w.ComputerDown < 1) w.ComputerDown = 1;
    if (w.SensorDown < 1) w.SensorDown = 1;
    s.CurrentAttack = w;
    int16_t mode = ak.Comments[k].Mode;
    if (mode == 0) s.CurrentComment = ak.Comments[k];
    std::string_view attributes = sjis::readField(w.Attributes);
    bool thrownClose = Has(attributes, ltr::White) && Has(attributes, ltr::Throw) && CurrentBand() < 3;
    if (!thrownClose) {
        int32_t ammo = ak.Weapon[k].AmmoLeft;
        ak.Weapon[k].AmmoLeft = Sat32(int64_t{ammo} - 1);
    }
    s.CannotAttack = 0;
}

// The empty attack: all zero, divisors 1, no comment.
void clearAttack(CombatantState& s) {
    s.CurrentAttack = TAkWeapon{};
    s.CurrentAttack.ComputerDown = 1;
    s.CurrentAttack.SensorDown = 1;
    s.CurrentComment = TAkComment{};
}

// The unarmed strike of code 1..4.
void takeStrike(TArmoredKnight& ak, CombatantState& s, int32_t code) {
    // Strike rows: 0 right punch, 1 left punch, 2 right kick, 3 left kick.
    static constexpr int rowOf[5] = {0, StrikeLeftPunch, StrikeRightPunch, StrikeLeftKick, StrikeRightKick};
    static constexpr const char* names[4] = {atk::RightPunch, atk::LeftPunch, atk::RightKick, atk::LeftKick};
    int row = rowOf[code];
    TAkWeapon& w = s.CurrentAttack;
    sjis::writeField(w.Name, names[row]);
    sjis::writeField(w.Attributes, atk::StrikeAttributes);
    std::memset(w.Mount, 0, sizeof w.Mount);
    std::memcpy(w.Mount, &code, sizeof code);
    w.ShotsPerAttack = 1;
    const TAkStrike& strike = ak.Frame.Strikes[row];
    w.HitRate[0] = strike.Hit;
    w.Power[0] = strike.Power;
    w.Destructive = strike.Destructive;
    w.ArmorValue = ak.Armor.Value[code]; // the strike code is the limb's part index
    w.AmmoLeft = 2;
    s.CurrentComment = ak.Comments[CommentRightPunch + row];
    s.CannotAttack = 0;
}

int headLoss(const TArmoredKnight& ak, const CombatantState& s) {
    int32_t head = ak.Frame.Durability[PartHead];
    double sensor = s.SensorDown;
    return head == 0 || sensor > 10.0 ? 20 : 0;
}

int32_t initiativeMod(int side) {
    const GameSettings& gs = Settings();
    return side == 0 ? gs.InitiativeMod1 : gs.InitiativeMod2;
}

} // namespace

int32_t CurrentBand() {
    int32_t band = Settings().DistanceBand;
    return ClampBand(band);
}

int32_t StrikeCode(const TAkWeapon& attack) {
    if (!IsUnarmedStrike(attack)) return 0;
    int32_t code = 0;
    std::memcpy(&code, attack.Mount, sizeof code);
    return code >= 1 && code <= 4 ? code : 0;
}

bool IsUnarmedStrike(const TAkWeapon& attack) {
    return sjis::readField(attack.Attributes) == atk::StrikeAttributes;
}

int32_t ChooseWeapon(TArmoredKnight& ak, CombatantState& s) {
    clearAttack(s);
    int32_t b = CurrentBand();
    if (s.WeaponChosen == 0) {
        for (int i = 0; i < WeaponSlotCount; ++i) {
            const TAkWeapon& w = ak.Weapon[i];
            if (s.WeaponPresent[i] && w.AmmoLeft >= 1 && w.HitRate[b - 1] > 0) {
                s.WeaponChosen = 1;
                s.ChosenSlot = i;
                break;
            }
        }
    }
    int32_t chosen = s.ChosenSlot;
    if (s.WeaponChosen != 0 && slotIndex(chosen)) {
        takeSlot(ak, s, chosen, true);
        return 0;
    }
    if (b != 1) {
        s.CannotAttack = 1;
        return 0;
    }
    int32_t code = 0;
    if (s.WeaponChosen != 0) {
        code = Sat32(int64_t{chosen} - 10);
    } else {
        int32_t D[BodyPartCount], M[BodyPartCount];
        for (int p = 0; p < BodyPartCount; ++p)
            D[p] = ak.Frame.Durability[p], M[p] = ak.Frame.MaxDurability[p];
        int64_t best = 0;
        if (D[PartRightArm] > 0) best = D[PartRightArm], code = 2;
        if (D[PartLeftArm] > best) best = D[PartLeftArm], code = 1;
        int64_t t = best + (int64_t{M[PartRightLeg]} - M[PartRightArm]);
        if (D[PartRightLeg] > t) t = D[PartRightLeg], code = 4;
        if (D[PartLeftLeg] > t) code = 3;
    }
    if (code < 1 || code > 4) {
        s.CannotAttack = 1;
        return 0;
    }
    // The code is kept as the chosen "slot" too, so that no later step
    // reads a weapon slot left from an earlier attack.
    s.ChosenSlot = code + 10;
    takeStrike(ak, s, code);
    return code;
}

void ChooseReflectedWeapon(TArmoredKnight& ak, CombatantState& s, int slot) {
    clearAttack(s);
    s.WeaponChosen = 1;
    s.ChosenSlot = slot;
    if (slotIndex(slot))
        takeSlot(ak, s, slot, false);
    else
        s.CannotAttack = 1;
}

void AnnounceWeaponCall(GameMessageBuffer& buffer, const TAkWeapon& attack, int speaker) {
    if (!NarrationOn() || !Has(sjis::readField(attack.Attributes), ltr::Zoro)) return;
    GameSettings& gs = Settings();
    int32_t width = gs.NameWidth;
    if (width < 8) gs.NameWidth = 8;
    buffer.CurrentKind = KindAnnouncer;
    Narrate(buffer, std::string(atk::ZoroOpen) + BasicMessage("M100A"), atk::ZoroSpeaker,
            (speaker == 1 ? 2 : 1));
    gs.NameWidth = width;
}

bool CheckForbiddenWeapon(GameMessageBuffer& buffer, int a, int d) {
    CombatantState& sa = stateOf(a);
    const TAkWeapon& attack = sa.CurrentAttack;
    if (!Has(sjis::readField(attack.Attributes), ltr::LetterF)) return false;
    auto anyForbid = [](const TArmoredKnight& ak) {
        for (const TAkWeapon& w : ak.Weapon)
            if (Has(sjis::readField(w.Attributes), ltr::Forbid)) return true;
        return false;
    };
    int s = anyForbid(akOf(d)) ? 1 : anyForbid(akOf(a)) ? 2 : 0;
    if (s == 0) return false;
    if (s == 1) PilotLine(buffer, d, 11);
    SystemLine(buffer, 1, atk::SoundEffect);
    int32_t price = attack.Price;
    std::string name(sjis::readField(attack.Name));
    ComputerLine(buffer, a, 69, {name, FullWidth(price), sjis::readField(sa.MasterCallName)});
    int32_t chosen = sa.ChosenSlot;
    if (slotIndex(chosen)) RemoveWeapon(akOf(a), chosen);
    return true;
}

void ApplySensorRules(GameMessageBuffer& buffer, int a, int d, int32_t& x, int32_t& y) {
    CombatantState& sa = stateOf(a);
    CombatantState& sd = stateOf(d);
    std::string_view ta = sensorType(akOf(a)), td = sensorType(akOf(d));
    const TAkWeapon& attack = sa.CurrentAttack;
    std::string_view attributes = sjis::readField(attack.Attributes);
    int32_t b = CurrentBand();
    int64_t dx = 0, dy = 0;

    if (ta == "WC") sa.SensorAttack = (10 - b) * 2;
    if (ta == "LC") sa.SensorAttack = b * 2;
    if (td == "WC") sd.SensorDefence = HasAny(attributes, {ltr::LetterM, ltr::LetterG, ltr::LetterR}) ? b : 0;

    if (Has(attributes, ltr::LetterM)) {
        if (ta == "ML") {
            dx -= 30;
            ComputerLine(buffer, a, 45);
        }
        if (td == "EM") {
            dx += 50;
            ComputerLine(buffer, a, 36);
        }
        if (td == "MJ") {
            dx += 30;
            ComputerLine(buffer, a, 46);
        }
    }
    if (ta == "MS" || td == "MS") {
        int32_t sensorAttack = sa.SensorAttack;
        if (typeIs(ta, {"ME", "LA"})) dx += sensorAttack;
        if (typeIs(td, {"ME", "LA"})) dy += sensorAttack;
        if (Has(attributes, ltr::Shoot)) {
            dx += 50;
            ComputerLine(buffer, a, 37);
        }
    }
    int32_t shots = attack.ShotsPerAttack;
    if (td == "MD" && shots > 1) {
        double divisor = Divisor(sd.SensorDown);
        int32_t p = Trunc32(static_cast<double>(shots) * 5.0 / divisor);
        dy -= p;
        ComputerLine(buffer, d, 48);
        Trace(buffer, atk::TraceCompoundEye, p);
    }
    sa.Precision = 0;
    if (Has(attributes, ltr::Precise)) {
        int32_t precision = 0;
        if (ta == "PF") precision += 50;
        if (ta == "PJ" || td == "PJ") {
            precision -= 50;
            PilotLine(buffer, a, 1);
        }
        sa.Precision = precision;
    }
    x = Sat32(int64_t{x} + dx);
    y = Sat32(int64_t{y} + dy);
}

bool BerserkModifier(const TArmoredKnight& ak, int32_t& m) {
    std::string_view disk = sjis::readField(ak.Computer.MissionDisk);
    auto startsWith = [&](std::string_view p) { return disk.substr(0, p.size()) == p; };
    if (!startsWith(ltr::Berserk1) && !startsWith(ltr::Berserk2)) {
        m = ak.Computer.MdAttack;
        return false;
    }
    m = 0;
    if (!Option(OptBerserk)) return false;
    bool damaged = false;
    for (int i = 0; i < BodyPartCount; ++i) {
        int32_t now = ak.Frame.Durability[i], max = ak.Frame.MaxDurability[i];
        if (now < 11 && now < max) damaged = true;
    }
    if (!damaged) return false;
    int32_t mdAttack = ak.Computer.MdAttack;
    m = Sat32(int64_t{mdAttack} + Settings().BerserkAttack);
    return true;
}

int FailureShift(int32_t mctl) {
    int64_t m = mctl;
    if (m >= 1000) return m >= 10000 ? 2 : 1;
    if (m < -99) {
        int64_t a = -m;
        return a >= 10000 ? -3 : a >= 1000 ? -2 : -1;
    }
    return 0;
}

bool RollHit(GameMessageBuffer& buffer, int a, int d, int32_t x, int32_t y) {
    TArmoredKnight& A = akOf(a);
    TArmoredKnight& D = akOf(d);
    CombatantState& sa = stateOf(a);
    CombatantState& sd = stateOf(d);
    GameSettings& gs = Settings();
    auto& scratch = Module().Attack;
    TAkWeapon& attack = sa.CurrentAttack;
    std::string attributes(sjis::readField(attack.Attributes));
    int32_t b = CurrentBand();
    int i = b - 1;

    // 1. Multiple shots.
    int32_t shots = attack.ShotsPerAttack;
    int32_t multi = 0;
    if (shots > 1) {
        int r0 = RollD100("multi-shot");
        scratch.LastMultiShotRoll = r0;
        multi = Sat32(int64_t{shots} * r0 / 10);
    }
    // 2. The divisors are never below 1.
    for (CombatantState* s : {&sa, &sd}) {
        double sensor = s->SensorDown, computer = s->ComputerDown;
        if (!(sensor >= 1.0)) s->SensorDown = 1.0;
        if (!(computer >= 1.0)) s->ComputerDown = 1.0;
    }
    // 3. Melee bonus.
    int32_t reaction = A.Reaction, boostA = sa.ReactionBoost;
    int32_t power = attack.Power[i];
    int32_t melee = MeleeRank(attributes, Sat32(int64_t{reaction} + boostA), power);
    scratch.MeleeBonus = melee;
    // 4. Head losses.
    int hlA = headLoss(A, sa), hlD = headLoss(D, sd);
    // 5. Dexterity.
    int32_t reactionD = D.Reaction, boostD = sd.ReactionBoost;
    int64_t dexA = (int64_t{initiativeMod(a)} + reaction) / 4 + boostA;
    int64_t dexD = (int64_t{initiativeMod(d)} + reactionD) / 4 + boostD;
    // 6. Berserk.
    int32_t comA = 0;
    if (BerserkModifier(A, comA)) {
        if (sa.BerserkAnnounced == 0) {
            ComputerLine(buffer, a, 71, {sjis::readField(A.Computer.MissionDisk)});
            sa.BerserkAnnounced = 1;
        }
        Trace(buffer, atk::TraceBerserkAttack, comA);
    }

    // 7. Attack value h.
    double computerA = sa.ComputerDown, sensorA = sa.SensorDown;
    int32_t levelA = A.Computer.Level;
    int64_t computeA = 3 * int64_t{levelA} + comA;
    int32_t h = Trunc32(static_cast<double>(dexA) + static_cast<double>(computeA) / computerA);
    int32_t moverAttack = A.Mover.Attack, hitRate = attack.HitRate[i], twoHand = attack.Reserved220;
    int64_t h64 = int64_t{h} + moverAttack + 10 * int64_t{melee} + hitRate + multi + twoHand;
    int hbA = A.Frame.Durability[PartHead] >= 1 ? 10 : 0;
    int32_t sensorAttack = sa.SensorAttack;
    h = Trunc32(hbA + static_cast<double>(sensorAttack) / sensorA + static_cast<double>(h64));
    int32_t modeA = sa.ActionMode, precision = sa.Precision;
    h64 = int64_t{h} + 20 * int64_t{modeA} + precision;
    double attackDown = sa.AttackDown;
    h = Trunc32(static_cast<double>(h64) - attackDown - hlA - x);
    int32_t expAttack = sa.OutOfAction ? 0 : int32_t{A.Pilot.ExpAttack};
    h = Sat32(int64_t{h} + expAttack);

    // 8. Evasion value e.
    int32_t levelD = D.Computer.Level, mdDefence = D.Computer.MdDefence;
    int64_t computeD = 3 * int64_t{levelD} + mdDefence;
    int64_t comD = computeD;
    int32_t unused = 0;
    if (BerserkModifier(D, unused)) {
        int32_t berserk = gs.BerserkDefence;
        comD += berserk;
        Trace(buffer, atk::TraceBerserkDefence, berserk);
    }
    double computerD = sd.ComputerDown, sensorD = sd.SensorDown;
    int32_t e = Trunc32(static_cast<double>(dexD) + static_cast<double>(comD) / computerD);
    int32_t evasion = D.Frame.Evasion, moverDefence = D.Mover.Defence;
    int64_t e64 = int64_t{e} + evasion + moverDefence;
    int hbD = D.Frame.Durability[PartHead] >= 1 ? 10 : 0;
    int32_t sensorDefence = sd.SensorDefence;
    e = Trunc32(hbD + static_cast<double>(sensorDefence) / sensorD + static_cast<double>(e64));
    int32_t modeD = sd.ActionMode, immobileD = sd.Immobile;
    e64 = int64_t{e} - 20 * int64_t{modeD} - 30 * int64_t{immobileD};
    double evasionDown = sd.EvasionDown;
    e = Trunc32(static_cast<double>(e64) - evasionDown - hlD - y);
    int32_t expDefence = sd.OutOfAction ? 0 : int32_t{D.Pilot.ExpDefence};
    e = Sat32(int64_t{e} + expDefence);

    // 9-11. Chance, failure shift, trace.
    int64_t chance = int64_t{h} - e;
    int f = FailureShift(A.Team.Mctl);
    if (TraceOn()) {
        Trace(buffer, atk::TraceAttack1, h, Sat32(dexA), expAttack, Sat32(computeA), Trunc32(computerA),
              moverAttack, Sat32(10 * int64_t{melee}), hitRate, twoHand);
        Trace(buffer, atk::TraceAttack2, multi, sensorAttack, Trunc32(sensorA), hbA - hlA,
              Sat32(20 * int64_t{modeA}), Sat32(-int64_t{Trunc32(attackDown)}),
              Sat32(int64_t{precision} - x));
        Trace(buffer, atk::TraceEvasion1, e, Sat32(dexD), expDefence, Sat32(computeD), Trunc32(computerD),
              evasion, moverDefence);
        Trace(buffer, atk::TraceEvasion2, sensorDefence, Trunc32(sensorD), hbD - hlD,
              Sat32(-20 * int64_t{modeD}), Sat32(-30 * int64_t{immobileD}),
              Sat32(-int64_t{Trunc32(evasionDown)}), y);
    }

    // 12. The hit roll.
    int r = RollD100("hit");
    Trace(buffer, atk::TraceHitRoll, Sat32(chance), Sat32(chance - multi), multi, r, f + 96);

    // 13. Outcome.
    bool unarmed = IsUnarmedStrike(attack);
    int32_t chosen = sa.ChosenSlot;
    bool haveSlot = slotIndex(chosen);
    int32_t slotAmmo = haveSlot ? int32_t{A.Weapon[chosen].AmmoLeft} : 0;
    bool hit = false, malfunction = false;
    if (r >= f + 101) {
        malfunction = !unarmed;
    } else if (r < f + 96) {
        hit = r < 96 && (r <= chance || r <= 5);
        if (hit && sd.AntiBeamField != 0 && Has(attributes, ltr::LetterB)) {
            int r2 = RollD100("beam-shield");
            Trace(buffer, atk::TraceBeamShield, 11 * b, r2);
            if (11 * b >= r2) {
                hit = false;
                PilotLine(buffer, a, 2);
            }
        }
    } else {
        bool melee50 = Has(attributes, ltr::White) && slotAmmo >= 50;
        malfunction = !(melee50 || unarmed);
    }
    if (malfunction && haveSlot) {
        A.Weapon[chosen].AmmoLeft = 0;
        sa.WeaponBroken[chosen] = 1;
        slotAmmo = 0;
    }

    // 14. The weapon's state in the round status.
    std::string text(sjis::readField(attack.Name));
    if (malfunction)
        text += atk::Malfunction;
    else if (!unarmed)
        text += FormatText(atk::AmmoLeft, FullWidth(slotAmmo).c_str());
    sjis::writeField(sa.AttackWeaponText, text);

    if (!malfunction) {
        // 15. A bound defender cannot avoid a binding "電" or "潰" weapon.
        int32_t bound = sd.BindDistance;
        if (bound > 0 && Has(attributes, ltr::Bind) && HasAny(attributes, {ltr::Electric, ltr::Crush})) {
            hit = true;
            Trace(buffer, atk::TraceBindHit);
        }
        // 16. A returning weapon comes back after a miss.
        bool thrownClose = Has(attributes, ltr::White) && Has(attributes, ltr::Throw) && b <= 2;
        if (!hit && Has(attributes, ltr::Return) && !thrownClose && haveSlot) {
            int32_t ammo = A.Weapon[chosen].AmmoLeft;
            A.Weapon[chosen].AmmoLeft = Sat32(int64_t{ammo} + 1);
        }
    }
    // 17. The miss.
    if (!hit) EmitMiss(buffer, a, d, malfunction);
    return hit;
}

void ApplyHitSensorEffects(GameMessageBuffer& buffer, int a, int d) {
    TAkWeapon& attack = stateOf(a).CurrentAttack;
    std::string_view attributes = sjis::readField(attack.Attributes);
    std::string_view t = sensorType(akOf(d));
    auto blind = [&](int line) {
        int32_t sensor = attack.SensorDown;
        attack.SensorDown = Sat32(int64_t{sensor} * 5);
        ComputerLine(buffer, d, line);
    };
    if (HasAny(attributes, {ltr::Fire, ltr::Heat}) && typeIs(t, {"HS", "TS"})) blind(40);
    if (Has(attributes, ltr::Smoke)) {
        if (typeIs(t, {"LC", "WC", "TS"}))
            blind(41);
        else
            ComputerLine(buffer, d, 42);
    }
    if (Has(attributes, ltr::Light) && !typeIs(t, {"LC", "WC", "TS"})) ComputerLine(buffer, d, 43);
}

int32_t CountHits(GameMessageBuffer& buffer, int a, int d) {
    CombatantState& sa = stateOf(a);
    TArmoredKnight& D = akOf(d);
    TAkWeapon& attack = sa.CurrentAttack;
    std::string_view attributes = sjis::readField(attack.Attributes);
    const auto& scratch = Module().Attack;
    int32_t shots = attack.ShotsPerAttack;

    // 1. Hits of a multi-shot weapon.
    int64_t n = 1;
    if (shots > 1) n = std::min<int64_t>((100 - int64_t{scratch.LastMultiShotRoll}) * shots / 100 + 1, shots);
    // 2. Interception of missiles and rockets.
    if (HasAny(attributes, {ltr::LetterM, ltr::LetterR})) {
        for (int k = 0; k < WeaponSlotCount; ++k) {
            TAkWeapon& w = D.Weapon[k];
            int32_t ammo = w.AmmoLeft;
            if (!Has(sjis::readField(w.Attributes), ltr::Intercept) || ammo <= 0) continue;
            w.AmmoLeft = ammo - 1;
            int r = RollD100("interception");
            int32_t interceptorShots = w.ShotsPerAttack;
            int64_t stopped = (int64_t{interceptorShots} * r + 50) / 100;
            int64_t before = n;
            n = std::max<int64_t>(n - stopped, 0);
            ComputerLine(buffer, d, 72, {sjis::readField(w.Name), FullWidth(before - n)});
            break;
        }
    }
    // 3. Power.
    int i = CurrentBand() - 1;
    int64_t power = attack.Power[i];
    int32_t destructive = attack.Destructive;
    if (shots >= 2 && n > 0 && destructive >= 1) {
        power = power + 2 * n - 2;
        if (power < 1) power = 0;
        bool aimed = HasAny(attributes, {ltr::Shoot, ltr::Throw});
        ComputerLine(buffer, a, aimed ? 3 : 4, {FullWidth(n), FullWidth(std::max<int64_t>(shots, 1))});
    }
    if (n == 0) {
        EmitMiss(buffer, a, d);
        return 0;
    }
    // 4. Sound against a noise canceller.
    if (Has(attributes, ltr::Sound) && sensorType(D) == "NC") {
        ComputerLine(buffer, d, 47);
        attack.AttackDown = 0;
        attack.EvasionDown = 0;
        attack.MoveDown = 0;
        attack.ComputerDown = 1;
        attack.SensorDown = 1;
    }
    // 5. The attack's power, told by the attacker's computer: the power
    // alone, or with the melee bonus and their sum.
    int32_t bonus = scratch.MeleeBonus;
    int32_t total = Sat32(power + bonus);
    if (bonus == 0)
        ComputerLine(buffer, a, 61, {FullWidth(total)});
    else
        ComputerLine(buffer, a, 62, {FullWidth(power), FullWidth(bonus), FullWidth(total)});
    Trace(buffer, atk::TracePower, total, Sat32(power), bonus);
    Settings().AttackPower = total;
    return Sat32(n);
}

void StrikeRecoil(GameMessageBuffer& buffer, int a, int32_t v) {
    TArmoredKnight& A = akOf(a);
    CombatantState& sa = stateOf(a);
    const TAkWeapon& attack = sa.CurrentAttack;
    if (!Has(sjis::readField(attack.Attributes), ltr::Hand)) return;
    int r = RollD100("recoil");
    int32_t own = attack.ArmorValue;
    int64_t dmg = int64_t{r} * (int64_t{v} - own) * 10 / 100;
    Trace(buffer, atk::TraceRecoil, own, v);
    int32_t code = StrikeCode(attack);
    if (dmg <= 0 || code == 0) return;
    // The limb keeps at least 1; one already at 0 has nothing to lose.
    int32_t durability = A.Frame.Durability[code];
    if (durability < 1) return;
    if (dmg >= durability) {
        dmg = durability - 1;
        durability = 1;
    } else {
        durability = Sat32(durability - dmg);
    }
    A.Frame.Durability[code] = durability;
    if (dmg <= 0) return;
    static constexpr const char* limbs[5] = {"", atk::LimbLeftArm, atk::LimbRightArm, atk::LimbLeftLeg,
                                             atk::LimbRightLeg};
    ComputerLine(buffer, a, 24,
                 {limbs[code], FullWidth(dmg), FullWidth(durability), sjis::readField(sa.MasterCallName)});
    if (OptionalLine("M91A")) PilotSays(buffer, a, "M91A");
}

} // namespace cv
