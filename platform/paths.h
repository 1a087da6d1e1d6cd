// Program folder and Windows-style paths.
//
// Records and conf files store paths the way the system always wrote them:
// Shift-JIS bytes, relative to the program folder, with '\' separators
// ("Config\VLCNF000001"). Here the program folder is the game master's data
// folder, held as Shift-JIS and ending in '/'; the program's own files (the
// libraries, the plug-ins) lie apart in the library folder. A stored path meets
// the file system only through toOsPath(), which turns '\' into '/' (walking
// characters, so the trail byte 5C of ソ or 表 stays), converts to UTF-8 and
// looks up path components that do not exist as given ignoring ASCII case.
#pragma once

#include "platform/export.h"

#include <optional>
#include <string>
#include <sys/stat.h>
#include <string_view>
#include <vector>

namespace plat {

// The program folder (Shift-JIS, ends in '/'): the folder handed to every
// library for data (Config, Format, Themes, AkData, results, the relative
// paths of confs). It is the game master's data folder,
// userFolder("XDG_DATA_HOME", ".local/share"), determined once unless a test
// has set it.
PLAT_API const std::string& programFolder();
// Replaces the program folder (tests, tools). A missing final separator is added.
PLAT_API void setProgramFolder(std::string_view folderCp932);
// The OS path of this system's folder under a per-user base folder of the
// desktop: $<variable>/corvane-vell/ when the variable holds an absolute
// path, else $HOME/<homeFallback>/corvane-vell/.
PLAT_API std::string userFolder(const char* variable, const char* homeFallback);
// The folder of the program's own files (Shift-JIS, ends in '/'): the
// system's libraries, the plug-ins and their version sidecars, where the
// platform library itself was loaded from. Determined once unless a test has
// set it.
PLAT_API const std::string& libraryFolder();
PLAT_API void setLibraryFolder(std::string_view folderCp932);
// The OS paths (UTF-8, ending in '/') from which programFolder() and
// libraryFolder() are determined; empty when the library folder cannot be
// found. A folder whose path has no Shift-JIS form cannot serve the system
// (those two end the program), so a start checks them first and names such a
// folder to the game master.
PLAT_API std::string dataFolderOsPath();
PLAT_API std::string libraryFolderOsPath();

// Absolute means: byte 1 is ':' (a drive), or the first byte is '\' or '/'.
PLAT_API bool isAbsolutePath(std::string_view path);
// The looser test of the event launch: also any ':' in the text.
PLAT_API bool isAbsolutePathLoose(std::string_view path);
// True when the text ends in '/' or in a '\' that is a whole character.
PLAT_API bool endsWithSeparator(std::string_view path);
// Offset of the last separator ('/' or a whole-character '\'), npos when none.
PLAT_API size_t lastSeparator(std::string_view path);

// The form in which a person reads a path (boxes, captions, status bars,
// memos, log lines): an absolute path, one that begins with '/' or '\', with
// every separator a '/', so that it names the file as the file system
// spells it. Anything else (a relative folder as a conf stores it, a bare
// name, a drive form) is shown as it is stored. Walks characters: a trail
// byte 5C (ソ, 表) stays.
PLAT_API std::string shownPath(std::string_view path);
// Every separator of the path a '/', whatever its kind, walking characters
// (a trail byte 5C stays): how the settings dialogs' folder boxes show a
// stored folder, relative ones included.
PLAT_API std::string slashedPath(std::string_view path);

// folder + name, with a separator between them when the folder has none.
PLAT_API std::string joinPath(std::string_view folder, std::string_view name);
// A relative path gets the program folder in front; an absolute one stays.
PLAT_API std::string resolvePath(std::string_view path);
// True when `path` starts with `prefix`, '\' and '/' comparing equal.
PLAT_API bool hasPathPrefix(std::string_view path, std::string_view prefix);

struct PathParts {
    std::string drive;     // "C:" or empty
    std::string dir;       // up to and including the last separator
    std::string name;      // file name without extension
    std::string extension; // from the last '.' of the file name, or empty
};
PLAT_API PathParts splitPath(std::string_view path);

// The UTF-8 path to hand to the operating system: '\' → '/', Windows absolute
// forms (a drive, or a leading '\' that is not '/') have no meaning here and
// give nullopt, as does a name with no CP932 → UTF-8 form. Components that do
// not exist as spelled are looked up ignoring ASCII case.
PLAT_API std::optional<std::string> toOsPath(std::string_view pathCp932);
// What toOsPath saw on its way, for the file helpers that act on the path
// next and need not ask the file system again: whether the path it gave
// names an entry (and that entry's lstat), and, for a name looked up in its
// folder's index, the folder's stat under which the index was current (a
// FolderChange made from it starts where the look-up ended).
struct OsPathSeen {
    bool Exists = false;
    struct stat Entry {};
    bool FolderSeen = false;
    struct stat Folder {};
};
PLAT_API std::optional<std::string> toOsPath(std::string_view pathCp932, OsPathSeen& seen);
// The same conversion without any look-up: the path as spelled.
PLAT_API std::optional<std::string> toOsPathAsSpelled(std::string_view pathCp932);
// The Shift-JIS form of a name the operating system gave us; nullopt when the
// name has no CP932 form (such names are refused, never mangled).
PLAT_API std::optional<std::string> fromOsName(std::string_view utf8);

// The look-up ignoring case reads a folder once and keeps an index of its
// case-folded names, read again when the folder's modification time
// changes. The program's own creations and removals (OS paths) keep an
// indexed folder's index up to date without reading it again: the file
// helpers of files.h report theirs, code that creates or removes files by
// other means reports them here. A name the index gives is checked on the
// disk; a name another program created within the same tick of the file
// system's clock as this program's last change of the folder (or between
// the FolderChange and the change itself) is found ignoring case only once
// the folder changes again.
//
// One change of this program's to a folder's entries: made just before the
// change, it notes whether the folder's index was current then (the folder
// unchanged since the index took its time); told what was created or
// removed once the change is made, it adds or drops the name and takes the
// folder's new time, or drops an index that was not current, so that the
// next look-up reads the folder again and misses nothing another program
// put there meanwhile. A rename within one folder tells one FolderChange
// both names; across folders each folder has its own.
class PLAT_API FolderChange {
public:
    explicit FolderChange(const std::string& osPath); // the folder holding osPath
    // The same with the folder's stat that a look-up took just before
    // (OsPathSeen::Folder) instead of a stat of its own; with nullptr it
    // takes its own.
    FolderChange(const std::string& osPath, const struct stat* folderStat);
    void created(const std::string& osPath);
    void removed(const std::string& osPath);

private:
    void note(const std::string& osPath, bool created);
    std::string dir_;
    bool current_ = false;
};

// The entries of a folder from its index (read only when the folder changed
// since, or within the last second): Shift-JIS names ("." and ".." left out, and names without a CP932
// form) with their upperCaseKey, sorted by name; entries of every kind.
// Empty when the folder cannot be read. One listing serves every name a
// clean-up matches: look the stems up in a set of keys.
struct FolderName {
    std::string Name;
    std::string Key;
};
PLAT_API std::vector<FolderName> indexedFolderNames(std::string_view folderCp932);
// How many times a folder was read whole for the index since the start. A
// test hook (the program itself never asks): tests count the reads that
// the program's own changes must not cause.
PLAT_API uint64_t folderIndexReads();

// ASCII-only case folding and comparison (never the locale's).
PLAT_API char asciiUpper(char c);
PLAT_API char asciiLower(char c);
// Shift-JIS texts compared ignoring the case of single-byte ASCII letters;
// double-byte characters compare exactly (their trail bytes may look like
// letters).
PLAT_API bool equalsIgnoreCase(std::string_view a, std::string_view b);
// The text with its single-byte ASCII letters upper-cased (double-byte
// characters untouched): a key under which texts equal ignoring case meet.
PLAT_API std::string upperCaseKey(std::string_view s);
// <0, 0, >0 in the order of the upper-cased characters.
PLAT_API int compareIgnoreCase(std::string_view a, std::string_view b);
// The same for UTF-8 (operating-system) names: every ASCII byte folds, which
// is safe there because multi-byte UTF-8 characters hold no ASCII bytes.
PLAT_API bool asciiEqualsIgnoreCase(std::string_view a, std::string_view b);

} // namespace plat
