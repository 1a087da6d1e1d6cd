// The clean-up of an earlier run's outputs that several modes do at the start
// of a run, and of a run's own output AK files after it, with the checks
// that keep it from taking a player's own AK file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace modes {

// Deletes the outputs of an earlier run: every output AK file (".da1" to
// ".da98", ak::isOutputAkName) of the AK output folder and every file of
// the results folder that matches `logPattern` (the mode's logs, such as
// "bt_*.*"). An empty folder text deletes nothing there, only regular files
// go, and none of `keep` (the entrants' own AK files, which may lie in an
// output or results folder) ever does. Each folder is listed once, from its
// index. With `keepOthersInSharedFolder`, when the AK output folder is also
// an entrant's input folder, only output AK files named after an entrant
// (outputStem) are deleted there: the others are AK files of players
// outside the event.
void deleteOldOutputs(std::string_view akOutputFolder, std::string_view resultFolder,
                      std::string_view logPattern, const std::vector<std::string>& keep,
                      bool keepOthersInSharedFolder = false);

// Deletes the output AK files a run wrote (`written`, a file named more
// than once is deleted once), regular files only and none of `keep` (the
// entrants' own files).
void deleteRunOutputs(const std::vector<std::string>& written, const std::vector<std::string>& keep);

} // namespace modes
