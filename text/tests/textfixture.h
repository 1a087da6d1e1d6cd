// Shared pieces of the text processor's tests: a program folder with the
// sample templates, the values the configuration manager passes, and small
// message tables.
#pragma once

#include "base/confrecords.h"
#include "testsupport/testsupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace texttest {

// A scratch program folder holding a copy of the committed Format folder.
class ProgramFolder {
public:
    ProgramFolder();
    const std::string& folder() const { return folder_; } // ends in '/'
    std::filesystem::path path(const std::string& relative) const { return dir_.path() / relative; }

private:
    testsupport::TempDir dir_;
    std::string folder_;
};

// The committed sample folder (data/ of the source tree).
std::filesystem::path sampleData();

// The 30 texts of a conf's regulation (Shift-JIS), with a two-line memo.
std::vector<std::string> regulationValues();

// A small message table: slot 0 and n user entries (Shift-JIS texts).
std::vector<AnnouncerEntry> sampleAnnouncers(int n);
std::vector<MsgEntry> samplePilots(int n);
std::vector<MsgEntry> sampleComputers(int n);

} // namespace texttest
