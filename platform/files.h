// File helpers on Shift-JIS paths. Every path goes through toOsPath(), so a
// relative path is taken against the program folder (never the current
// folder, which the program never changes), '\' separators work and missing
// components are found ignoring case.
//
// Whole-file rewrites of someone's data go through AtomicFile: the new content
// is written to a temporary file in the same folder and renamed over the old
// one only once it is complete, so a failure leaves the old file whole.
#pragma once

#include "platform/export.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// fopen() on a Shift-JIS path ("rb", "wb", "r+b", "ab"...). Relative paths are
// resolved under the program folder. nullptr on failure.
PLAT_API std::FILE* openFile(std::string_view path, const char* mode);

// Reads one whole line of any length; strips a final LF and a CR before it.
// False at end of file with nothing read. `hadNewline` (optional) tells
// whether the line was ended by LF.
PLAT_API bool readLine(std::FILE* f, std::string& line, bool* hadNewline = nullptr);
// The lines of bytes held in memory, each as readLine reads it from a file.
PLAT_API std::vector<std::string_view> splitLines(std::string_view bytes);

// Reads or writes a whole file as bytes.
PLAT_API std::optional<std::string> readWholeFile(std::string_view path);
// The same for a path already in the OS's form (no look-up ignoring case).
PLAT_API std::optional<std::string> readWholeOsFile(const std::string& osPath);

PLAT_API bool fileExists(std::string_view path);   // any kind of entry
PLAT_API bool isRegularFile(std::string_view path);
PLAT_API bool isDirectory(std::string_view path);
PLAT_API bool makeDirectory(std::string_view path); // true when it exists afterwards
PLAT_API bool removeFile(std::string_view path);
PLAT_API bool removeDirectory(std::string_view path); // empty folder only
PLAT_API bool renameFile(std::string_view from, std::string_view to);
PLAT_API std::optional<int64_t> fileSize(std::string_view path);
PLAT_API std::optional<std::time_t> fileMTime(std::string_view path);

// What tells whether a file changed since it was last read: its size, its
// modification and status-change times to the nanosecond, and its identity
// (a file replaced by a rename is another file even with the same times).
struct FileStamp {
    int64_t Size = 0;
    int64_t ModifiedNs = 0;
    int64_t ChangedNs = 0;
    uint64_t Inode = 0;
    uint64_t Device = 0;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of a regular file; nullopt when there is none.
PLAT_API std::optional<FileStamp> fileStamp(std::string_view path);
// Whether two paths name the same existing entry (file or folder, links
// followed): one device and inode.
PLAT_API bool sameFile(std::string_view a, std::string_view b);

// The Shift-JIS names in `folder` matching `pattern` ('*' any run, '?' one
// character, "*.*" everything; ASCII case ignored), sorted by name.
// Directories are listed only when `directories` is set ("." and ".." never).
// Names without a CP932 form are left out.
PLAT_API std::vector<std::string> listFolder(std::string_view folder, std::string_view pattern,
                                             bool directories = false);
PLAT_API bool wildcardMatch(std::string_view pattern, std::string_view name);

// The program's own temporary files in a folder: this prefix and six
// letters or digits (isTempFileName).
inline constexpr std::string_view TempFilePrefix = ".vell-tmp-";
inline constexpr int TempFileUniqueLength = 6;

// Creates a new empty file "<prefix><n random characters from A-Z0-9>" in
// `folder`, exclusively, retrying on a clash and on a name that differs only
// in case from an existing entry. Returns the chosen name (without the
// folder), or nullopt when the folder is not writable.
PLAT_API std::optional<std::string> createUniqueFile(std::string_view folder, std::string_view prefix, int n);

// A second name for the regular file at `path` in its own folder (a
// temporary file's name, TempFilePrefix and six random characters), so
// that the file can be put back after something else took its name: the
// Shift-JIS path of the new name, or nullopt when the file is not there or
// the file system cannot give it one (no hard links, a read-only or full
// folder).
PLAT_API std::optional<std::string> linkAside(std::string_view path);

// A file written in the folder of its target under a temporary file's name
// (TempFilePrefix and six random characters), which takes the target's name
// only once it is to stay (placeTempFile). Both OS paths are those of its
// making, so that putting it in place or removing it asks the file system
// for nothing more.
struct TempFile {
    std::string Path; // Shift-JIS
    std::string OsPath;
    std::string OsTarget; // the target's
};
// A new empty temporary file for the target `path`, made exclusively
// without reading the folder (unlike createUniqueFile) and, with `stream`,
// opened there for appending; nullopt when the folder takes no new file.
PLAT_API std::optional<TempFile> createTempFile(std::string_view path, std::FILE** stream = nullptr);
// The temporary file takes its target's name, which an older file leaves.
PLAT_API bool placeTempFile(const TempFile& temp);
PLAT_API bool removeTempFile(const TempFile& temp);

// How a committed file reaches the disk. Immediate: it is synced before it
// is renamed into place, so it is on the disk when commit() returns.
// Deferred: it takes the target's name at once (a reader never sees it half
// written) and is made durable later, with every other deferred file, by
// one syncDeferredWrites(): an event's output files get one durability
// point at the end of the event instead of a sync per file. A deferred
// rewrite of an existing file exchanges the two names in one step, and the
// old file becomes its folder's spare for the next deferred rewrite there,
// which writes over its bytes (creating a file costs a journaled disk far
// more than rewriting one, and emptying one frees its blocks); until the
// sync a power loss may leave a target with bytes of the file it replaced.
// syncDeferredWrites() removes the spares.
enum class Durability { Immediate, Deferred };

// Whether `name` (a name without its folder) is that of an AtomicFile's
// temporary file: ".vell-tmp-" and six letters or digits. A program killed
// in the middle of a write leaves one behind; a clean-up takes it away
// (a user's file of a name merely like it is not one).
PLAT_API bool isTempFileName(std::string_view name);

// A whole-file rewrite: write() into it, then commit() renames it into place.
// Destroyed without commit(), it removes its temporary file. Small writes
// are gathered in memory and go to the temporary file in large writes (at
// the latest in commit()), so a failure of the disk may show only at
// flush() or commit(); a large write goes to the file at once.
class PLAT_API AtomicFile {
public:
    enum PathKind { SystemPath, OsPath };
    // `path` is a Shift-JIS system path, or with OsPath a UTF-8 OS path.
    explicit AtomicFile(std::string_view path, PathKind kind = SystemPath,
                        Durability durability = Durability::Immediate);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    bool write(std::string_view bytes);
    bool write(const void* data, size_t size);
    // Hands what write() gathered to the temporary file; false when that
    // failed or an earlier write did.
    bool flush();
    // Flushes, syncs (Immediate) and puts the file in the target's place.
    // False (and the target left as it was) on any failure, including an
    // earlier failed write.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void abandon();

private:
    void closeFile();

    Durability durability_;
    bool exchange_ = false; // a deferred rewrite of a regular file
    bool reused_ = false;   // written over the folder's spare file
    int64_t spareSize_ = 0; // the spare's length before it was written over
    int64_t written_ = 0;   // bytes handed to the temporary file
    std::string target_;
    std::string temp_;
    std::string held_; // written, not yet handed to the file
    int fd_ = -1;
    bool failed_ = false;
};

// An append to a log file that lands whole or not at all: write() holds the
// bytes, commit() appends them to the end of the file in one go. When that
// fails the file is cut back to the length it had just before, and a file
// made anew for the append (`fresh`: emptied at commit, or created by the
// open) is removed. Destroyed without commit(), nothing is written and a
// file the open created is removed. No sync: a log is not a player's data.
class PLAT_API AppendFile {
public:
    AppendFile(std::string_view path, bool fresh);
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Whether an entry of that name was there before the open (any kind).
    bool existed() const { return existed_; }
    void write(std::string_view bytes) { held_ += bytes; }
    bool commit();
    // Takes the last successful commit back out: the file cut back to the
    // length it had before it, or removed when the append made it anew. A
    // file changed since the commit (another length, or replaced) is left
    // as it is. False when nothing was taken back.
    bool undoCommit();
    void abandon();

private:
    std::string path_; // OS path
    std::string held_;
    int fd_ = -1;
    bool fresh_ = false;
    bool created_ = false;
    bool existed_ = false;
    // What the last commit left: the length before and after it (-1 when
    // there is nothing to take back) and the file's identity.
    int64_t before_ = 0;
    int64_t after_ = -1;
    uint64_t device_ = 0;
    uint64_t inode_ = 0;
};

// Makes every file committed with Durability::Deferred since the last call
// durable: after the spare files are removed, a sync of each file still
// there and of each of their folders (the renames). False when a sync
// failed (a write-back error of the disk shows only here), with the
// Shift-JIS path of the first folder whose sync failed in `failedFolder`
// when given.
PLAT_API bool syncDeferredWrites(std::string* failedFolder = nullptr);
// Whether deferred files wait for syncDeferredWrites(). A test hook (the
// program itself never asks): tests check which writes were deferred.
PLAT_API bool deferredWritesPending();

// A failing device for tests of writers: once set to n ≥ 0, every AtomicFile
// write, AppendFile commit and writeToStream fails after n more bytes (the
// rest of that write is lost, as on a full disk); -1 turns it off.
PLAT_API void setAtomicWriteFault(long long bytesBeforeFailure);
// A disk whose write-back fails, for tests of the callers of
// syncDeferredWrites(): while set, every sync it makes fails.
PLAT_API void setSyncFault(bool failing);
// A folder that turned read-only, for tests of what a failure leaves
// behind: while set, every removeFile, renameFile, placeTempFile and
// removeTempFile fails (the files that are open stay writable).
PLAT_API void setFolderFault(bool refusing);

// Writes all of `bytes` to a stream opened by openFile (through the failing
// device above); false when not every byte reached the file.
PLAT_API bool writeToStream(std::FILE* f, std::string_view bytes);
// Cuts the file of an open stream back to `length` bytes.
PLAT_API bool truncateStream(std::FILE* f, int64_t length);

// Writes bytes to `path` through AtomicFile.
PLAT_API bool writeWholeFileAtomic(std::string_view path, std::string_view bytes);

// A private temporary file or folder under $TMPDIR (or /tmp), removed with
// everything in it when the object dies. Paths are UTF-8 (OS) paths.
class PLAT_API TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    bool ok() const { return !path_.empty(); }
    const std::string& osPath() const { return path_; }
    // Removes it now; false when something could not be removed.
    bool remove();

private:
    std::string path_;
};

// The system's temporary folder ($TMPDIR or /tmp), as an OS path.
PLAT_API std::string tempFolderOsPath();

} // namespace plat
