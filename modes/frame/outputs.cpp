// The clean-up checks of old outputs.
#include "modes/frame/outputs.h"

#include "platform/files.h"
#include "platform/paths.h"

#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <system_error>

namespace modes {

bool sameFile(std::string_view a, std::string_view b) {
    std::optional<std::string> pa = plat::toOsPath(plat::resolvePath(a));
    std::optional<std::string> pb = plat::toOsPath(plat::resolvePath(b));
    if (!pa || !pb) return false;
    std::error_code error;
    return std::filesystem::equivalent(*pa, *pb, error) && !error;
}

bool isOutputAkName(std::string_view name) {
    return !name.empty() && name.back() != 't' && name.back() != 'T';
}

namespace {

// The identity of the existing file a stored path names, as sameFile
// compares them.
std::optional<std::pair<uint64_t, uint64_t>> identity(std::string_view path) {
    std::optional<std::string> os = plat::toOsPath(plat::resolvePath(path));
    struct stat st;
    if (!os || ::stat(os->c_str(), &st) != 0) return std::nullopt;
    return std::pair<uint64_t, uint64_t>(st.st_dev, st.st_ino);
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
