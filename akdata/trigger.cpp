// Trigger word lists.
#include "akdata/trigger.h"

#include "akdata/csvreader.h"
#include "base/sjis.h"
#include "platform/files.h"

#include <memory>
#include <new>
#include <optional>

namespace akdata {

namespace {

std::unique_ptr<TriggerBlock>& currentBlock() {
    static std::unique_ptr<TriggerBlock> block;
    return block;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The next word from p: white space skipped, then characters up to the next
// white space (walking characters, so no trail byte ends a word).
std::string_view nextWord(std::string_view line, size_t& p) {
    while (p < line.size() && isSpace(line[p])) ++p;
    size_t start = p;
    for (size_t len; (len = sjis::charLength(line, p)) != 0 && !isSpace(line[p]);) p += len;
    return line.substr(start, p - start);
}

} // namespace

std::vector<std::pair<std::string, std::string>> parseTriggerList(std::string_view bytes) {
    std::vector<std::pair<std::string, std::string>> entries;
    LineSource in(bytes);
    std::string_view line;
    while (entries.size() < TriggerListCapacity && in.next(line)) {
        std::string_view l = line.substr(0, line.find('\0'));
        if (!l.empty() && (l.front() == '#' || l.front() == '/')) continue;
        size_t p = 0;
        std::string_view key = nextWord(l, p);
        std::string_view value = nextWord(l, p);
        if (key.empty() || value.empty()) continue;
        entries.emplace_back(sjis::cut(key, sizeof(TriggerEntry::Key) - 1),
                             sjis::cut(value, sizeof(TriggerEntry::Value) - 1));
    }
    return entries;
}

int loadTrigger(const char* file1, const char* file2, const char* file3, void** block) {
    try {
        auto fresh = std::make_unique<TriggerBlock>();
        const char* files[3] = {file1, file2, file3};
        for (int k = 0; k < 3; ++k) {
            std::optional<std::string> bytes = files[k] ? plat::readWholeFile(files[k]) : std::nullopt;
            auto entries = bytes ? parseTriggerList(*bytes) : decltype(parseTriggerList({})){};
            fresh->Count[k] = static_cast<int32_t>(entries.size());
            for (size_t i = 0; i < entries.size(); ++i) {
                sjis::writeField(fresh->List[k][i].Key, entries[i].first);
                sjis::writeField(fresh->List[k][i].Value, entries[i].second);
            }
        }
        currentBlock() = std::move(fresh);
        if (block) *block = currentBlock().get();
        return 0;
    } catch (const std::bad_alloc&) {
        if (block) *block = nullptr;
        return 1;
    }
}

void unloadTrigger() {
    currentBlock().reset();
}

} // namespace akdata
