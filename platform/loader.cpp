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

namespace {

// Whether two folders are one text, '\' and '/' comparing equal and a final
// separator aside.
bool sameFolder(std::string_view a, std::string_view b) {
    if (endsWithSeparator(a)) a.remove_suffix(1);
    if (endsWithSeparator(b)) b.remove_suffix(1);
    return a.size() == b.size() && hasPathPrefix(a, b);
}

} // namespace

bool Library::load(std::string_view folder, std::string_view logicalName, std::initializer_list<const char*> required) {
    unload();
    logical_.assign(logicalName);
    error_.clear();
    // The callers name the program folder, where the system's libraries lay
    // beside its data; here that is the game master's data folder, and code
    // is never loaded from there: the libraries come from the library folder.
    if (folder.empty() || sameFolder(folder, programFolder())) folder = libraryFolder();
    std::string path = joinPath(folder, mapLibraryName(logicalName));
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
