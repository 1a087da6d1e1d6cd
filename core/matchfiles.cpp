// The files of the matches in progress, and taking them back.
#include "core/matchfiles.h"

#include "core/logwriter.h"
#include "core/module.h"
#include "core/outputfault.h"
#include "platform/files.h"

#include <algorithm>
#include <cstdio>

namespace cv {

namespace {

MatchFiles& files() {
    return Module().Files;
}

MatchFileSet& current() {
    MatchFiles& f = files();
    if (!f.Current) {
        f.Matches.push_back(std::make_unique<MatchFileSet>());
        f.Current = f.Matches.back().get();
    }
    return *f.Current;
}

// The match is over and keeps its files: its new logs take their real
// names, and what its output AK files replaced is no longer needed. False,
// with the log in `failed`, when a log cannot take its name: the match is
// then taken back whole (a log that took its name before it is removed).
bool keep(MatchFileSet& set, std::string& failed) {
    for (MatchFileSet::Log& log : set.Logs) {
        if (log.Temp.Path.empty()) continue;
        if (!plat::placeTempFile(log.Temp)) {
            failed = log.Path;
            return false;
        }
        log.Temp = {};
    }
    for (const MatchFileSet::AkFile& ak : set.AkFiles) DropAside(ak.Replaced);
    return true;
}

// The matches `over` names keep their files and are no longer in
// progress. A log that cannot take its name is the failed file, which
// takes back every match in progress.
template <class Over> void keepMatches(Over over) {
    MatchFiles& f = files();
    for (size_t i = 0; i < f.Matches.size();) {
        MatchFileSet& set = *f.Matches[i];
        if (!over(set)) {
            ++i;
            continue;
        }
        std::string failed;
        if (!keep(set, failed)) {
            ReportFailedFile(CannotWriteOutput, failed);
            return;
        }
        if (f.Current == &set) f.Current = nullptr;
        f.Matches.erase(f.Matches.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void takeBack(MatchFileSet& set) {
    if (set.Digest) set.Digest->undoCommit();
    for (auto ak = set.AkFiles.rbegin(); ak != set.AkFiles.rend(); ++ak) {
        const ReplacedFile& old = ak->Replaced;
        if (!old.Aside.empty()) {
            if (!plat::renameFile(old.Aside, ak->Path)) plat::removeFile(ak->Path);
        } else {
            // The new file goes first: its space is what the old one needs.
            plat::removeFile(ak->Path);
            if (old.Bytes) plat::writeWholeFileAtomic(ak->Path, *old.Bytes);
        }
    }
    for (auto log = set.Logs.rbegin(); log != set.Logs.rend(); ++log) {
        if (!log->Temp.Path.empty()) {
            plat::removeTempFile(log->Temp);
        } else if (log->KeptLength < 0) {
            plat::removeFile(log->Path);
        } else if (std::FILE* f = plat::openFile(log->Path, "r+b")) {
            // A cut works in a folder that lets no file go.
            plat::truncateStream(f, log->KeptLength);
            std::fclose(f);
        }
    }
}

} // namespace

MatchFileSet::MatchFileSet() = default;
MatchFileSet::~MatchFileSet() = default;

ReplacedFile SetAside(std::string_view path) {
    ReplacedFile replaced;
    if (!plat::isRegularFile(path)) return replaced;
    if (std::optional<std::string> aside = plat::linkAside(path))
        replaced.Aside = std::move(*aside);
    else
        replaced.Bytes = plat::readWholeFile(path);
    return replaced;
}

void DropAside(const ReplacedFile& replaced) {
    if (!replaced.Aside.empty()) plat::removeFile(replaced.Aside);
}

void BeginMatchFiles(std::string_view logBase) {
    // A fight a cancelled run left open under the same name is over too:
    // its files are this match's to write anew.
    keepMatches([&](const MatchFileSet& set) { return !set.InContext || set.LogBase == logBase; });
    MatchFiles& f = files();
    f.Matches.push_back(std::make_unique<MatchFileSet>());
    f.Current = f.Matches.back().get();
    f.Current->LogBase = logBase;
}

void KeepMatchInContext() {
    current().InContext = true;
}

void ResumeMatchFiles(std::string_view logBase) {
    MatchFiles& f = files();
    auto it = std::find_if(f.Matches.begin(), f.Matches.end(),
                           [&](const std::unique_ptr<MatchFileSet>& set) { return set->LogBase == logBase; });
    if (it != f.Matches.end()) {
        f.Current = it->get();
        return;
    }
    f.Matches.push_back(std::make_unique<MatchFileSet>());
    f.Current = f.Matches.back().get();
    f.Current->LogBase = logBase;
    f.Current->InContext = true;
}

const MatchFileSet::Log* FindMatchLog(std::string_view path) {
    const MatchFiles& f = files();
    if (!f.Current) return nullptr;
    for (const MatchFileSet::Log& log : f.Current->Logs)
        if (log.Path == path) return &log;
    return nullptr;
}

void NoteMatchLog(std::string_view path, const plat::TempFile& temp, int64_t keptLength) {
    if (FindMatchLog(path)) return;
    current().Logs.push_back({std::string(path), temp, keptLength});
}

void NoteMatchDigest(std::unique_ptr<plat::AppendFile> committed) {
    current().Digest = std::move(committed);
}

void NoteMatchAkFile(std::string_view path, ReplacedFile replaced) {
    current().AkFiles.push_back({std::string(path), std::move(replaced)});
}

void SettleMatchFiles() {
    MatchFiles& f = files();
    if (!f.Current || FailedFile().Message != 0) return;
    const MatchFileSet* settled = f.Current;
    keepMatches([&](const MatchFileSet& set) { return &set == settled; });
    f.Current = nullptr;
}

void TakeBackMatchFiles() {
    AbandonLogChannels();
    MatchFiles& f = files();
    for (auto set = f.Matches.rbegin(); set != f.Matches.rend(); ++set) takeBack(**set);
    f.Matches.clear();
    f.Current = nullptr;
}

void KeepOpenMatchFiles() {
    CloseLogs(false);
    keepMatches([](const MatchFileSet&) { return true; });
    files().Current = nullptr;
}

} // namespace cv
