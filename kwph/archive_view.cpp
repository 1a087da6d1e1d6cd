// The validating archive view (see archive_view.h). Lead bytes follow the
// archive codec's ranges (0x80-0x9F, 0xE0-0xFE) so that name walking agrees
// with the codec.
#include "kwph/archive_view.h"

#include <cstring>

namespace kwp {

namespace {

bool isLead(unsigned char c) {
    return (c >= 0x80 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFE);
}

uint16_t u16At(std::string_view f, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(f[at]) | static_cast<unsigned char>(f[at + 1])
                                                                         << 8);
}

uint32_t u32At(std::string_view f, size_t at) {
    return static_cast<uint32_t>(u16At(f, at)) | static_cast<uint32_t>(u16At(f, at + 2)) << 16;
}

// Upper-cases the single-byte characters of a text (never a trail byte).
std::string upperSingles(std::string_view s) {
    std::string out(s);
    for (size_t i = 0; i < out.size();) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (isLead(c) && i + 1 < out.size()) {
            i += 2;
            continue;
        }
        if (c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 'a' + 'A');
        ++i;
    }
    return out;
}

} // namespace

std::string_view KwpDirEntry::trimmedName() const {
    std::string_view n(name, std::strlen(name));
    while (!n.empty() && n.back() == ' ') n.remove_suffix(1);
    return n;
}

ArchiveView::ArchiveView(std::string_view file, size_t magicBytes) : file_(file) {
    if (magicBytes > kNameSize) magicBytes = kNameSize;
    if (file.size() < kHeaderSize) {
        status_ = Status::TooShort;
        return;
    }
    if (file.substr(0, magicBytes) != std::string_view(kMagic, magicBytes)) {
        status_ = Status::BadMagic;
        return;
    }
    if (file.size() < kDirectoryOffset) {
        status_ = Status::TooShort;
        return;
    }
    const uint64_t n = u16At(file, kCountOffset);
    if (kDirectoryOffset + kDirRecordSize * n > file.size()) {
        status_ = Status::BadDirectory;
        return;
    }
    count_ = static_cast<size_t>(n);
    status_ = Status::Ok;
}

std::string_view ArchiveView::comment() const {
    if (file_.size() < kHeaderSize) return {};
    std::string_view c = file_.substr(kCommentOffset, kCommentSize);
    size_t end = c.find_first_of(std::string_view("\x1A\0", 2));
    return end == std::string_view::npos ? c : c.substr(0, end);
}

KwpDirEntry ArchiveView::entry(size_t i) const {
    KwpDirEntry e;
    if (!ok() || i >= count_) return e;
    const size_t at = kDirectoryOffset + kDirRecordSize * i;
    std::memcpy(e.name, file_.data() + at, kNameSize);
    e.name[kNameSize] = '\0';
    e.lenOfs = u32At(file_, at + 8);
    e.txtOfs = u32At(file_, at + 12);
    e.lines = u16At(file_, at + 16);
    return e;
}

std::optional<KwpEntryLines> ArchiveView::lines(size_t i) const {
    if (!ok() || i >= count_) return std::nullopt;
    const KwpDirEntry e = entry(i);
    const uint64_t size = file_.size();
    if (uint64_t{e.lenOfs} + e.lines > size) return std::nullopt;
    KwpEntryLines out;
    out.lengths = file_.substr(e.lenOfs, e.lines);
    for (unsigned char len : out.lengths) out.packedSize += len;
    if (uint64_t{e.txtOfs} + out.packedSize > size) return std::nullopt;
    out.lines.reserve(e.lines);
    size_t at = e.txtOfs;
    for (unsigned char len : out.lengths) {
        out.lines.push_back(file_.substr(at, len));
        at += len;
    }
    return out;
}

std::string ArchiveView::lookupKey(std::string_view name) {
    std::string key = upperSingles(name);
    size_t start = 0;
    size_t lastBoundary = 0; // the character boundary closest below the end - 4
    for (size_t i = 0; i < key.size();) {
        if (i + 4 <= key.size()) lastBoundary = i;
        unsigned char c = static_cast<unsigned char>(key[i]);
        if (isLead(c) && i + 1 < key.size()) {
            i += 2;
            continue;
        }
        if (c == '\\' || c == '/') start = i + 1;
        ++i;
    }
    const size_t suffixAt = key.size() >= 4 ? key.size() - 4 : 0;
    if (key.size() >= start + 4 && lastBoundary == suffixAt && key.compare(suffixAt, 4, ".MSG") == 0)
        key.resize(suffixAt);
    key.erase(0, start);
    return key;
}

std::optional<size_t> ArchiveView::find(std::string_view name) const {
    const std::string key = lookupKey(name);
    for (size_t i = 0; i < count_; ++i) {
        const KwpDirEntry e = entry(i);
        if (upperSingles(e.trimmedName()) == key) return i;
    }
    return std::nullopt;
}

} // namespace kwp
