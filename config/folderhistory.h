// The folder histories the game settings dialog offers in its folder boxes:
// twenty recent AK, weapon-data and result folders each, kept in the settings
// store under "Software\Corvane" (sections "AK", "Weapon" and "Text", values
// "0000" to "0019"). Only the result folders are written back, most recent
// first.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cnf {

inline constexpr int HistorySize = 20;

struct FolderHistories {
    std::vector<std::string> ak;     // both AK folder boxes
    std::vector<std::string> weapon; // the weapon-data folder box
    std::vector<std::string> result; // the result folder box
};

// The non-empty entries of each list, in order. An empty first entry stands
// for the program folder.
FolderHistories loadFolderHistories(std::string_view programFolder);

// Writes the result list: entry i to value "%4.4d" of i, empty beyond the
// list (at most twenty are written).
bool saveResultHistory(const std::vector<std::string>& result);

// Puts a chosen folder at the top of a history: a folder already listed
// moves up, a new one is inserted and pushes out the oldest beyond twenty.
void pushRecentFolder(std::vector<std::string>& list, std::string_view folder);

} // namespace cnf
