// Builders of the library's error texts (see errors.h).
#include "kwph/errors.h"

#include "base/sjis.h"
#include "platform/paths.h"
#include "sjis/kwph_text.h"

#include <cstdarg>
#include <cstdio>

namespace kwp::err {

namespace {

std::string plain(const char* what, std::string_view arg) {
    return format(kwx::PlainFormat, what, std::string(arg).c_str());
}

// A file or folder named in a text is put as a person reads a path.
std::string shown(std::string_view path) {
    return plat::shownPath(path);
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
    return format(kwx::KindFormat, kwx::OpenFileFailed, shown(path).c_str(), std::string(kind).c_str());
}
std::string openFile(std::string_view path) {
    return plain(kwx::OpenFileFailed, shown(path));
}
std::string pathNotFound(std::string_view what) {
    return plain(kwx::PathNotFound, what);
}
std::string fileNotFound(std::string_view path) {
    return plain(kwx::FileNotFound, shown(path));
}
std::string readFile(std::string_view path) {
    return plain(kwx::ReadFailed, shown(path));
}
std::string writeFile(std::string_view path) {
    return plain(kwx::WriteFailed, shown(path));
}
std::string deleteFile(std::string_view path) {
    return plain(kwx::DeleteFileFailed, shown(path));
}
std::string deleteFolder(std::string_view path) {
    return plain(kwx::DeleteFolderFailed, shown(path));
}
std::string kwpVersion(std::string_view path) {
    return format(kwx::VersionFormat, shown(path).c_str(), kwx::WrongVersion, "KWP00   ");
}
std::string lhaExtract(std::string_view path) {
    return plain(kwx::LhaFailed, shown(path));
}
std::string dllLoad(std::string_view name) {
    return plain(kwx::DllLoadFailed, name);
}
std::string noSuchMessage(std::string_view archive, std::string_view name, long n) {
    return format(kwx::NoSuchMessageFormat, kwx::NoSuchMessage, shown(archive).c_str(),
                  std::string(name).c_str(), static_cast<int>(n));
}
std::string lineTooLong(std::string_view file, long line) {
    return format(kwx::LineTooLongFormat, kwx::LineTooLong, shown(file).c_str(), static_cast<int>(line));
}

std::string_view duplicateKind() {
    return kwx::DuplicateKind;
}
std::string_view tempFolderName() {
    return kwx::TempFolderName;
}

} // namespace kwp::err
