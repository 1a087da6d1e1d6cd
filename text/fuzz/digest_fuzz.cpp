// Fuzz target for the digest reader: the input is a digest file. Every entry
// made must keep its texts terminated inside their fields, carry a mark the
// reader knows, and chain to the next entry of the same load inside the
// block; the block never holds more than its capacity.
#include "text/digest.h"

#include "base/sjis.h"

#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz/fuzzcheck.h"

namespace {

template <size_t N> bool terminated(const char (&field)[N]) {
    return std::memchr(field, '\0', N) != nullptr;
}

void checkChain(DigestEntry* head, size_t made) {
    size_t n = 0;
    for (DigestEntry* e = head; e; e = DigestNext(e)) {
        ++n;
        FUZZ_CHECK(n <= made);
        FUZZ_CHECK(terminated(e->Name1) && terminated(e->Text1) && terminated(e->Name2) &&
                   terminated(e->Text2) && terminated(e->Path) && terminated(e->Minutes));
        FUZZ_CHECK(e->Mark >= 0 && e->Mark <= 2);
        FUZZ_CHECK(e->Second == static_cast<int16_t>(n % 60));
        FUZZ_CHECK(e->Next >= 0 && e->Next % static_cast<int32_t>(sizeof(DigestEntry)) == 0);
    }
    FUZZ_CHECK(n == made);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Every input starts from an empty block, so a finding replays on its
    // own (the block's end is the unit tests' to reach: no input of a few
    // kilobytes holds its 359 matches).
    vtext::unloadMomoFile();

    DigestEntry* head = nullptr;
    size_t made = vtext::addDigestEntries(bytes, "fuzz.mom", 1700000000, &head);
    FUZZ_CHECK((made == 0) == (head == nullptr));
    checkChain(head, made);

    // A second load into the same block (of the input's second half) keeps
    // the first chain and makes its own.
    DigestEntry* second = nullptr;
    size_t more = vtext::addDigestEntries(bytes.substr(size / 2), "fuzz.mom", 1700000000, &second);
    checkChain(head, made);
    checkChain(second, more);
    FUZZ_CHECK(vtext::digestEntriesInUse() == made + more);
    FUZZ_CHECK(vtext::digestEntriesInUse() <= vtext::DigestCapacity);

    // Each line on its own through the result-line parser.
    size_t start = 0;
    while (start < bytes.size()) {
        size_t lf = bytes.find('\n', start);
        std::string_view line =
            bytes.substr(start, lf == std::string_view::npos ? bytes.size() - start : lf - start);
        std::string name, text;
        int mark = vtext::parseResultLine(line, name, text);
        FUZZ_CHECK(mark >= -1 && mark <= 2);
        FUZZ_CHECK(name.size() + text.size() <= line.size());
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
    return 0;
}
