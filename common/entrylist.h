// The entry list of an event: one entry sheet per AK, written by the game
// processor's sheet writer into the results folder before the run.
#pragma once

#include "base/confrecords.h"

#include <span>
#include <string>
#include <string_view>

namespace cv {
struct GameMessageBuffer;
}

namespace cmn {

// The file the sheets go to: outFile with the extension of its file name
// replaced by ".txt" (added when it has none).
std::string sheetFileName(std::string_view outFile);

// Creates outFile (and the sheet file when that is another name) empty, then
// appends the sheet of every AK in the list that loads, numbered by its
// place from 1; an AK that does not load leaves a gap. False when the file
// cannot be created (nothing written).
bool outputEntryList(GameSettings& settings, std::span<const std::string> akFiles, std::string_view outFile,
                     cv::GameMessageBuffer& buffer);

} // namespace cmn
