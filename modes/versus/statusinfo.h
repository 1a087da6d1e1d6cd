// What the match window's status bar and the two status windows show,
// worked out from the records: the match type with its length and the
// bounty mark, the announcer the game processor chose, and per side the
// six durability bars and the weapon list.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace versus {

// The name of a match type (0 to 5); empty for any other number.
std::string matchTypeName(int32_t type);

// Panel 0: "試合形式： " + the type's name + (types 0, 1 and 4) the match
// length in full-width digits and "分" + "（賞金首試合）" for a bounty match.
std::string matchTypeText(const GameSettings& settings);
// Panel 1: "アナウンサー： " + the list name of the announcer chosen.
std::string announcerText(const GameSettings& settings);

// One durability bar of a status window.
inline constexpr int BarLength = 100;
struct PartBar {
    int32_t Durability = 0;
    int32_t MaxDurability = 0;
    int32_t Width = 0; // durability * 100 / maximum, 0 without a maximum, kept to 0..100
    std::string Text;  // "%d/%d"
};
std::array<PartBar, BodyPartCount> partBars(const TArmoredKnight& ak);

// One row of a status window's weapon list, for each bought slot.
struct WeaponRow {
    std::string No;    // slot number from 1
    std::string Name;  // the slot's name
    std::string Ammo;  // ammunition left, "--" when none
    std::string Armor; // the weapon's armour left
};
std::vector<WeaponRow> weaponRows(const TArmoredKnight& ak);

// "プレイヤー１：pilot／owner" (side 0) or "プレイヤー２：…" (side 1).
std::string statusTitle(int side, const TArmoredKnight& ak);

} // namespace versus
