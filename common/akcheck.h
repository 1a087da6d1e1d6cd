// The check of an entrant before an event: the AK data library's entry
// checks, and when they find something the game master decides through the
// check dialog whether the event goes on.
#pragma once

#include "base/akrecord.h"

#include <functional>
#include <string>
#include <string_view>

namespace cmn {

inline constexpr int CheckGoOn = 1;
inline constexpr int CheckStop = 2;

// Shows the findings (caption, report text) and returns CheckGoOn or
// CheckStop.
using CheckAsker = std::function<int(std::string_view caption, std::string_view report)>;

// "ＡＫデータチェック： " + pilot name + " 選手".
std::string checkCaption(const TArmoredKnight& ak);

// report (2048 bytes) := the findings of the AK data library. No findings:
// CheckGoOn without asking. Otherwise the asker's answer; anything but
// CheckGoOn counts as CheckStop.
int checkAk(TArmoredKnight& ak, char* report, const CheckAsker& ask);

} // namespace cmn
