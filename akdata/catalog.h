// The parts and weapon catalogs of a weapon data folder: the version file
// "wver.$$$", the weapon catalog (weapon.dat, or wepon.dat when present) of
// 180-byte records, and nine part catalogs of fixed-width text records.
//
// The records handed to callers keep the catalogs' own layout: WpDataRecord
// is the 180-byte image of weapon.dat (its name, attribute and text fields
// need not end in a NUL, so every read is bounded by the field), and part
// entries hold their values as i32 in the order the entry check uses.
//
// A CatalogSet owns everything loaded into it. Entries are never freed one by
// one: tables handed out stay valid until the set is cleared (a new
// LoadWeapon or UnloadWpData).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace akdata {

// One record of weapon.dat: little-endian 16-bit signed numbers, blank-padded
// Shift-JIS texts. After loading, Number is the 1-based position in the file,
// Mount[0] the mount code byte (see MountCode) and Mount[1] zero, and the
// three texts are cut at their first blank.
struct WpDataRecord {
    int16_t Number;
    char Name[30];
    char Mount[2];
    char Attributes[18];
    int16_t Price;
    int16_t Weight;
    int16_t HandKind; // 0 one hand only, 1 either, 2 both hands only
    int16_t TotalAmmo;
    int16_t ShotsPerAttack;
    int16_t ShotsPerAttackAlt; // used by the sheets with the Ａ mark
    int16_t HitRate[9];
    int16_t Power[9];
    int16_t Destructive;
    int16_t AttackDown;
    int16_t EvasionDown;
    int16_t MoveDown;
    int16_t ComputerDown;
    int16_t SensorDown;
    int16_t AntiBeam;
    int16_t HitTaken;
    int16_t ArmorValue;
    int16_t InducedExplosion;
    char Text[60];
};
static_assert(sizeof(WpDataRecord) == 180);
static_assert(offsetof(WpDataRecord, Mount) == 32 && offsetof(WpDataRecord, Attributes) == 34);
static_assert(offsetof(WpDataRecord, Price) == 52 && offsetof(WpDataRecord, HitRate) == 64);
static_assert(offsetof(WpDataRecord, Power) == 82 && offsetof(WpDataRecord, Destructive) == 100);
static_assert(offsetof(WpDataRecord, InducedExplosion) == 118 && offsetof(WpDataRecord, Text) == 120);

// Mount code bytes of a loaded record: the hand kind (0, 1, 2) for hands.
inline constexpr unsigned char MountCodeArm = 3;
inline constexpr unsigned char MountCodeShoulder = 4;
inline constexpr unsigned char MountCodeNone = 'c';

inline constexpr int WeaponCapacity = 800;
inline constexpr int PartCapacity = 100;
inline constexpr size_t WeaponNameSize = 32; // one entry of the weapon name table
inline constexpr size_t WpRecordSize = sizeof(WpDataRecord);

// A frame: durabilities head, left arm, right arm, left leg, right leg, body.
struct FrameCatalogEntry {
    char Name[32];
    int32_t Evasion;
    int32_t Weight;
    int32_t Price;
    int32_t Durability[6];
    int32_t EngineLevel;
    int32_t Zero;
};

enum class PartKind { Engine, Armor, Computer, Disk, Sensor, Mover, Escape, Turbo };
inline constexpr int PartKindCount = 8;

static_assert(sizeof(FrameCatalogEntry) == 76);
static_assert(offsetof(FrameCatalogEntry, Evasion) == 32 && offsetof(FrameCatalogEntry, Durability) == 44);
static_assert(offsetof(FrameCatalogEntry, EngineLevel) == 68 && offsetof(FrameCatalogEntry, Zero) == 72);

// Any other part: its values in the order of the kind's value indexes below.
// A sensor has four values and keeps its two-letter type text in place of
// the fifth, so the type sits at byte 48 where the other kinds keep their
// fifth value; callers that build their own tables lay it out that way.
struct PartCatalogEntry {
    char Name[32];
    union {
        int32_t Values[5];
        struct {
            int32_t SensorValues[4];
            char Type[4];
        };
    };
    int32_t Reserved;
};
static_assert(sizeof(PartCatalogEntry) == 56);
static_assert(offsetof(PartCatalogEntry, Values) == 32 && offsetof(PartCatalogEntry, Type) == 48);
static_assert(offsetof(PartCatalogEntry, Reserved) == 52);

namespace pv {
enum Engine { EngineWeight, EnginePrice, EnginePower };
enum Armor { ArmorWeightFactor, ArmorPriceFactor };
enum Computer { ComputerWeight, ComputerPrice, ComputerLevel };
enum Disk { DiskPrice, DiskLevel, DiskAttack, DiskDefence };
enum Sensor { SensorWeight, SensorPrice, SensorAttack, SensorDefence };
enum Mover { MoverWeight, MoverPrice, MoverAttack, MoverDefence, MoverMovement };
enum Escape { EscapeWeight, EscapePrice, EscapeBonus };
enum Turbo { TurboWeight, TurboPrice, TurboAmplify };
} // namespace pv

// The bytes of one part catalog record and the catalog's file name.
size_t partRecordSize(PartKind kind);
std::string_view partFileName(PartKind kind);
inline constexpr size_t FrameRecordSize = 39;

// Bounded views of a weapon record's texts (up to the first NUL or blank).
std::string_view wpName(const WpDataRecord& r);
std::string_view wpAttributes(const WpDataRecord& r);
std::string_view wpText(const WpDataRecord& r);

// A loaded weapon: the record image and NUL-terminated copies of its texts.
struct WeaponEntry {
    WpDataRecord record;
    char Name[31];
    char Attributes[19];
    char Text[61];
};

struct AttributeLetter {
    std::string letter; // one double-byte character
    int count;
};

// Parses whole part records until the end of the bytes (a partial last
// record is ignored), at most PartCapacity of them.
std::vector<FrameCatalogEntry> parseFrameCatalog(std::string_view bytes);
std::vector<PartCatalogEntry> parsePartCatalog(PartKind kind, std::string_view bytes);

// Parses weapon.dat: whole 180-byte records, at most WeaponCapacity. A
// record whose mount code is not 肩 腕 手 無 stops the parse with badMount
// set (the records before it stay).
struct WeaponParse {
    std::vector<WeaponEntry> entries;
    bool badMount = false;
};
WeaponParse parseWeaponCatalog(std::string_view bytes);

// The distinct double-byte attribute letters of the weapons, most used first
// (ties in order of appearance).
std::vector<AttributeLetter> countAttributeLetters(const std::vector<WpDataRecord*>& weapons);

// The first line of the version file without its line end, at most 79
// bytes, cut on a character boundary.
std::string parseVersionFile(std::string_view bytes);

struct CatalogSet {
    std::string version;
    // Weapons: the table in file order and the storage it points into.
    std::deque<WeaponEntry> weaponStore;
    std::vector<WpDataRecord*> weapons;
    std::vector<AttributeLetter> letters;
    // The weapon count and name table the checks use: those of the loaded
    // catalog, or whatever a caller set with setWeaponInfo.
    int32_t weaponCount = 0;
    std::vector<char> weaponNames = std::vector<char>(WeaponCapacity * WeaponNameSize, '\0');
    // Parts: null-ended tables and their storage.
    std::deque<FrameCatalogEntry> frameStore;
    std::vector<FrameCatalogEntry*> frames{nullptr};
    std::deque<PartCatalogEntry> partStore;
    std::array<std::vector<PartCatalogEntry*>, PartKindCount> parts{
        std::vector<PartCatalogEntry*>{nullptr}, std::vector<PartCatalogEntry*>{nullptr},
        std::vector<PartCatalogEntry*>{nullptr}, std::vector<PartCatalogEntry*>{nullptr},
        std::vector<PartCatalogEntry*>{nullptr}, std::vector<PartCatalogEntry*>{nullptr},
        std::vector<PartCatalogEntry*>{nullptr}, std::vector<PartCatalogEntry*>{nullptr}};

    int frameCount() const { return static_cast<int>(frames.size()) - 1; }
    int partCount(PartKind k) const { return static_cast<int>(parts[static_cast<int>(k)].size()) - 1; }
    const std::vector<PartCatalogEntry*>& table(PartKind k) const { return parts[static_cast<int>(k)]; }
};

// Loaders on a set. Messages go through the shared notifier.

// Reads weapon.dat at path into the set (replacing its weapon table, count,
// names and letters) and, when table is given, copies the record pointers
// into it (room for WeaponCapacity). 0 read, or the file cannot be opened
// (message 41040); 1 a bad mount code (41041) or no memory (41007).
int loadWpData(CatalogSet& set, std::string_view path, WpDataRecord** table = nullptr);

// Read a part catalog into the set's table and, when out is given, copy the
// null-ended table into it (room for PartCapacity + 1). Return the count; 0
// with message 41040 when the file cannot be read.
int loadFrameData(CatalogSet& set, std::string_view path, FrameCatalogEntry** out = nullptr);
int loadPartData(CatalogSet& set, PartKind kind, std::string_view path, PartCatalogEntry** out = nullptr);

// Clears the set and loads a whole weapon data folder. 1 loaded; 0 when the
// version file cannot be read (message 41040) or the weapon catalog is bad
// (its message shown; the set is left empty). A missing weapon catalog is
// silent, a missing part catalog leaves its table empty.
int loadWeapon(CatalogSet& set, std::string_view folder);

// The weapon count (clamped to 0..WeaponCapacity) and count names of 32
// bytes each, for a caller that keeps its own catalog.
void setWeaponInfo(CatalogSet& set, int32_t count, const char* names);

// The name of weapon number n (1-based) in the set's name table; empty when
// n is outside 1..count.
std::string_view weaponName(const char* names, int32_t count, int32_t n);

} // namespace akdata
