// Random access to archive lines (see access.h).
#include "kwph/access.h"

#include "kwph/archive_file.h"
#include "kwph/codec.h"
#include "kwph/errors.h"

#include <climits>
#include <optional>

namespace kwp {

namespace {

struct Located {
    KwpDirEntry entry;
    KwpEntryLines lines; // views into the caller's ArchiveFile
};

// Reads the archive into `af` and finds the entry. With line > 0 the line
// must be one of the entry's (1 <= n <= lines). The whole entry must lie
// inside the file.
std::optional<Located> locate(Engine& engine, ArchiveFile& af, std::string_view archive,
                              std::string_view name, int n, bool needLine) {
    engine.reset();
    if (!af.open(engine, archive)) return std::nullopt;
    const ArchiveView& view = af.view();
    const std::string key = ArchiveView::lookupKey(name);
    auto index = view.find(name);
    if (!index) {
        engine.fail(err::fileNotFound(key));
        return std::nullopt;
    }
    Located at;
    at.entry = view.entry(*index);
    if (needLine && (n < 1 || n > at.entry.lines)) {
        engine.fail(err::noSuchMessage(archive, key, n));
        return std::nullopt;
    }
    auto lines = view.lines(*index);
    if (!lines) {
        engine.fail(err::readFile(archive));
        return std::nullopt;
    }
    at.lines = std::move(*lines);
    return at;
}

int offsetResult(Engine& engine, std::string_view archive, uint64_t offset) {
    if (offset > INT_MAX) {
        engine.fail(err::readFile(archive));
        return 0;
    }
    return static_cast<int>(offset);
}

} // namespace

int countMsgLines(Engine& engine, std::string_view archive, std::string_view name) {
    ArchiveFile af;
    auto at = locate(engine, af, archive, name, 0, false);
    return at ? at->entry.lines : 0;
}

bool readMsgLine(Engine& engine, std::string& out, std::string_view archive, std::string_view name, int n) {
    ArchiveFile af;
    auto at = locate(engine, af, archive, name, n, true);
    if (!at) return false;
    out = decodeLine(at->lines.lines[static_cast<size_t>(n - 1)], DecodeMode::Letters);
    return true;
}

int lineLengthOffset(Engine& engine, std::string_view archive, std::string_view name, int n) {
    ArchiveFile af;
    auto at = locate(engine, af, archive, name, n, true);
    return at ? offsetResult(engine, archive, uint64_t{at->entry.lenOfs} + static_cast<uint64_t>(n) - 1) : 0;
}

int lineTextOffset(Engine& engine, std::string_view archive, std::string_view name, int n) {
    ArchiveFile af;
    auto at = locate(engine, af, archive, name, n, true);
    if (!at) return 0;
    std::string_view line = at->lines.lines[static_cast<size_t>(n - 1)];
    return offsetResult(engine, archive, static_cast<uint64_t>(line.data() - af.view().file().data()));
}

int lineStoredLength(Engine& engine, std::string_view archive, std::string_view name, int n) {
    ArchiveFile af;
    auto at = locate(engine, af, archive, name, n, true);
    return at ? static_cast<unsigned char>(at->lines.lengths[static_cast<size_t>(n - 1)]) : 0;
}

} // namespace kwp
