// The clean-up of an earlier run's outputs that several modes do at the start
// of a run: the checks that keep it from taking a player's own AK file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace modes {

// Whether two stored paths (Shift-JIS, relative ones under the program
// folder) name the same existing file.
bool sameFile(std::string_view a, std::string_view b);

// Whether a name the "*.da?" clean-up matched is an output AK file: names
// ending in 't' or 'T' are ".dat" files, players' AK data files.
bool isOutputAkName(std::string_view name);

// Removes the regular file `path` unless it is one of `keep` (the entrants'
// own AK files, which may lie in an output or results folder).
void removeUnlessKept(std::string_view path, const std::vector<std::string>& keep);

} // namespace modes
