// Entrant rows of an event.
#include "modes/frame/entrants.h"

#include "modes/frame/textfmt.h"

namespace modes {

std::unique_ptr<RoyalEntryRecord> newRow() {
    auto row = std::make_unique<RoyalEntryRecord>();
    *row = RoyalEntryRecord{};
    return row;
}

Entrant makeEntrant(std::string_view folder, std::string_view file) {
    Entrant e;
    e.Path = joinFolder(folder, file);
    e.Record = newRow();
    std::string folderText(folder), fileText(file);
    cmnMakeDigest2(folderText.c_str(), fileText.c_str(), e.row());
    return e;
}

Entrant makeRoyalEntrant(std::string_view folder, std::string_view file, bool* loaded) {
    Entrant e;
    e.Path = joinFolder(folder, file);
    e.Record = newRow();
    std::string folderText(folder), fileText(file);
    int32_t result = cmnMakeDigest3(folderText.c_str(), fileText.c_str(), e.royal());
    if (loaded) *loaded = result == 0;
    return e;
}

std::vector<const char*> pathArray(const EntrantList& list) {
    std::vector<const char*> paths;
    paths.reserve(list.size() + 1);
    for (const Entrant& e : list) paths.push_back(e.Path.c_str());
    paths.push_back(nullptr);
    return paths;
}

} // namespace modes
