#include "platform/paths.h"

#include "platform/codec.h"
#include "platform/sjischar.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <dlfcn.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace plat {

namespace {

// A folder determined once on first use, unless a test or tool set it.
struct KnownFolder {
    std::string text;
    bool set = false;
};
std::mutex folderMutex;
KnownFolder dataFolder, libraryFolderKnown;

const std::string& known(KnownFolder& folder, std::string (*detect)()) {
    std::lock_guard<std::mutex> lock(folderMutex);
    if (!folder.set) {
        folder.text = detect();
        folder.set = true;
    }
    return folder.text;
}

void assign(KnownFolder& folder, std::string_view folderCp932) {
    std::lock_guard<std::mutex> lock(folderMutex);
    folder.text.assign(folderCp932);
    if (!endsWithSeparator(folder.text)) folder.text += '/';
    folder.set = true;
}

// The Shift-JIS form of a folder's OS path, ending in '/'. A folder whose
// name has none cannot serve the system at all.
std::string systemFolder(std::string osPath, const char* what) {
    if (osPath.empty() || osPath.back() != '/') osPath += '/';
    auto cp = fromOsName(osPath);
    if (!cp) {
        std::fprintf(stderr, "Corvane Vell: the %s %s has no Shift-JIS form\n", what, osPath.c_str());
        std::abort();
    }
    return *cp;
}

std::string detectLibraryFolder() {
    std::string file = libraryFolderOsPath();
    if (file.empty()) {
        std::fprintf(stderr, "Corvane Vell: cannot determine the library folder\n");
        std::abort();
    }
    return systemFolder(file, "library folder");
}

// Calls f(offset) for every separator of the text, walking characters.
template <class F> void forEachSeparator(std::string_view p, F f) {
    for (size_t i = 0; i < p.size();) {
        unsigned len = sjisCharLen(p.data(), i, p.size());
        if (len == 1 && (p[i] == '\\' || p[i] == '/')) f(i);
        i += len;
    }
}

bool exists(const std::string& osPath) {
    struct stat st;
    return ::lstat(osPath.c_str(), &st) == 0;
}

// ---- The folder index ------------------------------------------------------
//
// Per folder the case-folded names of its entries, so that a name that does
// not exist as spelled is looked up without reading the folder again. An
// index is read again when the folder's modification time (or identity)
// differs from the one it was read under, and the program's own creations
// and removals update it in place (FolderChange), so a folder
// that only this program fills is read once. The folder is stat'ed before
// it is read: a change during the read is seen at the next lookup.

std::string foldedKey(std::string_view utf8) {
    std::string key(utf8);
    for (char& c : key) c = asciiUpper(c);
    return key;
}

struct FolderStamp {
    int64_t ModifiedNs = 0;
    uint64_t Inode = 0;
    uint64_t Device = 0;
    bool operator==(const FolderStamp&) const = default;
};

FolderStamp stampOf(const struct stat& st) {
    return {int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec, static_cast<uint64_t>(st.st_ino),
            static_cast<uint64_t>(st.st_dev)};
}

struct FolderIndex {
    FolderStamp Stamp;
    uint64_t LastUse = 0;
    // Folded key → the names (UTF-8) with that key, in byte order.
    std::unordered_map<std::string, std::vector<std::string>> Names;
};

constexpr size_t MaxIndexedFolders = 64;
std::mutex indexMutex;
std::unordered_map<std::string, FolderIndex> folderIndexes; // by OS folder path ("" is ".")
uint64_t indexUses = 0;
uint64_t indexReads = 0;

void addName(FolderIndex& index, std::string name) {
    std::vector<std::string>& names = index.Names[foldedKey(name)];
    auto at = std::lower_bound(names.begin(), names.end(), name);
    if (at == names.end() || *at != name) names.insert(at, std::move(name));
}

void dropName(FolderIndex& index, const std::string& name) {
    auto it = index.Names.find(foldedKey(name));
    if (it == index.Names.end()) return;
    std::vector<std::string>& names = it->second;
    names.erase(std::remove(names.begin(), names.end(), name), names.end());
    if (names.empty()) index.Names.erase(it);
}

// The index of `dir` as it is now (its stat in `st`); nullptr when the
// folder cannot be read. Called with indexMutex held.
FolderIndex* currentIndex(const std::string& dir, const struct stat& st, bool reread = false) {
    FolderStamp stamp = stampOf(st);
    auto it = folderIndexes.find(dir);
    if (reread || it == folderIndexes.end() || !(it->second.Stamp == stamp)) {
        DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
        if (!d) {
            if (it != folderIndexes.end()) folderIndexes.erase(it);
            return nullptr;
        }
        if (it == folderIndexes.end() && folderIndexes.size() >= MaxIndexedFolders) {
            auto oldest = folderIndexes.begin();
            for (auto o = folderIndexes.begin(); o != folderIndexes.end(); ++o)
                if (o->second.LastUse < oldest->second.LastUse) oldest = o;
            folderIndexes.erase(oldest);
        }
        FolderIndex fresh;
        fresh.Stamp = stamp;
        ++indexReads;
        while (dirent* e = ::readdir(d)) {
            std::string_view n(e->d_name);
            if (n != "." && n != "..") addName(fresh, std::string(n));
        }
        ::closedir(d);
        it = folderIndexes.insert_or_assign(dir, std::move(fresh)).first;
    }
    it->second.LastUse = ++indexUses;
    return &it->second;
}

// The folder's stat; false when it cannot be taken.
bool statFolder(const std::string& dir, struct stat& st) {
    return ::stat(dir.empty() ? "." : dir.c_str(), &st) == 0;
}

// Finds an entry of `dir` whose name equals `name` ignoring ASCII case.
// `st`, when given, is the folder's stat just taken by the caller; `seen`
// gets the folder's stat under which the index answered.
std::optional<std::string> findIgnoringCase(std::string dir, const std::string& name,
                                            const struct stat* given = nullptr, OsPathSeen* seen = nullptr) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    std::lock_guard<std::mutex> lock(indexMutex);
    for (int attempt = 0; attempt < 2; ++attempt) {
        struct stat st;
        if (attempt == 0 && given)
            st = *given;
        else if (!statFolder(dir, st))
            return std::nullopt;
        FolderIndex* index = currentIndex(dir, st);
        if (!index) return std::nullopt;
        if (seen) {
            seen->FolderSeen = true;
            seen->Folder = st;
        }
        auto it = index->Names.find(foldedKey(name));
        if (it == index->Names.end()) return std::nullopt;
        // Several spellings: the first in byte order, so the choice is stable.
        std::string hit = it->second.front();
        struct stat entry;
        if (::lstat(((dir.empty() ? std::string() : dir + "/") + hit).c_str(), &entry) == 0) {
            if (seen) {
                seen->Exists = true;
                seen->Entry = entry;
            }
            return hit;
        }
        // Gone behind the index's back within one tick of the clock: read
        // the folder again.
        folderIndexes.erase(dir);
        if (seen) seen->FolderSeen = false;
    }
    return std::nullopt;
}

// The folder part and the name of an OS path ("" for a name without one).
std::pair<std::string, std::string> splitOsPath(const std::string& osPath) {
    size_t slash = osPath.rfind('/');
    if (slash == std::string::npos) return {std::string(), osPath};
    return {slash == 0 ? std::string("/") : osPath.substr(0, slash), osPath.substr(slash + 1)};
}

} // namespace

const std::string& programFolder() {
    return known(dataFolder, [] { return systemFolder(dataFolderOsPath(), "data folder"); });
}

std::string dataFolderOsPath() {
    return userFolder("XDG_DATA_HOME", ".local/share");
}

std::string libraryFolderOsPath() {
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<const void*>(&libraryFolder), &info) || !info.dli_fname) return std::string();
    std::string file = info.dli_fname;
    if (char* real = ::realpath(file.c_str(), nullptr)) {
        file = real;
        std::free(real);
    }
    file.erase(file.rfind('/') + 1);
    return file;
}

void setProgramFolder(std::string_view folderCp932) {
    assign(dataFolder, folderCp932);
}

std::string userFolder(const char* variable, const char* homeFallback) {
    const char* base = std::getenv(variable);
    std::string folder;
    if (base && *base == '/') {
        folder = base;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home && *home ? home : "/tmp") + "/" + homeFallback;
    }
    if (folder.back() != '/') folder += '/';
    return folder + "corvane-vell/";
}

const std::string& libraryFolder() {
    return known(libraryFolderKnown, detectLibraryFolder);
}

void setLibraryFolder(std::string_view folderCp932) {
    assign(libraryFolderKnown, folderCp932);
}

bool isAbsolutePath(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':') return true;
    return !path.empty() && (path[0] == '\\' || path[0] == '/');
}

bool isAbsolutePathLoose(std::string_view path) {
    return isAbsolutePath(path) || path.find(':') != std::string_view::npos;
}

size_t lastSeparator(std::string_view path) {
    size_t last = std::string_view::npos;
    forEachSeparator(path, [&](size_t i) { last = i; });
    return last;
}

bool endsWithSeparator(std::string_view path) {
    // Only a last byte that is a separator needs the walk (it may be the
    // trail byte of a character such as "ソ").
    if (path.empty() || (path.back() != '\\' && path.back() != '/')) return false;
    return lastSeparator(path) == path.size() - 1;
}

std::string shownPath(std::string_view path) {
    if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return slashedPath(path);
    return std::string(path);
}

std::string slashedPath(std::string_view path) {
    std::string slashed(path);
    forEachSeparator(slashed, [&](size_t i) { slashed[i] = '/'; });
    return slashed;
}

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string r(folder);
    if (!r.empty() && !endsWithSeparator(r)) r += '/';
    r += name;
    return r;
}

std::string resolvePath(std::string_view path) {
    if (isAbsolutePath(path)) return std::string(path);
    return programFolder() + std::string(path);
}

bool hasPathPrefix(std::string_view path, std::string_view prefix) {
    if (prefix.size() > path.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char a = path[i], b = prefix[i];
        if (a == '\\') a = '/';
        if (b == '\\') b = '/';
        if (a != b) return false;
    }
    // A '\' inside a double-byte character of the prefix is no separator, and
    // the byte-wise compare above treats it as one: confirm on whole characters.
    for (size_t i = 0; i < prefix.size();) {
        unsigned len = sjisCharLen(prefix.data(), i, prefix.size());
        if (len == 2 && prefix[i + 1] != path[i + 1]) return false;
        i += len;
    }
    return true;
}

PathParts splitPath(std::string_view path) {
    PathParts parts;
    size_t start = 0;
    if (path.size() >= 2 && path[1] == ':') {
        parts.drive.assign(path.substr(0, 2));
        start = 2;
    }
    std::string_view rest = path.substr(start);
    size_t sep = lastSeparator(rest);
    std::string_view file = rest;
    if (sep != std::string_view::npos) {
        parts.dir.assign(rest.substr(0, sep + 1));
        file = rest.substr(sep + 1);
    }
    size_t dot = std::string_view::npos;
    for (size_t i = 0; i < file.size();) {
        unsigned len = sjisCharLen(file.data(), i, file.size());
        if (len == 1 && file[i] == '.') dot = i;
        i += len;
    }
    if (dot == std::string_view::npos) {
        parts.name.assign(file);
    } else {
        parts.name.assign(file.substr(0, dot));
        parts.extension.assign(file.substr(dot));
    }
    return parts;
}

std::optional<std::string> toOsPathAsSpelled(std::string_view pathCp932) {
    if (pathCp932.empty()) return std::nullopt;
    if (pathCp932.size() >= 2 && pathCp932[1] == ':') return std::nullopt;
    if (pathCp932[0] == '\\') return std::nullopt;
    return cp932ToUtf8(slashedPath(pathCp932));
}

std::optional<std::string> toOsPath(std::string_view pathCp932) {
    OsPathSeen seen;
    return toOsPath(pathCp932, seen);
}

std::optional<std::string> toOsPath(std::string_view pathCp932, OsPathSeen& seen) {
    seen = OsPathSeen{};
    auto utf8 = toOsPathAsSpelled(pathCp932);
    if (!utf8) return std::nullopt;
    const std::string& p = *utf8;
    if (::lstat(p.c_str(), &seen.Entry) == 0) {
        seen.Exists = true;
        return p;
    }
    // The usual case, a new file in a folder that exists as spelled: only
    // the last component is looked up, under the folder's stat taken here.
    {
        auto [dir, name] = splitOsPath(p);
        struct stat st;
        if (!dir.empty() && !name.empty() && name != "." && name != ".." && ::stat(dir.c_str(), &st) == 0 &&
            S_ISDIR(st.st_mode)) {
            auto hit = findIgnoringCase(dir, name, &st, &seen);
            return hit ? (dir == "/" ? dir : dir + "/") + *hit : p;
        }
    }
    // Walk the components; keep what exists, look up the rest ignoring case.
    std::string out;
    size_t i = 0;
    if (!p.empty() && p[0] == '/') {
        out = "/";
        i = 1;
    }
    bool lookup = true;
    while (i <= p.size()) {
        size_t j = p.find('/', i);
        if (j == std::string::npos) j = p.size();
        std::string comp = p.substr(i, j - i);
        if (!comp.empty()) {
            std::string candidate = out + comp;
            if (lookup && !exists(candidate) && comp != "." && comp != "..") {
                auto hit = findIgnoringCase(out.empty() ? std::string() : out, comp);
                if (hit) {
                    candidate = out + *hit;
                } else {
                    lookup = false; // nothing further down can exist
                }
            }
            out = candidate;
        }
        if (j < p.size()) out += '/';
        i = j + 1;
    }
    seen.Exists = ::lstat(out.c_str(), &seen.Entry) == 0;
    return out;
}

std::optional<std::string> fromOsName(std::string_view utf8) {
    return utf8ToCp932(utf8);
}

uint64_t folderIndexReads() {
    std::lock_guard<std::mutex> lock(indexMutex);
    return indexReads;
}

FolderChange::FolderChange(const std::string& osPath) : FolderChange(osPath, nullptr) {}

FolderChange::FolderChange(const std::string& osPath, const struct stat* folderStat)
    : dir_(splitOsPath(osPath).first) {
    std::lock_guard<std::mutex> lock(indexMutex);
    auto it = folderIndexes.find(dir_);
    struct stat st;
    current_ = it != folderIndexes.end() && (folderStat || statFolder(dir_, st)) &&
               it->second.Stamp == stampOf(folderStat ? *folderStat : st);
}

void FolderChange::created(const std::string& osPath) {
    note(osPath, true);
}

void FolderChange::removed(const std::string& osPath) {
    note(osPath, false);
}

void FolderChange::note(const std::string& osPath, bool created) {
    auto [dir, name] = splitOsPath(osPath);
    if (name.empty() || name == "." || name == "..") return;
    std::lock_guard<std::mutex> lock(indexMutex);
    auto it = folderIndexes.find(dir);
    if (it == folderIndexes.end()) return;
    struct stat st;
    if (dir != dir_ || !current_ || !statFolder(dir, st)) {
        folderIndexes.erase(it);
        return;
    }
    if (created)
        addName(it->second, name);
    else
        dropName(it->second, name);
    it->second.Stamp = stampOf(st);
}

std::vector<FolderName> indexedFolderNames(std::string_view folderCp932) {
    std::vector<FolderName> out;
    auto os = toOsPath(resolvePath(folderCp932));
    if (!os) return out;
    std::string dir = *os;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    std::lock_guard<std::mutex> lock(indexMutex);
    struct stat st;
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return out;
    // A folder changed within the last second may have changed again within
    // the same tick of the file system's clock, unseen by its time: a
    // listing of it is read afresh.
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    int64_t nowNs = int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
    bool recent = nowNs - stampOf(st).ModifiedNs < 1000000000;
    FolderIndex* index = currentIndex(dir, st, recent);
    if (!index) return out;
    for (const auto& [key, names] : index->Names) {
        for (const std::string& name : names) {
            auto cp = fromOsName(name);
            if (cp) out.push_back({*cp, upperCaseKey(*cp)});
        }
    }
    std::sort(out.begin(), out.end(), [](const FolderName& a, const FolderName& b) { return a.Name < b.Name; });
    return out;
}

char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return compareIgnoreCase(a, b) == 0;
}

int compareIgnoreCase(std::string_view a, std::string_view b) {
    // Walk characters: only single-byte ASCII letters fold; a trail byte that
    // looks like a letter (ア is 83 41, ヂ is 83 61) is compared as it is.
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        unsigned la = sjisCharLen(a.data(), i, a.size());
        unsigned lb = sjisCharLen(b.data(), j, b.size());
        unsigned char x = static_cast<unsigned char>(la == 1 ? asciiUpper(a[i]) : a[i]);
        unsigned char y = static_cast<unsigned char>(lb == 1 ? asciiUpper(b[j]) : b[j]);
        if (x != y) return x < y ? -1 : 1;
        if (la != lb) return la < lb ? -1 : 1;
        if (la == 2 && a[i + 1] != b[j + 1])
            return static_cast<unsigned char>(a[i + 1]) < static_cast<unsigned char>(b[j + 1]) ? -1 : 1;
        i += la;
        j += lb;
    }
    if (i == a.size() && j == b.size()) return 0;
    return i == a.size() ? -1 : 1;
}

std::string upperCaseKey(std::string_view s) {
    std::string u(s);
    for (size_t i = 0; i < u.size();) {
        unsigned len = sjisCharLen(u.data(), i, u.size());
        if (len == 1) u[i] = asciiUpper(u[i]);
        i += len;
    }
    return u;
}

bool asciiEqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiUpper(a[i]) != asciiUpper(b[i])) return false;
    return true;
}

} // namespace plat
