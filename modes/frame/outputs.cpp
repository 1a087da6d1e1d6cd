// The clean-up checks of old outputs.
#include "modes/frame/outputs.h"

#include "platform/files.h"
#include "platform/paths.h"

#include <algorithm>
#include <filesystem>
#include <optional>
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

void removeUnlessKept(std::string_view path, const std::vector<std::string>& keep) {
    if (!plat::isRegularFile(path)) return;
    if (std::any_of(keep.begin(), keep.end(), [path](const std::string& k) { return sameFile(k, path); }))
        return;
    plat::removeFile(path);
}

} // namespace modes
