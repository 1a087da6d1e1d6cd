// The clean-up checks of old outputs.
#include "modes/frame/outputs.h"

#include "platform/files.h"
#include "platform/paths.h"

#include <optional>

namespace modes {

namespace {

// The identity of the existing file a stored path names.
std::optional<std::pair<uint64_t, uint64_t>> identity(std::string_view path) {
    std::optional<plat::FileStamp> stamp = plat::fileStamp(path);
    if (!stamp) return std::nullopt;
    return std::pair<uint64_t, uint64_t>(stamp->Device, stamp->Inode);
}

} // namespace

KeptFiles::KeptFiles(const std::vector<std::string>& paths) {
    for (const std::string& p : paths)
        if (auto id = identity(p)) ids_.insert(*id);
}

bool KeptFiles::contains(std::string_view path) const {
    auto id = identity(path);
    return id && ids_.count(*id) != 0;
}

void removeUnlessKept(std::string_view path, const KeptFiles& keep) {
    if (!plat::isRegularFile(path) || keep.contains(path)) return;
    plat::removeFile(path);
}

} // namespace modes
