// The theme: an ini file named by the settings value "ThemeFile" that gives
// the splash picture, its timer and label colours, the start sound and the
// about box's music. Names in it are resolved under the program folder: a
// bare theme name under "Themes\", a bare picture, sound or music name under
// "Images\", "Sound\" or "Music\", a relative name with folders under the
// program folder itself, an absolute name as it stands.
#pragma once

#include "platform/ini.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vell {

// The theme ini: the file named by "ThemeFile" (default "def") when it
// exists, else "Themes\default.ini" under the program folder.
plat::IniFile OpenThemeIni(std::string_view programFolder);
// The path of the theme file OpenThemeIni reads.
std::string themeFilePath(std::string_view programFolder);

// A media or picture name of the theme resolved under the program folder; a
// bare name gets `bareFolder` ("Images\", "Sound\", "Music\") in front.
std::string resolveThemeName(std::string_view programFolder, std::string_view name,
                             std::string_view bareFolder);

// A colour text of the theme ("0x00ffffff", hexadecimal, "0x" optional) as a
// COLORREF; anything else gives white.
uint32_t themeColor(const plat::IniFile& ini, std::string_view key);
// The splash timer in milliseconds: a positive integer, else 2000.
int splashTimer(const plat::IniFile& ini);

} // namespace vell
