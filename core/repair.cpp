// Repair, scrapping and re-buy after a match.
#include "core/repair.h"

#include "base/akparams.h"
#include "base/sjis.h"
#include "core/module.h"
#include "core/queue.h"
#include "core/rules.h"
#include "platform/notify.h"
#include "sjis/interface_text.h"

#include <cstdint>
#include <string>

namespace cv {

namespace {

int32_t saturated(int64_t v) {
    return ak::saturate32(static_cast<double>(v));
}

// a × b / c (c > 0) without overflowing the product, truncated toward zero.
int64_t mulDiv(int64_t a, int64_t b, int64_t c) {
    __int128 q = static_cast<__int128>(a) * b / c;
    if (q > INT64_MAX) return INT64_MAX;
    if (q < INT64_MIN) return INT64_MIN;
    return static_cast<int64_t>(q);
}

bool isDraw() {
    int32_t result = Settings().Result;
    return result != 0 && result != 1;
}

bool isWinner(const CombatantState& s) {
    int32_t result = Settings().Result;
    return !isDraw() && static_cast<uint32_t>(result) == s.Side;
}

// Option 33: the resupply flag of the side's standing decides.
int autoAnswer(const CombatantState& s) {
    bool yes = isWinner(s) ? Option(OptResupplyWinner) : Option(OptResupplyLoser);
    return yes ? AnswerYes : AnswerNo;
}

int askGameMaster(const char* question, const CombatantState& s) {
    if (Option(OptAutoProcess)) return autoAnswer(s);
    std::string tag = isDraw() ? std::string() : isWinner(s) ? ift::WinnerTag : ift::LoserTag;
    std::string side = sjis::han2Zen(std::to_string(int64_t{s.Side} + 1));
    std::string name(sjis::readField(s.PilotNameFull));
    std::string text = FormatText(question, side.c_str(), name.c_str(), tag.c_str());
    int answer = plat::notify::show(text, "Corvane Vell", plat::notify::Icon::Question,
                                    plat::notify::Buttons::YesNo, true, nullptr);
    return answer == plat::notify::IdYes ? AnswerYes : AnswerNo;
}

int32_t durabilitySum(const TArmoredKnight& ak) {
    int64_t sum = 0;
    for (int p = 0; p < BodyPartCount; ++p) sum += int32_t{ak.Frame.Durability[p]};
    return saturated(sum);
}

// The two-hand grip of the weapon the AK started with, given back when it
// still holds it in a hand.
void restoreTwoHandGrip(TArmoredKnight& ak, const CombatantState& s) {
    int32_t slot = s.TwoHandedSlot;
    if (!s.HasTwoHandedWeapon || slot < 0 || slot >= WeaponSlotCount) return;
    int32_t right = ak.MountUsed[MountRightHand], left = ak.MountUsed[MountLeftHand];
    if (right == 0 && left == 0) return;
    TAkWeapon& w = ak.Weapon[slot];
    if (sjis::readField(w.Name).empty()) return;
    sjis::writeField(w.Mount, ift::TwoHands);
    ak.MountUsed[MountRightHand] = 1;
    ak.MountUsed[MountLeftHand] = 1;
    if (!s.TwoHandedUnpaired) w.Reserved220 = 10;
}

} // namespace

int RepairPrompt(const TArmoredKnight&, const CombatantState& s) {
    return askGameMaster(ift::RepairQuestion, s);
}

int RebuyPrompt(const TArmoredKnight&, const CombatantState& s) {
    return askGameMaster(ift::RebuyQuestion, s);
}

void AskRepair(TArmoredKnight& ak, CombatantState& s) {
    const GameSettings& gs = Settings();
    const bool destroyed = s.AkDestroyed != 0;
    if (destroyed) ScrapAk(ak);

    // An AK without durability maxima has nothing to repair (and no divisor).
    int32_t maxTotal = s.MaxDurabilityTotal;
    int64_t cost = 0;
    if (maxTotal > 0) cost = mulDiv(int64_t{maxTotal} - durabilitySum(ak), int32_t{ak.Frame.Price}, maxTotal);
    s.RepairCost = saturated(cost);

    int answer = RepairPrompt(ak, s);
    if (answer == AnswerYes) {
        for (int p = 0; p < BodyPartCount; ++p) ak.Frame.Durability[p] = int32_t{ak.Frame.MaxDurability[p]};
        for (TAkWeapon& w : ak.Weapon) {
            w.AmmoLeft = int32_t{w.TotalAmmo};
            w.ArmorLeft = int32_t{w.ArmorValue};
        }
        if (Option(OptRestoreTwoHandGrip)) restoreTwoHandGrip(ak, s);
    }
    if (answer != AnswerYes || destroyed) s.RepairCost = 0;

    int32_t current = destroyed ? 0 : ak::SumAkPrice(ak);
    s.CurrentMachineValue = current;
    int64_t cash = int64_t{ak.Cash} - s.RepairCost;
    int32_t rate = gs.CompensationRate;
    // The organiser settles the change of worth at the rate, either way: an
    // AK whose recorded value at the start lies below what its parts are
    // worth pays back its share of the difference (the end narration names
    // only a compensation paid out).
    int64_t loss = int64_t{s.MachineValue} - current + s.RepairCost;
    if (rate > 0) cash += mulDiv(loss, rate, 100);
    cash = saturated(cash);
    int64_t minimum = gs.MinCompensationCr;
    if (cash + current < minimum) {
        s.RepairShortfall = saturated(minimum - (cash + current));
        cash = saturated(minimum - current);
    } else {
        s.RepairShortfall = 0;
    }
    ak.Cash = static_cast<int32_t>(cash);
    ak.TotalCr = saturated(cash + current);
    ak.MachineValue = current;
}

void ScrapAk(TArmoredKnight& ak) {
    // The weapons go first: their removal takes their weight off TotalWeight.
    for (int k = 0; k < WeaponSlotCount; ++k) RemoveWeapon(ak, k);
    ak.Frame = TAkFrame{};
    ak.Computer = TAkComputer{};
    ak.Engine = TAkEngine{};
    ak.Armor = TAkArmor{};
    ak.Sensor = TAkSensor{};
    ak.Mover = TAkMover{};
    ak.Escape = TAkEscape{};
    ak.Turbo = TAkTurbo{};
    sjis::writeField(ak.AkName, "");
    ak.MachineValue = 0;
    ak.TotalWeight = 0;
    ak.Reaction = 0;
    ak.Movement = 0;
    ak.MovingAttackPct = 0;
    ak.DefensiveMovePct = 0;
    ak.StaticAttackPct = 0;
}

void AskRebuyWeapons(TArmoredKnight& ak, CombatantState& s) {
    if (s.AkDestroyed) return;
    if (!Option(OptRebuy) && Option(OptAutoProcess)) return;
    uint32_t side = s.Side;
    if (side > 1) return;
    if (RebuyPrompt(ak, s) != AnswerYes) return;
    const WeaponSnapshot& kept = Module().Snapshot[side];
    for (int k = 0; k < WeaponSlotCount; ++k) {
        if (!sjis::readField(ak.Weapon[k].Name).empty() || sjis::readField(kept.Weapon[k].Name).empty())
            continue;
        int32_t price = kept.Weapon[k].Price, total = ak.TotalCr;
        if (!Option(OptRebuyInDebt) && price > total) continue;
        RebuyWeapon(ak, k, kept.Weapon[k], kept.Comment[k]);
    }
}

void RebuyWeapon(TArmoredKnight& ak, int k, const TAkWeapon& w, const TAkComment& c) {
    if (k < 0 || k >= WeaponSlotCount) return;
    int32_t weight = w.Weight, price = w.Price;
    ak.Weapon[k] = w;
    ak.TotalWeight = saturated(int64_t{ak.TotalWeight} + weight);
    ak.Cash = saturated(int64_t{ak.Cash} - price);
    ak.MachineValue = saturated(int64_t{ak.MachineValue} + price);
    int mount = ak::MountSlotIndex(sjis::readField(w.Mount));
    if (mount < MountCount) {
        ak.MountUsed[mount] = 1;
    } else {
        ak.MountUsed[MountRightHand] = 1;
        ak.MountUsed[MountLeftHand] = 1;
    }
    ak.Comments[k] = c;
}

void AskRepairs() {
    ModuleState& m = Module();
    for (int side = 0; side < 2; ++side)
        if (m.Ak[side] && m.State[side]) AskRepair(*m.Ak[side], *m.State[side]);
}

void AskRebuys() {
    ModuleState& m = Module();
    for (int side = 0; side < 2; ++side)
        if (m.Ak[side] && m.State[side]) AskRebuyWeapons(*m.Ak[side], *m.State[side]);
}

} // namespace cv
