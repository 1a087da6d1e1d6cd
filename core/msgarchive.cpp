// The slots of loaded message sets, the archive reader and the binding of
// the message-archive library's decoder.
#include "core/msgarchive.h"

#include "base/sjis.h"
#include "core/module.h"
#include "platform/files.h"
#include "platform/paths.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace cv {

namespace {

constexpr char LibraryName[] = "kwph.dll";
constexpr char AttachName[] = "_kwp_Attach";
constexpr char DecompressName[] = "_kwp_Decompress";
constexpr char DetachName[] = "_kwp_Detach";

// The archive test of the game processor compares the first five bytes
// ("KWP00") only.
constexpr size_t MagicBytes = 5;
constexpr size_t StoredLineMax = 255;
constexpr size_t DecodeBufferSize = 512;

MessageSets& sets() {
    return Module().Messages;
}

KwpSlot* slotAt(int slot) {
    if (slot < 0 || slot >= KwpSlotCount) return nullptr;
    return &sets().Slots[slot];
}

const KwpSlot emptySlot{};

// An entry name of at most 8 bytes without NUL as one number.
uint64_t nameKey(std::string_view name) {
    uint64_t key = 0;
    if (!name.empty()) std::memcpy(&key, name.data(), std::min(name.size(), sizeof key));
    return key;
}

} // namespace

size_t LoadedArchive::slotOf(uint64_t key) const {
    // The top bits of the product depend on every byte of the name.
    size_t mask = index_.size() - 1;
    for (size_t k = (key * 0x9E3779B97F4A7C15ull) >> shift_;; k = (k + 1) & mask)
        if (index_[k].Entry < 0 || index_[k].Key == key) return k;
}

LoadedArchive::LoadedArchive(std::string bytes) : Bytes(std::move(bytes)), View(Bytes, MagicBytes) {
    entries_.resize(View.count());
    size_t size = 16;
    while (size < 2 * View.count()) {
        size *= 2;
        --shift_;
    }
    index_.resize(size);
    for (size_t i = 0; i < View.count(); ++i) {
        const kwp::KwpDirEntry e = View.entry(i);
        // The name up to its NUL (the view ends its 8 bytes with one) and
        // its first blank; the first of equal names wins.
        std::string_view name(e.name, std::strlen(e.name));
        name = name.substr(0, std::min(name.find(' '), name.size()));
        uint64_t key = nameKey(name);
        IndexSlot& slot = index_[slotOf(key)];
        if (slot.Entry < 0) slot = IndexSlot{key, static_cast<int32_t>(i), static_cast<int32_t>(e.lines)};
    }
}

int LoadedArchive::find(std::string_view id, int* lineCount) const {
    // The id as a C text: up to its first NUL, compared in at most 8 bytes.
    id = id.substr(0, std::min(id.find('\0'), kwp::kNameSize));
    const IndexSlot& slot = index_[slotOf(nameKey(id))];
    if (slot.Entry < 0) return -1;
    if (lineCount) *lineCount = slot.Lines;
    return slot.Entry;
}

const std::string* LoadedArchive::decodedLine(size_t index, size_t line, LineDecoder decode,
                                              size_t limit) const {
    if (index >= entries_.size()) return nullptr;
    if (decode != decodedWith_) {
        for (Entry& e : entries_)
            for (Line& l : e.Lines) l = Line{};
        decodedWith_ = decode;
    }
    Entry& e = entries_[index];
    if (!e.Read) {
        e.Read = true;
        std::optional<kwp::KwpEntryLines> lines = View.lines(index);
        e.Bad = !lines;
        if (lines) e.Stored = std::move(lines->lines);
        e.Lines.resize(e.Stored.size());
    }
    if (e.Bad || line >= e.Stored.size()) return nullptr;
    Line& l = e.Lines[line];
    if (!l.Decoded) {
        l.Raw = DecodeStoredLineRaw(e.Stored[line], decode);
        l.Decoded = true;
    }
    if (l.CleanLimit != limit || limit == 0) {
        l.Clean = CleanMessageText(l.Raw, limit);
        l.CleanLimit = limit;
    }
    return &l.Clean;
}

bool AttachMessageLibrary(std::string_view folder) {
    MessageSets& m = sets();
    DetachMessageLibrary();
    if (!m.Library.load(folder, LibraryName, {AttachName, DecompressName, DetachName})) return false;
    auto attach = m.Library.function<unsigned char (*)(int, int, int, int)>(AttachName);
    m.Decode = m.Library.function<LineDecoder>(DecompressName);
    m.Detach = m.Library.function<unsigned char (*)()>(DetachName);
    attach(0, 0, 100, 100);
    return true;
}

void DetachMessageLibrary() {
    MessageSets& m = sets();
    if (!m.Library.loaded()) return;
    if (m.Detach) m.Detach();
    m.Detach = nullptr;
    m.Decode = nullptr;
    m.Library.unload();
}

bool MessageLibraryAttached() {
    return sets().Library.loaded();
}

LineDecoder SetLineDecoder(LineDecoder decoder) {
    LineDecoder before = sets().Decode;
    sets().Decode = decoder;
    return before;
}

std::string TrimMessageLine(std::string_view text) {
    size_t keep = 0;
    for (size_t p = 0, len; (len = sjis::charLength(text, p)) != 0; p += len) {
        std::string_view c = text.substr(p, len);
        if (c != " " && c != "\x81\x40") keep = p + len;
    }
    return std::string(text.substr(0, keep));
}

std::string CleanMessageText(std::string_view text, size_t limit) {
    size_t end = text.find_first_of(std::string_view("\0\r\n", 3));
    if (end != std::string_view::npos) text = text.substr(0, end);
    return TrimMessageLine(text.substr(0, sjis::cutLength(text, limit)));
}

std::string DecodeStoredLineRaw(std::string_view stored, LineDecoder decode) {
    if (!decode) return {};
    char in[StoredLineMax + 1] = {};
    size_t n = std::min(stored.size(), StoredLineMax);
    std::memcpy(in, stored.data(), n);
    char out[DecodeBufferSize] = {};
    decode(in, out);
    out[DecodeBufferSize - 1] = '\0';
    return std::string(out, std::strlen(out));
}

std::string DecodeStoredLine(std::string_view stored, size_t limit) {
    return CleanMessageText(DecodeStoredLineRaw(stored, sets().Decode), limit);
}

const KwpSlot& MessageSlotAt(int slot) {
    const KwpSlot* s = slotAt(slot);
    return s ? *s : emptySlot;
}

namespace {

// An archive made from its bytes; nullptr (and `failure` set) when it is no
// archive or there is no memory for it. The view also refuses an archive
// whose directory runs past the end of the file: its entries could not be
// read.
std::shared_ptr<const LoadedArchive> makeArchive(std::string bytes, uint32_t& failure) {
    try {
        auto data = std::make_shared<const LoadedArchive>(std::move(bytes));
        if (data->View.ok()) return data;
        failure = MsgFailed;
    } catch (const std::bad_alloc&) {
        failure = MsgNoMemory;
    }
    return nullptr;
}

uint32_t fillSlot(KwpSlot& s, std::string_view path, std::shared_ptr<const LoadedArchive> data, bool shared) {
    s.Data = std::move(data);
    s.Shared = shared;
    s.Loaded = true;
    s.Name = std::string(path);
    return MsgOk;
}

} // namespace

uint32_t LoadMsgArchiveBytes(int slot, std::string_view path, std::string bytes) {
    KwpSlot* s = slotAt(slot);
    if (!s) return MsgFailed;
    *s = KwpSlot{};
    uint32_t failure = MsgFailed;
    std::shared_ptr<const LoadedArchive> data = makeArchive(std::move(bytes), failure);
    return data ? fillSlot(*s, path, std::move(data), false) : failure;
}

uint32_t LoadMsgArchive(int slot, std::string_view path) {
    KwpSlot* s = slotAt(slot);
    if (!s) return MsgFailed;
    *s = KwpSlot{};
    for (int other = 0; other < KwpSlotCount; ++other) {
        const KwpSlot& o = sets().Slots[other];
        if (other != slot && o.Data && o.Name == path) return fillSlot(*s, path, o.Data, true);
    }
    uint32_t failure = MsgFailed;
    std::shared_ptr<const LoadedArchive> data =
        sets().Archives.get(path, [&failure](std::string_view p) -> std::shared_ptr<const LoadedArchive> {
            std::optional<std::string> bytes;
            try {
                bytes = plat::readWholeFile(p);
            } catch (const std::bad_alloc&) {
                failure = MsgNoMemory;
                return nullptr;
            }
            return bytes ? makeArchive(std::move(*bytes), failure) : nullptr;
        });
    return data ? fillSlot(*s, path, std::move(data), false) : failure;
}

void SetFolderSlot(int slot, std::string_view path) {
    KwpSlot* s = slotAt(slot);
    if (!s) return;
    *s = KwpSlot{};
    s->Name = std::string(path);
}

int FindMsgEntry(int slot, std::string_view id, int* lineCount) {
    const KwpSlot& s = MessageSlotAt(slot);
    return s.Data ? s.Data->find(id, lineCount) : -1;
}

std::optional<std::string> ExtractMsgVariant(int slot, int index, int line, size_t limit) {
    const KwpSlot& s = MessageSlotAt(slot);
    if (!s.Data || index < 0 || line < 0) return std::nullopt;
    const std::string* text =
        s.Data->decodedLine(static_cast<size_t>(index), static_cast<size_t>(line), sets().Decode, limit);
    if (!text) return std::nullopt;
    return *text;
}

void ClearKwpTable() {
    for (KwpSlot& s : sets().Slots) s = KwpSlot{};
    for (SideWords& w : sets().Words) w = SideWords{};
}

void ReleaseMsgArchives() {
    ClearKwpTable();
}

} // namespace cv
