#include "testsupport/smalldisk.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace testsupport {

SmallDisk::SmallDisk(size_t kilobytes) {
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/vell-disk.XXXXXX";
    if (!::mkdtemp(templ.data())) {
        why_ = std::string("no scratch folder: ") + std::strerror(errno);
        return;
    }
    path_ = templ;
    std::string options = "size=" + std::to_string(kilobytes) + "k,mode=0777";
    if (::mount("tmpfs", templ.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
        why_ = std::string("cannot mount a small tmpfs here (") + std::strerror(errno) + ")";
        return;
    }
    mounted_ = true;
}

SmallDisk::~SmallDisk() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    if (!path_.empty()) ::rmdir(path_.c_str());
}

bool SmallDisk::fill() {
    int fd = ::open((path_ / "filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) return errno == ENOSPC;
    static const char block[4096] = {};
    ssize_t n;
    do {
        n = ::write(fd, block, sizeof block);
    } while (n > 0);
    // Less than a block may still fit.
    if (errno == ENOSPC)
        while (::write(fd, block, 1) == 1) {
        }
    bool full = errno == ENOSPC;
    ::close(fd);
    return full;
}

bool SmallDisk::unfill() {
    return ::unlink((path_ / "filler").c_str()) == 0;
}

bool SmallDisk::makeReadOnly() {
    return ::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, nullptr) == 0;
}

bool SmallDisk::makeWritable() {
    return ::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_NOSUID | MS_NODEV, nullptr) == 0;
}

} // namespace testsupport
