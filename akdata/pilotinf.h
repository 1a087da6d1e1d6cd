// The pilot block of a match log: a title rule, the pilot's line, record and
// modifiers, and on request the profile, the match-start comment, the
// condition line and a table row of owner, pilot and AK.
#pragma once

#include "base/akrecord.h"

#include <string>
#include <string_view>

namespace akdata {

struct PilotInfOptions {
    bool profile = false;   // option 0
    bool comment = false;   // option 1
    bool tableRow = false;  // option 2
    bool condition = false; // option 3
    bool title = false;     // option 4
};

std::string pilotInfo(const PilotInfOptions& options, std::string_view condition, std::string_view title,
                      const TArmoredKnight& ak, std::string_view titleTail);

} // namespace akdata
