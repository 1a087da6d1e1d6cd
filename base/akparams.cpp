#include "base/akparams.h"

#include "base/sjis.h"
#include "sjis/akparams.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace ak {

namespace {

std::string_view text(const char* field, size_t size) {
    return sjis::readField(field, size);
}

bool weightLosing(std::string_view attributes) {
    return sjis::findFirstOf(attributes, akp::WeightLossLetters) != std::string_view::npos ||
           (sjis::contains(attributes, akp::Haku) && sjis::contains(attributes, akp::Nage));
}

int countOf(std::string_view hay, std::string_view needle) {
    int n = 0;
    for (size_t p = sjis::find(hay, needle); p != std::string_view::npos;
         p = sjis::find(hay, needle, p + needle.size()))
        ++n;
    return n;
}

int64_t sumArmor(const TArmoredKnight& ak) {
    int64_t s = 0;
    for (int i = 0; i < 6; ++i) {
        int32_t v = ak.Armor.Value[i];
        s += v;
    }
    return s;
}

} // namespace

int32_t wrap32(int64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

int32_t div32(int32_t a, int32_t b) {
    if (b == -1) return wrap32(-static_cast<int64_t>(a)); // INT_MIN / -1 stays INT_MIN
    return a / b;
}

int32_t saturate32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

int32_t Mctl2DexCore(int32_t m) {
    int64_t a = m < 0 ? -static_cast<int64_t>(m) : m;
    double r1 = std::trunc(std::sqrt(static_cast<double>(a / 10)));
    int32_t r2 = static_cast<int32_t>(std::trunc(std::sqrt(r1)));
    return m < 0 ? -r2 : r2;
}

int32_t FrameSizeClass(const TAkFrame& frame) {
    int32_t price = frame.Price;
    if (price == 0) return 0;
    if (std::memcmp(frame.Name + 4, akp::SizeL, 2) == 0) return 1;
    if (std::memcmp(frame.Name + 4, akp::SizeM, 2) == 0) return 2;
    return 3;
}

int32_t MoverBonus(const TAkMover& mover) {
    std::string_view name = text(mover.Name, sizeof mover.Name);
    if (name == akp::Mover1 || name == akp::Mover2 || name == akp::Mover3 || name == akp::Mover4)
        return mover.MoveBonus;
    return 0;
}

int MountSlotIndex(std::string_view mountText) {
    static const std::string_view mounts[] = {akp::MountRightHand,     akp::MountLeftHand,
                                              akp::MountRightArm,      akp::MountLeftArm,
                                              akp::MountRightShoulder, akp::MountLeftShoulder};
    for (int i = 0; i < 6; ++i)
        if (mountText == mounts[i]) return i;
    return 6;
}

int32_t CalcWpWeight(const TAkWeapon& slot) {
    int32_t w = slot.Weight;
    int32_t total = slot.TotalAmmo;
    int32_t left = slot.AmmoLeft;
    if (total == 0 || !weightLosing(text(slot.Attributes, sizeof slot.Attributes))) return w;
    double wd = w;
    return saturate32(wd * 0.75 * (static_cast<double>(left) / static_cast<double>(total)) + wd * 0.25);
}

int32_t CalcAkWeight(const TArmoredKnight& ak) {
    int64_t t = static_cast<int64_t>(ak.Frame.Weight) + ak.Computer.Weight + ak.Engine.Weight +
                ak.Sensor.Weight + ak.Mover.Weight + ak.Escape.Weight + ak.Turbo.Weight;
    int32_t total = wrap32(t);
    int32_t armor = wrap32(sumArmor(ak));
    total = wrap32(static_cast<int64_t>(armor) * ak.Armor.WeightFactor + total);
    for (const TAkWeapon& slot : ak.Weapon) {
        int32_t w = slot.Weight;
        int32_t ammo = slot.TotalAmmo;
        int32_t left = slot.AmmoLeft;
        // The attribute scan only for a weapon with ammunition: it runs
        // every round for every slot.
        if (ammo != 0 && weightLosing(text(slot.Attributes, sizeof slot.Attributes))) {
            double wd = w;
            total = saturate32(wd * 0.75 * left / ammo + wd * 0.25 + total);
        } else {
            total = wrap32(static_cast<int64_t>(total) + w);
        }
    }
    return total;
}

int32_t SumAkPrice(const TArmoredKnight& ak) {
    int64_t p = static_cast<int64_t>(ak.Frame.Price) + ak.Computer.Price + ak.Computer.MdPrice +
                ak.Engine.Price + ak.Sensor.Price + ak.Mover.Price + ak.Escape.Price + ak.Turbo.Price;
    int32_t factor = ak.Armor.PriceFactor;
    for (int i = 0; i < 6; ++i) {
        int32_t v = ak.Armor.Value[i];
        int32_t price = ak.Weapon[i].Price;
        // Wrapped at each step as the 32-bit sum it is: six products of
        // two 32-bit values would overflow even 64 bits.
        p = wrap32(p + static_cast<int64_t>(v) * factor + price);
    }
    return wrap32(p);
}

int32_t CalcHakuhei(std::string_view attributes, int32_t value) {
    if (value < 50) return 0;
    if (!sjis::contains(attributes, akp::Haku)) return 0;
    if (sjis::findFirstOf(attributes, akp::MeleeKinds) == std::string_view::npos) return 0;
    if (sjis::findFirstOf(attributes, akp::BeamLetters) != std::string_view::npos) return 0;
    return value / 50;
}

void UpdateAkParam(TArmoredKnight& ak) {
    // 1. Weight as it stands, current and full durability.
    int32_t w = ak.TotalWeight;
    int64_t d = 0, m = 0;
    for (int i = 0; i < 6; ++i) {
        int32_t cur = ak.Frame.Durability[i];
        int32_t max = ak.Frame.MaxDurability[i];
        d += cur;
        m += max;
    }
    int32_t dur = wrap32(d), maxDur = wrap32(m);
    // 2-3. Propulsion letters and hit-taken sums of the bought weapons.
    int32_t movement = 0, hitTaken = 0, shield = 0;
    for (const TAkWeapon& slot : ak.Weapon) {
        int32_t price = slot.Price;
        if (price == 0) continue;
        std::string_view attrs = text(slot.Attributes, sizeof slot.Attributes);
        movement += countOf(attrs, akp::Suishin);
        int32_t v = slot.HitTaken;
        if (sjis::contains(attrs, akp::Tate)) {
            hitTaken = wrap32(static_cast<int64_t>(hitTaken) + v / 2);
            shield = wrap32(static_cast<int64_t>(shield) + v);
        } else {
            hitTaken = wrap32(static_cast<int64_t>(hitTaken) + v);
        }
        if (sjis::contains(attrs, akp::Uke)) hitTaken = wrap32(static_cast<int64_t>(hitTaken) + v);
    }
    // 4. Reaction from the mechanic, +5 for a customised machine.
    int32_t reaction = Mctl2DexCore(ak.Team.Mctl);
    if (sjis::contains(text(ak.Frame.Name, sizeof ak.Frame.Name), akp::MachineCustom)) reaction += 5;
    // 5. Engine against weight; without a usable divisor nothing changes.
    int32_t enginePrice = ak.Engine.Price, framePrice = ak.Frame.Price, power = ak.Engine.Power;
    if (enginePrice > 0 && framePrice > 0 && maxDur != 0) {
        int32_t q = div32(wrap32(static_cast<int64_t>(dur) * power), maxDur);
        if (q != 0) {
            int32_t loss = div32(wrap32(static_cast<int64_t>(w) * 100), q);
            reaction = wrap32(static_cast<int64_t>(reaction) - loss + 100);
            int32_t leftLeg = ak.Frame.Durability[3];
            if (leftLeg != 0)
                movement = wrap32(static_cast<int64_t>(movement) + reaction / 20 + ak.Mover.MoveBonus + 1);
            else
                movement = wrap32(static_cast<int64_t>(movement) + MoverBonus(ak.Mover));
        }
    }
    // 6-9. Modifiers.
    std::string_view type = text(ak.Sensor.Type, sizeof ak.Sensor.Type);
    int32_t s = (type == "WC" || type == "LC") ? 10 : 0;
    int32_t level = ak.Computer.Level;
    ak.AttackMod =
        wrap32(static_cast<int64_t>(ak.Sensor.Attack) + s + ak.Computer.MdAttack + ak.Mover.Attack +
               reaction / 4 + 3 * static_cast<int64_t>(level) + ak.Pilot.ExpAttack);
    ak.DefenceMod =
        wrap32(static_cast<int64_t>(ak.Frame.Evasion) + ak.Computer.MdDefence + ak.Sensor.Defence +
               ak.Mover.Defence + reaction / 4 + 3 * static_cast<int64_t>(level) + ak.Pilot.ExpDefence);
    ak.EscapeMod = wrap32(static_cast<int64_t>(ak.Escape.EscapeBonus) + ak.Pilot.ExpEscape);
    ak.Reaction = reaction;
    ak.Movement = movement;
    ak.HitTakenTotal = hitTaken;
    ak.ShieldTotal = shield;
    // 10. Punch and kick rows.
    int32_t size = FrameSizeClass(ak.Frame);
    for (int r = 0; r < 4; ++r) {
        bool kick = r >= 2;
        ak.Frame.Strikes[r].Hit = reaction / 2 + (kick ? 30 : 40);
        ak.Frame.Strikes[r].Destructive = size;
        ak.Frame.Strikes[r].Power = size + power / 200 + (kick ? 1 : 0);
    }
}

int CalcWpRespMove(TArmoredKnight& ak, int32_t* reactions, int32_t* movements) {
    int32_t weight = ak.TotalWeight;
    int32_t ammo[6];
    for (int i = 0; i < 6; ++i) ammo[i] = ak.Weapon[i].AmmoLeft;
    int pairs = 1;
    for (int i = 0; i < 6; ++i) {
        TAkWeapon& slot = ak.Weapon[i];
        if (text(slot.Name, sizeof slot.Name).empty()) continue;
        slot.AmmoLeft = 0;
        int32_t now = CalcWpWeight(slot);
        int32_t full = slot.Weight;
        if (now != full) {
            ak.TotalWeight = wrap32(static_cast<int64_t>(ak.TotalWeight) + now - full);
            UpdateAkParam(ak);
            reactions[pairs] = ak.Reaction;
            movements[pairs] = ak.Movement;
            ++pairs;
        }
    }
    for (int i = 0; i < 6; ++i)
        ak.Weapon[i].AmmoLeft = text(ak.Weapon[i].Name, sizeof ak.Weapon[i].Name).empty() ? 0 : ammo[i];
    ak.TotalWeight = weight;
    UpdateAkParam(ak);
    reactions[0] = ak.Reaction;
    movements[0] = ak.Movement;
    return pairs;
}

void FormatBase36Digits(char* out, int32_t value, int width) {
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (width <= 0) return;
    int32_t v = value < 0 ? 0 : value;
    for (int pos = width - 1; pos >= 0; --pos) {
        if (v == 0 && pos != width - 1) {
            out[pos] = ' ';
            continue;
        }
        if (pos == 0) {
            out[pos] = v >= 36 ? 'Z' : digits[v];
        } else {
            out[pos] = static_cast<char>('0' + v % 10);
        }
        v /= 10;
    }
}

void FormatFixedWidthInt(char* out, int32_t value, int width) {
    if (width <= 0) return;
    std::string digits = std::to_string(value);
    if (digits.size() < static_cast<size_t>(width))
        digits.insert(0, static_cast<size_t>(width) - digits.size(), ' ');
    std::memcpy(out, digits.data(), static_cast<size_t>(width));
}

} // namespace ak
