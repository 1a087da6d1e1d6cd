// The parts sheets: the AK's parts as the catalog lists them, three parts a
// sheet (0 frame, engine, armour; 1 computer, mission disk, sensor; 2 escape
// device, auxiliary propulsion, reaction amplifier). A part is looked up by
// the AK's part name as the entry check looks it up; a bought part missing
// from the catalog is shown with the AK's own values, a part not bought as
// "未購入".
#pragma once

#include "akdata/akcheck.h"
#include "base/akrecord.h"

#include <string>

namespace akdata {

// Uses catalogs.frames and the part tables of the kind; empty for a kind
// outside 0..2.
std::string partsDetailSheet(const TArmoredKnight& ak, int kind, const CatalogView& catalogs);

} // namespace akdata
