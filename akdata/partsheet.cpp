// The parts sheets.
#include "akdata/partsheet.h"

#include "akdata/sheettext.h"
#include "base/sjis.h"
#include "sjis/aktext.h"

namespace akdata {

namespace {

template <size_t N> std::string text(const char (&field)[N]) {
    return std::string(sjis::readField(field));
}

// The heading with the part's name, or with "未購入" and nothing more.
bool heading(std::string& out, const char* title, bool bought, std::string_view name) {
    out += title;
    if (!bought) {
        out += akpd::NotBought;
        out += "\r\n";
        return false;
    }
    out += name;
    out += "\r\n";
    return true;
}

// The part catalogs carry no comment text, so the comment line stays empty.
void comment(std::string& out) {
    out += akpd::Comment;
    out += "\r\n\r\n";
}

std::string priceWeight(int32_t price, int32_t weight) {
    return formatText(akpd::PriceWeight, zen(price).c_str(), zen(weight).c_str());
}

std::string durabilities(const char* head, const int32_t v[6]) {
    return formatText(head, zen(v[PartHead]).c_str(), zen(v[PartBody]).c_str()) +
           formatText(akpd::Arms, zen(v[PartRightArm]).c_str(), zen(v[PartLeftArm]).c_str()) +
           formatText(akpd::Legs, zen(v[PartRightLeg]).c_str(), zen(v[PartLeftLeg]).c_str());
}

void frameBlock(std::string& out, const TArmoredKnight& ak, const CatalogView& cat) {
    if (!heading(out, akpd::Frame, ak.Frame.Price > 0, text(ak.Frame.Name))) return;
    const FrameCatalogEntry* e = findFrame(ak, cat);
    int32_t d[6];
    for (int p = 0; p < 6; ++p) d[p] = e ? e->Durability[p] : ak.Frame.MaxDurability[p];
    out += priceWeight(e ? e->Price : ak.Frame.Price, e ? e->Weight : ak.Frame.Weight);
    out += formatText(akpd::Evasion, zen(e ? e->Evasion : ak.Frame.Evasion).c_str(),
                      zen(e ? e->EngineLevel : ak.Frame.EngineLevel).c_str());
    out += durabilities(akpd::DurHead, d);
    comment(out);
}

// A part's block: the heading, the value lines that `lines` writes from the
// catalog entry (null when the part is not in the catalog), the comment.
template <class Lines>
void partBlock(std::string& out, const char* title, int32_t price, std::string_view name,
               const PartCatalogEntry* const* table, Lines lines) {
    if (!heading(out, title, price > 0, name)) return;
    lines(findPart(table, name));
    comment(out);
}

std::string sheet0(const TArmoredKnight& ak, const CatalogView& cat) {
    std::string out;
    frameBlock(out, ak, cat);
    partBlock(out, akpd::Engine, ak.Engine.Price, text(ak.Engine.Name), cat.table(PartKind::Engine),
              [&](const PartCatalogEntry* e) {
                  out += priceWeight(e ? e->Values[pv::EnginePrice] : ak.Engine.Price,
                                     e ? e->Values[pv::EngineWeight] : ak.Engine.Weight);
                  out +=
                      formatText(akpd::Power, zen(e ? e->Values[pv::EnginePower] : ak.Engine.Power).c_str());
              });
    partBlock(out, akpd::Armor, ak.Armor.PriceFactor, text(ak.Armor.Name), cat.table(PartKind::Armor),
              [&](const PartCatalogEntry* e) {
                  out += priceWeight(e ? e->Values[pv::ArmorPriceFactor] : ak.Armor.PriceFactor,
                                     e ? e->Values[pv::ArmorWeightFactor] : ak.Armor.WeightFactor);
                  out += "\r\n";
                  int32_t v[6];
                  for (int p = 0; p < 6; ++p) v[p] = ak.Armor.Value[p];
                  out += durabilities(akpd::ArmorHead, v);
              });
    return out;
}

std::string sheet1(const TArmoredKnight& ak, const CatalogView& cat) {
    std::string out;
    partBlock(out, akpd::Computer, ak.Computer.Price, text(ak.Computer.Name), cat.table(PartKind::Computer),
              [&](const PartCatalogEntry* e) {
                  out += priceWeight(e ? e->Values[pv::ComputerPrice] : ak.Computer.Price,
                                     e ? e->Values[pv::ComputerWeight] : ak.Computer.Weight);
                  out += formatText(akpd::Level,
                                    zen(e ? e->Values[pv::ComputerLevel] : ak.Computer.Level).c_str());
              });
    partBlock(
        out, akpd::Disk, ak.Computer.MdPrice, text(ak.Computer.MissionDisk), cat.table(PartKind::Disk),
        [&](const PartCatalogEntry* e) {
            out += formatText(akpd::Price, zen(e ? e->Values[pv::DiskPrice] : ak.Computer.MdPrice).c_str());
            out += formatText(akpd::Mods, zen(e ? e->Values[pv::DiskAttack] : ak.Computer.MdAttack).c_str(),
                              zen(e ? e->Values[pv::DiskDefence] : ak.Computer.MdDefence).c_str());
        });
    partBlock(out, akpd::Sensor, ak.Sensor.Price, text(ak.Sensor.Name), cat.table(PartKind::Sensor),
              [&](const PartCatalogEntry* e) {
                  out += priceWeight(e ? e->Values[pv::SensorPrice] : ak.Sensor.Price,
                                     e ? e->Values[pv::SensorWeight] : ak.Sensor.Weight);
                  out += formatText(akpd::Type, e ? std::string(sjis::readField(e->Type)).c_str()
                                                  : text(ak.Sensor.Type).c_str());
                  out +=
                      formatText(akpd::Mods, zen(e ? e->Values[pv::SensorAttack] : ak.Sensor.Attack).c_str(),
                                 zen(e ? e->Values[pv::SensorDefence] : ak.Sensor.Defence).c_str());
              });
    return out;
}

std::string sheet2(const TArmoredKnight& ak, const CatalogView& cat) {
    std::string out;
    partBlock(out, akpd::Escape, ak.Escape.Price, text(ak.Escape.Name), cat.table(PartKind::Escape),
              [&](const PartCatalogEntry* e) {
                  out += priceWeight(e ? e->Values[pv::EscapePrice] : ak.Escape.Price,
                                     e ? e->Values[pv::EscapeWeight] : ak.Escape.Weight);
                  out += formatText(akpd::EscapeValue,
                                    zen(e ? e->Values[pv::EscapeBonus] : ak.Escape.EscapeBonus).c_str());
              });
    partBlock(out, akpd::Mover, ak.Mover.Price, text(ak.Mover.Name), cat.table(PartKind::Mover),
              [&](const PartCatalogEntry* e) {
                  out += priceWeight(e ? e->Values[pv::MoverPrice] : ak.Mover.Price,
                                     e ? e->Values[pv::MoverWeight] : ak.Mover.Weight);
                  out += formatText(akpd::Move,
                                    zen(e ? e->Values[pv::MoverMovement] : ak.Mover.MoveBonus).c_str());
                  out += formatText(akpd::Mods, zen(e ? e->Values[pv::MoverAttack] : ak.Mover.Attack).c_str(),
                                    zen(e ? e->Values[pv::MoverDefence] : ak.Mover.Defence).c_str());
              });
    partBlock(out, akpd::Turbo, ak.Turbo.Price, text(ak.Turbo.Name), cat.table(PartKind::Turbo),
              [&](const PartCatalogEntry* e) {
                  out += priceWeight(e ? e->Values[pv::TurboPrice] : ak.Turbo.Price,
                                     e ? e->Values[pv::TurboWeight] : ak.Turbo.Weight);
                  out += formatText(akpd::Amplify,
                                    zen(e ? e->Values[pv::TurboAmplify] : ak.Turbo.AmplifyPct).c_str(),
                                    zen(ak.Turbo.StartMinute).c_str());
              });
    return out;
}

} // namespace

std::string partsDetailSheet(const TArmoredKnight& ak, int kind, const CatalogView& catalogs) {
    switch (kind) {
    case 0:
        return sheet0(ak, catalogs);
    case 1:
        return sheet1(ak, catalogs);
    case 2:
        return sheet2(ak, catalogs);
    default:
        return {};
    }
}

} // namespace akdata
