// Entrant rows of an event.
#include "modes/frame/entrants.h"

#include "base/outputak.h"
#include "modes/frame/textfmt.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sjis/frame_text.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

namespace modes {

namespace {

// "すでに登録されている機体と出力する機体データのファイル名が重なるため、…"
constexpr int StemTakenMessage = 41051;

} // namespace

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

std::string outputStem(std::string_view path) {
    return plat::upperCaseKey(plat::splitPath(path).name);
}

std::vector<size_t> distinctStemRows(const std::vector<std::string>& files, size_t n,
                                     const EntrantList& taken, std::vector<size_t>* passedOver) {
    std::vector<size_t> rows;
    std::unordered_set<std::string> stems;
    for (const Entrant& e : taken)
        if (!e.Path.empty()) stems.insert(outputStem(e.Path));
    for (size_t i = 0; i < files.size() && rows.size() < n; ++i) {
        if (stems.insert(outputStem(files[i])).second)
            rows.push_back(i);
        else if (passedOver)
            passedOver->push_back(i);
    }
    return rows;
}

void reportStemsTaken(const std::vector<std::string>& files, void* owner) {
    if (files.empty()) return;
    std::string names;
    for (size_t i = 0; i < files.size() && i < MaxNamedFiles; ++i) {
        if (i > 0) names += '\n';
        names += files[i];
    }
    if (files.size() > MaxNamedFiles) {
        names += '\n';
        names += text::MoreFiles;
    }
    plat::msg::showError(StemTakenMessage, {names}, plat::msg::Style{true, owner});
}

bool stemTaken(const EntrantList& list, std::string_view path, size_t except) {
    const std::string stem = outputStem(path);
    for (size_t i = 0; i < list.size(); ++i)
        if (i != except && !list[i].Path.empty() && outputStem(list[i].Path) == stem) return true;
    return false;
}

namespace {

// The output AK file numbered `n` of the input's stem.
std::string outputAkFile(std::string_view inputPath, std::string_view akOutputFolder, int n) {
    return joinFolder(akOutputFolder, plat::splitPath(inputPath).name + ".da" + std::to_string(n));
}

// The number of the input's output AK name when the input file itself is
// that file of the output folder (the name looked up as the game processor
// looks it up); 0 when it lies elsewhere or has another name.
int ownOutputNumber(std::string_view inputPath, std::string_view akOutputFolder) {
    const plat::PathParts parts = plat::splitPath(inputPath);
    if (!ak::isOutputAkExtension(parts.extension)) return 0;
    const int n = std::atoi(parts.extension.c_str() + 3);
    return plat::sameFile(outputAkFile(inputPath, akOutputFolder, n), inputPath) ? n : 0;
}

} // namespace

std::string lastOutputAkFile(std::string_view inputPath, int32_t matches, std::string_view akOutputFolder,
                             bool da1Only) {
    if (da1Only) return outputAkFile(inputPath, akOutputFolder, 1);
    const int own = ownOutputNumber(inputPath, akOutputFolder);
    const int64_t last = int64_t{matches} + (own >= 1 && own <= matches ? 1 : 0);
    return outputAkFile(inputPath, akOutputFolder,
                        static_cast<int>(std::clamp<int64_t>(last, 1, ak::MaxOutputAkNumber)));
}

bool outputOverwritesInput(std::string_view inputPath, int32_t matches, std::string_view akOutputFolder,
                           bool da1Only) {
    const int own = ownOutputNumber(inputPath, akOutputFolder);
    if (da1Only) return own == 1;
    return own == ak::MaxOutputAkNumber && matches >= ak::MaxOutputAkNumber;
}

std::vector<const char*> pathArray(const EntrantList& list) {
    std::vector<const char*> paths;
    paths.reserve(list.size() + 1);
    for (const Entrant& e : list) paths.push_back(e.Path.c_str());
    paths.push_back(nullptr);
    return paths;
}

} // namespace modes
