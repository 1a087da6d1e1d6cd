// The loaded message sets of a match: ten slots, each holding a message
// archive read whole into memory or naming a folder of message files, and
// the reader of archive entries. Slot 0 is the base set every lookup falls
// back to, 1 and 2 the pilot sets of side 1 and 2, 3 and 4 their computer
// sets, 5 the announcer set (the slot of a spoken line is its kind).
//
// A stored line is decoded by the message-archive library's decompress call,
// loaded by name from the base folder ("kwph.dll"); the game processor never
// links that library. The archive itself is outside data: it is read through
// the validating view, so no count, offset or length of it is used before it
// is checked against the file, and a decoded line is cut to a bounded text.
#pragma once

#include "core/filecache.h"
#include "kwph/archive_view.h"
#include "platform/loader.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace cv {

// Results of the archive reader and the message fetches.
inline constexpr uint32_t MsgOk = 0;
inline constexpr uint32_t MsgFailed = 0x80000002; // cannot open or read, not an archive, not found
inline constexpr uint32_t MsgNoMemory = 0xC0000017;

inline constexpr int KwpSlotCount = 10;
enum MessageSlot : int {
    SlotBasic = 0,
    SlotPilot1 = 1, // + side
    SlotComputer1 = 3,
    SlotAnnouncer = 5,
};

// The decompress call: a NUL-terminated stored line in, the text out (at
// most 511 bytes and a NUL into a buffer of 512).
using LineDecoder = char* (*)(const char* stored, char* out);

// An archive file held whole, with its checked view (which points into
// Bytes, so the object never moves). Its directory is indexed once, by the
// names as FindMsgEntry compares them, and each stored line is decoded
// once, when it is first asked for; an archive is kept from match to match,
// so the work is done once per event.
class LoadedArchive {
public:
    explicit LoadedArchive(std::string bytes);
    LoadedArchive(const LoadedArchive&) = delete;
    LoadedArchive& operator=(const LoadedArchive&) = delete;

    const std::string Bytes;
    const kwp::ArchiveView View;

    // The first entry named `id` (its first 8 bytes, up to a NUL) and its
    // line count; -1 when there is none.
    int find(std::string_view id, int* lineCount) const;
    // Line `line` of entry `index` as `decode` gives it, cleaned and cut to
    // `limit` bytes (CleanMessageText); nullptr when the entry or the line
    // is not in the file. The texts stay while the decoder stays the same.
    const std::string* decodedLine(size_t index, size_t line, LineDecoder decode, size_t limit) const;

private:
    struct Line {
        bool Decoded = false;
        std::string Raw;       // the decoder's output
        size_t CleanLimit = 0; // the limit Clean was made for (0: none yet)
        std::string Clean;
    };
    struct Entry {
        bool Read = false;
        bool Bad = false; // its length table or its text lies outside the file
        std::vector<std::string_view> Stored;
        std::vector<Line> Lines;
    };
    // The names as 8-byte keys (a name holds no NUL and at most 8 bytes, so
    // it is its bytes zero-padded) in an open-addressed table of a power of
    // two at most half full: a fetch looks at one or two slots.
    struct IndexSlot {
        uint64_t Key = 0;
        int32_t Entry = -1; // -1: free
        int32_t Lines = 0;
    };
    std::vector<IndexSlot> index_;
    unsigned shift_ = 60;              // 64 less the table's bits
    size_t slotOf(uint64_t key) const; // the key's slot, or the free one where it would go
    mutable std::vector<Entry> entries_;
    mutable LineDecoder decodedWith_ = nullptr;
};

struct KwpSlot {
    bool Loaded = false; // Data holds an archive
    std::string Name;    // the archive's path, or a folder path ending in a separator
    std::shared_ptr<const LoadedArchive> Data;
    bool Shared = false; // Data came from another slot with the same Name
};

// The words a matched set gives a side for its match: its first-person
// words (replaced by the pilot's own) and its forms of address (replaced by
// the AK's master call). A side without them uses the settings' lists.
struct SideWords {
    bool HasMySelf = false;
    bool HasMaster = false;
    char MySelf[10][32] = {};
    char Master[10][32] = {};
};

// The module-wide state of the message sets.
struct MessageSets {
    KwpSlot Slots[KwpSlotCount];
    plat::Library Library;
    LineDecoder Decode = nullptr;
    unsigned char (*Detach)() = nullptr;
    SideWords Words[2];
    // The archives and text files kept from match to match, and the watch
    // that tells when one changed.
    plat::FileWatch Watch;
    StampedCache<LoadedArchive> Archives{Watch};
    StampedCache<TextLines> TextFiles{Watch};
    // The check round of a match's set-up (BeginMatchFileChecks).
    std::optional<plat::FileWatch::Round> SetUpRound;
};

// ---- The message-archive library -------------------------------------------

// Loads "kwph.dll" from `folder`, binds _kwp_Attach, _kwp_Decompress and
// _kwp_Detach and attaches it (0, 0, 100, 100). False when the library or
// one of the three is missing (nothing stays loaded then).
bool AttachMessageLibrary(std::string_view folder);
// Detaches and unloads the library when it is loaded.
void DetachMessageLibrary();
bool MessageLibraryAttached();
// Replaces the decoder (tests, fuzzing); returns the one before.
LineDecoder SetLineDecoder(LineDecoder decoder);

// The text of one stored line (at most 255 bytes are read): decoded, cut at
// its first NUL, CR or LF, without trailing blanks, cut to `limit` bytes on
// a character boundary. Empty without a decoder.
std::string DecodeStoredLine(std::string_view stored, size_t limit);
// The decoder's whole output for a stored line, up to its NUL.
std::string DecodeStoredLineRaw(std::string_view stored, LineDecoder decode);

// ---- The slots --------------------------------------------------------------

const KwpSlot& MessageSlotAt(int slot);

// Reads the archive `path` whole into `slot` (sharing the data of another
// slot that holds the same path, or the copy kept from an earlier match
// while the file is unchanged). 0; MsgFailed when the file cannot be read
// or is no archive (the slot is then empty); MsgNoMemory.
uint32_t LoadMsgArchive(int slot, std::string_view path);
// The same on bytes already read (the reader's core; fuzzing).
uint32_t LoadMsgArchiveBytes(int slot, std::string_view path, std::string bytes);

// The slot becomes a folder slot: no data, Name = path.
void SetFolderSlot(int slot, std::string_view path);

// The first entry whose name (cut at its first blank) equals `id` in its
// first 8 bytes, and its line count; -1 when none.
int FindMsgEntry(int slot, std::string_view id, int* lineCount = nullptr);

// Line `line` (0-based) of entry `index`, decoded and trimmed (cut to
// `limit` bytes); nullopt when the entry or the line is not in the file.
std::optional<std::string> ExtractMsgVariant(int slot, int index, int line, size_t limit = 255);

// Every slot and the sets' words cleared; archive data is freed with its
// last slot.
void ClearKwpTable();
void ReleaseMsgArchives();

// Trailing half-width and full-width ("　") blanks removed.
std::string TrimMessageLine(std::string_view text);

// A text of a message file or archive made safe for a narration line: cut
// at its first NUL, CR or LF, cut to `limit` bytes on a character boundary,
// trailing blanks removed.
std::string CleanMessageText(std::string_view text, size_t limit);

} // namespace cv
