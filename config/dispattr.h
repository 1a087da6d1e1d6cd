// Display attributes in the settings store: the splash flag, the font and
// theme of the message views and their twenty colours. ThemeFile sits at the
// program's key itself, everything else in its "Display" section; colours are
// stored as "0x%8.8x" so that system colour indexes (top bit set) survive.
#pragma once

#include "base/confrecords.h"

namespace cnf {

// Each colour's default, index 0 to 19.
extern const uint32_t DefaultColors[20];

// Fills attr; missing or unreadable values give the defaults.
void loadDispAttribute(DispAttribute& attr);
// False when the store could not be saved.
bool saveDispAttribute(const DispAttribute& attr);

} // namespace cnf
