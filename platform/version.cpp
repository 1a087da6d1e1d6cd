#include "platform/version.h"

#include "platform/codec.h"
#include "platform/files.h"
#include "platform/loader.h"
#include "platform/paths.h"

#include <dlfcn.h>

namespace plat {

RcVersion::RcVersion(std::string_view fileName) {
    std::string path;
    if (isAbsolutePath(fileName)) {
        path.assign(fileName);
    } else {
        path = libraryFolder() + mapLibraryName(fileName);
    }
    auto text = readWholeFile(path + ".ver");
    if (!text) return;
    auto cp = utf8ToCp932(*text);
    if (!cp) return;
    size_t pos = 0;
    while (pos < cp->size()) {
        size_t end = cp->find('\n', pos);
        if (end == std::string::npos) end = cp->size();
        std::string line = cp->substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        values_.emplace(line.substr(0, eq), line.substr(eq + 1));
    }
    block_ = !values_.empty();
}

int RcVersion::get(const char* key, const char** text) const {
    if (!block_) return 0;
    auto it = values_.find(key);
    if (it == values_.end()) return 0;
    if (text) *text = it->second.c_str();
    return 1;
}

std::string fileOfAddress(const void* address) {
    Dl_info info{};
    if (!::dladdr(address, &info) || !info.dli_fname) return {};
    return fromOsName(info.dli_fname).value_or(std::string());
}

} // namespace plat
