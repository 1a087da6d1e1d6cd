// The clean-up of old outputs and of a crash's temporary files.
#include "modes/frame/outputs.h"

#include "base/outputak.h"
#include "modes/frame/entrants.h"
#include "modes/frame/runthread.h"
#include "modes/frame/textfmt.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sjis/frame_text.h"

#include <cstdint>
#include <optional>
#include <set>
#include <unordered_set>
#include <utility>

namespace modes {

namespace {

// The identity of the existing file a stored path names.
std::optional<std::pair<uint64_t, uint64_t>> identity(std::string_view path) {
    std::optional<plat::FileStamp> stamp = plat::fileStamp(path);
    if (!stamp) return std::nullopt;
    return std::pair<uint64_t, uint64_t>(stamp->Device, stamp->Inode);
}

// The entrants' own files, known by their identity on the disk: each is
// looked up once, so a clean-up of n old files against m entrants costs
// n + m look-ups instead of n times m.
class KeptFiles {
public:
    explicit KeptFiles(const std::vector<std::string>& paths) {
        for (const std::string& p : paths)
            if (auto id = identity(p)) ids_.insert(*id);
    }
    bool contains(std::string_view path) const {
        auto id = identity(path);
        return id && ids_.count(*id) != 0;
    }

private:
    std::set<std::pair<uint64_t, uint64_t>> ids_; // device, inode
};

// The output stem of a listed name, from its upper-cased key: the part
// before the last '.' (never the trail byte of a double-byte character).
std::string stemOfKey(std::string_view key) {
    return std::string(key.substr(0, key.rfind('.')));
}

} // namespace

bool deleteOldOutputs(const OldOutputs& what, const CleanupStep& step) {
    const KeptFiles kept(what.Keep);
    std::unordered_set<std::string> stems;
    bool sharedFolder = false;
    if (what.AkFiles == OutputAkFiles::DeleteEntrantsWhereShared && !what.AkOutputFolder.empty()) {
        const std::string outFolder = joinFolder(what.AkOutputFolder, ".");
        for (const std::string& p : what.Keep) {
            if (p.empty()) continue;
            stems.insert(outputStem(p));
            const plat::PathParts parts = plat::splitPath(p);
            sharedFolder = sharedFolder || plat::sameFile(parts.drive + parts.dir + ".", outFolder);
        }
    }
    auto outputAk = [&](const plat::FolderName& entry) {
        if (what.AkFiles == OutputAkFiles::Keep || !ak::isOutputAkName(entry.Name)) return false;
        return !sharedFolder || stems.count(stemOfKey(entry.Key)) != 0;
    };
    auto log = [&](const plat::FolderName& entry) {
        return !what.LogPattern.empty() && plat::wildcardMatch(what.LogPattern, entry.Name);
    };
    // The names first (one read of each folder), then the files one by one:
    // on a slow disk the deleting is what takes long.
    std::vector<std::string> candidates;
    auto collect = [&candidates](const std::string& folder, auto takes) {
        if (folder.empty()) return;
        for (const plat::FolderName& entry : plat::indexedFolderNames(folder))
            if (plat::isTempFileName(entry.Name) || takes(entry))
                candidates.push_back(joinFolder(folder, entry.Name));
    };
    collect(what.AkOutputFolder, outputAk);
    collect(what.ResultFolder, log);
    const int total = static_cast<int>(candidates.size());
    for (int i = 0; i < total; ++i) {
        if (step && !step(i, total)) return false;
        const std::string& path = candidates[static_cast<size_t>(i)];
        if (plat::isRegularFile(path) && !kept.contains(path)) plat::removeFile(path);
    }
    return true;
}

bool cleanUpAtRunStart(RunThread& thread, const std::function<bool(const CleanupStep&)>& clean) {
    RunHost& host = thread.host();
    // The window shows the step until the clean-up is over, however it ends.
    struct Shown {
        RunHost& host;
        ~Shown() { host.showCleanup("", 0, 0); }
    } shown{host};
    host.showCleanup(text::CleanupStatus, 0, 0);
    // The window hears of each hundredth part of the files, not of each file.
    int part = -1;
    const bool finished = clean([&](int done, int total) {
        const int now = static_cast<int>(int64_t{done} * 100 / total);
        if (now != part) {
            part = now;
            host.showCleanup(text::CleanupStatus, done, total);
        }
        return !thread.terminated();
    });
    return finished && !thread.terminated();
}

void deleteRunOutputs(const std::vector<std::string>& written, const std::vector<std::string>& keep) {
    const KeptFiles kept(keep);
    for (const std::string& path : written)
        if (plat::isRegularFile(path) && !kept.contains(path)) plat::removeFile(path);
}

} // namespace modes
