// Loading the system's libraries by name at run time. The system names its
// libraries the way it always did ("vellcnf.dll", "BRAWLALL.DLL",
// "kwph.dll"); the name map turns "X.DLL" into "lib" + lower(X) + ".so" and
// "Vell.exe" into "vell", and the file is loaded by absolute path from the
// given folder; the program folder (and no folder) means the library folder.
// A library that lacks any of the symbols asked for counts as not loaded.
// Messages name the library by its logical name.
#pragma once

#include "platform/export.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace plat {

// "kwph.dll" → "libkwph.so", "Vell.exe" → "vell"; other names are kept.
PLAT_API std::string mapLibraryName(std::string_view logicalName);

class PLAT_API Library {
public:
    Library() = default;
    ~Library();
    Library(Library&& other) noexcept;
    Library& operator=(Library&& other) noexcept;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Loads folder + mapped name (a Shift-JIS folder, usually the program
    // folder, which stands for the library folder) and checks that every
    // symbol in `required` is there.
    bool load(std::string_view folder, std::string_view logicalName,
              std::initializer_list<const char*> required = {});
    bool loaded() const { return handle_ != nullptr; }
    void* symbol(const char* name) const;
    template <class F> F function(const char* name) const { return reinterpret_cast<F>(symbol(name)); }
    // The loader's reason for the last failure (for logs and tests).
    const std::string& error() const { return error_; }
    const std::string& logicalName() const { return logical_; }
    void unload();

private:
    void* handle_ = nullptr;
    std::string logical_;
    std::string error_;
};

} // namespace plat
