// Paths of conf files and tree files. Records keep a conf's file as
// "Config\VLCNF" and six characters, relative to the program folder; an
// absolute path (a drive, or a leading '\' or '/') is kept as it is. Every
// reader and writer goes through resolve(), so the program folder the caller
// passes is the one that counts, never the current directory.
#pragma once

#include <string>
#include <string_view>

namespace cnf {

// The Config folder and the file names inside it, spelled as they are created.
inline constexpr char ConfigFolder[] = "Config";
inline constexpr char TreeTextName[] = "VlTreeVw.Cf";
inline constexpr char TreeRecordName[] = "VlTreeVw.Dt";
inline constexpr char ConfPrefix[] = "VLCNF";

// The program folder with a separator at its end; an empty text stands for
// the running program's folder.
std::string folderOf(std::string_view programFolder);

// An absolute path as it stands; a relative one under the program folder.
std::string resolve(std::string_view programFolder, std::string_view path);

// "Config\" + name, relative to the program folder.
std::string configPath(std::string_view name);

// An absolute path that lies under the program folder ('\' and '/' compare
// equal) loses that prefix; any other path is returned unchanged.
std::string makeRelative(std::string_view programFolder, std::string_view path);

// True when the last component of the path begins "VLCNF" (ASCII, any case):
// the only files the tree ever deletes.
bool hasConfFileName(std::string_view path);

} // namespace cnf
