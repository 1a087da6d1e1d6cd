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

// The match is over: what it replaced is no longer needed.
void keep(MatchFileSet& set) {
    for (const MatchFileSet::AkFile& ak : set.AkFiles) DropAside(ak.Replaced);
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
        if (log->KeptLength < 0) {
            plat::removeFile(log->Path);
        } else if (std::FILE* f = plat::openFile(log->Path, "r+b")) {
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
    MatchFiles& f = files();
    // A fight a cancelled run left open under the same name is over too:
    // its files are this match's to write anew.
    std::erase_if(f.Matches, [&](const std::unique_ptr<MatchFileSet>& set) {
        if (set->InContext && set->LogBase != logBase) return false;
        keep(*set);
        return true;
    });
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

void NoteMatchLog(std::string_view path, int64_t keptLength) {
    MatchFileSet& set = current();
    for (const MatchFileSet::Log& log : set.Logs)
        if (log.Path == path) return;
    set.Logs.push_back({std::string(path), keptLength});
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
    keep(*f.Current);
    std::erase_if(f.Matches, [&](const std::unique_ptr<MatchFileSet>& set) { return set.get() == f.Current; });
    f.Current = nullptr;
}

void TakeBackMatchFiles() {
    AbandonLogChannels();
    MatchFiles& f = files();
    for (auto set = f.Matches.rbegin(); set != f.Matches.rend(); ++set) takeBack(**set);
    f.Matches.clear();
    f.Current = nullptr;
}

void ForgetMatchFiles() {
    MatchFiles& f = files();
    for (const auto& set : f.Matches) keep(*set);
    f.Matches.clear();
    f.Current = nullptr;
}

} // namespace cv
