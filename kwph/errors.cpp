// Builders of the library's error texts (see errors.h).
#include "kwph/errors.h"

#include "base/sjis.h"
#include "sjis/kwph_text.h"

#include <cstdarg>
#include <cstdio>

namespace kwp::err {

namespace {

std::string plain(const char* what, std::string_view arg) {
    return format(kwx::PlainFormat, what, std::string(arg).c_str());
}

} // namespace

std::string format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list again;
    va_copy(again, ap);
    int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, again);
        out.resize(static_cast<size_t>(n));
    }
    va_end(again);
    return sjis::cut(out, kMaxText);
}

std::string openFileKind(std::string_view path, std::string_view kind) {
    return format(kwx::KindFormat, kwx::OpenFileFailed, std::string(path).c_str(), std::string(kind).c_str());
}
std::string openFile(std::string_view path) {
    return plain(kwx::OpenFileFailed, path);
}
std::string pathNotFound(std::string_view what) {
    return plain(kwx::PathNotFound, what);
}
std::string fileNotFound(std::string_view path) {
    return plain(kwx::FileNotFound, path);
}
std::string readFile(std::string_view path) {
    return plain(kwx::ReadFailed, path);
}
std::string writeFile(std::string_view path) {
    return plain(kwx::WriteFailed, path);
}
std::string deleteFile(std::string_view path) {
    return plain(kwx::DeleteFileFailed, path);
}
std::string deleteFolder(std::string_view path) {
    return plain(kwx::DeleteFolderFailed, path);
}
std::string kwpVersion(std::string_view path) {
    return format(kwx::VersionFormat, std::string(path).c_str(), kwx::WrongVersion, "KWP00   ");
}
std::string lhaExtract(std::string_view path) {
    return plain(kwx::LhaFailed, path);
}
std::string dllLoad(std::string_view name) {
    return plain(kwx::DllLoadFailed, name);
}
std::string noSuchMessage(std::string_view archive, std::string_view name, long n) {
    return format(kwx::NoSuchMessageFormat, kwx::NoSuchMessage, std::string(archive).c_str(),
                  std::string(name).c_str(), static_cast<int>(n));
}
std::string lineTooLong(std::string_view file, long line) {
    return format(kwx::LineTooLongFormat, kwx::LineTooLong, std::string(file).c_str(),
                  static_cast<int>(line));
}

std::string_view tempFileKind() {
    return kwx::TempFileKind;
}
std::string_view duplicateKind() {
    return kwx::DuplicateKind;
}
std::string_view tempFolderName() {
    return kwx::TempFolderName;
}

} // namespace kwp::err
