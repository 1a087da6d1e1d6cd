// The AK rules of the combat steps.
#include "core/rules.h"

#include "base/akparams.h"
#include "base/sjis.h"
#include "core/dice.h"
#include "core/module.h"
#include "core/queue.h"
#include "sjis/rules_text.h"

#include <algorithm>
#include <climits>

namespace cv {

namespace {

constexpr std::string_view text(const char* literal) {
    return std::string_view(literal);
}

int32_t saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int countOf(std::string_view hay, std::string_view needle) {
    int n = 0;
    for (size_t p = sjis::find(hay, needle); p != sjis::npos; p = sjis::find(hay, needle, p + needle.size()))
        ++n;
    return n;
}

bool present(const TAkWeapon& w) {
    return !sjis::readField(w.Name).empty();
}

void clearStrike(TAkStrike& row) {
    row.Hit = 0;
    row.Power = 0;
    row.Destructive = 0;
}

} // namespace

void RoundDerivedValues(TArmoredKnight& ak, CombatantState& s) {
    ak.TotalWeight = ak::CalcAkWeight(ak);
    int64_t durability = 0;
    for (int i = 0; i < BodyPartCount; ++i) durability += int32_t{ak.Frame.Durability[i]};
    s.DurabilityTotal = ak::wrap32(durability);
    s.Movement = 0;
    s.EffectivePower = 0;

    int32_t reaction = ak::Mctl2DexCore(ak.Team.Mctl);
    if (sjis::contains(sjis::readField(ak.Frame.Name), rut::MachineCustom)) reaction += 5;
    int64_t movement = 0;
    for (const TAkWeapon& w : ak.Weapon) {
        int32_t price = w.Price;
        if (price > 0) movement += countOf(sjis::readField(w.Attributes), rut::Thrust);
    }

    int32_t enginePrice = ak.Engine.Price, framePrice = ak.Frame.Price;
    if (enginePrice > 0 && framePrice > 0) {
        int32_t maxTotal = s.MaxDurabilityTotal;
        int32_t power = 0;
        if (maxTotal != 0) power = saturate(int64_t{s.DurabilityTotal} * int32_t{s.EnginePower} / maxTotal);
        s.EffectivePower = power;
        if (power != 0) {
            int32_t loss = saturate(int64_t{ak.TotalWeight} * 100 / power);
            reaction = ak::wrap32(int64_t{reaction} - loss + 100);
            int32_t leftLeg = ak.Frame.Durability[PartLeftLeg];
            if (leftLeg != 0)
                movement +=
                    (int64_t{reaction} + int32_t{s.ReactionBoost}) / 20 + int32_t{ak.Mover.MoveBonus} + 1;
            else
                movement += ak::MoverBonus(ak.Mover);
        }
    }
    ak.Reaction = reaction;
    s.Movement = movement < 0 ? 0 : saturate(movement);
    s.CurrentMachineValue = ak::SumAkPrice(ak);
}

int32_t MeleeRank(std::string_view attributes, int32_t reaction, int32_t power) {
    return power >= 1 ? ak::CalcHakuhei(attributes, reaction) : 0;
}

bool AnyPartAtZero(const TArmoredKnight& ak) {
    for (int i = 0; i < BodyPartCount; ++i)
        if (ak.Frame.Durability[i] == 0) return true;
    return false;
}

bool CanAttackAt(const TArmoredKnight& ak, const CombatantState& s, int32_t band) {
    if (band >= 1 && band <= WeaponDistanceCount) {
        for (int i = 0; i < WeaponSlotCount; ++i) {
            const TAkWeapon& w = ak.Weapon[i];
            if (s.WeaponPresent[i] && w.AmmoLeft >= 1 && w.HitRate[band - 1] >= 1) return true;
        }
    }
    if (band != 1) return false;
    for (int part : {PartLeftArm, PartRightArm, PartLeftLeg, PartRightLeg})
        if (ak.Frame.Durability[part] > 0) return true;
    return false;
}

void RemoveWeapon(TArmoredKnight& ak, int k) {
    if (k < 0 || k >= WeaponSlotCount) return;
    TAkWeapon& w = ak.Weapon[k];
    ak.TotalWeight = ak::wrap32(int64_t{ak.TotalWeight} - int32_t{w.Weight});
    int mount = ak::MountSlotIndex(sjis::readField(w.Mount));
    if (mount < MountCount) {
        ak.MountUsed[mount] = 0;
    } else {
        ak.MountUsed[MountRightHand] = 0;
        ak.MountUsed[MountLeftHand] = 0;
    }
    w = TAkWeapon{};
    w.ComputerDown = 1;
    w.SensorDown = 1;
    ak.Comments[k] = TAkComment{};
}

void LoseArmWeapons(TArmoredKnight& ak, CombatantState&, std::string_view side, std::string_view other,
                    int hand) {
    for (int k = 0; k < WeaponSlotCount; ++k) {
        TAkWeapon& w = ak.Weapon[k];
        if (!present(w)) continue;
        std::string_view mount = sjis::readField(w.Mount);
        if (sjis::contains(mount, side)) {
            RemoveWeapon(ak, k);
        } else if (sjis::contains(mount, rut::TwoHanded)) {
            if (RollD100("arm-loss-two-handed") < 51) {
                sjis::writeField(w.Mount, std::string(other) + rut::Hand);
                if (hand >= 0 && hand < MountCount) ak.MountUsed[hand] = 0;
                int32_t grip = w.Reserved220;
                if (grip > 0)
                    w.Reserved220 = 0;
                else
                    w.AmmoLeft = 0;
            } else {
                RemoveWeapon(ak, k);
            }
        }
    }
}

void LoseArmWeapons(TArmoredKnight& ak, CombatantState& s, Arm arm) {
    if (arm == Arm::Right)
        LoseArmWeapons(ak, s, rut::Right, rut::Left, 0);
    else
        LoseArmWeapons(ak, s, rut::Left, rut::Right, 1);
}

void RemoveSensor(TArmoredKnight& ak) {
    sjis::writeField(ak.Sensor.Name, "");
    sjis::writeField(ak.Sensor.Type, "");
    ak.Sensor.Weight = 0;
    ak.Sensor.Price = 0;
    ak.Sensor.Attack = 0;
    ak.Sensor.Defence = 0;
}

void SettleParts(TArmoredKnight& ak, CombatantState& s) {
    auto below1 = [&](int part) { return ak.Frame.Durability[part] < 1; };
    if (below1(PartBody)) ak.Frame.Durability[PartBody] = 1;
    if (below1(PartHead)) {
        ak.Frame.Durability[PartHead] = 0;
        RemoveSensor(ak);
    }
    if (below1(PartRightArm)) {
        LoseArmWeapons(ak, s, Arm::Right);
        clearStrike(ak.Frame.Strikes[StrikeRightPunch]);
        ak.Frame.Durability[PartRightArm] = 0;
    }
    if (below1(PartLeftArm)) {
        LoseArmWeapons(ak, s, Arm::Left);
        clearStrike(ak.Frame.Strikes[StrikeLeftPunch]);
        ak.Frame.Durability[PartLeftArm] = 0;
    }
    if (below1(PartLeftLeg)) ak.Frame.Durability[PartLeftLeg] = 0;
    if (below1(PartRightLeg)) ak.Frame.Durability[PartRightLeg] = 0;
}

int MdLevelDigit(const TArmoredKnight& ak) {
    std::string_view disk = sjis::readField(ak.Computer.MissionDisk);
    size_t l = sjis::find(disk, rut::FullL);
    if (l == sjis::npos) return 0;
    size_t next = l + text(rut::FullL).size();
    if (sjis::charLength(disk, next) != 2) return 0;
    std::string_view digit = disk.substr(next, 2);
    std::string_view digits = rut::FullDigits;
    for (int d = 1; d <= 9; ++d)
        if (digits.substr(2 * (d - 1), 2) == digit) return d;
    return 0;
}

void ClearPilot(TArmoredKnight& ak) {
    sjis::writeField(ak.Pilot.Name, "");
    sjis::writeField(ak.Pilot.Sex, "");
    ak.Pilot.Age = 0;
    ak.Pilot.ExpAttack = 0;
    ak.Pilot.ExpDefence = 0;
    ak.Pilot.ExpEscape = 0;
    ak.Pilot.Wins = 0;
    ak.Pilot.Battles = 0;
    ak.Pilot.Destroyed = 0;
    ak.Pilot.Kills = 0;
    ak.Pilot.Draws = 0;
}

bool PilotEscape(TArmoredKnight& ak, uint8_t& killed, int32_t bonus, int32_t fumble, int32_t gain,
                 std::string_view attackerDisk, std::string& trace) {
    int r = RollD100("escape");
    int32_t md = 0;
    if (attackerDisk == rut::ConscienceCircuit)
        md = 10;
    else if (attackerDisk == rut::SuperConscienceCircuit)
        md = 50;
    int32_t device = ak.Escape.EscapeBonus;
    int32_t experience = ak.Pilot.ExpEscape;
    int32_t chance = ak::wrap32(int64_t{device} + bonus + experience + md + 20);
    bool failed = r > int64_t{100} - fumble || r > chance;
    trace = FormatText(rut::EscapeTrace, chance, r, failed ? rut::Failure : rut::Success, device, experience,
                       fumble, ak::wrap32(int64_t{bonus} + 20), md);
    if (!failed) {
        killed = 0;
        if (!Option(OptSimulationMode)) ak.Pilot.ExpEscape = ak::wrap32(int64_t{experience} + gain);
        return true;
    }
    int transfer = RollD100("escape-transfer");
    killed = transfer > Settings().EscapeRate ? 1 : 0;
    return false;
}

std::pair<int32_t, int32_t> CompressCount(int32_t a, int32_t b) {
    int64_t rest = int64_t{b} - a;
    int32_t first = a < 11 ? a : a / 10 + 10;
    int32_t second = rest < 11 ? saturate(rest) : saturate(rest / 10 + 10);
    return {first, second};
}

} // namespace cv
