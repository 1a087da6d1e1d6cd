// The weapon sheet of a catalog record or a weapon slot.
#include "akdata/wpsheet.h"

#include "akdata/sheettext.h"
#include "base/akparams.h"
#include "base/sjis.h"
#include "sjis/akparams.h"
#include "sjis/aktext.h"

namespace akdata {

namespace {

// The values a sheet shows, from either source.
struct SheetValues {
    int32_t number = 0;
    std::string name;
    int32_t price = 0;
    int32_t weight = 0;
    std::string mount;
    std::string attributes;
    int32_t destructive = 0;
    int32_t ammo = 0;
    int32_t shots = 0; // the divisor of the attacks
    int32_t hitTaken = 0;
    int32_t attackDown = 0;
    int32_t sensorDown = 0;
    int32_t armor = 0;
    int32_t moveDown = 0;
    int32_t computerDown = 0;
    int32_t induced = 0;
    int32_t evasionDown = 0;
    int32_t antiBeam = 0;
    int32_t hit[9] = {};
    int32_t power[9] = {};
};

std::string_view mountWord(unsigned char code) {
    switch (code) {
    case 0:
        return akw::OneHand;
    case 1:
        return akw::EitherHand;
    case 2:
        return akw::BothHands;
    case MountCodeArm:
        return akw::Arm;
    case MountCodeShoulder:
        return akw::Shoulder;
    default:
        return {};
    }
}

std::string sheet(const SheetValues& v, WeaponMarks marks) {
    const bool shield = sjis::contains(v.attributes, akp::Tate);
    int32_t attacks = 0, total = 0;
    if (v.shots > 0) {
        attacks = v.ammo / v.shots;
        if (marks.p) attacks = ak::wrap32(int64_t{attacks} * 2) / 3;
        if (marks.improved) attacks = ak::wrap32(int64_t{attacks} * 2);
        total = ak::wrap32(int64_t{v.shots} * attacks);
    }
    int32_t induced = v.induced;
    if (sjis::findFirstOf(v.attributes, akp::WeightLossLetters) != sjis::npos)
        induced = ak::wrap32(int64_t{induced} * v.ammo);
    const int32_t plus = marks.p ? 2 : 0;
    int32_t power[9];
    for (int d = 0; d < 9; ++d) power[d] = ak::wrap32(int64_t{v.power[d]} + plus);

    std::string out = formatText(akw::Head, v.number, v.name.c_str(), v.price, v.weight, v.mount.c_str(),
                                 v.attributes.c_str(), v.destructive);
    out += formatText(akw::Rounds, total, attacks, v.shots, shield ? v.hitTaken / 2 : v.hitTaken,
                      v.attackDown, v.sensorDown);
    out += formatText(akw::Armor, v.armor, v.moveDown, v.computerDown);
    out += formatText(akw::Induced, induced, v.evasionDown, v.antiBeam ? akw::AntiBeamYes : akw::AntiBeamNo);
    if (shield) out += formatText(akw::Shield, v.hitTaken);
    out += akw::Range;
    out += formatText(akw::Hit, v.hit[0], v.hit[1], v.hit[2], v.hit[3], v.hit[4], v.hit[5], v.hit[6],
                      v.hit[7], v.hit[8]);
    out += formatText(akw::Power, power[0], power[1], power[2], power[3], power[4], power[5], power[6],
                      power[7], power[8]);
    return out;
}

} // namespace

std::string catalogWeaponSheet(const WpDataRecord& r, WeaponMarks marks) {
    SheetValues v;
    v.number = r.Number;
    v.name = wpName(r);
    v.price = r.Price;
    v.weight = r.Weight;
    v.mount = mountWord(static_cast<unsigned char>(r.Mount[0]));
    v.attributes = wpAttributes(r);
    v.destructive = r.Destructive;
    v.ammo = r.TotalAmmo;
    v.shots = marks.a ? r.ShotsPerAttackAlt : r.ShotsPerAttack;
    v.hitTaken = r.HitTaken;
    v.attackDown = r.AttackDown;
    v.sensorDown = r.SensorDown;
    v.armor = r.ArmorValue;
    v.moveDown = r.MoveDown;
    v.computerDown = r.ComputerDown;
    v.induced = r.InducedExplosion;
    v.evasionDown = r.EvasionDown;
    v.antiBeam = r.AntiBeam;
    for (int d = 0; d < 9; ++d) {
        v.hit[d] = r.HitRate[d];
        v.power[d] = r.Power[d];
    }
    return sheet(v, marks);
}

std::string slotWeaponSheet(const TAkWeapon& s, WeaponMarks marks) {
    SheetValues v;
    v.number = s.CatalogNo;
    v.name = sjis::readField(s.Name);
    v.price = s.Price;
    v.weight = s.Weight;
    v.mount = sjis::readField(s.Mount);
    v.attributes = sjis::readField(s.Attributes);
    v.destructive = s.Destructive;
    v.ammo = s.TotalAmmo;
    v.shots = s.ShotsPerAttack;
    v.hitTaken = s.HitTaken;
    v.attackDown = s.AttackDown;
    v.sensorDown = s.SensorDown;
    v.armor = s.ArmorValue;
    v.moveDown = s.MoveDown;
    v.computerDown = s.ComputerDown;
    v.induced = s.InducedExplosion;
    v.evasionDown = s.EvasionDown;
    v.antiBeam = s.AntiBeam;
    for (int d = 0; d < 9; ++d) {
        v.hit[d] = s.HitRate[d];
        v.power[d] = s.Power[d];
    }
    return sheet(v, marks);
}

} // namespace akdata
