#include "platform/files.h"

#include "platform/paths.h"
#include "platform/sjischar.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

std::optional<std::string> osPathOf(std::string_view path) { return toOsPath(resolvePath(path)); }

bool statPath(std::string_view path, struct stat& st) {
    auto p = osPathOf(path);
    return p && ::stat(p->c_str(), &st) == 0;
}

// Wildcard match on characters: '?' takes one whole character.
bool matchFrom(std::string_view pat, size_t pi, std::string_view name, size_t ni) {
    while (pi < pat.size()) {
        char pc = pat[pi];
        if (pc == '*') {
            while (pi < pat.size() && pat[pi] == '*') ++pi;
            if (pi == pat.size()) return true;
            for (size_t k = ni; k <= name.size();) {
                if (matchFrom(pat, pi, name, k)) return true;
                if (k == name.size()) break;
                k += sjisCharLen(name.data(), k, name.size());
            }
            return false;
        }
        if (ni >= name.size()) return false;
        unsigned nl = sjisCharLen(name.data(), ni, name.size());
        if (pc == '?') {
            ++pi;
            ni += nl;
            continue;
        }
        unsigned pl = sjisCharLen(pat.data(), pi, pat.size());
        if (pl != nl) return false;
        if (pl == 1) {
            if (asciiUpper(pc) != asciiUpper(name[ni])) return false;
        } else if (pat.substr(pi, 2) != name.substr(ni, 2)) {
            return false;
        }
        pi += pl;
        ni += nl;
    }
    return ni == name.size();
}

} // namespace

std::FILE* openFile(std::string_view path, const char* mode) {
    auto p = osPathOf(path);
    if (!p) return nullptr;
    return std::fopen(p->c_str(), mode);
}

bool readLine(std::FILE* f, std::string& line, bool* hadNewline) {
    line.clear();
    if (hadNewline) *hadNewline = false;
    int c;
    bool any = false;
    while ((c = std::fgetc(f)) != EOF) {
        any = true;
        if (c == '\n') {
            if (hadNewline) *hadNewline = true;
            break;
        }
        line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t lf = bytes.find('\n', pos);
        size_t end = lf == std::string_view::npos ? bytes.size() : lf;
        std::string_view line = bytes.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

std::optional<std::string> readWholeFile(std::string_view path) {
    std::FILE* f = openFile(path, "rb");
    if (!f) return std::nullopt;
    std::string data;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
    bool bad = std::ferror(f);
    std::fclose(f);
    if (bad) return std::nullopt;
    return data;
}

bool fileExists(std::string_view path) {
    auto p = osPathOf(path);
    struct stat st;
    return p && ::lstat(p->c_str(), &st) == 0;
}

bool isRegularFile(std::string_view path) {
    struct stat st;
    return statPath(path, st) && S_ISREG(st.st_mode);
}

bool isDirectory(std::string_view path) {
    struct stat st;
    return statPath(path, st) && S_ISDIR(st.st_mode);
}

bool makeDirectory(std::string_view path) {
    auto p = osPathOf(path);
    if (!p) return false;
    if (::mkdir(p->c_str(), 0777) == 0) return true;
    struct stat st;
    return errno == EEXIST && ::stat(p->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool removeFile(std::string_view path) {
    auto p = osPathOf(path);
    return p && ::unlink(p->c_str()) == 0;
}

bool removeDirectory(std::string_view path) {
    auto p = osPathOf(path);
    return p && ::rmdir(p->c_str()) == 0;
}

bool renameFile(std::string_view from, std::string_view to) {
    auto a = osPathOf(from);
    auto b = osPathOf(to);
    return a && b && ::rename(a->c_str(), b->c_str()) == 0;
}

std::optional<int64_t> fileSize(std::string_view path) {
    struct stat st;
    if (!statPath(path, st)) return std::nullopt;
    return static_cast<int64_t>(st.st_size);
}

std::optional<std::time_t> fileMTime(std::string_view path) {
    struct stat st;
    if (!statPath(path, st)) return std::nullopt;
    return st.st_mtime;
}

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*" || pattern == "*") return true;
    return matchFrom(pattern, 0, name, 0);
}

std::vector<std::string> listFolder(std::string_view folder, std::string_view pattern, bool directories) {
    std::vector<std::string> names;
    auto p = osPathOf(folder);
    if (!p) return names;
    DIR* d = ::opendir(p->c_str());
    if (!d) return names;
    std::string base = *p;
    if (!base.empty() && base.back() != '/') base += '/';
    while (dirent* e = ::readdir(d)) {
        std::string_view n(e->d_name);
        if (n == "." || n == "..") continue;
        struct stat st;
        if (::stat((base + e->d_name).c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode) ? !directories : !S_ISREG(st.st_mode)) continue;
        auto cp = fromOsName(n);
        if (!cp || !wildcardMatch(pattern, *cp)) continue;
        names.push_back(std::move(*cp));
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> createUniqueFile(std::string_view folder, std::string_view prefix, int n) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device rd;
    std::mt19937 gen(rd());
    std::uniform_int_distribution<int> pick(0, 35);
    auto dir = osPathOf(folder);
    if (!dir) return std::nullopt;
    std::vector<std::string> existing = listFolder(folder, "*", true);
    for (int attempt = 0; attempt < 10000; ++attempt) {
        std::string name(prefix);
        for (int i = 0; i < n; ++i) name += alphabet[pick(gen)];
        bool clash = std::any_of(existing.begin(), existing.end(),
                                 [&](const std::string& e) { return equalsIgnoreCase(e, name); });
        if (clash) continue;
        std::string full = *dir;
        if (full.back() != '/') full += '/';
        full += name; // the name is plain ASCII
        int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

AtomicFile::AtomicFile(std::string_view path, PathKind kind) {
    auto p = kind == OsPath ? std::optional<std::string>(std::string(path)) : osPathOf(path);
    if (!p || p->empty()) return;
    target_ = *p;
    std::string dir = target_.substr(0, target_.rfind('/') + 1);
    std::string templ = dir + ".vell-tmp-XXXXXX";
    int fd = ::mkstemp(templ.data());
    if (fd < 0) return;
    // Keep the permissions the old file had, else the usual ones.
    struct stat st;
    if (::stat(target_.c_str(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        ::close(fd);
        ::unlink(templ.c_str());
        return;
    }
    temp_ = templ;
}

AtomicFile::~AtomicFile() { abandon(); }

bool AtomicFile::write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }

namespace {
std::atomic<long long> writeFaultBudget{-1};
} // namespace

void setAtomicWriteFault(long long bytesBeforeFailure) { writeFaultBudget = bytesBeforeFailure; }

bool AtomicFile::write(const void* data, size_t size) {
    if (!file_ || failed_) return false;
    long long budget = writeFaultBudget.load();
    if (budget >= 0) {
        if (static_cast<long long>(size) > budget) {
            std::fwrite(data, 1, static_cast<size_t>(budget), file_);
            writeFaultBudget = 0;
            failed_ = true;
            return false;
        }
        writeFaultBudget = budget - static_cast<long long>(size);
    }
    if (size && std::fwrite(data, 1, size, file_) != size) failed_ = true;
    return !failed_;
}

bool AtomicFile::commit() {
    if (!file_) return false;
    bool ok = !failed_ && std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    if (ok && ::rename(temp_.c_str(), target_.c_str()) == 0) {
        temp_.clear();
        return true;
    }
    ::unlink(temp_.c_str());
    temp_.clear();
    return false;
}

void AtomicFile::abandon() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

bool writeWholeFileAtomic(std::string_view path, std::string_view bytes) {
    AtomicFile f(path);
    return f.isOpen() && f.write(bytes) && f.commit();
}

std::string tempFolderOsPath() {
    const char* t = std::getenv("TMPDIR");
    std::string s = (t && *t) ? t : "/tmp";
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

TempFolder::TempFolder() {
    std::string templ = tempFolderOsPath() + "/vell.XXXXXX";
    if (::mkdtemp(templ.data())) path_ = templ;
}

TempFolder::~TempFolder() { remove(); }

bool TempFolder::remove() {
    if (path_.empty()) return true;
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
    path_.clear();
    return !ec;
}

} // namespace plat
