// The exports of the game processor (libcvcore.so) that are in place so far:
// the bounty formula's conversion and evaluation, which the configuration
// manager calls by name to check a typed formula, and the reseeding of the
// dice. Also the seeding of the dice when the library is loaded.
//
// No exception crosses an export: a failure gives the export's error result.
#include "base/akrecord.h"
#include "base/sjis.h"
#include "core/dice.h"
#include "core/formula.h"
#include "platform/export.h"

#include <cstdint>
#include <cstring>

namespace {

// The library's start-up code: before any export is called, the dice start
// from the calendar time. Matches never reseed them.
struct LoadSeeding {
    LoadSeeding() { cv::SeedDiceAtLoad(); }
} loadSeeding;

} // namespace

// Writes the postfix form of `infix` into `postfix` (80 bytes, the size of
// GameSettings.BountyPostfix); 0, or 0x80000003 for a missing ")" or a
// postfix that does not fit (then written empty).
VELL_EXPORT uint32_t Infix2Postfix(const char* infix, char* postfix) {
    if (!postfix) return cv::FormulaError;
    try {
        return cv::Infix2Postfix(infix ? std::string_view(infix) : std::string_view(), postfix);
    } catch (...) {
        std::memset(postfix, 0, cv::PostfixBufferSize);
        return cv::FormulaError;
    }
}

// The value of a postfix formula for one AK; 0 when it cannot be evaluated.
VELL_EXPORT int32_t CalcPostfix(const char* postfix, const TArmoredKnight* ak) {
    if (!postfix || !ak) return 0;
    try {
        return cv::CalcPostfix(postfix, *ak);
    } catch (...) {
        return 0;
    }
}

// Reseeds the dice from the local time of day; returns the new seed.
VELL_EXPORT int32_t RandomizeSystem() {
    return cv::RandomizeSystem();
}
