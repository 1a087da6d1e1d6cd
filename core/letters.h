// Tests on the full-width attribute letters of a weapon slot and on the
// other texts the fight keys its rules to (sensor types, device and disk
// names, mounts). Letters are whole Shift-JIS characters: a search never
// matches across a character boundary.
#pragma once

#include "base/sjis.h"
#include "sjis/fight_text.h"

#include <initializer_list>
#include <string_view>

namespace cv {

// The rules ask these thousands of times a match, on short fields:
// sjis::contains is inline, so its search is inlined here.
inline bool Has(std::string_view text, std::string_view letter) {
    return sjis::contains(text, letter);
}

inline bool HasAny(std::string_view text, std::initializer_list<std::string_view> letters) {
    for (std::string_view l : letters)
        if (Has(text, l)) return true;
    return false;
}

// The name of body part p (0 head ... 5 body); the body for any other index.
inline std::string_view PartName(int part) {
    static constexpr const char* names[] = {ltr::Part0, ltr::Part1, ltr::Part2,
                                            ltr::Part3, ltr::Part4, ltr::Part5};
    return names[part >= 0 && part < 6 ? part : 5];
}

} // namespace cv
