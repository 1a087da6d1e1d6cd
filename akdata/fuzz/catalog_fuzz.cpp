// Fuzz target: arbitrary bytes as one file of a weapon data folder. Byte 0
// chooses the file (0 the version file, 1 weapon.dat, 2 mf.cat, 3 to 10 the
// other part catalogs in the order of PartKind); the rest is its content.
// Weapons are also shown as sheets, and the parsed tables serve an entry
// check of a record that names their first entries.
#include "akdata/akcheck.h"
#include "akdata/catalog.h"
#include "akdata/wpsheet.h"
#include "base/sjis.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzzcheck.h"

using namespace akdata;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int which = data[0] % 11;
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    TArmoredKnight ak{};
    ak.Frame.Price = ak.Engine.Price = ak.Computer.Price = 1;
    CatalogView view;
    if (which == 0) {
        std::string v = parseVersionFile(bytes);
        FUZZ_CHECK(v.size() <= 79 && v.find('\n') == std::string::npos);
    } else if (which == 1) {
        WeaponParse parse = parseWeaponCatalog(bytes);
        FUZZ_CHECK(parse.entries.size() <= WeaponCapacity &&
                   parse.entries.size() <= bytes.size() / WpRecordSize);
        std::vector<WpDataRecord*> table;
        std::vector<char> names(WeaponCapacity * WeaponNameSize, '\0');
        for (WeaponEntry& e : parse.entries) {
            FUZZ_CHECK(wpName(e.record).size() <= 30 && std::strlen(e.Name) <= 30);
            (void)catalogWeaponSheet(e.record, {true, true, true});
            std::memcpy(names.data() + table.size() * WeaponNameSize, e.Name, sizeof e.Name);
            table.push_back(&e.record);
        }
        (void)countAttributeLetters(table);
        view.weapons = table.data();
        view.weaponTableSize = view.weaponCount = static_cast<int32_t>(table.size());
        view.weaponNames = names.data();
        for (int i = 0; i < WeaponSlotCount; ++i) {
            ak.Weapon[i].Price = 1;
            ak.Weapon[i].CatalogNo = i + 1;
            if (i < static_cast<int>(table.size()))
                sjis::writeField(ak.Weapon[i].Name, parse.entries[i].Name);
        }
        std::string report;
        checkAkData(ak, view, report);
    } else if (which == 2) {
        std::vector<FrameCatalogEntry> frames = parseFrameCatalog(bytes);
        FUZZ_CHECK(frames.size() <= PartCapacity);
        std::vector<const FrameCatalogEntry*> table;
        for (const FrameCatalogEntry& f : frames) table.push_back(&f);
        table.push_back(nullptr);
        if (!frames.empty()) sjis::writeField(ak.Frame.Name, frames[0].Name);
        view.frames = table.data();
        int32_t flags[7];
        checkAkWeight(ak, view, flags);
    } else {
        PartKind kind = static_cast<PartKind>(which - 3);
        std::vector<PartCatalogEntry> parts = parsePartCatalog(kind, bytes);
        FUZZ_CHECK(parts.size() <= PartCapacity);
        // Only a sensor keeps a type text; the other kinds hold their fifth
        // value in those bytes.
        for (const PartCatalogEntry& p : parts)
            FUZZ_CHECK(std::memchr(p.Name, '\0', sizeof p.Name) &&
                       (kind != PartKind::Sensor || std::memchr(p.Type, '\0', sizeof p.Type)));
        std::vector<const PartCatalogEntry*> table;
        for (const PartCatalogEntry& p : parts) table.push_back(&p);
        table.push_back(nullptr);
        if (!parts.empty()) (void)findPart(table.data(), sjis::readField(parts[0].Name));
    }
    return 0;
}
