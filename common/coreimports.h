// The game processor's calls that this library makes (libcvcore.so, linked
// at build time), declared under their exported names and C signatures.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"

#include <cstdint>

namespace cv {
struct GameMessageBuffer;
}

// Keeps the settings by pointer for the formatting that follows.
extern "C" int32_t SetEnvironment(GameSettings* settings);

// One entrant's sheet, headed "【エントリー No.n  name】", appended to outFile
// with its extension replaced by ".txt". Changes the AK as a match set-up
// does and empties the buffer first.
extern "C" int32_t AkViewer2(GameSettings* settings, const char* outFile, TArmoredKnight* ak,
                             cv::GameMessageBuffer* buffer, int32_t entryNo);
