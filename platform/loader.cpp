#include "platform/loader.h"

#include "platform/paths.h"

#include <dlfcn.h>
#include <utility>

namespace plat {

std::string mapLibraryName(std::string_view logicalName) {
    std::string name(logicalName);
    // Drop any folder part: the folder comes from the caller.
    size_t sep = name.find_last_of("\\/");
    if (sep != std::string::npos) name.erase(0, sep + 1);
    auto parts = splitPath(name);
    if (equalsIgnoreCase(parts.extension, ".dll")) {
        std::string lower;
        for (char c : parts.name) lower += asciiLower(c);
        return "lib" + lower + ".so";
    }
    if (equalsIgnoreCase(parts.extension, ".exe")) {
        std::string lower;
        for (char c : parts.name) lower += asciiLower(c);
        return lower;
    }
    return name;
}

Library::~Library() { unload(); }

Library::Library(Library&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), logical_(std::move(other.logical_)),
      error_(std::move(other.error_)) {}

Library& Library::operator=(Library&& other) noexcept {
    if (this != &other) {
        unload();
        handle_ = std::exchange(other.handle_, nullptr);
        logical_ = std::move(other.logical_);
        error_ = std::move(other.error_);
    }
    return *this;
}

bool Library::load(std::string_view folder, std::string_view logicalName, std::initializer_list<const char*> required) {
    unload();
    logical_.assign(logicalName);
    error_.clear();
    std::string path = joinPath(folder.empty() ? std::string_view(programFolder()) : folder, mapLibraryName(logicalName));
    auto os = toOsPath(resolvePath(path));
    if (!os) {
        error_ = "no such path";
        return false;
    }
    void* h = ::dlopen(os->c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!h) {
        const char* e = ::dlerror();
        error_ = e ? e : "dlopen failed";
        return false;
    }
    for (const char* sym : required) {
        ::dlerror();
        if (!::dlsym(h, sym)) {
            error_ = std::string("missing symbol ") + sym;
            ::dlclose(h);
            return false;
        }
    }
    handle_ = h;
    return true;
}

void* Library::symbol(const char* name) const {
    if (!handle_) return nullptr;
    return ::dlsym(handle_, name);
}

void Library::unload() {
    if (handle_) {
        ::dlclose(handle_);
        handle_ = nullptr;
    }
}

} // namespace plat
