// The output AK file names.
#include "base/outputak.h"

namespace ak {

bool isOutputAkExtension(std::string_view extension) {
    if (extension.size() < 4 || extension.size() > 5 || extension[0] != '.') return false;
    if ((extension[1] | 0x20) != 'd' || (extension[2] | 0x20) != 'a') return false;
    std::string_view digits = extension.substr(3);
    if (digits[0] == '0') return false;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    return n <= MaxOutputAkNumber;
}

bool isOutputAkName(std::string_view fileName) {
    // '.' is never the trail byte of a double-byte character.
    size_t dot = fileName.rfind('.');
    return dot != std::string_view::npos && isOutputAkExtension(fileName.substr(dot));
}

} // namespace ak
