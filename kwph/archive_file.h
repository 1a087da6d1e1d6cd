// An archive file read whole and checked through ArchiveView, with the
// operations' error texts for the ways that can fail.
#pragma once

#include "kwph/archive_view.h"
#include "kwph/engine.h"

#include <optional>
#include <string>
#include <string_view>

namespace kwp {

class ArchiveFile {
public:
    ArchiveFile() = default;
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    // Missing: ErrFileNotFound; unreadable: ErrOpenFile; shorter than its
    // header, count or directory: ErrReadFile; another magic: ErrKwpVersion.
    bool open(Engine& engine, std::string_view path);
    const ArchiveView& view() const { return *view_; }

private:
    std::string bytes_;
    std::optional<ArchiveView> view_;
};

} // namespace kwp
