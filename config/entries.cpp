// The flows of the game settings and folder entries around their windows.
#include "config/entries.h"

#include "base/sjis.h"
#include "config/conffile.h"
#include "sjis/cnf_text.h"

namespace cnf {

int configureGame(std::string_view programFolder, ConfNodeRec* node, const GameDialog& dialog) {
    if (!node || node->Kind != 1) return 0;
    auto conf = openConfOfNode(programFolder, *node);
    if (!conf) return 0;
    int result = dialog(*conf);
    if (result != DialogOk) return result;
    return storeConfOfNode(programFolder, *node, *conf) ? DialogOk : 0;
}

int configureFolder(ConfNodeRec* node, ConfHeader* folders, const FolderDialog& dialog) {
    // Only a net takes folders, and only into a buffer.
    if (!node || node->Kind != 0 || !folders) return 0;
    FolderTexts texts;
    texts.fill(text::NoChange);
    int result = dialog(texts);
    if (result != DialogOk) return result;
    char* base = reinterpret_cast<char*>(folders);
    for (size_t i = 0; i < texts.size(); ++i) sjis::writeField(base + FolderOffsets[i], FolderSize, texts[i]);
    return result;
}

} // namespace cnf
