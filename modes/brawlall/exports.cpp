// The battle royal plug-in's export: GameStart, which the main program calls
// by name for a conf of game form 2.
#include "base/aksourcelist.h"
#include "base/confrecords.h"
#include "modes/brawlall/brmain.h"
#include "modes/frame/ui/gamestart.h"
#include "platform/export.h"

#include <cstdint>

// Shows the battle royal's set-up window modally and returns its modal
// result (2 when it could not be shown). The program folder and the
// application object are not used.
VELL_EXPORT int32_t GameStart(const char* programFolder, GameSettings* settings, ConfHeader* header,
                              AkSourceList* sources, void* application) {
    (void)programFolder;
    (void)application;
    return modes::ui::RunModeForm<brawl::ui::TFormRoyal>(settings, header, sources);
}
