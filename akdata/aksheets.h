// The detail sheets of an AK, as the detail window shows them tab by tab:
// 0 pilot and mechanic, 1 machine and computer, 2 specification and weapon
// list, 3 weapon data table, 4 weapon comments, 5 match comments, 6 other
// comments. Numbers of the sheets are shown in full width.
#pragma once

#include "base/akrecord.h"

#include <string>

namespace akdata {

inline constexpr int AkDetailKinds = 7;

// The sheet of the given kind; empty for a kind outside 0..6.
std::string akDetailSheet(const TArmoredKnight& ak, int kind);

} // namespace akdata
