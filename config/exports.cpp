// The exported entries of libvellcnf.so: thin C wrappers over the logic and
// the dialogs that keep exceptions inside the library.
#include "config/vellcnf.h"

#include "config/conftree.h"
#include "config/dispattr.h"
#include "config/msgtable.h"
#include "config/treefolders.h"
#include "config/ui/dialogs.h"

#include <string_view>

namespace {

std::string_view folderText(const char* programFolder) {
    return programFolder ? std::string_view(programFolder) : std::string_view();
}

// A count handed by pointer; none means no user entries.
int countOf(const int* count) {
    return count ? *count : 0;
}

} // namespace

VELL_EXPORT void LoadMsgTable(const char* /*programFolder*/, char* basePath, AnnouncerEntry* announcers,
                              int* announcerCount, MsgEntry* pilots, int* pilotCount, MsgEntry* computers,
                              int* computerCount, MsgWords* words) {
    try {
        cnf::loadMsgTable(
            {basePath, announcers, announcerCount, pilots, pilotCount, computers, computerCount, words});
    } catch (...) {
    }
}

VELL_EXPORT void SaveMsgTable(const char* /*programFolder*/, const char* basePath,
                              const AnnouncerEntry* announcers, const int* announcerCount,
                              const MsgEntry* pilots, const int* pilotCount, const MsgEntry* computers,
                              const int* computerCount, const MsgWords* words) {
    try {
        cnf::saveMsgTable({basePath, announcers, countOf(announcerCount), pilots, countOf(pilotCount),
                           computers, countOf(computerCount), words});
    } catch (...) {
    }
}

VELL_EXPORT void LoadDispAttribute(const char* /*programFolder*/, DispAttribute* attr) {
    if (!attr) return;
    try {
        cnf::loadDispAttribute(*attr);
    } catch (...) {
    }
}

VELL_EXPORT void SaveDispAttribute(const char* /*programFolder*/, const DispAttribute* attr) {
    if (!attr) return;
    try {
        cnf::saveDispAttribute(*attr);
    } catch (...) {
    }
}

VELL_EXPORT int ChangeTreeNodeConf(void* node, const char* programFolder, ConfHeader* folders) {
    if (!node || !folders) return 0;
    try {
        cnf::changeTreeNodeConf(*static_cast<cnf::ConfNode*>(node), folderText(programFolder), *folders);
    } catch (...) {
    }
    return 0;
}

VELL_EXPORT int ConfigureEnv(int /*unused*/) {
    try {
        return cnf::ui::configureEnvEntry();
    } catch (...) {
        return cnf::DialogCancel;
    }
}

VELL_EXPORT int ConfigureGame(const char* programFolder, ConfNodeRec* node) {
    try {
        return cnf::ui::configureGameEntry(folderText(programFolder), node);
    } catch (...) {
        return 0;
    }
}

VELL_EXPORT int ConfigureFolder(const char* programFolder, ConfNodeRec* node, ConfHeader* folders) {
    try {
        return cnf::ui::configureFolderEntry(folderText(programFolder), node, folders);
    } catch (...) {
        return 0;
    }
}
