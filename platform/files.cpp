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
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <utility>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

std::optional<std::string> osPathOf(std::string_view path) { return toOsPath(resolvePath(path)); }
std::optional<std::string> osPathOf(std::string_view path, OsPathSeen& seen) {
    return toOsPath(resolvePath(path), seen);
}

// stat() of the entry toOsPath saw: its lstat unless it is a link.
bool statSeen(const std::string& osPath, const OsPathSeen& seen, struct stat& st) {
    if (!seen.Exists) return false;
    if (!S_ISLNK(seen.Entry.st_mode)) {
        st = seen.Entry;
        return true;
    }
    return ::stat(osPath.c_str(), &st) == 0;
}

bool statPath(std::string_view path, struct stat& st) {
    OsPathSeen seen;
    auto p = osPathOf(path, seen);
    return p && statSeen(*p, seen, st);
}

const struct stat* folderSeen(const OsPathSeen& seen) { return seen.FolderSeen ? &seen.Folder : nullptr; }

// Removes a file by its OS path and tells its folder's index.
bool unlinkNoted(const std::string& osPath) {
    FolderChange change(osPath);
    if (::unlink(osPath.c_str()) != 0) return false;
    change.removed(osPath);
    return true;
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
    OsPathSeen seen;
    std::optional<std::string> p = osPathOf(path, seen);
    if (!p) return nullptr;
    // Only a new file changes its folder.
    const bool creates = (std::strchr(mode, 'w') || std::strchr(mode, 'a')) && !seen.Exists;
    if (!creates) return std::fopen(p->c_str(), mode);
    FolderChange change(*p, folderSeen(seen));
    std::FILE* f = std::fopen(p->c_str(), mode);
    if (f) change.created(*p);
    return f;
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
    std::optional<std::string> p = osPathOf(path);
    if (!p) return std::nullopt;
    return readWholeOsFile(*p);
}

std::optional<std::string> readWholeOsFile(const std::string& osPath) {
    int fd = ::open(osPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    // Sized by the file's length and one byte more, so that the read which
    // meets the end needs no more room; read until the end (a file may still
    // grow).
    struct stat st;
    std::string data;
    size_t want = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 65536;
    size_t have = 0;
    bool bad = false;
    for (;;) {
        if (have == data.size()) data.resize(have + want);
        ssize_t n = ::read(fd, data.data() + have, data.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) bad = true;
        if (n <= 0) break;
        have += static_cast<size_t>(n);
        want = 65536;
    }
    ::close(fd);
    if (bad) return std::nullopt;
    data.resize(have);
    return data;
}

bool fileExists(std::string_view path) {
    OsPathSeen seen;
    return osPathOf(path, seen) && seen.Exists;
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
    FolderChange change(*p);
    if (::mkdir(p->c_str(), 0777) == 0) {
        change.created(*p);
        return true;
    }
    struct stat st;
    return errno == EEXIST && ::stat(p->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {
std::atomic<bool> folderFault{false};
} // namespace

void setFolderFault(bool refusing) { folderFault = refusing; }

bool removeFile(std::string_view path) {
    if (folderFault) return false;
    auto p = osPathOf(path);
    if (!p) return false;
    FolderChange change(*p);
    if (::unlink(p->c_str()) != 0) return false;
    change.removed(*p);
    return true;
}

bool removeDirectory(std::string_view path) {
    auto p = osPathOf(path);
    if (!p) return false;
    FolderChange change(*p);
    if (::rmdir(p->c_str()) != 0) return false;
    change.removed(*p);
    return true;
}

bool renameFile(std::string_view from, std::string_view to) {
    if (folderFault) return false;
    auto a = osPathOf(from);
    auto b = osPathOf(to);
    if (!a || !b) return false;
    FolderChange left(*a), entered(*b);
    if (::rename(a->c_str(), b->c_str()) != 0) return false;
    left.removed(*a);
    entered.created(*b);
    return true;
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

std::optional<FileStamp> fileStamp(std::string_view path) {
    // Checked before every match: toOsPath takes the path as spelled when
    // it names something, and looks it up ignoring case only when not.
    struct stat st;
    if (!statPath(path, st) || !S_ISREG(st.st_mode)) return std::nullopt;
    auto ns = [](const struct timespec& t) { return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; };
    FileStamp stamp;
    stamp.Size = static_cast<int64_t>(st.st_size);
    stamp.ModifiedNs = ns(st.st_mtim);
    stamp.ChangedNs = ns(st.st_ctim);
    stamp.Inode = static_cast<uint64_t>(st.st_ino);
    stamp.Device = static_cast<uint64_t>(st.st_dev);
    return stamp;
}

bool sameFile(std::string_view a, std::string_view b) {
    struct stat x, y;
    return statPath(a, x) && statPath(b, y) && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
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

namespace {

// "<prefix><n random characters from A-Z0-9>".
std::string randomName(std::string_view prefix, int n) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 gen{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, 35);
    std::string name(prefix);
    for (int i = 0; i < n; ++i) name += alphabet[pick(gen)];
    return name;
}

} // namespace

std::optional<std::string> createUniqueFile(std::string_view folder, std::string_view prefix, int n) {
    auto dir = osPathOf(folder);
    if (!dir) return std::nullopt;
    std::vector<std::string> existing = listFolder(folder, "*", true);
    for (int attempt = 0; attempt < 10000; ++attempt) {
        const std::string name = randomName(prefix, n);
        bool clash = std::any_of(existing.begin(), existing.end(),
                                 [&](const std::string& e) { return equalsIgnoreCase(e, name); });
        if (clash) continue;
        std::string full = *dir;
        if (full.back() != '/') full += '/';
        full += name; // the name is plain ASCII
        FolderChange change(full);
        int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd >= 0) {
            ::close(fd);
            change.created(full);
            return name;
        }
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> linkAside(std::string_view path) {
    OsPathSeen seen;
    std::optional<std::string> p = osPathOf(path, seen);
    if (!p || !seen.Exists || !S_ISREG(seen.Entry.st_mode)) return std::nullopt;
    const std::string osFolder = p->substr(0, p->rfind('/') + 1);
    const size_t separator = lastSeparator(path);
    const std::string folder(path.substr(0, separator == std::string_view::npos ? 0 : separator + 1));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = randomName(TempFilePrefix, TempFileUniqueLength);
        const std::string full = osFolder + name;
        FolderChange change(full);
        if (::link(p->c_str(), full.c_str()) == 0) {
            change.created(full);
            return folder + name;
        }
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<TempFile> createTempFile(std::string_view path, std::FILE** stream) {
    OsPathSeen seen;
    std::optional<std::string> target = osPathOf(path, seen);
    if (!target) return std::nullopt;
    const std::string osFolder = target->substr(0, target->rfind('/') + 1);
    const size_t separator = lastSeparator(path);
    const std::string folder(path.substr(0, separator == std::string_view::npos ? 0 : separator + 1));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = randomName(TempFilePrefix, TempFileUniqueLength);
        TempFile temp{folder + name, osFolder + name, *target};
        FolderChange change(temp.OsPath, attempt == 0 ? folderSeen(seen) : nullptr);
        int fd = ::open(temp.OsPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno != EEXIST) return std::nullopt;
            continue;
        }
        change.created(temp.OsPath);
        if (!stream) {
            ::close(fd);
            return temp;
        }
        if ((*stream = ::fdopen(fd, "ab"))) return temp;
        ::close(fd);
        unlinkNoted(temp.OsPath);
        return std::nullopt;
    }
    return std::nullopt;
}

bool placeTempFile(const TempFile& temp) {
    if (folderFault) return false;
    FolderChange change(temp.OsTarget);
    if (::rename(temp.OsPath.c_str(), temp.OsTarget.c_str()) != 0) return false;
    change.removed(temp.OsPath);
    change.created(temp.OsTarget);
    return true;
}

bool removeTempFile(const TempFile& temp) {
    return !folderFault && unlinkNoted(temp.OsPath);
}

namespace {

// The folders that hold deferred files not yet synced, and per folder the
// spare file of the deferred rewrites.
std::mutex deferredMutex;
std::set<std::string> deferredFiles; // OS paths
std::map<std::string, std::string> spareFiles; // folder → spare (OS paths)

// The temporary files' names: the prefix and mkostemp's six characters.
constexpr std::string_view TempPrefix = TempFilePrefix;
constexpr size_t TempUniqueLength = TempFileUniqueLength;
static_assert(TempUniqueLength == 6, "mkostemp fills six characters");

std::string folderOf(const std::string& osPath) {
    return osPath.substr(0, osPath.rfind('/') + 1);
}

// The folder's spare, taken out of the map while a rewrite uses it.
std::optional<std::string> takeSpare(const std::string& folder) {
    std::lock_guard<std::mutex> lock(deferredMutex);
    auto it = spareFiles.find(folder);
    if (it == spareFiles.end()) return std::nullopt;
    std::string spare = std::move(it->second);
    spareFiles.erase(it);
    return spare;
}

// A used temporary file becomes its folder's spare; a folder has one.
void keepSpare(const std::string& temp) {
    bool kept = false;
    {
        std::lock_guard<std::mutex> lock(deferredMutex);
        kept = spareFiles.emplace(folderOf(temp), temp).second;
    }
    if (!kept) unlinkNoted(temp);
}

void noteDeferred(const std::string& target) {
    std::lock_guard<std::mutex> lock(deferredMutex);
    deferredFiles.insert(target);
}

} // namespace

bool isTempFileName(std::string_view name) {
    if (name.size() != TempPrefix.size() + TempUniqueLength || name.substr(0, TempPrefix.size()) != TempPrefix)
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(TempPrefix.size()), name.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

AtomicFile::AtomicFile(std::string_view path, PathKind kind, Durability durability) : durability_(durability) {
    OsPathSeen seen;
    std::optional<std::string> p;
    if (kind == OsPath) {
        p = std::string(path);
        seen.Exists = !p->empty() && ::lstat(p->c_str(), &seen.Entry) == 0;
    } else {
        p = osPathOf(path, seen);
    }
    if (!p || p->empty()) return;
    target_ = *p;
    std::string dir = folderOf(target_);
    int fd = -1;
    std::string temp;
    // The permissions the old file had (a link's target's), else the usual
    // ones.
    struct stat st;
    mode_t mode;
    if (statSeen(target_, seen, st)) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    // A deferred rewrite writes into its folder's spare file when there is
    // one: no new file for every rewrite. The spare is written over from
    // its start and cut to the new length at the commit, never emptied
    // first: emptying frees its blocks, and a file system that discards
    // freed blocks at once (ext4 without a journal, mounted with discard)
    // waits for the disk at every free. A spare that has another name too
    // (a hard link made since) is left to that name, never written.
    if (durability_ == Durability::Deferred) {
        if (std::optional<std::string> spare = takeSpare(dir)) {
            fd = ::open(spare->c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
            struct stat sp;
            if (fd >= 0 && !(::fstat(fd, &sp) == 0 && S_ISREG(sp.st_mode) && sp.st_nlink == 1)) {
                ::close(fd);
                fd = -1;
            }
            reused_ = fd >= 0;
            if (fd >= 0) {
                temp = std::move(*spare);
                spareSize_ = static_cast<int64_t>(sp.st_size);
                if ((sp.st_mode & 07777) != mode) ::fchmod(fd, mode);
            } else {
                unlinkNoted(*spare);
            }
        }
    }
    if (fd < 0) {
        temp = dir + std::string(TempPrefix) + std::string(TempUniqueLength, 'X');
        FolderChange change(temp);
        fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0) return;
        change.created(temp);
        ::fchmod(fd, mode);
    }
    // Only a regular file of one name trades names with the new one (it
    // becomes the spare that the next rewrite writes over); a folder or a
    // link in the target's place, or a file that has another name too (a
    // backup made as a hard link), is handled by the rename.
    exchange_ = durability_ == Durability::Deferred && seen.Exists && S_ISREG(seen.Entry.st_mode) &&
                seen.Entry.st_nlink == 1;
    fd_ = fd;
    temp_ = temp;
}

AtomicFile::~AtomicFile() { abandon(); }

bool AtomicFile::write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }

namespace {

std::atomic<long long> writeFaultBudget{-1};

// How many bytes of a write of `size` the failing device takes: all of
// them while it is off, else as many as its budget has left (fewer than
// `size` is the failure).
size_t bytesTheDeviceTakes(size_t size) {
    long long budget = writeFaultBudget.load();
    if (budget < 0) return size;
    if (static_cast<long long>(size) > budget) {
        writeFaultBudget = 0;
        return static_cast<size_t>(budget);
    }
    writeFaultBudget = budget - static_cast<long long>(size);
    return size;
}

} // namespace

void setAtomicWriteFault(long long bytesBeforeFailure) { writeFaultBudget = bytesBeforeFailure; }

bool writeToStream(std::FILE* f, std::string_view bytes) {
    if (!f) return false;
    const size_t taken = bytesTheDeviceTakes(bytes.size());
    return std::fwrite(bytes.data(), 1, taken, f) == taken && taken == bytes.size();
}

bool truncateStream(std::FILE* f, int64_t length) {
    return f && std::fflush(f) == 0 && ::ftruncate(::fileno(f), static_cast<off_t>(length)) == 0;
}

namespace {

// Writes all of `bytes` to fd; false on an error of the disk.
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// What the file holds at most before it is handed to the disk.
constexpr size_t AtomicHeldBytes = 1 << 16;

} // namespace

bool AtomicFile::write(const void* data, size_t size) {
    if (fd_ < 0 || failed_) return false;
    const size_t taken = bytesTheDeviceTakes(size);
    const std::string_view piece(static_cast<const char*>(data), taken);
    if (taken < size) failed_ = true;
    if (piece.size() < AtomicHeldBytes) {
        held_.append(piece);
        if (held_.size() >= AtomicHeldBytes) flush();
        return !failed_;
    }
    // A piece as large as what is gathered at most goes to the file as it
    // is, after what is held, instead of being copied into held_ first.
    flush();
    if (!failed_ && !writeAll(fd_, piece)) failed_ = true;
    written_ += static_cast<int64_t>(piece.size());
    return !failed_;
}

bool AtomicFile::flush() {
    if (fd_ < 0) return false;
    if (!held_.empty()) {
        if (!failed_ && !writeAll(fd_, held_)) failed_ = true;
        written_ += static_cast<int64_t>(held_.size());
        held_.clear();
    }
    return !failed_;
}

void AtomicFile::closeFile() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    held_.clear();
}

bool AtomicFile::commit() {
    if (fd_ < 0) return false;
    const bool deferred = durability_ == Durability::Deferred;
    bool ok = flush();
    // What is left of the spare's old bytes goes.
    if (ok && reused_ && spareSize_ > written_) ok = ::ftruncate(fd_, static_cast<off_t>(written_)) == 0;
    if (ok && !deferred) ok = ::fsync(fd_) == 0;
    ok = (::close(fd_) == 0) && ok;
    fd_ = -1;
    if (ok && exchange_) {
        FolderChange change(target_);
        if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) == 0) {
            // The complete file took the target's name in one step; the
            // old file, now under the temporary name, is the next
            // rewrite's spare. Both names stay.
            change.created(target_);
            keepSpare(temp_);
            temp_.clear();
            noteDeferred(target_);
            return true;
        }
    }
    // A new target, or a file system that cannot exchange names: renamed.
    if (ok) {
        FolderChange change(target_);
        if (::rename(temp_.c_str(), target_.c_str()) == 0) {
            change.removed(temp_);
            change.created(target_);
            temp_.clear();
            if (deferred) noteDeferred(target_);
            return true;
        }
    }
    unlinkNoted(temp_);
    temp_.clear();
    return false;
}

void AtomicFile::abandon() {
    closeFile();
    if (!temp_.empty()) {
        unlinkNoted(temp_);
        temp_.clear();
    }
}

AppendFile::AppendFile(std::string_view path, bool fresh) : fresh_(fresh) {
    OsPathSeen seen;
    auto p = osPathOf(path, seen);
    if (!p || p->empty()) return;
    existed_ = seen.Exists;
    struct stat st;
    created_ = !statSeen(*p, seen, st);
    if (!created_ && !S_ISREG(st.st_mode)) return;
    std::optional<FolderChange> change;
    if (created_) change.emplace(*p, folderSeen(seen));
    fd_ = ::open(p->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) return;
    path_ = *p;
    if (change) change->created(path_);
}

AppendFile::~AppendFile() { abandon(); }

bool AppendFile::commit() {
    if (fd_ < 0) return false;
    struct stat st;
    off_t before = 0;
    bool ok = fresh_ ? ::ftruncate(fd_, 0) == 0 : ::fstat(fd_, &st) == 0;
    if (ok && !fresh_) before = st.st_size;
    std::string_view rest = held_;
    if (ok) {
        const size_t taken = bytesTheDeviceTakes(rest.size());
        if (taken < rest.size()) {
            rest = rest.substr(0, taken);
            ok = false;
        }
    }
    // What was written before a failure is written all the same (as on a
    // full disk), so the cut below is what keeps the file whole.
    if (!writeAll(fd_, rest)) ok = false;
    if (!ok && !(fresh_ || created_)) (void)::ftruncate(fd_, before);
    struct stat after;
    if (ok && ::fstat(fd_, &after) == 0) {
        before_ = before;
        after_ = after.st_size;
        device_ = after.st_dev;
        inode_ = after.st_ino;
    }
    ok = ::close(fd_) == 0 && ok;
    if (!ok) after_ = -1;
    fd_ = -1;
    if (!ok && (fresh_ || created_)) unlinkNoted(path_);
    held_.clear();
    return ok;
}

bool AppendFile::undoCommit() {
    const int64_t after = std::exchange(after_, -1);
    if (after < 0) return false;
    int fd = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // Only the file as the commit left it: what someone else appended
    // since is not this append's to take away.
    struct stat st;
    bool same = ::fstat(fd, &st) == 0 && static_cast<uint64_t>(st.st_dev) == device_ &&
                static_cast<uint64_t>(st.st_ino) == inode_ && st.st_size == after;
    const bool madeAnew = fresh_ || created_;
    bool ok = same && (madeAnew || ::ftruncate(fd, static_cast<off_t>(before_)) == 0);
    ::close(fd);
    if (ok && madeAnew) ok = unlinkNoted(path_);
    return ok;
}

void AppendFile::abandon() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    if (created_) unlinkNoted(path_);
    held_.clear();
}

namespace {
std::atomic<bool> syncFault{false};

// What openForSync gives instead of a descriptor.
constexpr int SyncGone = -1;       // no longer there: nothing to sync, which is fine
constexpr int SyncNoRoom = -2;     // out of descriptors (the process's or the system's)
constexpr int SyncOpenFailed = -3; // any other failure

// Opens a file or folder to sync it: its descriptor, or one of the above.
int openForSync(const std::string& path, int flags) {
    int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd >= 0) return fd;
    if (errno == ENOENT || errno == ENOTDIR) return SyncGone;
    if (errno == EMFILE || errno == ENFILE) return SyncNoRoom;
    return SyncOpenFailed;
}

// fsync of what openForSync opened, which it closes; false when it failed.
bool syncAndClose(int fd) {
    bool ok = ::fsync(fd) == 0 && !syncFault;
    ::close(fd);
    return ok;
}

// fsync of a file or folder that is still there; true when it is gone.
bool syncPath(const std::string& path, int flags) {
    int fd = openForSync(path, flags);
    return fd >= 0 ? syncAndClose(fd) : fd == SyncGone;
}

} // namespace

void setSyncFault(bool failing) { syncFault = failing; }

bool syncDeferredWrites(std::string* failedFolder) {
    std::set<std::string> files;
    std::map<std::string, std::string> spares;
    {
        std::lock_guard<std::mutex> lock(deferredMutex);
        files.swap(deferredFiles);
        spares.swap(spareFiles);
    }
    for (const auto& [folder, spare] : spares) unlinkNoted(spare);
    // Each file, then each folder for the renames that put the files in
    // place. Only the event's own files: a sync of the whole file system
    // would write out the logs and whatever else is waiting on it too.
    std::set<std::string> folders;
    bool ok = true;
    auto failed = [&](const std::string& folder) {
        if (ok && failedFolder) {
            std::string os = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
            *failedFolder = fromOsName(os).value_or(os);
        }
        ok = false;
    };
    // In batches: the write-back of every file of a batch is started first,
    // so the disk takes them together, then each is synced (its data and
    // its length) as its write-back ends. A batch that runs out of
    // descriptors ends there, which gives its descriptors back, and the
    // file that found none starts the next one; when even an empty batch
    // finds none, that file is synced on its own.
    constexpr size_t Batch = 256;
    std::vector<std::pair<int, const std::string*>> open;
    open.reserve(std::min(files.size(), Batch));
    for (auto it = files.begin(); it != files.end();) {
        open.clear();
        for (; it != files.end() && open.size() < Batch; ++it) {
            folders.insert(folderOf(*it));
            int fd = openForSync(*it, O_RDONLY);
            if (fd == SyncNoRoom && !open.empty()) break;
            if (fd == SyncNoRoom) {
                if (!syncPath(*it, O_RDONLY)) failed(folderOf(*it));
                continue;
            }
            if (fd < 0) {
                if (fd != SyncGone) failed(folderOf(*it));
                continue;
            }
            (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
            open.emplace_back(fd, &*it);
        }
        for (const auto& [fd, file] : open)
            if (!syncAndClose(fd)) failed(folderOf(*file));
    }
    for (const std::string& folder : folders)
        if (!syncPath(folder, O_RDONLY | O_DIRECTORY)) failed(folder);
    return ok;
}

bool deferredWritesPending() {
    std::lock_guard<std::mutex> lock(deferredMutex);
    return !deferredFiles.empty();
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
