// Giving every conf below a node the folders of the folder dialog.
#include "config/treefolders.h"

#include "base/sjis.h"
#include "config/conffile.h"
#include "config/confpath.h"
#include "platform/files.h"
#include "sjis/cnf_text.h"

#include <vector>

namespace cnf {

void checkFolders(std::string_view programFolder, ConfHeader& folders) {
    char* base = reinterpret_cast<char*>(&folders);
    for (size_t off : FolderOffsets) {
        std::string_view text = sjis::readField(base + off, FolderSize);
        if (text.empty()) continue;
        if (text == text::NoChange || !plat::isDirectory(resolve(programFolder, text)))
            sjis::writeField(base + off, FolderSize, "");
    }
}

void applyFoldersTree(ConfNode& node, std::string_view programFolder, const ConfHeader& folders) {
    // Depth first, children in order, on an explicit stack.
    std::vector<ConfNode*> stack{&node};
    while (!stack.empty()) {
        ConfNode* n = stack.back();
        stack.pop_back();
        if (n->children.empty()) {
            if (n->isConf()) applyConfFolders(n->rec, programFolder, folders);
            continue;
        }
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) stack.push_back(it->get());
    }
}

int changeTreeNodeConf(ConfNode& node, std::string_view programFolder, ConfHeader& folders) {
    checkFolders(programFolder, folders);
    applyFoldersTree(node, programFolder, folders);
    return 0;
}

} // namespace cnf
