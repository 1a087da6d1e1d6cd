// The configuration manager's entries, exported under their own names with C
// signatures. The plug-ins link LoadMsgTable and LoadDispAttribute; the main
// program binds ConfigureEnv, ConfigureGame, ConfigureFolder and
// ChangeTreeNodeConf by name at run time.
//
// Message-table arguments come in the order announcers, pilots, computers.
// The caller's buffers: basePath 256 bytes, announcers[50], pilots[200],
// computers[100]; the counts are numbers of user entries (slot 0 is the
// built-in entry).
#pragma once

#include "base/confrecords.h"
#include "platform/export.h"

VELL_EXPORT void LoadMsgTable(const char* programFolder, char* basePath, AnnouncerEntry* announcers,
                              int* announcerCount, MsgEntry* pilots, int* pilotCount, MsgEntry* computers,
                              int* computerCount, MsgWords* words);
// SaveMsgTable takes the same nine arguments as LoadMsgTable; a null count
// saves no user entries for its list.
VELL_EXPORT void SaveMsgTable(const char* programFolder, const char* basePath,
                              const AnnouncerEntry* announcers, const int* announcerCount,
                              const MsgEntry* pilots, const int* pilotCount, const MsgEntry* computers,
                              const int* computerCount, const MsgWords* words);
VELL_EXPORT void LoadDispAttribute(const char* programFolder, DispAttribute* attr);
VELL_EXPORT void SaveDispAttribute(const char* programFolder, const DispAttribute* attr);

// node is a cnf::ConfNode of the shared conf tree (config/conftree.h); the
// folders come in a ConfHeader-shaped buffer, whose folders that name no
// directory are blanked. Always 0.
VELL_EXPORT int ChangeTreeNodeConf(void* node, const char* programFolder, ConfHeader* folders);

// The dialogs, application-modal top-level windows. ConfigureEnv: 1 after
// OK, 2 after Cancel. ConfigureGame: 1 when the conf was saved, 0 for a node
// that is not a conf, a missing file (41042 shown) or a conf that could not
// be written, 2 when cancelled. ConfigureFolder: 1 when accepted (the
// buffer's four folder fields filled), 0 for a node that is not a net or no
// buffer, 2 when cancelled. Without a QApplication on the calling thread no
// window is shown and a dialog answers as cancelled.
VELL_EXPORT int ConfigureEnv(int unused);
VELL_EXPORT int ConfigureGame(const char* programFolder, ConfNodeRec* node);
VELL_EXPORT int ConfigureFolder(const char* programFolder, ConfNodeRec* node, ConfHeader* folders);
