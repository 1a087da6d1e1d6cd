// Fuzz target: arbitrary bytes as the head of an AK data file for the quick
// entrant row, and as the raw image of an AK record for the battle royal's
// row (texts without a terminator, any tags and start cells). Every text of
// the rows must end inside its array.
#include "common/entrant.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "fuzz/fuzzcheck.h"

namespace {

template <size_t N> bool terminated(const char (&field)[N]) {
    return std::memchr(field, '\0', N) != nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);

    EntryRecord row{};
    cmn::entryRowFromBytes(bytes, row);
    FUZZ_CHECK(terminated(row.PilotName) && terminated(row.OwnerName) && terminated(row.Sex));

    auto ak = std::make_unique<TArmoredKnight>();
    // The image repeated to fill the record, so short inputs reach the texts.
    if (size > 0)
        for (size_t i = 0; i < sizeof(TArmoredKnight); ++i)
            reinterpret_cast<char*>(ak.get())[i] = bytes[i % size];
    RoyalEntryRecord royal{};
    cmn::fillRoyalRow(*ak, royal);
    FUZZ_CHECK(terminated(royal.Entry.PilotName) && terminated(royal.Entry.OwnerName) &&
               terminated(royal.Entry.Sex) && terminated(royal.Mark) && terminated(royal.EnemyList) &&
               terminated(royal.AllyList) && terminated(royal.FriendList) && terminated(royal.TeamList));
    FUZZ_CHECK(royal.PresetPosition <= 1 && royal.HasMark <= 1);
    return 0;
}
