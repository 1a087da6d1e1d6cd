// The version text of a file, read from its version block.
#include "common/fileversion.h"

#include "base/sjis.h"
#include "platform/version.h"

namespace cmn {

bool fileVersion(std::string_view file, char* out, size_t size) {
    plat::RcVersion version(file);
    if (!version.hasBlock()) return false;
    const char* text = "";
    version.FileVersion(&text);
    sjis::writeField(out, size, text);
    return true;
}

} // namespace cmn
