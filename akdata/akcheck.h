// The entry checks of an AK: are the items an entry needs present, was the
// AK built with the loaded catalog version, and does every bought part and
// weapon carry exactly its catalog values. The check writes a text report
// and returns 0 (may enter), the number of missing must items, or 1.
#pragma once

#include "akdata/catalog.h"
#include "base/akrecord.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace akdata {

// The catalogs a check compares with: the library's loaded set or tables a
// caller holds. Part tables are null-ended (read up to PartCapacity entries);
// the weapon table holds weaponCount records, named by weaponNames.
struct CatalogView {
    std::string_view version;
    const FrameCatalogEntry* const* frames = nullptr;
    const PartCatalogEntry* const* parts[PartKindCount] = {};
    const WpDataRecord* const* weapons = nullptr;
    int32_t weaponTableSize = WeaponCapacity; // entries the weapon table is known to hold
    int32_t weaponCount = 0;
    const char* weaponNames = nullptr; // weaponCount entries of WeaponNameSize bytes

    const PartCatalogEntry* const* table(PartKind k) const { return parts[static_cast<int>(k)]; }
};

CatalogView viewOf(const CatalogSet& set);

// Sets MustItemOk and returns the number of missing items.
int checkMustItems(TArmoredKnight& ak);

// The whole check; the report is replaced.
int checkAkData(TArmoredKnight& ak, const CatalogView& catalogs, std::string& report);

// Weight flags: [0] the frame's catalog weight differs, [1 + i] slot i's.
// Returns the number of flags set.
int checkAkWeight(const TArmoredKnight& ak, const CatalogView& catalogs, int32_t flags[7]);

// The frame entry named exactly like the frame (its name cut at the first
// "／"), or null.
const FrameCatalogEntry* findFrame(const TArmoredKnight& ak, const CatalogView& catalogs);
// The first entry whose name holds name, starting on a character boundary;
// null for an empty name.
const PartCatalogEntry* findPart(const PartCatalogEntry* const* table, std::string_view name);

} // namespace akdata
