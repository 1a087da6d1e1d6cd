// Every file that the matches in progress have put under a real name, so
// that a match that stops the event takes them all back: a stopped event
// leaves only whole matches. A match's files are its logs (with the length
// each had before the match, when it appended to one with option 19), its
// committed digest append, and its output AK files (with the file each
// replaced, when it took an existing name).
//
// Normally one match is in progress: StartMatch begins it, and the files
// of a match before it, whole or left unfinished, stay for good. The
// battle royal keeps several fights open at once through the game
// contexts; each stays in progress until its own EndMatch2. A match whose
// EndMatch2 (or the hold of AbortMatch) ends it without a failed file
// keeps its files. The first failed file of a match (outputfault.h) takes
// back the files of every match in progress, and the match writes nothing
// more: logs appended to are cut back to what earlier matches wrote, files
// the match made are removed, a digest record is cut out again, and an
// output AK file that replaced an older file gives its name back to it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {
class AppendFile;
}

namespace cv {

// The file an output AK file replaced: a second name for it in its folder
// (plat::linkAside) or, where the file system gives none, its bytes.
struct ReplacedFile {
    std::string Aside;
    std::optional<std::string> Bytes;
};

// The file at `path` set aside before a new file takes its name; nothing
// when there is no such file.
ReplacedFile SetAside(std::string_view path);
// A file set aside that is not needed (the new file did not take the name).
void DropAside(const ReplacedFile& replaced);

struct MatchFileSet {
    MatchFileSet();
    ~MatchFileSet();
    MatchFileSet(const MatchFileSet&) = delete;
    MatchFileSet& operator=(const MatchFileSet&) = delete;

    struct Log {
        std::string Path;
        int64_t KeptLength = -1; // -1: the match made the file
    };
    struct AkFile {
        std::string Path;
        ReplacedFile Replaced;
    };
    std::string LogBase;
    bool InContext = false; // a battle royal fight, open while others start
    std::vector<Log> Logs;
    std::unique_ptr<plat::AppendFile> Digest;
    std::vector<AkFile> AkFiles;
};

struct MatchFiles {
    std::vector<std::unique_ptr<MatchFileSet>> Matches;
    MatchFileSet* Current = nullptr;
};

// StartMatch: a new match in progress under `logBase`; the matches before
// it that no game context keeps open are over and keep their files.
void BeginMatchFiles(std::string_view logBase);
// SaveGameContext: the current match stays in progress while others start.
void KeepMatchInContext();
// RestoreGameContext: the fight of `logBase` is the current match again.
void ResumeMatchFiles(std::string_view logBase);

// A file the current match put under its name. A log is noted at its
// first open in the match only.
void NoteMatchLog(std::string_view path, int64_t keptLength);
void NoteMatchDigest(std::unique_ptr<plat::AppendFile> committed);
void NoteMatchAkFile(std::string_view path, ReplacedFile replaced);

// The end of the current match (EndMatch2, a hold): without a failed file
// its files stay for good.
void SettleMatchFiles();
// Every match in progress gives back what it wrote, the newest file first;
// the log channels are closed and stay closed for the rest of the match.
void TakeBackMatchFiles();
// Every match's files stay as they are (the system starts or ends).
void ForgetMatchFiles();

} // namespace cv
