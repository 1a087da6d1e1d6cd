#include "platform/exedir.h"

#include "platform/files.h"
#include "platform/paths.h"

#include <string>

namespace plat {

std::FILE* OpenExeDirFile(std::string_view programFolder, std::string_view name, const char* mode, msg::Style style) {
    std::FILE* f = nullptr;
    if (!name.empty() && name[0] == '/') {
        f = openFile(name, mode);
    } else if (!isAbsolutePath(name)) {
        f = openFile(std::string(programFolder) + std::string(name), mode);
    }
    if (!f) msg::showError(41042, {}, style);
    return f;
}

} // namespace plat
