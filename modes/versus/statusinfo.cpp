// The status bar texts and the status windows' contents.
#include "modes/versus/statusinfo.h"

#include "base/sjis.h"
#include "modes/frame/textfmt.h"
#include "sjis/versus_text.h"

#include <algorithm>

namespace versus {

std::string matchTypeName(int32_t type) {
    const char* names[] = {text::MatchType0, text::MatchType1, text::MatchType2,
                           text::MatchType3, text::MatchType4, text::MatchType5};
    return type >= 0 && type < 6 ? names[type] : "";
}

std::string matchTypeText(const GameSettings& settings) {
    const int32_t type = settings.MatchType;
    std::string out = std::string(text::MatchTypeHead) + matchTypeName(type);
    if (type == 0 || type == 1 || type == 4) {
        const int32_t minutes = settings.MatchMinutes;
        out += sjis::han2Zen(std::to_string(minutes)) + text::Minutes;
    }
    if (settings.Options[OptBountyMatch]) out += text::BountyMatch;
    return out;
}

std::string announcerText(const GameSettings& settings) {
    return std::string(text::AnnouncerHead) + std::string(sjis::readField(settings.ChosenAnnouncer.Id));
}

std::array<PartBar, BodyPartCount> partBars(const TArmoredKnight& ak) {
    std::array<PartBar, BodyPartCount> bars;
    for (int i = 0; i < BodyPartCount; ++i) {
        PartBar& bar = bars[static_cast<size_t>(i)];
        bar.Durability = ak.Frame.Durability[i];
        bar.MaxDurability = ak.Frame.MaxDurability[i];
        if (bar.MaxDurability != 0) {
            const int64_t width = int64_t{bar.Durability} * BarLength / bar.MaxDurability;
            bar.Width = static_cast<int32_t>(std::clamp<int64_t>(width, 0, BarLength));
        }
        bar.Text = modes::format("%d/%d", bar.Durability, bar.MaxDurability);
    }
    return bars;
}

std::vector<WeaponRow> weaponRows(const TArmoredKnight& ak) {
    std::vector<WeaponRow> rows;
    for (int i = 0; i < WeaponSlotCount; ++i) {
        const TAkWeapon& w = ak.Weapon[i];
        const int32_t price = w.Price;
        if (price == 0) continue;
        const int32_t ammo = w.AmmoLeft;
        const int32_t armor = w.ArmorLeft;
        WeaponRow row;
        row.No = std::to_string(i + 1);
        row.Name = sjis::readField(w.Name);
        row.Ammo = ammo > 0 ? std::to_string(ammo) : std::string(text::NoAmmo);
        row.Armor = std::to_string(armor);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string statusTitle(int side, const TArmoredKnight& ak) {
    std::string pilot(sjis::readField(ak.Pilot.Name));
    std::string owner(sjis::readField(ak.Owner.Name));
    return modes::format(text::StatusTitle, side == 0 ? text::Side1 : text::Side2, pilot.c_str(),
                         owner.c_str());
}

} // namespace versus
