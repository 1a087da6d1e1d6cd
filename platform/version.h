// Version texts of the program's files. Each deliverable carries a sidecar
// "<file>.ver" beside it (UTF-8 "Key=Value" lines written by the build) in
// place of a version resource; RcVersion reads it and hands out the texts in
// Shift-JIS. The getters set their out pointer into the reader's own storage
// and return non-zero, or return 0 and leave the pointer alone when there is
// no version block or no such key. Copy the text before the reader dies.
#pragma once

#include "platform/export.h"

#include <map>
#include <string>
#include <string_view>

namespace plat {

class PLAT_API RcVersion {
public:
    // "Vell.exe" and "X.DLL" are mapped to the program's file names; a bare
    // name is looked for in the library folder only; an absolute path is read
    // as it stands.
    explicit RcVersion(std::string_view fileName);

    int FileVersion(const char** text) const { return get("FileVersion", text); }
    int CompanyName(const char** text) const { return get("CompanyName", text); }
    int LegalCopyright(const char** text) const { return get("LegalCopyright", text); }
    int FileDescription(const char** text) const { return get("FileDescription", text); }
    bool hasBlock() const { return block_; }

private:
    int get(const char* key, const char** text) const;
    bool block_ = false;
    std::map<std::string, std::string> values_;
};

// The Shift-JIS path of the shared library (or program) that contains the
// given address, for a library that needs its own file.
PLAT_API std::string fileOfAddress(const void* address);

} // namespace plat
