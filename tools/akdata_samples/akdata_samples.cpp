// akdata_samples: writes the sample weapon data folder and AK data files from
// the readable sources beside this file, converted to Shift-JIS:
//   wver.txt      the catalog version (first line)
//   weapons.txt   weapon.dat, one weapon a line: name, mount character, then
//                 key=value fields (unlisted values are 0)
//   parts.txt     the nine part catalogs, one [file] section each, one
//                 record a line with the file's fields in file order
//   ak/*.txt      AK data files, written with CR LF line ends as *.dat
//
//   akdata_samples <out folder> [--corpus <fuzz corpus folder>]
// writes <out>/WpData and <out>/AkData; with --corpus also the seeds of the
// AK data file and catalog fuzz targets.
#include "tools/genio.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path Source = AKDATA_SAMPLES_SOURCE;

using genio::readFile;
using genio::writeFile;

std::string sjis(const std::string& utf8) {
    return genio::toCp932(utf8, "no CP932 form: " + utf8);
}

// The lines of a source file without comments ('#') and blank lines.
std::vector<std::string> contentLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    return w;
}

// A text blank-padded (or a number right-aligned) to exactly width bytes.
std::string padText(const std::string& cp932, size_t width, const std::string& what) {
    if (cp932.size() > width) throw std::runtime_error(what + " is wider than " + std::to_string(width));
    return cp932 + std::string(width - cp932.size(), ' ');
}

std::string padNumber(long v, size_t width, const std::string& what) {
    std::string s = std::to_string(v);
    if (s.size() > width) throw std::runtime_error(what + " is wider than " + std::to_string(width));
    return std::string(width - s.size(), ' ') + s;
}

// ---- weapon.dat ---------------------------------------------------------------

void putI16(std::string& rec, size_t off, long v) {
    if (v < -32768 || v > 32767) throw std::runtime_error("value out of 16-bit range");
    auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
    rec[off] = static_cast<char>(u & 0xFF);
    rec[off + 1] = static_cast<char>(u >> 8);
}

std::vector<long> numberList(const std::string& s, size_t count, const std::string& what) {
    std::vector<long> v;
    std::istringstream in(s);
    for (std::string item; std::getline(in, item, ',');) v.push_back(std::stol(item));
    if (v.size() != count) throw std::runtime_error(what + " needs " + std::to_string(count) + " values");
    return v;
}

std::string weaponRecord(const std::string& line, int number) {
    std::vector<std::string> w = words(line);
    if (w.size() < 2) throw std::runtime_error("weapon line needs a name and a mount: " + line);
    std::string rec(180, '\0');
    putI16(rec, 0, number);
    rec.replace(2, 30, padText(sjis(w[0]), 30, "name of " + w[0]));
    std::string mount = sjis(w[1]);
    if (mount.size() != 2) throw std::runtime_error("mount must be one character: " + line);
    rec.replace(32, 2, mount);
    rec.replace(34, 18, std::string(18, ' '));
    rec.replace(120, 60, std::string(60, ' '));
    // Offsets of the single numbers.
    static const std::map<std::string, size_t> numbers = {
        {"price", 52},     {"weight", 54},    {"hand", 56},      {"ammo", 58},      {"destr", 100},
        {"atkdown", 102},  {"evadown", 104},  {"movedown", 106}, {"compdown", 108}, {"sensdown", 110},
        {"antibeam", 112}, {"hittaken", 114}, {"armor", 116},    {"induced", 118}};
    for (size_t i = 2; i < w.size(); ++i) {
        size_t eq = w[i].find('=');
        if (eq == std::string::npos) throw std::runtime_error("expected key=value: " + w[i]);
        std::string key = w[i].substr(0, eq), value = w[i].substr(eq + 1);
        if (auto it = numbers.find(key); it != numbers.end()) {
            putI16(rec, it->second, std::stol(value));
        } else if (key == "shots") {
            std::vector<long> s = numberList(value, 2, "shots");
            putI16(rec, 60, s[0]);
            putI16(rec, 62, s[1]);
        } else if (key == "hit" || key == "power") {
            std::vector<long> v = numberList(value, 9, key);
            for (size_t d = 0; d < 9; ++d) putI16(rec, (key == "hit" ? 64 : 82) + 2 * d, v[d]);
        } else if (key == "attr") {
            rec.replace(34, 18, padText(sjis(value), 18, "attributes of " + w[0]));
        } else if (key == "text") {
            rec.replace(120, 60, padText(sjis(value), 60, "text of " + w[0]));
        } else {
            throw std::runtime_error("unknown weapon field " + key);
        }
    }
    return rec;
}

std::string weaponCatalog() {
    std::string out;
    int number = 0;
    for (const std::string& line : contentLines(readFile(Source / "weapons.txt")))
        out += weaponRecord(line, ++number);
    return out;
}

// ---- Part catalogs --------------------------------------------------------------

struct Field {
    char kind; // 'T' text, 'N' number
    size_t width;
};

const std::map<std::string, std::vector<Field>> partFormats = {
    {"mf.cat", {{'T', 14}, {'N', 5}, {'N', 3}, {'N', 3}, {'N', 3}, {'N', 3}, {'N', 3}, {'N', 3}, {'N', 2}}},
    {"engin.cat", {{'T', 10}, {'N', 4}, {'N', 3}, {'N', 4}}},
    {"armer.cat", {{'T', 20}, {'N', 3}, {'N', 3}}},
    {"comp.cat", {{'T', 14}, {'N', 2}, {'N', 4}, {'N', 5}}},
    {"md.cat", {{'T', 18}, {'N', 2}, {'N', 2}, {'N', 2}, {'N', 5}}},
    {"sen.cat", {{'T', 22}, {'N', 2}, {'N', 2}, {'N', 3}, {'N', 4}, {'T', 2}}},
    {"mover.cat", {{'T', 24}, {'N', 1}, {'N', 3}, {'N', 3}, {'N', 3}, {'N', 5}}},
    {"esc.cat", {{'T', 18}, {'N', 2}, {'N', 3}, {'N', 5}}},
    {"turbo.cat", {{'T', 16}, {'N', 2}, {'N', 2}, {'N', 3}}},
};

std::map<std::string, std::string> partCatalogs() {
    std::map<std::string, std::string> files;
    std::string current;
    for (const std::string& line : contentLines(readFile(Source / "parts.txt"))) {
        if (line.front() == '[') {
            current = line.substr(1, line.find(']') - 1);
            if (!partFormats.count(current)) throw std::runtime_error("unknown catalog " + current);
            files[current];
            continue;
        }
        if (current.empty()) throw std::runtime_error("record before the first [file]: " + line);
        const std::vector<Field>& format = partFormats.at(current);
        std::vector<std::string> w = words(line);
        if (w.size() != format.size())
            throw std::runtime_error("wrong field count in " + current + ": " + line);
        std::string rec;
        for (size_t i = 0; i < w.size(); ++i)
            rec += format[i].kind == 'T' ? padText(sjis(w[i]), format[i].width, w[i])
                                         : padNumber(std::stol(w[i]), format[i].width, w[i]);
        files[current] += rec;
    }
    return files;
}

// ---- AK data files --------------------------------------------------------------

std::string crlf(const std::string& utf8) {
    std::string out;
    std::istringstream in(utf8);
    for (std::string line; std::getline(in, line);) out += sjis(line) + "\r\n";
    return out;
}

std::map<std::string, std::string> akFiles() {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(Source / "ak")) {
        if (e.path().extension() != ".txt") continue;
        files[e.path().stem().string() + ".dat"] = crlf(readFile(e.path()));
    }
    return files;
}

// ---- Fuzz seeds -----------------------------------------------------------------

std::string firstLines(const std::string& text, int n) {
    size_t pos = 0;
    for (int i = 0; i < n && pos != std::string::npos; ++i) {
        pos = text.find('\n', pos);
        if (pos != std::string::npos) ++pos;
    }
    return text.substr(0, pos);
}

void writeCorpus(const fs::path& dir, const std::string& weapons,
                 const std::map<std::string, std::string>& parts, const std::string& version,
                 const std::map<std::string, std::string>& aks) {
    const fs::path akDir = dir / "akfile", catDir = dir / "catalog";
    for (const auto& [name, bytes] : aks) writeFile(akDir / name, bytes);
    const std::string& first = aks.begin()->second;
    std::string lf = first;
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    writeFile(akDir / "lf_only", lf);
    writeFile(akDir / "head_only", firstLines(first, 1));
    writeFile(akDir / "one_number", "1500\r\n" + first.substr(first.find('\n') + 1));
    writeFile(akDir / "open_quote", firstLines(first, 5) + "\"" + std::string(40, 'x') + "\r\n");
    writeFile(akDir / "long_line", firstLines(first, 1) + "\"" + std::string(600, 'y') + "\"\r\n" +
                                       first.substr(firstLines(first, 2).size()));

    writeFile(catDir / "wver", std::string(1, '\0') + version);
    writeFile(catDir / "weapon", std::string(1, '\1') + weapons);
    writeFile(catDir / "weapon_partial", std::string(1, '\1') + weapons.substr(0, 180 + 50));
    std::string badMount = weapons.substr(0, 180);
    badMount[32] = 'X';
    badMount[33] = 'Y';
    writeFile(catDir / "weapon_bad_mount", std::string(1, '\1') + weapons.substr(0, 180) + badMount);
    static const char* const order[] = {"mf.cat",  "engin.cat", "armer.cat", "comp.cat", "md.cat",
                                        "sen.cat", "mover.cat", "esc.cat",   "turbo.cat"};
    for (int i = 0; i < 9; ++i)
        writeFile(catDir / order[i], std::string(1, static_cast<char>(2 + i)) + parts.at(order[i]));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--corpus")) {
        std::cerr << "usage: akdata_samples <out folder> [--corpus <fuzz corpus folder>]\n";
        return 2;
    }
    try {
        const fs::path out = argv[1];
        const std::string version = crlf(contentLines(readFile(Source / "wver.txt")).at(0));
        const std::string weapons = weaponCatalog();
        const std::map<std::string, std::string> parts = partCatalogs();
        const std::map<std::string, std::string> aks = akFiles();
        writeFile(out / "WpData" / "wver.$$$", version);
        writeFile(out / "WpData" / "weapon.dat", weapons);
        for (const auto& [name, bytes] : parts) writeFile(out / "WpData" / name, bytes);
        for (const auto& [name, bytes] : aks) writeFile(out / "AkData" / name, bytes);
        if (argc == 4) writeCorpus(argv[3], weapons, parts, version, aks);
    } catch (const std::exception& e) {
        std::cerr << "akdata_samples: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
