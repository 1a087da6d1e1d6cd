// Files the game processor reads for every match, kept from match to match:
// the default system files and the plain set files as text lines, and the
// message archives read whole. A kept copy serves while the file's stamp
// (size, modification and change times, identity) is the one it was read
// under; a file that changed is read again. The stamp is taken before the
// file is read, so a change during the read is seen at the next use.
#pragma once

#include "platform/files.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace cv {

template <class T> class StampedCache {
public:
    // Files kept at most; beyond, the one used longest ago is dropped.
    static constexpr size_t MaxKept = 64;

    // The value of the file `path`: the kept one while the file is
    // unchanged, else read(path), made from the file as it is now (nullptr
    // when it cannot be made: nothing is kept then).
    template <class Read> std::shared_ptr<const T> get(std::string_view path, Read&& read) {
        std::optional<plat::FileStamp> stamp = plat::fileStamp(path);
        if (!stamp) return read(path);
        std::string key(path);
        auto it = entries_.find(key);
        ++uses_;
        if (it != entries_.end() && it->second.Stamp == *stamp) {
            it->second.LastUse = uses_;
            return it->second.Value;
        }
        std::shared_ptr<const T> value = read(path);
        if (!value) {
            if (it != entries_.end()) entries_.erase(it);
            return nullptr;
        }
        if (it == entries_.end() && entries_.size() >= MaxKept) dropOldest();
        entries_[key] = Entry{*stamp, value, uses_};
        return value;
    }

    void clear() { entries_.clear(); }
    size_t size() const { return entries_.size(); }

private:
    struct Entry {
        plat::FileStamp Stamp;
        std::shared_ptr<const T> Value;
        uint64_t LastUse = 0;
    };
    void dropOldest() {
        auto oldest = entries_.begin();
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->second.LastUse < oldest->second.LastUse) oldest = it;
        if (oldest != entries_.end()) entries_.erase(oldest);
    }

    std::unordered_map<std::string, Entry> entries_;
    uint64_t uses_ = 0;
};

// A text file as plat::readLine reads it line by line (plat::splitLines).
using TextLines = std::vector<std::string>;

// The lines of a text file, kept from match to match; nullptr when the file
// cannot be read.
std::shared_ptr<const TextLines> CachedTextLines(std::string_view path);
// The lines of bytes held in memory, split as a file's are.
std::shared_ptr<const TextLines> TextLinesOf(std::string_view bytes);

// Drops every kept file (EndSystem).
void ClearFileCaches();

} // namespace cv
