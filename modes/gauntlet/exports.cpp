// The gauntlet plug-in's export: GameStart, which the main program calls by
// name for a conf of game form 5.
#include "base/aksourcelist.h"
#include "base/confrecords.h"
#include "modes/frame/ui/gamestart.h"
#include "modes/gauntlet/vmmain.h"
#include "platform/export.h"

#include <cstdint>

// Shows the simulation's set-up window modally and returns its modal result
// (2 when it could not be shown). The program folder and the application
// object are not used.
VELL_EXPORT int32_t GameStart(const char* programFolder, GameSettings* settings, ConfHeader* header,
                              AkSourceList* sources, void* application) {
    (void)programFolder;
    (void)application;
    return modes::ui::RunModeForm<gauntlet::TFormGauntlet>(settings, header, sources);
}
