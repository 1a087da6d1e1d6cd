// A small file system for tests of writers on a full or read-only disk: a
// tmpfs of a few hundred KB mounted on a fresh folder, filled up or turned
// read-only when the test says so, unmounted on scope exit. Mounting needs
// the right to mount (root outside a restricted container); where it is
// not allowed, mounted() is false and why() says what failed, for
// GTEST_SKIP. The platform's failing-device hook covers the same writers
// everywhere.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace testsupport {

class SmallDisk {
public:
    explicit SmallDisk(size_t kilobytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }
    const std::filesystem::path& path() const { return path_; }
    std::string folder() const { return path_.string() + "/"; }

    // Takes every free byte with a filler file; true when the disk is full.
    bool fill();
    // Removes the filler: the space is free again.
    bool unfill();
    // Remounts read-only, or read-write again; true when it worked.
    bool makeReadOnly();
    bool makeWritable();

private:
    std::filesystem::path path_;
    bool mounted_ = false;
    std::string why_;
};

} // namespace testsupport
