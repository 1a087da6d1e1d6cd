// Window placement kept in the settings store: a window of name N stores
// N"Top", N"Left", N"Height" and N"Width" as decimal text under
// "Software\Dunmoor\CVVell\Window" (-1 when missing). Windows restore their
// position and size when created and save them when closed. Position and size
// are saved and restored as the same Qt quantities (pos()/move(),
// size()/resize()) so that a window does not creep by its frame.
#pragma once

#include "platform/export.h"

#include <string_view>

class QWidget;

namespace plat::ui {

// True when a stored place was restored; a window without one is centred.
PLAT_API bool LoadWindowPosition(std::string_view name, QWidget* window);
PLAT_API void SaveWindowPosition(std::string_view name, QWidget* window);
PLAT_API void LoadWindowSize(std::string_view name, QWidget* window);
PLAT_API void SaveWindowSize(std::string_view name, QWidget* window);

// Centres the window on the screen it is on (or the primary screen).
PLAT_API void centreOnScreen(QWidget* window);

} // namespace plat::ui
