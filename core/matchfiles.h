// Every file that the matches in progress have written, so that a match
// that stops the event takes them all back: a stopped event leaves only
// whole matches. A match's files are its logs, its committed digest
// append, and its output AK files (with the file each replaced, when it
// took an existing name).
//
// A log the match makes (and a digest file made anew for it) is written
// under a temporary name in its own folder (plat::createTempFile)
// and takes its real name only when the match keeps its files, so that
// neither a failure in a folder that no longer lets files go nor a crash
// leaves a cut log under a real name; an older file of that name stays
// until then. A log the match appends to (option 19) is written in place,
// with the length it had before the match.
//
// Normally one match is in progress: StartMatch begins it, and a match
// before it that was left unfinished keeps its files. The battle royal
// keeps several fights open at once through the game contexts; each stays
// in progress until its own EndMatch2. A match whose EndMatch2 (or the
// hold of AbortMatch) ends it without a failed file keeps its files; a log
// that cannot take its name then is the match's failed file. The first
// failed file of a match (outputfault.h) takes back the files of every
// match in progress, and the match writes nothing more: logs appended to
// are cut back to what earlier matches wrote, the temporary files of new
// logs are removed (where the folder refuses, they stay under their
// temporary names, which the next event's start removes), a digest record
// is cut out again, and an output AK file that replaced an older file
// gives its name back to it.
#pragma once

#include "platform/files.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
        // Where the match writes the log until it keeps it; none once it
        // has its name, or when the match writes the log in place.
        plat::TempFile Temp;
        // Written in place: the length it had before the match; -1 for a
        // log the match made.
        int64_t KeptLength = -1;
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

// The log `path` of the current match; null when the match has not
// opened it yet.
const MatchFileSet::Log* FindMatchLog(std::string_view path);

// A file the current match wrote. A log is noted at its first open in the
// match only: made as the temporary file `temp`, or (`temp` empty) written
// in place from `keptLength` bytes on.
void NoteMatchLog(std::string_view path, const plat::TempFile& temp, int64_t keptLength);
void NoteMatchDigest(std::unique_ptr<plat::AppendFile> committed);
void NoteMatchAkFile(std::string_view path, ReplacedFile replaced);

// The end of the current match (EndMatch2, a hold): without a failed file
// its files stay for good.
void SettleMatchFiles();
// Every match in progress gives back what it wrote, the newest file first;
// the log channels are closed and stay closed for the rest of the match.
void TakeBackMatchFiles();
// Every match in progress is left as it is and keeps its files, cut logs
// included: the game master ended it (the system starts or ends, a run
// stopped by "終了" leaves its fights open). The log channels are closed.
void KeepOpenMatchFiles();

} // namespace cv
