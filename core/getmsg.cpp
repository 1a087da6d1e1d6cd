// Fetching messages by id from the loaded sets (see getmsg.h).
//
// In a folder set, message <id> is the file <folder><id>.msg. Messages drawn
// at random and numbered lines are fixed records of 82 bytes (80 bytes of
// text, CR LF); age messages are text lines.
#include "core/getmsg.h"

#include "base/sjis.h"
#include "core/dice.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "core/queue.h"
#include "core/templates.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sjis/msgsets_text.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace cv {

namespace {

constexpr int64_t RecordSize = 82;
constexpr size_t RecordText = 80;
constexpr size_t AgeLineLimit = 255;
constexpr size_t AgeCandidateLimit = 256;

// The source lines the not-found texts name.
constexpr int GetMsgNoFolder = 601;
constexpr int GetMsgNoFile = 613;
constexpr int GetMsgLineNoFolder = 825;
constexpr int GetMsgLineNoFile = 836;
constexpr int GetMsgAgeMissing = 747;
constexpr char GetMsgName[] = "GetMsg";
constexpr char GetMsgAgeName[] = "GetMsgAge";

// A slot named by a folder (its name ends in a separator) holds message
// files.
bool isFolderSlot(const KwpSlot& s) {
    return plat::endsWithSeparator(s.Name);
}

std::string messageFile(const KwpSlot& s, std::string_view id) {
    return s.Name + std::string(id) + mst::MessageSuffix;
}

// The message file of `id` in a folder set, read whole; nullopt when the
// slot is no folder or the file cannot be read.
std::optional<std::string> readMessageFile(const KwpSlot& s, std::string_view id) {
    if (!isFolderSlot(s)) return std::nullopt;
    return plat::readWholeFile(messageFile(s, id));
}

int randomBelow(int64_t n) {
    return static_cast<int>(GeneralRandom() % n);
}

// The slots a fetch searches: the slot, then the base set.
struct SearchOrder {
    int Slots[2];
    int Count;
    const int* begin() const { return Slots; }
    const int* end() const { return Slots + Count; }
};
SearchOrder searchOrder(int slot) {
    if (slot == SlotBasic || slot < 0 || slot >= KwpSlotCount) return {{SlotBasic, SlotBasic}, 1};
    return {{slot, SlotBasic}, 2};
}

// One variant of `id` in slot s: found (text in out), or nullopt.
std::optional<std::string> randomVariant(int s, std::string_view id) {
    const KwpSlot& slot = MessageSlotAt(s);
    int lines = 0;
    int index = FindMsgEntry(s, id, &lines);
    if (index >= 0) {
        if (lines == 0) return std::string();
        return ExtractMsgVariant(s, index, randomBelow(lines));
    }
    if (auto file = readMessageFile(slot, id)) {
        int64_t n = MessageFileRecords(*file);
        if (n == 0) return std::string();
        return MessageFileRecord(*file, randomBelow(n)).value_or(std::string());
    }
    return std::nullopt;
}

// Line `line` of `id` in slot s into `out`; false when it is not there or
// empty.
bool fixedLine(int s, std::string_view id, int32_t line, std::string& out) {
    const KwpSlot& slot = MessageSlotAt(s);
    out.clear();
    if (line < 0) return false;
    int lines = 0;
    int index = FindMsgEntry(s, id, &lines);
    if (index >= 0) {
        if (line >= lines) return false;
        out = ExtractMsgVariant(s, index, line).value_or(std::string());
    } else if (auto file = readMessageFile(slot, id)) {
        if (line >= MessageFileRecords(*file)) return false;
        out = MessageFileRecord(*file, line).value_or(std::string());
        // A numbered line of a message file ends at its first blank.
        out.resize(std::min(out.find(' '), out.size()));
    }
    return !out.empty();
}

// The lines of an age message in slot s, or nullopt when the slot has no
// such message.
std::optional<std::vector<std::string>> ageLines(int s, std::string_view id) {
    const KwpSlot& slot = MessageSlotAt(s);
    int lines = 0;
    int index = FindMsgEntry(s, id, &lines);
    std::vector<std::string> out;
    if (index >= 0) {
        for (int k = 0; k < lines; ++k) {
            auto text = ExtractMsgVariant(s, index, k, AgeLineLimit);
            if (!text) break;
            out.push_back(std::move(*text));
        }
        return out;
    }
    if (auto file = readMessageFile(slot, id)) return MessageFileLines(*file);
    return std::nullopt;
}

// Reads decimal digits at `p`; nullopt when there are none. Saturates far
// beyond any age.
std::optional<int64_t> number(std::string_view s, size_t& p) {
    size_t start = p;
    int64_t v = 0;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9') {
        if (v < 1000000000000LL) v = v * 10 + (s[p] - '0');
        ++p;
    }
    if (p == start) return std::nullopt;
    return v;
}

} // namespace

int64_t MessageFileRecords(std::string_view bytes) {
    return static_cast<int64_t>(bytes.size()) / RecordSize;
}

std::optional<std::string> MessageFileRecord(std::string_view bytes, int64_t k) {
    if (k < 0 || k >= MessageFileRecords(bytes)) return std::nullopt;
    return CleanMessageText(bytes.substr(static_cast<size_t>(k * RecordSize), RecordText), MessageTextLimit);
}

std::vector<std::string> MessageFileLines(std::string_view bytes) {
    std::vector<std::string> out;
    for (std::string_view line : plat::splitLines(bytes)) out.push_back(CleanMessageText(line, AgeLineLimit));
    return out;
}

std::string NotFoundText(std::string_view id, int line, std::string_view function) {
    std::string idText(id.substr(0, std::min(id.find('\0'), id.size())));
    std::string fn(function);
    return FormatText(mst::NotFound, idText.c_str(), mst::NotFoundSource, line, fn.c_str());
}

uint32_t GetMsg(int slot, std::string_view id, std::string& out) {
    out.clear();
    if (Option(OptMessagesOff)) return MsgOk;
    for (int s : searchOrder(slot)) {
        if (auto text = randomVariant(s, id)) {
            out = std::move(*text);
            return MsgOk;
        }
    }
    out =
        NotFoundText(id, isFolderSlot(MessageSlotAt(SlotBasic)) ? GetMsgNoFile : GetMsgNoFolder, GetMsgName);
    return MsgFailed;
}

uint32_t GetMsgLine(int slot, std::string_view id, std::string& out, int32_t line) {
    out.clear();
    if (Option(OptMessagesOff)) return MsgOk;
    for (int s : searchOrder(slot))
        if (fixedLine(s, id, line, out)) return MsgOk;
    out = NotFoundText(id, isFolderSlot(MessageSlotAt(SlotBasic)) ? GetMsgLineNoFile : GetMsgLineNoFolder,
                       GetMsgName);
    return MsgFailed;
}

std::optional<AgeRange> ParseAgeRange(std::string_view line) {
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::string_view range = line.substr(0, colon);
    size_t p = 0;
    while (p < range.size() && range[p] == ' ') ++p;
    auto a = number(range, p);
    if (!a) return std::nullopt;
    while (p < range.size() && range[p] == ' ') ++p;
    char op = p < range.size() ? range[p] : '\0';
    if (op == '*') return AgeRange{*a, *a};
    if (op == '+' || op == '-') {
        ++p;
        while (p < range.size() && range[p] == ' ') ++p;
        int64_t b = number(range, p).value_or(0);
        return op == '+' ? AgeRange{*a, *a + b} : AgeRange{*a - b, *a};
    }
    return AgeRange{*a - *a / 8, *a + *a / 8};
}

uint32_t GetMsgAge(std::string& out, const TArmoredKnight& ak, const CombatantState& state) {
    out.clear();
    if (Option(OptMessagesOff)) return MsgOk;
    uint16_t variant = state.MessageVariant;
    std::string_view id = variant == 1 ? "M92A1" : "M92A0";
    int32_t age = ak.Pilot.Age;
    for (int s : {int(SlotAnnouncer), int(SlotBasic)}) {
        auto lines = ageLines(s, id);
        if (!lines) continue;
        std::vector<std::string> candidates;
        for (const std::string& line : *lines) {
            auto range = ParseAgeRange(line);
            if (!range) continue;
            std::string_view text = std::string_view(line).substr(line.find(':') + 1);
            if (range->Low <= age && age <= range->High && !text.empty() &&
                candidates.size() < AgeCandidateLimit)
                candidates.emplace_back(text.substr(0, sjis::cutLength(text, MessageTextLimit)));
            if (range->Low > age) break;
        }
        if (!candidates.empty()) out = candidates[static_cast<size_t>(randomBelow(candidates.size()))];
        return MsgOk;
    }
    out = NotFoundText(id, GetMsgAgeMissing, GetMsgAgeName);
    return MsgFailed;
}

} // namespace cv
