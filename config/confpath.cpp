// Resolution of the stored Windows-style paths of confs against the program
// folder the caller gives.
#include "config/confpath.h"

#include "platform/paths.h"

namespace cnf {

std::string folderOf(std::string_view programFolder) {
    std::string f(programFolder.empty() ? std::string_view(plat::programFolder()) : programFolder);
    if (!plat::endsWithSeparator(f)) f += '/';
    return f;
}

std::string resolve(std::string_view programFolder, std::string_view path) {
    if (plat::isAbsolutePath(path)) return std::string(path);
    return folderOf(programFolder) + std::string(path);
}

std::string configPath(std::string_view name) {
    std::string p(ConfigFolder);
    p += '\\';
    p += name;
    return p;
}

std::string makeRelative(std::string_view programFolder, std::string_view path) {
    if (!plat::isAbsolutePath(path)) return std::string(path);
    std::string folder = folderOf(programFolder);
    if (path.size() > folder.size() && plat::hasPathPrefix(path, folder))
        return std::string(path.substr(folder.size()));
    return std::string(path);
}

bool hasConfFileName(std::string_view path) {
    size_t sep = plat::lastSeparator(path);
    std::string_view name = sep == std::string_view::npos ? path : path.substr(sep + 1);
    return name.size() >= 5 && plat::equalsIgnoreCase(name.substr(0, 5), ConfPrefix);
}

} // namespace cnf
