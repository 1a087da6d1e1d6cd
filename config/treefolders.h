// The folder dialog's bulk change: the four folders of a ConfHeader-shaped
// buffer (AK input, AK output, results, weapon data) given to every conf
// below a tree node. Folders that name no existing directory are blanked in
// the caller's buffer first, and blank folders change nothing, so the
// dialog's preset "変更無し" leaves every conf as it was.
#pragma once

#include "base/confrecords.h"
#include "config/conftree.h"

#include <string_view>

namespace cnf {

// Blanks each folder field that is not an existing directory (relative
// folders are taken under the program folder; "変更無し" never counts).
void checkFolders(std::string_view programFolder, ConfHeader& folders);

// Walks the subtree depth first: every node with children passes the call to
// them in order; a childless conf gets the folders. Childless nets are left
// alone.
void applyFoldersTree(ConfNode& node, std::string_view programFolder, const ConfHeader& folders);

// checkFolders, then applyFoldersTree. Always 0.
int changeTreeNodeConf(ConfNode& node, std::string_view programFolder, ConfHeader& folders);

} // namespace cnf
