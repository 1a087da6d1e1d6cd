// Reading an archive for the operations (see archive_file.h).
#include "kwph/archive_file.h"

#include "kwph/errors.h"

#include "platform/files.h"

namespace kwp {

bool ArchiveFile::open(Engine& engine, std::string_view path) {
    view_.reset();
    if (!plat::isRegularFile(path)) return engine.fail(err::fileNotFound(path));
    auto bytes = plat::readWholeFile(path);
    if (!bytes) return engine.fail(err::openFile(path));
    bytes_ = std::move(*bytes);
    view_.emplace(bytes_);
    switch (view_->status()) {
    case ArchiveView::Status::Ok:
        return true;
    case ArchiveView::Status::BadMagic:
        return engine.fail(err::kwpVersion(path));
    default:
        return engine.fail(err::readFile(path));
    }
}

} // namespace kwp
