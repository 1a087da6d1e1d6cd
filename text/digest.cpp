// The digest reader and the block its entries live in.
#include "text/digest.h"

#include "base/sjis.h"
#include "platform/files.h"
#include "sjis/velltext_text.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>

namespace vtext {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view firstWord(std::string_view line) {
    size_t b = 0;
    while (b < line.size() && isBlank(line[b])) ++b;
    size_t e = b;
    while (e < line.size() && !isBlank(line[e])) e += sjis::charLength(line, e);
    return line.substr(b, e - b);
}

std::string_view markText(int m) {
    return std::string_view(text::Marks).substr(static_cast<size_t>(m) * 2, 2);
}

int markAt(std::string_view text, size_t pos) {
    for (int m = 0; m < 3; ++m)
        if (text.substr(pos, 2) == markText(m)) return m;
    return -1;
}

// Where the first result mark of the line starts.
size_t firstMark(std::string_view line) {
    return sjis::findFirstOf(line, text::Marks);
}

struct ResultParts {
    int mark = -1;
    std::string_view name;
    std::string_view text;
};

// A result line cut into its mark, name and text (views into the line).
ResultParts splitResultLine(std::string_view line) {
    ResultParts r;
    size_t pos = firstMark(line);
    if (pos == sjis::npos) return r;
    r.mark = markAt(line, pos);
    const size_t afterMark = pos + 2;
    size_t sep = sjis::find(line, text::SideSeparator, afterMark);
    std::string_view rawName;
    std::string_view rawText;
    if (sep == sjis::npos) {
        rawName = line.substr(afterMark);
    } else {
        rawName = line.substr(afterMark, sep - afterMark);
        rawText = line.substr(sep + std::string_view(text::SideSeparator).size());
    }
    while (!rawText.empty() && (rawText.back() == '\r' || rawText.back() == '\n')) rawText.remove_suffix(1);
    while (!rawName.empty() && (rawName.back() == '\r' || rawName.back() == '\n')) rawName.remove_suffix(1);
    while (!rawName.empty() && rawName.back() == ' ') rawName.remove_suffix(1);
    r.name = rawName;
    r.text = rawText;
    return r;
}

// The block of entries: allocated once, never moved, released whole. The
// entries from `used` on are all zero (the block is value-initialised, and
// unloadMomoFile zeroes the ones it takes back), so an entry is filled in
// place; the last one of a load keeps its zero Next.
struct Pool {
    std::mutex lock;
    std::unique_ptr<DigestEntry[]> entries;
    size_t used = 0;
};

Pool& pool() {
    static Pool p;
    return p;
}

} // namespace

int parseResultLine(std::string_view line, std::string& name, std::string& text) {
    ResultParts r = splitResultLine(line);
    name.assign(r.name);
    text.assign(r.text);
    return r.mark;
}

bool isSideLine(std::string_view line) {
    std::string_view word = firstWord(line);
    if (word.empty() || markAt(word, 0) < 0) return false;
    const size_t markPos = static_cast<size_t>(word.data() - line.data());
    return sjis::find(line, text::SideSeparator, markPos + 2) != sjis::npos;
}

std::vector<DigestMatch> parseDigest(std::string_view bytes, size_t max) {
    std::vector<DigestMatch> matches;
    const std::vector<std::string_view> lines = plat::splitLines(bytes);
    size_t i = 0;
    while (i < lines.size() && matches.size() < max) {
        std::string_view first = lines[i++];
        if (first.empty() || !isSideLine(first)) continue;
        if (i >= lines.size()) break;
        std::string_view second = lines[i++];
        if (!isSideLine(second)) continue; // a lone result line ends no entry
        DigestMatch m;
        m.line1 = first;
        m.line2 = second;
        // The minutes line: the first of the next two lines whose first word
        // holds "分". A result line stops the search and is left for the
        // next match.
        for (int k = 0; k < 2 && i < lines.size(); ++k) {
            std::string_view line = lines[i];
            if (isSideLine(line)) break;
            ++i;
            std::string_view word = firstWord(line);
            if (!sjis::contains(word, text::MinutesMark)) continue;
            const std::string_view blank = text::FullWidthBlank;
            if (word.substr(0, blank.size()) == blank) word.remove_prefix(blank.size());
            m.minutes = word;
            break;
        }
        matches.push_back(std::move(m));
    }
    return matches;
}

size_t addDigestEntries(std::string_view bytes, std::string_view path, std::time_t mtime,
                        DigestEntry** head) {
    Pool& p = pool();
    std::lock_guard<std::mutex> guard(p.lock);
    if (!p.entries) {
        p.entries.reset(new DigestEntry[DigestCapacity]());
        p.used = 0;
    }
    const std::vector<DigestMatch> matches = parseDigest(bytes, DigestCapacity - p.used);
    std::tm stamp{};
    localtime_r(&mtime, &stamp);
    DigestEntry* previous = nullptr;
    size_t n = 0;
    for (const DigestMatch& m : matches) {
        DigestEntry* e = &p.entries[p.used++];
        ++n;
        if (previous)
            previous->Next =
                static_cast<int32_t>(reinterpret_cast<char*>(e) - reinterpret_cast<char*>(previous));
        else if (head && !*head)
            *head = e;
        previous = e;
        e->Year = static_cast<int16_t>(((stamp.tm_year % 100) + 100) % 100);
        e->Month = static_cast<int16_t>(stamp.tm_mon + 1);
        e->Day = static_cast<int16_t>(stamp.tm_mday);
        e->Hour = static_cast<int16_t>(stamp.tm_hour);
        e->Minute = static_cast<int16_t>((n / 60 + static_cast<size_t>(stamp.tm_min)) % 60);
        e->Second = static_cast<int16_t>(n % 60);
        sjis::writeField(e->Path, path);
        const ResultParts one = splitResultLine(m.line1);
        e->Mark = one.mark;
        sjis::writeField(e->Name1, one.name);
        sjis::writeField(e->Text1, one.text);
        const ResultParts two = splitResultLine(m.line2);
        sjis::writeField(e->Name2, two.name);
        sjis::writeField(e->Text2, two.text);
        sjis::writeField(e->Minutes, m.minutes);
    }
    return n;
}

int loadMomoFile(std::string_view path, DigestEntry** head) {
    if (!head || path.empty() || !plat::isRegularFile(path)) return 1;
    std::optional<std::string> bytes = plat::readWholeFile(path);
    if (!bytes) return 1;
    std::time_t mtime = plat::fileMTime(path).value_or(0);
    addDigestEntries(*bytes, path, mtime, head);
    return 0;
}

// The block itself stays for the next load, as the fixed block the system
// sets aside does; its entries are emptied, so a caller that still holds
// one reads empty texts rather than another load's.
void unloadMomoFile() {
    Pool& p = pool();
    std::lock_guard<std::mutex> guard(p.lock);
    if (p.entries) std::fill(p.entries.get(), p.entries.get() + p.used, DigestEntry{});
    p.used = 0;
}

size_t digestEntriesInUse() {
    Pool& p = pool();
    std::lock_guard<std::mutex> guard(p.lock);
    return p.used;
}

} // namespace vtext
