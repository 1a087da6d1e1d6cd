// Tells a reader that keeps copies of files whether a file may have changed
// since it was read, without looking at the file each time. A watched file
// has an inotify watch on itself (a change made through any of its names),
// on its folder (the file replaced, removed or renamed, or another entry
// taking its name ignoring ASCII case, which the look-up of Windows-style
// paths would then find) and on every folder above it (a folder on the way
// renamed, removed or replaced). The events are read by poll(), one
// non-blocking read; an event that concerns a file, a lost event (the
// kernel's queue overflowed) or a watch the kernel dropped marks the file
// changed until it is watched again.
//
// A file that cannot be watched (no inotify, no watch left, a path through a
// symbolic link or not in its plain form, a network share or FUSE file
// system, where inotify sees only this machine's changes) gets ticket 0,
// which counts as changed at every look: the reader then falls back to its
// own check of the file.
//
// One owner, one thread: a FileWatch is not shared between threads.
#pragma once

#include "platform/export.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace plat {

class PLAT_API FileWatch {
public:
    using Ticket = uint64_t; // 0: not watched

    FileWatch() = default;
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // Starts watching the file at `osPath` (absolute, UTF-8). Call it before
    // the file is looked at and read, so that every change from then on is
    // seen. 0 when the file cannot be watched.
    Ticket watch(const std::string& osPath);
    // Ends a watch (0 and unknown tickets are ignored).
    void release(Ticket ticket);
    // Reads every event waiting, without blocking. Inside a Round only the
    // first poll reads.
    void poll();
    // True when the file of `ticket` may have changed since watch() gave the
    // ticket, as far as the last poll knows; always true for ticket 0 and
    // for a released ticket.
    bool changed(Ticket ticket) const;

    // While a Round lives, the first poll() reads the events and later ones
    // do nothing: a load of several files asks the kernel once. Rounds nest.
    class PLAT_API Round {
    public:
        explicit Round(FileWatch& watch);
        ~Round();
        Round(const Round&) = delete;
        Round& operator=(const Round&) = delete;

    private:
        FileWatch& watch_;
    };

    // Watches held (tests).
    size_t watchedCount() const { return tickets_.size(); }

private:
    // One watch of the kernel's and the tickets it serves: an event on it
    // concerns a ticket when the event's entry name equals the ticket's
    // Name ignoring ASCII case, or when the ticket's Name is empty (the
    // watch is on the file itself), or when the event is about the watched
    // entry itself.
    struct Subscriber {
        Ticket Owner = 0;
        std::string Name;
    };
    struct Watched {
        std::vector<int> Descriptors;
        bool Changed = false;
    };
    bool open();
    bool add(Ticket ticket, const std::string& path, uint32_t mask, std::string name);
    void markAll(int descriptor);
    void readEvents();

    int fd_ = -1;
    bool failed_ = false; // inotify could not be had: never tried again
    Ticket next_ = 0;
    std::unordered_map<int, std::vector<Subscriber>> watches_;
    std::unordered_map<Ticket, Watched> tickets_;
    int rounds_ = 0;
    bool polledInRound_ = false;
};

} // namespace plat
