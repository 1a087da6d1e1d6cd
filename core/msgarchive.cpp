// The slots of loaded message sets, the archive reader and the binding of
// the message-archive library's decoder.
#include "core/msgarchive.h"

#include "base/sjis.h"
#include "core/module.h"
#include "platform/files.h"

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

} // namespace

LoadedArchive::LoadedArchive(std::string bytes) : Bytes(std::move(bytes)), View(Bytes, MagicBytes) {}

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

std::string DecodeStoredLine(std::string_view stored, size_t limit) {
    LineDecoder decode = sets().Decode;
    if (!decode) return {};
    char in[StoredLineMax + 1] = {};
    size_t n = std::min(stored.size(), StoredLineMax);
    std::memcpy(in, stored.data(), n);
    char out[DecodeBufferSize] = {};
    decode(in, out);
    out[DecodeBufferSize - 1] = '\0';
    return CleanMessageText(std::string_view(out, std::strlen(out)), limit);
}

const KwpSlot& MessageSlotAt(int slot) {
    const KwpSlot* s = slotAt(slot);
    return s ? *s : emptySlot;
}

uint32_t LoadMsgArchiveBytes(int slot, std::string_view path, std::string bytes) {
    KwpSlot* s = slotAt(slot);
    if (!s) return MsgFailed;
    *s = KwpSlot{};
    try {
        auto data = std::make_shared<const LoadedArchive>(std::move(bytes));
        // The view also refuses an archive whose directory runs past the
        // end of the file: its entries could not be read.
        if (!data->View.ok()) return MsgFailed;
        s->Data = std::move(data);
    } catch (const std::bad_alloc&) {
        return MsgNoMemory;
    }
    s->Loaded = true;
    s->Name = std::string(path);
    return MsgOk;
}

uint32_t LoadMsgArchive(int slot, std::string_view path) {
    KwpSlot* s = slotAt(slot);
    if (!s) return MsgFailed;
    *s = KwpSlot{};
    for (int other = 0; other < KwpSlotCount; ++other) {
        const KwpSlot& o = sets().Slots[other];
        if (other != slot && o.Data && o.Name == path) {
            s->Data = o.Data;
            s->Shared = true;
            s->Loaded = true;
            s->Name = std::string(path);
            return MsgOk;
        }
    }
    std::optional<std::string> bytes;
    try {
        bytes = plat::readWholeFile(path);
    } catch (const std::bad_alloc&) {
        return MsgNoMemory;
    }
    if (!bytes) return MsgFailed;
    return LoadMsgArchiveBytes(slot, path, std::move(*bytes));
}

void SetFolderSlot(int slot, std::string_view path) {
    KwpSlot* s = slotAt(slot);
    if (!s) return;
    *s = KwpSlot{};
    s->Name = std::string(path);
}

int FindMsgEntry(int slot, std::string_view id, int* lineCount) {
    const KwpSlot& s = MessageSlotAt(slot);
    if (!s.Data) return -1;
    const kwp::ArchiveView& view = s.Data->View;
    // The id as a C text: up to its first NUL, compared in at most 8 bytes.
    id = id.substr(0, std::min(id.find('\0'), kwp::kNameSize));
    for (size_t i = 0; i < view.count(); ++i) {
        const kwp::KwpDirEntry e = view.entry(i);
        std::string_view name(e.name, std::strlen(e.name));
        name = name.substr(0, std::min(name.find(' '), name.size()));
        if (name == id) {
            if (lineCount) *lineCount = e.lines;
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::optional<std::string> ExtractMsgVariant(int slot, int index, int line, size_t limit) {
    const KwpSlot& s = MessageSlotAt(slot);
    if (!s.Data || index < 0 || line < 0) return std::nullopt;
    auto lines = s.Data->View.lines(static_cast<size_t>(index));
    if (!lines || static_cast<size_t>(line) >= lines->lines.size()) return std::nullopt;
    return DecodeStoredLine(lines->lines[static_cast<size_t>(line)], limit);
}

void ClearKwpTable() {
    for (KwpSlot& s : sets().Slots) s = KwpSlot{};
    for (SideWords& w : sets().Words) w = SideWords{};
}

void ReleaseMsgArchives() {
    ClearKwpTable();
}

} // namespace cv
