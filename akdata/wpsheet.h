// The weapon sheet: one weapon's values as text, for a catalog record or for
// an AK's weapon slot, with the three marks of a weapon's name suffix (Ａ
// counts attacks by the second shots-per-attack value, Ｐ raises the powers
// by 2 and cuts the attacks to two thirds, ＋ doubles the attacks). The
// entry check shows both sheets side by side when a slot differs from its
// catalog record.
#pragma once

#include "akdata/catalog.h"
#include "base/akrecord.h"

#include <string>

namespace akdata {

struct WeaponMarks {
    bool a = false;
    bool p = false;
    bool improved = false;
};

std::string catalogWeaponSheet(const WpDataRecord& record, WeaponMarks marks);
std::string slotWeaponSheet(const TAkWeapon& slot, WeaponMarks marks);

} // namespace akdata
