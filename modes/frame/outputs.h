// The clean-up of an earlier run's outputs that several modes do at the start
// of a run: the checks that keep it from taking a player's own AK file.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace modes {

// The entrants' own files, known by their identity on the disk: each is
// looked up once, so a clean-up of n old files against m entrants costs
// n + m look-ups instead of n times m.
class KeptFiles {
public:
    explicit KeptFiles(const std::vector<std::string>& paths);
    // Whether `path` names an existing file that is one of them.
    bool contains(std::string_view path) const;

private:
    std::set<std::pair<uint64_t, uint64_t>> ids_; // device, inode
};

// Removes the regular file `path` unless it is one of `keep` (the entrants'
// own AK files, which may lie in an output or results folder).
void removeUnlessKept(std::string_view path, const KeptFiles& keep);

} // namespace modes
