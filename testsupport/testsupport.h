// Helpers for the tests: Shift-JIS literals from readable UTF-8, hex dumps,
// a scratch folder removed when the test ends, and the scratch home of a
// whole test program.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

// The CP932 bytes of a UTF-8 text (the test fails loudly when there is none).
std::string sj(std::string_view utf8);

// The UTF-8 form of CP932 bytes, for readable failure messages.
std::string u8(std::string_view cp932);

// "83 41 00" style dump.
std::string hex(std::string_view bytes);

// Reads and writes whole files as bytes.
std::string readFile(const std::filesystem::path& p);
void writeFile(const std::filesystem::path& p, std::string_view bytes);

// A fresh folder under $TMPDIR (or /tmp), removed with its content on scope exit.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // The folder as a text ending in '/', the way program folders are held.
    std::string folder() const { return path_.string() + "/"; }

private:
    std::filesystem::path path_;
};

// Points the settings and data folders of the whole test program
// (XDG_CONFIG_HOME, XDG_DATA_HOME) at a scratch folder of its own under
// $TMPDIR, removed when the program ends, so that no test reaches the
// user's own folders however the program is run (by ctest, alone, with a
// filter). The main() of every test program calls it first; a death test's
// child keeps its parent's.
void useScratchHome(int argc, char** argv);

} // namespace testsupport
