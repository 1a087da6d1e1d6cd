// Parsing and loading the catalogs of a weapon data folder.
#include "akdata/catalog.h"

#include "base/sjis.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sjis/aktext.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

namespace akdata {

namespace {

struct PartFormat {
    const char* file;
    size_t size;
};

// File name and record size of each part kind, in PartKind order.
constexpr PartFormat partFormats[PartKindCount] = {
    {"engin.cat", 21}, {"armer.cat", 26}, {"comp.cat", 25}, {"md.cat", 29},
    {"sen.cat", 35},   {"mover.cat", 39}, {"esc.cat", 28},  {"turbo.cat", 23},
};

// A fixed text field up to its first NUL or first blank (walking characters).
std::string_view cutAtBlank(const char* field, size_t size) {
    std::string_view t = sjis::readField(field, size);
    for (size_t p = 0, len; (len = sjis::charLength(t, p)) != 0; p += len)
        if (t[p] == ' ') return t.substr(0, p);
    return t;
}

// Cuts a field of the record image at its first blank, as the loader does.
void cutFieldAtBlank(char* field, size_t size) {
    size_t n = cutAtBlank(field, size).size();
    if (n < size) field[n] = '\0';
}

FrameCatalogEntry parseFrame(std::string_view rec) {
    FrameCatalogEntry e{};
    int32_t price = 0, weight = 0, evasion = 0, head = 0, arm = 0, body = 0, leg = 0, level = 0;
    sjis::vsscanfix(rec, {sjis::scanTrimmed(14, e.Name), sjis::scanInt(5, price), sjis::scanInt(3, weight),
                          sjis::scanInt(3, evasion), sjis::scanInt(3, head), sjis::scanInt(3, arm),
                          sjis::scanInt(3, body), sjis::scanInt(3, leg), sjis::scanInt(2, level)});
    e.Evasion = evasion;
    e.Weight = weight;
    e.Price = price;
    const int32_t durability[6] = {head, arm, arm, leg, leg, body};
    std::copy(std::begin(durability), std::end(durability), e.Durability);
    e.EngineLevel = level;
    return e;
}

PartCatalogEntry parsePart(PartKind kind, std::string_view rec) {
    PartCatalogEntry e{};
    int32_t* v = e.Values;
    switch (kind) {
    case PartKind::Engine: // the engine name keeps its padding
        sjis::vsscanfix(rec, {sjis::scanText(10, e.Name), sjis::scanInt(4, v[pv::EnginePower]),
                              sjis::scanInt(3, v[pv::EngineWeight]), sjis::scanInt(4, v[pv::EnginePrice])});
        break;
    case PartKind::Armor:
        sjis::vsscanfix(rec, {sjis::scanTrimmed(20, e.Name), sjis::scanInt(3, v[pv::ArmorPriceFactor]),
                              sjis::scanInt(3, v[pv::ArmorWeightFactor])});
        break;
    case PartKind::Computer:
        sjis::vsscanfix(rec,
                        {sjis::scanTrimmed(14, e.Name), sjis::scanInt(2, v[pv::ComputerLevel]),
                         sjis::scanInt(4, v[pv::ComputerWeight]), sjis::scanInt(5, v[pv::ComputerPrice])});
        break;
    case PartKind::Disk:
        sjis::vsscanfix(rec, {sjis::scanTrimmed(18, e.Name), sjis::scanInt(2, v[pv::DiskLevel]),
                              sjis::scanInt(2, v[pv::DiskAttack]), sjis::scanInt(2, v[pv::DiskDefence]),
                              sjis::scanInt(5, v[pv::DiskPrice])});
        break;
    case PartKind::Sensor:
        sjis::vsscanfix(rec, {sjis::scanTrimmed(22, e.Name), sjis::scanInt(2, v[pv::SensorAttack]),
                              sjis::scanInt(2, v[pv::SensorDefence]), sjis::scanInt(3, v[pv::SensorWeight]),
                              sjis::scanInt(4, v[pv::SensorPrice]), sjis::scanTrimmed(2, e.Type)});
        break;
    case PartKind::Mover:
        sjis::vsscanfix(rec, {sjis::scanTrimmed(24, e.Name), sjis::scanInt(1, v[pv::MoverMovement]),
                              sjis::scanInt(3, v[pv::MoverAttack]), sjis::scanInt(3, v[pv::MoverDefence]),
                              sjis::scanInt(3, v[pv::MoverWeight]), sjis::scanInt(5, v[pv::MoverPrice])});
        break;
    case PartKind::Escape:
        sjis::vsscanfix(rec, {sjis::scanTrimmed(18, e.Name), sjis::scanInt(2, v[pv::EscapeBonus]),
                              sjis::scanInt(3, v[pv::EscapeWeight]), sjis::scanInt(5, v[pv::EscapePrice])});
        break;
    case PartKind::Turbo:
        sjis::vsscanfix(rec, {sjis::scanTrimmed(16, e.Name), sjis::scanInt(2, v[pv::TurboAmplify]),
                              sjis::scanInt(2, v[pv::TurboWeight]), sjis::scanInt(3, v[pv::TurboPrice])});
        break;
    }
    return e;
}

// The mount code byte of a raw mount character; nullopt when it is none of 肩 腕 手 無.
std::optional<unsigned char> mountCode(const WpDataRecord& r) {
    std::string_view m(r.Mount, 2);
    if (m == akc::CodeShoulder) return MountCodeShoulder;
    if (m == akc::CodeArm) return MountCodeArm;
    if (m == akc::CodeHand) return static_cast<unsigned char>(r.HandKind);
    if (m == akc::CodeNone) return MountCodeNone;
    return std::nullopt;
}

template <class Entry> void copyTable(const std::vector<Entry*>& table, Entry** out) {
    if (out) std::copy(table.begin(), table.end(), out);
}

} // namespace

size_t partRecordSize(PartKind kind) {
    return partFormats[static_cast<int>(kind)].size;
}

std::string_view partFileName(PartKind kind) {
    return partFormats[static_cast<int>(kind)].file;
}

std::string_view wpName(const WpDataRecord& r) {
    return cutAtBlank(r.Name, sizeof r.Name);
}
std::string_view wpAttributes(const WpDataRecord& r) {
    return cutAtBlank(r.Attributes, sizeof r.Attributes);
}
std::string_view wpText(const WpDataRecord& r) {
    return cutAtBlank(r.Text, sizeof r.Text);
}

std::vector<FrameCatalogEntry> parseFrameCatalog(std::string_view bytes) {
    std::vector<FrameCatalogEntry> out;
    for (size_t off = 0; off + FrameRecordSize <= bytes.size() && out.size() < PartCapacity;
         off += FrameRecordSize)
        out.push_back(parseFrame(bytes.substr(off, FrameRecordSize)));
    return out;
}

std::vector<PartCatalogEntry> parsePartCatalog(PartKind kind, std::string_view bytes) {
    std::vector<PartCatalogEntry> out;
    const size_t size = partRecordSize(kind);
    for (size_t off = 0; off + size <= bytes.size() && out.size() < PartCapacity; off += size)
        out.push_back(parsePart(kind, bytes.substr(off, size)));
    return out;
}

WeaponParse parseWeaponCatalog(std::string_view bytes) {
    WeaponParse parse;
    for (size_t off = 0; off + WpRecordSize <= bytes.size() && parse.entries.size() < WeaponCapacity;
         off += WpRecordSize) {
        WeaponEntry e{};
        std::memcpy(&e.record, bytes.data() + off, WpRecordSize);
        std::optional<unsigned char> code = mountCode(e.record);
        if (!code) {
            parse.badMount = true;
            break;
        }
        e.record.Mount[0] = static_cast<char>(*code);
        e.record.Mount[1] = '\0';
        e.record.Number = static_cast<int16_t>(parse.entries.size() + 1);
        cutFieldAtBlank(e.record.Name, sizeof e.record.Name);
        cutFieldAtBlank(e.record.Attributes, sizeof e.record.Attributes);
        cutFieldAtBlank(e.record.Text, sizeof e.record.Text);
        sjis::writeField(e.Name, wpName(e.record));
        sjis::writeField(e.Attributes, wpAttributes(e.record));
        sjis::writeField(e.Text, wpText(e.record));
        parse.entries.push_back(e);
    }
    return parse;
}

std::vector<AttributeLetter> countAttributeLetters(const std::vector<WpDataRecord*>& weapons) {
    std::vector<AttributeLetter> letters;
    for (const WpDataRecord* r : weapons) {
        if (!r) continue;
        std::string_view attrs = wpAttributes(*r);
        for (size_t p = 0, len; (len = sjis::charLength(attrs, p)) != 0; p += len) {
            if (len != 2) continue;
            std::string_view ch = attrs.substr(p, 2);
            auto it = std::find_if(letters.begin(), letters.end(),
                                   [&](const AttributeLetter& l) { return l.letter == ch; });
            if (it == letters.end())
                letters.push_back({std::string(ch), 1});
            else
                ++it->count;
        }
    }
    std::stable_sort(letters.begin(), letters.end(),
                     [](const AttributeLetter& a, const AttributeLetter& b) { return a.count > b.count; });
    return letters;
}

std::string parseVersionFile(std::string_view bytes) {
    std::string_view line = bytes.substr(0, bytes.find('\n'));
    line = line.substr(0, line.find('\0'));
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    return sjis::cut(line, 79);
}

int loadWpData(CatalogSet& set, std::string_view path, WpDataRecord** table) {
    std::optional<std::string> bytes = plat::readWholeFile(path);
    if (!bytes) {
        plat::msg::showError(41040, {path});
        return 0;
    }
    try {
        WeaponParse parse = parseWeaponCatalog(*bytes);
        set.weapons.clear();
        std::fill(set.weaponNames.begin(), set.weaponNames.end(), '\0');
        for (const WeaponEntry& e : parse.entries) {
            set.weaponStore.push_back(e);
            WeaponEntry& stored = set.weaponStore.back();
            std::memcpy(set.weaponNames.data() + set.weapons.size() * WeaponNameSize, stored.Name,
                        sizeof stored.Name);
            set.weapons.push_back(&stored.record);
        }
        set.weaponCount = static_cast<int32_t>(set.weapons.size());
        set.letters = countAttributeLetters(set.weapons);
        copyTable(set.weapons, table);
        // A null after the records when the caller's table has room, so a
        // reader that walks the table finds its end.
        if (table && set.weapons.size() < WeaponCapacity) table[set.weapons.size()] = nullptr;
        if (parse.badMount) {
            plat::msg::showError(41041, {path});
            return 1;
        }
        return 0;
    } catch (const std::bad_alloc&) {
        plat::msg::showError(41007);
        return 1;
    }
}

int loadFrameData(CatalogSet& set, std::string_view path, FrameCatalogEntry** out) {
    std::optional<std::string> bytes = plat::readWholeFile(path);
    set.frames.assign(1, nullptr);
    if (!bytes) {
        plat::msg::showError(41040, {path});
        copyTable(set.frames, out);
        return 0;
    }
    set.frames.clear();
    for (const FrameCatalogEntry& e : parseFrameCatalog(*bytes)) {
        set.frameStore.push_back(e);
        set.frames.push_back(&set.frameStore.back());
    }
    set.frames.push_back(nullptr);
    copyTable(set.frames, out);
    return set.frameCount();
}

int loadPartData(CatalogSet& set, PartKind kind, std::string_view path, PartCatalogEntry** out) {
    std::vector<PartCatalogEntry*>& table = set.parts[static_cast<int>(kind)];
    std::optional<std::string> bytes = plat::readWholeFile(path);
    table.assign(1, nullptr);
    if (!bytes) {
        plat::msg::showError(41040, {path});
        copyTable(table, out);
        return 0;
    }
    table.clear();
    for (const PartCatalogEntry& e : parsePartCatalog(kind, *bytes)) {
        set.partStore.push_back(e);
        table.push_back(&set.partStore.back());
    }
    table.push_back(nullptr);
    copyTable(table, out);
    return set.partCount(kind);
}

int loadWeapon(CatalogSet& set, std::string_view folder) {
    set = CatalogSet{};
    std::string dir(folder);
    if (!dir.empty() && !plat::endsWithSeparator(dir)) dir += '/';
    std::string versionPath = dir + "wver.$$$";
    std::optional<std::string> version = plat::readWholeFile(versionPath);
    if (!version) {
        plat::msg::showError(41040, {versionPath});
        return 0;
    }
    set.version = parseVersionFile(*version);
    for (const char* name : {"wepon.dat", "weapon.dat"}) {
        std::string path = dir + name;
        if (!plat::isRegularFile(path)) continue;
        if (loadWpData(set, path) != 0) {
            set = CatalogSet{};
            return 0;
        }
        break;
    }
    loadFrameData(set, dir + "mf.cat");
    for (int k = 0; k < PartKindCount; ++k) {
        PartKind kind = static_cast<PartKind>(k);
        loadPartData(set, kind, dir + std::string(partFileName(kind)));
    }
    return 1;
}

void setWeaponInfo(CatalogSet& set, int32_t count, const char* names) {
    int32_t n = std::clamp<int32_t>(count, 0, WeaponCapacity);
    // A fresh table, so names may be the set's own table.
    std::vector<char> table(WeaponCapacity * WeaponNameSize, '\0');
    if (names) std::memcpy(table.data(), names, static_cast<size_t>(n) * WeaponNameSize);
    set.weaponNames.swap(table);
    set.weaponCount = n;
}

std::string_view weaponName(const char* names, int32_t count, int32_t n) {
    if (!names || n < 1 || n > count) return {};
    return sjis::readField(names + static_cast<size_t>(n - 1) * WeaponNameSize, WeaponNameSize);
}

} // namespace akdata
