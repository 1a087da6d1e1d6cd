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

PLAT_API bool fileExists(std::string_view path);   // any kind of entry
PLAT_API bool isRegularFile(std::string_view path);
PLAT_API bool isDirectory(std::string_view path);
PLAT_API bool makeDirectory(std::string_view path); // true when it exists afterwards
PLAT_API bool removeFile(std::string_view path);
PLAT_API bool removeDirectory(std::string_view path); // empty folder only
PLAT_API bool renameFile(std::string_view from, std::string_view to);
PLAT_API std::optional<int64_t> fileSize(std::string_view path);
PLAT_API std::optional<std::time_t> fileMTime(std::string_view path);

// The Shift-JIS names in `folder` matching `pattern` ('*' any run, '?' one
// character, "*.*" everything; ASCII case ignored), sorted by name.
// Directories are listed only when `directories` is set ("." and ".." never).
// Names without a CP932 form are left out.
PLAT_API std::vector<std::string> listFolder(std::string_view folder, std::string_view pattern,
                                             bool directories = false);
PLAT_API bool wildcardMatch(std::string_view pattern, std::string_view name);

// Creates a new empty file "<prefix><n random characters from A-Z0-9>" in
// `folder`, exclusively, retrying on a clash and on a name that differs only
// in case from an existing entry. Returns the chosen name (without the
// folder), or nullopt when the folder is not writable.
PLAT_API std::optional<std::string> createUniqueFile(std::string_view folder, std::string_view prefix, int n);

// A whole-file rewrite: write() into it, then commit() renames it into place.
// Destroyed without commit(), it removes its temporary file.
class PLAT_API AtomicFile {
public:
    enum PathKind { SystemPath, OsPath };
    // `path` is a Shift-JIS system path, or with OsPath a UTF-8 OS path.
    explicit AtomicFile(std::string_view path, PathKind kind = SystemPath);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    std::FILE* handle() { return file_; }
    bool write(std::string_view bytes);
    bool write(const void* data, size_t size);
    // Flushes, syncs and renames over the target. False (and the target left
    // as it was) on any failure, including an earlier failed write.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void abandon();

private:
    std::string target_;
    std::string temp_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

// A failing device for tests of writers: once set to n ≥ 0, every AtomicFile
// write fails after n more bytes (the rest of that write is lost, as on a
// full disk); -1 turns it off.
PLAT_API void setAtomicWriteFault(long long bytesBeforeFailure);

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
