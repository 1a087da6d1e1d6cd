// Watching kept files for changes through inotify (see filewatch.h).
#include "platform/filewatch.h"

#include "platform/paths.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace plat {

namespace {

// On the file: its content or its status changed, or it went away.
constexpr uint32_t FileMask =
    IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_DONT_FOLLOW;
// On a folder: an entry changed, created, removed or renamed, or the folder
// itself changed or gone. Writes into the file are the file's own watch's
// to see, so a busy folder on the way (the program folder, a home folder)
// does not queue an event for every write of any file in it.
constexpr uint32_t FolderMask = IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW;

// The path as realpath() gives it: absolute, no "." or "..", no doubled or
// trailing '/', no symbolic link on the way.
bool plainPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return false;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return false;
    bool same = path == real;
    std::free(real);
    return same;
}

// A file system whose files other machines may change (network shares,
// FUSE): inotify sees only this machine's changes there.
bool remoteFileSystem(const std::string& path) {
    struct statfs fs;
    if (::statfs(path.c_str(), &fs) != 0) return true;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969:     // NFS
    case 0x517B:     // SMB
    case 0xFF534D42: // CIFS
    case 0xFE534D42: // SMB2
    case 0x65735546: // FUSE
    case 0x01021997: // 9P
    case 0x5346414F: // AFS
    case 0x00C36400: // Ceph
    case 0x73757245: // Coda
    case 0x47504653: // GPFS
    case 0x0BD00BD0: // Lustre
        return true;
    default:
        return false;
    }
}

} // namespace

FileWatch::~FileWatch() {
    if (fd_ >= 0) ::close(fd_);
}

bool FileWatch::open() {
    if (fd_ >= 0) return true;
    if (failed_) return false;
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    failed_ = fd_ < 0;
    return fd_ >= 0;
}

bool FileWatch::add(Ticket ticket, const std::string& path, uint32_t mask, std::string name) {
    // One inode has one watch: a second add of it returns the same
    // descriptor, and IN_MASK_ADD widens its mask instead of replacing it,
    // so no watch narrows another's.
    int wd = ::inotify_add_watch(fd_, path.c_str(), mask | IN_MASK_ADD);
    if (wd < 0) return false;
    watches_[wd].push_back(Subscriber{ticket, std::move(name)});
    tickets_[ticket].Descriptors.push_back(wd);
    return true;
}

FileWatch::Ticket FileWatch::watch(const std::string& osPath) {
    if (osPath.size() < 2 || !open() || !plainPath(osPath) || remoteFileSystem(osPath)) return 0;
    Ticket ticket = ++next_;
    tickets_[ticket];
    // From the root down, each folder watched for the next name of the path,
    // then the file: a component replaced after its folder is watched is
    // seen there, so no change between two of these calls goes unseen.
    bool ok = true;
    for (size_t slash = 0; ok && slash != std::string::npos;) {
        size_t next = osPath.find('/', slash + 1);
        std::string folder = slash == 0 ? "/" : osPath.substr(0, slash);
        std::string name =
            osPath.substr(slash + 1, next == std::string::npos ? std::string::npos : next - slash - 1);
        ok = add(ticket, folder, FolderMask, name);
        slash = next;
    }
    if (ok) ok = add(ticket, osPath, FileMask, "");
    if (!ok) {
        release(ticket);
        return 0;
    }
    return ticket;
}

void FileWatch::release(Ticket ticket) {
    auto it = tickets_.find(ticket);
    if (it == tickets_.end()) return;
    for (int wd : it->second.Descriptors) {
        auto w = watches_.find(wd);
        if (w == watches_.end()) continue; // already dropped by the kernel
        std::erase_if(w->second, [&](const Subscriber& s) { return s.Owner == ticket; });
        if (w->second.empty()) {
            ::inotify_rm_watch(fd_, wd);
            watches_.erase(w);
        }
    }
    tickets_.erase(it);
}

void FileWatch::poll() {
    if (rounds_ > 0) {
        if (polledInRound_) return;
        polledInRound_ = true;
    }
    if (fd_ >= 0 && !tickets_.empty()) readEvents();
}

bool FileWatch::changed(Ticket ticket) const {
    auto it = tickets_.find(ticket);
    return it == tickets_.end() || it->second.Changed;
}

void FileWatch::markAll(int descriptor) {
    auto w = watches_.find(descriptor);
    if (w == watches_.end()) return;
    for (const Subscriber& s : w->second) tickets_[s.Owner].Changed = true;
}

void FileWatch::readEvents() {
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return; // EAGAIN: nothing more waiting
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            if (e->mask & IN_Q_OVERFLOW) {
                for (auto& [t, watched] : tickets_) watched.Changed = true;
                continue;
            }
            auto w = watches_.find(e->wd);
            if (w == watches_.end()) continue;
            if (e->len == 0 || (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT))) {
                markAll(e->wd);
                if (e->mask & IN_IGNORED) watches_.erase(w); // the kernel dropped it
                continue;
            }
            std::string_view name(e->name, strnlen(e->name, e->len));
            for (const Subscriber& s : w->second)
                if (s.Name.empty() || asciiEqualsIgnoreCase(s.Name, name)) tickets_[s.Owner].Changed = true;
        }
    }
}

FileWatch::Round::Round(FileWatch& watch) : watch_(watch) {
    if (watch_.rounds_++ == 0) watch_.polledInRound_ = false;
}

FileWatch::Round::~Round() {
    --watch_.rounds_;
}

} // namespace plat
