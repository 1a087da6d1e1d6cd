// The library's one catalog set: loaded by LoadWeapon, read by the entry
// check and the sheets, released by UnloadWpData. The plug-ins bracket their
// checks with LoadWeapon ... UnloadWpData on one thread, so the set takes no
// lock.
#pragma once

#include "akdata/catalog.h"

namespace akdata {

CatalogSet& currentCatalog();
// Releases everything the set holds; tables handed out become invalid.
void releaseCurrentCatalog();

} // namespace akdata
