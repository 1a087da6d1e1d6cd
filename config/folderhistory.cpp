// Reading and writing the folder histories of the game settings dialog.
#include "config/folderhistory.h"

#include "platform/registry.h"

#include <algorithm>
#include <cstdio>

namespace cnf {

namespace {

constexpr char CorvaneKey[] = "Software\\Corvane";

std::string valueName(int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%4.4d", i);
    return buf;
}

std::vector<std::string> readList(std::string_view section, std::string_view programFolder) {
    std::string key = std::string(CorvaneKey) + "\\" + std::string(section);
    std::vector<std::string> list;
    for (int i = 0; i < HistorySize; ++i) {
        std::string v = plat::reg::readString(key, valueName(i), "");
        if (i == 0 && v.empty()) v = programFolder;
        if (!v.empty()) list.push_back(std::move(v));
    }
    return list;
}

} // namespace

FolderHistories loadFolderHistories(std::string_view programFolder) {
    return {readList("AK", programFolder), readList("Weapon", programFolder),
            readList("Text", programFolder)};
}

bool saveResultHistory(const std::vector<std::string>& result) {
    {
        plat::reg::Batch batch;
        std::string key = std::string(CorvaneKey) + "\\Text";
        for (int i = 0; i < HistorySize; ++i)
            plat::reg::writeValue(key, valueName(i),
                                  i < static_cast<int>(result.size()) ? std::string_view(result[i]) : "");
    }
    return plat::reg::flush();
}

void pushRecentFolder(std::vector<std::string>& list, std::string_view folder) {
    auto it = std::find(list.begin(), list.end(), folder);
    if (it != list.end()) {
        std::rotate(list.begin(), it, it + 1);
        return;
    }
    list.insert(list.begin(), std::string(folder));
    if (list.size() > static_cast<size_t>(HistorySize)) list.resize(HistorySize);
}

} // namespace cnf
