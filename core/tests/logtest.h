// Shared pieces of the log tests: a fixture whose module writes its logs
// into a scratch folder, with system and announcer template lines of its
// own, a fixed clock and engine version, and readers that give the files
// back as UTF-8 with visible line ends; and the golden-file comparison.
#pragma once

#include "core/queue.h"
#include "fighttest.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace logtest {

using namespace fighttest;

// The module's logs go to `dir`; template tables 0 and 1 hold the lines of
// TestSystemLines and TestAnnouncerLines; the clock reads 2026/4/5 9:08:07
// and the engine version is "1.2.3.4". OutputColumns 76, no options.
class LogTest : public FightTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The log base name in the scratch folder.
    std::string base(std::string_view name = "match") const;
    // A file of the scratch folder; a log of the match in progress is where
    // the match writes it until the match keeps its files.
    std::filesystem::path where(std::string_view name) const;
    // A file of the scratch folder (where()) as UTF-8; "\r\n" stays as it is.
    std::string file(std::string_view name) const;
    std::string rawFile(std::string_view name) const;
    bool exists(std::string_view name) const;

    // Appends one line to the fixture's buffer (UTF-8 text).
    cv::GameMessageLine& add(uint32_t kind, uint32_t indent, const char* utf8, uint32_t blanks = 0);

    testsupport::TempDir dir;
};

// Compares CP932 bytes with the golden file `name`; with the environment
// variable VELL_UPDATE_GOLDEN=1 the file is written instead.
void ExpectGolden(std::string_view name, const std::string& cp932);

} // namespace logtest
