// A validating read-only view of a message archive held in memory.
//
// Layout (little-endian, no alignment): an 88-byte header (magic "KWP00   ",
// creator, 64-byte comment area), a u16 entry count at 88, then 18-byte
// directory records from 90 (8-byte blank-padded name without terminator,
// u32 offset of the length table, u32 offset of the first stored line, u16
// line count). An entry's length table holds one byte per line; its stored
// lines follow each other from the text offset without terminators.
//
// An archive is outside data: every count, offset and length is checked
// against the file size before it is used, and all sums are taken in 64 bits.
// The view needs only the standard library, so a reader that links nothing
// else can compile this unit in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kwp {

constexpr size_t kHeaderSize = 88;
constexpr size_t kCommentOffset = 24;
constexpr size_t kCommentSize = 64;
constexpr size_t kCountOffset = 88;
constexpr size_t kDirectoryOffset = 90;
constexpr size_t kDirRecordSize = 18;
constexpr size_t kNameSize = 8;
inline constexpr char kMagic[] = "KWP00   ";
inline constexpr char kCreator[] = "KWPH.DLL 0.8.8  ";

struct KwpDirEntry {
    char name[kNameSize + 1] = {}; // the 8 name bytes and a NUL
    uint32_t lenOfs = 0;
    uint32_t txtOfs = 0;
    uint16_t lines = 0;

    // The name up to its first NUL, without trailing blanks.
    std::string_view trimmedName() const;
};

// The stored lines of one entry, all inside the file.
struct KwpEntryLines {
    std::string_view lengths;            // the length table, one byte per line
    std::vector<std::string_view> lines; // the stored bytes of each line
    uint64_t packedSize = 0;             // the sum of the stored lengths
};

class ArchiveView {
public:
    enum class Status {
        Ok,
        TooShort,    // shorter than the header and the count
        BadMagic,    // the magic differs
        BadDirectory // the directory runs past the end of the file
    };

    // `file` is the whole archive and must outlive the view. `magicBytes` is
    // how much of the magic is compared (8; a reader may check fewer).
    explicit ArchiveView(std::string_view file, size_t magicBytes = 8);

    Status status() const { return status_; }
    bool ok() const { return status_ == Status::Ok; }
    std::string_view file() const { return file_; }

    // The comment: at most 64 bytes, up to the first 0x1A or NUL.
    std::string_view comment() const;
    size_t count() const { return count_; }
    // Directory record i (i < count()).
    KwpDirEntry entry(size_t i) const;
    // The lines of entry i, or nullopt when its length table or its text runs
    // past the end of the file.
    std::optional<KwpEntryLines> lines(size_t i) const;
    // The first entry whose name matches lookupKey(name) ignoring case.
    std::optional<size_t> find(std::string_view name) const;

    // A message name as lookups take it: upper case, everything through the
    // last '\' or '/' removed, a final ".MSG" removed.
    static std::string lookupKey(std::string_view name);

private:
    std::string_view file_;
    Status status_ = Status::TooShort;
    size_t count_ = 0;
};

} // namespace kwp
