#include "platform/paths.h"

#include "platform/codec.h"
#include "platform/sjischar.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

std::mutex folderMutex;
std::string folderCache;
bool folderSet = false;

std::string detectProgramFolder() {
    std::string buf(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) {
        std::fprintf(stderr, "Corvane Vell: cannot determine the program folder\n");
        std::abort();
    }
    buf.resize(static_cast<size_t>(n));
    buf.erase(buf.rfind('/') + 1);
    auto cp = fromOsName(buf);
    if (!cp) {
        std::fprintf(stderr, "Corvane Vell: the program folder name %s has no Shift-JIS form\n", buf.c_str());
        std::abort();
    }
    return *cp;
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

// Finds an entry of `dir` whose name equals `name` ignoring ASCII case.
std::optional<std::string> findIgnoringCase(const std::string& dir, const std::string& name) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return std::nullopt;
    std::optional<std::string> found;
    std::vector<std::string> candidates;
    while (dirent* e = ::readdir(d)) {
        std::string_view n(e->d_name);
        if (asciiEqualsIgnoreCase(n, name)) candidates.emplace_back(n); // UTF-8 names
    }
    ::closedir(d);
    if (candidates.empty()) return std::nullopt;
    // Several spellings: take the first in byte order so the choice is stable.
    std::sort(candidates.begin(), candidates.end());
    return candidates.front();
}

} // namespace

const std::string& programFolder() {
    std::lock_guard<std::mutex> lock(folderMutex);
    if (!folderSet) {
        folderCache = detectProgramFolder();
        folderSet = true;
    }
    return folderCache;
}

void setProgramFolder(std::string_view folderCp932) {
    std::lock_guard<std::mutex> lock(folderMutex);
    folderCache.assign(folderCp932);
    if (!endsWithSeparator(folderCache)) folderCache += '/';
    folderSet = true;
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
    return !path.empty() && lastSeparator(path) == path.size() - 1;
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

std::optional<std::string> toOsPath(std::string_view pathCp932) {
    if (pathCp932.empty()) return std::nullopt;
    if (pathCp932.size() >= 2 && pathCp932[1] == ':') return std::nullopt;
    if (pathCp932[0] == '\\') return std::nullopt;
    std::string slashed(pathCp932);
    forEachSeparator(slashed, [&](size_t i) { slashed[i] = '/'; });
    auto utf8 = cp932ToUtf8(slashed);
    if (!utf8) return std::nullopt;
    const std::string& p = *utf8;
    if (exists(p)) return p;
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
    return out;
}

std::optional<std::string> fromOsName(std::string_view utf8) {
    return utf8ToCp932(utf8);
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
