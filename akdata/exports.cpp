// The exported C calls of the AK data library. Each one checks its pointers,
// calls the library's C++ functions and keeps every exception inside.
#include "akdata/akexports.h"

#include "akdata/akcheck.h"
#include "akdata/akfile.h"
#include "akdata/aksheets.h"
#include "akdata/catalogstate.h"
#include "akdata/digest.h"
#include "akdata/partsheet.h"
#include "akdata/pilotinf.h"
#include "akdata/sheettext.h"
#include "akdata/trigger.h"
#include "akdata/wpsheet.h"
#include "base/akparams.h"
#include "base/sjis.h"

#include <cstring>
#include <string_view>

using namespace akdata;

namespace {

template <class F> int guarded(int failure, F f) {
    try {
        return f();
    } catch (...) {
        return failure;
    }
}

std::string_view cstr(const char* s) {
    return s ? std::string_view(s) : std::string_view();
}

int loadPart(PartKind kind, const char* path, PartCatalogEntry** table) {
    return guarded(0, [&] { return loadPartData(currentCatalog(), kind, cstr(path), table); });
}

// The library's weapon count and names with the caller's tables.
CatalogView callerView(const char* version, FrameCatalogEntry** frames, WpDataRecord** weapons) {
    const CatalogSet& set = currentCatalog();
    CatalogView v;
    v.version = cstr(version);
    v.frames = frames;
    v.weapons = weapons;
    v.weaponCount = set.weaponCount;
    v.weaponNames = set.weaponNames.data();
    return v;
}

void copyText(char* out, std::string_view text, size_t size) {
    if (out) sjis::writeField(out, size, text);
}

} // namespace

// ---- AK data file ----------------------------------------------------------

int LoadAkData(TArmoredKnight* ak, const char* path) {
    if (!ak) return LoadCannotOpen;
    return guarded(LoadCannotOpen, [&] { return loadAkData(*ak, cstr(path)); });
}

int SaveAkData(const TArmoredKnight* ak, const char* path) {
    if (!ak) return 1;
    return guarded(1, [&] { return saveAkData(*ak, cstr(path)); });
}

int CalcAkParam(TArmoredKnight* ak) {
    if (ak) ak::UpdateAkParam(*ak);
    return 0;
}

// ---- Catalogs --------------------------------------------------------------

int LoadWeapon(const char* folder) {
    return guarded(0, [&] { return loadWeapon(currentCatalog(), cstr(folder)); });
}

int UnloadWpData() {
    releaseCurrentCatalog();
    return 0;
}

int LoadWpData(const char* path, WpDataRecord** table) {
    return guarded(1, [&] { return loadWpData(currentCatalog(), cstr(path), table); });
}

int GetWpDataInfo(int* count, char** names) {
    CatalogSet& set = currentCatalog();
    if (count) *count = set.weaponCount;
    if (names) *names = set.weaponNames.data();
    return 0;
}

int SetWpDataInfo(int count, char* names) {
    return guarded(0, [&] {
        setWeaponInfo(currentCatalog(), count, names);
        return 0;
    });
}

int LoadFrameData(const char* path, FrameCatalogEntry** table) {
    return guarded(0, [&] { return loadFrameData(currentCatalog(), cstr(path), table); });
}

int LoadEngineData(const char* path, PartCatalogEntry** table) {
    return loadPart(PartKind::Engine, path, table);
}
int LoadArmorData(const char* path, PartCatalogEntry** table) {
    return loadPart(PartKind::Armor, path, table);
}
int LoadCompData(const char* path, PartCatalogEntry** table) {
    return loadPart(PartKind::Computer, path, table);
}
int LoadDiskData(const char* path, PartCatalogEntry** table) {
    return loadPart(PartKind::Disk, path, table);
}
int LoadSenData(const char* path, PartCatalogEntry** table) {
    return loadPart(PartKind::Sensor, path, table);
}
int LoadMoveData(const char* path, PartCatalogEntry** table) {
    return loadPart(PartKind::Mover, path, table);
}
int LoadEscData(const char* path, PartCatalogEntry** table) {
    return loadPart(PartKind::Escape, path, table);
}
int LoadTurboData(const char* path, PartCatalogEntry** table) {
    return loadPart(PartKind::Turbo, path, table);
}

// ---- Entry checks ----------------------------------------------------------

int CheckMustItem(TArmoredKnight* ak) {
    return ak ? checkMustItems(*ak) : 0;
}

int CheckAkData(TArmoredKnight* ak, char* report) {
    if (!ak) return 1;
    return guarded(1, [&] {
        std::string text;
        int result = checkAkData(*ak, viewOf(currentCatalog()), text);
        copyOut(report, text);
        return result;
    });
}

int CheckAkData2(TArmoredKnight* ak, const char* version, FrameCatalogEntry** frames,
                 PartCatalogEntry** engines, PartCatalogEntry** armours, PartCatalogEntry** computers,
                 PartCatalogEntry** disks, PartCatalogEntry** sensors, PartCatalogEntry** movers,
                 PartCatalogEntry** escapes, PartCatalogEntry** turbos, WpDataRecord** weapons,
                 char* report) {
    if (!ak) return 1;
    return guarded(1, [&] {
        CatalogView v = callerView(version, frames, weapons);
        v.parts[static_cast<int>(PartKind::Engine)] = engines;
        v.parts[static_cast<int>(PartKind::Armor)] = armours;
        v.parts[static_cast<int>(PartKind::Computer)] = computers;
        v.parts[static_cast<int>(PartKind::Disk)] = disks;
        v.parts[static_cast<int>(PartKind::Sensor)] = sensors;
        v.parts[static_cast<int>(PartKind::Mover)] = movers;
        v.parts[static_cast<int>(PartKind::Escape)] = escapes;
        v.parts[static_cast<int>(PartKind::Turbo)] = turbos;
        std::string text;
        int result = checkAkData(*ak, v, text);
        copyOut(report, text);
        return result;
    });
}

int CheckAkWeight(TArmoredKnight* ak, FrameCatalogEntry** frames, WpDataRecord** weapons, int* flags) {
    if (!ak || !flags) return 0;
    return checkAkWeight(*ak, callerView(nullptr, frames, weapons), flags);
}

// ---- Derived values --------------------------------------------------------

int CalkAkPrice(TArmoredKnight* ak) {
    return ak ? ak::SumAkPrice(*ak) : 0;
}

int GetMctl2Dex(int mctl) {
    return ak::Mctl2DexCore(mctl);
}

int CalcHakuhei(const char* attributes, int value) {
    // Bounded by the attribute field of a weapon slot.
    std::string_view attrs = attributes ? sjis::readField(attributes, strnlen(attributes, 32)) : "";
    return ak::CalcHakuhei(attrs, value);
}

int CalcWpWeight(TAkWeapon* slot) {
    return slot ? ak::CalcWpWeight(*slot) : 0;
}

int CalcWpRespMove(TArmoredKnight* ak, int* reactions, int* movements) {
    if (!ak || !reactions || !movements) return 0;
    return ak::CalcWpRespMove(*ak, reactions, movements);
}

// ---- Sheets, summary, triggers ---------------------------------------------

int MakeDigest(const char* folder, const char* file, int* machineValue, char* pilotName, char* ownerName,
               char* ownerId) {
    return guarded(-1, [&] {
        std::optional<AkDigest> d = makeDigest(cstr(folder), cstr(file));
        if (!d) return -1;
        if (machineValue) *machineValue = d->machineValue;
        copyText(pilotName, d->pilotName, 80);
        copyText(ownerName, d->ownerName, 80);
        copyText(ownerId, d->ownerId, 80);
        return 0;
    });
}

int MakePilotInf(const int* options, const char* conditionText, const char* title, const TArmoredKnight* ak,
                 const char* titleTail, char* out) {
    if (!ak) return 0;
    return guarded(0, [&] {
        PilotInfOptions o;
        if (options) {
            o.profile = options[0] != 0;
            o.comment = options[1] != 0;
            o.tableRow = options[2] != 0;
            o.condition = options[3] != 0;
            o.title = options[4] != 0;
        }
        copyOut(out, pilotInfo(o, cstr(conditionText), cstr(title), *ak, cstr(titleTail)));
        return 0;
    });
}

int MakeAkDetail(const TArmoredKnight* ak, int kind, char* out) {
    if (!ak) return 0;
    return guarded(0, [&] {
        copyOut(out, akDetailSheet(*ak, kind));
        return 0;
    });
}

int MakePartsDetail(const TArmoredKnight* ak, int kind, void* table1, void* table2, void* table3, char* out) {
    if (!ak) return 0;
    return guarded(0, [&] {
        auto parts = [](void* t) { return static_cast<const PartCatalogEntry* const*>(t); };
        CatalogView v;
        auto set = [&](PartKind k, void* t) { v.parts[static_cast<int>(k)] = parts(t); };
        if (kind == 0) {
            v.frames = static_cast<const FrameCatalogEntry* const*>(table1);
            set(PartKind::Engine, table2);
            set(PartKind::Armor, table3);
        } else if (kind == 1) {
            set(PartKind::Computer, table1);
            set(PartKind::Disk, table2);
            set(PartKind::Sensor, table3);
        } else if (kind == 2) {
            set(PartKind::Escape, table1);
            set(PartKind::Mover, table2);
            set(PartKind::Turbo, table3);
        }
        copyOut(out, partsDetailSheet(*ak, kind, v));
        return 0;
    });
}

int MakeWpDetail1(char* out, WpDataRecord** table, int index, int markA, int markP, int markImproved) {
    if (!table || index < 0 || index >= WeaponCapacity) return 0;
    // The caller's table may be shorter than the index: it ends at its
    // first null, and nothing past that is read.
    for (int i = 0; i <= index; ++i)
        if (!table[i]) return 0;
    return guarded(0, [&] {
        appendOut(out, catalogWeaponSheet(*table[index], {markA != 0, markP != 0, markImproved != 0}));
        return 0;
    });
}

int MakeWpDetail2(char* out, const TAkWeapon* slot, int markA, int markP, int markImproved) {
    if (!slot) return 0;
    return guarded(0, [&] {
        appendOut(out, slotWeaponSheet(*slot, {markA != 0, markP != 0, markImproved != 0}));
        return 0;
    });
}

int LoadTrigger(const char* file1, const char* file2, const char* file3, void** block) {
    return guarded(1, [&] { return loadTrigger(file1, file2, file3, block); });
}

int UnloadTrigger() {
    unloadTrigger();
    return 0;
}

// ---- Shift-JIS helpers -----------------------------------------------------

int CnvHan2Zen(const char* src, char* dst) {
    return guarded(0, [&] { return sjis::han2ZenC(src, dst); });
}

int CnvZen2Han(const char* src, char* dst) {
    return guarded(0, [&] { return sjis::zen2HanC(src, dst); });
}

int CnvNameStr(const char* src, int n, char* dst) {
    return guarded(0, [&] { return sjis::cnvNameStrC(src, n, dst); });
}
