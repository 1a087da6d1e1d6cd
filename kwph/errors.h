// The error texts of the message-archive library. Every failing operation
// builds one text and makes it the engine's last error; there are no numeric
// codes. Texts are Shift-JIS, at most 1023 bytes, cut on a character
// boundary. A file or folder a text names is in the form a person reads a
// path (plat::shownPath).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kwp::err {

constexpr size_t kMaxText = 1023;

// printf-style formatting into a std::string (Shift-JIS formats and
// arguments).
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

std::string openFileKind(std::string_view path, std::string_view kind);
std::string openFile(std::string_view path);
std::string pathNotFound(std::string_view what);
std::string fileNotFound(std::string_view path);
std::string readFile(std::string_view path);
std::string writeFile(std::string_view path);
std::string deleteFile(std::string_view path);
std::string deleteFolder(std::string_view path);
std::string kwpVersion(std::string_view path);
std::string lhaExtract(std::string_view path);
std::string dllLoad(std::string_view name);
std::string noSuchMessage(std::string_view archive, std::string_view name, long n);
// A message line too long to store, with the file and its 1-based line.
std::string lineTooLong(std::string_view file, long line);

// The kind texts of openFileKind and the argument of pathNotFound.
std::string_view duplicateKind();
std::string_view tempFolderName();

} // namespace kwp::err
