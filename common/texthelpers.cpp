// strTrimRight's trimming, in place on a C text of any length.
#include "common/texthelpers.h"

#include "base/sjis.h"

#include <cstring>
#include <string_view>

namespace cmn {

void trimBlanks(char* text) {
    if (!text) return;
    std::string_view t = sjis::trimField(text);
    size_t n = sjis::cutLength(t, TrimmedTextMax);
    std::memmove(text, t.data(), n);
    text[n] = '\0';
}

} // namespace cmn
