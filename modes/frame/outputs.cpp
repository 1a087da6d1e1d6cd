// The clean-up of old outputs.
#include "modes/frame/outputs.h"

#include "base/outputak.h"
#include "modes/frame/entrants.h"
#include "modes/frame/textfmt.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <cstdint>
#include <optional>
#include <set>
#include <unordered_set>
#include <utility>

namespace modes {

namespace {

// The identity of the existing file a stored path names.
std::optional<std::pair<uint64_t, uint64_t>> identity(std::string_view path) {
    std::optional<plat::FileStamp> stamp = plat::fileStamp(path);
    if (!stamp) return std::nullopt;
    return std::pair<uint64_t, uint64_t>(stamp->Device, stamp->Inode);
}

// The entrants' own files, known by their identity on the disk: each is
// looked up once, so a clean-up of n old files against m entrants costs
// n + m look-ups instead of n times m.
class KeptFiles {
public:
    explicit KeptFiles(const std::vector<std::string>& paths) {
        for (const std::string& p : paths)
            if (auto id = identity(p)) ids_.insert(*id);
    }
    bool contains(std::string_view path) const {
        auto id = identity(path);
        return id && ids_.count(*id) != 0;
    }

private:
    std::set<std::pair<uint64_t, uint64_t>> ids_; // device, inode
};

// The output stem of a listed name, from its upper-cased key: the part
// before the last '.' (never the trail byte of a double-byte character).
std::string stemOfKey(std::string_view key) {
    return std::string(key.substr(0, key.rfind('.')));
}

} // namespace

void deleteOldOutputs(std::string_view akOutputFolder, std::string_view resultFolder,
                      std::string_view logPattern, const std::vector<std::string>& keep,
                      bool keepOthersInSharedFolder) {
    const KeptFiles kept(keep);
    std::unordered_set<std::string> stems;
    bool sharedFolder = false;
    if (keepOthersInSharedFolder && !akOutputFolder.empty()) {
        const std::string outFolder = joinFolder(akOutputFolder, ".");
        for (const std::string& p : keep) {
            if (p.empty()) continue;
            stems.insert(outputStem(p));
            const plat::PathParts parts = plat::splitPath(p);
            sharedFolder = sharedFolder || plat::sameFile(parts.drive + parts.dir + ".", outFolder);
        }
    }
    auto removeFrom = [&kept](std::string_view folder, auto takes) {
        if (folder.empty()) return;
        for (const plat::FolderName& entry : plat::indexedFolderNames(folder)) {
            if (!takes(entry)) continue;
            const std::string path = joinFolder(folder, entry.Name);
            if (plat::isRegularFile(path) && !kept.contains(path)) plat::removeFile(path);
        }
    };
    removeFrom(akOutputFolder, [&](const plat::FolderName& entry) {
        return ak::isOutputAkName(entry.Name) && (!sharedFolder || stems.count(stemOfKey(entry.Key)) != 0);
    });
    removeFrom(resultFolder,
               [logPattern](const plat::FolderName& entry) { return plat::wildcardMatch(logPattern, entry.Name); });
}

void deleteRunOutputs(const std::vector<std::string>& written, const std::vector<std::string>& keep) {
    const KeptFiles kept(keep);
    for (const std::string& path : written)
        if (plat::isRegularFile(path) && !kept.contains(path)) plat::removeFile(path);
}

} // namespace modes
