// Arbitrary bytes as a message archive: the view must check every count,
// offset and length before use, and every stored line it hands out must lie
// inside the input and decode within the bounds of the codec.
#include "kwph/archive_view.h"
#include "kwph/codec.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

void walk(std::string_view file, size_t magicBytes) {
    kwp::ArchiveView view(file, magicBytes);
    require(view.comment().size() <= kwp::kCommentSize);
    if (!view.ok()) return;
    require(kwp::kDirectoryOffset + kwp::kDirRecordSize * view.count() <= file.size());
    for (size_t i = 0; i < view.count(); ++i) {
        const kwp::KwpDirEntry e = view.entry(i);
        auto found = view.find(e.trimmedName());
        require(!found || *found < view.count());
        auto lines = view.lines(i);
        if (!lines) continue;
        require(lines->lines.size() == e.lines);
        for (std::string_view stored : lines->lines) {
            require(stored.data() >= file.data() &&
                    stored.data() + stored.size() <= file.data() + file.size());
            require(kwp::decodeLine(stored).size() <= kwp::kMaxDecodedLine);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view file(reinterpret_cast<const char*>(data), size);
    walk(file, 8);
    walk(file, 5);
    (void)kwp::ArchiveView::lookupKey(file.substr(0, 64));
    return 0;
}
