// A fresh installation's settings. On Windows an installer recorded where the
// program lies, and the message table took its basic message set from
// there. Nothing installs the program here, so on a first start (no base
// message path and no installation record in the settings) the program points
// the base message path at the basic message set shipped in its own folder,
// as a path relative to the program folder.
#pragma once

#include <string>

namespace vell {

void registerInstallation();

} // namespace vell
