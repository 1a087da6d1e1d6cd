// Files the game processor reads for every match, kept from match to match:
// the default system files and the plain set files as text lines, and the
// message archives read whole. A kept copy serves while the file is
// unchanged; a file that changed is read again.
//
// Whether a file changed is known from a watch of it (plat::FileWatch) as
// long as the watch has seen no event that may concern it: then the file is
// not looked at. Otherwise, and for a file that cannot be watched, its stamp
// (size, modification and change times, identity) is compared with the one
// it was read under. The watch is set before the stamp is taken and the
// stamp before the file is read, so a change during the read is seen at the
// next use.
#pragma once

#include "platform/files.h"
#include "platform/filewatch.h"
#include "platform/paths.h"

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

    explicit StampedCache(plat::FileWatch& watch) : watch_(watch) {}
    StampedCache(const StampedCache&) = delete;
    StampedCache& operator=(const StampedCache&) = delete;

    // The value of the file `path`: the kept one while the file is
    // unchanged, else read(path), made from the file as it is now (nullptr
    // when it cannot be made: nothing is kept then).
    template <class Read> std::shared_ptr<const T> get(std::string_view path, Read&& read) {
        watch_.poll();
        std::string key = plat::resolvePath(path);
        auto it = entries_.find(key);
        ++uses_;
        if (it != entries_.end() && !watch_.changed(it->second.Watch)) {
            it->second.LastUse = uses_;
            return it->second.Value;
        }
        // A file that could not be watched when it was read is checked by
        // its stamp alone until it changes; then a watch is tried again.
        bool tryWatch = it == entries_.end() || !it->second.Unwatched;
        plat::FileWatch::Ticket ticket = 0;
        if (tryWatch) {
            std::optional<std::string> osPath = plat::toOsPath(key);
            ticket = osPath ? watch_.watch(*osPath) : 0;
        }
        if (it != entries_.end()) {
            watch_.release(it->second.Watch);
            it->second.Watch = 0;
        }
        std::optional<plat::FileStamp> stamp = plat::fileStamp(key);
        if (!stamp) {
            watch_.release(ticket);
            return read(path);
        }
        if (it != entries_.end() && it->second.Stamp == *stamp) {
            it->second.Watch = ticket;
            it->second.Unwatched = ticket == 0;
            it->second.LastUse = uses_;
            return it->second.Value;
        }
        if (!tryWatch) {
            entries_.erase(it);
            return get(path, read);
        }
        std::shared_ptr<const T> value = read(path);
        if (!value) {
            watch_.release(ticket);
            if (it != entries_.end()) entries_.erase(it);
            return nullptr;
        }
        if (it == entries_.end() && entries_.size() >= MaxKept) dropOldest();
        entries_[key] = Entry{*stamp, value, uses_, ticket, ticket == 0};
        return value;
    }

    void clear() {
        for (auto& [key, e] : entries_) watch_.release(e.Watch);
        entries_.clear();
    }
    size_t size() const { return entries_.size(); }

private:
    struct Entry {
        plat::FileStamp Stamp;
        std::shared_ptr<const T> Value;
        uint64_t LastUse = 0;
        plat::FileWatch::Ticket Watch = 0;
        bool Unwatched = false; // no watch could be had when it was read
    };
    void dropOldest() {
        auto oldest = entries_.begin();
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->second.LastUse < oldest->second.LastUse) oldest = it;
        if (oldest != entries_.end()) {
            watch_.release(oldest->second.Watch);
            entries_.erase(oldest);
        }
    }

    plat::FileWatch& watch_;
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

// From SetEnvironment to the end of SetAkData the watch of the kept files
// is asked once: the set-up of a match looks for changes once, and a file
// changed during the set-up is read at the next match. Begin ends a round
// left open.
void BeginMatchFileChecks();
void EndMatchFileChecks();

// While a FileCheckRound lives, the watch of the kept files is asked once:
// the loads of one step of a match (SetEnvironment's templates, SetAkData's
// sets) look for changes together.
class FileCheckRound {
public:
    FileCheckRound();

private:
    plat::FileWatch::Round round_;
};

} // namespace cv
