// Stopping a one-vs-one match between rounds. The game master chooses in the
// abort dialog either to end the match with a result (judged by damage, a
// draw, or a given winner) or to put it on hold, optionally saving both AKs
// as they stand so that a later match can continue from their output files.
// The dialog is the caller's part: this unit takes the choice it made.
#pragma once

#include <cstdint>
#include <string_view>

namespace cv {

// What the dialog answered. Mode 0 ends the match, Value the result item
// (0 judge by damage, 1 draw, 2 side 1 wins, 3 side 2 wins); mode 1 holds
// it, Value 1 to save the AKs.
struct QuitChoice {
    bool Accepted = false; // OK; otherwise the match goes on
    int Mode = 0;
    int Value = 0;
};

// Results of AbortMatch.
inline constexpr uint8_t AbortCancelled = 0;
inline constexpr uint8_t AbortEnded = 1;
inline constexpr uint8_t AbortHeld = 4;

// Carries out the choice on the match kept by the module; `akWritten`
// becomes 1 when both AK files were written (on hold with saving); a side
// whose file could not be written gets no line naming it (the failure is
// reported as the match's failed file, outputfault.h).
uint8_t AbortMatch(const QuitChoice& choice, std::string_view logBase, std::string_view akOutDir,
                   uint8_t& akWritten);

} // namespace cv
