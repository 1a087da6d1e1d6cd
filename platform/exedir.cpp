#include "platform/exedir.h"

#include "platform/files.h"
#include "platform/paths.h"

#include <string>

namespace plat {

std::string exeDirPath(std::string_view programFolder, std::string_view name) {
    if (!name.empty() && name[0] == '/') return std::string(name);
    if (isAbsolutePath(name)) return {};
    return std::string(programFolder) + std::string(name);
}

std::FILE* OpenExeDirFile(std::string_view programFolder, std::string_view name, const char* mode,
                          msg::Style style) {
    const std::string path = exeDirPath(programFolder, name);
    std::FILE* f = path.empty() ? nullptr : openFile(path, mode);
    if (!f) msg::showError(41042, {}, style);
    return f;
}

} // namespace plat
