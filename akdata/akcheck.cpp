// The entry checks: must items, catalog version, parts and weapons.
#include "akdata/akcheck.h"

#include "akdata/sheettext.h"
#include "akdata/wpsheet.h"
#include "base/akparams.h"
#include "base/sjis.h"
#include "platform/catalogue.h"
#include "sjis/aktext.h"

#include <initializer_list>
#include <vector>

namespace akdata {

namespace {

template <size_t N> std::string_view text(const char (&field)[N]) {
    return sjis::readField(field);
}

// Label and value width of the rows of the parameter tables.
constexpr size_t LabelWidth = 30;
constexpr size_t RowIndent = 12; // the width of "  カタログ："

// One column of a part's parameter table.
struct Column {
    std::string_view label;
    int width;
    std::string catalog;
    std::string data;
    bool same;
};

Column num(std::string_view label, int width, int32_t catalog, int32_t data) {
    return {label, width, formatText("%*d", width, catalog), formatText("%*d", width, data), catalog == data};
}

Column str(std::string_view label, int width, std::string_view catalog, std::string_view data) {
    return {label, width, padLeft(catalog, static_cast<size_t>(width)),
            padLeft(data, static_cast<size_t>(width)), catalog == data};
}

void appendTable(std::string& report, const std::vector<Column>& cols) {
    std::string head(RowIndent, ' '), cat(akk::RowCatalog), data(akk::RowData);
    for (size_t i = 0; i < cols.size(); ++i) {
        std::string_view sep = i == 0 ? "" : " ";
        head += sep;
        head += padLeft(cols[i].label, static_cast<size_t>(cols[i].width));
        cat += sep;
        cat += cols[i].catalog;
        data += sep;
        data += cols[i].data;
    }
    report += akk::ParamDiffer;
    report += head + "\r\n" + cat + "\r\n" + data + "\r\n";
}

void appendNotFound(std::string& report, std::string_view word) {
    report += akk::NotInCatalog;
    report += word;
    report += akk::NotInCatalogEnd;
}

void appendLabel(std::string& report, std::string_view label, std::string_view value) {
    report += label;
    report += padRight(value, LabelWidth);
}

using ColumnsOf = std::vector<Column> (*)(const PartCatalogEntry&, const TArmoredKnight&);

struct PartCheck {
    PartKind kind;
    const char* label;
    const char* word;
    int32_t (*price)(const TArmoredKnight&);
    std::string_view (*name)(const TArmoredKnight&);
    ColumnsOf columns;
};

const PartCheck partChecks[] = {
    {PartKind::Engine, akk::LabelEngine, akk::WordEngine,
     [](const TArmoredKnight& a) { return a.Engine.Price; },
     [](const TArmoredKnight& a) { return text(a.Engine.Name); },
     [](const PartCatalogEntry& e, const TArmoredKnight& a) {
         return std::vector<Column>{num(akk::ColPrice, 6, e.Values[pv::EnginePrice], a.Engine.Price),
                                    num(akk::ColWeight, 4, e.Values[pv::EngineWeight], a.Engine.Weight),
                                    num(akk::ColPower, 6, e.Values[pv::EnginePower], a.Engine.Power)};
     }},
    {PartKind::Sensor, akk::LabelSensor, akk::WordSensor,
     [](const TArmoredKnight& a) { return a.Sensor.Price; },
     [](const TArmoredKnight& a) { return text(a.Sensor.Name); },
     [](const PartCatalogEntry& e, const TArmoredKnight& a) {
         return std::vector<Column>{num(akk::ColPrice, 6, e.Values[pv::SensorPrice], a.Sensor.Price),
                                    num(akk::ColWeight, 4, e.Values[pv::SensorWeight], a.Sensor.Weight),
                                    num(akk::ColAttack, 4, e.Values[pv::SensorAttack], a.Sensor.Attack),
                                    num(akk::ColDefence, 4, e.Values[pv::SensorDefence], a.Sensor.Defence),
                                    str(akk::ColType, 6, sjis::readField(e.Type), text(a.Sensor.Type))};
     }},
    {PartKind::Armor, akk::LabelArmor, akk::WordArmor,
     [](const TArmoredKnight& a) { return a.Armor.PriceFactor; },
     [](const TArmoredKnight& a) { return text(a.Armor.Name); },
     [](const PartCatalogEntry& e, const TArmoredKnight& a) {
         return std::vector<Column>{
             num(akk::ColPriceFactor, 6, e.Values[pv::ArmorPriceFactor], a.Armor.PriceFactor),
             num(akk::ColWeightFactor, 6, e.Values[pv::ArmorWeightFactor], a.Armor.WeightFactor)};
     }},
    {PartKind::Mover, akk::LabelMover, akk::WordMover, [](const TArmoredKnight& a) { return a.Mover.Price; },
     [](const TArmoredKnight& a) { return text(a.Mover.Name); },
     [](const PartCatalogEntry& e, const TArmoredKnight& a) {
         return std::vector<Column>{num(akk::ColPrice, 6, e.Values[pv::MoverPrice], a.Mover.Price),
                                    num(akk::ColWeight, 4, e.Values[pv::MoverWeight], a.Mover.Weight),
                                    num(akk::ColAttack, 4, e.Values[pv::MoverAttack], a.Mover.Attack),
                                    num(akk::ColDefence, 4, e.Values[pv::MoverDefence], a.Mover.Defence),
                                    num(akk::ColMove, 6, e.Values[pv::MoverMovement], a.Mover.MoveBonus)};
     }},
    {PartKind::Computer, akk::LabelComputer, akk::WordComputer,
     [](const TArmoredKnight& a) { return a.Computer.Price; },
     [](const TArmoredKnight& a) { return text(a.Computer.Name); },
     [](const PartCatalogEntry& e, const TArmoredKnight& a) {
         return std::vector<Column>{num(akk::ColPrice, 6, e.Values[pv::ComputerPrice], a.Computer.Price),
                                    num(akk::ColWeight, 4, e.Values[pv::ComputerWeight], a.Computer.Weight),
                                    num(akk::ColLevel, 6, e.Values[pv::ComputerLevel], a.Computer.Level)};
     }},
    {PartKind::Disk, akk::LabelDisk, akk::WordDisk,
     [](const TArmoredKnight& a) { return a.Computer.MdPrice; },
     [](const TArmoredKnight& a) { return text(a.Computer.MissionDisk); },
     [](const PartCatalogEntry& e, const TArmoredKnight& a) {
         return std::vector<Column>{num(akk::ColPrice, 6, e.Values[pv::DiskPrice], a.Computer.MdPrice),
                                    num(akk::ColAttack, 4, e.Values[pv::DiskAttack], a.Computer.MdAttack),
                                    num(akk::ColDefence, 4, e.Values[pv::DiskDefence], a.Computer.MdDefence),
                                    num(akk::ColLevel, 6, e.Values[pv::DiskLevel], a.Computer.MdLevel)};
     }},
    {PartKind::Escape, akk::LabelEscape, akk::WordEscape,
     [](const TArmoredKnight& a) { return a.Escape.Price; },
     [](const TArmoredKnight& a) { return text(a.Escape.Name); },
     [](const PartCatalogEntry& e, const TArmoredKnight& a) {
         return std::vector<Column>{num(akk::ColPrice, 6, e.Values[pv::EscapePrice], a.Escape.Price),
                                    num(akk::ColWeight, 4, e.Values[pv::EscapeWeight], a.Escape.Weight),
                                    num(akk::ColEscape, 6, e.Values[pv::EscapeBonus], a.Escape.EscapeBonus)};
     }},
    {PartKind::Turbo, akk::LabelTurbo, akk::WordTurbo, [](const TArmoredKnight& a) { return a.Turbo.Price; },
     [](const TArmoredKnight& a) { return text(a.Turbo.Name); },
     [](const PartCatalogEntry& e, const TArmoredKnight& a) {
         return std::vector<Column>{num(akk::ColPrice, 6, e.Values[pv::TurboPrice], a.Turbo.Price),
                                    num(akk::ColWeight, 4, e.Values[pv::TurboWeight], a.Turbo.Weight),
                                    num(akk::ColAmplify, 6, e.Values[pv::TurboAmplify], a.Turbo.AmplifyPct)};
     }},
};

bool checkPart(std::string& report, const PartCheck& check, const TArmoredKnight& ak,
               const CatalogView& cat) {
    if (check.price(ak) <= 0) return true;
    std::string_view name = check.name(ak);
    appendLabel(report, check.label, name);
    const PartCatalogEntry* entry = findPart(cat.table(check.kind), name);
    if (!entry) {
        appendNotFound(report, check.word);
        return false;
    }
    std::vector<Column> cols = check.columns(*entry, ak);
    for (const Column& c : cols) {
        if (!c.same) {
            appendTable(report, cols);
            return false;
        }
    }
    report += akk::Ok;
    return true;
}

bool checkFrame(std::string& report, const TArmoredKnight& ak, const CatalogView& cat) {
    if (ak.Frame.Price <= 0) return true;
    std::string_view name = text(ak.Frame.Name);
    appendLabel(report, akk::LabelFrame, name);
    const FrameCatalogEntry* e = findFrame(ak, cat);
    if (!e) {
        appendNotFound(report, akk::WordFrame);
        return false;
    }
    // Catalog values and the strike rows the derived values must give.
    const bool custom = sjis::contains(name, akt::Slash);
    const int32_t price = custom ? ak::wrap32(int64_t{e->Price} + 200) : e->Price;
    const int32_t size = ak::FrameSizeClass(ak.Frame);
    const int32_t reaction = ak.Reaction, power = ak.Engine.Power;
    const int32_t punchHit = reaction / 2 + 40, kickHit = reaction / 2 + 30;
    const int32_t punchPower = size + power / 200, kickPower = punchPower + 1;
    TAkStrike expected[StrikeCount] = {{punchHit, punchPower, size},
                                       {punchHit, punchPower, size},
                                       {kickHit, kickPower, size},
                                       {kickHit, kickPower, size}};
    bool same = e->Weight == ak.Frame.Weight && e->Evasion == ak.Frame.Evasion && price == ak.Frame.Price &&
                e->EngineLevel == ak.Frame.EngineLevel;
    for (int p = 0; p < BodyPartCount; ++p) same = same && e->Durability[p] == ak.Frame.MaxDurability[p];
    for (int s = 0; s < StrikeCount; ++s) {
        const TAkStrike& got = ak.Frame.Strikes[s];
        same = same && got.Hit == expected[s].Hit && got.Power == expected[s].Power &&
               got.Destructive == expected[s].Destructive;
    }
    if (same) {
        report += akk::Ok;
        return true;
    }
    const int32_t* d = e->Durability;
    int32_t m[BodyPartCount];
    for (int p = 0; p < BodyPartCount; ++p) m[p] = ak.Frame.MaxDurability[p];
    const TAkStrike* s = ak.Frame.Strikes;
    TAkStrike got[StrikeCount] = {s[0], s[1], s[2], s[3]};
    report += akk::ParamDiffer;
    report += akk::FrameHead;
    report += akk::RowCatalog;
    report += formatText(akk::FrameRow, price, e->Weight, e->Evasion, d[PartHead], d[PartBody],
                         d[PartRightArm], d[PartLeftArm], d[PartRightLeg], d[PartLeftLeg]);
    report += akk::RowData;
    report += formatText(akk::FrameRow, ak.Frame.Price, ak.Frame.Weight, ak.Frame.Evasion, m[PartHead],
                         m[PartBody], m[PartRightArm], m[PartLeftArm], m[PartRightLeg], m[PartLeftLeg]);
    report += akk::FrameHead2;
    report += akk::FrameHead3;
    auto strikeRow = [&](int32_t level, const TAkStrike* r) {
        return formatText(akk::FrameRow2, level, r[0].Destructive, r[1].Destructive, r[2].Destructive,
                          r[3].Destructive, r[0].Hit, r[1].Hit, r[0].Power, r[1].Power, r[2].Hit, r[3].Hit,
                          r[2].Power, r[3].Power);
    };
    report += akk::RowCatalog;
    report += strikeRow(e->EngineLevel, expected);
    report += akk::RowData;
    report += strikeRow(ak.Frame.EngineLevel, got);
    report += "\r\n";
    return false;
}

// The slot's attributes begin with the catalog's letters, Ｘ standing for
// any one letter.
bool attributesMatch(std::string_view slot, std::string_view catalog) {
    size_t p = 0;
    for (size_t q = 0, len; (len = sjis::charLength(catalog, q)) != 0; q += len) {
        size_t slen = sjis::charLength(slot, p);
        if (slen == 0) return false;
        std::string_view c = catalog.substr(q, len);
        if (c != akk::AnyLetter && c != slot.substr(p, slen)) return false;
        p += slen;
    }
    return true;
}

int weaponResult(const TAkWeapon& w, const WpDataRecord& r, std::string_view catName, WeaponMarks marks) {
    const int32_t price = marks.improved ? r.Price + r.Price / 2 : r.Price;
    const int32_t weight = marks.improved ? r.Weight * 2 : r.Weight;
    const std::initializer_list<std::pair<bool, int>> tests = {
        {w.Price != price, 4},
        {w.Weight != weight, 5},
        {w.AntiBeam != r.AntiBeam, 6},
        {w.HitTaken != r.HitTaken, 7},
        {w.InducedExplosion != r.InducedExplosion, 8},
        {w.ArmorValue != r.ArmorValue, 9},
        {w.SensorDown != r.SensorDown, 10},
        {w.ComputerDown != r.ComputerDown, 11},
        {w.MoveDown != r.MoveDown, 12},
        {w.EvasionDown != r.EvasionDown, 13},
        {w.AttackDown != r.AttackDown, 14},
        {w.Destructive != r.Destructive, 15},
    };
    for (const auto& [differs, code] : tests)
        if (differs) return code;
    for (int d = 0; d < WeaponDistanceCount; ++d) {
        int32_t hit = w.HitRate[d];
        int32_t power = r.Power[d] + (marks.p && hit >= 1 ? 2 : 0);
        if (hit != r.HitRate[d] || w.Power[d] != power) return 3;
    }
    if (!attributesMatch(text(w.Attributes), wpAttributes(r))) return 2;
    if (text(w.Name).substr(0, catName.size()) != catName) return 1;
    return 0;
}

// Claims the slot's mount; 16 for a mount text that does not fit the
// weapon, 17 for a mount already taken, else 0.
int claimMount(const TAkWeapon& w, const WpDataRecord& r, bool taken[MountCount]) {
    std::string_view mount = text(w.Mount);
    const int index = ak::MountSlotIndex(mount);
    int result = 0;
    if (index >= MountCount) {
        if (taken[MountRightHand] || taken[MountLeftHand]) result = 17;
        taken[MountRightHand] = taken[MountLeftHand] = true;
        if (!(sjis::contains(mount, akk::Both) && (r.HandKind == 1 || r.HandKind == 2))) result = 16;
        return result;
    }
    if (!sjis::contains(mount, akk::Right) && !sjis::contains(mount, akk::Left)) result = 16;
    if (taken[index]) result = 17;
    taken[index] = true;
    const unsigned char code = static_cast<unsigned char>(r.Mount[0]);
    const bool fits = (sjis::contains(mount, akk::Hand) && (code == 0 || code == 1)) ||
                      (sjis::contains(mount, akk::Arm) && code == MountCodeArm) ||
                      (sjis::contains(mount, akk::Shoulder) && code == MountCodeShoulder);
    if (!fits) result = 16;
    return result;
}

bool checkWeapon(std::string& report, const TAkWeapon& w, const CatalogView& cat, bool taken[MountCount]) {
    std::string_view name = text(w.Name);
    appendLabel(report, akk::LabelWeapon, name);
    const int32_t no = w.CatalogNo;
    const int32_t limit = std::min(cat.weaponCount, cat.weaponTableSize);
    const WpDataRecord* r = cat.weapons && no >= 1 && no <= limit ? cat.weapons[no - 1] : nullptr;
    if (!r) {
        appendNotFound(report, akk::WordWeapon);
        return false;
    }
    std::string_view catName = weaponName(cat.weaponNames, cat.weaponCount, r->Number);
    const size_t from = catName.size();
    WeaponMarks marks;
    marks.improved = sjis::find(name, akk::Improved, from) != sjis::npos;
    marks.a = sjis::find(name, akk::MarkA, from) != sjis::npos;
    marks.p = sjis::find(name, akk::MarkP, from) != sjis::npos;
    int result = weaponResult(w, *r, catName, marks);
    if (int mount = claimMount(w, *r, taken)) result = mount;
    if (result == 0) {
        report += akk::Ok;
        return true;
    }
    report += akk::ParamDiffer;
    report += akk::WeaponCatalog;
    report += catalogWeaponSheet(*r, marks);
    report += akk::WeaponData;
    report += slotWeaponSheet(w, marks);
    if (result == 16) report += akk::BadMount;
    if (result == 17) report += akk::TakenMount;
    return false;
}

} // namespace

CatalogView viewOf(const CatalogSet& set) {
    CatalogView v;
    v.version = set.version;
    v.frames = set.frames.data();
    for (int k = 0; k < PartKindCount; ++k) v.parts[k] = set.parts[k].data();
    v.weapons = set.weapons.data();
    v.weaponTableSize = static_cast<int32_t>(set.weapons.size());
    v.weaponCount = set.weaponCount;
    v.weaponNames = set.weaponNames.data();
    return v;
}

const FrameCatalogEntry* findFrame(const TArmoredKnight& ak, const CatalogView& cat) {
    if (!cat.frames) return nullptr;
    std::string_view name = text(ak.Frame.Name);
    name = name.substr(0, sjis::find(name, akt::Slash));
    for (int i = 0; i < PartCapacity && cat.frames[i]; ++i)
        if (sjis::readField(cat.frames[i]->Name) == name) return cat.frames[i];
    return nullptr;
}

const PartCatalogEntry* findPart(const PartCatalogEntry* const* table, std::string_view name) {
    if (!table || name.empty()) return nullptr;
    for (int i = 0; i < PartCapacity && table[i]; ++i)
        if (sjis::contains(sjis::readField(table[i]->Name), name)) return table[i];
    return nullptr;
}

int checkMustItems(TArmoredKnight& ak) {
    const int64_t plan = int64_t{ak.MovingAttackPct} + ak.DefensiveMovePct + ak.StaticAttackPct;
    const bool present[MustItemCount] = {
        ak.Frame.Price > 0,
        ak.Engine.Price > 0,
        ak.Computer.Price > 0,
        !text(ak.Computer.Nickname).empty(),
        !text(ak.Owner.Name).empty(),
        !text(ak.Owner.Id).empty(),
        !text(ak.Pilot.Name).empty(),
        !text(ak.Pilot.Sex).empty(),
        true,
        !text(ak.Team.Name).empty(),
        plan == 100,
        !text(ak.AkName).empty(),
    };
    int missing = 0;
    for (int i = 0; i < MustItemCount; ++i) {
        ak.MustItemOk[i] = present[i] ? 1 : 0;
        if (!present[i]) ++missing;
    }
    return missing;
}

int checkAkData(TArmoredKnight& ak, const CatalogView& cat, std::string& report) {
    report.clear();
    appendLabel(report, akk::MustHead, "");
    if (int missing = checkMustItems(ak)) {
        report += akk::MustFail;
        for (int i = 0; i < MustItemCount; ++i) {
            if (ak.MustItemOk[i]) continue;
            report += plat::msg::text(plat::msg::MustItemBase + i);
            report += "\r\n";
        }
        return missing;
    }
    report += akk::Ok;
    std::string_view version = text(ak.WeaponDataVersion);
    appendLabel(report, akk::VersionLabel, version);
    if (version != cat.version) {
        report += akk::VersionFail;
        report += akk::VersionCatalog;
        report += cat.version;
        report += "\r\n";
        report += akk::VersionData;
        report += version;
        report += "\r\n";
        return 1;
    }
    report += akk::Ok;
    if (!checkFrame(report, ak, cat)) return 1;
    for (const PartCheck& check : partChecks)
        if (!checkPart(report, check, ak, cat)) return 1;
    bool taken[MountCount] = {};
    for (const TAkWeapon& w : ak.Weapon) {
        if (w.Price == 0) continue;
        if (!checkWeapon(report, w, cat, taken)) return 1;
    }
    return 0;
}

int checkAkWeight(const TArmoredKnight& ak, const CatalogView& cat, int32_t flags[7]) {
    for (int i = 0; i < 7; ++i) flags[i] = 0;
    if (ak.Frame.Price > 0) {
        const FrameCatalogEntry* e = findFrame(ak, cat);
        if (e && e->Weight != ak.Frame.Weight) flags[0] = 1;
    }
    const int32_t limit = std::min(cat.weaponCount, cat.weaponTableSize);
    for (int i = 0; i < WeaponSlotCount; ++i) {
        const TAkWeapon& w = ak.Weapon[i];
        const int32_t no = w.CatalogNo;
        if (w.Price <= 0 || !cat.weapons || no < 1 || no > limit || !cat.weapons[no - 1]) continue;
        int32_t weight = cat.weapons[no - 1]->Weight;
        if (sjis::contains(text(w.Name), akk::Improved)) weight *= 2;
        if (weight != w.Weight) flags[1 + i] = 1;
    }
    int set = 0;
    for (int i = 0; i < 7; ++i) set += flags[i];
    return set;
}

} // namespace akdata
