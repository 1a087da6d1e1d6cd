// Colour values as the system stores them: 0x00BBGGRR, or a Windows system
// colour: the top bit 0x80000000 set and the colour's index (COLOR_WINDOW,
// COLOR_WINDOWTEXT...) in the low byte, as the Windows runtime reads it.
// One rule and one table of the standard scheme for the HTML log and the
// windows.
#pragma once

#include <cstdint>
#include <iterator>

namespace plat {

constexpr bool isSystemColour(uint32_t colour) {
    return (colour & 0x80000000u) != 0;
}

constexpr uint32_t systemColourIndex(uint32_t colour) {
    return colour & 0xFFu;
}

// The standard Windows scheme of the system colours, by index, 0x00BBGGRR.
inline constexpr uint32_t StandardSystemColours[] = {
    0xC0C0C0, // 0 scroll bar
    0x808000, // 1 desktop
    0x800000, // 2 active caption
    0x808080, // 3 inactive caption
    0xC0C0C0, // 4 menu
    0xFFFFFF, // 5 window
    0x000000, // 6 window frame
    0x000000, // 7 menu text
    0x000000, // 8 window text
    0xFFFFFF, // 9 caption text
    0xC0C0C0, // 10 active border
    0xC0C0C0, // 11 inactive border
    0x808080, // 12 application workspace
    0x800000, // 13 highlight
    0xFFFFFF, // 14 highlighted text
    0xC0C0C0, // 15 button face
    0x808080, // 16 button shadow
    0x808080, // 17 grey text
    0x000000, // 18 button text
    0xC0C0C0, // 19 inactive caption text
    0xFFFFFF, // 20 button highlight
    0x000000, // 21 3D dark shadow
    0xC0C0C0, // 22 3D light
    0x000000, // 23 tooltip text
    0xE1FFFF, // 24 tooltip background
};

// The 0x00BBGGRR value of a colour: its own (the top byte left out), or a
// system colour's in the standard scheme, black for an index beyond it.
constexpr uint32_t rgbOfColour(uint32_t colour) {
    if (!isSystemColour(colour)) return colour & 0xFFFFFFu;
    const uint32_t index = systemColourIndex(colour);
    return index < std::size(StandardSystemColours) ? StandardSystemColours[index] : 0;
}

} // namespace plat
