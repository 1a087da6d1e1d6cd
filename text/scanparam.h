// The reader of a table line's layout: quoted texts and numbers in any
// arrangement, e.g.  !A 10 "<table>" "<tr><td>%s</td></tr>" "</table>" 3 0 1
// Each text fills the next text target, each number the next number target.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vtext {

struct ScanTarget {
    std::string* text = nullptr; // a text target, or
    int32_t* number = nullptr;   // a number target
};

inline ScanTarget scanTextTarget(std::string& s) {
    return {&s, nullptr};
}
inline ScanTarget scanNumberTarget(int32_t& n) {
    return {nullptr, &n};
}

// Walks text: a '"' starts a text running to the next '"' (or the end); a
// digit, '-' or '%' starts a number (a leading '%' is skipped, a '-' before
// the digits negates, the character after the digits is skipped; the value
// is clamped to 32 bits); every other character is skipped. A text or number
// with no target of its kind left is read and dropped. The walk stops when
// every target is filled. Returns the number of targets filled; filled (when
// given) tells which.
int _vsscanparam(std::string_view text, std::span<const ScanTarget> targets,
                 std::vector<bool>* filled = nullptr);

} // namespace vtext
