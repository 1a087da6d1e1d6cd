// The names of the output AK files the game processor writes after a match:
// the input file's name with ".da1" to ".da98" in the AK output folder. The
// game processor's own clean-up and the game modes' clean-ups of an earlier
// run take the same files for outputs by this one rule.
#pragma once

#include <string_view>

namespace ak {

inline constexpr int MaxOutputAkNumber = 98;

// ".da1" to ".da98", letter case ignored, without leading zeros: no other
// extension is an output AK file's ("x.dat" is a player's AK data file;
// "x.da0", "x.da01", "x.da99" and "x.dab" are never written).
bool isOutputAkExtension(std::string_view extension);

// A file name (without folder) whose extension, from its last '.', is one.
bool isOutputAkName(std::string_view fileName);

} // namespace ak
