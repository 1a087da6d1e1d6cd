// Opening a file under the program folder, with the system's standard
// complaint when it cannot be opened.
#pragma once

#include "platform/catalogue.h"
#include "platform/export.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace plat {

// Opens programFolder + name in the given fopen mode. A name beginning with
// '/' is used as it stands; a Windows absolute form (a drive, a leading '\')
// cannot name a file here and fails. On failure shows message 41042 under
// caption 41000 with the warning icon and returns nullptr.
PLAT_API std::FILE* OpenExeDirFile(std::string_view programFolder, std::string_view name, const char* mode,
                                   msg::Style style = {});
// The file OpenExeDirFile opens for `name`; empty for a Windows absolute form.
PLAT_API std::string exeDirPath(std::string_view programFolder, std::string_view name);

} // namespace plat
