// The calls a game-mode plug-in makes into the other deliverables, in one
// place: the game processor's exports, the AK data library, the two readers of
// the configuration manager and the plug-in common library. A plug-in links
// CVCORE, VELL_AK, VELLCNF and VELLCMN (the frame's library brings them).
//
// Records cross as pointers to caller-owned memory; the game processor keeps
// GameSettings, both AKs and both combatant states by pointer from
// SetEnvironment/SetAkData to EndMatch2.
#pragma once

#include "akdata/akexports.h"
#include "base/akrecord.h"
#include "base/confrecords.h"
#include "common/vellcmn.h"
#include "config/vellcnf.h"
#include "core/combatant.h"
#include "core/cvexports.h"
#include "core/queue.h"
#include "core/system.h"
#include "platform/export.h"

#include <cstdint>
